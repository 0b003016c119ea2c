#pragma once

#include <QFont>

// Arial at a size in pixels, as the windows are laid out.
inline QFont ArialFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
