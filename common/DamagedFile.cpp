#include "common/DamagedFile.h"

#include "common/Exception.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool NameTaken(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.exists() || info.isSymLink();
}

} // namespace

QString KeepDamagedFile(const QString& fileName)
{
    const QString base = fileName + QStringLiteral(".damaged");
    for (int number = 0;; ++number) {
        const QString kept = number == 0 ? base : base + QLatin1Char('.') + QString::number(number);
        if (NameTaken(kept))
            continue;
        QFile file(fileName);
        if (file.rename(kept))
            return kept;
        // Another program may have taken the name meanwhile.
        if (!NameTaken(kept))
            throw Exception(QStringLiteral("Cannot keep file \"%1\" as \"%2\". %3").arg(fileName, kept, file.errorString()));
    }
}
