#pragma once

#include <QFont>
#include <QSize>
#include <QString>

// The size that a label with this font needs for the text on one line.
QSize TextExtent(const QFont& font, const QString& text);

// The pixel-sized font lowered one point at a time, from its own size, until
// the text fits within limit (a text exactly as large as the limit fits).
// Points are counted at the 96 pixels per inch that the dialogs are laid out
// for. One point is the smallest size: a text that does not fit even then
// gets that size.
QFont FitFontToBox(QFont font, const QString& text, const QSize& limit);
