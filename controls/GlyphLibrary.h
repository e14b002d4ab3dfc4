// The shared glyph library libVeDudU5.so, loaded by name on first use: from
// the folder of this module, else through the dynamic loader's search path.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace kelm24 {

// The text every failure of the glyph library shows.
inline const QString GlyphLoadError = QStringLiteral("读取 BMP 发生错误");

// The highest glyph number; raises kelm24::Exception with GlyphLoadError when
// the library or its export cannot be found.
int GlyphMaxId();

// Glyph id, or a null image for 0 and numbers above the highest one. Raises
// kelm24::Exception with GlyphLoadError when the library fails.
QImage LoadGlyph(int id);

// Loads the library from this file instead (a test uses a missing one);
// an empty path returns to the default search.
void SetGlyphLibraryPath(const QString& path);

// The number of square cells of a glyph strip (1 when it is not a row of squares).
int GlyphCellCount(const QImage& strip);
// The icon of a strip of numGlyphs cells: cell 0 normal, cell 1 disabled.
QIcon GlyphStripIcon(const QImage& strip, int numGlyphs);

// Twice as wide: the glyph at the left, a disabled-look copy at the right,
// the rest filled with the transparent colour. Bit buttons that have one glyph
// get their disabled look this way.
QImage AddDisabledGlyph(const QImage& glyph);

}  // namespace kelm24
