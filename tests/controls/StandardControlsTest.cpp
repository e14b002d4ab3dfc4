#include "controls/EditMask.h"
#include "controls/ExtCtrls.h"
#include "controls/ListView.h"
#include "controls/StdCtrls.h"
#include "tests/controls/ControlTestSupport.h"

#include <QAbstractItemView>
#include <QMetaProperty>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::F2Form;
using kelm24::test::ShowActive;

TEST(EditMask, TranslatesTheSystemsMasks)
{
    const TEditMask date("9999/99/99;1; ");
    EXPECT_EQ(date.QtInputMask(), "0000/00/00; ");
    EXPECT_EQ(date.BlankText(), "    /  /  ");
    EXPECT_TRUE(date.SaveLiterals());
    EXPECT_EQ(TEditMask("99/9999;1; ").BlankText(), "  /    ");
    const TEditMask noLiterals("00/00;0;_");
    EXPECT_EQ(noLiterals.QtInputMask(), "99/99;_");
    EXPECT_EQ(noLiterals.BlankText(), "    ");
    EXPECT_EQ(noLiterals.TextFromDisplay("12/3_"), "123 ");
    EXPECT_EQ(TEditMask("LlAaCc#").QtInputMask(), "AaNnXx#;_");
    // Letters that Qt reads as codes are escaped as literals; "\" makes one.
    EXPECT_EQ(TEditMask("\\9H-9;1;_").QtInputMask(), "\\9\\H-0;_");
    EXPECT_EQ(TEditMask(">LL<>l").QtInputMask(), ">AA!a;_");
    EXPECT_TRUE(TEditMask("!999").LeadingBlanks());
    EXPECT_FALSE(TEditMask("").IsMasked());
    EXPECT_EQ(TEditMask("").BlankText(), "");
}

TEST(MaskEdit, ReadsBlanksAsSpacesAndKeepsLiterals)
{
    TMaskEdit e;
    e.SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(e.Text(), "    /  /  ");
    e.SetText("2024/05/31");
    EXPECT_EQ(e.Text(), "2024/05/31");
    EXPECT_EQ(e.property("Text").toString(), "2024/05/31");
    e.SetText("2024/05");
    EXPECT_EQ(e.Text(), "2024/05/  ");
    e.SetEditMask("");
    EXPECT_EQ(e.Text(), "2024/05/  ");  // the text stays when the mask goes

    TMaskEdit u;
    u.SetEditMask("99/9999;1;_");
    EXPECT_EQ(u.EditText(), "__/____");
    EXPECT_EQ(u.Text(), "  /    ");
    u.SetText("05/2024");
    EXPECT_EQ(u.Text(), "05/2024");
}

TEST(StandardControls, PublishTheSystemsPropertyNames)
{
    const struct {
        QWidget* w;
        const char* names;
    } cases[] = {
        {new TEdit, "Text MaxLength ReadOnly Hint Color Left Top Width Height Visible Enabled Tag Align"},
        {new TMaskEdit, "Text EditMask"},
        {new TMemo, "Lines Text ReadOnly WordWrap"},
        {new TLabel, "Caption AutoSize Alignment WordWrap Transparent FocusControl"},
        {new TButton, "Caption Default Cancel ModalResult"},
        {new TBitBtn, "Caption Glyph NumGlyphs"},
        {new TCheckBox, "Caption Checked State AllowGrayed Alignment"},
        {new TComboBox, "Style Items ItemIndex Text MaxLength DropDownCount Sorted"},
        {new TPanel, "Caption BevelOuter BevelInner BevelWidth BorderWidth Alignment"},
        {new TGroupBox, "Caption"},
        {new TListView, "ViewStyle ReadOnly MultiSelect RowSelect ShowColumnHeaders ItemIndex"},
    };
    for (const auto& c : cases) {
        for (const QString& name : QString::fromLatin1(c.names).split(' ')) {
            const int index = c.w->metaObject()->indexOfProperty(name.toLatin1().constData());
            EXPECT_GE(index, 0) << ControlClassName(c.w).toStdString() << "." << name.toStdString();
        }
        delete c.w;
    }
}

TEST(StandardControls, ValuesByNameAsConditionSetsWriteThem)
{
    TComboBox cbo;
    cbo.setProperty("Style", "csDropDownList");
    EXPECT_EQ(cbo.Style(), TComboBox::csDropDownList);
    cbo.setProperty("Items", QStringList{"已审核", "未审核", "作废", "全部"});
    cbo.setProperty("ItemIndex", 1);
    EXPECT_EQ(cbo.property("Text").toString(), "未审核");
    // Replacing the items keeps the chosen index, as a translated list does.
    cbo.setProperty("Items", QStringList{"Approved", "Not approved", "Void", "All"});
    EXPECT_EQ(cbo.ItemIndex(), 1);
    cbo.SetItemIndex(9);
    EXPECT_EQ(cbo.ItemIndex(), -1);
    const QMetaProperty style = cbo.metaObject()->property(cbo.metaObject()->indexOfProperty("Style"));
    EXPECT_STREQ(style.enumerator().valueToKey(cbo.Style()), "csDropDownList");

    TComboBox edit;
    edit.SetText("free text");
    EXPECT_EQ(edit.Text(), "free text");

    TMemo memo;
    memo.setProperty("Lines", QStringList{"a", "b"});
    EXPECT_EQ(memo.Text(), "a\nb");
    EXPECT_EQ(memo.Lines(), (QStringList{"a", "b"}));

    TCheckBox chk;
    chk.setProperty("Checked", true);
    EXPECT_EQ(chk.State(), TCheckBox::cbChecked);
    chk.SetAllowGrayed(true);
    chk.click();
    EXPECT_EQ(chk.State(), TCheckBox::cbUnchecked);
    chk.click();
    EXPECT_EQ(chk.State(), TCheckBox::cbGrayed);
    chk.click();
    EXPECT_EQ(chk.State(), TCheckBox::cbChecked);

    TEdit e;
    e.setProperty("Color", 11534335);
    EXPECT_EQ(e.Color(), 11534335);
    EXPECT_EQ(e.palette().color(QPalette::Base), QColor(255, 255, 175));
    EXPECT_EQ(TEdit().Color(), clWindow);
    EXPECT_EQ(TPanel().Color(), clBtnFace);
    e.setProperty("Hint", "[F2]单别信息查询");
    EXPECT_EQ(e.toolTip(), "[F2]单别信息查询");

    TLabel label;
    label.SetCaption("保存(&S)");
    EXPECT_EQ(label.text(), "保存(S)");
    EXPECT_EQ(label.Caption(), "保存(&S)");
}

TEST(StandardControls, HandlersCanBeReplacedAndCalledAgain)
{
    F2Form form;
    TEdit a(&form), b(&form);
    b.move(0, 40);
    QStringList log;
    a.OnExit = {nullptr, [&](QObject*) { log << "own"; }};
    // A form keeps the own handler and puts its check in front of it.
    const TNotifyEvent own = a.OnExit;
    a.OnExit = {&form, [&](QObject* s) {
                    log << "check";
                    own(s);
                }};
    ASSERT_TRUE(ShowActive(&form));
    a.setFocus();
    b.setFocus();
    EXPECT_EQ(log, (QStringList{"check", "own"}));

    // A key handler may swallow a key or change it.
    a.OnKeyPress = [](QObject*, QChar& c) { c = c == 'x' ? QChar() : c.toUpper(); };
    a.setFocus();
    QTest::keyClicks(&a, "axb");
    EXPECT_EQ(a.Text(), "AB");
}

TEST(StandardControls, DockedControlsFillTheirParent)
{
    TPanel form;
    form.SetBevelOuter(TPanel::bvNone);
    form.resize(400, 300);
    TPanel left(&form), bottom(&form), client(&form);
    left.resize(151, 10);
    bottom.resize(10, 43);
    left.SetAlign(ctl::alLeft);
    bottom.SetAlign(ctl::alBottom);
    client.SetAlign(ctl::alClient);
    EXPECT_EQ(bottom.geometry(), QRect(0, 257, 400, 43));
    EXPECT_EQ(left.geometry(), QRect(0, 0, 151, 257));
    EXPECT_EQ(client.geometry(), QRect(151, 0, 249, 257));
    ASSERT_TRUE(ShowActive(&form));
    form.resize(500, 300);
    EXPECT_EQ(client.geometry(), QRect(151, 0, 349, 257));
    TSplitter splitter(&form);
    splitter.show();
    splitter.move(151, 0);
    RealignControls(&form);
    EXPECT_EQ(splitter.ResizedControl(), &left);
    EXPECT_EQ(client.x(), 154);
}

TEST(ListView, ItemsColumnsAndCaptionEditing)
{
    TListView lv;
    lv.SetViewStyle(TListView::vsReport);
    lv.AddColumn("方案名称", 80);
    lv.AddColumn("创建时间", 80);
    lv.AddItem("B", {"2024/01/02"});
    lv.AddItem("a", {"2024/01/01"});
    EXPECT_EQ(lv.ItemCount(), 2);
    // Reachable by index, as language packages address them.
    QObject* column = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(&lv, "Columns", Q_RETURN_ARG(QObject*, column), Q_ARG(int, 1)));
    ASSERT_TRUE(column);
    column->setProperty("Caption", "Created");
    EXPECT_EQ(lv.Column(1)->Caption(), "Created");
    QObject* item = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(&lv, "Items", Q_RETURN_ARG(QObject*, item), Q_ARG(int, 0)));
    EXPECT_EQ(item->property("Caption").toString(), "B");
    lv.SetSortedByText(true);
    EXPECT_EQ(lv.Item(0)->Caption(), "a");

    // OnEdited may keep the old caption.
    lv.OnEdited = [](QObject*, TListItem* it, QString& s) {
        if (s.trimmed().isEmpty()) s = it->Caption();
    };
    QAbstractItemModel* model = lv.CurrentView()->model();
    EXPECT_FALSE(model->setData(model->index(0, 0), "  "));
    EXPECT_EQ(lv.Item(0)->Caption(), "a");
    EXPECT_TRUE(model->setData(model->index(0, 0), "z"));
    EXPECT_EQ(lv.Item(1)->Caption(), "z");  // kept in order
    lv.SetReadOnly(true);
    EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);

    lv.SetMultiSelect(true);
    lv.Item(0)->SetSelected(true);
    lv.Item(1)->SetSelected(true);
    EXPECT_EQ(lv.SelCount(), 2);
    lv.DeleteSelected();
    EXPECT_EQ(lv.ItemCount(), 0);
}
