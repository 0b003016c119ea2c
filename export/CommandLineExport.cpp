#include "export/CommandLineExport.h"

#include "chart/Chart.h"
#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "chartdata/SeriesTitle.h"
#include "common/Exception.h"
#include "common/LanesChoice.h"
#include "common/TimeMapping.h"
#include "export/ClipExport.h"
#include "export/ExportTarget.h"
#include "export/PictureExport.h"
#include "export/VideoFrames.h"
#include "multivideo/VideoArrangement.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

namespace {

const QString ClipOption = QStringLiteral("--export-clip");
const QString PictureOption = QStringLiteral("--export-picture");
const QString HelpOption = QStringLiteral("--help");

// The video's companion data in a chart of its own, the cursor at `seconds`
// over the values' range.
struct TCommandChart {
    TChart Chart;
    TChartShape* Cursor = nullptr;
    TDateTime Start = 0;
    TDateTime End = 0;

    TCommandChart(const QString& video, double duration)
    {
        Cursor = Chart.AddSeries(std::make_unique<TChartShape>());
        // The chart as the window last showed it for this video.
        Chart.SetLaned(LanesChosen(video));
        Chart.SetTitleText(TitleToDisplay);
        const QString companion = ChartDataFileName(video);
        if (QFileInfo::exists(companion)) {
            TChartDataFileReader reader(companion);
            Start = reader.AxisMin();
            End = reader.AxisMax();
            reader.AppendSeries(Chart);
        } else {
            End = VideoToChartTime(Start, static_cast<float>(duration));
        }
        Chart.BottomAxis().SetMinMax(Start, End);
    }

    void PlaceCursor(TDateTime t)
    {
        Cursor->SetActive(false);
        Chart.LeftAxis().AdjustNow();
        Cursor->SetX0(t);
        Cursor->SetX1(t);
        Cursor->SetY0(Chart.LeftAxis().Minimum());
        Cursor->SetY1(Chart.LeftAxis().Maximum());
        Cursor->SetActive(true);
    }
};

double Duration(const QString& video)
{
    return TMediaFrames(video, AVMEDIA_TYPE_VIDEO).Duration();
}

// The video's files, and the videos added to it where its arrangement can be
// read.
QList<TExportInput> CommandInputs(const QString& video)
{
    QStringList added;
    try {
        for (const TAddedVideo& entry : LoadArrangement(video).Videos)
            added << entry.FileName;
    } catch (const Exception&) {
        // An arrangement that cannot be read is no input of the export.
    }
    return VideoInputs(video, added);
}

} // namespace

QString CommandLineUsage()
{
    return QStringLiteral(
        "Usage:\n"
        "  plotreel [VIDEO]\n"
        "      Opens the window, with VIDEO and its chart data file when given.\n"
        "  plotreel --export-clip OUT.mp4 [--from HH:MM:SS.zzz] [--to HH:MM:SS.zzz] VIDEO\n"
        "      Writes the video from --from to --to (the whole video by default)\n"
        "      with its chart under each frame, the cursor at the frame's time.\n"
        "  plotreel --export-picture OUT.png|OUT.svg|OUT.pdf [--at HH:MM:SS.zzz] VIDEO\n"
        "      Writes the frame at --at (the first by default) above the chart.\n"
        "  plotreel --version\n"
        "      Prints the version.\n"
        "  plotreel --help\n"
        "      Shows this text.\n"
        "Times are positions in the video. The exports use the video's chart data\n"
        "file and need no display.\n");
}

bool IsWindowlessCommand(const QStringList& arguments)
{
    return arguments.contains(ClipOption) || arguments.contains(PictureOption) || arguments.contains(HelpOption);
}

std::optional<double> ParseVideoPosition(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:(?:(\\d+):)?(\\d{1,2}):)?(\\d+(?:\\.\\d{1,3})?)$"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const double hours = match.captured(1).isEmpty() ? 0 : match.captured(1).toDouble();
    const double minutes = match.captured(2).isEmpty() ? 0 : match.captured(2).toDouble();
    const double seconds = match.captured(3).toDouble();
    if ((!match.captured(2).isEmpty() && (minutes >= 60 || seconds >= 60)))
        return std::nullopt;
    return hours * 3600 + minutes * 60 + seconds;
}

TExportCommand ParseExportCommand(const QStringList& arguments)
{
    const auto usage = [](const QString& problem) { throw Exception(problem + QStringLiteral(" See plotreel --help.")); };
    TExportCommand command;
    bool kindGiven = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const auto value = [&]() -> QString {
            if (i + 1 >= arguments.size())
                usage(QStringLiteral("%1 needs a value.").arg(argument));
            return arguments.at(++i);
        };
        const auto position = [&]() {
            const QString text = value();
            const std::optional<double> seconds = ParseVideoPosition(text);
            if (!seconds)
                usage(QStringLiteral("%1 %2 is no position such as 00:01:30.500.").arg(argument, text));
            return seconds;
        };
        if (argument == ClipOption || argument == PictureOption) {
            if (kindGiven)
                usage(QStringLiteral("Only one export at a time."));
            kindGiven = true;
            command.Kind = argument == ClipOption ? TExportCommand::TKind::Clip : TExportCommand::TKind::Picture;
            command.Output = value();
        } else if (argument == QLatin1String("--from")) {
            command.From = position();
        } else if (argument == QLatin1String("--to")) {
            command.To = position();
        } else if (argument == QLatin1String("--at")) {
            command.At = position();
        } else if (argument.startsWith(QLatin1String("--"))) {
            usage(QStringLiteral("Unknown option %1.").arg(argument));
        } else if (command.Video.isEmpty()) {
            command.Video = argument;
        } else {
            usage(QStringLiteral("Only one video at a time."));
        }
    }
    if (!kindGiven)
        usage(QStringLiteral("No export asked for."));
    if (command.Video.isEmpty())
        usage(QStringLiteral("No video given."));
    const bool clip = command.Kind == TExportCommand::TKind::Clip;
    if (clip && command.At)
        usage(QStringLiteral("--at belongs to --export-picture."));
    if (!clip && (command.From || command.To))
        usage(QStringLiteral("--from and --to belong to --export-clip."));
    if (!clip)
        PictureFormatOf(command.Output);
    if (clip && QFileInfo(command.Output).suffix().toLower() != QLatin1String("mp4"))
        usage(QStringLiteral("The clip's name must end in .mp4."));
    return command;
}

void RunExportCommand(const TExportCommand& command)
{
    // The companion file is named after the video's full path.
    const QString video = QFileInfo(command.Video).absoluteFilePath();
    RefuseInputAsTarget(command.Output, CommandInputs(video));
    const double duration = Duration(video);
    TCommandChart chart(video, duration);
    if (command.Kind == TExportCommand::TKind::Picture) {
        const double at = command.At.value_or(0);
        chart.PlaceCursor(VideoToChartTime(chart.Start, static_cast<float>(at)));
        const QImage frame = VideoFrameAt(video, at);
        ExportPicture(chart.Chart, chart.Cursor->X0(), frame, DefaultPictureSize(frame.size()), QLocale(),
                      command.Output);
        return;
    }
    TClipOptions options;
    options.From = command.From.value_or(0);
    options.To = command.To.value_or(duration);
    chart.PlaceCursor(VideoToChartTime(chart.Start, static_cast<float>(options.From)));
    ExportClip(video, {chart.Chart, chart.Start, {chart.Start, chart.End}, chart.End}, options, QLocale(),
               command.Output);
}

int RunWindowlessCommand(const QStringList& arguments)
{
    if (arguments.contains(HelpOption)) {
        std::fputs(CommandLineUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    TExportCommand command;
    try {
        command = ParseExportCommand(arguments);
    } catch (const Exception& error) {
        std::fprintf(stderr, "plotreel: %s\n", error.Message().toLocal8Bit().constData());
        return 2;
    }
    try {
        RunExportCommand(command);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "plotreel: %s\n", error.what());
        return 1;
    }
    return 0;
}
