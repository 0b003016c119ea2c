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
int DrawText(QPainter& painter, int x, int top, const QString& text, const QColor& color)
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

TDrawnChart DrawChart(QCPPainter& painter, const QRect& area, TChart& chart, bool withCursor)
{
    QCustomPlot& plot = *chart.Plot();
    painter.save();
    painter.translate(area.topLeft());
    const bool cursorShown = chart.CursorLayer()->visible();
    chart.CursorLayer()->setVisible(withCursor && cursorShown);
    plot.toPainter(&painter, area.width(), area.height());
    chart.CursorLayer()->setVisible(cursorShown);
    painter.restore();
    TDrawnChart drawn;
    // All the lanes, for the cursor to cross them.
    drawn.Plot = chart.PlotRect().translated(area.topLeft() - plot.pos());
    drawn.TimeMin = plot.xAxis->range().lower;
    drawn.TimeMax = plot.xAxis->range().upper;
    // The plot's layout was made for the picture's size.
    chart.RequestReplot();
    return drawn;
}

QRect CursorLineRect(const TDrawnChart& drawn, double t)
{
    const int x = static_cast<int>(std::lround(TimeColumn(drawn, t)));
    return QRect(x - 1, drawn.Plot.top(), 3, drawn.Plot.height()).intersected(drawn.Plot);
}

TBandText BandTextAt(const TChart& chart, TDateTime cursor, const QLocale& locale)
{
    TBandText text;
    text.Time = LongTimeText(cursor, locale);
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries* series = chart.LineSeries(i);
        if (!series || !series->Active())
            continue;
        const double value = SeriesValueAt(chart, i, cursor);
        text.Entries.append({TitleToDisplay(series->Title()),
                             std::isnan(value) ? QString() : FormatCurrentValue(value, locale),
                             series->SeriesColor()});
    }
    return text;
}

void DrawBandText(QPainter& painter, const QRect& area, const TBandText& text)
{
    painter.save();
    painter.fillRect(area, Qt::white);
    painter.setFont(ArialFont(TextPixels, true));
    const int stripTop = area.top();
    int x = DrawText(painter, area.left() + 4, stripTop, QStringLiteral("Current Time "), Qt::black);
    x = DrawText(painter, x, stripTop, text.Time, Qt::black) + Gap;
    x = DrawText(painter, x, stripTop, QStringLiteral("Current Data "), Qt::black);
    int legendX = area.left() + 4;
    const int legendTop = stripTop + RowHeight;
    for (const TBandText::TEntry& entry : text.Entries) {
        if (!entry.Value.isEmpty())
            x = DrawText(painter, x, stripTop, entry.Value, entry.Color) + 5;
        painter.fillRect(QRect(legendX, legendTop + RowHeight / 2 - 1, 16, 3), entry.Color);
        legendX = DrawText(painter, legendX + 20, legendTop, entry.Title, Qt::black) + Gap;
    }
    painter.restore();
}

TDrawnChart DrawChartBand(QCPPainter& painter, const QRect& area, TChart& chart, TDateTime cursor,
                          const QLocale& locale, bool withCursor)
{
    painter.fillRect(area, Qt::white);
    const QRect chartArea(area.left(), area.top(), area.width(), std::max(1, area.height() - BandTextHeight()));
    const TDrawnChart drawn = DrawChart(painter, chartArea, chart, withCursor);
    DrawBandText(painter, QRect(area.left(), chartArea.bottom() + 1, area.width(), BandTextHeight()),
                 BandTextAt(chart, cursor, locale));
    return drawn;
}
