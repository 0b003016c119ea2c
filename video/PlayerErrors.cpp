#include "video/PlayerErrors.h"

#include <QFileInfo>
#include <mpv/client.h>

QString PlayerErrorText(int code)
{
    if (code == MPV_ERROR_UNKNOWN_FORMAT || code == MPV_ERROR_NOTHING_TO_PLAY)
        return QStringLiteral("The video or audio codec is not supported.");
    return QStringLiteral("MF Player error: ")
           + QString::number(static_cast<quint32>(code), 16).toUpper();
}

QString PlayerErrorMessage(int code, const QString& subject)
{
    QString message = PlayerErrorText(code) + QLatin1Char('\n')
                      + QString::fromUtf8(mpv_error_string(code));
    if (!subject.isEmpty())
        message += QStringLiteral(": ") + subject;
    return message;
}

QString PlayerOpenErrorMessage(int code, const QString& fileName)
{
    if (code == MPV_ERROR_LOADING_FAILED && !QFileInfo::exists(fileName))
        return PlayerErrorText(code) + QStringLiteral("\nThe file does not exist: ") + fileName;
    return PlayerErrorMessage(code, fileName);
}
