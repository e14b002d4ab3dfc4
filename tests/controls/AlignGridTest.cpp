#include "controls/Aligrid.h"
#include "controls/AligridDelegate.h"
#include "tests/controls/ControlTestSupport.h"

#include <QDataStream>
#include <QIODevice>
#include <QLineEdit>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::Block;
using kelm24::test::F2Form;
using kelm24::test::ShowActive;
using G = TStringAlignGrid;

namespace {

QPoint Cur(const G& g) { return {g.Col(), g.Row()}; }

}  // namespace

TEST(AlignGrid, AttributesResolveCellColumnRowThenGrid)
{
    G g;
    g.SetColCount(4);
    g.SetRowCount(4);
    EXPECT_EQ(g.ResolvedAlignment(2, 2), G::alLeft);
    g.SetAlignment(G::alDefault);
    EXPECT_EQ(g.ResolvedAlignment(2, 2), G::alLeft);  // a default grid means left
    g.SetAlignment(G::alCenter);
    g.SetAlignRow(2, G::alLeft);
    g.SetAlignCol(2, G::alRight);
    g.SetAlignCell(2, 2, G::alCenter);
    EXPECT_EQ(g.ResolvedAlignment(2, 2), G::alCenter);  // cell
    EXPECT_EQ(g.ResolvedAlignment(2, 3), G::alRight);   // column before row
    EXPECT_EQ(g.ResolvedAlignment(1, 2), G::alLeft);    // row
    EXPECT_EQ(g.ResolvedAlignment(1, 1), G::alCenter);  // grid
    // Fixed cells use the fixed tables, not the ordinary ones.
    EXPECT_EQ(g.ResolvedAlignment(2, 0), G::alCenter);
    g.SetFixedAlignCol(2, G::alRight);
    g.SetFixedAlignRow(3, G::alLeft);
    EXPECT_EQ(g.ResolvedAlignment(2, 0), G::alRight);
    EXPECT_EQ(g.ResolvedAlignment(0, 3), G::alLeft);
    // Setting a field back to its default empties the record.
    g.SetAlignCell(2, 2, G::alDefault);
    EXPECT_TRUE(g.Props(G::ptCell, 2, 2).IsEmpty());
    EXPECT_EQ(g.ResolvedAlignment(2, 2), G::alRight);

    EXPECT_EQ(g.ResolvedWordwrap(1, 1), G::ww_none);
    g.SetWordwrapCol(1, G::ww_ellipsis);
    g.SetWordwrapRow(1, G::ww_wordwrap);
    EXPECT_EQ(g.ResolvedWordwrap(1, 1), G::ww_ellipsis);
    EXPECT_EQ(g.ResolvedWordwrap(2, 1), G::ww_wordwrap);

    g.SetColorRow(3, RGBColor(1, 2, 3));
    g.SetColorCell(1, 3, RGBColor(9, 9, 9));
    EXPECT_EQ(g.ResolvedColor(2, 3, false), QColor(1, 2, 3));
    EXPECT_EQ(g.ResolvedColor(1, 3, false), QColor(9, 9, 9));
    EXPECT_EQ(g.ResolvedColor(1, 3, true), ColorFromTColor(g.SelectedCellColor()));
    EXPECT_EQ(g.ResolvedColor(0, 0, false), ColorFromTColor(g.FixedColor()));
    TCellProperties p = g.Props(G::ptCol, 1);
    p.SelectedBrush = TGridBrush{RGBColor(0, 128, 0), 0};
    g.SetProps(G::ptCol, 1, 0, p);
    EXPECT_EQ(g.ResolvedColor(1, 2, true), QColor(0, 128, 0));
    QColor text;
    g.SetFontCell(2, 1, TGridFont{RGBColor(255, 0, 0), -20, "DejaVu Sans", 0, 1});
    const QFont f = g.ResolvedFont(2, 1, false, &text);
    EXPECT_EQ(text, QColor(255, 0, 0));
    EXPECT_EQ(f.pixelSize(), 20);
    EXPECT_TRUE(f.bold());
    g.ResolvedFont(2, 1, true, &text);
    EXPECT_EQ(text, Qt::white);
}

TEST(AlignGrid, EditPermissionByCellColumnRowAndGrid)
{
    G g;
    QAbstractItemModel* m = g.model();
    auto editable = [&](int c, int r) { return bool(m->flags(m->index(r, c)) & Qt::ItemIsEditable); };
    EXPECT_TRUE(editable(1, 1));
    EXPECT_FALSE(editable(0, 1));  // fixed
    g.SetEditCol(2, false);
    g.SetEditCell(2, 3, true);
    EXPECT_FALSE(editable(2, 1));
    EXPECT_TRUE(editable(2, 3));
    g.SetEditable(false);
    EXPECT_FALSE(editable(1, 1));
    g.SetEditRow(4, true);
    EXPECT_TRUE(editable(1, 4));
}

TEST(AlignGrid, MovingRowsAndColumnsTakesTheirRecords)
{
    G g;
    g.SetColCount(4);
    g.SetRowCount(5);
    g.SetCells(1, 1, "one");
    g.SetCells(1, 3, "three");
    g.SetAlignRow(1, G::alRight);
    g.SetAlignCell(1, 1, G::alCenter);
    g.SetHintCell(1, 1, "hint one");
    g.MoveRow(1, 3);
    EXPECT_EQ(g.Cells(1, 3), "one");
    EXPECT_EQ(g.Cells(1, 2), "three");
    EXPECT_EQ(g.Props(G::ptRow, 0, 3).Alignment, G::alRight);
    EXPECT_TRUE(g.Props(G::ptRow, 0, 1).IsEmpty());
    EXPECT_EQ(g.ResolvedAlignment(1, 3), G::alCenter);
    EXPECT_EQ(g.HintCell(1, 3), "hint one");
    g.ExchangeRows(2, 3);
    EXPECT_EQ(g.Cells(1, 2), "one");
    EXPECT_EQ(g.Cells(1, 3), "three");
    EXPECT_EQ(g.HintCell(1, 2), "hint one");

    g.SetAlignCol(1, G::alRight);
    g.MoveColumn(1, 3);
    EXPECT_EQ(g.Cells(3, 2), "one");
    EXPECT_EQ(g.Props(G::ptCol, 3).Alignment, G::alRight);
    EXPECT_EQ(g.HintCell(3, 2), "hint one");
}

TEST(AlignGrid, SortsRowsByTheirCompareHandler)
{
    G g;
    g.SetRowCount(5);
    const char* names[] = {"b", "d", "a", "c"};
    for (int r = 1; r < 5; ++r) {
        g.SetCells(1, r, names[r - 1]);
        g.SetCells(2, r, QString::number(r));
    }
    g.SetColorRow(3, RGBColor(5, 5, 5));  // the row of "a"
    g.SortRows(1);
    EXPECT_EQ((QStringList{g.Cells(1, 1), g.Cells(1, 2), g.Cells(1, 3), g.Cells(1, 4)}),
              (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(g.Cells(2, 1), "3");
    EXPECT_EQ(g.ResolvedColor(2, 1, false), QColor(5, 5, 5));
    g.OnCompareRow = [&](QObject*, int col, int a, int b) {
        return g.Cells(col, b).toInt() - g.Cells(col, a).toInt();  // descending numbers
    };
    g.SortRows(2);
    EXPECT_EQ((QStringList{g.Cells(2, 1), g.Cells(2, 2), g.Cells(2, 3), g.Cells(2, 4)}),
              (QStringList{"4", "3", "2", "1"}));
    EXPECT_EQ(g.Cells(1, 1), "c");
}

TEST(AlignGrid, NextCellDirectionsAndLastCellRules)
{
    G g;
    g.SetColCount(3);  // columns 1..2 and rows 1..2 are not fixed
    g.SetRowCount(3);
    g.SetCurrentCell(1, 1);
    EXPECT_TRUE(g.GotoNextCell(G::nc_rightdown, G::lc_stop));
    EXPECT_EQ(Cur(g), QPoint(2, 1));
    EXPECT_TRUE(g.GotoNextCell(G::nc_rightdown, G::lc_stop));
    EXPECT_EQ(Cur(g), QPoint(1, 2));
    EXPECT_TRUE(g.GotoNextCell(G::nc_rightdown, G::lc_stop));
    EXPECT_FALSE(g.GotoNextCell(G::nc_rightdown, G::lc_stop));  // last cell: stays
    EXPECT_EQ(Cur(g), QPoint(2, 2));
    EXPECT_TRUE(g.GotoNextCell(G::nc_rightdown, G::lc_first));
    EXPECT_EQ(Cur(g), QPoint(1, 1));

    g.SetCurrentCell(1, 1);
    g.GotoNextCell(G::nc_downright, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(1, 2));
    g.GotoNextCell(G::nc_downright, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(2, 1));
    g.SetCurrentCell(2, 2);
    g.GotoNextCell(G::nc_leftup, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(1, 2));
    g.GotoNextCell(G::nc_leftup, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(2, 1));
    g.GotoNextCell(G::nc_upleft, G::lc_first);
    EXPECT_EQ(Cur(g), QPoint(1, 2));  // up from row 1 wraps to the next column on the left
    g.SetCurrentCell(1, 2);
    g.GotoNextCell(G::nc_rightup, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(2, 2));
    g.GotoNextCell(G::nc_rightup, G::lc_stop);
    EXPECT_EQ(Cur(g), QPoint(1, 1));

    // Appending: a new row at the end, or a new column.
    g.SetCurrentCell(2, 2);
    EXPECT_TRUE(g.GotoNextCell(G::nc_rightdown, G::lc_newcolrow));
    EXPECT_EQ(g.RowCount(), 4);
    EXPECT_EQ(Cur(g), QPoint(1, 3));
    g.SetCurrentCell(2, 3);
    EXPECT_TRUE(g.GotoNextCell(G::nc_downright, G::lc_newcolrow));
    EXPECT_EQ(g.ColCount(), 4);
    EXPECT_EQ(Cur(g), QPoint(3, 1));
}

TEST(AlignGrid, InPlaceEditorCommitsValidatesAndCancels)
{
    F2Form form;
    G g(&form);
    g.resize(400, 200);
    QStringList log;
    g.OnBeforeEdit = [&](QObject*, int c, int r) { log << QString("before %1,%2").arg(c).arg(r); };
    g.OnAfterEdit = [&](QObject*, int c, int r) { log << QString("after %1,%2").arg(c).arg(r); };
    g.OnCancelEdit = [&](QObject*, int c, int r) { log << QString("cancel %1,%2").arg(c).arg(r); };
    bool valid = true;
    g.OnValidateEdit = [&](QObject*, int, int, bool& result) { result = valid; };
    ASSERT_TRUE(ShowActive(&form));
    g.setFocus();
    g.SetCurrentCell(1, 1);
    QTest::keyClick(&g, Qt::Key_Return);  // opens the editor
    ASSERT_TRUE(g.EditorOpen());
    auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(edit);
    EXPECT_TRUE(QString(edit->metaObject()->className()).endsWith("TNewInplaceEdit"));
    QTest::keyClicks(edit, "abc");
    valid = false;
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(g.EditorOpen());  // refused: the editor stays
    valid = true;
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(g.EditorOpen());
    EXPECT_EQ(g.Cells(1, 1), "abc");
    EXPECT_EQ(Cur(g), QPoint(2, 1));  // Enter moves right
    g.OpenEditor();
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(edit);
    QTest::keyClicks(edit, "zz");
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(g.EditorOpen());
    EXPECT_EQ(g.Cells(2, 1), "");
    EXPECT_EQ(log, (QStringList{"before 1,1", "after 1,1", "before 2,1", "cancel 2,1"}));

    // With AutoEditNextCell the editor opens again on the next cell; Tab follows its own rule.
    g.SetAutoEditNextCell(true);
    g.SetNextCellTab(G::nc_downright);
    g.SetCurrentCell(1, 2);
    g.OpenEditor();
    edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(edit);
    QTest::keyClicks(edit, "x");
    QTest::keyClick(edit, Qt::Key_Tab);
    EXPECT_EQ(g.Cells(1, 2), "x");
    EXPECT_EQ(Cur(g), QPoint(1, 3));
    EXPECT_TRUE(g.EditorOpen());
    g.CancelEditor();
}

TEST(AlignGrid, StoredItemsRoundTripAndOmitEmptyRecords)
{
    G g;
    g.SetColCount(4);
    g.SetRowCount(4);
    g.SetCells(1, 0, "Item");
    g.SetCells(2, 2, "中文");
    g.SetHintCell(2, 2, "a hint");
    g.SetAlignCell(2, 2, G::alRight);
    g.SetWordwrapCol(3, G::ww_wordwrap);
    g.SetFixedAlignRow(0, G::alCenter);
    g.SetFixedAlignCol(1, G::alRight);
    g.SetEditRow(3, false);
    g.SetFontCell(1, 1, TGridFont{RGBColor(1, 2, 3), -14, "DejaVu Sans", 1, 3});
    g.SetControlCell(3, 3, TControlInfo{2, "pick", {"A", "B"}, true, "t1", "t2"});
    g.SetAlignCell(1, 2, G::alCenter);
    g.SetAlignCell(1, 2, G::alDefault);  // empty again: not written

    EXPECT_EQ(G::WrittenPropertyNames(),
              (QStringList{"HintCell", "Cells", "PropCell", "PropCol", "PropRow", "PropFixedCol", "PropFixedRow"}));
    EXPECT_TRUE(g.WriteProperty("AlignCell").isEmpty());  // older names are never written

    G h;
    h.SetAlignCell(2, 2, G::alLeft);  // replaced by what is read
    h.SetAlignCell(3, 1, G::alCenter);
    h.LoadProperties(g.SaveProperties());
    EXPECT_EQ(h.Cells(2, 2), "中文");
    EXPECT_EQ(h.Cells(1, 0), "Item");
    EXPECT_EQ(h.HintCell(2, 2), "a hint");
    EXPECT_EQ(h.Props(G::ptCell, 2, 2), g.Props(G::ptCell, 2, 2));
    EXPECT_EQ(h.Props(G::ptCell, 1, 1), g.Props(G::ptCell, 1, 1));
    EXPECT_EQ(h.Props(G::ptCell, 3, 3), g.Props(G::ptCell, 3, 3));
    EXPECT_EQ(h.Props(G::ptCol, 3), g.Props(G::ptCol, 3));
    EXPECT_EQ(h.Props(G::ptRow, 0, 3), g.Props(G::ptRow, 0, 3));
    EXPECT_EQ(h.Props(G::ptFixedRow, 0, 0), g.Props(G::ptFixedRow, 0, 0));
    EXPECT_EQ(h.Props(G::ptFixedCol, 1), g.Props(G::ptFixedCol, 1));
    EXPECT_EQ(h.ResolvedAlignment(3, 1), G::alCenter);  // records not in the data stay
    EXPECT_EQ(h.WriteProperty("PropFixedRow"), g.WriteProperty("PropFixedRow"));

    // The cell table holds only the three non-empty records.
    QDataStream s(g.WriteProperty("PropCell"));
    s.setVersion(QDataStream::Qt_6_0);
    qint32 count = 0;
    s >> count;
    EXPECT_EQ(count, 3);
    G empty;
    EXPECT_TRUE(empty.WriteProperty("PropCol").isEmpty());
    EXPECT_TRUE(empty.SaveProperties().isEmpty());
}

TEST(AlignGrid, ReadsTheOlderItems)
{
    G g;
    g.SetColCount(4);
    g.SetRowCount(4);
    EXPECT_TRUE(g.ReadProperty("AlignCell", Block([](QDataStream& s) {
        s << qint32(1) << qint32(2) << qint32(3) << quint8(G::alRight);
    })));
    EXPECT_EQ(g.ResolvedAlignment(2, 3), G::alRight);
    EXPECT_TRUE(g.ReadProperty("FixedAlignRow", Block([](QDataStream& s) {
        s << qint32(1) << qint32(0) << quint8(G::alCenter);
    })));
    EXPECT_EQ(g.ResolvedAlignment(2, 0), G::alCenter);
    EXPECT_TRUE(g.ReadProperty("EditCol", Block([](QDataStream& s) { s << qint32(1) << qint32(1) << quint8(0); })));
    EXPECT_EQ(g.Props(G::ptCol, 1).EditFlag, 2);
    EXPECT_TRUE(g.ReadProperty("ColorRow", Block([](QDataStream& s) {
        s << qint32(1) << qint32(2) << qint32(RGBColor(7, 8, 9));
    })));
    EXPECT_EQ(g.ResolvedColor(3, 2, false), QColor(7, 8, 9));
    EXPECT_TRUE(g.ReadProperty("SelectedColorCell", Block([](QDataStream& s) {
        s << qint32(1) << qint32(1) << qint32(1) << qint32(RGBColor(1, 1, 1));
    })));
    EXPECT_EQ(g.ResolvedColor(1, 1, true), QColor(1, 1, 1));
    EXPECT_TRUE(g.ReadProperty("FontFixedCol", Block([](QDataStream& s) {
        s << qint32(1) << qint32(2) << qint32(RGBColor(0, 0, 255)) << qint32(-16) << QString("DejaVu Sans") << qint32(0)
          << qint32(2);
    })));
    QColor text;
    EXPECT_TRUE(g.ResolvedFont(2, 0, false, &text).italic());
    EXPECT_EQ(text, QColor(0, 0, 255));
    // A damaged block reads what it can and says so.
    EXPECT_FALSE(g.ReadProperty("PropCell", Block([](QDataStream& s) {
        s << qint32(2) << qint32(1) << qint32(1) << quint8(1) << qint32(G::alCenter) << quint8(0) << qint32(9);
    })));
    EXPECT_EQ(g.ResolvedAlignment(1, 1), G::alCenter);
    EXPECT_FALSE(g.ReadProperty("PropCell", Block([](QDataStream& s) {
        s << qint32(1) << qint32(1) << qint32(1) << quint8(77);
    })));
}

TEST(AlignGrid, ColumnsHintsAndFixedClicks)
{
    F2Form form;
    G g(&form);
    g.resize(400, 200);
    QObject* column = g.Columns(2);
    ASSERT_TRUE(column);
    column->setProperty("Caption", "Qty");
    EXPECT_EQ(g.Cells(2, 0), "Qty");
    EXPECT_TRUE(column->setProperty("Alignment", "alRight"));
    EXPECT_EQ(g.ResolvedAlignment(2, 1), G::alRight);
    EXPECT_EQ(g.Columns(99), nullptr);
    g.SetColCount(2);
    EXPECT_EQ(g.Columns(2), nullptr);

    ASSERT_TRUE(ShowActive(&form));
    int fixedCol = -1, fixedRow = -1;
    g.OnFixedColClick = [&](QObject*, int c) { fixedCol = c; };
    g.OnFixedRowClick = [&](QObject*, int r) { fixedRow = r; };
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(0, 1)).center());
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.visualRect(g.model()->index(3, 0)).center());
    EXPECT_EQ(fixedCol, 1);
    EXPECT_EQ(fixedRow, 3);

    g.SetAutoAdjustLastCol(true);
    EXPECT_EQ(g.ColWidths(0) + g.ColWidths(1), g.viewport()->width());
}
