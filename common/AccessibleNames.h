#pragma once

class QLabel;
class QWidget;

// Names a control for screen readers after the label that stands for it on
// the form ("Port" for the port's edit), without a trailing colon, and makes
// the label its buddy so that assistive tools relate the two. A drop-down
// list's pop-up list gets the same name.
void NameByLabel(QLabel* label, QWidget* control);

// Names a control for screen readers after its tool tip, without a key given
// in brackets at its end: for buttons that show only a picture, and for edits
// whose tool tip is their only caption.
void NameByToolTip(QWidget* control);
