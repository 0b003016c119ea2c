#pragma once

#include "common/Exception.h"

#include <QString>
#include <exception>

// The error box that shows any error leaving a user command (title "Error").
void ShowErrorBox(const QString& text);
// The outcome of a command that the user should know about (title
// "Information").
void ShowInformationBox(const QString& text);
// The box of an input check that failed (title "Warning", one "OK" button).
void ShowWarningBox(const QString& text);

// Runs one user command; an error that leaves it is shown in the error box and
// the program goes on. What the command did before the error stays.
template <class Command>
void RunCommand(Command&& command) noexcept
{
    try {
        command();
    } catch (const Exception& e) {
        ShowErrorBox(e.Message());
    } catch (const std::exception& e) {
        ShowErrorBox(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowErrorBox(QStringLiteral("Unknown error."));
    }
}
