#include "tests/support/TestWorkbooks.h"

#include <QProcess>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

const QTemporaryDir& WorkbookFolder()
{
    static const QTemporaryDir folder;
    static const bool made = [] {
        QProcess python;
        python.setProcessChannelMode(QProcess::MergedChannels);
        // Debian's interpreter, which has the modules that write workbooks.
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(PLOTREEL_SOURCE_DIR "/tests/support/make_test_workbooks.py"), folder.path()});
        if (!python.waitForFinished(120000) || python.exitStatus() != QProcess::NormalExit || python.exitCode() != 0)
            throw std::runtime_error("make_test_workbooks.py failed: " + python.readAll().toStdString());
        return true;
    }();
    (void)made;
    return folder;
}

} // namespace

QString TestWorkbook(const QString& name)
{
    return WorkbookFolder().filePath(name);
}
