#include "tests/support/ForeignLoggerFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

QString ForeignLoggerFile(const char* name)
{
    static QTemporaryDir folder;
    static const bool written = [] {
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(PLOTREEL_SOURCE_DIR "/tests/logger/write-foreign-files.py"), folder.path()});
        return python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0;
    }();
    EXPECT_TRUE(written) << "python3 with scipy and h5py could not write the logger files";
    return folder.filePath(QString::fromLatin1(name));
}
