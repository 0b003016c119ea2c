#include "bench/PeerScaleBench.h"

#include "bench/BenchPython.h"

#include <QGuiApplication>

#include <cstdio>

std::optional<ScaleReplots> PeerScaleReplots(const QString& pointsFile, int seriesCount, const ScaleViews& views,
                                             int penWidth)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QGuiApplication::platformName());
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    const std::optional<QByteArray> output = PythonScriptOutput(
        "the pyqtgraph figures", "pyqtgraph-scale.py",
        {pointsFile, QString::number(seriesCount), number(views.FullMin), number(views.FullMax),
         number(views.ZoomMin), number(views.ZoomMax), number(views.FullShift), QString::number(penWidth)},
        "python3-pyqtgraph", environment);
    if (!output)
        return std::nullopt;
    const QList<QByteArray> lines = output->trimmed().split('\n');
    bool fullOk = false;
    bool zoomedOk = false;
    const ScaleReplots replots{lines.value(0).toDouble(&fullOk), lines.value(1).toDouble(&zoomedOk)};
    if (!fullOk || !zoomedOk || replots.FullView <= 0 || replots.Zoomed <= 0) {
        std::fprintf(stderr, "the pyqtgraph figures skipped: pyqtgraph-scale.py printed no times\n");
        return std::nullopt;
    }
    return replots;
}
