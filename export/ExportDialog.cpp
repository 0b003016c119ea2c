#include "export/ExportDialog.h"

#include "common/LoadProgressDialog.h"
#include "common/MessageBoxes.h"
#include "common/RecentFolders.h"
#include "common/TimeMapping.h"
#include "common/WaitCursor.h"
#include "export/ClipExport.h"
#include "export/DataExport.h"
#include "export/ExportTarget.h"
#include "export/PictureExport.h"
#include "export/VideoFrames.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString FolderKey = QStringLiteral("Export");

enum Choice { PictureTab, ClipTab, DataTab };

// The dialog's settings for the rest of the session.
struct TSettings {
    int Tab = PictureTab;
    bool ChartAlone = false;
    int Format = 0;
    QSize Size;
    bool WholeVideo = false;
    bool WholeSpanInView = false;
    bool HalfSize = false;
    int BandHeight = 0;
};

TSettings& Settings()
{
    static TSettings settings;
    return settings;
}

const char* const FormatNames[] = {"PNG picture (*.png)", "SVG drawing (*.svg)", "PDF document (*.pdf)"};
const char* const FormatSuffixes[] = {"png", "svg", "pdf"};

QRadioButton* AddChoice(QVBoxLayout* layout, QButtonGroup* group, const QString& text, int id)
{
    auto* button = new QRadioButton(text);
    group->addButton(button, id);
    layout->addWidget(button);
    return button;
}

// The span in view as positions in the video, within the video.
std::pair<double, double> ViewSeconds(const TExportSource& source)
{
    const double from = ChartToVideoSeconds(source.StartTime, source.View.Min);
    const double to = ChartToVideoSeconds(source.StartTime, source.View.Max);
    return {std::clamp(from, 0.0, static_cast<double>(source.Duration)),
            std::clamp(to, 0.0, static_cast<double>(source.Duration))};
}

} // namespace

TfrmExport::TfrmExport(const TExportSource& source, QWidget* parent) : QDialog(parent), mSource(source)
{
    setWindowTitle(QStringLiteral("Export"));
    const TSettings& settings = Settings();
    Choices = new QTabWidget(this);

    auto* picture = new QWidget;
    auto* pictureLayout = new QVBoxLayout(picture);
    PictureContent = new QButtonGroup(picture);
    AddChoice(pictureLayout, PictureContent, QStringLiteral("The frame at the cursor above the chart"), 0);
    AddChoice(pictureLayout, PictureContent, QStringLiteral("The chart alone"), 1);
    PictureContent->button(settings.ChartAlone ? 1 : 0)->setChecked(true);
    auto* pictureForm = new QFormLayout;
    PictureFormat = new QComboBox;
    PictureFormat->addItems({QStringLiteral("PNG"), QStringLiteral("SVG"), QStringLiteral("PDF")});
    PictureFormat->setCurrentIndex(settings.Format);
    pictureForm->addRow(QStringLiteral("Format"), PictureFormat);
    const QSize size = settings.Size.isValid() ? settings.Size : source.WindowSize;
    PictureWidth = new QSpinBox;
    PictureWidth->setRange(16, 16384);
    PictureWidth->setValue(size.width());
    PictureWidth->setSuffix(QStringLiteral(" px"));
    PictureHeight = new QSpinBox;
    PictureHeight->setRange(16, 16384);
    PictureHeight->setValue(size.height());
    PictureHeight->setSuffix(QStringLiteral(" px"));
    pictureForm->addRow(QStringLiteral("Width"), PictureWidth);
    pictureForm->addRow(QStringLiteral("Height"), PictureHeight);
    pictureLayout->addLayout(pictureForm);
    pictureLayout->addStretch(1);
    Choices->addTab(picture, QStringLiteral("Picture"));

    auto* clip = new QWidget;
    auto* clipLayout = new QVBoxLayout(clip);
    ClipSpan = new QButtonGroup(clip);
    AddChoice(clipLayout, ClipSpan, QStringLiteral("The time span in view"), 0);
    AddChoice(clipLayout, ClipSpan, QStringLiteral("The whole video"), 1);
    ClipSpan->button(settings.WholeVideo ? 1 : 0)->setChecked(true);
    ClipWholeSpanInView = new QCheckBox(QStringLiteral("Show the whole span in the chart, without scrolling"));
    ClipWholeSpanInView->setChecked(settings.WholeSpanInView);
    ClipHalfSize = new QCheckBox(QStringLiteral("Half the video's width and height"));
    ClipHalfSize->setChecked(settings.HalfSize);
    clipLayout->addWidget(ClipWholeSpanInView);
    clipLayout->addWidget(ClipHalfSize);
    auto* clipForm = new QFormLayout;
    ClipBandHeight = new QSpinBox;
    ClipBandHeight->setRange(0, 4096);
    ClipBandHeight->setSingleStep(10);
    ClipBandHeight->setSpecialValueText(QStringLiteral("A third of the frame's height"));
    ClipBandHeight->setSuffix(QStringLiteral(" px"));
    ClipBandHeight->setValue(settings.BandHeight);
    clipForm->addRow(QStringLiteral("Chart height"), ClipBandHeight);
    clipLayout->addLayout(clipForm);
    clipLayout->addWidget(new QLabel(QStringLiteral("MP4: H.264 video at the video's frame rate, AAC sound.")));
    clipLayout->addStretch(1);
    Choices->addTab(clip, QStringLiteral("Video Clip"));

    auto* data = new QWidget;
    auto* dataLayout = new QVBoxLayout(data);
    auto* dataNote = new QLabel(QStringLiteral(
        "The visible series within the time span in view, as a delimited text file: the time, then a "
        "field per series. The Text/CSV tab of Load Data reads it back."));
    dataNote->setWordWrap(true);
    dataLayout->addWidget(dataNote);
    dataLayout->addStretch(1);
    Choices->addTab(data, QStringLiteral("Data"));
    Choices->setCurrentIndex(settings.Tab);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    QPushButton* exportButton = buttons->addButton(QStringLiteral("Export..."), QDialogButtonBox::AcceptRole);
    exportButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(exportButton, &QPushButton::clicked, this, [this] { RunCommand([this] { ExportClick(); }); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Choices);
    layout->addWidget(buttons);
}

void TfrmExport::KeepSettings() const
{
    TSettings& settings = Settings();
    settings.Tab = Choices->currentIndex();
    settings.ChartAlone = PictureContent->checkedId() == 1;
    settings.Format = PictureFormat->currentIndex();
    settings.Size = QSize(PictureWidth->value(), PictureHeight->value());
    settings.WholeVideo = ClipSpan->checkedId() == 1;
    settings.WholeSpanInView = ClipWholeSpanInView->isChecked();
    settings.HalfSize = ClipHalfSize->isChecked();
    settings.BandHeight = ClipBandHeight->value();
}

void TfrmExport::ExportClick()
{
    KeepSettings();
    QString filter;
    QString suffix;
    switch (Choices->currentIndex()) {
    case PictureTab:
        filter = QString::fromLatin1(FormatNames[PictureFormat->currentIndex()]);
        suffix = QString::fromLatin1(FormatSuffixes[PictureFormat->currentIndex()]);
        break;
    case ClipTab:
        filter = QStringLiteral("MP4 video (*.mp4)");
        suffix = QStringLiteral("mp4");
        break;
    default:
        filter = QStringLiteral("Text files (*.csv *.txt)");
        suffix = QStringLiteral("csv");
        break;
    }
    QFileDialog dialog(this, QStringLiteral("Export"), RecentFolder(FolderKey), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().constFirst();
    RememberFolder(FolderKey, fileName);
    if (ExportTo(fileName))
        accept();
}

bool TfrmExport::ExportTo(const QString& fileName)
{
    KeepSettings();
    RefuseInputAsTarget(fileName, VideoInputs(mSource.VideoFileName, mSource.AddedVideos));
    WaitCursor wait;
    TChart& chart = *mSource.Chart;
    try {
        switch (Choices->currentIndex()) {
        case PictureTab: {
            const QImage frame = PictureContent->checkedId() == 0
                                     ? VideoFrameAt(mSource.VideoFileName,
                                                    ChartToVideoSeconds(mSource.StartTime, mSource.Cursor))
                                     : QImage();
            ExportPicture(chart, mSource.Cursor, frame, QSize(PictureWidth->value(), PictureHeight->value()),
                          QLocale(), fileName);
            break;
        }
        case ClipTab: {
            TClipOptions options;
            std::tie(options.From, options.To) = ClipSpan->checkedId() == 1
                                                     ? std::pair<double, double>(0.0, mSource.Duration)
                                                     : ViewSeconds(mSource);
            options.HalfSize = ClipHalfSize->isChecked();
            options.BandHeight = ClipBandHeight->value();
            options.WholeSpanInView = ClipWholeSpanInView->isChecked();
            options.Marks = mSource.Marks;
            TLoadProgressDialog progress(this, QStringLiteral("Writing the video clip..."));
            ExportClip(mSource.VideoFileName, {chart, mSource.StartTime, mSource.View, mSource.FullMax}, options,
                       QLocale(), fileName, &progress);
            break;
        }
        default: {
            TLoadProgressDialog progress(this, QStringLiteral("Writing the data..."));
            ExportChartData(chart, mSource.View.Min, mSource.View.Max, QLocale(), fileName, &progress);
            break;
        }
        }
    } catch (const LoadCancelled&) {
        return false;
    }
    return true;
}

void RunExportDialog(const TExportSource& source, QWidget* parent)
{
    TfrmExport dialog(source, parent);
    dialog.exec();
}
