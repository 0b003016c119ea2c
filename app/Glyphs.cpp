#include "app/Glyphs.h"

namespace {

QString GlyphPath(const char* name)
{
    return QStringLiteral(":/glyphs/%1.svg").arg(QLatin1String(name));
}

QIcon Icon(const char* name, const char* disabledName = nullptr)
{
    QIcon icon(GlyphPath(name));
    if (disabledName)
        icon.addFile(GlyphPath(disabledName), QSize(), QIcon::Disabled);
    return icon;
}

} // namespace

QIcon GlyphIcon(EGlyph glyph)
{
    switch (glyph) {
    case EGlyph::Application: return Icon("app-icon");
    case EGlyph::OpenVideo: return Icon("open-video");
    case EGlyph::LoadData: return Icon("load-data", "load-data-disabled");
    case EGlyph::SaveData: return Icon("save-data", "save-data-disabled");
    case EGlyph::About: return Icon("about");
    case EGlyph::Play: return Icon("play");
    case EGlyph::Pause: return Icon("pause");
    case EGlyph::ZoomIn: return Icon("zoom-in");
    case EGlyph::ZoomOut: return Icon("zoom-out");
    case EGlyph::ZoomOriginal: return Icon("zoom-original");
    }
    return {};
}
