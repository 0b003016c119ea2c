#include "common/glyphs/Glyphs.h"

#include <QString>

QIcon GlyphIcon(const TGlyph& glyph)
{
    return QIcon(QString::fromLatin1(glyph.Path));
}

QIcon GlyphIcon(const TGlyph& glyph, const TGlyph& disabled)
{
    QIcon icon;
    icon.addFile(QString::fromLatin1(glyph.Path), QSize(glyph.Size, glyph.Size), QIcon::Normal);
    icon.addFile(QString::fromLatin1(disabled.Path), QSize(disabled.Size, disabled.Size), QIcon::Disabled);
    return icon;
}
