#include "platform/VeDudU5/VeDudU5.h"

#include "platform/VeDudU5/Glyphs.h"

#include <QImage>
#include <cstring>

#define VEDUDU5_EXPORT extern "C" __attribute__((visibility("default")))

VEDUDU5_EXPORT int GetMaxBmpID(void) { return vedudu5::MaxGlyphId; }

VEDUDU5_EXPORT int LoadBmp(int ID, int* Width, int* Height, uint32_t* Pixels, int Capacity)
{
    if (ID < 1 || ID > vedudu5::MaxGlyphId) return 0;
    const QImage image = vedudu5::DrawGlyph(ID).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return 0;
    if (Width) *Width = image.width();
    if (Height) *Height = image.height();
    if (!Pixels) return 1;
    if (Capacity < image.width() * image.height()) return 0;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(Pixels + y * image.width(), image.constScanLine(y), size_t(image.width()) * 4);
    return 1;
}
