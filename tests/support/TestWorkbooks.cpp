#include "tests/support/TestWorkbooks.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

// Runs make_test_workbooks.py into the folder with the further arguments.
void MakeWorkbooks(const QString& folder, const QStringList& arguments = {})
{
    QProcess python;
    python.setProcessChannelMode(QProcess::MergedChannels);
    // Debian's interpreter, which has the modules that write workbooks.
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral(PLOTREEL_SOURCE_DIR "/tests/support/make_test_workbooks.py"), folder}
                     + arguments);
    if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
        throw std::runtime_error("make_test_workbooks.py failed: " + python.readAll().toStdString());
}

const QTemporaryDir& WorkbookFolder()
{
    static const QTemporaryDir folder;
    static const bool made = [] {
        MakeWorkbooks(folder.path());
        return true;
    }();
    (void)made;
    return folder;
}

} // namespace

QString TestWorkbook(const QString& name)
{
    const QString fileName = WorkbookFolder().filePath(name);
    if (!QFileInfo::exists(fileName))
        MakeWorkbooks(WorkbookFolder().path(), {name});
    return fileName;
}
