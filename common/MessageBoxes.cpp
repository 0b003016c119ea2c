#include "common/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QWidget* BoxParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

void ShowErrorBox(const QString& text)
{
    QMessageBox::critical(BoxParent(), QStringLiteral("Error"), text, QMessageBox::Ok);
}

void ShowWarningBox(const QString& text)
{
    QMessageBox::warning(BoxParent(), QStringLiteral("Warning"), text, QMessageBox::Ok);
}

void ShowInformationBox(const QString& text)
{
    QMessageBox::information(BoxParent(), QStringLiteral("Information"), text, QMessageBox::Ok);
}
