#pragma once

#include <QString>
#include <QByteArray>
#include <exception>

// The one error type of the program: it carries the text that the user sees in
// the error box when it leaves a command.
class Exception : public std::exception {
public:
    explicit Exception(QString message) : mMessage(std::move(message)), mUtf8(mMessage.toUtf8()) {}
    const QString& Message() const noexcept { return mMessage; }
    const char* what() const noexcept override { return mUtf8.constData(); }

private:
    QString mMessage;
    QByteArray mUtf8;
};
