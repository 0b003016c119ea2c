#include "common/glyphs/Glyphs.h"

#include <QImage>
#include <QPixmap>
#include <QSvgRenderer>
#include <gtest/gtest.h>

namespace {

bool HasOpaquePixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) == 255)
                return true;
    return false;
}

QImage Render(const QIcon& icon, int size, QIcon::Mode mode = QIcon::Normal)
{
    return icon.pixmap(QSize(size, size), 1.0, mode).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TEST(Glyphs, EveryGlyphLoadsAtItsSize)
{
    for (const TGlyph& glyph : Glyphs::All) {
        SCOPED_TRACE(glyph.Path);
        QSvgRenderer svg{QString::fromLatin1(glyph.Path)};
        ASSERT_TRUE(svg.isValid());
        EXPECT_EQ(svg.defaultSize(), QSize(glyph.Size, glyph.Size));

        const QImage image = Render(GlyphIcon(glyph), glyph.Size);
        EXPECT_EQ(image.size(), QSize(glyph.Size, glyph.Size));
        EXPECT_TRUE(HasOpaquePixels(image));
    }
}

TEST(Glyphs, DisabledButtonsShowTheirOwnPicture)
{
    const std::pair<TGlyph, TGlyph> pairs[] = {{Glyphs::LoadData, Glyphs::LoadDataDisabled},
                                              {Glyphs::Save, Glyphs::SaveDisabled}};
    for (const auto& [normal, disabled] : pairs) {
        SCOPED_TRACE(normal.Path);
        const QIcon icon = GlyphIcon(normal, disabled);
        EXPECT_EQ(Render(icon, normal.Size), Render(GlyphIcon(normal), normal.Size));
        EXPECT_EQ(Render(icon, normal.Size, QIcon::Disabled), Render(GlyphIcon(disabled), normal.Size));
        EXPECT_NE(Render(icon, normal.Size, QIcon::Disabled), Render(icon, normal.Size));
    }
}
