#pragma once

#include "chart/ChartView.h"
#include "common/DateTime.h"
#include "export/ClipChapters.h"

#include <QDialog>
#include <QSize>
#include <QString>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QTabWidget;
class TChart;

// What the main window shows, for the export.
struct TExportSource {
    TChart* Chart = nullptr;
    QString VideoFileName;
    // The videos added beside it.
    QStringList AddedVideos;
    // The chart time of the video's start, the view and the full view's end.
    TDateTime StartTime = 0;
    TView View{0, 0};
    TDateTime FullMax = 0;
    // The cursor's time and the video's length in seconds.
    TDateTime Cursor = 0;
    float Duration = 0;
    QSize WindowSize;
    // The marks, in seconds of the video, with their chapter titles.
    std::vector<TClipChapter> Marks;
};

// The "Export" dialog: a picture, a video clip or the data in view. Its
// settings stay for the session; the folder of the last export stays across
// sessions.
class TfrmExport : public QDialog {
    Q_OBJECT

public:
    TfrmExport(const TExportSource& source, QWidget* parent);

    QTabWidget* Choices = nullptr;
    // Picture.
    QButtonGroup* PictureContent = nullptr;
    QComboBox* PictureFormat = nullptr;
    QSpinBox* PictureWidth = nullptr;
    QSpinBox* PictureHeight = nullptr;
    // Video clip.
    QButtonGroup* ClipSpan = nullptr;
    QCheckBox* ClipWholeSpanInView = nullptr;
    QCheckBox* ClipHalfSize = nullptr;
    QSpinBox* ClipBandHeight = nullptr;

    // Exports into the file; false when the user cancelled the export.
    // Throws an Exception naming the file when it is one of the open
    // video's own files or an added video.
    bool ExportTo(const QString& fileName);

private:
    void ExportClick();
    void KeepSettings() const;

    TExportSource mSource;
};

// Opens the dialog over the window.
void RunExportDialog(const TExportSource& source, QWidget* parent);
