// The controls at their limits: numbers at the ends of the integer range,
// damaged stored data, parts that go away while they are in use.
#include "controls/Aligrid.h"
#include "controls/BtChkBox.h"
#include "controls/DBLabel.h"
#include "controls/QvSpin.h"
#include "controls/SelectPnl.h"
#include "tests/controls/ControlTestSupport.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QIODevice>
#include <QLineEdit>
#include <climits>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::Block;
using kelm24::test::Exit;
using kelm24::test::F2Form;
using kelm24::test::ShowActive;
using G = TStringAlignGrid;

TEST(SpinEditLimits, SteppingStopsAtTheEndsOfTheIntegerRange)
{
    TSpinEdit spin;  // MinValue = MaxValue: no bounds of its own
    spin.SetValue(INT_MAX);
    spin.stepBy(1);
    EXPECT_EQ(spin.Value(), INT_MAX);
    spin.SetValue(INT_MIN);
    spin.stepBy(-10);
    EXPECT_EQ(spin.Value(), INT_MIN);
    spin.SetIncrement(INT_MAX);
    spin.SetValue(5);
    spin.stepBy(10);
    EXPECT_EQ(spin.Value(), INT_MAX);
    spin.stepBy(-3);
    EXPECT_EQ(spin.Value(), INT_MIN);
    // A long pasted text with a stray sign near its start is cut in one go.
    TQvSpinEdit qv;
    int changes = 0;
    qv.OnChange = {nullptr, [&](QObject*) { ++changes; }};
    qv.SetText("12-" + QString(30000, QChar('5')));
    EXPECT_EQ(qv.Text(), "12");
    EXPECT_EQ(changes, 1);
    // Within bounds the step still lands on them.
    spin.SetMinValue(-5);
    spin.SetMaxValue(5);
    spin.SetValue(4);
    spin.stepBy(1);
    EXPECT_EQ(spin.Value(), 5);
}

TEST(SelectPanelLimits, DatesAndNumbersAtTheirEnds)
{
    TSelectPanel p;
    p.SetValueType(TSelectPanel::vt_Date);
    for (auto type : {TSelectPanel::dt_YYMMDD, TSelectPanel::dt_YYYMMDD}) {
        p.SetDateType(type);
        EXPECT_EQ(p.ReadDate("2147483647/01/01"), 0);
        EXPECT_EQ(p.ReadDate("-2147483648/01/01"), 0);
        EXPECT_EQ(p.ReadDate("8088/12/31"), 99991231);
        EXPECT_EQ(p.ReadDate("8089/01/01"), 0);
        EXPECT_EQ(Exit(p, "2147483647/01/01", "113/01/01"), std::make_pair(QString("2147483647/01/01"), QString("113/01/01")));
    }
    p.SetDateType(TSelectPanel::dt_YYYYMMDD);
    EXPECT_EQ(p.ReadDate("1753/01/01"), 17530101);  // the shared date check's first day
    EXPECT_EQ(p.ReadDate("1752/12/31"), 0);
    EXPECT_EQ(p.ReadDate("9999/12/31"), 99991231);
    EXPECT_EQ(p.ReadDate("10000/01/01"), 0);

    // Float ranges keep what was typed when a shorter text would change the number.
    p.SetValueType(TSelectPanel::vt_Float);
    EXPECT_EQ(Exit(p, "12345678901234567", "12345678901234568.5"),
              std::make_pair(QString("12345678901234567"), QString("12345678901234568.5")));
    EXPECT_EQ(Exit(p, "100000000000000000000", "3"), std::make_pair(QString("3"), QString("100000000000000000000")));
    EXPECT_EQ(Exit(p, "0.10", "-0.5"), std::make_pair(QString("-0.5"), QString("0.1")));
}

TEST(AlignGridLimits, DamagedStoredItemsAreRefusedWithoutHarm)
{
    G g;
    g.SetColCount(3);
    g.SetRowCount(3);
    // Texts at absurd places: no grid of a billion cells, nothing outside it.
    const QByteArray cells = Block([](QDataStream& s) {
        s << qint32(4) << qint32(1) << qint32(1) << QString("kept") << qint32(-1) << qint32(2) << QString("neg")
          << qint32(INT_MAX) << qint32(0) << QString("far") << qint32(0) << qint32(100000000) << QString("far");
    });
    EXPECT_FALSE(g.ReadProperty("Cells", cells));
    EXPECT_EQ(g.Cells(1, 1), "kept");
    EXPECT_LE(qint64(g.ColCount()) * g.RowCount(), 1 << 22);

    // Alignments and word wraps outside their ranges read as the default.
    const QByteArray props = Block([](QDataStream& s) {
        s << qint32(2) << qint32(1) << qint32(1) << quint8(1) << qint32(77) << quint8(2) << qint32(-4) << quint8(3)
          << qint32(9) << quint8(0);
        s << qint32(2) << qint32(2) << quint8(1) << qint32(0) << quint8(0);
    });
    EXPECT_TRUE(g.ReadProperty("PropCell", props));
    EXPECT_EQ(g.ResolvedAlignment(1, 1), G::alLeft);
    EXPECT_EQ(g.ResolvedWordwrap(1, 1), G::ww_none);
    EXPECT_TRUE(g.Props(G::ptCell, 1, 1).IsEmpty());
    EXPECT_EQ(g.ResolvedAlignment(2, 2), G::alRight);
    const QByteArray old = Block([](QDataStream& s) { s << qint32(1) << qint32(1) << qint32(1) << quint8(200); });
    EXPECT_TRUE(g.ReadProperty("AlignCell", old));
    EXPECT_EQ(g.ResolvedAlignment(1, 1), G::alLeft);
}

TEST(AlignGridLimits, RemovedRowsAndColumnsTakeTheirRecordsAlong)
{
    G g;
    g.SetColCount(5);
    g.SetRowCount(5);
    g.SetEditRow(4, false);
    g.SetColorCol(4, clSilver);
    g.SetAlignCell(3, 3, G::alRight);
    g.SetHintCell(3, 3, "hint");
    g.SetRowCount(3);
    g.SetColCount(3);
    g.SetRowCount(5);
    g.SetColCount(5);
    // The rows and columns added again start plain.
    EXPECT_TRUE(g.Props(G::ptRow, 0, 4).IsEmpty());
    EXPECT_TRUE(g.Props(G::ptCol, 4).IsEmpty());
    EXPECT_TRUE(g.Props(G::ptCell, 3, 3).IsEmpty());
    EXPECT_EQ(g.HintCell(3, 3), "");
    EXPECT_TRUE(g.Model()->flags(g.Model()->index(4, 1)) & Qt::ItemIsEditable);
    EXPECT_TRUE(g.WriteProperty("PropRow").isEmpty());
}

TEST(AlignGridLimits, ShrinkingWhileACellIsEdited)
{
    F2Form form;
    G g(&form);
    g.resize(400, 200);
    ASSERT_TRUE(ShowActive(&form));
    g.setFocus();
    // The edited column goes away: the editor goes with it and keys still work.
    g.SetCurrentCell(3, 2);
    g.OpenEditor();
    ASSERT_TRUE(g.EditorOpen());
    QTest::keyClicks(QApplication::focusWidget(), "abc");
    g.SetColCount(2);
    QApplication::processEvents();
    EXPECT_FALSE(g.EditorOpen());
    QTest::keyClick(&g, Qt::Key_Return);
    QTest::keyClick(&g, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_LT(g.Col(), 2);
    // The edited row goes away, down to a single row.
    g.SetColCount(5);
    g.SetCurrentCell(1, 3);
    g.OpenEditor();
    ASSERT_TRUE(g.EditorOpen());
    g.SetRowCount(0);
    QApplication::processEvents();
    EXPECT_EQ(g.RowCount(), 1);
    EXPECT_FALSE(g.EditorOpen());
    QTest::keyClick(&g, Qt::Key_Return);
    QTest::keyClick(&g, Qt::Key_Tab);
    g.CancelEditor();
    // A remaining cell keeps what was typed into it.
    g.SetRowCount(5);
    g.SetCurrentCell(1, 1);
    g.OpenEditor();
    QTest::keyClicks(QApplication::focusWidget(), "kept");
    g.SetRowCount(3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "kept");
}

TEST(DBLabelLimits, AControlDeletedUnderItsLabel)
{
    F2Form form;
    auto* edit = new TEdit(&form);
    edit->setGeometry(100, 40, 120, 21);
    TDBLabel label(&form);
    label.SetFocusControl(edit);
    delete edit;
    EXPECT_EQ(label.FocusControl(), nullptr);
    label.SetCaption("Another caption");  // places itself again: nothing to place by
    label.SetPos(TDBLabel::psTop);
    TEdit other(&form);
    label.SetFocusControl(&other);
    EXPECT_EQ(label.FocusControl(), &other);
}

TEST(SelectPanelLimits, ThousandsOfListValuesComeBackSortedWithoutRepeats)
{
    // Read back in one go (the time is measured by bench_controls): the same
    // rows, order and duplicate removal as adding them one by one.
    TSelectPanel p;
    p.SetStyle(TSelectPanel::sp_Discrete);
    p.SetCheckDuplicate(TSelectPanel::cd_CaseInsensitive);
    QString stored = QStringLiteral("sp_Discrete") + QChar(3);
    for (int i = 3000; i > 0; --i) {
        const QString caption = QString("v%1").arg(i % 2500, 5, 10, QChar('0'));
        stored += (i > 2500 ? caption.toUpper() : caption) + QChar(1) + QString::number(i) + QChar(4);
    }
    stored += QStringLiteral("wide") + QChar(1) + "a" + QChar(1) + "b" + QChar(4);
    p.RestoreStoredText(stored);
    ASSERT_EQ(p.ItemCount(), 2501);
    const QList<QStringList> rows = p.Rows();
    EXPECT_EQ(rows.first(), (QStringList{"v00000", "2500", ""}));
    EXPECT_EQ(rows[1].value(0).toUpper(), "V00001");  // one of "V00001" and "v00001"
    EXPECT_EQ(rows[2499], (QStringList{"v02499", "2499", ""}));
    EXPECT_EQ(rows.last(), (QStringList{"wide", "a", "b"}));
    TSelectPanel one;
    one.SetStyle(TSelectPanel::sp_Discrete);
    one.SetCheckDuplicate(TSelectPanel::cd_CaseInsensitive);
    for (const QStringList& row : TSelectPanel::DecodeListText(stored.section(QChar(3), 1))) one.lstValues->AddRow(row);
    EXPECT_EQ(one.Rows(), rows);

    p.lstValues->CurrentView()->selectAll();
    p.btnDeleteOne->click();
    EXPECT_EQ(p.ItemCount(), 0);
}

TEST(AlignGridLimits, MovesAtTheEdgesAndWhileEditing)
{
    F2Form form;
    G g(&form);
    g.resize(400, 200);
    for (int r = 0; r < 5; ++r) g.SetCells(1, r, QString("r%1").arg(r));
    // An exchange with a row that does not exist changes nothing.
    g.ExchangeRows(2, 5);
    g.ExchangeRows(-1, 3);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(g.Cells(1, r), QString("r%1").arg(r));
    g.ExchangeRows(4, 1);
    EXPECT_EQ(g.Cells(1, 1), "r4");
    EXPECT_EQ(g.Cells(1, 4), "r1");
    g.ExchangeRows(1, 4);

    // Rows sorted while a cell is edited: the typed text stays with its row.
    ASSERT_TRUE(ShowActive(&form));
    g.setFocus();
    g.SetCurrentCell(2, 1);
    g.OpenEditor();
    ASSERT_TRUE(g.EditorOpen());
    QTest::keyClicks(QApplication::focusWidget(), "typed");
    g.OnCompareRow = [](QObject*, int, int a, int b) { return b - a; };  // reversed
    g.SortRows(1);
    QApplication::processEvents();
    if (g.EditorOpen()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(g.Cells(1, 1), "r4");
    EXPECT_EQ(g.Cells(1, 4), "r1");
    EXPECT_EQ(g.Cells(2, 4), "typed");
    EXPECT_EQ(g.Cells(2, 1), "");
}

TEST(AlignGridLimits, LeavingTheEditorByArrowKeysNamesTheEditedCell)
{
    F2Form form;
    G g(&form);
    g.resize(400, 200);
    QStringList log;
    g.OnAfterEdit = [&](QObject*, int c, int r) { log << QString("after %1,%2").arg(c).arg(r); };
    ASSERT_TRUE(ShowActive(&form));
    g.setFocus();
    g.SetCurrentCell(1, 1);
    g.OpenEditor();
    ASSERT_TRUE(g.EditorOpen());
    QTest::keyClicks(QApplication::focusWidget(), "v");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QApplication::processEvents();
    EXPECT_FALSE(g.EditorOpen());
    EXPECT_EQ(g.Cells(1, 1), "v");
    EXPECT_EQ(g.Row(), 2);
    EXPECT_EQ(log, QStringList{"after 1,1"});
}

TEST(BitCheckBoxLimits, AStateByNumberOutsideTheThreeIsRefused)
{
    TBitCheckBox box;
    box.SetAllowGrayed(true);
    box.setProperty("State", 2);
    EXPECT_EQ(box.State(), TBitCheckBox::cbGrayed);
    // A damaged stored value: the box keeps its state and still paints.
    box.setProperty("State", 7);
    box.setProperty("State", -1);
    box.setProperty("State", QString("5"));
    EXPECT_EQ(box.State(), TBitCheckBox::cbGrayed);
    EXPECT_FALSE(box.grab().isNull());
    box.Toggle();
    EXPECT_EQ(box.State(), TBitCheckBox::cbChecked);
}

TEST(AlignGridLimits, DamagedFontHeightsStillPaint)
{
    G g;
    g.resize(300, 120);
    const QByteArray props = Block([](QDataStream& s) {
        s << qint32(2);
        s << qint32(1) << qint32(1) << quint8(6) << qint32(0) << qint32(INT_MIN) << QString("DejaVu Sans") << qint32(0)
          << qint32(0) << quint8(0);
        s << qint32(2) << qint32(1) << quint8(6) << qint32(0) << qint32(INT_MAX) << QString("DejaVu Sans") << qint32(0)
          << qint32(0) << quint8(0);
    });
    ASSERT_TRUE(g.ReadProperty("PropCell", props));
    g.SetCells(1, 1, "a");
    g.SetCells(2, 1, "b");
    EXPECT_FALSE(g.grab().isNull());
    EXPECT_LE(g.ResolvedFont(1, 1, false, nullptr).pixelSize(), 1000);
    EXPECT_LE(g.ResolvedFont(2, 1, false, nullptr).pixelSize(), 1000);
}
