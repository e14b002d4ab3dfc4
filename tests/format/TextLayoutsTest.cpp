// Kept text layouts: a page drawn through them records the very commands
// QPainter::drawText records, for first and repeated texts, every alignment,
// wrapped, clipped and multi-line texts, and after the font changes.
#include "format/engine/QRFonts.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QRTextLayouts.h"

#include <QPainter>
#include <QPicture>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

struct TTextCase {
    QString Text;
    QRectF Rect;
    int Flags;
};

const QList<TTextCase>& Cases()
{
    static const QList<TTextCase> cases = {
        {QStringLiteral("PCS"), QRectF(10, 10, 60, 17), Qt::AlignLeft | Qt::AlignTop},
        {QStringLiteral("1,234.50"), QRectF(80.5, 10, 70, 17), Qt::AlignRight | Qt::AlignTop},
        {QStringLiteral("一号仓库"), QRectF(160, 10, 90, 17), Qt::AlignHCenter | Qt::AlignTop},
        {QStringLiteral("比控件宽得多的一段品名说明文字"), QRectF(10, 40, 50, 17), Qt::AlignLeft | Qt::AlignTop},
        {QStringLiteral("比控件宽得多的一段品名说明文字"), QRectF(10, 60, 50, 17), Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip},
        {QStringLiteral("不锈钢 螺栓 M8x40 镀锌 另附 说明书 两份"), QRectF(10, 80, 80, 60), Qt::AlignLeft | Qt::TextWordWrap},
        {QStringLiteral("不锈钢 螺栓 M8x40 镀锌 另附 说明书 两份"), QRectF(10, 150, 80, 20), Qt::AlignHCenter | Qt::TextWordWrap},
        {QStringLiteral("不锈钢 螺栓 M8x40 镀锌 另附 说明书 两份"), QRectF(10, 180, 80, 20),
         Qt::AlignRight | Qt::TextWordWrap | Qt::TextDontClip},
        {QStringLiteral("第一行\n第二行\r\t第三行"), QRectF(200, 80, 120, 80), Qt::AlignLeft | Qt::TextWordWrap},
        {QStringLiteral("居中"), QRectF(200, 170, 100, 40), Qt::AlignHCenter | Qt::AlignVCenter},
        {QStringLiteral("底部"), QRectF(200, 220, 100, 40), Qt::AlignRight | Qt::AlignBottom},
        {QStringLiteral("空矩形"), QRectF(200, 270, 0, 0), Qt::AlignLeft},
        {QStringLiteral("&Mnemonic  "), QRectF(10, 280, 90, 17), Qt::AlignLeft | Qt::TextShowMnemonic},
    };
    return cases;
}

// One page of the cases in two fonts, each case drawn twice (the second time
// from a kept layout), the texts by `draw`.
QByteArray Page(const std::function<void(QPainter&, const TTextCase&)>& draw)
{
    TQRPrinter pages;
    pages.SetPaper(QSizeF(215.9, 279.4));
    QPicture& page = pages.AddPage();
    {
        QPainter p(&page);
        QFont font(QStringLiteral("宋体"));
        for (const qreal points : {9.0, 10.5}) {
            font.setPointSizeF(points);
            p.setFont(font);
            for (int round = 0; round < 2; ++round)
                for (const TTextCase& c : Cases()) {
                    p.save();
                    p.translate(round * 330, points * 30);
                    draw(p, c);
                    p.restore();
                }
        }
        font.setUnderline(true);
        p.setFont(font);
        draw(p, Cases()[0]);
    }
    return QByteArray(page.data(), page.size());
}

}  // namespace

TEST(TextLayoutsTest, KeptLayoutsRecordWhatDrawTextRecords)
{
    UseReportFonts();
    const QByteArray expected = Page([](QPainter& p, const TTextCase& c) { p.drawText(c.Rect, c.Flags, c.Text); });
    TQRTextLayouts layouts;
    const QByteArray kept = Page([&](QPainter& p, const TTextCase& c) { layouts.Draw(p, c.Rect, c.Flags, c.Text); });
    EXPECT_GT(expected.size(), 1000);
    EXPECT_EQ(kept.toHex(), expected.toHex());

    // A text prepared before it is laid out (break opportunities) is prepared once and drawn as prepared.
    int prepared = 0;
    const auto breakable = [&](const QString& t) {
        ++prepared;
        return QString(t).replace(QLatin1Char(' '), QChar(0x200B));
    };
    const QByteArray direct = Page([&](QPainter& p, const TTextCase& c) { p.drawText(c.Rect, c.Flags, breakable(c.Text)); });
    prepared = 0;
    TQRTextLayouts preparing;
    EXPECT_EQ(Page([&](QPainter& p, const TTextCase& c) { preparing.Draw(p, c.Rect, c.Flags, c.Text, breakable); }).toHex(),
              direct.toHex());
    // Each font's second round came from kept layouts; the empty clipping rectangle and the
    // mnemonic go to drawText every time, as does the underlined text.
    const int fallbacks = 2;
    EXPECT_EQ(prepared, 2 * (Cases().size() - fallbacks) + 2 * 2 * fallbacks + 1);
}
