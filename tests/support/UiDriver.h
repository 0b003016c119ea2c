#pragma once

#include <QPoint>
#include <QString>
#include <functional>

class QWidget;

// Runs act on the next modal window that opens (a dialog's exec() blocks the
// test until the dialog is closed).
void WhenModal(std::function<void(QWidget* modal)> act);
// Picks fileName in the next file dialog.
void AnswerFileDialog(const QString& fileName);
// A wheel turn delivered to the widget under a point given in its coordinates.
void TurnWheel(QWidget* widget, const QPoint& pos, int delta);
// The same with a delta in both directions, as a tilted wheel or a touchpad
// swipe gives it.
void TurnWheel(QWidget* widget, const QPoint& pos, const QPoint& angleDelta);
