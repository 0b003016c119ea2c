#pragma once

#include "app/KeyCommands.h"
#include "app/SeriesUndo.h"
#include "app/SpanMeasure.h"
#include "app/ZoomHistory.h"
#include "common/DateTime.h"
#include "import/LoadDataHost.h"
#include "multivideo/VideoArrangement.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QCloseEvent;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QAction;
class QToolButton;
class TChart;
class TChartFormulas;
class TChartSeries;
class TChartShape;
class TDataStrip;
class TVideoSet;
class TVideoPlayer;
class TfrmLoadData;

// The main window: the video above, the chart with its tool strip, the
// current values and the legend below.
class TfrmMain : public QWidget, public TLoadDataHost {
    Q_OBJECT

public:
    explicit TfrmMain(std::unique_ptr<TVideoPlayer> player, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Fields shared with the chart data file and the importers.
    QString VideoFileName;
    TDateTime StartTime = 0;
    TDateTime DefaultAxisMin = 0;
    TDateTime DefaultAxisMax = 0;
    // Length of the open video in seconds; 0 until a video is opened.
    float VideoDuration = 0;

    TVideoPlayer& Player() const { return *mPlayer; }
    // The open video and the videos added to it.
    TVideoSet& Videos() const { return *mVideos; }
    TChart* ChartAll = nullptr;
    TChartShape* MarkSerie = nullptr;

    TfrmLoadData* frmLoadData = nullptr;

    // Commands.
    void sbnOpenVideoClick();
    // Adds another video of the same run beside the open one.
    void sbnAddVideoClick();
    void OpenVideoFile(const QString& fileName);
    // Opens the file as "Open Video" does once the events of the moment are
    // handled: for a file dropped on the window or named on the command line.
    void OpenVideoLater(const QString& fileName);
    void sbnOpenDataClick();
    void sbnSaveDataClick();
    // Opens the "Export" dialog for the open video (MainFormExport.cpp).
    void sbnExportClick();
    void sbnAboutClick();
    void sbnPlayPauseClick();
    void sbnZoomInClick();
    void sbnZoomOutClick();
    void sbnZoomOriginalClick();

    // Refreshes the time label, the current values, the save button and the
    // legend's visibility after a change of position or data.
    void UpdateControls();
    // Stretches the cursor over the value range of the visible series.
    void FitCursorHeight();
    // Moves the cursor and the video to the time at a pixel column of the chart.
    void SeekToPixel(int x);
    // Returns to the view before the last zoom, as far back as the last zoom
    // to the whole video.
    void ZoomBack();
    // Sets the next measuring marker (A, then B, in turn) at a time.
    void PlaceMarker(TDateTime x);
    // Removes both markers and the measurement.
    void ClearMarkers();
    // The span from A to B (a before b) when both markers are set.
    bool MarkedSpan(TDateTime& a, TDateTime& b) const;
    // Whether data series index is shown: ticked in the legend, or not in it.
    bool SeriesShown(int index) const;
    // The wheel, wherever the pointer is: zooms when it is over the chart.
    void FormMouseWheel(int wheelDelta, const QPoint& mousePos);
    // A sideways wheel turn or swipe over the chart: pans the view by a tenth
    // of its width a notch, within the video.
    void PanByWheel(int wheelDelta, const QPoint& mousePos);

    // The legend.
    void FillLegend();
    void lvwLegendClick();
    void miEditClick();
    void lvwLegendEdited(int row, const QString& text);
    void miDeleteClick();
    void miClearChartDataClick();

    // Series made by formulas over the others (MainFormFormulas.cpp).
    void miNewFormulaClick();
    void miEditFormulaClick();
    // The legend's tool tips: the formula of each series made by one.
    void ShowFormulaTips();

    // The chart's lanes (MainFormLanes.cpp): one lane per series or one
    // shared axis, as the menu item turns them, kept for the open video.
    void miLanesClick();

    // Controls.
    QWidget* pnlTop = nullptr;
    QToolButton* sbnOpenVideo = nullptr;
    QToolButton* sbnAddVideo = nullptr;
    QToolButton* sbnOpenData = nullptr;
    QToolButton* sbnSaveData = nullptr;
    QToolButton* sbnExport = nullptr;
    QToolButton* sbnAbout = nullptr;
    QWidget* pnlClient = nullptr;
    QWidget* pnlBottom = nullptr;
    QWidget* pnlTools = nullptr;
    QToolButton* sbnPlayPause = nullptr;
    QToolButton* sbnZoomIn = nullptr;
    QToolButton* sbnZoomOut = nullptr;
    QToolButton* sbnZoomOriginal = nullptr;
    QLabel* lblCurrentData = nullptr;
    QLabel* Label1 = nullptr;
    TDataStrip* pbxData = nullptr;
    QLabel* lblCurrentTime = nullptr;
    // The measurement between the markers A and B, while both are set.
    QLabel* lblMeasure = nullptr;
    QListWidget* lvwLegend = nullptr;
    QMenu* pmnChart = nullptr;
    QAction* miClearChartData = nullptr;
    QAction* miLanes = nullptr;
    QMenu* pmnLegend = nullptr;
    QAction* miEdit = nullptr;
    QAction* miDelete = nullptr;
    QAction* miNewFormula = nullptr;
    QAction* miEditFormula = nullptr;
    QPixmap imgPlay;
    QPixmap imgPause;

    // What the load-data dialog works on.
    QWidget* HostWindow() override { return this; }
    TChart& TargetChart() override { return *ChartAll; }
    float TargetVideoDuration() const override { return VideoDuration; }
    QPoint DialogPosition() const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateControls();
    void CreateLegend();
    void LoadChartDataFile(const QString& fileName);
    // Opens a video in the main player; when it cannot be opened, opens the
    // video before again where it was, and throws.
    void OpenPlayer(const QString& fileName);
    // The two halves of the save button; each adds a note for a file it set
    // aside.
    void SaveVideoArrangement(QStringList& notes);
    void SaveChartData(QStringList& notes);
    void CreateTopPanel();
    void CreateToolStrip();
    void ConnectCommands();
    void PlayerPosition(TVideoPlayer* sender, float position);
    void PlayerStop(TVideoPlayer* sender);
    // Moves the cursor to where the video is now, as a position report does.
    void FollowPlayer();
    void ChartAllClickSeries(TChartSeries* series, int valueIndex, Qt::MouseButton button,
                             Qt::KeyboardModifiers shift, int x, int y);
    void ChartAllClickBackground(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void SetCursorX(TDateTime x);
    // The play button's picture and spoken name: what a press does now.
    void ShowPlayState(bool playing);

    // The keys of the window (MainFormKeys.cpp).
    // Runs the command of a key that reached `receiver`, a widget of this
    // window; false when the key is not the window's.
    bool KeyPressed(const QKeyEvent& event, const QWidget& receiver);
    void RunKeyCommand(TKeyCommand command);
    void StepFrames(int frames);
    void SeekToSeconds(float seconds);
    // Moves the cursor to a video position, the view along where the cursor
    // would leave it, and refreshes the controls.
    void ShowCursorAt(double seconds);
    void NudgeData(double seconds);
    // The sync keys: the selected added video's offset, or else the data
    // against the video, `direction` frames or steps of 100 ms.
    void NudgeKey(bool byFrame, int direction);
    // Shows the added videos where they belong at the main video's time.
    void SyncAddedVideos(double seconds);
    // Opens the videos kept beside the main one; a message for each that
    // cannot be opened, or for an arrangement that cannot be read.
    QStringList RestoreAddedVideos();
    void ChangeSpeed(int change);
    // The cursor's time with the speed and the sync offset where they are
    // not the usual ones.
    QString CurrentTimeText() const;
    // The window's size and place from the last run, or centred on the screen.
    void RestorePlacement();
    // Keeps the window's size and place for the next run.
    void KeepPlacement();
    // Chart data not saved yet (MainFormUnsaved.cpp). True when data series
    // were loaded, renamed, moved in time or removed since the last save or
    // the reading of the companion file.
    bool DataUnsaved() const;
    // Before unsaved data would be lost: asks whether to save it; false when
    // the user cancels. Throws when the save fails.
    bool KeepUnsavedData();
    void DataChanged();
    // Puts back the series of the last "Delete" or "Clear Chart Data".
    void UndoRemoval();
    void ForgetRemovals();
    // Shows a view, remembering the one it leaves for ZoomBack.
    void ZoomTo(TView view);
    // A drag with the left button moves the cursor and the video with it, a
    // Shift+drag on the chart chooses a span to zoom to, a drag with the
    // middle button moves the view (MainFormDrag.cpp).
    void ChartMouseMove(int x);
    void ScrubToColumn(int x);
    void EndScrub(int x);
    void ChartMouseRelease(Qt::MouseButton button, int x);
    // The time at a pixel column, held inside the view.
    TDateTime TimeAtColumn(int x) const;
    // Whether a point of the screen lies inside the chart's edges.
    bool OverChart(const QPoint& globalPos) const;
    // Draws the markers and fills the measurement line.
    void ShowMarkers();
    // Shows the chart in lanes or on one shared axis, the menu item offering
    // the other.
    void ShowLanes(bool lanes);

    std::unique_ptr<TVideoPlayer> mPlayer;
    std::unique_ptr<TVideoSet> mVideos;
    std::unique_ptr<TChartFormulas> mFormulas;
    // The companion file of the open video when it could not be read.
    QString mRefusedCompanion;
    // The arrangement file as it was read when the video was opened; its
    // videos are held by mVideos from then on.
    TArrangement mArrangement;
    // The arrangement file of the open video when it could not be read.
    QString mRefusedArrangement;
    bool mDataUnsaved = false;
    TSeriesUndo mSeriesUndo;
    // The companion file that was whole but did not fit in memory.
    QString mTooLargeCompanion;
    QPointer<QWidget> mLastWheelTarget;
    quint64 mLastWheelTime = 0;
    // The playback speed as a power of two.
    int mSpeedStep = 0;
    // The start time of the last load or opening, from which the sync is
    // nudged.
    TDateTime mSyncBase = 0;
    TMarkerPair mMarkers;
    TZoomHistory mZoomHistory;
    // A Shift+press on the chart that may become a drag: where it began, and
    // whether the pointer has moved far enough to choose a span.
    bool mSelecting = false;
    bool mSelectionMoved = false;
    int mSelectionStartX = 0;
    // A left press on the chart that may become a scrub: where it began,
    // whether the pointer has moved far enough to drag the cursor, and
    // whether playback paused for the drag and goes on after it.
    bool mScrubbing = false;
    bool mScrubMoved = false;
    bool mScrubResumes = false;
    int mScrubStartX = 0;
    // While the middle button drags the view: the pixel column last seen.
    bool mPanning = false;
    int mPanX = 0;
};
