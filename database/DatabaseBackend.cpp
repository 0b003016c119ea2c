#include "database/DatabaseBackend.h"

#include "common/Exception.h"

#include <QFile>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

namespace {

const QString ProvidersUnderstood = QStringLiteral(
    "Understood are Provider=SQLOLEDB, SQLNCLI or MSOLEDBSQL (SQL Server through FreeTDS), "
    "Provider=Microsoft.Jet.OLEDB.4.0 or Microsoft.ACE.OLEDB (an Access or SQLite file), "
    "Provider=MSDASQL, Driver={...} or DSN=... (ODBC), "
    "Provider=PostgreSQL, and postgresql:// addresses.");

bool StartsWith(const QString& text, const char* prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

bool IsSQLiteFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(16) == QByteArray("SQLite format 3\0", 16);
}

bool IsYes(const QString& value)
{
    const QString v = value.trimmed().toLower();
    return v == QLatin1String("yes") || v == QLatin1String("true") || v == QLatin1String("sspi");
}

} // namespace

bool IsPostgreSqlUri(const QString& connectionString)
{
    const QString text = connectionString.trimmed();
    return StartsWith(text, "postgresql://") || StartsWith(text, "postgres://");
}

TDatabaseBackend ChooseDatabaseBackend(const QString& connectionString)
{
    if (IsPostgreSqlUri(connectionString))
        return TDatabaseBackend::PostgreSql;
    const TConnectionString connection(connectionString);
    const QString provider = connection.Value({"Provider"});
    if (provider.isEmpty()) {
        if (connection.Has(QStringLiteral("Driver")) || connection.Has(QStringLiteral("DSN")))
            return TDatabaseBackend::Odbc;
        throw Exception(QStringLiteral("The connection string names no provider. ") + ProvidersUnderstood);
    }
    if (provider.compare(QLatin1String("SQLOLEDB"), Qt::CaseInsensitive) == 0 || StartsWith(provider, "SQLOLEDB.")
        || StartsWith(provider, "SQLNCLI") || StartsWith(provider, "MSOLEDBSQL"))
        return TDatabaseBackend::SqlServer;
    if (StartsWith(provider, "Microsoft.Jet.OLEDB.") || StartsWith(provider, "Microsoft.ACE.OLEDB."))
        return IsSQLiteFile(DataSourceFile(connection)) ? TDatabaseBackend::SQLiteFile : TDatabaseBackend::AccessFile;
    if (StartsWith(provider, "MSDASQL"))
        return TDatabaseBackend::Odbc;
    if (StartsWith(provider, "PostgreSQL") || StartsWith(provider, "Npgsql") || StartsWith(provider, "PGNP"))
        return TDatabaseBackend::PostgreSql;
    throw Exception(QStringLiteral("The provider \"%1\" is not understood. ").arg(provider) + ProvidersUnderstood);
}

QString FreeTdsConnectionString(const TConnectionString& connection)
{
    QString server = connection.Value({"Server", "Data Source", "Address", "Addr", "Network Address"});
    if (StartsWith(server, "tcp:"))
        server = server.mid(4);
    QString port;
    const int comma = static_cast<int>(server.indexOf(QLatin1Char(',')));
    if (comma >= 0) {
        port = server.mid(comma + 1).trimmed();
        server = server.left(comma).trimmed();
    }
    // The names SQL Server's own clients take for the local machine.
    const QString host = server.section(QLatin1Char('\\'), 0, 0);
    if (host == QLatin1String(".") || host.compare(QLatin1String("(local)"), Qt::CaseInsensitive) == 0)
        server.replace(0, host.size(), QStringLiteral("localhost"));

    QString result = QStringLiteral("Driver={FreeTDS};Server=") + OdbcValue(server) + QLatin1Char(';');
    if (!port.isEmpty())
        result += QStringLiteral("Port=") + OdbcValue(port) + QLatin1Char(';');
    const QString database = connection.Value({"Initial Catalog", "Database"});
    if (!database.isEmpty())
        result += QStringLiteral("Database=") + OdbcValue(database) + QLatin1Char(';');
    if (connection.Has(QStringLiteral("User ID")) || connection.Has(QStringLiteral("UID"))
        || connection.Has(QStringLiteral("User"))) {
        result += QStringLiteral("UID=") + OdbcValue(connection.Value({"User ID", "UID", "User"})) + QLatin1Char(';');
        result += QStringLiteral("PWD=") + OdbcValue(connection.Value({"Password", "PWD"})) + QLatin1Char(';');
    }
    if (IsYes(connection.Value({"Trusted_Connection", "Integrated Security"})))
        result += QStringLiteral("Trusted_Connection=Yes;");
    result += QStringLiteral("ClientCharset=UTF-8;");
    return result;
}

QString OdbcConnectionString(const TConnectionString& connection)
{
    QString result;
    for (const TConnectionString::TPair& pair : connection.Pairs()) {
        if (pair.Key.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            continue;
        result += pair.Key + QLatin1Char('=') + OdbcValue(pair.Value, pair.Braced) + QLatin1Char(';');
    }
    return result;
}

QString QtOdbcDatabaseName(const QString& odbcConnectionString)
{
    if (odbcConnectionString.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive)
        || odbcConnectionString.contains(QLatin1String("SERVER="), Qt::CaseInsensitive))
        return odbcConnectionString;
    const TConnectionString connection(odbcConnectionString);
    QString dataSource;
    QString others;
    for (const TConnectionString::TPair& pair : connection.Pairs()) {
        const QString value = OdbcValue(pair.Value, pair.Braced) + QLatin1Char(';');
        if (dataSource.isEmpty() && pair.Key.compare(QLatin1String("DSN"), Qt::CaseInsensitive) == 0)
            dataSource = value;
        else
            others += pair.Key + QLatin1Char('=') + value;
    }
    return dataSource.isEmpty() ? odbcConnectionString : dataSource + others;
}

QString DataSourceFile(const TConnectionString& connection)
{
    return connection.Value({"Data Source"});
}

TKeywordValues PostgreSqlKeywords(const QString& connectionString)
{
    // A connect that cannot reach its server gives up after this many seconds
    // unless the string says otherwise, as OLE DB's providers do.
    TKeywordValues keywords{{"connect_timeout", "15"}};
    if (IsPostgreSqlUri(connectionString)) {
        keywords.append({"dbname", connectionString.trimmed().toUtf8()});
        return keywords;
    }
    const TConnectionString connection(connectionString);
    const struct {
        const char* Keyword;
        std::initializer_list<const char*> Keys;
    } map[] = {
        {"host", {"Host", "Server", "Data Source"}},
        {"port", {"Port"}},
        {"dbname", {"Database", "Initial Catalog", "DBName"}},
        {"user", {"User ID", "UID", "User", "Username", "User Name"}},
        {"password", {"Password", "PWD"}},
        {"sslmode", {"SSL Mode", "SSLMode"}},
        {"connect_timeout", {"Timeout", "Connect Timeout", "Connection Timeout"}},
    };
    for (const auto& entry : map) {
        const QString value = connection.Value(entry.Keys);
        if (!value.isEmpty())
            keywords.append({entry.Keyword, value.toUtf8()});
    }
    return keywords;
}

QStringList ConnectionSecrets(const QString& connectionString)
{
    QStringList secrets;
    if (IsPostgreSqlUri(connectionString)) {
        // The password sits between "user:" and the "@" before the host. An
        // unencoded "@" or "/" in it makes libpq cut the address elsewhere
        // (at the first "@", or at a "/" before any "@"), and the rest of the
        // password then shows as the host, the port or the database name:
        // the whole span up to the last "@" is hidden, and each of its pieces.
        const QString text = connectionString.trimmed();
        const int start = static_cast<int>(text.indexOf(QLatin1String("://"))) + 3;
        int end = static_cast<int>(text.indexOf(QLatin1Char('?'), start));
        if (end < 0)
            end = static_cast<int>(text.size());
        const int at = static_cast<int>(text.lastIndexOf(QLatin1Char('@'), end - 1));
        const int colon = static_cast<int>(text.indexOf(QLatin1Char(':'), start));
        if (at > start && colon > 0 && colon < at) {
            const QString password = text.mid(colon + 1, at - colon - 1);
            secrets << password << password.split(QRegularExpression(QStringLiteral("[@/]")), Qt::SkipEmptyParts);
        }
        const QUrlQuery query(QUrl(text).query());
        secrets << query.queryItemValue(QStringLiteral("password"), QUrl::FullyEncoded);
    } else {
        const TConnectionString connection(connectionString);
        for (const TConnectionString::TPair& pair : connection.Pairs()) {
            if (pair.Key.compare(QLatin1String("Password"), Qt::CaseInsensitive) == 0
                || pair.Key.compare(QLatin1String("PWD"), Qt::CaseInsensitive) == 0)
                secrets << pair.Value;
        }
    }
    QStringList all;
    for (const QString& secret : secrets) {
        if (secret.isEmpty())
            continue;
        all << secret << QUrl::fromPercentEncoding(secret.toUtf8());
    }
    all.removeDuplicates();
    // Longer first, so that a secret that holds another is hidden whole.
    std::sort(all.begin(), all.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    return all;
}

QString HideSecrets(QString text, const QStringList& secrets)
{
    for (const QString& secret : secrets) {
        if (!secret.isEmpty())
            text.replace(secret, QStringLiteral("********"));
    }
    return text;
}
