#pragma once

#include "multivideo/VideoArrangement.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;
class TVideoPlayer;
class TVideoTile;

// The videos of one run in the video panel: the main video, whose player
// belongs to the window and sets the time, and up to three added videos
// whose players this object owns and keeps in step with it. Times given in
// are the main video's; an added video shows the main video's time plus its
// offset.
//
// A press on a picture selects its video; a right press opens its menu (the
// sound, and Remove for an added video). Added videos start without sound.
class TVideoSet : public QObject {
    Q_OBJECT
public:
    // The panel must outlive this object, and the main player too.
    TVideoSet(TVideoPlayer& mainPlayer, QWidget* panel);
    ~TVideoSet() override;

    // The window to lend the main player for its picture.
    QWidget* MainTile() const;
    int Count() const { return static_cast<int>(mAdded.size()); }
    TVideoPlayer& AddedPlayer(int index) const;
    TVideoTile* AddedTile(int index) const;
    // The added videos shown, then those of the arrangement not shown.
    QList<TAddedVideo> Arrangement() const;

    // Opens a video beside the others and shows it at `mainSeconds`, playing
    // along when `playing`. Throws an Exception when the file cannot be
    // played or there are already four videos; nothing is added then.
    void Add(const TAddedVideo& video, double mainSeconds, bool playing);
    // Adds the videos of an arrangement, as many as can be opened and
    // shown; returns a message for each of the others, which stay in the
    // arrangement unseen until Clear.
    QStringList AddAll(const QList<TAddedVideo>& videos, double mainSeconds);
    void Remove(int index);
    void Clear();

    // The selected added video, or -1 when the main video is selected or
    // none is.
    int Selected() const { return mSelected; }
    void Select(int index);
    // The length of a frame of the selected added video.
    double SelectedFrameSeconds() const;
    // Moves the selected added video `seconds` later against the main one
    // and shows it where it now belongs.
    void NudgeSelected(double seconds, double mainSeconds, bool playing);

    // Shows every added video where it belongs at `mainSeconds`, each on its
    // exact frame, playing (where the moment lies within it) or paused. While
    // the main video plays, every FollowIntervalMs from then on until it
    // stops, the added videos are started and stopped as the moment enters
    // and leaves them, and their drift is made up.
    void Sync(double mainSeconds, bool playing);
    static constexpr int FollowIntervalMs = 100;
    // While the main video's picture follows a dragging pointer: each added
    // video's picture follows too, by key frames.
    void Scrub(double mainSeconds);
    void SetSpeed(double speed);
    void SetMuted(int tile, bool muted);
    bool Muted(int tile) const;

    // The menu of a tile (0 the main video, 1 on the added ones), opened at a
    // point of the screen.
    QMenu* ShowMenu(int tile, const QPoint& globalPos);

    // Called when the added videos or their offsets change.
    std::function<void()> OnChanged;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct TAdded;

    void Layout();
    void ShowSelection();
    void ShowOffset(TAdded& added);
    void Place(TAdded& added, double mainSeconds, bool playing);
    // Starts the checks of the added videos while the main video plays.
    void FollowWhile(bool playing);
    // One check: where the main video is now, each added video is started,
    // stopped, sought or played a little faster or slower.
    void Follow();
    // Dims a video whose moment lies outside it, and lights it again.
    static void ShowOutside(TAdded& added, bool outside);
    // 0 for the main video's tile, 1 on for the added ones, -1 for none.
    int TileNumber(const TVideoTile* tile) const;
    void ConnectTile(TVideoTile* tile);
    void Changed();

    TVideoPlayer& mMain;
    QTimer mFollowTimer;
    QWidget* mPanel;
    TVideoTile* mMainTile;
    std::vector<std::unique_ptr<TAdded>> mAdded;
    QList<TAddedVideo> mNotShown;
    int mSelected = -1;
    bool mMainSelected = false;
    bool mMainMuted = false;
    double mSpeed = 1;
    QPointer<QMenu> mMenu;
};
