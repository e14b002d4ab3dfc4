#include "platform/QVBmpToFile/QVBmpToFile.h"

#include <QFile>
#include <QHash>
#include <QImage>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>
#include <gif_lib.h>

namespace {

// The palette of a page: its colours when there are at most 256, otherwise
// the most frequent ones, leaving out near copies of colours already taken
// while others remain. (A fixed colour cube would turn the pale fills of
// bands and pre-printed forms into white.)
QList<QRgb> PagePalette(const QImage& image)
{
    QHash<QRgb, qint64> counts;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) ++counts[line[x] | 0xFF000000u];
    }
    std::vector<std::pair<qint64, QRgb>> byCount;
    byCount.reserve(static_cast<size_t>(counts.size()));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) byCount.emplace_back(it.value(), it.key());
    std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    QList<QRgb> palette, nearCopies;
    auto distance = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
    };
    for (const auto& [count, colour] : byCount) {
        if (palette.size() == 256) break;
        const bool near = byCount.size() > 256 && std::any_of(palette.cbegin(), palette.cend(), [&](QRgb p) { return distance(p, colour) < 24; });
        if (near) nearCopies.append(colour);
        else palette.append(colour);
    }
    for (QRgb c : nearCopies) {
        if (palette.size() == 256) break;
        palette.append(c);
    }
    return palette;
}

// GIF through giflib: the picture reduced to a palette of at most 256 colours.
bool WriteGif(const QImage& source, const QString& fileName)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    const QImage image = rgb.convertToFormat(QImage::Format_Indexed8, PagePalette(rgb), Qt::ThresholdDither);
    const QList<QRgb> table = image.colorTable();
    int bits = 1;
    while ((1 << bits) < table.size()) ++bits;
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    if (map == nullptr) return false;
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
        map->Colors[i] = GifColorType{static_cast<GifByteType>(qRed(c)), static_cast<GifByteType>(qGreen(c)),
                                      static_cast<GifByteType>(qBlue(c))};
    }
    int error = 0;
    GifFileType* gif = EGifOpenFileName(QFile::encodeName(fileName).constData(), false, &error);
    if (gif == nullptr) {
        GifFreeMapObject(map);
        return false;
    }
    bool ok = EGifPutScreenDesc(gif, image.width(), image.height(), bits, 0, map) == GIF_OK &&
              EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < image.height(); ++y)
        ok = EGifPutLine(gif, const_cast<GifPixelType*>(image.constScanLine(y)), image.width()) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
    GifFreeMapObject(map);
    return ok;
}

}  // namespace

extern "C" int BMPToFile(void* bitmap, int fileType, char* fileName, int size)
{
    if (bitmap == nullptr || fileName == nullptr || size <= 0 || fileType < 0 || fileType > 2) return -1;
    const QImage& image = *static_cast<const QImage*>(bitmap);
    if (image.isNull()) return -1;
    const int given = static_cast<int>(strnlen(fileName, static_cast<size_t>(size)));
    if (given >= size) return -1;  // not terminated inside the buffer
    QString name = QString::fromUtf8(fileName, given);
    static const char* const extensions[] = {".bmp", ".jpg", ".gif"};
    const QString ext = QString::fromLatin1(extensions[fileType]);
    if (!name.endsWith(ext, Qt::CaseInsensitive)) name += ext;
    const QByteArray finalName = name.toUtf8();
    if (finalName.size() + 1 > size) return -2;
    // GIF and JPEG store each side in 16 bits (JPEG up to 65500): a wider
    // picture would be written with a wrapped size or abandoned half-way.
    const int maxSide = fileType == 2 ? 65535 : fileType == 1 ? 65500 : std::numeric_limits<int>::max();
    if (image.width() > maxSide || image.height() > maxSide) return -3;
    bool ok = false;
    switch (fileType) {
    case 0: ok = image.save(name, "BMP"); break;
    case 1: ok = image.convertToFormat(QImage::Format_RGB32).save(name, "JPG", 90); break;
    case 2: ok = WriteGif(image, name); break;
    }
    if (!ok) {
        QFile::remove(name);  // no half-written picture under the name asked for
        return -3;
    }
    std::memcpy(fileName, finalName.constData(), static_cast<size_t>(finalName.size()) + 1);
    return 0;
}
