#include "controls/SelectPnl.h"
#include "tests/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::Exit;
using kelm24::test::F2Form;
using kelm24::test::ShowActive;

namespace {

const QChar F1(1), F3(3), F4(4), F5(5);

QStringList Captions(const TSelectPanel& p)
{
    QStringList out;
    for (const QStringList& row : p.Rows()) out << row.value(0);
    return out;
}

}  // namespace

TEST(SelectPanel, DefaultsAreThoseOfTheControl)
{
    TSelectPanel p;
    EXPECT_EQ(p.Style(), TSelectPanel::sp_Range);
    EXPECT_TRUE(p.UserChoice());
    EXPECT_EQ(p.ValueType(), TSelectPanel::vt_String);
    EXPECT_EQ(p.DateType(), TSelectPanel::dt_NoneCare);
    EXPECT_EQ(p.DateSign(), "/");
    EXPECT_EQ(p.HintWord(), "区间选择");
    EXPECT_EQ(p.BeginWords(), (QStringList{"起", "起"}));
    EXPECT_EQ(p.FinalWords(), (QStringList{"止", "止"}));
    EXPECT_EQ(p.ChildHints().size(), 9);
    EXPECT_EQ(p.GlyphIndex(), 8);
    EXPECT_EQ(p.OtherWidth(), 200);
    EXPECT_EQ(p.OtherHeight(), 105);
    EXPECT_EQ(p.size(), QSize(353, 45));
    EXPECT_EQ(p.ColumnCaptions(), QStringList{"Data"});
    EXPECT_FALSE(p.lstValues->ShowColumnHeaders());
    EXPECT_TRUE(p.lstValues->MultiSelect());
    EXPECT_TRUE(p.lstValues->ReadOnly());
    EXPECT_EQ(p.btnDeleteOne->GlyphIndex(), 47);
    EXPECT_EQ(p.btnClearAll->GlyphIndex(), 4);
    EXPECT_EQ(p.btnClearAll->NumGlyphs(), 2);
    EXPECT_FALSE(p.btnBegin->Glyph().isNull());
    // Published names reach the same values.
    EXPECT_EQ(p.property("Style").toInt(), int(TSelectPanel::sp_Range));
    EXPECT_TRUE(p.setProperty("Style", QStringLiteral("sp_Discrete")));
    EXPECT_EQ(p.Style(), TSelectPanel::sp_Discrete);
}

TEST(SelectPanel, NumberRangesSwapByValue)
{
    TSelectPanel p;
    p.SetValueType(TSelectPanel::vt_Number);
    EXPECT_EQ(Exit(p, "20", "3"), std::make_pair(QString("3"), QString("20")));
    // The unreadable begin counts as 0, which is not above 3.
    EXPECT_EQ(Exit(p, "abc", "3"), std::make_pair(QString("abc"), QString("3")));
    EXPECT_EQ(Exit(p, " 4 ", " 10"), std::make_pair(QString("4"), QString("10")));
    // One side empty: nothing to order.
    EXPECT_EQ(Exit(p, "9", ""), std::make_pair(QString("9"), QString("")));
}

TEST(SelectPanel, DateRangesSwapByDateTypeUnlessTurnedOffOrBlank)
{
    TSelectPanel p;
    p.SetValueType(TSelectPanel::vt_Date);
    p.SetDateType(TSelectPanel::dt_YYYYMMDD);
    p.SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(p.BlankText(), "    /  /  ");
    EXPECT_EQ(Exit(p, "2024/05/01", "2024/04/01"), std::make_pair(QString("2024/04/01"), QString("2024/05/01")));
    // The end still blank: left as it is.
    auto [b, e] = Exit(p, "2024/05/01", "");
    EXPECT_EQ(b, "2024/05/01");
    EXPECT_EQ(e, p.BlankText());
    p.SetAutoChangeDateSite(false);
    EXPECT_EQ(Exit(p, "2024/05/01", "2024/04/01"), std::make_pair(QString("2024/05/01"), QString("2024/04/01")));

    // Month-first dates compare as dates, not as texts.
    TSelectPanel m;
    m.SetValueType(TSelectPanel::vt_Date);
    m.SetDateType(TSelectPanel::dt_MMDDYYYY);
    EXPECT_EQ(Exit(m, "12/01/2023", "01/15/2024"), std::make_pair(QString("12/01/2023"), QString("01/15/2024")));
    EXPECT_EQ(Exit(m, "01/15/2024", "12/01/2023"), std::make_pair(QString("12/01/2023"), QString("01/15/2024")));
    // Without a date type the texts are compared.
    m.SetDateType(TSelectPanel::dt_NoneCare);
    EXPECT_EQ(Exit(m, "12/01/2023", "01/15/2024"), std::make_pair(QString("01/15/2024"), QString("12/01/2023")));
}

TEST(SelectPanel, ReadsDatesOfEveryTypeAndYearMonths)
{
    TSelectPanel p;
    p.SetDateType(TSelectPanel::dt_YYYYMMDD);
    EXPECT_EQ(p.ReadDate("2024/05"), 20240501);
    EXPECT_EQ(p.ReadDate(" 2024/05/31 "), 20240531);
    EXPECT_EQ(p.ReadDate("2024/02/30"), 0);
    EXPECT_EQ(p.ReadDate("2024/0a/01"), 0);
    EXPECT_EQ(p.ReadDate("2024/05/01/02"), 0);
    EXPECT_EQ(p.ReadDate("20240501"), 0);
    EXPECT_EQ(p.ReadDate(""), 0);
    p.SetDateType(TSelectPanel::dt_MMDDYYYY);
    EXPECT_EQ(p.ReadDate("05/2024"), 20240501);
    EXPECT_EQ(p.ReadDate("05/31/2024"), 20240531);
    p.SetDateType(TSelectPanel::dt_DDMMYYYY);
    EXPECT_EQ(p.ReadDate("05/2024"), 20240501);
    EXPECT_EQ(p.ReadDate("31/05/2024"), 20240531);
    p.SetDateType(TSelectPanel::dt_YYYMMDD);
    EXPECT_EQ(p.ReadDate("113/05/31"), 20240531);
    p.SetDateType(TSelectPanel::dt_YYMMDD);
    EXPECT_EQ(p.ReadDate("99/12/31"), 20101231);
    p.SetDateSign("-");
    EXPECT_EQ(p.ReadDate("99-12-31"), 20101231);
    EXPECT_EQ(p.ReadDate("99/12/31"), 0);
}

TEST(SelectPanel, TextsDiscardAndOtherTypes)
{
    TSelectPanel p;
    EXPECT_EQ(Exit(p, "B", "A"), std::make_pair(QString("A"), QString("B")));
    p.SetUseDiscard(true);
    p.SetDiscard("*");
    EXPECT_EQ(Exit(p, "*", "A"), std::make_pair(QString("*"), QString("A")));
    p.SetUseDiscard(false);
    EXPECT_EQ(Exit(p, "*", "A"), std::make_pair(QString("*"), QString("A")));  // "*" sorts before "A"
    EXPECT_EQ(Exit(p, "b", "*"), std::make_pair(QString("*"), QString("b")));

    p.SetValueType(TSelectPanel::vt_Float);
    EXPECT_EQ(Exit(p, "007.50", "2"), std::make_pair(QString("2"), QString("7.5")));
    EXPECT_EQ(Exit(p, "1.25", "10"), std::make_pair(QString("1.25"), QString("10")));
    p.SetValueType(TSelectPanel::vt_OtherMask);
    EXPECT_EQ(Exit(p, "Z", "A"), std::make_pair(QString("Z"), QString("A")));
}

TEST(SelectPanel, LeavingThePanelRunsTheCheckThenOnExit)
{
    F2Form form;
    TSelectPanel p(&form);
    TEdit other(&form);
    other.move(0, 200);
    p.SetValueType(TSelectPanel::vt_Number);
    int exits = 0, enters = 0;
    p.OnExit = {nullptr, [&](QObject* sender) {
                    EXPECT_EQ(sender, &p);
                    EXPECT_EQ(p.BeginText(), "3");  // checked before the handler runs
                    ++exits;
                }};
    p.OnEnter = {nullptr, [&](QObject*) { ++enters; }};
    ASSERT_TRUE(ShowActive(&form));
    p.edBegin->setFocus();
    QTest::keyClicks(p.edBegin, "20");
    // Moving inside the panel is no exit.
    p.edFinal->setFocus();
    QTest::keyClicks(p.edFinal, "3");
    EXPECT_EQ(exits, 0);
    EXPECT_EQ(enters, 1);
    other.setFocus();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(p.FinalText(), "20");
}

TEST(SelectPanel, DuplicateRemovalByCaseRule)
{
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_Discrete);
    p.SetCheckDuplicate(TSelectPanel::cd_CaseInsensitive);
    EXPECT_TRUE(p.SortListBox());
    p.AddRow({"ABC"});
    p.AddRow({"abc"});
    EXPECT_EQ(p.ItemCount(), 1);
    p.AddRow({"b"});
    p.AddRow({"a"});
    EXPECT_EQ(Captions(p), (QStringList{"a", "ABC", "b"}));

    TSelectPanel exact;
    exact.SetStyle(TSelectPanel::sp_Discrete);
    exact.AddRow({"x"});
    exact.AddRow({"X"});
    exact.AddRow({"x"});
    EXPECT_EQ(exact.ItemCount(), 3);  // no rule yet
    exact.SetCheckDuplicate(TSelectPanel::cd_CheckCase);
    // Equal captions sort next to each other; only the exact repeat goes.
    EXPECT_EQ(exact.ItemCount(), 2);
    EXPECT_TRUE(Captions(exact).contains("x"));
    EXPECT_TRUE(Captions(exact).contains("X"));
}

TEST(SelectPanel, RowsGrowColumnsAndArePadded)
{
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_Discrete);
    p.AddRow({"A001"});
    p.AddRow({"A002", "Bolt", "PCS"});
    EXPECT_EQ(p.ColumnCaptions(), (QStringList{"Data", "Data2", "Data3"}));
    EXPECT_EQ(p.Rows(), (QList<QStringList>{{"A001", "", ""}, {"A002", "Bolt", "PCS"}}));
    // Sized in "W" units of the longest text, never narrower than the widest text.
    const QFontMetrics fm(p.lstValues->font());
    const int w = fm.horizontalAdvance('W');
    EXPECT_EQ(p.lstValues->Column(0)->Width(), qMax(4 * w, fm.horizontalAdvance("A001") + 12));
    EXPECT_EQ(p.lstValues->Column(1)->Width(), qMax(5 * w, fm.horizontalAdvance("Data2") + 12));
    EXPECT_GE(p.lstValues->Column(2)->Width(), fm.horizontalAdvance("Data3"));
}

TEST(SelectPanel, ValueIsRangeOrListByMode)
{
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_UserChoice);
    p.SetBeginText("A001");
    p.SetFinalText("A009");
    p.AddRow({"B1", "one"});
    p.AddRow({"B2", "two"});
    Variant v = p.Value();
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v[0].ToString(), QString(F4));
    EXPECT_EQ(v[1].ToString(), "A001");
    EXPECT_EQ(v[2].ToString(), "A009");

    // Unticked: the list, even with text in the range edits.
    p.SetUserChoice(false);
    EXPECT_FALSE(p.IsRangeMode());
    v = p.Value();
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v[0].ToString(), QString(F5));
    EXPECT_EQ(v[1][0].ToString(), "B1");
    EXPECT_EQ(v[1][1].ToString(), "one");
    EXPECT_EQ(v[2][0].ToString(), "B2");

    TSelectPanel empty;
    empty.SetStyle(TSelectPanel::sp_Discrete);
    v = empty.Value();
    ASSERT_EQ(v.Count(), 1);
    EXPECT_EQ(v[0].ToString(), QString(F5));
}

TEST(SelectPanel, StoredTextRoundTrips)
{
    TSelectPanel list;
    list.SetStyle(TSelectPanel::sp_UserChoice);
    list.SetUserChoice(false);
    list.AddRow({"A", "x"});
    list.AddRow({"B", ""});
    const QString stored = list.StoredText();
    EXPECT_EQ(stored, "sp_UserChoice" + QString(F3) + "False" + F3 + "A" + F1 + "x" + F4 + "B" + F1 + F4);
    EXPECT_EQ(list.property("StoredText").toString(), stored);

    TSelectPanel back;
    back.SetStyle(TSelectPanel::sp_UserChoice);
    back.SetBeginText("keep1");
    back.SetFinalText("keep2");
    back.AddRow({"old"});
    back.RestoreStoredText(stored);
    EXPECT_FALSE(back.UserChoice());
    EXPECT_EQ(back.Rows(), list.Rows());
    EXPECT_EQ(back.BeginText(), "keep1");  // the range edits are untouched
    EXPECT_EQ(back.FinalText(), "keep2");
    EXPECT_EQ(back.Style(), TSelectPanel::sp_UserChoice);

    TSelectPanel range;
    range.SetBeginText("20240101");
    range.SetFinalText("20240131");
    EXPECT_EQ(range.StoredText(), "sp_Range" + QString(F3) + "20240101" + F3 + "20240131");
    TSelectPanel range2;
    range2.setProperty("StoredText", range.StoredText());
    EXPECT_EQ(range2.BeginText(), "20240101");
    EXPECT_EQ(range2.FinalText(), "20240131");

    TSelectPanel choice;
    choice.SetStyle(TSelectPanel::sp_UserChoice);
    choice.SetUserChoice(false);
    choice.RestoreStoredText("sp_UserChoice" + QString(F3) + "True" + F3 + "1" + F3 + "9");
    EXPECT_TRUE(choice.UserChoice());
    EXPECT_TRUE(choice.chkUserChoice->Checked());
    EXPECT_EQ(choice.BeginText(), "1");
    EXPECT_EQ(choice.FinalText(), "9");

    TSelectPanel discrete;
    discrete.SetStyle(TSelectPanel::sp_Discrete);
    discrete.RestoreStoredText("sp_Discrete" + QString(F3) + "P" + F4 + F4 + "Q" + F1 + "q" + F4);
    EXPECT_EQ(discrete.Rows(), (QList<QStringList>{{"P", ""}, {"Q", "q"}}));
    // An unknown kind changes nothing.
    discrete.RestoreStoredText("sp_Other" + QString(F3) + "Z");
    EXPECT_EQ(discrete.ItemCount(), 2);
}

TEST(SelectPanel, PickedDataFollowsDiscardAndColumnRules)
{
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_Discrete);
    const Variant rows = Variant::ArrayOf({Variant::ArrayOf({"A", "B", "C", "D", "E"}), Variant::ArrayOf({"F", "G"})});
    p.AddPickedRows(rows);
    EXPECT_EQ(p.Rows().value(0), (QStringList{"A", "B", "C", "D"}));
    EXPECT_EQ(p.Rows().value(1), (QStringList{"F", "G", "", ""}));
    p.lstValues->Clear();
    p.AddPickedRows(rows, true);
    EXPECT_EQ(p.Rows().value(0).size(), 5);

    TSelectPanel d;
    d.SetStyle(TSelectPanel::sp_Discrete);
    d.SetUseDiscard(true);
    d.SetDiscard("|");
    d.AddPickedRows(rows);
    EXPECT_EQ(Captions(d), (QStringList{"A|B|C|D|E", "F|G"}));
    d.SetPickedText(d.edBegin, rows);
    EXPECT_EQ(d.BeginText(), "A|B|C|D|E");
    p.SetPickedText(p.edFinal, rows);
    EXPECT_EQ(p.FinalText(), "A");
    p.SetPickedText(p.edFinal, Variant("Z9"));
    EXPECT_EQ(p.FinalText(), "Z9");
    // A two-dimensional answer: rows by columns.
    Variant grid = Variant::CreateArray(0, 1, 0, 1);
    grid.At(0, 0) = "r0";
    grid.At(0, 1) = "c1";
    grid.At(1, 0) = "r1";
    grid.At(1, 1) = Variant::Null();
    TSelectPanel g;
    g.AddPickedRows(grid);
    EXPECT_EQ(g.Rows(), (QList<QStringList>{{"r0", "c1"}, {"r1", ""}}));
}

TEST(SelectPanel, ColumnSortingReversesOnTheSortColumn)
{
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_Discrete);
    p.AddRow({"b", "2"});
    p.AddRow({"A", "1"});
    p.AddRow({"c", "1"});
    p.lstValues->SortByColumn(1);
    EXPECT_EQ(Captions(p), (QStringList{"A", "c", "b"}));  // tie on "1" broken by caption
    p.lstValues->SortByColumn(1);
    EXPECT_EQ(Captions(p), (QStringList{"b", "c", "A"}));
    p.lstValues->SortByColumn(0);
    EXPECT_EQ(Captions(p), (QStringList{"A", "b", "c"}));
}

TEST(SelectPanel, StylesSwapSizeAndShowOnePart)
{
    TSelectPanel p;
    QList<std::pair<int, int>> changes;
    p.OnStyleChange = [&](QObject*, TSelectPanel::TSelectStyle o, TSelectPanel::TSelectStyle n) {
        changes.append({int(o), int(n)});
    };
    p.SetStyle(TSelectPanel::sp_Discrete);
    EXPECT_EQ(p.size(), QSize(200, 105));
    EXPECT_EQ(p.OtherWidth(), 353);
    EXPECT_EQ(p.OtherHeight(), 45);
    EXPECT_TRUE(p.pnlRange->isHidden());
    EXPECT_FALSE(p.pnlList->isHidden());
    EXPECT_TRUE(p.chkUserChoice->isHidden());
    // Between two list-like styles the size stays.
    p.SetStyle(TSelectPanel::sp_UserChoice);
    EXPECT_EQ(p.size(), QSize(200, 105));
    EXPECT_FALSE(p.chkUserChoice->isHidden());
    EXPECT_FALSE(p.pnlRange->isHidden());
    p.SetStyle(TSelectPanel::sp_Range);
    EXPECT_EQ(p.size(), QSize(353, 45));
    EXPECT_EQ(changes.size(), 3);

    p.OnStyleChanging = [](QObject*, TSelectPanel::TSelectStyle, TSelectPanel::TSelectStyle, bool& accept) {
        accept = false;
    };
    p.SetStyle(TSelectPanel::sp_Discrete);
    EXPECT_EQ(p.Style(), TSelectPanel::sp_Range);
    EXPECT_EQ(changes.size(), 3);

    // UseVertical changes only in range style and keeps the check box width rule.
    TSelectPanel v;
    v.SetStyle(TSelectPanel::sp_Discrete);
    v.SetUseVertical(true);
    EXPECT_FALSE(v.UseVertical());
    const int expected = QFontMetrics(v.chkUserChoice->font()).horizontalAdvance("区间选择") + 24;
    EXPECT_EQ(v.chkUserChoice->width(), expected);
}

TEST(SelectPanel, LayoutsPlaceTheEditsByStyle)
{
    TSelectPanel p;
    p.SetCaption("Numbers");
    // Horizontal: the two edits share the width, in a row.
    EXPECT_EQ(p.edBegin->width(), p.edFinal->width());
    EXPECT_EQ(p.edBegin->y(), p.edFinal->y());
    EXPECT_LT(p.btnBegin->x(), p.lblFinal->x());
    EXPECT_LE(p.btnFinal->geometry().right(), p.pnlRange->width());
    p.SetCanOpenWin(false);
    EXPECT_TRUE(p.btnBegin->isHidden());

    TSelectPanel v;
    v.SetUseVertical(true);
    v.resize(300, 100);
    EXPECT_GT(v.edFinal->y(), v.edBegin->y());
    EXPECT_EQ(v.edBegin->x(), v.edFinal->x());
    EXPECT_EQ(v.lblBegin->Caption(), "起");

    TSelectPanel l;
    l.SetStyle(TSelectPanel::sp_Discrete);
    EXPECT_EQ(l.btnDeleteOne->x(), l.btnListPick->x());
    EXPECT_GT(l.btnClearAll->y(), l.btnDeleteOne->y());
    EXPECT_LT(l.lstValues->geometry().right(), l.btnListPick->x());
}

TEST(SelectPanel, PickButtonsFocusSendF2AndCallOnOpenWinClick)
{
    F2Form form;
    TSelectPanel p(&form);
    QWidget* picked = nullptr;
    p.OnOpenWinClick = [&](TSelectPanel* panel, QWidget* control) {
        EXPECT_EQ(panel, &p);
        ASSERT_FALSE(form.F2Controls.isEmpty());  // the message went first
        EXPECT_EQ(form.F2Controls.last(), control);
        picked = control;
    };
    ASSERT_TRUE(ShowActive(&form));
    QTest::mouseClick(p.btnFinal, Qt::LeftButton);
    EXPECT_EQ(picked, p.edFinal);
    ASSERT_EQ(form.F2Controls.size(), 1);
    EXPECT_EQ(form.F2Controls[0], p.edFinal);
    EXPECT_TRUE(p.edFinal->hasFocus());

    p.SetStyle(TSelectPanel::sp_Discrete);
    QTest::mouseClick(p.btnListPick, Qt::LeftButton);
    EXPECT_EQ(picked, p.lstValues);
}

TEST(SelectPanel, DeleteAndClearButtons)
{
    F2Form form;
    TSelectPanel p(&form);
    p.SetStyle(TSelectPanel::sp_Discrete);
    for (const char* s : {"a", "b", "c"}) p.AddRow({s});
    ASSERT_TRUE(ShowActive(&form));
    p.lstValues->Item(0)->SetSelected(true);
    p.lstValues->Item(2)->SetSelected(true);
    bool refuse = true;
    p.OnDeleteClick = [&](QObject*, bool& accept) { accept = !refuse; };
    QTest::mouseClick(p.btnDeleteOne, Qt::LeftButton);
    EXPECT_EQ(p.ItemCount(), 3);
    refuse = false;
    QTest::mouseClick(p.btnDeleteOne, Qt::LeftButton);
    EXPECT_EQ(Captions(p), QStringList{"b"});
    int cleared = 0;
    p.OnClearClick = {nullptr, [&](QObject*) { ++cleared; }};
    QTest::mouseClick(p.btnClearAll, Qt::LeftButton);
    EXPECT_EQ(p.ItemCount(), 0);
    EXPECT_EQ(cleared, 1);
}

TEST(SelectPanel, HintsMasksGlyphsAndEnabling)
{
    TSelectPanel p;
    EXPECT_EQ(p.edBegin->toolTip(), "区间选择-起始信息");
    p.SetChildHints({"c", "b"});
    EXPECT_EQ(p.chkUserChoice->toolTip(), "c");
    EXPECT_EQ(p.edBegin->toolTip(), "b");
    EXPECT_EQ(p.btnBegin->toolTip(), "区间选择-起始信息开窗");  // left as it was

    int changes = 0;
    p.edBegin->OnChange = {nullptr, [&](QObject*) { ++changes; }};
    p.SetBeginText("12345678");
    changes = 0;
    p.SetEditMask("9999/99/99;1; ");
    EXPECT_EQ(changes, 0);  // the mask change is silent
    EXPECT_EQ(p.BeginText(), "1234/56/78");
    EXPECT_EQ(p.edFinal->EditMask(), "9999/99/99;1; ");

    p.SetGlyphIndex(10000);
    EXPECT_EQ(p.GlyphIndex(), 0);
    EXPECT_TRUE(p.btnBegin->Glyph().isNull());
    p.SetGlyphIndex(9);
    EXPECT_FALSE(p.btnListPick->Glyph().isNull());

    p.edFinal->setEnabled(false);
    p.SetEnabled(false);
    EXPECT_FALSE(p.edBegin->isEnabled());
    p.SetEnabled(true);
    EXPECT_TRUE(p.edFinal->isEnabled());  // enabled again with the panel
}

namespace {

// The host's pick window, in process: answers F2GetData with rows, and
// remembers the argument arrays it got.
class PickWindow : public TAutomationObject {
public:
    explicit PickWindow(Variant answer) : TAutomationObject("F2Window"), answer_(std::move(answer))
    {
        AddMethod("F2GetData", [this](VariantArgs& args) {
            Calls.push_back(Arg(args, 0, "F2GetData"));
            return answer_;
        });
    }
    std::vector<Variant> Calls;

private:
    Variant answer_;
};

Variant PickArgs()
{
    Variant args = Variant::CreateArray(0, 18);
    args[0] = "INVMB";
    args[1] = "01";
    args[3] = Variant(true);
    return args;
}

}  // namespace

TEST(SelectPanel, PicksThroughTheHostsPickWindow)
{
    auto window = std::make_shared<PickWindow>(
        Variant::ArrayOf({Variant::ArrayOf({"A01", "Bolt"}), Variant::ArrayOf({"A02", "Nut"})}));
    const TF2WindowObject host{Variant(std::shared_ptr<IAutomationObject>(window))};
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_UserChoice);
    EXPECT_TRUE(p.PickFromHost(host, PickArgs(), p.edBegin));
    EXPECT_EQ(p.BeginText(), "A01");
    ASSERT_EQ(window->Calls.size(), 1u);
    EXPECT_FALSE(window->Calls[0][3].ToBool());  // one value for an edit
    EXPECT_EQ(window->Calls[0][0].ToString(), "INVMB");
    EXPECT_TRUE(p.PickFromHost(host, PickArgs(), p.lstValues));
    EXPECT_TRUE(window->Calls[1][3].ToBool());  // several for the list
    EXPECT_EQ(p.Rows(), (QList<QStringList>{{"A01", "Bolt"}, {"A02", "Nut"}}));
    EXPECT_FALSE(p.PickFromHost(host, PickArgs(), p.btnBegin));

    auto nothing = std::make_shared<PickWindow>(Variant());
    const TF2WindowObject cancelled{Variant(std::shared_ptr<IAutomationObject>(nothing))};
    p.SetFinalText("keep");
    EXPECT_FALSE(p.PickFromHost(cancelled, PickArgs(), p.edFinal));
    EXPECT_EQ(p.FinalText(), "keep");
    EXPECT_FALSE(p.PickFromHost(TF2WindowObject(Variant()), PickArgs(), p.edFinal));
}
