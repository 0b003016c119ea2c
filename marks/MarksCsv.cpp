#include "marks/MarksCsv.h"

#include "common/AtomicFile.h"
#include "common/Exception.h"
#include "common/TimeMapping.h"

#include <QFile>
#include <QLocale>

#include <cmath>
#include <optional>

namespace {

const QString TimeColumn = QStringLiteral("Time");
const QString SecondsColumn = QStringLiteral("Seconds");
const QString LengthColumn = QStringLiteral("Length");
const QString CategoryColumn = QStringLiteral("Category");
const QString NoteColumn = QStringLiteral("Note");

// A file of marks is read whole; a million marks take well under this.
constexpr qint64 MaxCsvBytes = 512LL << 20;

QByteArray Field(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    const bool quoted = bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') || bytes.contains('\r')
                        || (!bytes.isEmpty() && (bytes.front() == ' ' || bytes.back() == ' '));
    if (!quoted)
        return bytes;
    bytes.replace("\"", "\"\"");
    return '"' + bytes + '"';
}

QString Seconds(double value)
{
    return QString::number(value, 'f', 6);
}

// One record of the table and the line it starts on.
struct TRecord {
    int Line = 0;
    QList<QString> Fields;
};

class TCsvReader {
public:
    TCsvReader(const QByteArray& text, const QString& fileName) : mText(text), mFileName(fileName)
    {
        if (mText.startsWith("\xEF\xBB\xBF"))
            mPos = 3;
    }

    bool AtEnd() const { return mPos >= mText.size(); }

    [[noreturn]] void Fail(int line, const QString& reason) const
    {
        throw Exception(QStringLiteral("The marks file \"%1\" cannot be read: line %2: %3 Nothing is imported.")
                            .arg(mFileName)
                            .arg(line)
                            .arg(reason));
    }

    TRecord Next()
    {
        TRecord record;
        record.Line = mLine;
        for (;;) {
            QByteArray field;
            if (mPos < mText.size() && mText[mPos] == '"') {
                ++mPos;
                for (;;) {
                    if (mPos >= mText.size())
                        Fail(record.Line, QStringLiteral("a quoted field is not closed."));
                    const char c = mText[mPos++];
                    if (c == '"') {
                        if (mPos < mText.size() && mText[mPos] == '"') {
                            field += '"';
                            ++mPos;
                            continue;
                        }
                        break;
                    }
                    if (c == '\n')
                        ++mLine;
                    field += c;
                }
                if (mPos < mText.size() && mText[mPos] != ',' && mText[mPos] != '\r' && mText[mPos] != '\n')
                    Fail(mLine, QStringLiteral("text follows a closing quote."));
            } else {
                while (mPos < mText.size() && mText[mPos] != ',' && mText[mPos] != '\r' && mText[mPos] != '\n') {
                    if (mText[mPos] == '"')
                        Fail(mLine, QStringLiteral("a quote inside a field that is not quoted."));
                    field += mText[mPos++];
                }
            }
            record.Fields.append(QString::fromUtf8(field));
            if (mPos < mText.size() && mText[mPos] == ',') {
                ++mPos;
                continue;
            }
            // The end of the record: CR LF, LF, a lone CR or the end of the text.
            if (mPos < mText.size() && mText[mPos] == '\r')
                ++mPos;
            if (mPos < mText.size() && mText[mPos] == '\n')
                ++mPos;
            ++mLine;
            return record;
        }
    }

private:
    const QByteArray& mText;
    QString mFileName;
    qsizetype mPos = 0;
    int mLine = 1;
};

std::optional<double> Number(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A chart clock text as MarkClockText writes it; a time without a date lies
// on the start time's day.
std::optional<TDateTime> ClockTime(const QString& text, TDateTime startTime)
{
    const QString trimmed = text.trimmed();
    for (const QString& format : {QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"), QStringLiteral("yyyy-MM-dd hh:mm:ss")}) {
        const QDateTime value = QDateTime::fromString(trimmed, format);
        if (value.isValid())
            return DateTimeFromQDateTime(value);
    }
    for (const QString& format : {QStringLiteral("hh:mm:ss.zzz"), QStringLiteral("hh:mm:ss")}) {
        const QTime value = QTime::fromString(trimmed, format);
        if (value.isValid())
            return CombineDateAndTime(startTime, EncodeTime(value));
    }
    return std::nullopt;
}

} // namespace

QString MarkClockText(TDateTime chartTime, bool withDate)
{
    return DateTimeToQDateTime(chartTime).toString(withDate ? QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")
                                                            : QStringLiteral("hh:mm:ss.zzz"));
}

QByteArray MarksCsvText(const std::vector<TMark>& marks, const TMarkCategories& categories, TDateTime startTime)
{
    const bool withDate = std::abs(startTime) >= 1;
    QByteArray text;
    text.reserve(static_cast<qsizetype>(marks.size()) * 64 + 64);
    text += "Time,Seconds,Length,Category,Note\r\n";
    for (const TMark& mark : marks) {
        text += Field(MarkClockText(VideoToChartTime(startTime, mark.Seconds), withDate));
        text += ',';
        text += Seconds(mark.Seconds).toLatin1();
        text += ',';
        if (mark.IsSpan())
            text += Seconds(mark.Length).toLatin1();
        text += ',';
        text += Field(categories[static_cast<std::size_t>(mark.Category)].Name);
        text += ',';
        text += Field(mark.Note);
        text += "\r\n";
    }
    return text;
}

std::vector<TMark> ParseMarksCsv(const QByteArray& text, const TMarkCategories& categories, TDateTime startTime,
                                 const QString& fileName)
{
    TCsvReader reader(text, fileName);
    if (reader.AtEnd())
        reader.Fail(1, QStringLiteral("the file is empty; it needs a header of Time, Seconds, Length, Category and Note."));
    const TRecord header = reader.Next();
    const auto column = [&header](const QString& name) {
        for (int i = 0; i < header.Fields.size(); ++i) {
            if (header.Fields[i].trimmed().compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    };
    const int timeColumn = column(TimeColumn);
    const int secondsColumn = column(SecondsColumn);
    const int lengthColumn = column(LengthColumn);
    const int categoryColumn = column(CategoryColumn);
    const int noteColumn = column(NoteColumn);
    if (timeColumn < 0 && secondsColumn < 0)
        reader.Fail(header.Line, QStringLiteral("the header names no Seconds or Time column."));

    std::vector<TMark> marks;
    while (!reader.AtEnd()) {
        const TRecord record = reader.Next();
        if (record.Fields.size() == 1 && record.Fields.front().isEmpty())
            continue;
        if (record.Fields.size() != header.Fields.size())
            reader.Fail(record.Line, QStringLiteral("it has %1 fields where the header has %2.")
                                         .arg(record.Fields.size())
                                         .arg(header.Fields.size()));
        const auto field = [&record](int index) { return index < 0 ? QString() : record.Fields[index]; };
        TMark mark;
        if (!field(secondsColumn).trimmed().isEmpty()) {
            const std::optional<double> seconds = Number(field(secondsColumn));
            if (!seconds)
                reader.Fail(record.Line, QStringLiteral("\"%1\" is no number of seconds.").arg(field(secondsColumn)));
            mark.Seconds = *seconds;
        } else {
            const std::optional<TDateTime> time = ClockTime(field(timeColumn), startTime);
            if (!time)
                reader.Fail(record.Line, QStringLiteral("\"%1\" is no time (hh:mm:ss.zzz).").arg(field(timeColumn)));
            mark.Seconds = (*time - startTime) * SecondsPerDay;
        }
        if (mark.Seconds < 0)
            reader.Fail(record.Line, QStringLiteral("the time lies before the video's start."));
        const QString length = field(lengthColumn).trimmed();
        if (!length.isEmpty()) {
            const std::optional<double> value = Number(length);
            if (!value || *value < 0)
                reader.Fail(record.Line, QStringLiteral("\"%1\" is no length in seconds.").arg(length));
            mark.Length = *value;
        }
        const QString category = field(categoryColumn).trimmed();
        if (!category.isEmpty()) {
            mark.Category = CategoryOfText(categories, category);
            if (mark.Category < 0)
                reader.Fail(record.Line, QStringLiteral("\"%1\" is no category.").arg(category));
        }
        mark.Note = field(noteColumn);
        marks.push_back(std::move(mark));
    }
    return marks;
}

void SaveMarksCsv(const QString& fileName, const std::vector<TMark>& marks, const TMarkCategories& categories,
                  TDateTime startTime)
{
    TAtomicFile file(fileName);
    file.Write(MarksCsvText(marks, categories, startTime));
    file.Commit();
}

std::vector<TMark> LoadMarksCsv(const QString& fileName, const TMarkCategories& categories, TDateTime startTime)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    if (file.size() > MaxCsvBytes)
        throw Exception(QStringLiteral("The marks file \"%1\" cannot be read: it is too large.").arg(fileName));
    return ParseMarksCsv(file.readAll(), categories, startTime, fileName);
}
