// Offscreen pictures of the controls compared with reference images that a
// person has looked at. KELM24_WRITE_REFS=1 writes the pictures as new
// references into the source tree instead of comparing.
#include "controls/Aligrid.h"
#include "controls/BtChkBox.h"
#include "controls/SelectPnl.h"
#include "tests/controls/ControlTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

QString RefDir()
{
    return QDir(qEnvironmentVariable("KELM24_SOURCE_DIR", QStringLiteral(KELM24_SOURCE_DIR)))
        .filePath(QStringLiteral("tests/controls/ref"));
}

// A fixed look: the Fusion style, its standard palette and the Song face of
// AR PL UMing at 12 pixels.
void FixLook(QWidget* w)
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(QApplication::style()->standardPalette());
    QFont f(QStringLiteral("AR PL UMing CN"));
    f.setPixelSize(12);
    f.setHintingPreference(QFont::PreferNoHinting);
    w->setFont(f);
}

// Share of pixels whose colour differs by more than a small tolerance.
double DifferingShare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int d = std::max({std::abs(qRed(p[col]) - qRed(q[col])), std::abs(qGreen(p[col]) - qGreen(q[col])),
                                    std::abs(qBlue(p[col]) - qBlue(q[col]))});
            if (d > 48) ++differing;
        }
    }
    return double(differing) / double(x.width() * x.height());
}

void CompareWithReference(QWidget* w, const QString& name)
{
    const QImage shot = w->grab().toImage();
    const QString path = QDir(RefDir()).filePath(name + QStringLiteral(".png"));
    if (qEnvironmentVariableIsSet("KELM24_WRITE_REFS")) {
        ASSERT_TRUE(shot.save(path)) << path.toStdString();
        return;
    }
    const QImage ref(path);
    ASSERT_FALSE(ref.isNull()) << "missing reference " << path.toStdString();
    ASSERT_EQ(shot.size(), ref.size()) << name.toStdString();
    const double share = DifferingShare(shot, ref);
    if (share > 0.02) shot.save(QDir::temp().filePath(name + QStringLiteral("-actual.png")));
    EXPECT_LE(share, 0.02) << name.toStdString() << ": the picture in " << QDir::tempPath().toStdString();
}

}  // namespace

TEST(Screenshots, SelectPanelInItsThreeStyles)
{
    QWidget form;
    FixLook(&form);
    form.resize(380, 300);
    TSelectPanel range(&form), list(&form), choice(&form);
    range.SetCaption(QStringLiteral("选择进货日期"));
    range.SetEditMask(QStringLiteral("9999/99/99;1; "));
    range.SetBeginText(QStringLiteral("2024/04/01"));
    range.SetFinalText(QStringLiteral("2024/04/30"));
    range.move(10, 10);
    list.SetCaption(QStringLiteral("选择进货单号"));
    list.SetStyle(TSelectPanel::sp_Discrete);
    list.SetShowColumnHeader(true);
    list.AddRow({QStringLiteral("3401-0001"), QStringLiteral("Bolt M6")});
    list.AddRow({QStringLiteral("3401-0002"), QStringLiteral("Nut M6")});
    list.resize(300, 105);
    list.move(10, 65);
    choice.SetCaption(QStringLiteral("选择单据日期"));
    choice.SetStyle(TSelectPanel::sp_UserChoice);
    choice.resize(300, 105);
    choice.move(10, 180);
    CompareWithReference(&form, QStringLiteral("select-panel-styles"));
}

TEST(Screenshots, BitCheckBoxInItsThreeStates)
{
    QWidget form;
    FixLook(&form);
    form.resize(120, 66);
    TBitCheckBox unchecked(&form), checked(&form), grayed(&form);
    unchecked.SetCaption(QStringLiteral("Unchecked"));
    checked.SetCaption(QStringLiteral("按仓库分页"));
    checked.SetChecked(true);
    grayed.SetCaption(QStringLiteral("Grayed"));
    grayed.SetState(TBitCheckBox::cbGrayed);
    unchecked.move(4, 4);
    checked.move(4, 24);
    grayed.move(4, 44);
    CompareWithReference(&form, QStringLiteral("bit-check-box-states"));
}

TEST(Screenshots, AlignedGridWithMixedAlignments)
{
    QWidget form;
    FixLook(&form);
    form.resize(330, 140);
    TStringAlignGrid grid(&form);
    grid.setGeometry(5, 5, 320, 130);
    grid.SetColCount(4);
    grid.SetRowCount(4);
    grid.SetDefaultRowHeight(30);
    grid.SetColWidths(0, 40);
    grid.SetColWidths(1, 90);
    grid.SetColWidths(2, 90);
    grid.SetColWidths(3, 90);
    const QStringList captions = {QStringLiteral("品号"), QStringLiteral("Left"), QStringLiteral("Center"),
                                  QStringLiteral("Right")};
    for (int c = 0; c < 4; ++c) grid.SetCells(c, 0, captions[c]);
    grid.SetFixedAlignRow(0, TStringAlignGrid::alCenter);
    grid.SetAlignCol(2, TStringAlignGrid::alCenter);
    grid.SetAlignCol(3, TStringAlignGrid::alRight);
    for (int r = 1; r < 4; ++r) {
        grid.SetCells(0, r, QString::number(r));
        grid.SetCells(1, r, QStringLiteral("A%1").arg(r));
        grid.SetCells(2, r, QStringLiteral("螺丝 M%1").arg(r + 5));
        grid.SetCells(3, r, QString::number(r * 1250.5, 'f', 2));
    }
    grid.SetAlignCell(1, 2, TStringAlignGrid::alRight);  // a cell of its own
    grid.SetCells(1, 3, QStringLiteral("a long text that wraps"));
    grid.SetWordwrapCell(1, 3, TStringAlignGrid::ww_wordwrap);
    grid.SetCells(2, 3, QStringLiteral("an ellipsis cut text"));
    grid.SetWordwrapCell(2, 3, TStringAlignGrid::ww_ellipsis);
    grid.SetColorRow(2, RGBColor(255, 255, 175));
    grid.SetCurrentCell(3, 1);
    CompareWithReference(&form, QStringLiteral("align-grid-mixed"));
}
