// What a page looks like: Chinese text in the Song face, compared with
// reference pictures that were checked by eye, at more than one resolution.
#include "ReceiptFixture.h"
#include "tests/format/PageDifference.h"

#include "format/engine/QRBackground.h"
#include "format/engine/QRFonts.h"
#include "format/engine/QVQRControls.h"

#include <QDir>
#include <QFontInfo>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QSvgRenderer>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

QString RefDir() { return qEnvironmentVariable("KELM24_SOURCE_DIR", KELM24_TEST_SOURCE_DIR) + "/tests/format/ref/"; }

QString FamilyUsedFor(const QString& family, const QString& text)
{
    QFont font(family, 12);
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const auto runs = layout.glyphRuns();
    return runs.isEmpty() ? QString() : runs.first().rawFont().familyName();
}

// A small receipt head: title, company, a code list, amounts and a frame.
struct SampleLayout {
    SampleLayout()
    {
        data = new TClientDataSet(&form, "ClientDataSet1");
        TDataPacket p;
        p.Fields = {{"TG002", TFieldType::String, 11}, {"MA002", TFieldType::String, 20}, {"TG013", TFieldType::String, 1},
                    {"TG017", TFieldType::Float, 0}};
        p.Rows = {{"20240001", "上海精密五金有限公司", "Y", 123456.5}};
        data->SetData(p);
        report = new TQuickRep(&form);
        report->SetDataSet(data);
        report->Page()->SetPaperSize(qrpCustom);
        report->Page()->SetWidth(120);
        report->Page()->SetLength(50);
        report->Page()->SetTopMargin(5);
        report->Page()->SetBottomMargin(5);
        report->Page()->SetLeftMargin(5);
        report->Page()->SetRightMargin(5);
        auto* band = new TQRBand(report, rbDetail);
        band->setGeometry(0, 0, 416, 150);
        auto* title = new TQRLabel(band);
        title->SetCaption("采购进货单");
        title->setFont(QFont("宋体", 16, QFont::Bold));
        title->SetAlignment(taCenter);
        title->setGeometry(0, 0, 416, 28);
        auto label = [&](const QString& caption, int x, int y) {
            auto* l = new TQRLabel(band);
            l->SetCaption(caption);
            l->move(x, y);
            return l;
        };
        label("单号：", 8, 40);
        auto* number = new TQRDBText(band);
        number->SetDataSet(data);
        number->SetDataField("TG002");
        number->setGeometry(56, 40, 120, 16);
        label("供应商：", 190, 40);
        auto* supplier = new TQRDBText(band);
        supplier->SetDataSet(data);
        supplier->SetDataField("MA002");
        supplier->setGeometry(250, 40, 160, 16);
        auto* status = new TQRDBIDText(band);
        status->SetDataSet(data);
        status->SetDataField("TG013");
        status->SetItems({"Y=已审核", "N=未审核"});
        status->setGeometry(8, 64, 80, 16);
        auto* latin = label("Total amount", 190, 64);
        latin->setFont(QFont("Tahoma", 9));
        auto* amount = new TQRDBText(band);
        amount->SetDataSet(data);
        amount->SetDataField("TG017");
        amount->SetMask("#,##0.00");
        amount->SetAlignment(taRightJustify);
        amount->setFont(QFont("Tahoma", 9));
        amount->setGeometry(290, 64, 118, 16);
        auto* box = new TQRShape(band);
        box->setGeometry(4, 88, 408, 40);
        label("备注：以上货品已验收入库，新细明體測試。", 12, 100)->setFont(QFont("新细明体", 9));
    }
    QWidget form;
    TClientDataSet* data;
    TQuickRep* report;
};

}  // namespace

TEST(Render, SongFacesAndTahomaResolveToTheProjectFonts)
{
    ASSERT_TRUE(UseReportFonts()) << ReportFontConfigPath().toStdString();
    EXPECT_TRUE(ReportFontConfigPath().endsWith("kelm24-fonts.conf"));
    EXPECT_EQ(FamilyUsedFor("宋体", "采购进货单"), "AR PL UMing CN");
    EXPECT_EQ(FamilyUsedFor("SimSun", "采购进货单"), "AR PL UMing CN");
    EXPECT_TRUE(FamilyUsedFor("新细明体", "採購進貨單").startsWith("AR PL UMing"));
    // Wine's Tahoma (fonts-wine), which keeps Tahoma's widths.
    EXPECT_EQ(FamilyUsedFor("Tahoma", "Total"), "Tahoma");
}

TEST(Render, SampleLayoutMatchesTheCheckedReferenceAtAnyResolution)
{
    SampleLayout layout;
    ASSERT_TRUE(layout.report->Prepare());
    ASSERT_EQ(layout.report->QRPrinter()->PageCount(), 1);
    const QImage at96 = layout.report->QRPrinter()->PageImage(1, 96).convertToFormat(QImage::Format_RGB32);
    const QString outDir = qEnvironmentVariable("KELM24_BIN_DIR", QDir::tempPath()) + "/render";
    QDir().mkpath(outDir);
    at96.save(outDir + "/sample-96.png");
    const QImage reference = QImage(RefDir() + "sample-96.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull()) << "missing reference; the page is in " << outDir.toStdString();
    auto [far, mean] = test::PageDifference(at96, reference);
    EXPECT_LT(far, 0.01) << "see " << outDir.toStdString() << "/sample-96.png";
    EXPECT_LT(mean, 6.0);

    // The same page replayed at 192 dpi, halved, is the same picture.
    const QImage at192 = layout.report->QRPrinter()->PageImage(1, 192);
    EXPECT_NEAR(at192.width(), at96.width() * 2, 1);
    const QImage halved = at192.scaled(at96.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    halved.save(outDir + "/sample-192-halved.png");
    auto [far2, mean2] = test::PageDifference(halved, reference);
    EXPECT_LT(far2, 0.03);
    EXPECT_LT(mean2, 12.0);
}

TEST(Render, PageBackgroundIsDrawnUnderEveryLogicalPage)
{
    SampleLayout layout;
    const QString svg = QDir::temp().filePath("kelm24-background.svg");
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"(<svg xmlns="http://www.w3.org/2000/svg" width="100" height="100"><rect x="0" y="0" width="100" height="100" fill="#ff0000"/></svg>)");
    f.close();
    layout.report->SetPictureFile(svg);
    ASSERT_TRUE(layout.report->Prepare());
    const QImage page = layout.report->QRPrinter()->PageImage(1, 48);
    EXPECT_EQ(page.pixelColor(2, 2), QColor(255, 0, 0));
    // A picture that cannot be read keeps the one there was.
    layout.report->SetPictureFile("/no/such/picture.png");
    EXPECT_EQ(layout.report->PictureFile(), svg);
    QFile broken(QDir::temp().filePath("kelm24-broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    layout.report->SetPictureFile(broken.fileName());
    ASSERT_TRUE(layout.report->Prepare());
    EXPECT_EQ(layout.report->QRPrinter()->PageImage(1, 48).pixelColor(2, 2), QColor(255, 0, 0));
    // The layouts look for their background under a metafile's name; the
    // picture inside is told by its content.
    const QString emf = QDir::temp().filePath("CHS_KELM24F.emf");
    QFile::remove(emf);
    ASSERT_TRUE(QFile::copy(svg, emf));
    QFile green(emf);
    ASSERT_TRUE(green.open(QIODevice::ReadWrite));
    QByteArray text = green.readAll().replace("#ff0000", "#00ff00");
    green.resize(0);
    green.write(text);
    green.close();
    layout.report->SetPictureFile(emf);
    ASSERT_TRUE(layout.report->Prepare());
    EXPECT_EQ(layout.report->QRPrinter()->PageImage(1, 48).pixelColor(2, 2), QColor(0, 255, 0));
    // An empty name removes the background.
    layout.report->SetPictureFile(QString());
    EXPECT_FALSE(layout.report->HasPicture());
    ASSERT_TRUE(layout.report->Prepare());
    EXPECT_EQ(layout.report->QRPrinter()->PageImage(1, 48).pixelColor(2, 2), QColor(Qt::white));
    QFile::remove(svg);
    QFile::remove(emf);
    broken.remove();
}

TEST(Render, SvgBackgroundTextsAreTakenOnlyWhereTheyCanBePlacedExactly)
{
    const QByteArray svg = QStringLiteral(R"svg(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="200" height="300" viewBox="0 0 200 300">
<use xlink:href="#again" x="50" y="0"/>
<g transform="translate(10,5)" font-family="SimSun" fill="#000" stroke="none">
<text x="1" y="20" font-size="12">单别</text>
<text x="100" y="20" font-size="10.5" text-anchor="middle" font-weight="bold" fill="#0000ff">品号</text>
<text x="1" y="40" font-size="12"><tspan>分段</tspan><text x="1" y="40" font-size="12">嵌套</text></text>
<text x="1" y="60" font-size="12" transform="rotate(90)">转向</text>
<g transform="scale(2)"><text x="1" y="20" font-size="12">放大</text></g>
<text x="1" y="80" font-size="12" style="fill:red">样式</text>
<text x="1" y="90" font-size="1em">字号</text>
<text x="1" y="95" font-size="12" xml:space="preserve">留  空</text>
<text x="1" y="110" font-size="12" font-family="SimSun, serif">列表</text>
<text x="1" y="120" font-size="12" font-family="inherit">继承</text>
<text x="1" y="130" font-size="12" font-weight="500">中粗</text>
<g id="again"><text x="1" y="140" font-size="12">重用</text></g>
<text x="1" y="160" font-size="12">遮盖</text>
<text x="1" y="200" font-size="12">行下</text>
<rect x="0" y="150" width="50" height="20" fill="#eeeeee"/>
<text x="1" y="240" font-size="12">最后</text>
</g>
<defs><text id="t" x="0" y="0" font-family="SimSun" font-size="12">定义</text></defs>
<text x="5" y="295">无字体</text>
</svg>)svg").toUtf8();
    std::vector<TSvgText> texts;
    const QByteArray rest = TakeSvgTexts(svg, texts);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].Text, QStringLiteral("单别"));
    EXPECT_EQ(texts[0].Position, QPointF(11, 25));
    EXPECT_EQ(texts[0].Size, 12);
    EXPECT_EQ(texts[0].Family, QStringLiteral("SimSun"));
    EXPECT_EQ(texts[0].Anchor, Qt::AlignLeft);
    EXPECT_EQ(texts[1].Text, QStringLiteral("品号"));
    EXPECT_EQ(texts[1].Position, QPointF(110, 25));
    EXPECT_EQ(texts[1].Size, 10.5);  // kept exactly, as the SVG renderer draws it
    EXPECT_TRUE(texts[1].Bold);
    EXPECT_EQ(texts[1].Anchor, Qt::AlignHCenter);
    EXPECT_EQ(texts[1].Color, QColor(0, 0, 255));
    EXPECT_EQ(texts[2].Text, QStringLiteral("行下"));  // the later rectangle covers other rows
    EXPECT_EQ(texts[3].Text, QStringLiteral("最后"));  // painted after the rectangle
    // What is not taken stays for the SVG renderer, in a document it still reads.
    const QString left = QString::fromUtf8(rest);
    for (const char* kept : {"分段", "嵌套", "转向", "放大", "样式", "字号", "留  空", "列表", "继承", "中粗", "重用", "遮盖",
                             "定义", "无字体"})
        EXPECT_TRUE(left.contains(QString::fromUtf8(kept))) << kept;
    for (const char* gone : {"单别", "品号", "行下", "最后"}) EXPECT_FALSE(left.contains(QString::fromUtf8(gone))) << gone;
    EXPECT_TRUE(QSvgRenderer(rest).isValid());
    // Documents whose texts the drawing could not follow are handed on whole:
    // one that does not parse, style sheets, SVG fonts, no size of its own.
    const QByteArray broken = svg.left(svg.size() - 10);
    QByteArray styled = svg, fonted = svg, unsized = svg;
    styled.replace("<defs>", "<style>text { fill: red }</style><defs>");
    fonted.replace("<defs>", "<defs><font horiz-adv-x=\"10\"/>");
    unsized.replace(R"x( height="300" viewBox="0 0 200 300")x", "");
    for (const QByteArray& whole : {broken, styled, fonted, unsized}) {
        EXPECT_EQ(TakeSvgTexts(whole, texts), whole);
        EXPECT_TRUE(texts.empty());
    }
}

TEST(Render, SvgBackgroundTextsLandWhereTheSvgRendererPutsThem)
{
    // Large texts of each anchor, size and weight: their ink must stand where
    // the SVG renderer's own drawing of the same text stands.
    const char* const cases[] = {
        R"(font-size="40.5">左起Ab</text>)", R"(font-size="40.5" text-anchor="middle">居中Ab</text>)",
        R"(font-size="33" text-anchor="end" font-weight="bold">靠右Ab</text>)"};
    for (const char* item : cases) {
        const QByteArray svg = QByteArray(R"x(<svg xmlns="http://www.w3.org/2000/svg" width="400" height="120" viewBox="0 0 400 120">)x"
                                          R"x(<g transform="translate(10,20)" font-family="SimSun" fill="#000"><text x="190" y="60" )x") +
                               item + "</g></svg>";
        std::vector<TSvgText> texts;
        TakeSvgTexts(svg, texts);
        ASSERT_EQ(texts.size(), 1u) << item;
        const QString file = QDir::temp().filePath("kelm24-text-background.svg");
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(svg);
        f.close();
        QImage bySvg(800, 240, QImage::Format_RGB32), byBackground(800, 240, QImage::Format_RGB32);
        bySvg.fill(Qt::white);
        byBackground.fill(Qt::white);
        {
            QPainter p(&bySvg);
            QSvgRenderer(svg).render(&p, QRectF(0, 0, 800, 240));
        }
        TQRBackground background;
        ASSERT_TRUE(background.Load(file));
        {
            QPainter p(&byBackground);
            background.Draw(p, QRectF(0, 0, 800, 240));
        }
        const auto ink = [](const QImage& image) {
            QRect box;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qGray(image.pixel(x, y)) < 128) box |= QRect(x, y, 1, 1);
            return box;
        };
        const QRect expected = ink(bySvg), drawn = ink(byBackground);
        ASSERT_FALSE(expected.isEmpty()) << item;
        EXPECT_LE(std::abs(expected.left() - drawn.left()), 1) << item;
        EXPECT_LE(std::abs(expected.right() - drawn.right()), 1) << item;
        EXPECT_LE(std::abs(expected.top() - drawn.top()), 1) << item;
        EXPECT_LE(std::abs(expected.bottom() - drawn.bottom()), 1) << item;
    }
}

TEST(Render, ReceiptBackgroundsLookTheSameWithTheirTextsDrawnAsText)
{
    for (const char* name : {"CHS_KELM24F.svg", "CHT_KELM24F.svg", "ENG_KELM24F.svg"}) {
        const QString file = qEnvironmentVariable("KELM24_SOURCE_DIR", KELM24_TEST_SOURCE_DIR) + "/format/backgrounds/" + name;
        QImage bySvg(816, 1056, QImage::Format_RGB32), byBackground(816, 1056, QImage::Format_RGB32);
        bySvg.fill(Qt::white);
        byBackground.fill(Qt::white);
        QSvgRenderer renderer(file);
        ASSERT_TRUE(renderer.isValid()) << file.toStdString();
        {
            QPainter p(&bySvg);
            renderer.render(&p, QRectF(0, 0, 816, 1056));
        }
        TQRBackground background;
        ASSERT_TRUE(background.Load(file));
        {
            QPainter p(&byBackground);
            background.Draw(p, QRectF(0, 0, 816, 1056));
        }
        // Only the anti-aliasing of the glyphs' edges differs, which the
        // comparison of quarter-size pictures leaves out.
        const auto quarter = [](const QImage& image) {
            return image.scaled(image.size() / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        };
        const double mean = test::PageDifference(quarter(bySvg), quarter(byBackground)).second;
        EXPECT_LT(mean, 0.3) << name;
        // The titles are there at all: a page without them differs plainly.
        QImage linesOnly(816, 1056, QImage::Format_RGB32);
        linesOnly.fill(Qt::white);
        std::vector<TSvgText> texts;
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QSvgRenderer withoutTexts(TakeSvgTexts(f.readAll(), texts));
        EXPECT_EQ(texts.size(), 49u) << name;
        {
            QPainter p(&linesOnly);
            withoutTexts.render(&p, QRectF(0, 0, 816, 1056));
        }
        const double withoutTitles = test::PageDifference(quarter(bySvg), quarter(linesOnly)).second;
        EXPECT_GT(withoutTitles, 3 * mean) << name << ": " << withoutTitles << " against " << mean;
    }
}
