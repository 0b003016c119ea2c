#pragma once

#include <QIcon>

// One picture of the program's buttons and windows: a resource path and the
// edge in pixels at which it is drawn (all glyphs are square).
struct TGlyph {
    const char* Path;
    int Size;
};

namespace Glyphs {
inline constexpr TGlyph OpenVideo{":/glyphs/OpenVideo.svg", 32};
inline constexpr TGlyph LoadData{":/glyphs/LoadData.svg", 32};
inline constexpr TGlyph LoadDataDisabled{":/glyphs/LoadDataDisabled.svg", 32};
inline constexpr TGlyph Save{":/glyphs/Save.svg", 32};
inline constexpr TGlyph SaveDisabled{":/glyphs/SaveDisabled.svg", 32};
inline constexpr TGlyph Export{":/glyphs/Export.svg", 32};
inline constexpr TGlyph ExportDisabled{":/glyphs/ExportDisabled.svg", 32};
inline constexpr TGlyph About{":/glyphs/About.svg", 24};
inline constexpr TGlyph Play{":/glyphs/Play.svg", 32};
inline constexpr TGlyph Pause{":/glyphs/Pause.svg", 32};
inline constexpr TGlyph ZoomIn{":/glyphs/ZoomIn.svg", 24};
inline constexpr TGlyph ZoomOut{":/glyphs/ZoomOut.svg", 24};
inline constexpr TGlyph ZoomDefault{":/glyphs/ZoomDefault.svg", 24};
// The program's own icon: the window icon and the picture of the About box.
inline constexpr TGlyph AppIcon{":/glyphs/AppIcon.svg", 32};

inline constexpr TGlyph All[] = {OpenVideo, LoadData, LoadDataDisabled, Save, SaveDisabled, Export, ExportDisabled, About,
                                 Play, Pause, ZoomIn, ZoomOut, ZoomDefault, AppIcon};
} // namespace Glyphs

// The glyph as an icon, drawn from its vector picture at whatever size is asked.
QIcon GlyphIcon(const TGlyph& glyph);
// The same with a picture of its own for the disabled state of a button.
QIcon GlyphIcon(const TGlyph& glyph, const TGlyph& disabled);
