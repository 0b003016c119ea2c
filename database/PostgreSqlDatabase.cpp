#include "database/PostgreSqlDatabase.h"

#include "common/Exception.h"
#include "database/DatabaseBackend.h"
#include "database/DatabaseValues.h"

#include <QTimeZone>

#include <libpq-fe.h>

#include <cmath>
#include <vector>

namespace {

// Type oids of pg_type that the loads read.
enum : Oid {
    Int8Oid = 20,
    Int2Oid = 21,
    Int4Oid = 23,
    TextOid = 25,
    OidOid = 26,
    Float4Oid = 700,
    Float8Oid = 701,
    MoneyOid = 790,
    UnknownOid = 705,
    BpcharOid = 1042,
    VarcharOid = 1043,
    DateOid = 1082,
    TimeOid = 1083,
    TimestampOid = 1114,
    TimestamptzOid = 1184,
    TimetzOid = 1266,
    NumericOid = 1700,
};

bool IsTextType(Oid type)
{
    return type == TextOid || type == VarcharOid || type == BpcharOid || type == UnknownOid;
}

bool IsTimeType(Oid type)
{
    return type == DateOid || type == TimeOid || type == TimestampOid || type == TimestamptzOid || type == TimetzOid;
}

bool IsNumberType(Oid type)
{
    return type == Int2Oid || type == Int4Oid || type == Int8Oid || type == Float4Oid || type == Float8Oid
           || type == NumericOid || type == OidOid;
}

// An amount of money as the server writes it with lc_monetary set to C:
// "$1,234.56", "-$0.50"; the currency sign and the group separators go.
std::string MoneyDigits(std::string_view text)
{
    std::string digits;
    digits.reserve(text.size());
    for (const char c : text) {
        if (c != '$' && c != ',')
            digits += c;
    }
    return digits;
}

// libpq's messages end in a line break and may span lines.
QString MessageText(const char* message, const QStringList& secrets)
{
    QString text = QString::fromUtf8(message).simplified();
    if (text.isEmpty())
        text = QStringLiteral("Unknown database error.");
    return HideSecrets(text, secrets);
}

// The message of a failed command, from its result or else the connection;
// one that failed because the server went away says so first.
QString FailureText(PGconn* connection, const PGresult* result, const QStringList& secrets)
{
    const char* message = result ? PQresultErrorMessage(result) : "";
    QString text = MessageText(*message ? message : PQerrorMessage(connection), secrets);
    if (PQstatus(connection) != CONNECTION_BAD)
        return text;
    if (text == QLatin1String("Unknown database error."))
        return LostConnectionText();
    return LostConnectionText() + QLatin1Char(' ') + text;
}

class TResult {
public:
    explicit TResult(PGresult* result = nullptr) : mResult(result) {}
    ~TResult() { PQclear(mResult); }
    TResult(const TResult&) = delete;
    TResult& operator=(const TResult&) = delete;
    void Reset(PGresult* result)
    {
        PQclear(mResult);
        mResult = result;
    }
    PGresult* get() const { return mResult; }

private:
    PGresult* mResult;
};

// The cursor of a load, in the transaction that Select opens.
const char* const CursorName = "plotreel_load";
// Records that one fetch brings.
constexpr int FetchRecords = 8192;

class TPostgreSqlRows : public TDatabaseRows {
public:
    // The transaction is open and the cursor declared; description tells the
    // fields, typeNames the server's names of their types.
    TPostgreSqlRows(PGconn* connection, const PGresult* description, QStringList typeNames, QStringList secrets)
        : mConnection(connection), mSecrets(std::move(secrets)), mTypeNames(std::move(typeNames))
    {
        for (int i = 0; i < PQnfields(description); ++i) {
            mNames << QString::fromUtf8(PQfname(description, i));
            mTypes.push_back(PQftype(description, i));
        }
        SendFetch();
    }

    ~TPostgreSqlRows() override
    {
        if (mDone)
            return;
        // A load stopped before its end: the fetch under way is stopped and
        // read away, then the transaction and its cursor go.
        if (mFetching) {
            if (PGcancel* cancel = PQgetCancel(mConnection)) {
                char buffer[256];
                PQcancel(cancel, buffer, sizeof buffer);
                PQfreeCancel(cancel);
            }
            while (PGresult* rest = PQgetResult(mConnection))
                PQclear(rest);
        }
        PQclear(PQexec(mConnection, "ROLLBACK"));
    }

    bool Next() override
    {
        if (mDone)
            return false;
        if (++mRow < mRows)
            return true;
        if (!mFetching) {
            Finish("COMMIT");
            return false;
        }
        // The next block, which the server prepared while this one was read;
        // the one after it is asked for at once.
        mBlock.Reset(PQgetResult(mConnection));
        while (PGresult* rest = PQgetResult(mConnection))
            PQclear(rest);
        mFetching = false;
        if (PQresultStatus(mBlock.get()) != PGRES_TUPLES_OK) {
            const QString text = FailureText(mConnection, mBlock.get(), mSecrets);
            Finish("ROLLBACK");
            throw Exception(text);
        }
        mRows = PQntuples(mBlock.get());
        mRow = 0;
        if (mRows == FetchRecords)
            SendFetch();
        if (mRows > 0)
            return true;
        Finish("COMMIT");
        return false;
    }

    int FieldIndex(const QString& name) const override
    {
        const int index = static_cast<int>(mNames.indexOf(name));
        if (index < 0)
            throw Exception(QStringLiteral("Field '%1' not found.").arg(name));
        return index;
    }

    TDateTime TimeValue(int field) override
    {
        if (PQgetisnull(mBlock.get(), mRow, field))
            return 0;
        const Oid type = mTypes[field];
        if (!IsTimeType(type) && !IsTextType(type))
            ThrowUnreadable(mNames[field], mTypeNames.value(field), true);
        return TimeFromText(Text(field), mNames[field]);
    }

    double NumberValue(int field) override
    {
        if (PQgetisnull(mBlock.get(), mRow, field))
            return 0;
        const Oid type = mTypes[field];
        if (IsNumberType(type) || IsTextType(type))
            return NumberFromText(Text(field), mNames[field]);
        if (IsTimeType(type))
            return TimeFromText(Text(field), mNames[field]);
        if (type == MoneyOid)
            return NumberFromText(MoneyDigits(Text(field)), mNames[field]);
        ThrowUnreadable(mNames[field], mTypeNames.value(field), false);
    }

private:
    std::string_view Text(int field) const
    {
        return std::string_view(PQgetvalue(mBlock.get(), mRow, field),
                                static_cast<std::size_t>(PQgetlength(mBlock.get(), mRow, field)));
    }

    void SendFetch()
    {
        const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(FetchRecords) + " FROM " + CursorName;
        if (!PQsendQuery(mConnection, fetch.constData())) {
            const QString text = FailureText(mConnection, nullptr, mSecrets);
            Finish("ROLLBACK");
            throw Exception(text);
        }
        mFetching = true;
    }

    // Ends the transaction, which closes the cursor.
    void Finish(const char* command)
    {
        mBlock.Reset(nullptr);
        mRows = 0;
        mDone = true;
        PQclear(PQexec(mConnection, command));
    }

    PGconn* mConnection;
    QStringList mSecrets;
    QStringList mNames;
    std::vector<Oid> mTypes;
    QStringList mTypeNames;
    TResult mBlock;
    int mRows = 0;
    int mRow = -1;
    bool mFetching = false;
    bool mDone = false;
};

} // namespace

QByteArray PostgreSqlTimeParameter(unsigned int typeOid, TDateTime value, bool isEnd)
{
    if (typeOid == TimeOid || typeOid == TimetzOid) {
        if (value < 0)
            return "00:00:00";
        if (value >= 1)
            return "24:00:00";
        return SqlTimeText(value).toLatin1();
    }
    if (typeOid == DateOid) {
        const double days = isEnd ? std::floor(value) : std::ceil(value);
        return DateTimeEpoch().addDays(static_cast<qint64>(days)).toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    }
    return SqlDateTimeText(value).toLatin1();
}

TPostgreSqlDatabase::TPostgreSqlDatabase(const QString& connectionString)
    : mSecrets(ConnectionSecrets(connectionString))
{
    const TKeywordValues keywords = PostgreSqlKeywords(connectionString);
    std::vector<const char*> names, values;
    for (const auto& keyword : keywords) {
        names.push_back(keyword.first.constData());
        values.push_back(keyword.second.constData());
    }
    names.push_back(nullptr);
    values.push_back(nullptr);
    // Only an address is expanded: a database name of the key=value form
    // stays a name.
    mConnection = PQconnectdbParams(names.data(), values.data(), IsPostgreSqlUri(connectionString) ? 1 : 0);
    if (PQstatus(mConnection) != CONNECTION_OK) {
        const QString text = MessageText(PQerrorMessage(mConnection), mSecrets);
        PQfinish(mConnection);
        mConnection = nullptr;
        throw Exception(text);
    }
    PQclear(PQexec(mConnection, "SET DateStyle TO ISO"));
    // Amounts of money then read "$1,234.56" whatever the server's locale.
    PQclear(PQexec(mConnection, "SET lc_monetary TO 'C'"));
    UseLocalTimeZone();
}

TPostgreSqlDatabase::~TPostgreSqlDatabase()
{
    PQfinish(mConnection);
}

void TPostgreSqlDatabase::UseLocalTimeZone()
{
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    const char* values[] = {zone.constData()};
    TResult result(PQexecParams(mConnection, "select set_config('TimeZone', $1, false)", 1, nullptr, values, nullptr,
                                nullptr, 0));
    if (PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        return;
    // A zone the server does not know: its present offset at least.
    const int offset = QDateTime::currentDateTime().offsetFromUtc() / 60;
    const QByteArray interval = QStringLiteral("SET TIME ZONE INTERVAL '%1%2:%3' HOUR TO MINUTE")
                                    .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                    .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                    .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
    PQclear(PQexec(mConnection, interval.constData()));
}

QStringList TPostgreSqlDatabase::Tables()
{
    TResult result(PQexec(mConnection,
                          "select c.relname from pg_catalog.pg_class c "
                          "join pg_catalog.pg_namespace n on n.oid = c.relnamespace "
                          "where c.relkind in ('r', 'v', 'm', 'p', 'f') and pg_catalog.pg_table_is_visible(c.oid) "
                          "and n.nspname not in ('pg_catalog', 'information_schema') "
                          "order by n.nspname, c.relname"));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw Exception(FailureText(mConnection, result.get(), mSecrets));
    QStringList tables;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        tables << QString::fromUtf8(PQgetvalue(result.get(), row, 0));
    return tables;
}

QStringList TPostgreSqlDatabase::Columns(const QString& table)
{
    const QByteArray name = table.toUtf8();
    const char* values[] = {name.constData()};
    TResult result(PQexecParams(mConnection,
                                "select a.attname from pg_catalog.pg_attribute a "
                                "join pg_catalog.pg_class c on c.oid = a.attrelid "
                                "where c.relname = $1 and pg_catalog.pg_table_is_visible(c.oid) "
                                "and a.attnum > 0 and not a.attisdropped order by a.attnum",
                                1, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw Exception(FailureText(mConnection, result.get(), mSecrets));
    QStringList columns;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        columns << QString::fromUtf8(PQgetvalue(result.get(), row, 0));
    return columns;
}

std::unique_ptr<TDatabaseRows> TPostgreSqlDatabase::Select(const QString& table, const QString& timeField,
                                                           TDateTime time1, TDateTime time2)
{
    auto quote = [this](const QString& name) {
        const QByteArray utf8 = name.toUtf8();
        char* quoted = PQescapeIdentifier(mConnection, utf8.constData(), static_cast<size_t>(utf8.size()));
        if (!quoted)
            throw Exception(FailureText(mConnection, nullptr, mSecrets));
        const QString text = QString::fromUtf8(quoted);
        PQfreemem(quoted);
        return text;
    };
    // libpq numbers its parameters; the named ones stand at the end.
    QString statement = LoadStatement(quote(table), quote(timeField));
    statement.replace(statement.lastIndexOf(QLatin1String(":time2")), 6, QStringLiteral("$2"));
    statement.replace(statement.lastIndexOf(QLatin1String(":time1")), 6, QStringLiteral("$1"));

    TResult prepared(PQprepare(mConnection, "", statement.toUtf8().constData(), 2, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK)
        throw Exception(FailureText(mConnection, prepared.get(), mSecrets));
    TResult description(PQdescribePrepared(mConnection, ""));
    if (PQresultStatus(description.get()) != PGRES_COMMAND_OK)
        throw Exception(FailureText(mConnection, description.get(), mSecrets));

    // The names of the fields' types, for the message of a value that cannot
    // be read.
    QStringList oids;
    for (int i = 0; i < PQnfields(description.get()); ++i)
        oids << QString::number(PQftype(description.get(), i));
    const QByteArray oidList = "{" + oids.join(QLatin1Char(',')).toLatin1() + "}";
    const char* oidValues[] = {oidList.constData()};
    TResult typeNames(PQexecParams(mConnection,
                                   "select format_type(f.oid, null) from unnest($1::oid[]) with ordinality as f(oid, n) "
                                   "order by f.n",
                                   1, nullptr, oidValues, nullptr, nullptr, 0));
    if (PQresultStatus(typeNames.get()) != PGRES_TUPLES_OK)
        throw Exception(FailureText(mConnection, typeNames.get(), mSecrets));
    QStringList names;
    for (int row = 0; row < PQntuples(typeNames.get()); ++row)
        names << QString::fromUtf8(PQgetvalue(typeNames.get(), row, 0));

    const Oid types[] = {PQparamtype(description.get(), 0), PQparamtype(description.get(), 1)};
    const QByteArray start = PostgreSqlTimeParameter(types[0], time1, false);
    const QByteArray end = PostgreSqlTimeParameter(types[1], time2, true);
    const char* values[] = {start.constData(), end.constData()};
    // The records come through a cursor, a block at a time. It lives in a
    // transaction; planned as for reading every record, as a plain select is.
    auto check = [this](const TResult& result) {
        if (PQresultStatus(result.get()) == PGRES_COMMAND_OK)
            return;
        const QString text = FailureText(mConnection, result.get(), mSecrets);
        PQclear(PQexec(mConnection, "ROLLBACK"));
        throw Exception(text);
    };
    check(TResult(PQexec(mConnection, "BEGIN; SET LOCAL cursor_tuple_fraction = 1")));
    const QByteArray declare = "DECLARE " + QByteArray(CursorName) + " NO SCROLL CURSOR FOR " + statement.toUtf8();
    check(TResult(PQexecParams(mConnection, declare.constData(), 2, types, values, nullptr, nullptr, 0)));
    return std::make_unique<TPostgreSqlRows>(mConnection, description.get(), names, mSecrets);
}

bool TPostgreSqlDatabase::Lost() const
{
    return PQstatus(mConnection) == CONNECTION_BAD;
}
