// The numbered glyphs of the library, drawn with plain shapes.
#pragma once

#include <QImage>

namespace vedudu5 {

constexpr int MaxGlyphId = 47;

// Glyph ID (1..MaxGlyphId) as a 16-pixel-high image; glyphs with a disabled
// look are two cells wide.
QImage DrawGlyph(int id);

}  // namespace vedudu5
