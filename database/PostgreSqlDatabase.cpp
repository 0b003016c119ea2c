#include "database/PostgreSqlDatabase.h"

#include "common/Exception.h"
#include "database/DatabaseBackend.h"
#include "database/DatabaseValues.h"

#include <QDeadlineTimer>
#include <QTimeZone>

#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <functional>
#include <vector>

#include <poll.h>
#include <sys/socket.h>

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

// How often a wait for the server reports to the load's progress, which also
// answers Cancel.
constexpr int WaitStepMs = 50;
// How long a server may take to stop a command that it was asked to cancel.
constexpr int StopLimitMs = 5000;

// Waits until the next result of the command under way has come, or the
// command has no more (PQgetResult then returns at once); false when the
// deadline passes first. At least every WaitStepMs progress hears `done`; a
// cancel there throws LoadCancelled. A connection that fails ends the wait,
// PQgetResult telling why.
bool AwaitResult(PGconn* connection, const QDeadlineTimer& deadline, TLoadProgress* progress = nullptr,
                 qint64 done = 0)
{
    while (PQisBusy(connection)) {
        pollfd socket{PQsocket(connection), POLLIN, 0};
        if (socket.fd < 0)
            return true;
        const int ready = poll(&socket, 1, WaitStepMs);
        if ((ready < 0 && errno != EINTR) || (ready > 0 && !PQconsumeInput(connection)))
            return true;
        ReportLoadProgress(progress, done, -1);
        if (PQisBusy(connection) && deadline.hasExpired())
            return false;
    }
    return true;
}

// Reads the results of the command under way to their end, waiting as
// AwaitResult does: keeps the first that failed, else the last. False when
// the deadline passes first.
bool CollectResults(PGconn* connection, const QDeadlineTimer& deadline, TResult& result,
                    TLoadProgress* progress = nullptr, qint64 done = 0)
{
    for (;;) {
        if (!AwaitResult(connection, deadline, progress, done))
            return false;
        PGresult* next = PQgetResult(connection);
        if (!next)
            return true;
        if (result.get() && PQresultStatus(result.get()) == PGRES_FATAL_ERROR)
            PQclear(next);
        else
            result.Reset(next);
    }
}

// Stops the command under way: the server is asked to cancel it unless it
// has finished, and its results are read away. A server that has not stopped
// within StopLimitMs serves no more: the connection ends as a lost one does.
void StopCommand(PGconn* connection)
{
    if (PQconsumeInput(connection) && PQisBusy(connection)) {
        if (PGcancel* cancel = PQgetCancel(connection)) {
            char buffer[256];
            PQcancel(cancel, buffer, sizeof buffer);
            PQfreeCancel(cancel);
        }
    }
    TResult ignored;
    if (CollectResults(connection, QDeadlineTimer(StopLimitMs), ignored))
        return;
    shutdown(PQsocket(connection), SHUT_RDWR);
    CollectResults(connection, QDeadlineTimer(StopLimitMs), ignored);
}

// Sends a command with `send` (a PQsend... call) and reads its results as
// CollectResults does. A command still under way at the deadline is stopped,
// and the answer is false. A command that could not be sent leaves the
// result null, the connection's message telling why.
bool Run(PGconn* connection, const std::function<int(PGconn*)>& send, const QDeadlineTimer& deadline,
         TResult& result)
{
    result.Reset(nullptr);
    if (!send(connection))
        return true;
    if (CollectResults(connection, deadline, result))
        return true;
    StopCommand(connection);
    result.Reset(nullptr);
    return false;
}

bool Run(PGconn* connection, const char* command, const QDeadlineTimer& deadline, TResult& result)
{
    return Run(connection, [command](PGconn* c) { return PQsendQuery(c, command); }, deadline, result);
}

// The message of a command that the server did not answer in time.
QString NoAnswerText(int limitMs)
{
    return QStringLiteral("The database server did not answer within %1 seconds.").arg(limitMs / 1000.0);
}

// Runs a command and checks its result's status; throws the failure's text,
// or the text of no answer.
void Check(PGconn* connection, const std::function<int(PGconn*)>& send, ExecStatusType expected, int limitMs,
           const QStringList& secrets, TResult& result)
{
    if (!Run(connection, send, QDeadlineTimer(limitMs), result))
        throw Exception(NoAnswerText(limitMs));
    if (PQresultStatus(result.get()) != expected)
        throw Exception(FailureText(connection, result.get(), secrets));
}

// Sets up a new session: times in ISO form, in the computer's zone, and
// amounts of money as "$1,234.56" whatever the server's locale.
void SetUpSession(PGconn* connection, int limitMs)
{
    TResult result;
    const QDeadlineTimer deadline(limitMs);
    Run(connection, "SET DateStyle TO ISO; SET lc_monetary TO 'C'", deadline, result);
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    Run(connection,
        [&zone](PGconn* c) {
            const char* values[] = {zone.constData()};
            return PQsendQueryParams(c, "select set_config('TimeZone', $1, false)", 1, nullptr, values, nullptr,
                                     nullptr, 0);
        },
        deadline, result);
    if (PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        return;
    // A zone the server does not know: its present offset at least.
    const int offset = QDateTime::currentDateTime().offsetFromUtc() / 60;
    const QByteArray interval = QStringLiteral("SET TIME ZONE INTERVAL '%1%2:%3' HOUR TO MINUTE")
                                    .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                                    .arg(std::abs(offset) / 60, 2, 10, QLatin1Char('0'))
                                    .arg(std::abs(offset) % 60, 2, 10, QLatin1Char('0'))
                                    .toLatin1();
    Run(connection, interval.constData(), deadline, result);
}

// A time field of a text type compares as the times it holds: the text as
// read (see ParseSqlDateTime), blanks around it aside, with a blank between
// date and time, a time of day alone on day 0; the bounds are texts of that
// form. Compared byte by byte, whatever the column's collation. A text that
// is no time compares too, and the load reads it when it falls in the window.
QString TextTimeExpression(const QString& quotedField)
{
    const QString text = QStringLiteral("btrim(%1, E' \\t')").arg(quotedField);
    return QStringLiteral("(case when substr(%1, 3, 1) = ':' then '%2' || %1 else translate(%1, 'T', ' ') end) "
                          "collate \"C\"")
        .arg(text, SqlDateTimeText(0).left(11));
}

// The cursor of a load, in the transaction that Select opens.
const char* const CursorName = "plotreel_load";
// Records that the first fetch brings, and the most that one brings.
constexpr int FirstFetchRecords = 1;
constexpr int MostFetchRecords = 8192;
// The bytes of values that a fetch's block is to hold at most, as far as the
// size of the records before it tells; a single record larger than this
// comes whole, alone.
constexpr qint64 BlockBytes = 16 << 20;
// How many times the records of a fetch may outnumber those of the one
// before, where the records seen so far were small.
constexpr int FetchGrowth = 8;

// The records that the next fetch asks for, from the last block's count of
// records and bytes of values.
int NextFetchRecords(int records, qint64 bytes)
{
    const qint64 most = std::min<qint64>(MostFetchRecords, static_cast<qint64>(records) * FetchGrowth);
    if (bytes <= 0)
        return static_cast<int>(most);
    return static_cast<int>(std::clamp<qint64>(BlockBytes * records / bytes, 1, most));
}

class TPostgreSqlRows : public TDatabaseRows {
public:
    // The transaction is open and the cursor declared; description tells the
    // fields, typeNames the server's names of their types. largestBlockBytes
    // hears the size of every block.
    TPostgreSqlRows(PGconn* connection, const PGresult* description, QStringList typeNames, QStringList secrets,
                    int answerLimitMs, qint64& largestBlockBytes)
        : mConnection(connection), mSecrets(std::move(secrets)), mTypeNames(std::move(typeNames)),
          mAnswerLimitMs(answerLimitMs), mLargestBlockBytes(largestBlockBytes)
    {
        for (int i = 0; i < PQnfields(description); ++i) {
            mNames << QString::fromUtf8(PQfname(description, i));
            mTypes.push_back(PQftype(description, i));
        }
        SendFetch(FirstFetchRecords);
    }

    ~TPostgreSqlRows() override
    {
        if (mDone)
            return;
        // A load stopped before its end: the fetch under way is stopped,
        // then the transaction and its cursor go.
        if (mFetching)
            StopCommand(mConnection);
        TResult ignored;
        Run(mConnection, "ROLLBACK", QDeadlineTimer(StopLimitMs), ignored);
    }

    bool Next() override
    {
        if (mDone)
            return false;
        if (++mRow >= mRows && !NextBlock())
            return false;
        ++mRecords;
        return true;
    }

    void ReportWaitsTo(TLoadProgress* progress) override { mProgress = progress; }

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

    // Moves to the first record of the next block, which the server prepared
    // while the last one was read; the one after it is asked for at once.
    // False, the transaction ended, when there is none.
    bool NextBlock()
    {
        if (!mFetching) {
            Finish("COMMIT");
            return false;
        }
        mBlock.Reset(nullptr);
        mRows = 0;
        CollectResults(mConnection, QDeadlineTimer(QDeadlineTimer::Forever), mBlock, mProgress, mRecords);
        mFetching = false;
        if (PQresultStatus(mBlock.get()) != PGRES_TUPLES_OK) {
            const QString text = FailureText(mConnection, mBlock.get(), mSecrets);
            Finish("ROLLBACK");
            throw Exception(text);
        }
        mRows = PQntuples(mBlock.get());
        mRow = 0;
        const qint64 bytes = BlockBytesOf(mBlock.get());
        mLargestBlockBytes = std::max(mLargestBlockBytes, bytes);
        if (mRows == mFetchRecords)
            SendFetch(NextFetchRecords(mRows, bytes));
        if (mRows > 0)
            return true;
        Finish("COMMIT");
        return false;
    }

    static qint64 BlockBytesOf(const PGresult* block)
    {
        qint64 bytes = 0;
        const int fields = PQnfields(block);
        for (int row = 0; row < PQntuples(block); ++row) {
            for (int field = 0; field < fields; ++field)
                bytes += PQgetlength(block, row, field);
        }
        return bytes;
    }

    void SendFetch(int records)
    {
        const QByteArray fetch = "FETCH FORWARD " + QByteArray::number(records) + " FROM " + CursorName;
        if (!PQsendQuery(mConnection, fetch.constData())) {
            const QString text = FailureText(mConnection, nullptr, mSecrets);
            Finish("ROLLBACK");
            throw Exception(text);
        }
        mFetchRecords = records;
        mFetching = true;
    }

    // Ends the transaction, which closes the cursor.
    void Finish(const char* command)
    {
        mBlock.Reset(nullptr);
        mRows = 0;
        mDone = true;
        TResult ignored;
        Run(mConnection, command, QDeadlineTimer(mAnswerLimitMs), ignored);
    }

    PGconn* mConnection;
    QStringList mSecrets;
    QStringList mNames;
    std::vector<Oid> mTypes;
    QStringList mTypeNames;
    int mAnswerLimitMs;
    qint64& mLargestBlockBytes;
    TLoadProgress* mProgress = nullptr;
    TResult mBlock;
    int mRows = 0;
    int mRow = -1;
    int mFetchRecords = 0;
    qint64 mRecords = 0;
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
    if (IsTextType(typeOid))
        return (isEnd ? SqlEndText(value) : SqlStartText(value)).toLatin1();
    return SqlDateTimeText(value).toLatin1();
}

TPostgreSqlDatabase::TPostgreSqlDatabase(const QString& connectionString, int answerLimitMs)
    : mSecrets(ConnectionSecrets(connectionString)), mAnswerLimitMs(answerLimitMs)
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
    SetUpSession(mConnection, mAnswerLimitMs);
}

TPostgreSqlDatabase::~TPostgreSqlDatabase()
{
    PQfinish(mConnection);
}

QStringList TPostgreSqlDatabase::Tables()
{
    TResult result;
    Check(mConnection,
          [](PGconn* c) {
              return PQsendQuery(c, "select c.relname from pg_catalog.pg_class c "
                                    "join pg_catalog.pg_namespace n on n.oid = c.relnamespace "
                                    "where c.relkind in ('r', 'v', 'm', 'p', 'f') "
                                    "and pg_catalog.pg_table_is_visible(c.oid) "
                                    "and n.nspname not in ('pg_catalog', 'information_schema') "
                                    "order by n.nspname, c.relname");
          },
          PGRES_TUPLES_OK, mAnswerLimitMs, mSecrets, result);
    QStringList tables;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        tables << QString::fromUtf8(PQgetvalue(result.get(), row, 0));
    return tables;
}

QStringList TPostgreSqlDatabase::Columns(const QString& table)
{
    return FirstColumn("select a.attname from pg_catalog.pg_attribute a "
                       "join pg_catalog.pg_class c on c.oid = a.attrelid "
                       "where c.relname = $1 and pg_catalog.pg_table_is_visible(c.oid) "
                       "and a.attnum > 0 and not a.attisdropped order by a.attnum",
                       table.toUtf8());
}

QStringList TPostgreSqlDatabase::FirstColumn(const char* query, const QByteArray& parameter)
{
    const char* values[] = {parameter.constData()};
    TResult result;
    Check(mConnection,
          [&](PGconn* c) { return PQsendQueryParams(c, query, 1, nullptr, values, nullptr, nullptr, 0); },
          PGRES_TUPLES_OK, mAnswerLimitMs, mSecrets, result);
    QStringList column;
    for (int row = 0; row < PQntuples(result.get()); ++row)
        column << QString::fromUtf8(PQgetvalue(result.get(), row, 0));
    return column;
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
    auto statementOf = [&](const QString& timeExpression) {
        QString statement = LoadStatement(quote(table), timeExpression);
        statement.replace(statement.lastIndexOf(QLatin1String(":time2")), 6, QStringLiteral("$2"));
        statement.replace(statement.lastIndexOf(QLatin1String(":time1")), 6, QStringLiteral("$1"));
        return statement.toUtf8();
    };
    TResult description;
    auto prepare = [&](const QByteArray& statement) {
        TResult prepared;
        Check(mConnection, [&](PGconn* c) { return PQsendPrepare(c, "", statement.constData(), 2, nullptr); },
              PGRES_COMMAND_OK, mAnswerLimitMs, mSecrets, prepared);
        Check(mConnection, [](PGconn* c) { return PQsendDescribePrepared(c, ""); }, PGRES_COMMAND_OK,
              mAnswerLimitMs, mSecrets, description);
    };
    QByteArray statement = statementOf(quote(timeField));
    prepare(statement);
    // The server infers the parameters' type from the time field's.
    if (IsTextType(PQparamtype(description.get(), 0))) {
        statement = statementOf(TextTimeExpression(quote(timeField)));
        prepare(statement);
    }

    // The names of the fields' types, for the message of a value that cannot
    // be read.
    QStringList oids;
    for (int i = 0; i < PQnfields(description.get()); ++i)
        oids << QString::number(PQftype(description.get(), i));
    const QStringList names =
        FirstColumn("select format_type(f.oid, null) from unnest($1::oid[]) with ordinality as f(oid, n) order by f.n",
                    "{" + oids.join(QLatin1Char(',')).toLatin1() + "}");

    const Oid types[] = {PQparamtype(description.get(), 0), PQparamtype(description.get(), 1)};
    const QByteArray start = PostgreSqlTimeParameter(types[0], time1, false);
    const QByteArray end = PostgreSqlTimeParameter(types[1], time2, true);
    const char* values[] = {start.constData(), end.constData()};
    // The records come through a cursor, a block at a time. It lives in a
    // transaction; planned as for reading every record, as a plain select is.
    // Declaring it runs nothing: the first fetch is the first long wait.
    TResult result;
    Check(mConnection, [](PGconn* c) { return PQsendQuery(c, "BEGIN; SET LOCAL cursor_tuple_fraction = 1"); },
          PGRES_COMMAND_OK, mAnswerLimitMs, mSecrets, result);
    const QByteArray declare = "DECLARE " + QByteArray(CursorName) + " NO SCROLL CURSOR FOR " + statement;
    try {
        Check(mConnection,
              [&](PGconn* c) {
                  return PQsendQueryParams(c, declare.constData(), 2, types, values, nullptr, nullptr, 0);
              },
              PGRES_COMMAND_OK, mAnswerLimitMs, mSecrets, result);
    } catch (const Exception&) {
        TResult ignored;
        Run(mConnection, "ROLLBACK", QDeadlineTimer(StopLimitMs), ignored);
        throw;
    }
    return std::make_unique<TPostgreSqlRows>(mConnection, description.get(), names, mSecrets, mAnswerLimitMs,
                                             mLargestBlockBytes);
}

bool TPostgreSqlDatabase::Lost() const
{
    return PQstatus(mConnection) == CONNECTION_BAD;
}
