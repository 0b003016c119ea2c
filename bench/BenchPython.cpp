#include "bench/BenchPython.h"

#include <QFileInfo>
#include <QProcess>

#include <cstdio>

std::optional<QByteArray> PythonScriptOutput(const char* figure, const char* script, const QStringList& arguments,
                                             const char* package, const QProcessEnvironment& environment)
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable()) {
        std::fprintf(stderr, "%s skipped: no %s\n", figure, qPrintable(python));
        return std::nullopt;
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(python, QStringList{QStringLiteral(PLOTREEL_SOURCE_DIR "/bench/") + QLatin1String(script)} + arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s skipped: %s failed (is %s installed?)\n", figure, script, package);
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}
