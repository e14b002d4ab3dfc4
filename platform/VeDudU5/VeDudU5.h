// The glyph library's exports, as callers look them up by name.
#pragma once

#include <cstdint>

extern "C" {
// The highest glyph number the library holds.
typedef int (*TGetMaxBmpID)(void);
// Loads glyph ID: writes its size to Width and Height; when Pixels is given and
// Capacity (in pixels) holds Width * Height, fills the pixels row by row as
// 0xAARRGGBB (alpha not premultiplied). Answers 1 on success, 0 when there is
// no such glyph or the buffer is too small. A glyph several cells wide holds
// several images of Height x Height side by side (normal, disabled).
typedef int (*TLoadBmp)(int ID, int* Width, int* Height, uint32_t* Pixels, int Capacity);
}
