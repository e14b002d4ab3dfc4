#include "controls/GlyphLibrary.h"

#include "runtime/ModulePath.h"
#include "kelm24/Variant.h"
#include "platform/VeDudU5/VeDudU5.h"
#include "runtime/RuntimeLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <dlfcn.h>
#include <vector>

namespace kelm24 {

namespace {

const char* const kLibraryName = "libVeDudU5.so";

struct TLibrary {
    QString path;  // the path asked for; empty = default search
    bool tried = false;
    void* handle = nullptr;
    TGetMaxBmpID getMax = nullptr;
    TLoadBmp load = nullptr;
    QHash<int, QImage> cache;

    void Reset()
    {
        if (handle) dlclose(handle);
        handle = nullptr;
        getMax = nullptr;
        load = nullptr;
        tried = false;
        cache.clear();
    }

    void Open()
    {
        if (tried) return;
        tried = true;
        handle = path.isEmpty() ? LoadRuntimeLibrary(QString::fromLatin1(kLibraryName),
                                                     {ModuleFolder()})
                                : LoadRuntimeLibrary(path, {});
        if (!handle) return;
        getMax = reinterpret_cast<TGetMaxBmpID>(dlsym(handle, "GetMaxBmpID"));
        load = reinterpret_cast<TLoadBmp>(dlsym(handle, "LoadBmp"));
    }

    void Require()
    {
        Open();
        if (!getMax || !load) throw Exception(GlyphLoadError);
    }
};

TLibrary& Library()
{
    static TLibrary library;
    return library;
}

}  // namespace

int GlyphMaxId()
{
    TLibrary& lib = Library();
    lib.Require();
    return lib.getMax();
}

QImage LoadGlyph(int id)
{
    TLibrary& lib = Library();
    if (id <= 0) return QImage();
    lib.Require();
    if (id > lib.getMax()) return QImage();
    if (auto it = lib.cache.constFind(id); it != lib.cache.constEnd()) return *it;
    int width = 0, height = 0;
    if (!lib.load(id, &width, &height, nullptr, 0) || width <= 0 || height <= 0 || width > 4096 || height > 4096)
        throw Exception(GlyphLoadError);
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    if (!lib.load(id, &width, &height, pixels.data(), int(pixels.size()))) throw Exception(GlyphLoadError);
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        std::copy_n(pixels.data() + size_t(y) * size_t(width), width, reinterpret_cast<uint32_t*>(image.scanLine(y)));
    lib.cache.insert(id, image);
    return image;
}

void SetGlyphLibraryPath(const QString& path)
{
    TLibrary& lib = Library();
    lib.Reset();
    lib.path = path;
}

int GlyphCellCount(const QImage& strip)
{
    if (strip.isNull() || strip.height() <= 0 || strip.width() % strip.height() != 0) return 1;
    return qBound(1, strip.width() / strip.height(), 4);
}

QIcon GlyphStripIcon(const QImage& strip, int numGlyphs)
{
    if (strip.isNull()) return QIcon();
    const int cell = strip.width() / qMax(1, numGlyphs);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(strip.copy(0, 0, cell, strip.height())), QIcon::Normal);
    if (numGlyphs > 1) icon.addPixmap(QPixmap::fromImage(strip.copy(cell, 0, cell, strip.height())), QIcon::Disabled);
    return icon;
}

QImage AddDisabledGlyph(const QImage& glyph)
{
    if (glyph.isNull()) return glyph;
    QImage out(glyph.width() * 2, glyph.height(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    QImage grey = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int g = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(g, g, g, qAlpha(line[x]));
        }
    }
    QPainter p(&out);
    p.drawImage(0, 0, glyph);
    p.drawImage(glyph.width(), 0, grey);
    return out;
}

}  // namespace kelm24
