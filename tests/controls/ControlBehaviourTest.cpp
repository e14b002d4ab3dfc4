// Behaviour that several forms rely on: events forwarded from inner controls,
// grouped speed buttons, docking on every side, colours and messages.
#include "controls/Aligrid.h"
#include "controls/Buttons.h"
#include "controls/ExtCtrls.h"
#include "controls/GlyphLibrary.h"
#include "controls/ListView.h"
#include "controls/SelectPnl.h"
#include "tests/controls/ControlTestSupport.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::F2Form;
using kelm24::test::MessageRecorder;
using kelm24::test::ShowActive;

TEST(SelectPanelEvents, KeysComeFromThePanelMouseFromTheInnerControl)
{
    F2Form form;
    TSelectPanel p(&form);
    p.move(20, 30);
    QList<QObject*> keySenders, clickSenders;
    QList<QPoint> positions;
    p.OnKeyDown = [&](QObject* s, int& key, Qt::KeyboardModifiers) {
        keySenders << s;
        if (key == Qt::Key_X) key = 0;  // swallowed before the edit sees it
    };
    p.OnKeyPress = [&](QObject*, QChar& c) { c = c.toUpper(); };
    p.OnMouseDown = [&](QObject* s, Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos) {
        clickSenders << s;
        positions << pos;
    };
    ASSERT_TRUE(ShowActive(&form));
    p.edBegin->setFocus();
    QTest::keyClicks(p.edBegin, "axb");
    EXPECT_EQ(p.BeginText(), "AB");
    ASSERT_EQ(keySenders.size(), 3);
    EXPECT_EQ(keySenders[0], &p);
    QTest::mousePress(p.edFinal, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(p.edFinal, Qt::LeftButton, {}, QPoint(5, 6));
    ASSERT_EQ(clickSenders.size(), 1);
    EXPECT_EQ(clickSenders[0], p.edFinal);
    // In the panel's own coordinates.
    EXPECT_EQ(positions[0], p.edFinal->mapTo(&p, QPoint(5, 6)));
}

TEST(SelectPanelEvents, CheckBoxSwitchesModeAndListTakesFocus)
{
    F2Form form;
    TSelectPanel p(&form);
    p.SetUserChoice(false);  // not a user-choice panel: ignored
    EXPECT_TRUE(p.UserChoice());
    p.SetStyle(TSelectPanel::sp_UserChoice);
    int typeClicks = 0;
    p.OnTypeClick = {nullptr, [&](QObject*) { ++typeClicks; }};
    ASSERT_TRUE(ShowActive(&form));
    QTest::mouseClick(p.chkUserChoice, Qt::LeftButton);
    EXPECT_FALSE(p.UserChoice());
    EXPECT_FALSE(p.IsRangeMode());
    EXPECT_EQ(typeClicks, 1);
    EXPECT_TRUE(p.pnlRange->isHidden());
    EXPECT_FALSE(p.pnlList->isHidden());
    p.SetFocus();
    EXPECT_TRUE(p.lstValues->CurrentView()->hasFocus());
    p.SetUserChoice(true);
    EXPECT_EQ(typeClicks, 2);
    p.SetFocus();
    EXPECT_TRUE(p.edBegin->hasFocus());

    // Selecting rows reports each one.
    p.SetUserChoice(false);
    p.AddRow({"r1"});
    p.AddRow({"r2"});
    QList<std::pair<int, bool>> selects;
    p.OnItemSelect = [&](QObject*, TListItem*, int index, bool selected) { selects.append({index, selected}); };
    p.lstValues->Item(1)->SetSelected(true);
    EXPECT_EQ(selects, (QList<std::pair<int, bool>>{{1, true}}));
}

TEST(SelectPanelEvents, AListClickFirstTakesTheFocus)
{
    F2Form form;
    TSelectPanel p(&form);
    TEdit other(&form);
    other.move(0, 200);
    p.SetStyle(TSelectPanel::sp_Discrete);
    p.AddRow({"a"});
    p.AddRow({"b"});
    ASSERT_TRUE(ShowActive(&form));
    other.setFocus();
    QAbstractItemView* view = p.lstValues->CurrentView();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_TRUE(view->hasFocus());
    EXPECT_TRUE(p.lstValues->Item(1)->Selected());
    // When the control being left keeps the focus (its check failed), the click does nothing.
    other.setFocus();
    other.OnExit = {nullptr, [&](QObject*) { other.setFocus(); }};
    const QRect first = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center());
    EXPECT_FALSE(p.lstValues->Item(0)->Selected());
}

TEST(SpeedButtons, GroupedButtonsStayDownOneAtATime)
{
    QWidget form;
    TSpeedButton a(&form), b(&form), lone(&form);
    a.SetGroupIndex(1);
    b.SetGroupIndex(1);
    a.click();
    EXPECT_TRUE(a.Down());
    b.click();
    EXPECT_TRUE(b.Down());
    EXPECT_FALSE(a.Down());
    b.click();  // stays down without AllowAllUp
    EXPECT_TRUE(b.Down());
    b.SetAllowAllUp(true);
    b.click();
    EXPECT_FALSE(b.Down());
    lone.click();
    EXPECT_FALSE(lone.Down());
    int clicks = 0;
    lone.OnClick = {nullptr, [&](QObject*) { ++clicks; }};
    lone.Click();
    EXPECT_EQ(clicks, 1);
}

TEST(Glyphs, DisabledCopyBesideTheGlyph)
{
    const QImage glyph = LoadGlyph(5);
    const QImage pair = AddDisabledGlyph(glyph);
    ASSERT_EQ(pair.size(), QSize(32, 16));
    int greyed = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const QRgb left = pair.pixel(x, y), right = pair.pixel(16 + x, y);
            EXPECT_EQ(qAlpha(left), qAlpha(right));
            if (qAlpha(right) == 255) {
                EXPECT_EQ(qRed(right), qGreen(right));
                EXPECT_EQ(qGreen(right), qBlue(right));
                EXPECT_GE(qRed(right), 128);
                ++greyed;
            }
        }
    EXPECT_GT(greyed, 20);
    EXPECT_TRUE(AddDisabledGlyph(QImage()).isNull());
    TBitBtn button;
    button.SetGlyph(pair);
    EXPECT_EQ(button.NumGlyphs(), 2);
    EXPECT_EQ(button.iconSize(), QSize(16, 16));
}

TEST(Docking, TopRightAndHiddenControls)
{
    TPanel form;
    form.SetBevelOuter(TPanel::bvNone);
    form.resize(300, 200);
    ASSERT_TRUE(ShowActive(&form));
    TPanel top(&form), right(&form), client(&form), hidden(&form);
    for (TPanel* p : {&top, &right, &client, &hidden}) p->show();
    top.resize(10, 30);
    right.resize(50, 10);
    hidden.resize(10, 40);
    top.SetAlign(ctl::alTop);
    right.SetAlign(ctl::alRight);
    client.SetAlign(ctl::alClient);
    hidden.SetAlign(ctl::alTop);
    hidden.hide();
    EXPECT_EQ(top.geometry(), QRect(0, 0, 300, 30));
    EXPECT_EQ(right.geometry(), QRect(250, 30, 50, 170));
    EXPECT_EQ(client.geometry(), QRect(0, 30, 250, 170));
    hidden.show();  // takes its place again
    EXPECT_EQ(client.height(), 130);
    // A panel's bevels narrow its client area.
    form.SetBevelOuter(TPanel::bvRaised);
    form.SetBevelInner(TPanel::bvLowered);
    form.SetBorderWidth(2);
    EXPECT_EQ(form.FrameSize(), 4);
    EXPECT_EQ(top.geometry().topLeft(), QPoint(4, 4));
}

TEST(Colours, NumbersAsTheSystemWritesThem)
{
    EXPECT_EQ(ColorFromTColor(11534335), QColor(255, 255, 175));
    EXPECT_EQ(TColorFromColor(QColor(255, 255, 175)), 11534335);
    EXPECT_EQ(ColorFromTColor(RGBColor(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(ColorFromTColor(clSilver), QColor(192, 192, 192));
    EXPECT_EQ(ColorFromTColor(clWindow), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(ColorFromTColor(clBtnFace), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(clBtnFace, -16777201);
    TPanel panel;
    panel.SetColor(clRequiredField);
    EXPECT_EQ(panel.palette().color(QPalette::Window), QColor(255, 255, 175));
    panel.SetColor(clBtnFace);
    EXPECT_EQ(panel.Color(), clBtnFace);
}

TEST(ControlMessages, GoToTheInstalledHandlerAndNeverBlock)
{
    {
        MessageRecorder recorder;
        ShowControlMessage(nullptr, "one");
        {
            MessageRecorder inner;
            ShowControlMessage(nullptr, "two", TControlMsgKind::Warning);
            EXPECT_EQ(inner.Messages, QStringList{"two"});
        }
        ShowControlMessage(nullptr, "three");
        EXPECT_EQ(recorder.Messages, (QStringList{"one", "three"}));
    }
    // Without a handler on a headless display the text is only logged.
    ShowControlMessage(nullptr, "logged only");
}

TEST(ListViewStyles, EveryViewShowsTheSameItems)
{
    TListView lv;
    TImageList large, small;
    large.SetWidth(24);
    large.SetHeight(24);
    large.Add(LoadGlyph(1));
    small.Add(LoadGlyph(1));
    EXPECT_EQ(large.Image(0).size(), QSize(24, 24));
    lv.SetLargeImages(&large);
    lv.SetSmallImages(&small);
    lv.AddItem("方案一", {"2024/01/02"})->SetImageIndex(0);
    lv.AddItem("方案二");
    for (auto style : {TListView::vsIcon, TListView::vsSmallIcon, TListView::vsList, TListView::vsReport}) {
        lv.SetViewStyle(style);
        QAbstractItemView* view = lv.CurrentView();
        ASSERT_EQ(view->model()->rowCount(), 2);
        EXPECT_EQ(view->model()->index(0, 0).data().toString(), "方案一");
        EXPECT_EQ(lv.ShownImages(), style == TListView::vsIcon ? &large : &small);
        EXPECT_FALSE(view->model()->index(0, 0).data(Qt::DecorationRole).isNull());
        EXPECT_TRUE(view->model()->index(1, 0).data(Qt::DecorationRole).isNull());
    }
    EXPECT_TRUE(lv.setProperty("ViewStyle", "vsList"));
    EXPECT_EQ(lv.ViewStyle(), TListView::vsList);
    lv.Clear();
    EXPECT_EQ(lv.ItemIndex(), -1);
}

TEST(AlignGridCells, HintsColoursAndCellControls)
{
    F2Form form;
    TStringAlignGrid g(&form);
    g.resize(400, 200);
    g.setToolTip("grid hint");
    g.SetHintCell(1, 1, "cell hint");
    ASSERT_TRUE(ShowActive(&form));
    QList<QString> shown;
    g.OnShowHintCell = [&](QObject*, int c, int r, QString& hint, bool& canShow) {
        shown << hint;
        canShow = !(c == 2 && r == 2);
    };
    auto hintAt = [&](int c, int r) {
        const QPoint pos = g.visualRect(g.model()->index(r, c)).center();
        QHelpEvent help(QEvent::ToolTip, pos, g.viewport()->mapToGlobal(pos));
        QApplication::sendEvent(g.viewport(), &help);
    };
    hintAt(1, 1);
    hintAt(2, 1);
    g.SetShowCellHints(false);
    hintAt(1, 1);
    EXPECT_EQ(shown, (QList<QString>{"cell hint", "grid hint", "grid hint"}));

    // OnCalcCellColors has the last word on the colours.
    g.SetCells(1, 2, "text");
    g.OnCalcCellColors = [](QObject*, int c, int r, const QRect&, bool, QFont&, QColor&, QBrush& brush) {
        if (c == 1 && r == 2) brush = QBrush(QColor(0, 200, 0));
    };
    const QImage shot = g.viewport()->grab().toImage();
    const QRect cell = g.visualRect(g.model()->index(2, 1));
    EXPECT_EQ(QColor(shot.pixel(cell.left() + 1, cell.top() + 1)), QColor(0, 200, 0));
    // The grid line at the right edge of a cell.
    EXPECT_EQ(QColor(shot.pixel(cell.right(), cell.top() + 3)), ColorFromTColor(clSilver));

    // A cell with a list edits with a drop-down list; the multi-line editor keeps Enter.
    g.SetControlCell(3, 1, TControlInfo{2, "", {"Apple", "Pear"}, false, "", ""});
    int comboClicks = 0;
    g.OnComboBoxClick = [&](QObject*, int, int) { ++comboClicks; };
    g.setFocus();
    g.SetCurrentCell(3, 1);
    g.OpenEditor();
    auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
    ASSERT_TRUE(list);
    EXPECT_EQ(list->count(), 2);
    list->setCurrentIndex(1);
    emit list->activated(1);
    EXPECT_EQ(comboClicks, 1);
    ASSERT_TRUE(g.CommitEditor());
    EXPECT_EQ(g.Cells(3, 1), "Pear");

    g.SetEditMultiline(true);
    g.SetCurrentCell(1, 3);
    g.OpenEditor();
    auto* memo = qobject_cast<QPlainTextEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(memo);
    QTest::keyClicks(memo, "l1");
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "l2");
    EXPECT_TRUE(g.EditorOpen());
    QTest::keyClick(memo, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(g.Cells(1, 3), "l1\nl2");
}

TEST(AlignGridCells, TabWithoutEditorAndLeavingTheGrid)
{
    F2Form form;
    TStringAlignGrid g(&form);
    TEdit after(&form);
    after.move(0, 150);
    g.resize(300, 140);
    g.SetColCount(3);
    g.SetRowCount(3);
    ASSERT_TRUE(ShowActive(&form));
    g.setFocus();
    g.SetCurrentCell(1, 1);
    QTest::keyClick(&g, Qt::Key_Tab);
    EXPECT_EQ(g.Col(), 2);
    g.SetCurrentCell(2, 2);
    QTest::keyClick(&g, Qt::Key_Tab);  // lc_first by default for Tab
    EXPECT_EQ(QPoint(g.Col(), g.Row()), QPoint(1, 1));
    g.SetAfterLastCellTab(TStringAlignGrid::lc_exit);
    g.SetCurrentCell(2, 2);
    QTest::keyClick(&g, Qt::Key_Tab);
    EXPECT_TRUE(after.hasFocus());
    // Enter on a read-only cell moves on instead of editing.
    g.setFocus();
    g.SetEditCell(1, 1, false);
    g.SetCurrentCell(1, 1);
    QTest::keyClick(&g, Qt::Key_Return);
    EXPECT_FALSE(g.EditorOpen());
    EXPECT_EQ(g.Col(), 2);
}
