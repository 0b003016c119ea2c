#pragma once

#include <QByteArray>
#include <QString>

// Where the data live: the tab of the "Connect Database" dialog.
enum class TConnectionKind { MsSql, MsAccess, Custom };

enum class TAuthentication { None, Windows, Login };

// What the "Connect Database" dialog holds when the user presses "Connect".
// Texts are taken exactly as typed; only those of the chosen options are used.
struct TConnectionSettings {
    TConnectionKind Kind = TConnectionKind::MsSql;
    // MS SQL: by host and port, or else by server name.
    bool ConnectByHost = true;
    QString HostName;
    QString Port;
    QString ServerName;
    QString DatabaseName;
    // MS Access.
    QString AccessDatabaseFile;
    // Custom: the whole string; its line breaks may be LF or CR LF.
    QString CustomText;
    TAuthentication Authentication = TAuthentication::None;
    QString Login;
    QString Password;
};

// The OLE DB connection string, as UTF-8: the provider, the server (MS SQL
// only), the database or data source, then the authentication keys. Nothing
// is trimmed, quoted or checked; line breaks of the custom text become CR LF.
QByteArray BuildConnectionString(const TConnectionSettings& settings);
