#include "connect/ConnectionStringBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct TCase {
    const char* Name;
    std::function<void(TConnectionSettings&)> Set;
    QByteArray Expected;
};

// Settings as the dialog starts, apart from a few that every case overrides
// or ignores: all boxes hold something, so that a box used by mistake shows.
TConnectionSettings Filled()
{
    TConnectionSettings settings;
    settings.HostName = QStringLiteral("host");
    settings.Port = QStringLiteral("1433");
    settings.ServerName = QStringLiteral("SRV\\SQLEXPRESS");
    settings.DatabaseName = QStringLiteral("Sales");
    settings.AccessDatabaseFile = QStringLiteral("/data/plant.mdb");
    settings.CustomText = QStringLiteral("Provider=MSDASQL;DSN=plant");
    settings.Login = QStringLiteral("sa");
    settings.Password = QStringLiteral("p;w=d");
    return settings;
}

} // namespace

TEST(ConnectionString, FollowsTheTabAndTheAuthentication)
{
    const TCase cases[] = {
        {"sql by host, windows authentication",
         [](TConnectionSettings& s) {
             s.HostName = QStringLiteral("127.0.0.1");
             s.Authentication = TAuthentication::Windows;
         },
         "Provider=SQLOLEDB;Server=127.0.0.1,1433;Initial Catalog=Sales;Trusted_Connection=yes;"},
        {"sql by host, empty database, no authentication",
         [](TConnectionSettings& s) {
             s.HostName = QStringLiteral("127.0.0.1");
             s.DatabaseName.clear();
         },
         "Provider=SQLOLEDB;Server=127.0.0.1,1433;Initial Catalog=;"},
        {"sql by host, empty host and port",
         [](TConnectionSettings& s) {
             s.HostName.clear();
             s.Port.clear();
         },
         "Provider=SQLOLEDB;Server=,;Initial Catalog=Sales;"},
        {"sql by server name ignores host and port",
         [](TConnectionSettings& s) { s.ConnectByHost = false; },
         "Provider=SQLOLEDB;Server=SRV\\SQLEXPRESS;Initial Catalog=Sales;"},
        {"sql with login, texts untouched",
         [](TConnectionSettings& s) {
             s.Authentication = TAuthentication::Login;
             s.HostName = QStringLiteral(" host ");
         },
         "Provider=SQLOLEDB;Server= host ,1433;Initial Catalog=Sales;User ID=sa;Password=p;w=d;"},
        {"access without authentication",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::MsAccess;
             s.AccessDatabaseFile = QStringLiteral("D:\\data\\plant.mdb");
         },
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\data\\plant.mdb;"},
        {"access with windows authentication",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::MsAccess;
             s.Authentication = TAuthentication::Windows;
         },
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/data/plant.mdb;Trusted_Connection=yes;"},
        {"access with an empty login",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::MsAccess;
             s.AccessDatabaseFile.clear();
             s.Authentication = TAuthentication::Login;
             s.Login.clear();
             s.Password.clear();
         },
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=;User ID=;Password=;"},
        {"custom without a closing separator, windows authentication",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::Custom;
             s.Authentication = TAuthentication::Windows;
         },
         "Provider=MSDASQL;DSN=plantTrusted_Connection=yes;"},
        {"custom empty",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::Custom;
             s.CustomText.clear();
         },
         ""},
        {"custom line breaks become CR LF, whichever they were",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::Custom;
             s.CustomText = QStringLiteral("Provider=X;\nData Source=a;\r\nMode=Read;\n");
             s.Authentication = TAuthentication::Login;
         },
         "Provider=X;\r\nData Source=a;\r\nMode=Read;\r\nUser ID=sa;Password=p;w=d;"},
        {"non-ASCII text as UTF-8",
         [](TConnectionSettings& s) {
             s.Kind = TConnectionKind::MsAccess;
             s.AccessDatabaseFile = QStringLiteral("/daten/M\u00fchle.mdb");
         },
         "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/daten/M\xc3\xbchle.mdb;"},
    };
    for (const TCase& c : cases) {
        TConnectionSettings settings = Filled();
        c.Set(settings);
        EXPECT_EQ(BuildConnectionString(settings), c.Expected) << c.Name;
    }
}
