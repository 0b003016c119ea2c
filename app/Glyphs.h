#pragma once

#include <QIcon>

enum class EGlyph { Application, OpenVideo, LoadData, SaveData, About, Play, Pause, ZoomIn, ZoomOut, ZoomOriginal };

// The glyph of a command, with its disabled look where it has one.
QIcon GlyphIcon(EGlyph glyph);
