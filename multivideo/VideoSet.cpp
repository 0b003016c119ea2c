#include "multivideo/VideoSet.h"

#include "common/Exception.h"
#include "common/MessageBoxes.h"
#include "multivideo/FollowerTime.h"
#include "multivideo/VideoGrid.h"
#include "multivideo/VideoTile.h"
#include "video/VideoPlayer.h"

#include <QEvent>
#include <QFileInfo>
#include <QMenu>

#include <cmath>

struct TVideoSet::TAdded {
    QString FileName;
    double Offset = 0;
    QJsonObject OtherKeys;
    bool Muted = true;
    bool Outside = false;
    // The speed factor that makes up the drift.
    double SpeedFactor = 1;
    // Declared before the player, which lets go of the tile first.
    std::unique_ptr<TVideoTile> Tile;
    std::unique_ptr<TVideoPlayer> Player;
};

namespace {

QString OffsetCaption(double seconds)
{
    const long long ms = std::llround(seconds * 1000);
    return QStringLiteral("%1%2.%3 s")
        .arg(ms < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(std::llabs(ms) / 1000)
        .arg(std::llabs(ms) % 1000, 3, 10, QLatin1Char('0'));
}

} // namespace

TVideoSet::TVideoSet(TVideoPlayer& mainPlayer, QWidget* panel)
    : mMain(mainPlayer), mPanel(panel)
{
    mMainTile = new TVideoTile(mPanel);
    ConnectTile(mMainTile);
    mMainTile->show();
    mPanel->installEventFilter(this);
    Layout();
    // The added videos are checked often, so that a drift is made up long
    // before it grows to a frame.
    mFollowTimer.setInterval(FollowIntervalMs);
    connect(&mFollowTimer, &QTimer::timeout, this, [this] {
        if (!mMain.Playing() || mAdded.empty()) {
            mFollowTimer.stop();
            return;
        }
        RunCommand([this] { Follow(); });
    });
}

TVideoSet::~TVideoSet()
{
    mAdded.clear();
}

QWidget* TVideoSet::MainTile() const
{
    return mMainTile;
}

TVideoPlayer& TVideoSet::AddedPlayer(int index) const
{
    return *mAdded.at(index)->Player;
}

TVideoTile* TVideoSet::AddedTile(int index) const
{
    return mAdded.at(index)->Tile.get();
}

QList<TAddedVideo> TVideoSet::Arrangement() const
{
    QList<TAddedVideo> videos;
    for (const auto& added : mAdded)
        videos.append({added->FileName, added->Offset, added->OtherKeys});
    return videos + mNotShown;
}

int TVideoSet::TileNumber(const TVideoTile* tile) const
{
    if (tile == mMainTile)
        return 0;
    for (int i = 0; i < Count(); ++i) {
        if (mAdded[i]->Tile.get() == tile)
            return i + 1;
    }
    return -1;
}

void TVideoSet::ConnectTile(TVideoTile* tile)
{
    connect(tile, &TVideoTile::Pressed, this, [this, tile](Qt::MouseButton button, const QPoint& globalPos) {
        // Looked up now: tiles before it may have gone.
        const int number = TileNumber(tile);
        if (number < 0)
            return;
        Select(number - 1);
        if (button == Qt::RightButton)
            ShowMenu(number, globalPos);
    });
}

void TVideoSet::Add(const TAddedVideo& video, double mainSeconds, bool playing)
{
    if (Count() >= MaxAddedVideos)
        throw Exception(QStringLiteral("At most %1 videos can be shown together.").arg(MaxAddedVideos + 1));
    auto added = std::make_unique<TAdded>();
    added->FileName = video.FileName;
    added->Offset = video.OffsetSeconds;
    added->OtherKeys = video.OtherKeys;
    added->Tile.reset(new TVideoTile(mPanel));
    added->Player = mMain.NewPlayer();
    // The tile is in place and shown before the player opens into it.
    TAdded& placed = *mAdded.emplace_back(std::move(added));
    ConnectTile(placed.Tile.get());
    placed.Tile->show();
    Layout();
    try {
        placed.Player->SetVideoWindow(placed.Tile.get());
        placed.Player->SetMuted(true);
        placed.Player->SetSpeed(mSpeed);
        placed.Player->Open(video.FileName);
    } catch (...) {
        mAdded.pop_back();
        Layout();
        throw;
    }
    ShowOffset(placed);
    Layout();
    Place(placed, mainSeconds, playing);
    FollowWhile(playing);
    Changed();
}

QStringList TVideoSet::AddAll(const QList<TAddedVideo>& videos, double mainSeconds)
{
    QStringList problems;
    for (const TAddedVideo& video : videos) {
        const QString name = QFileInfo(video.FileName).fileName();
        if (Count() == MaxAddedVideos) {
            mNotShown.append(video);
            problems << QStringLiteral("The added video \"%1\" is not shown: at most %2 videos can be shown together. "
                                       "It stays in the arrangement.").arg(name).arg(MaxAddedVideos + 1);
            continue;
        }
        try {
            Add(video, mainSeconds, false);
        } catch (const Exception& error) {
            // A drive not mounted today must not cost the video its place
            // and offset.
            mNotShown.append(video);
            problems << QStringLiteral("The added video \"%1\" could not be opened.\n%2\nIt stays in the arrangement.")
                            .arg(name, error.Message());
        }
    }
    return problems;
}

void TVideoSet::Remove(int index)
{
    if (index < 0 || index >= Count())
        return;
    mAdded.erase(mAdded.begin() + index);
    if (mSelected == index)
        mSelected = -1;
    else if (mSelected > index)
        --mSelected;
    Layout();
    ShowSelection();
    Changed();
}

void TVideoSet::Clear()
{
    const bool hadAny = !mAdded.empty();
    mAdded.clear();
    mNotShown.clear();
    mSelected = -1;
    mMainSelected = false;
    if (hadAny) {
        Layout();
        ShowSelection();
        Changed();
    }
}

void TVideoSet::Select(int index)
{
    mSelected = index >= 0 && index < Count() ? index : -1;
    mMainSelected = mSelected < 0;
    ShowSelection();
}

double TVideoSet::SelectedFrameSeconds() const
{
    return mSelected < 0 ? 0.0 : mAdded[mSelected]->Player->FrameDuration();
}

void TVideoSet::NudgeSelected(double seconds, double mainSeconds, bool playing)
{
    if (mSelected < 0)
        return;
    TAdded& added = *mAdded[mSelected];
    // Kept to whole milliseconds, as shown and saved.
    added.Offset = std::round((added.Offset + seconds) * 1000) / 1000;
    ShowOffset(added);
    Place(added, mainSeconds, playing);
    Changed();
}

void TVideoSet::Sync(double mainSeconds, bool playing)
{
    for (const auto& added : mAdded)
        Place(*added, mainSeconds, playing);
    FollowWhile(playing);
}

void TVideoSet::FollowWhile(bool playing)
{
    if (playing && !mAdded.empty() && !mFollowTimer.isActive())
        mFollowTimer.start();
}

void TVideoSet::Place(TAdded& added, double mainSeconds, bool playing)
{
    TVideoPlayer& player = *added.Player;
    const TFollowerTime time = FollowerTimeAt(mainSeconds, added.Offset, player.GetDuration(), player.FrameDuration());
    ShowOutside(added, time.Outside);
    if (added.SpeedFactor != 1) {
        added.SpeedFactor = 1;
        player.SetSpeed(mSpeed);
    }
    const bool starts = playing && !time.Outside && !player.Playing();
    if (!playing || time.Outside)
        player.Pause();
    // A paused video that shows the moment's frame starts from there, with
    // the main video; a seek first would start it late.
    if (!starts || !ShowsFrameFor(player.GetPosition(), time.Seconds, player.FrameDuration()))
        player.SetPosition(static_cast<float>(time.Seconds));
    if (playing && !time.Outside)
        player.Play();
}

void TVideoSet::ShowOutside(TAdded& added, bool outside)
{
    if (outside != added.Outside) {
        added.Outside = outside;
        added.Player->SetDimmed(outside);
    }
}

void TVideoSet::Scrub(double mainSeconds)
{
    for (const auto& pointer : mAdded) {
        TVideoPlayer& player = *pointer->Player;
        const TFollowerTime time = FollowerTimeAt(mainSeconds, pointer->Offset, player.GetDuration(), player.FrameDuration());
        ShowOutside(*pointer, time.Outside);
        player.ScrubTo(static_cast<float>(time.Seconds));
    }
}

void TVideoSet::Follow()
{
    // Each player is asked where it is now: their last reports may each be up
    // to a frame old.
    const TPlayingPosition main = mMain.PlayingPosition();
    for (const auto& pointer : mAdded) {
        TAdded& added = *pointer;
        TVideoPlayer& player = *added.Player;
        const double frame = player.FrameDuration();
        const TFollowerTime time = FollowerTimeAt(main.Frame, added.Offset, player.GetDuration(), frame);
        if (time.Outside) {
            // Waits on its first or last frame, dimmed, until the moment comes back.
            if (!added.Outside || player.Playing())
                Place(added, main.Frame, false);
            continue;
        }
        if (!player.Playing()) {
            Place(added, main.Frame, true);
            continue;
        }
        const TFollowerCorrection correction =
            FollowerCorrection(FollowerAhead(main, player.PlayingPosition(), added.Offset), frame);
        if (correction.Seek) {
            Place(added, main.Frame, true);
        } else if (correction.SpeedFactor != added.SpeedFactor) {
            added.SpeedFactor = correction.SpeedFactor;
            player.SetSpeed(mSpeed * correction.SpeedFactor);
        }
    }
}

void TVideoSet::SetSpeed(double speed)
{
    mSpeed = speed;
    for (const auto& added : mAdded) {
        added->SpeedFactor = 1;
        added->Player->SetSpeed(speed);
    }
}

void TVideoSet::SetMuted(int tile, bool muted)
{
    if (tile == 0) {
        mMainMuted = muted;
        mMain.SetMuted(muted);
    } else if (tile <= Count()) {
        mAdded[tile - 1]->Muted = muted;
        mAdded[tile - 1]->Player->SetMuted(muted);
    }
}

bool TVideoSet::Muted(int tile) const
{
    return tile == 0 ? mMainMuted : mAdded.at(tile - 1)->Muted;
}

QMenu* TVideoSet::ShowMenu(int tile, const QPoint& globalPos)
{
    delete mMenu;
    mMenu = new QMenu(mPanel);
    mMenu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* sound = mMenu->addAction(QStringLiteral("Sound"));
    sound->setCheckable(true);
    sound->setChecked(!Muted(tile));
    connect(sound, &QAction::toggled, this, [this, tile](bool on) { SetMuted(tile, !on); });
    if (tile > 0) {
        mMenu->addSeparator();
        QAction* remove = mMenu->addAction(QStringLiteral("Remove"));
        TVideoTile* removed = mAdded.at(tile - 1)->Tile.get();
        connect(remove, &QAction::triggered, this, [this, removed] { Remove(TileNumber(removed) - 1); });
    }
    mMenu->popup(globalPos);
    return mMenu;
}

bool TVideoSet::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mPanel && event->type() == QEvent::Resize)
        Layout();
    return QObject::eventFilter(watched, event);
}

void TVideoSet::Layout()
{
    QList<QSize> pictures{mMain.PictureSize()};
    for (const auto& added : mAdded)
        pictures.append(added->Player ? added->Player->PictureSize() : QSize());
    const QList<QRect> rects = VideoGridRects(mPanel->size(), pictures);
    const bool framed = !mAdded.empty();
    mMainTile->SetFramed(framed);
    mMainTile->setGeometry(rects[0]);
    for (int i = 0; i < Count(); ++i) {
        mAdded[i]->Tile->SetFramed(true);
        mAdded[i]->Tile->setGeometry(rects[i + 1]);
    }
}

void TVideoSet::ShowSelection()
{
    mMainTile->SetSelected(mMainSelected);
    for (int i = 0; i < Count(); ++i)
        mAdded[i]->Tile->SetSelected(i == mSelected);
}

void TVideoSet::ShowOffset(TAdded& added)
{
    added.Tile->SetCaption(OffsetCaption(added.Offset));
}

void TVideoSet::Changed()
{
    if (OnChanged)
        OnChanged();
}
