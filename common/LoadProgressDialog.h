#pragma once

#include "common/LoadProgress.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QString>

// The progress of a load shown to the user: a modal dialog with a Cancel
// button that appears only for a load that takes longer than
// MinimumDurationMs: as soon as its pace tells so, or once that time has
// passed where it cannot tell. It shows a percentage where the total is
// known and a count of rows otherwise.
// Between steps the other windows repaint; the user's input reaches only the
// dialog, and nothing before it shows.
class TLoadProgressDialog final : public TLoadProgress {
public:
    static constexpr int MinimumDurationMs = 500;

    TLoadProgressDialog(QWidget* parent, const QString& label);

    bool Step(qint64 done, qint64 total) override;

private:
    // Steps closer together than this do not run the event loop again.
    static constexpr int EventIntervalMs = 25;

    QString mLabel;
    QProgressDialog mDialog;
    QElapsedTimer mSinceEvents;
};
