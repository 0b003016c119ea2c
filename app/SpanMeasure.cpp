#include "app/SpanMeasure.h"

#include "chart/Chart.h"
#include "chart/CurrentValues.h"
#include "chartdata/SeriesTitle.h"

#include <algorithm>
#include <cmath>

namespace {

QString Figure(double value, const QLocale& locale)
{
    return std::isnan(value) ? QStringLiteral("-") : FormatCurrentValue(value, locale);
}

QString MarkerTime(TDateTime x)
{
    return TimeOfDay(x).toString(QStringLiteral("HH:mm:ss.zzz"));
}

} // namespace

void TMarkerPair::Place(TDateTime x)
{
    (NextIsB ? B : A) = x;
    NextIsB = !NextIsB;
}

TSeriesMeasure MeasureSeries(const TChart& chart, int index, TDateTime a, TDateTime b)
{
    const TFastLineSeries& series = *chart.LineSeries(index);
    return {TitleToDisplay(series.Title()), series.SeriesColor(), SeriesValueAt(chart, index, a),
            SeriesValueAt(chart, index, b), series.SpanFigures(std::min(a, b), std::max(a, b))};
}

QString MeasureHeaderText(TDateTime a, TDateTime b, const QLocale& locale)
{
    const double seconds = (b - a) * SecondsPerDay;
    return QStringLiteral("A %1  B %2  \u0394t %3 s").arg(MarkerTime(a), MarkerTime(b), locale.toString(seconds, 'f', 3));
}

QString MeasureSeriesText(const TSeriesMeasure& measure, const QLocale& locale)
{
    return QStringLiteral("%1  A %2  B %3  \u0394 %4  min %5  max %6  mean %7")
        .arg(measure.Title, Figure(measure.AtA, locale), Figure(measure.AtB, locale),
             Figure(measure.AtB - measure.AtA, locale), Figure(measure.Span.Min, locale),
             Figure(measure.Span.Max, locale), Figure(measure.Span.Mean, locale));
}
