#include "common/LoadProgressDialog.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressBar>

namespace {

// The bar counts in tenths of a percent, so that a load of gigabytes still
// moves it and its count fits an int.
constexpr int BarSteps = 1000;

} // namespace

TLoadProgressDialog::TLoadProgressDialog(QWidget* parent, const QString& label)
    : mLabel(label), mDialog(label, QStringLiteral("Cancel"), 0, BarSteps, parent)
{
    mDialog.setWindowTitle(QStringLiteral("Loading"));
    mDialog.setWindowModality(Qt::ApplicationModal);
    // The bar speaks as what it measures.
    if (auto* bar = mDialog.findChild<QProgressBar*>())
        bar->setAccessibleName(label);
    mDialog.setAutoClose(false);
    mDialog.setAutoReset(false);
    // The dialog shows by itself once this time has passed without the load
    // coming to its end.
    mDialog.setMinimumDuration(MinimumDurationMs);
    // The time counts from the minimum.
    mDialog.setValue(0);
    mSinceEvents.start();
}

bool TLoadProgressDialog::Step(qint64 done, qint64 total)
{
    if (total >= 0) {
        mDialog.setMaximum(BarSteps);
        mDialog.setValue(total == 0 ? BarSteps : static_cast<int>(done * BarSteps / total));
    } else {
        // A busy bar, with the rows counted in the label.
        mDialog.setMaximum(0);
        mDialog.setLabelText(QStringLiteral("%1\n%2 rows").arg(mLabel, QLocale().toString(done)));
    }
    if (mSinceEvents.elapsed() >= EventIntervalMs) {
        mSinceEvents.restart();
        QCoreApplication::processEvents(mDialog.isVisible() ? QEventLoop::AllEvents
                                                            : QEventLoop::ExcludeUserInputEvents);
    }
    return !mDialog.wasCanceled();
}
