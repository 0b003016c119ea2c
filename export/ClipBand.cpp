#include "export/ClipBand.h"

#include "chart/Chart.h"

#include <QPainter>
#include <qcustomplot.h>

TClipBand::TClipBand(TChart& chart, QSize size, TView view, TDateTime fullMax, const QLocale& locale)
    : mChart(chart), mOldView{chart.BottomAxis().Minimum(), chart.BottomAxis().Maximum()}, mView(view),
      mFullMax(fullMax), mLocale(locale),
      mChartPart(size.width(), size.height() - BandTextHeight(), QImage::Format_RGB32),
      mRows(size.width(), BandTextHeight(), QImage::Format_RGB32)
{
    DrawChartPart();
}

TClipBand::~TClipBand()
{
    mChart.BottomAxis().SetMinMax(mOldView.Min, mOldView.Max);
}

void TClipBand::DrawChartPart()
{
    mChart.BottomAxis().SetMinMax(mView.Min, mView.Max);
    mChartPart.fill(Qt::white);
    QCPPainter painter(&mChartPart);
    mDrawn = DrawChart(painter, mChartPart.rect(), mChart, false);
    ++mSerial;
}

TBandFrame TClipBand::At(TDateTime t)
{
    TView moved;
    if (FollowCursorView(mView, t, mFullMax, moved)) {
        mView = moved;
        DrawChartPart();
    }
    QPainter painter(&mRows);
    DrawBandText(painter, mRows.rect(), BandTextAt(mChart, t, mLocale));
    return {mChartPart, mSerial, CursorLineRect(mDrawn, t), mRows};
}
