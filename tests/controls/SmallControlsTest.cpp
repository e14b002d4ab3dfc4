#include "controls/BtChkBox.h"
#include "controls/Buttons.h"
#include "controls/DBLabel.h"
#include "controls/GlyphLibrary.h"
#include "controls/QvRadio.h"
#include "controls/QvSpin.h"
#include "controls/QvsEdit.h"
#include "kelm24/Variant.h"
#include "platform/VeDudU5/VeDudU5.h"
#include "tests/controls/ControlTestSupport.h"

#include <QDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::F2Form;
using kelm24::test::MessageRecorder;
using kelm24::test::ShowActive;

TEST(GlyphLibrary, ExportsNumberedGlyphsThroughItsCInterface)
{
    const QString path = QDir(qEnvironmentVariable("KELM24_BIN_DIR", QCoreApplication::applicationDirPath()))
                             .filePath("libVeDudU5.so");
    void* lib = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto getMax = reinterpret_cast<TGetMaxBmpID>(dlsym(lib, "GetMaxBmpID"));
    auto load = reinterpret_cast<TLoadBmp>(dlsym(lib, "LoadBmp"));
    ASSERT_TRUE(getMax && load);
    const int max = getMax();
    EXPECT_GE(max, 47);
    int w = 0, h = 0;
    for (int id = 1; id <= max; ++id) {
        ASSERT_EQ(load(id, &w, &h, nullptr, 0), 1) << id;
        EXPECT_EQ(h, 16);
        std::vector<uint32_t> pixels(size_t(w * h));
        ASSERT_EQ(load(id, &w, &h, pixels.data(), int(pixels.size())), 1);
        // Every glyph draws something opaque.
        EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](uint32_t p) { return (p >> 24) == 0xFF; })) << id;
    }
    EXPECT_EQ(load(0, &w, &h, nullptr, 0), 0);
    EXPECT_EQ(load(max + 1, &w, &h, nullptr, 0), 0);
    std::vector<uint32_t> small(10);
    EXPECT_EQ(load(1, &w, &h, small.data(), 10), 0);  // too small a buffer is refused
    dlclose(lib);
}

TEST(GSpeedButton, GlyphsByNumberAndTheirFailures)
{
    TGSpeedButton b;
    b.SetGlyphIndex(1);
    EXPECT_FALSE(b.Glyph().isNull());
    EXPECT_EQ(b.NumGlyphs(), 1);
    EXPECT_TRUE(b.Caption().isEmpty());
    b.SetGlyphIndex(4);
    EXPECT_EQ(b.NumGlyphs(), 2);
    b.SetGlyphIndex(GlyphMaxId() + 1);
    EXPECT_TRUE(b.Glyph().isNull());
    EXPECT_EQ(b.Caption(), QString::number(GlyphMaxId() + 1));
    b.SetGlyphIndex(0);
    EXPECT_TRUE(b.Glyph().isNull());
    EXPECT_TRUE(b.Caption().isEmpty());
    EXPECT_EQ(b.property("GlyphIndex").toInt(), 0);

    MessageRecorder messages;
    SetGlyphLibraryPath("/nonexistent/libVeDudU5.so");
    TGSpeedButton missing;
    missing.SetGlyphIndex(3);
    SetGlyphLibraryPath(QString());
    EXPECT_EQ(messages.Messages, QStringList{"读取 BMP 发生错误"});
    EXPECT_TRUE(missing.Glyph().isNull());
    EXPECT_EQ(missing.Caption(), "3");
}

TEST(F2Button, ServesOneEditAndSendsTheF2Message)
{
    F2Form form;
    TEdit edit(&form), edit2(&form);
    edit.setGeometry(10, 10, 100, 21);
    edit2.setGeometry(10, 40, 100, 21);
    TF2Button a(&form), b(&form);
    EXPECT_EQ(a.GlyphIndex(), 8);
    EXPECT_TRUE(a.Flat());
    a.SetF2Control(&edit);
    EXPECT_EQ(a.geometry(), QRect(112, 10, 21, 21));
    ASSERT_TRUE(ShowActive(&form));
    edit.move(20, 12);  // follows its edit
    EXPECT_EQ(a.geometry(), QRect(122, 12, 21, 21));

    MessageRecorder messages;
    b.SetF2Control(&edit);
    EXPECT_EQ(messages.Messages, QStringList{"不能同时有两个 F2Button 指到同一个 Edit."});
    EXPECT_EQ(b.F2Control(), nullptr);
    b.SetF2Control(&edit2);
    EXPECT_EQ(b.F2Control(), &edit2);

    edit2.setFocus();
    QTest::mouseClick(&a, Qt::LeftButton);
    EXPECT_TRUE(edit.hasFocus());
    ASSERT_EQ(form.F2Controls.size(), 1);
    EXPECT_EQ(form.F2Controls[0], &edit);
    // A disabled edit gets neither the focus nor a message.
    edit2.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton);
    EXPECT_EQ(form.F2Controls.size(), 1);
}

TEST(BitCheckBox, CyclesThroughItsStates)
{
    F2Form form;
    TBitCheckBox box(&form);
    EXPECT_EQ(box.size(), QSize(97, 17));
    EXPECT_EQ(box.State(), TBitCheckBox::cbUnchecked);
    ASSERT_TRUE(ShowActive(&form));
    QList<TBitCheckBox::TCheckBoxState> seen;
    box.OnClick = {nullptr, [&](QObject*) { seen << box.State(); }};
    box.SetAllowGrayed(true);
    QTest::mouseClick(&box, Qt::LeftButton);
    QTest::mouseClick(&box, Qt::LeftButton);
    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(seen, (QList<TBitCheckBox::TCheckBoxState>{TBitCheckBox::cbGrayed, TBitCheckBox::cbChecked,
                                                          TBitCheckBox::cbUnchecked}));
    box.SetAllowGrayed(false);
    QTest::mouseClick(&box, Qt::LeftButton);
    EXPECT_TRUE(box.Checked());
    EXPECT_TRUE(box.property("Checked").toBool());
    box.setProperty("Checked", false);
    EXPECT_EQ(box.State(), TBitCheckBox::cbUnchecked);
    // The accelerator of the caption toggles too.
    box.SetCaption("汇总打印(&P)");
    QTest::keyClick(&form, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(box.Checked());

    // An assigned strip: cells of its height.
    QImage strip(26, 13, QImage::Format_ARGB32);
    strip.fill(Qt::red);
    box.SetCheckedGlyph(strip);
    EXPECT_EQ(box.CheckedNumGlyphs(), 2);
    QImage odd(20, 13, QImage::Format_ARGB32);
    box.SetGrayedGlyph(odd);
    EXPECT_EQ(box.GrayedNumGlyphs(), 1);
}

TEST(QvSpinEdit, RefusesStraySigns)
{
    F2Form form;
    TQvSpinEdit spin(&form);
    int changes = 0;
    spin.OnChange = {nullptr, [&](QObject*) { ++changes; }};
    ASSERT_TRUE(ShowActive(&form));
    spin.setFocus();
    spin.SetText("");
    EXPECT_EQ(changes, 0);  // an empty text is not passed on
    QTest::keyClicks(&spin, "12-");
    EXPECT_EQ(spin.Text(), "12");
    spin.SetText("");
    QTest::keyClicks(&spin, "-12");
    EXPECT_EQ(spin.Text(), "-12");
    EXPECT_EQ(spin.Value(), -12);
    spin.SetText("1+2");
    EXPECT_EQ(spin.Text(), "1");
    EXPECT_GT(changes, 0);

    TSpinEdit plain;
    plain.SetMinValue(-99);
    plain.SetMaxValue(99);
    plain.SetText("abc");
    EXPECT_EQ(plain.Value(), -99);
    plain.SetValue(500);
    EXPECT_EQ(plain.Text(), "99");
    plain.stepBy(-3);
    EXPECT_EQ(plain.Value(), 96);
}

TEST(DBLabel, PlacesItselfBesideItsControl)
{
    F2Form form;
    TEdit edit(&form);
    edit.setGeometry(100, 2, 120, 21);
    TDBLabel label(&form);
    EXPECT_EQ(label.Caption(), "挂靠标签");
    label.SetCaption("Date");
    const QSize s = label.size();
    label.SetPos(TDBLabel::psTop);
    label.SetFocusControl(&edit);
    EXPECT_EQ(label.pos(), QPoint(100, 0));  // 2 - 4 - height, clamped
    label.SetPos(TDBLabel::psBottom);
    EXPECT_EQ(label.pos(), QPoint(100, 27));
    label.SetPos(TDBLabel::psLeft);
    EXPECT_EQ(label.pos(), QPoint(100 - 4 - s.width(), 2 + 21 / 2 - s.height() / 2));
    label.SetPos(TDBLabel::psRight);
    EXPECT_EQ(label.x(), 224);
    ASSERT_TRUE(ShowActive(&form));
    edit.setGeometry(100, 50, 120, s.height());  // equally high: the same top
    EXPECT_EQ(label.pos(), QPoint(224, 50));

    MessageRecorder messages;
    TDBLabel second(&form);
    second.SetFocusControl(&edit);
    EXPECT_EQ(messages.Messages, QStringList{"不能同时有两个 DBLabel 指到同一个 Control."});
    EXPECT_EQ(second.FocusControl(), nullptr);
}

namespace {
class FieldSource : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE QString DisplayLabel(const QString& field) const { return field == "TG003" ? "进货日期" : QString(); }
};
}  // namespace

TEST(DBLabel, TakesTheDisplayLabelOfTheDataField)
{
    F2Form form;
    FieldSource source;
    TQvDBEdit edit(&form);
    edit.SetDataSource(&source);
    edit.SetDataField("TG003");
    TDBLabel label(&form);
    label.SetFocusControl(&edit);
    EXPECT_EQ(label.Caption(), "进货日期");
    TQvDBEdit other(&form);
    other.SetDataSource(&source);
    other.SetDataField("XX");
    TDBLabel keeps(&form);
    keeps.SetFocusControl(&other);
    EXPECT_EQ(keeps.Caption(), "挂靠标签");
}

TEST(QvDBEdit, LabelAndButtonFollowTheEdit)
{
    F2Form form;
    TQvBtnDBEdit edit(&form);
    edit.setGeometry(80, 40, 100, 21);
    edit.SetCaption("Supplier");
    TLabel* label = edit.EditLabel();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->objectName(), "EditLabel");
    EXPECT_EQ(label->geometry().right() + 1 + 4, 80);
    edit.SetLabelPosition(TQvDBEdit::lpAbove);
    EXPECT_EQ(label->pos(), QPoint(80, 40 - 4 - label->height()));
    edit.SetLabelSpacing(-3);
    EXPECT_EQ(edit.LabelSpacing(), 4);
    EXPECT_EQ(edit.F2Button()->objectName(), "F2Button");
    EXPECT_EQ(edit.F2Button()->geometry(), QRect(182, 40, 21, 21));
    ASSERT_TRUE(ShowActive(&form));
    edit.move(10, 40);
    EXPECT_EQ(edit.F2Button()->x(), 112);
    edit.setEnabled(false);
    EXPECT_FALSE(label->isEnabled());
    EXPECT_FALSE(edit.F2Button()->isEnabled());
    edit.setEnabled(true);

    QTest::mouseClick(edit.F2Button(), Qt::LeftButton);
    ASSERT_EQ(form.F2Controls.size(), 1);
    EXPECT_EQ(form.F2Controls[0], &edit);
    int dialogs = 0;
    edit.OnDialog = {nullptr, [&](QObject*) { ++dialogs; }};
    QTest::mouseClick(edit.F2Button(), Qt::LeftButton);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(form.F2Controls.size(), 1);
    edit.hide();
    EXPECT_TRUE(label->isHidden());
}

TEST(QvRadioGroup, ArrangesButtonsColumnByColumn)
{
    TQvRadioGroup g;
    g.resize(210, 100);
    g.SetColumns(2);
    g.SetItems({"a", "b", "c"});
    ASSERT_EQ(g.Buttons().size(), 3);
    const int textHeight = QFontMetrics(g.font()).height();
    const int free = 100 - textHeight - 5;
    const int rowHeight = free / 2;
    const int top = textHeight + 1 + (free % 2) / 2;
    EXPECT_EQ(g.Buttons()[0]->geometry(), QRect(8, top, 100, rowHeight));
    EXPECT_EQ(g.Buttons()[1]->geometry(), QRect(8, top + rowHeight, 100, rowHeight));
    EXPECT_EQ(g.Buttons()[2]->geometry(), QRect(108, top, 100, rowHeight));
    EXPECT_EQ(g.ItemIndex(), -1);
    g.setProperty("ItemIndex", 2);
    EXPECT_TRUE(g.Buttons()[2]->isChecked());
    g.Buttons()[0]->click();
    EXPECT_EQ(g.ItemIndex(), 0);
    EXPECT_FALSE(g.Buttons()[2]->isChecked());
    g.SetReadOnly(true);
    g.Buttons()[1]->click();
    EXPECT_EQ(g.ItemIndex(), 0);
    g.SetItems({"x"});
    EXPECT_EQ(g.ItemIndex(), 0);
    g.SetItems({});
    EXPECT_EQ(g.ItemIndex(), -1);
}

TEST(QvRadioButton, CaptionIndentGrowsWithTheFont)
{
    const std::pair<int, int> table[] = {{1, 17},  {8, 17},  {9, 19},  {15, 19}, {16, 20}, {17, 20},
                                         {18, 21}, {23, 21}, {24, 23}, {30, 25}, {36, 27}, {42, 29},
                                         {44, 31}, {60, 31}, {61, 39}, {80, 39}, {81, 44}};
    for (auto [size, indent] : table) EXPECT_EQ(TQvRadioButton::CaptionIndent(size), indent) << size;
    TQvRadioButton r;
    EXPECT_EQ(r.size(), QSize(113, 17));
}

#include "SmallControlsTest.moc"
