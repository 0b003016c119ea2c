#include "app/MainForm.h"

#include "about/About.h"
#include "about/ProdInfo.h"
#include "app/DataStrip.h"
#include "common/TimeMapping.h"
#include "chart/Chart.h"
#include "chartdata/ChartData.h"
#include "chartdata/ChartDataFile.h"
#include "chartdata/ChartDataIO.h"
#include "common/DamagedFile.h"
#include "common/Exception.h"
#include "common/LanesChoice.h"
#include "common/LoadProgressDialog.h"
#include "common/MessageBoxes.h"
#include "common/RecentFolders.h"
#include "common/WaitCursor.h"
#include "connect/ConnectDatabaseForm.h"
#include "import/LoadDataForm.h"
#include "derived/ChartFormulas.h"
#include "multivideo/VideoArrangement.h"
#include "multivideo/VideoSet.h"
#include "video/VideoPlayer.h"

#include <QApplication>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QKeyEvent>
#include <QToolButton>
#include <QWheelEvent>

namespace {

// The key under which the video dialog keeps its folder.
const QString VideoFolderKey = QStringLiteral("Video");

// A video file chosen in the file dialog, its folder remembered; empty when
// the dialog is cancelled.
QString ChooseVideoFile(QWidget* parent)
{
    const QString fileName = QFileDialog::getOpenFileName(
        parent, QString(), RecentFolder(VideoFolderKey), QStringLiteral("Video Files (*.mp4 *.mov *.avi);;All Files (*)"));
    if (!fileName.isEmpty())
        RememberFolder(VideoFolderKey, fileName);
    return fileName;
}

} // namespace

TfrmMain::TfrmMain(std::unique_ptr<TVideoPlayer> player, QWidget* parent)
    : QWidget(parent), mPlayer(std::move(player))
{
    setWindowTitle(ProductInfo.ProductName);
    CreateControls();
    CreateLegend();
    MarkSerie = ChartAll->AddSeries(std::make_unique<TChartShape>());

    mVideos = std::make_unique<TVideoSet>(*mPlayer, pnlClient);
    mFormulas = std::make_unique<TChartFormulas>(*ChartAll, this);
    mVideos->OnChanged = [this] { UpdateControls(); };
    mPlayer->SetVideoWindow(mVideos->MainTile());
    mPlayer->OnPosition = [this](TVideoPlayer* sender, float position) { PlayerPosition(sender, position); };
    mPlayer->OnStop = [this](TVideoPlayer* sender) { PlayerStop(sender); };
    mPlayer->OnFrameShown = [this](TVideoPlayer*, double seconds) {
        ShowCursorAt(seconds);
        SyncAddedVideos(seconds);
    };

    lblCurrentTime->setText(QString());
    VideoDuration = 0;
    StartTime = 0;
    MarkSerie->SetX0(0);
    MarkSerie->SetX1(0);
    MarkSerie->SetY0(0);
    MarkSerie->SetY1(95);
    ChartAll->SetLegendColor(pnlBottom->palette().color(QPalette::Window));

    ConnectCommands();
    qApp->installEventFilter(this);
    frmLoadData = new TfrmLoadData(*this);
    // The connection dialog makes itself frmConnectDatabase and goes with this window.
    new TfrmConnectDatabase(this);

    setAcceptDrops(true);
    RestorePlacement();
}

TfrmMain::~TfrmMain()
{
    // Closing the window commits an open rename in the legend; by then the
    // window is half destroyed, so the legend no longer reports to it.
    QObject::disconnect(lvwLegend, nullptr, this, nullptr);
    QObject::disconnect(lvwLegend->itemDelegate(), nullptr, this, nullptr);
    // The players close their media and their pictures before the panels go.
    mVideos.reset();
    mPlayer.reset();
}

void TfrmMain::ConnectCommands()
{
    const auto command = [this](QToolButton* button, void (TfrmMain::*handler)()) {
        connect(button, &QToolButton::clicked, this, [this, handler] { RunCommand([this, handler] { (this->*handler)(); }); });
    };
    command(sbnOpenVideo, &TfrmMain::sbnOpenVideoClick);
    command(sbnAddVideo, &TfrmMain::sbnAddVideoClick);
    command(sbnOpenData, &TfrmMain::sbnOpenDataClick);
    command(sbnSaveData, &TfrmMain::sbnSaveDataClick);
    command(sbnExport, &TfrmMain::sbnExportClick);
    command(sbnAbout, &TfrmMain::sbnAboutClick);
    command(sbnPlayPause, &TfrmMain::sbnPlayPauseClick);
    command(sbnZoomIn, &TfrmMain::sbnZoomInClick);
    command(sbnZoomOut, &TfrmMain::sbnZoomOutClick);
    command(sbnZoomOriginal, &TfrmMain::sbnZoomOriginalClick);

    connect(ChartAll, &TChart::ClickSeries, this,
            [this](TChartSeries* series, int valueIndex, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                RunCommand([&] { ChartAllClickSeries(series, valueIndex, button, shift, x, y); });
            });
    connect(ChartAll, &TChart::ClickBackground, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                RunCommand([&] { ChartAllClickBackground(button, shift, x, y); });
            });
    connect(ChartAll, &TChart::MouseMove, this, [this](int x, int) { RunCommand([&] { ChartMouseMove(x); }); });
    connect(ChartAll, &TChart::MouseRelease, this,
            [this](Qt::MouseButton button, int x, int) { RunCommand([&] { ChartMouseRelease(button, x); }); });
}

void TfrmMain::sbnOpenVideoClick()
{
    const QString fileName = ChooseVideoFile(this);
    if (!fileName.isEmpty())
        OpenVideoFile(fileName);
}

void TfrmMain::sbnAddVideoClick()
{
    const QString fileName = ChooseVideoFile(this);
    if (fileName.isEmpty())
        return;
    WaitCursor wait;
    mVideos->Add({fileName, 0}, mPlayer->GetPosition(), mPlayer->Playing());
}

void TfrmMain::OpenVideoFile(const QString& fileName)
{
    // A video named *.bcd would be its own companion file.
    const QString companion = ChartDataFileName(fileName);
    const bool hasCompanion = companion != fileName && QFileInfo::exists(companion);
    // Its companion file's series take the place of those on the chart.
    if (hasCompanion && !KeepUnsavedData())
        return;
    {
        WaitCursor wait;
        OpenPlayer(fileName);
        // The videos added to the one before go with it.
        mVideos->Clear();
    }
    VideoDuration = mPlayer->GetDuration();
    TTimeAxis& axis = ChartAll->BottomAxis();
    axis.SetMinimum(StartTime);
    axis.SetMaximum(VideoToChartTime(StartTime, VideoDuration));
    DefaultAxisMin = axis.Minimum();
    DefaultAxisMax = axis.Maximum();
    SetCursorX(DefaultAxisMin);
    mSyncBase = StartTime;
    ChartAll->setEnabled(true);
    sbnOpenData->setEnabled(true);
    sbnExport->setEnabled(true);
    VideoFileName = fileName;
    ShowLanes(LanesChosen(VideoFileName));
    mRefusedCompanion.clear();
    mMarkers.Clear();
    mTooLargeCompanion.clear();
    if (hasCompanion) {
        // The series of the video before never stay beside this one's,
        // whether its file can be read or not.
        FreeDataSeries(*ChartAll);
        ForgetRemovals();
        mDataUnsaved = false;
        lvwLegend->clear();
        lvwLegend->setVisible(false);
        try {
            LoadChartDataFile(companion);
        } catch (const LoadCancelled&) {
            // The video stays open as if it had no companion file.
        } catch (const Exception& error) {
            // The added videos open all the same.
            QStringList problems = RestoreAddedVideos();
            problems.prepend(error.Message());
            throw Exception(problems.join(QStringLiteral("\n\n")));
        }
    }
    const QStringList problems = RestoreAddedVideos();
    UpdateControls();
    if (!problems.isEmpty())
        throw Exception(problems.join(QStringLiteral("\n\n")));
}

void TfrmMain::OpenPlayer(const QString& fileName)
{
    // The player lets go of its video before it opens another.
    const QString previous = mPlayer->GetDuration() >= 0 ? VideoFileName : QString();
    const float position = mPlayer->GetPosition();
    try {
        mPlayer->Open(fileName);
    } catch (const Exception& error) {
        if (previous.isEmpty())
            throw;
        // The video before comes back where it was, so that a file that
        // cannot be played changes nothing; the added videos are still
        // open beside it.
        try {
            mPlayer->Open(previous);
            mPlayer->SetPosition(position);
        } catch (const Exception& again) {
            throw Exception(error.Message() + QStringLiteral("\n\nThe video before, \"%1\", could not be opened "
                                                               "again either.\n%2").arg(previous, again.Message()));
        }
        ShowPlayState(false);
        SyncAddedVideos(position);
        throw;
    }
}

QStringList TfrmMain::RestoreAddedVideos()
{
    WaitCursor wait;
    mArrangement = {};
    mRefusedArrangement.clear();
    try {
        mArrangement = LoadArrangement(VideoFileName);
    } catch (const Exception& error) {
        // The file stays as it is until a save puts it aside.
        mRefusedArrangement = ArrangementFileName(VideoFileName);
        return {error.Message() + QStringLiteral(" It is kept as it is; a save sets it aside.")};
    }
    mFormulas->Restore(mArrangement.Formulas);
    return mVideos->AddAll(mArrangement.Videos, mPlayer->GetPosition());
}

void TfrmMain::LoadChartDataFile(const QString& fileName)
{
    WaitCursor wait;
    const TChartReplotHold hold(*ChartAll);
    TLoadProgressDialog progress(this, QStringLiteral("Reading the chart data file..."));
    const TDateTime axisMin = DefaultAxisMin;
    const TDateTime axisMax = DefaultAxisMax;
    const TDateTime startTime = StartTime;
    try {
        TChartDataFileReader reader(fileName);
        DefaultAxisMin = reader.AxisMin();
        DefaultAxisMax = reader.AxisMax();
        ChartAll->BottomAxis().SetMinMax(DefaultAxisMin, DefaultAxisMax);
        StartTime = DefaultAxisMin;
        mSyncBase = StartTime;
        // The file's start time moves the axis; the cursor stays on the first picture.
        SetCursorX(StartTime);
        try {
            reader.AppendSeries(*ChartAll, &progress);
        } catch (const LoadCancelled&) {
            // Nothing of a cancelled read stays: the chart is as the video
            // left it without its file.
            FreeDataSeries(*ChartAll);
            DefaultAxisMin = axisMin;
            DefaultAxisMax = axisMax;
            ChartAll->BottomAxis().SetMinMax(DefaultAxisMin, DefaultAxisMax);
            StartTime = startTime;
            mSyncBase = StartTime;
            SetCursorX(StartTime);
            UpdateControls();
            throw;
        } catch (...) {
            // What was read before the damage is shown like a whole file.
            FitCursorHeight();
            FillLegend();
            throw;
        }
    } catch (const LoadCancelled&) {
        throw;
    } catch (const TChartDataTooLarge&) {
        // A whole file is never put aside, nor saved over with what fitted.
        mTooLargeCompanion = fileName;
        UpdateControls();
        throw;
    } catch (...) {
        // The file stays as it is until a save puts it aside.
        mRefusedCompanion = fileName;
        UpdateControls();
        throw;
    }
    FitCursorHeight();
    FillLegend();
}

QPoint TfrmMain::DialogPosition() const
{
    // Just under the top panel, at the window's left edge.
    return mapToGlobal(QPoint(0, pnlTop->geometry().bottom() + 1));
}

void TfrmMain::sbnOpenDataClick()
{
    // Series removed before are let go before a load takes memory.
    ForgetRemovals();
    const int seriesBefore = ChartAll->SeriesCount();
    const bool loaded = frmLoadData->RunLoadDataDialog();
    // A load that failed part way keeps the series it had made; they belong
    // in the legend all the same, but the start time stays.
    if (!loaded && ChartAll->SeriesCount() == seriesBefore)
        return;
    DataChanged();
    FitCursorHeight();
    FillLegend();
    if (loaded) {
        StartTime = frmLoadData->StartTime();
        DefaultAxisMin = StartTime;
        DefaultAxisMax = VideoToChartTime(StartTime, mPlayer->GetDuration());
        ChartAll->BottomAxis().SetMinMax(DefaultAxisMin, DefaultAxisMax);
        mSyncBase = StartTime;
        // The cursor keeps marking the picture on screen, on the new axis.
        SetCursorX(VideoToChartTime(StartTime, mPlayer->GetPosition()));
    }
    UpdateControls();
}

void TfrmMain::sbnSaveDataClick()
{
    WaitCursor wait;
    // The chart data is saved even when the arrangement cannot be, and the
    // other way round; what was set aside is told in any case.
    QStringList notes;
    QStringList problems;
    for (void (TfrmMain::*save)(QStringList&) : {&TfrmMain::SaveVideoArrangement, &TfrmMain::SaveChartData}) {
        try {
            (this->*save)(notes);
        } catch (const Exception& error) {
            problems << error.Message();
        }
    }
    if (!problems.isEmpty())
        throw Exception((problems + notes).join(QStringLiteral("\n\n")));
    ForgetRemovals();
    if (!notes.isEmpty())
        ShowInformationBox(notes.join(QStringLiteral("\n\n")));
}

void TfrmMain::SaveVideoArrangement(QStringList& notes)
{
    TArrangement arrangement = mArrangement;
    arrangement.Videos = mVideos->Arrangement();
    arrangement.Formulas = mFormulas->Saved();
    const bool refused = !mRefusedArrangement.isEmpty();
    const QString kept = SaveArrangement(VideoFileName, arrangement, refused);
    mRefusedArrangement.clear();
    if (!kept.isEmpty())
        notes << QStringLiteral("The video arrangement \"%1\" that could not be read when the video was opened is kept as \"%2\".")
                     .arg(ArrangementFileName(VideoFileName), kept);
}

void TfrmMain::SaveChartData(QStringList& notes)
{
    // Without data there is only the arrangement to keep.
    if (ChartAll->SeriesCount() <= 1)
        return;
    const QString companion = ChartDataFileName(VideoFileName);
    if (companion == VideoFileName)
        throw Exception(QStringLiteral("The chart data of \"%1\" cannot be saved: the video itself has the name "
                                       "its chart data file would take.").arg(VideoFileName));
    if (companion == mTooLargeCompanion && QFileInfo::exists(companion))
        throw Exception(QStringLiteral("The chart data is not saved: the file \"%1\" did not fit in memory when the "
                                       "video was opened, and saving would replace it with less.").arg(companion));
    if (companion != mRefusedCompanion || !QFileInfo::exists(companion)) {
        SaveChartDataFile(*ChartAll, DefaultAxisMin, DefaultAxisMax, companion);
        mDataUnsaved = false;
        return;
    }
    // A file that could not be read is never replaced unseen.
    const QString kept = KeepDamagedFile(companion);
    mRefusedCompanion.clear();
    const QString note = QStringLiteral("The file \"%1\" that could not be read when the video was opened is kept as \"%2\".")
                             .arg(companion, kept);
    try {
        SaveChartDataFile(*ChartAll, DefaultAxisMin, DefaultAxisMax, companion);
    } catch (const Exception& e) {
        throw Exception(e.Message() + QLatin1Char(' ') + note);
    }
    mDataUnsaved = false;
    notes << QStringLiteral("The chart data is saved as \"%1\". %2").arg(companion, note);
}

void TfrmMain::sbnAboutClick()
{
    ShowAboutBox(ProductInfo, this);
}

void TfrmMain::UpdateControls()
{
    lblCurrentTime->setText(CurrentTimeText());
    pbxData->Refresh();
    ShowMarkers();
    sbnSaveData->setEnabled(ChartAll->SeriesCount() > 1 || mVideos->Count() > 0);
    sbnAddVideo->setEnabled(ChartAll->isEnabled() && mVideos->Count() < MaxAddedVideos);
    lvwLegend->setVisible(ChartAll->SeriesCount() > 2);
    ShowFormulaTips();
}

void TfrmMain::SetCursorX(TDateTime x)
{
    MarkSerie->SetX0(x);
    MarkSerie->SetX1(x);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        const auto* widget = static_cast<QWidget*>(watched);
        if (widget->window() == this && KeyPressed(*static_cast<QKeyEvent*>(event), *widget))
            return true;
    }
    if (event->type() == QEvent::Wheel && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        const auto* wheel = static_cast<QWheelEvent*>(event);
        // One wheel turn travels up the parents of the widget under the
        // pointer; it zooms once.
        const bool passingUp = mLastWheelTarget && widget != mLastWheelTarget && widget->isAncestorOf(mLastWheelTarget)
                               && wheel->timestamp() == mLastWheelTime;
        // A sideways turn or swipe has no vertical delta: it pans instead;
        // a swipe's end without a delta does nothing.
        const QPoint delta = wheel->angleDelta();
        if (widget->window() == this && !passingUp && !delta.isNull()) {
            mLastWheelTarget = widget;
            mLastWheelTime = wheel->timestamp();
            const QPoint position = wheel->globalPosition().toPoint();
            if (delta.y() != 0)
                RunCommand([&] { FormMouseWheel(delta.y(), position); });
            else
                RunCommand([&] { PanByWheel(delta.x(), position); });
        }
    }
    return QWidget::eventFilter(watched, event);
}
