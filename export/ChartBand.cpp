#include "export/ChartBand.h"

#include "chart/Chart.h"
#include "chart/CurrentValues.h"
#include "chartdata/SeriesTitle.h"
#include "common/Fonts.h"
#include "common/TimeText.h"

#include <qcustomplot.h>

#include <cmath>

namespace {

constexpr int TextPixels = 13;
constexpr int RowHeight = TextPixels + 7;
constexpr int Gap = 12;

// Draws text at x on the row and returns the x after it.
int DrawText(QCPPainter& painter, int x, int top, const QString& text, const QColor& color)
{
    painter.setPen(color);
    const int width = painter.fontMetrics().horizontalAdvance(text);
    painter.drawText(QRect(x, top, width + 1, RowHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
    return x + width;
}

} // namespace

int BandTextHeight()
{
    return 2 * RowHeight;
}

double TimeColumn(const TDrawnChart& drawn, double t)
{
    // As the plot maps a time to its pixels.
    return (t - drawn.TimeMin) / (drawn.TimeMax - drawn.TimeMin) * drawn.Plot.width() + drawn.Plot.left();
}

TDrawnChart DrawChartBand(QCPPainter& painter, const QRect& area, TChart& chart, TDateTime cursor,
                          const QLocale& locale, bool withCursor)
{
    QCustomPlot& plot = *chart.Plot();
    const QRect chartArea(area.left(), area.top(), area.width(), std::max(1, area.height() - BandTextHeight()));
    painter.fillRect(area, Qt::white);

    painter.save();
    painter.translate(chartArea.topLeft());
    const bool cursorShown = chart.CursorLayer()->visible();
    chart.CursorLayer()->setVisible(withCursor && cursorShown);
    plot.toPainter(&painter, chartArea.width(), chartArea.height());
    chart.CursorLayer()->setVisible(cursorShown);
    painter.restore();
    TDrawnChart drawn;
    drawn.Plot = plot.axisRect()->rect().translated(chartArea.topLeft());
    drawn.TimeMin = plot.xAxis->range().lower;
    drawn.TimeMax = plot.xAxis->range().upper;
    drawn.ValueMin = plot.yAxis->range().lower;
    drawn.ValueMax = plot.yAxis->range().upper;
    // The plot's layout was made for the picture's size.
    chart.RequestReplot();

    painter.save();
    painter.setFont(ArialFont(TextPixels, true));
    const int stripTop = chartArea.bottom() + 1;
    int x = DrawText(painter, area.left() + 4, stripTop, QStringLiteral("Current Time "), Qt::black);
    x = DrawText(painter, x, stripTop, LongTimeText(cursor, locale), Qt::black) + Gap;
    x = DrawText(painter, x, stripTop, QStringLiteral("Current Data "), Qt::black);
    int legendX = area.left() + 4;
    const int legendTop = stripTop + RowHeight;
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries* series = chart.LineSeries(i);
        if (!series || !series->Active())
            continue;
        const double value = SeriesValueAt(chart, i, cursor);
        if (!std::isnan(value))
            x = DrawText(painter, x, stripTop, FormatCurrentValue(value, locale), series->SeriesColor()) + 5;
        painter.fillRect(QRect(legendX, legendTop + RowHeight / 2 - 1, 16, 3), series->SeriesColor());
        legendX = DrawText(painter, legendX + 20, legendTop, TitleToDisplay(series->Title()), Qt::black) + Gap;
    }
    painter.restore();
    return drawn;
}
