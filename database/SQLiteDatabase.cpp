#include "database/SQLiteDatabase.h"

#include "common/Exception.h"
#include "common/LoadWindow.h"
#include "database/DatabaseValues.h"

#include <sqlite3.h>

#include <cmath>

namespace {

// A text that sorts after every time and date text.
const QString AfterAll = QStringLiteral("~");

bool OnDayZero(TDateTime value)
{
    return value >= 0 && value < 1;
}

// A name as SQLite's statements take it, whatever it holds.
QString Quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

QString ErrorText(sqlite3* database)
{
    const QString text = QString::fromUtf8(sqlite3_errmsg(database)).trimmed();
    return text.isEmpty() ? QStringLiteral("Unknown database error.") : text;
}

// A prepared statement, finalized when it goes.
class TStatement {
public:
    TStatement(sqlite3* database, const QString& text) : mDatabase(database)
    {
        const QByteArray utf8 = text.toUtf8();
        if (sqlite3_prepare_v2(database, utf8.constData(), static_cast<int>(utf8.size()), &mStatement, nullptr)
            != SQLITE_OK) {
            sqlite3_finalize(mStatement);
            throw Exception(ErrorText(database));
        }
    }
    ~TStatement() { sqlite3_finalize(mStatement); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    // Moves to the next row; false after the last (and stays false).
    bool Step()
    {
        if (mDone)
            return false;
        const int result = sqlite3_step(mStatement);
        if (result == SQLITE_ROW)
            return true;
        mDone = true;
        if (result != SQLITE_DONE)
            throw Exception(ErrorText(mDatabase));
        return false;
    }

    void Bind(const char* name, const QVariant& value)
    {
        const int index = sqlite3_bind_parameter_index(mStatement, name);
        int result = SQLITE_OK;
        switch (value.typeId()) {
        case QMetaType::Double:
            result = sqlite3_bind_double(mStatement, index, value.toDouble());
            break;
        case QMetaType::LongLong:
            result = sqlite3_bind_int64(mStatement, index, value.toLongLong());
            break;
        default: {
            const QByteArray text = value.toString().toUtf8();
            result = sqlite3_bind_text(mStatement, index, text.constData(), static_cast<int>(text.size()),
                                       SQLITE_TRANSIENT);
        }
        }
        if (result != SQLITE_OK)
            throw Exception(ErrorText(mDatabase));
    }

    int Type(int column) const { return sqlite3_column_type(mStatement, column); }
    std::string_view Text(int column) const
    {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(mStatement, column));
        return std::string_view(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(mStatement, column)));
    }
    QString String(int column) const
    {
        const std::string_view text = Text(column);
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    double Double(int column) const { return sqlite3_column_double(mStatement, column); }
    qint64 Integer(int column) const { return sqlite3_column_int64(mStatement, column); }
    int Columns() const { return sqlite3_column_count(mStatement); }
    QString Name(int column) const { return QString::fromUtf8(sqlite3_column_name(mStatement, column)); }

private:
    sqlite3* mDatabase;
    sqlite3_stmt* mStatement = nullptr;
    bool mDone = false;
};

class TSQLiteRows : public TDatabaseRows {
public:
    TSQLiteRows(std::unique_ptr<TStatement> statement, const QString& timeField, TDateTime time1, TDateTime time2,
                bool filter)
        : mStatement(std::move(statement)), mWindow{time1, time2}, mFilter(filter)
    {
        for (int i = 0; i < mStatement->Columns(); ++i)
            mNames << mStatement->Name(i);
        mTimeField = mFilter ? FieldIndex(timeField) : -1;
    }

    bool Next() override
    {
        while (mStatement->Step()) {
            if (!mFilter || mWindow.Contains(TimeValue(mTimeField)))
                return true;
        }
        return false;
    }

    int FieldIndex(const QString& name) const override { return FieldPosition(mNames, name); }

    // Numbers are SQLite's own times: an integer counts Unix seconds, a real
    // number Julian days.
    TDateTime TimeValue(int field) override
    {
        switch (mStatement->Type(field)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
            return DateTimeFromUnixSeconds(static_cast<double>(mStatement->Integer(field)));
        case SQLITE_FLOAT:
            return DateTimeFromJulianDay(mStatement->Double(field));
        default:
            return TimeFromText(mStatement->Text(field), mNames[field]);
        }
    }

    double NumberValue(int field) override
    {
        switch (mStatement->Type(field)) {
        case SQLITE_NULL:
            return 0;
        case SQLITE_INTEGER:
            return static_cast<double>(mStatement->Integer(field));
        case SQLITE_FLOAT:
            return mStatement->Double(field);
        default:
            return NumberFromText(mStatement->Text(field), mNames[field]);
        }
    }

private:
    std::unique_ptr<TStatement> mStatement;
    QStringList mNames;
    TLoadWindow mWindow;
    bool mFilter;
    int mTimeField;
};

} // namespace

TSQLiteTimeForm SQLiteTimeForm(const QString& storageClass, const QString& sample)
{
    TSQLiteTimeForm form;
    if (storageClass == QLatin1String("real")) {
        form.Kind = TSQLiteTimeForm::JulianDay;
    } else if (storageClass == QLatin1String("integer")) {
        form.Kind = TSQLiteTimeForm::UnixSeconds;
    } else {
        const QString text = sample.trimmed();
        if (text.size() >= 5 && text[2] == QLatin1Char(':'))
            form.Kind = TSQLiteTimeForm::TimeOfDayText;
        else if (text.size() > 10 && text[10] == QLatin1Char('T'))
            form.Separator = QLatin1Char('T');
    }
    return form;
}

TSQLiteBounds SQLiteTimeBounds(const TSQLiteTimeForm& form, TDateTime time1, TDateTime time2)
{
    TSQLiteBounds bounds;
    switch (form.Kind) {
    case TSQLiteTimeForm::DateTimeText:
        bounds.Time1 = SqlStartText(time1, form.Separator);
        bounds.Time2 = SqlEndText(time2, form.Separator);
        break;
    case TSQLiteTimeForm::TimeOfDayText:
        // A time of day lies on day 0: a bound on another day takes in all
        // of that day or none of it.
        bounds.Time1 = time1 < 0 ? QStringLiteral("") : OnDayZero(time1) ? SqlStartTimeText(time1) : AfterAll;
        bounds.Time2 = time2 < 0 ? QStringLiteral("") : OnDayZero(time2) ? SqlEndTimeText(time2) : AfterAll;
        break;
    case TSQLiteTimeForm::JulianDay: {
        // A Julian day number carries no more than about 50 microseconds.
        const double millisecond = 1.0 / static_cast<double>(MSecsPerDay);
        bounds.Time1 = JulianDayFromDateTime(time1) - millisecond;
        bounds.Time2 = JulianDayFromDateTime(time2) + millisecond;
        bounds.Filter = true;
        break;
    }
    case TSQLiteTimeForm::UnixSeconds:
        bounds.Time1 = static_cast<qlonglong>(std::ceil(UnixSecondsFromDateTime(time1) - 1e-6));
        bounds.Time2 = static_cast<qlonglong>(std::floor(UnixSecondsFromDateTime(time2) + 1e-6));
        break;
    }
    return bounds;
}

TSQLiteDatabase::TSQLiteDatabase(const QString& fileName)
{
    // One thread at a time uses a connection: SQLite need not lock it on each call.
    const int result = sqlite3_open_v2(fileName.toUtf8().constData(), &mDatabase,
                                       SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (result != SQLITE_OK) {
        const QString text = mDatabase ? ErrorText(mDatabase) : QString::fromUtf8(sqlite3_errstr(result));
        sqlite3_close(mDatabase);
        throw Exception(text);
    }
    // A file that another program is writing: wait for it a while.
    sqlite3_busy_timeout(mDatabase, 5000);
}

TSQLiteDatabase::~TSQLiteDatabase()
{
    sqlite3_close(mDatabase);
}

QStringList TSQLiteDatabase::Tables()
{
    TStatement statement(mDatabase, QStringLiteral("select name from sqlite_master where type in ('table', 'view')"));
    QStringList tables;
    while (statement.Step()) {
        const QString name = statement.String(0);
        // SQLite's own tables.
        if (!name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
            tables << name;
    }
    return tables;
}

QStringList TSQLiteDatabase::Columns(const QString& table)
{
    TStatement statement(mDatabase, QStringLiteral("select name from pragma_table_info(:table) order by cid"));
    statement.Bind(":table", table);
    QStringList columns;
    while (statement.Step())
        columns << statement.String(0);
    return columns;
}

std::unique_ptr<TDatabaseRows> TSQLiteDatabase::Select(const QString& table, const QString& timeField,
                                                       TDateTime time1, TDateTime time2)
{
    const QString quotedTable = Quoted(table);
    const QString quotedField = Quoted(timeField);
    TSQLiteTimeForm form;
    {
        TStatement sample(mDatabase, QStringLiteral("select typeof(%1), %1 from %2 where %1 is not null limit 1")
                                         .arg(quotedField, quotedTable));
        if (sample.Step())
            form = SQLiteTimeForm(sample.String(0), sample.String(1));
    }
    const TSQLiteBounds bounds = SQLiteTimeBounds(form, time1, time2);
    auto statement = std::make_unique<TStatement>(mDatabase, LoadStatement(quotedTable, quotedField));
    statement->Bind(":time1", bounds.Time1);
    statement->Bind(":time2", bounds.Time2);
    return std::make_unique<TSQLiteRows>(std::move(statement), timeField, time1, time2, bounds.Filter);
}
