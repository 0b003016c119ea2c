#include "export/ExportTarget.h"

#include "chartdata/ChartDataIO.h"
#include "common/Exception.h"
#include "common/FileIdentity.h"
#include "multivideo/VideoArrangement.h"

QList<TExportInput> VideoInputs(const QString& video, const QStringList& addedVideos)
{
    QList<TExportInput> inputs{
        {video, QStringLiteral("the video")},
        {ChartDataFileName(video), QStringLiteral("the video's chart data file")},
        {ArrangementFileName(video), QStringLiteral("the video's arrangement file")},
    };
    for (const QString& added : addedVideos)
        inputs.append({added, QStringLiteral("a video added to it")});
    return inputs;
}

void RefuseInputAsTarget(const QString& target, const QList<TExportInput>& inputs)
{
    const std::optional<TFileIdentity> identity = FileIdentityOf(target);
    if (!identity)
        return;
    for (const TExportInput& input : inputs) {
        if (FileIdentityOf(input.FileName) == identity)
            throw Exception(QStringLiteral("Nothing is exported: \"%1\" is %2, \"%3\", which the export would replace.")
                                .arg(target, input.Role, input.FileName));
    }
}
