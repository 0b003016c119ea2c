#include "connect/ConnectionStringBuilder.h"

namespace {

// Every line break as a CR LF pair, whatever the text had.
QString WithCrLf(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

} // namespace

QByteArray BuildConnectionString(const TConnectionSettings& settings)
{
    QString text;
    switch (settings.Kind) {
    case TConnectionKind::MsSql:
        text = QStringLiteral("Provider=SQLOLEDB;");
        if (settings.ConnectByHost)
            text += QStringLiteral("Server=") + settings.HostName + QLatin1Char(',') + settings.Port + QLatin1Char(';');
        else
            text += QStringLiteral("Server=") + settings.ServerName + QLatin1Char(';');
        text += QStringLiteral("Initial Catalog=") + settings.DatabaseName + QLatin1Char(';');
        break;
    case TConnectionKind::MsAccess:
        text = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + settings.AccessDatabaseFile
               + QLatin1Char(';');
        break;
    case TConnectionKind::Custom:
        text = WithCrLf(settings.CustomText);
        break;
    }
    switch (settings.Authentication) {
    case TAuthentication::None:
        break;
    case TAuthentication::Windows:
        text += QStringLiteral("Trusted_Connection=yes;");
        break;
    case TAuthentication::Login:
        text += QStringLiteral("User ID=") + settings.Login + QStringLiteral(";Password=") + settings.Password
                + QLatin1Char(';');
        break;
    }
    return text.toUtf8();
}
