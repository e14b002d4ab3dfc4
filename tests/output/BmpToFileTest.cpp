// The picture conversion library, loaded by name like the plug-in loads it.
#include "platform/QVBmpToFile/QVBmpToFile.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

struct Library {
    Library() : handle(dlopen(KELM24_BMPTOFILE_PATH, RTLD_NOW | RTLD_LOCAL))
    {
        if (handle) convert = reinterpret_cast<TBMPToFile>(dlsym(handle, "BMPToFile"));
    }
    ~Library()
    {
        if (handle) dlclose(handle);
    }
    void* handle;
    TBMPToFile convert = nullptr;
};

QImage Page()
{
    QImage image(120, 80, QImage::Format_RGB16);  // the pages are 16 bits per pixel
    image.fill(Qt::white);
    QPainter p(&image);
    p.fillRect(10, 10, 50, 30, Qt::black);
    p.fillRect(70, 40, 40, 30, QColor(200, 30, 30));
    return image;
}

int Far(const QImage& a, const QImage& b)
{
    int far = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q)) > 90) ++far;
        }
    return far;
}

}  // namespace

TEST(BmpToFile, WritesBmpJpgAndGifAndGivesTheNameBack)
{
    Library lib;
    ASSERT_NE(lib.convert, nullptr) << dlerror();
    QTemporaryDir dir;
    QImage page = Page();
    int type = 0;
    for (const char* ext : {".bmp", ".jpg", ".gif"}) {
        char name[256];
        const QByteArray base = QDir(dir.path()).filePath("PURI09_20240101120000001").toUtf8();
        std::strcpy(name, base.constData());
        ASSERT_EQ(lib.convert(&page, type, name, sizeof name), 0) << ext;
        EXPECT_EQ(QByteArray(name), base + ext);
        const QImage back(QString::fromUtf8(name));
        ASSERT_FALSE(back.isNull()) << name;
        ASSERT_EQ(back.size(), page.size());
        EXPECT_LT(Far(back, page), 60) << ext;
        ++type;
    }
    // A name that already has its extension keeps it.
    char gif[256];
    std::strcpy(gif, QDir(dir.path()).filePath("x.gif").toUtf8().constData());
    EXPECT_EQ(lib.convert(&page, 2, gif, sizeof gif), 0);
    EXPECT_TRUE(QByteArray(gif).endsWith("/x.gif"));
}

TEST(BmpToFile, BadArgumentsShortBuffersAndUnwritablePlacesFail)
{
    Library lib;
    ASSERT_NE(lib.convert, nullptr);
    QImage page = Page();
    char name[256] = "/tmp/kelm24-bmptofile";
    EXPECT_EQ(lib.convert(nullptr, 1, name, sizeof name), -1);
    EXPECT_EQ(lib.convert(&page, 3, name, sizeof name), -1);
    QImage empty;
    EXPECT_EQ(lib.convert(&empty, 1, name, sizeof name), -1);
    // The extension would not fit the buffer: nothing written, name unchanged.
    char tight[24] = "/tmp/kelm24-bmptofile";
    EXPECT_EQ(lib.convert(&page, 1, tight, sizeof tight), -2);
    EXPECT_STREQ(tight, "/tmp/kelm24-bmptofile");
    char missing[256] = "/no/such/folder/page";
    EXPECT_EQ(lib.convert(&page, 1, missing, sizeof missing), -3);
    EXPECT_EQ(lib.convert(&page, 2, missing, sizeof missing), -3);
}

TEST(BmpToFile, GifKeepsThePaleFillsAndSmallColouredMarksOfAPage)
{
    Library lib;
    ASSERT_NE(lib.convert, nullptr) << dlerror();
    // A page with more than 256 colours: a pale band, a block of shades standing
    // in for smoothed text, a small red mark.
    QImage page(400, 120, QImage::Format_RGB16);
    page.fill(Qt::white);
    QPainter p(&page);
    p.fillRect(0, 0, 400, 40, QColor(230, 240, 255));
    for (int x = 0; x < 64; ++x)
        for (int y = 0; y < 32; ++y) p.fillRect(100 + x, 50 + y, 1, 1, QColor(y * 8, x * 4, 128));
    p.fillRect(10, 90, 4, 4, QColor(220, 0, 0));
    p.end();
    QTemporaryDir dir;
    char name[256];
    std::strcpy(name, QDir(dir.path()).filePath("page").toUtf8().constData());
    ASSERT_EQ(lib.convert(&page, 2, name, sizeof name), 0);
    const QImage back(QString::fromUtf8(name));
    ASSERT_EQ(back.size(), page.size());
    auto near = [](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) <= 12;
    };
    EXPECT_TRUE(near(back.pixel(200, 20), page.pixel(200, 20))) << std::hex << back.pixel(200, 20);
    EXPECT_TRUE(near(back.pixel(11, 91), page.pixel(11, 91))) << std::hex << back.pixel(11, 91);
    EXPECT_EQ(back.pixel(300, 110), qRgb(255, 255, 255));
    EXPECT_LT(Far(back, page), 200);
}

TEST(BmpToFile, PicturesTooWideForTheFormatFailAndLeaveNoFile)
{
    Library lib;
    ASSERT_NE(lib.convert, nullptr);
    QTemporaryDir dir;
    // GIF and JPEG hold at most 65535 pixels a side; a wider page must not be
    // written with a wrapped width nor leave a half-written file behind.
    QImage wide(70000, 2, QImage::Format_RGB32);
    wide.fill(Qt::white);
    for (int type : {1, 2}) {
        char name[256];
        std::snprintf(name, sizeof name, "%s/wide", qPrintable(dir.path()));
        EXPECT_EQ(lib.convert(&wide, type, name, sizeof name), -3) << type;
        EXPECT_STREQ(name, qPrintable(dir.filePath("wide"))) << type;
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}
