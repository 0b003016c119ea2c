#include "reader/program/LoggerJob.h"

#include "common/Exception.h"
#include "reader/program/FrameOutput.h"

void RunLoggerJob(TLoggerSource& source, const QStringList& job, TFrameOutput& out)
{
    const QString what = job.value(0);
    if (job.size() == 1 && what == QLatin1String("list")) {
        AppendNodes(out.Buffer(), source.Nodes());
    } else if (job.size() == 2 && what == QLatin1String("ends")) {
        qint64 count = 0;
        double first = 0;
        double last = 0;
        source.Read(job[1], [&](const double* values, std::size_t size) {
            if (size == 0)
                return;
            if (count == 0)
                first = values[0];
            last = values[size - 1];
            count += qint64(size);
            out.KeepAlive();
        });
        AppendEnds(out.Buffer(), count, first, last);
    } else if (job.size() >= 2 && what == QLatin1String("read")) {
        for (int i = 1; i < job.size(); ++i) {
            source.Read(job[i], [&](const double* values, std::size_t size) {
                const qsizetype at = StartSamples(out.Buffer(), quint32(i - 1));
                AppendNumbers(out.Buffer(), values, quint32(size));
                FinishFrame(out.Buffer(), at);
                out.KeepAlive();
            });
        }
        AppendEmptyFrame(out.Buffer(), quint8(TForeignFrame::End));
    } else {
        throw Exception(QStringLiteral("Unknown job '%1'.").arg(job.join(QLatin1Char(' '))));
    }
}
