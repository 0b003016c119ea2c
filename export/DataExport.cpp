#include "export/DataExport.h"

#include "chart/Chart.h"
#include "chartdata/SeriesTitle.h"
#include "common/AtomicFile.h"
#include "import/TextLocale.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

// Text goes to the file in blocks of about this size.
constexpr qsizetype FlushBytes = 1 << 20;

struct TCursor {
    const TFastLineSeries* Series;
    int Next;
    int End;
};

qint64 MillisecondKey(TDateTime t)
{
    return std::llround(t * static_cast<double>(MSecsPerDay));
}

void AppendNumber(QByteArray& out, qint64 value, int digits)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    for (int pad = digits - static_cast<int>(result.ptr - text); pad > 0; --pad)
        out.append('0');
    out.append(text, result.ptr - text);
}

void AppendTime(QByteArray& out, qint64 key, const TTextLocale& locale)
{
    qint64 days = key / MSecsPerDay;
    qint64 ms = key % MSecsPerDay;
    if (ms < 0) {
        --days;
        ms += MSecsPerDay;
    }
    const QDate date = DateTimeEpoch().addDays(days);
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            out.append(locale.DateSeparator);
        switch (locale.DateOrder[static_cast<std::size_t>(i)]) {
        case 'd': AppendNumber(out, date.day(), 2); break;
        case 'M': AppendNumber(out, date.month(), 2); break;
        default: AppendNumber(out, date.year(), 4); break;
        }
    }
    // Blanks separate fields in the text import: a date separator joins the
    // time to the date within one field.
    out.append(locale.DateSeparator);
    AppendNumber(out, ms / 3600000, 2);
    out.append(locale.TimeSeparator);
    AppendNumber(out, ms / 60000 % 60, 2);
    out.append(locale.TimeSeparator);
    AppendNumber(out, ms / 1000 % 60, 2);
    out.append(locale.DecimalSeparator);
    AppendNumber(out, ms % 1000, 3);
}

void AppendValue(QByteArray& out, double value, char decimalSeparator)
{
    // The shortest text that reads back as the same double.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    for (char* c = text; c != result.ptr; ++c) {
        if (*c == '.')
            *c = decimalSeparator;
    }
    out.append(text, result.ptr - text);
}

void AppendTitle(QByteArray& out, const QString& title, char delimiter)
{
    const QByteArray bytes = title.toUtf8();
    if (!bytes.contains(delimiter) && !bytes.contains('"') && !bytes.contains('\n') && !bytes.contains('\r')) {
        out.append(bytes);
        return;
    }
    out.append('"');
    out.append(QByteArray(bytes).replace("\"", "\"\""));
    out.append('"');
}

} // namespace

char ExportDelimiter(const QLocale& locale)
{
    return TTextLocale(locale).DecimalSeparator == ',' ? '\t' : ',';
}

void ExportChartData(const TChart& chart, TDateTime from, TDateTime to, const QLocale& locale,
                     const QString& fileName, TLoadProgress* progress)
{
    const TTextLocale textLocale(locale);
    const char delimiter = ExportDelimiter(locale);
    TAtomicFile file(fileName);
    QByteArray out;
    out.reserve(FlushBytes + 4096);
    out.append("Time");

    std::vector<TCursor> cursors;
    qint64 total = 0;
    for (int i = 1; i < chart.SeriesCount(); ++i) {
        const TFastLineSeries* series = chart.LineSeries(i);
        if (!series || !series->Active())
            continue;
        out.append(delimiter);
        AppendTitle(out, TitleToDisplay(series->Title()), delimiter);
        TCursor cursor{series, series->FirstIndexAtOrAfter(from), series->FirstIndexAtOrAfter(to)};
        // Points at `to` itself are in.
        while (cursor.End < series->Count() && series->XValue(cursor.End) <= to)
            ++cursor.End;
        total += cursor.End - cursor.Next;
        cursors.push_back(cursor);
    }
    out.append('\n');

    qint64 written = 0;
    for (;;) {
        bool any = false;
        qint64 key = 0;
        for (const TCursor& cursor : cursors) {
            if (cursor.Next == cursor.End)
                continue;
            const qint64 k = MillisecondKey(cursor.Series->XValue(cursor.Next));
            if (!any || k < key)
                key = k;
            any = true;
        }
        if (!any)
            break;
        AppendTime(out, key, textLocale);
        for (TCursor& cursor : cursors) {
            out.append(delimiter);
            if (cursor.Next < cursor.End && MillisecondKey(cursor.Series->XValue(cursor.Next)) == key) {
                AppendValue(out, cursor.Series->YValue(cursor.Next), textLocale.DecimalSeparator);
                ++cursor.Next;
                ++written;
            }
        }
        out.append('\n');
        if (out.size() >= FlushBytes) {
            file.Write(out);
            out.clear();
            ReportLoadProgress(progress, written, total);
        }
    }
    file.Write(out);
    ReportLoadProgress(progress, written, total);
    file.Commit();
}
