#include "chart/CurrentValues.h"

#include "chart/Chart.h"

#include <cmath>
#include <limits>

double SeriesValueAt(const TChart& chart, int index, TDateTime x)
{
    constexpr double none = std::numeric_limits<double>::quiet_NaN();
    if (index >= chart.SeriesCount())
        return none;
    const TFastLineSeries* series = chart.LineSeries(index);
    if (!series || series->Count() == 0 || x < series->MinXValue() || x > series->MaxXValue())
        return none;
    // The points are in ascending X, so a binary search finds the same point
    // as a scan from the first.
    const int found = series->FirstIndexAtOrAfter(x);
    return found < series->Count() ? series->YValue(found) : none;
}

QString FormatCurrentValue(double value, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = plain.toString(value, 'f', 3);
    const QString point = plain.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    // A value that rounds to zero is shown without a sign.
    if (text == plain.negativeSign() + plain.zeroDigit())
        text = plain.zeroDigit();
    return text;
}
