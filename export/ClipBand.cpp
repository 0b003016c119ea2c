#include "export/ClipBand.h"

#include "chart/Chart.h"

#include <QPainter>
#include <qcustomplot.h>

#include <cstring>

TClipBand::TClipBand(TChart& chart, QSize size, TView view, TDateTime fullMax, const QLocale& locale)
    : mChart(chart), mOldView{chart.BottomAxis().Minimum(), chart.BottomAxis().Maximum()}, mView(view),
      mFullMax(fullMax), mLocale(locale), mBackground(size, QImage::Format_RGB32), mBand(size, QImage::Format_RGB32)
{
    DrawBackground();
}

TClipBand::~TClipBand()
{
    mChart.BottomAxis().SetMinMax(mOldView.Min, mOldView.Max);
}

void TClipBand::DrawBackground()
{
    mChart.BottomAxis().SetMinMax(mView.Min, mView.Max);
    mBackground.fill(Qt::white);
    QCPPainter painter(&mBackground);
    const int chartHeight = std::max(1, mBackground.height() - BandTextHeight());
    mDrawn = DrawChart(painter, QRect(0, 0, mBackground.width(), chartHeight), mChart, false);
}

const QImage& TClipBand::At(TDateTime t)
{
    TView moved;
    if (FollowCursorView(mView, t, mFullMax, moved)) {
        mView = moved;
        DrawBackground();
    }
    std::memcpy(mBand.bits(), mBackground.constBits(), static_cast<std::size_t>(mBackground.sizeInBytes()));
    QPainter painter(&mBand);
    DrawCursorLine(painter, mDrawn, t);
    const int chartHeight = std::max(1, mBand.height() - BandTextHeight());
    DrawBandText(painter, QRect(0, chartHeight, mBand.width(), BandTextHeight()), BandTextAt(mChart, t, mLocale));
    return mBand;
}
