// The run-time designer driven as a user drives it: simulated mouse and keys
// on a small report form.
#include "format/DesignerInspector.h"
#include "format/DreamDesigner.h"
#include "format/engine/QRControls.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "platform/dialogs/Dialogs.h"

#include <QMenu>
#include <QMimeData>
#include <QDropEvent>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// A handler reference, as the inspector must keep events out of sight.
struct TTestHandler {
    int Code = 0;
};

class TEventedLabel : public TQRLabel {
    Q_OBJECT
    Q_PROPERTY(TTestHandler OnClick READ OnClick WRITE SetOnClick)
public:
    using TQRLabel::TQRLabel;
    TTestHandler OnClick() const { return handler_; }
    void SetOnClick(const TTestHandler& h) { handler_ = h; }

private:
    TTestHandler handler_;
};

}  // namespace

Q_DECLARE_METATYPE(TTestHandler)

namespace {

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qRegisterMetaType<TTestHandler>();
        TDialogService::Reset();
        form.resize(820, 420);
        rep = new TQuickRep(&form);
        rep->setGeometry(10, 10, 780, 380);
        head = new TQRBand(rep, rbTitle);
        head->setObjectName(QStringLiteral("QRBandHead"));
        head->setGeometry(0, 0, 760, 160);
        detail = new TQRBand(rep, rbDetail);
        detail->setObjectName(QStringLiteral("QRBandDetail"));
        detail->setGeometry(0, 200, 760, 60);
        label = new TEventedLabel(head);
        label->setObjectName(QStringLiteral("lblTitle"));
        label->SetCaption(QStringLiteral("进货单"));
        label->setGeometry(20, 20, 100, 16);
        text = new TQVQRDBText(head);
        text->setObjectName(QStringLiteral("txtTG002"));
        text->SetDataField(QStringLiteral("TG002"));
        text->setGeometry(200, 20, 100, 16);
        line = new TQRLabel(detail);
        line->setObjectName(QStringLiteral("lblLine"));
        line->setGeometry(20, 10, 80, 16);

        designer = new TDreamDesigner(&form);
        designer->RegisterClass(&TQRLabel::staticMetaObject, [](QWidget* p) { return new TQRLabel(p); });
        designer->RegisterClass(&TQVQRDBText::staticMetaObject, [](QWidget* p) { return new TQVQRDBText(p); });
        designer->RegisterClass(&TQvQRDBBarcode::staticMetaObject, [](QWidget* p) { return new TQvQRDBBarcode(p); });
        designer->RegisterClass(&TQRPrintable::staticMetaObject);
        designer->RegisterClass(&TQRBand::staticMetaObject, {}, true);
        designer->RegisterPropertyEnum(QStringLiteral("Alignment"),
                                       {QStringLiteral("taLeftJustify"), QStringLiteral("taRightJustify"), QStringLiteral("taCenter")});
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        designer->Start();
    }
    void TearDown() override { TDialogService::Reset(); }

    // A press on w at From, moves to To (w's coordinates when the press
    // came) and the release. QTest sends presses to the widget itself and
    // moves through the window, so the moves are given on the form, which
    // stays where it is while the component moves under the mouse.
    void Drag(QWidget* w, QPoint From, QPoint To, Qt::KeyboardModifiers Mods = {})
    {
        const QPoint from = w->mapTo(&form, From), to = w->mapTo(&form, To);
        QTest::mousePress(w, Qt::LeftButton, Mods, From);
        QTest::mouseMove(&form, from + (to - from) / 2);
        QTest::mouseMove(&form, to);
        QTest::mouseRelease(w, Qt::LeftButton, Mods, To);
    }
    QStringList Messages()
    {
        QStringList texts;
        for (const TMessageRequest& r : TDialogService::History()) texts << r.Text;
        return texts;
    }

    QWidget form;
    TQuickRep* rep = nullptr;
    TQRBand *head = nullptr, *detail = nullptr;
    TQRLabel* label = nullptr;
    TQVQRDBText* text = nullptr;
    TQRLabel* line = nullptr;
    TDreamDesigner* designer = nullptr;
};

}  // namespace

TEST_F(DesignerTest, HotKeyStopsAndStartsDesignAndAsksToSaveOnStop)
{
    int changes = 0, saves = 0;
    designer->OnActiveChanged = [&] { ++changes; };
    designer->OnSaveChanges = [&](bool& handled) {
        ++saves;
        handled = true;
        EXPECT_TRUE(designer->Active());  // asked before design mode ends
    };
    QTest::keyClick(&form, Qt::Key_F12, Qt::ControlModifier);
    EXPECT_FALSE(designer->Active());
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(changes, 1);
    // F12 alone or with Shift is no hot key.
    QTest::keyClick(&form, Qt::Key_F12);
    QTest::keyClick(&form, Qt::Key_F12, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_FALSE(designer->Active());
    QTest::keyClick(label, Qt::Key_F12, Qt::ControlModifier);
    EXPECT_TRUE(designer->Active());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(designer->HotKey(), 16507);

    // Out of design mode a click reaches the form as always and selects nothing.
    designer->Stop();
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(designer->Selection().isEmpty());
}

TEST_F(DesignerTest, ClickShiftClickAndRubberBandSelect)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{label});
    QTest::mouseClick(text, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    EXPECT_EQ(designer->Selection(), (QList<QWidget*>{label, text}));
    QTest::mouseClick(label, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{text});
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{label});

    // A click on the band's own area selects the band.
    QTest::mouseClick(head, Qt::LeftButton, {}, QPoint(400, 100));
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{head});
    // A rubber band on the band selects what it touches there, nothing of another band.
    Drag(head, QPoint(10, 10), QPoint(150, 60));
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{label});
    Drag(head, QPoint(10, 10), QPoint(400, 150));
    EXPECT_EQ(designer->SelectionCount(), 2);
    EXPECT_TRUE(designer->IsSelected(label) && designer->IsSelected(text));
    EXPECT_FALSE(designer->IsSelected(line));

    // Escape goes up to the band.
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{head});
}

TEST_F(DesignerTest, MouseMovesTheSelectionOnTheGridWithinItsBand)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(text, Qt::LeftButton, Qt::ShiftModifier, QPoint(5, 5));
    Drag(label, QPoint(5, 5), QPoint(5 + 33, 5 + 21));
    // 20 + 33 = 53 lands on 52, the grid of 4; the other component moves by as much.
    EXPECT_EQ(label->pos(), QPoint(52, 40));
    EXPECT_EQ(text->pos(), QPoint(232, 40));
    EXPECT_EQ(label->parentWidget(), head);

    // Dragged past the band's edge: it stays on its band, inside it.
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    Drag(label, QPoint(5, 5), QPoint(5, 400));
    EXPECT_EQ(label->parentWidget(), head);
    EXPECT_EQ(label->y() + label->height(), head->height());

    // Without snapping it goes where it is put.
    designer->SetSnapToGrid(false);
    const QPoint before = label->pos();
    Drag(label, QPoint(5, 5), QPoint(8, -97));
    EXPECT_EQ(label->pos(), before + QPoint(3, -102));
}

TEST_F(DesignerTest, ArrowKeysMoveAndShiftArrowsResize)
{
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(&form, Qt::Key_Right);
    QTest::keyClick(&form, Qt::Key_Down);
    EXPECT_EQ(text->pos(), QPoint(201, 21));
    QTest::keyClick(&form, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(text->pos(), QPoint(197, 21));
    QTest::keyClick(&form, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&form, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(text->size(), QSize(101, 15));
    // Up to the band's top and no further.
    for (int i = 0; i < 30; ++i) QTest::keyClick(&form, Qt::Key_Up);
    EXPECT_EQ(text->y(), 0);

    designer->Allow(daMove, false);
    QTest::keyClick(&form, Qt::Key_Down);
    EXPECT_EQ(text->y(), 0);
}

TEST_F(DesignerTest, HandlesResizeAndBandsOnlyChangeTheirHeight)
{
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, 5));
    // The bottom-right handle sits on the component's corner.
    const QPoint corner = text->mapTo(head, QPoint(text->width() - 1, text->height() - 1));
    Drag(head, corner, corner + QPoint(40, 8));
    EXPECT_EQ(text->pos(), QPoint(200, 20));
    EXPECT_EQ(text->size(), QSize(140, 24));

    QTest::mouseClick(detail, Qt::LeftButton, {}, QPoint(300, 30));
    ASSERT_EQ(designer->Selection(), QList<QWidget*>{detail});
    const QPoint bottom(detail->width() / 2, detail->height() - 1);
    Drag(detail, bottom, bottom + QPoint(50, 20));
    EXPECT_EQ(detail->height(), 80);
    EXPECT_EQ(detail->pos(), QPoint(0, 200));
    EXPECT_EQ(detail->width(), 760);
}

TEST_F(DesignerTest, InspectorEditsShowAtOnceAndWrongValuesAreRefused)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    int shown = 0;
    designer->OnShowProperty = [&](QWidget* c) {
        EXPECT_EQ(c, label);
        ++shown;
    };
    designer->ShowInspector();
    TDesignerInspector* inspector = designer->Inspector();
    ASSERT_TRUE(inspector->isVisible());
    EXPECT_EQ(shown, 1);
    EXPECT_GE(inspector->RowOf(QStringLiteral("Caption")), 0);
    EXPECT_GE(inspector->RowOf(QStringLiteral("Hint")), 0);
    EXPECT_GE(inspector->RowOf(QStringLiteral("Font")), 0);
    // Events stay out of sight.
    EXPECT_EQ(inspector->RowOf(QStringLiteral("OnClick")), -1);
    designer->SetShowEvents(true);
    EXPECT_TRUE(designer->PropertyNames(label).contains(QStringLiteral("OnClick")));
    designer->SetShowEvents(false);

    EXPECT_TRUE(inspector->EditValue(QStringLiteral("Caption"), QStringLiteral("采购进货单")));
    EXPECT_EQ(label->Caption(), QStringLiteral("采购进货单"));
    EXPECT_TRUE(inspector->EditValue(QStringLiteral("Width"), QStringLiteral("160")));
    EXPECT_EQ(label->width(), 160);
    EXPECT_TRUE(inspector->EditValue(QStringLiteral("Alignment"), QStringLiteral("taCenter")));
    EXPECT_EQ(label->Alignment(), taCenter);
    EXPECT_EQ(designer->PropertyText(label, QStringLiteral("Alignment")), QStringLiteral("taCenter"));
    EXPECT_TRUE(inspector->EditValue(QStringLiteral("AutoSize"), QStringLiteral("False")));
    EXPECT_FALSE(label->AutoSize());
    EXPECT_TRUE(inspector->EditValue(QStringLiteral("Font"), QStringLiteral("宋体,12,Bold")));
    EXPECT_EQ(label->font().pointSizeF(), 12);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(inspector->EditValue(QStringLiteral("Color"), QStringLiteral("clRed")));
    EXPECT_EQ(label->Color(), QColor(255, 0, 0));
    EXPECT_EQ(TDialogService::History().size(), 0);

    // Wrong types: a message each, and the value stays.
    EXPECT_FALSE(inspector->EditValue(QStringLiteral("Width"), QStringLiteral("abc")));
    EXPECT_EQ(label->width(), 160);
    EXPECT_EQ(inspector->Grid()->item(inspector->RowOf(QStringLiteral("Width")), 1)->text(), QStringLiteral("160"));
    EXPECT_FALSE(inspector->EditValue(QStringLiteral("Font"), QStringLiteral("宋体,big")));
    EXPECT_FALSE(inspector->EditValue(QStringLiteral("Color"), QStringLiteral("reddish")));
    EXPECT_FALSE(designer->SetPropertyText(label, QStringLiteral("AutoSize"), QStringLiteral("maybe")));
    EXPECT_FALSE(designer->SetPropertyText(label, QStringLiteral("Name"), QStringLiteral("lblOther")));
    EXPECT_EQ(label->objectName(), QStringLiteral("lblTitle"));
    const QStringList messages = Messages();
    ASSERT_EQ(messages.size(), 5);
    EXPECT_EQ(messages[0], QStringLiteral("'abc' is not a valid integer value"));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("not a valid font")));
    EXPECT_TRUE(messages[2].contains(QStringLiteral("not a valid colour")));
    EXPECT_EQ(messages[3], QStringLiteral("'maybe' is not a valid boolean value"));
    EXPECT_EQ(TDialogService::History()[0].DlgType, mtError);

    // A component reference by name; an unknown name is refused.
    text->SetDataSetObject(nullptr);
    auto* ds = new QObject(&form);
    ds->setObjectName(QStringLiteral("ClientDataSet1"));
    EXPECT_TRUE(designer->SetPropertyText(text, QStringLiteral("DataSet"), QStringLiteral("ClientDataSet1")));
    EXPECT_EQ(designer->PropertyText(text, QStringLiteral("DataSet")), QString());  // not a data set: the control keeps none
    EXPECT_FALSE(designer->SetPropertyText(text, QStringLiteral("DataSet"), QStringLiteral("NoSuchSet")));

    // Without the edit action nothing is written.
    designer->Allow(daEdit, false);
    EXPECT_FALSE(designer->SetPropertyText(label, QStringLiteral("Caption"), QStringLiteral("x")));
    EXPECT_EQ(label->Caption(), QStringLiteral("采购进货单"));
}

TEST_F(DesignerTest, InspectorFollowsTheSelectionAndShowsMoves)
{
    QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
    designer->ShowInspector();
    TDesignerInspector* inspector = designer->Inspector();
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(inspector->Component(), text);
    EXPECT_GE(inspector->RowOf(QStringLiteral("TextType")), 0);
    QTest::keyClick(&form, Qt::Key_Right);
    EXPECT_EQ(inspector->Grid()->item(inspector->RowOf(QStringLiteral("Left")), 1)->text(), QStringLiteral("201"));

    designer->Allow(daShow, false);
    inspector->hide();
    designer->ShowInspector();
    EXPECT_FALSE(inspector->isVisible());
}

TEST_F(DesignerTest, DeleteNeedsTheActionAndTellsTheForm)
{
    QTest::mouseClick(text, Qt::LeftButton, {}, QPoint(5, 5));
    QStringList deleted;
    designer->OnDeleteComponent = [&](QWidget* c) { deleted << c->objectName(); };
    QTest::keyClick(&form, Qt::Key_Delete);
    EXPECT_NE(form.findChild<QWidget*>(QStringLiteral("txtTG002")), nullptr);
    EXPECT_TRUE(deleted.isEmpty());

    designer->Allow(daDelete, true);
    QTest::keyClick(&form, Qt::Key_Delete);
    EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("txtTG002")), nullptr);
    EXPECT_EQ(deleted, QStringList{QStringLiteral("txtTG002")});
    EXPECT_TRUE(designer->Selection().isEmpty());
}

TEST_F(DesignerTest, ComponentsAreCreatedByClassName)
{
    QWidget* made = designer->CreateComponent(QStringLiteral("TQvQRDBBarcode"), head, QRect(300, 60, 100, 105));
    ASSERT_NE(qobject_cast<TQvQRDBBarcode*>(made), nullptr);
    EXPECT_EQ(made->parentWidget(), head);
    EXPECT_EQ(made->geometry(), QRect(300, 60, 100, 105));
    EXPECT_TRUE(made->isVisible());
    EXPECT_THROW(designer->CreateComponent(QStringLiteral("TNoSuchControl"), head, QRect(0, 0, 10, 10)), Exception);
    // Only registered kinds with a factory are made.
    EXPECT_THROW(designer->CreateComponent(QStringLiteral("TQRPrintable"), head, QRect(0, 0, 10, 10)), Exception);
}

TEST_F(DesignerTest, AlignSizeScaleAndLayerOrder)
{
    label->setGeometry(20, 20, 100, 16);
    text->setGeometry(200, 50, 60, 30);
    designer->Select(label);
    designer->Select(text, true);
    designer->AlignSelection(alLeftTop, alLeftTop);
    EXPECT_EQ(text->pos(), QPoint(20, 20));
    designer->AlignSelection(alRightBottom, alNone);
    EXPECT_EQ(text->x() + text->width(), label->x() + label->width());

    // Dialogs answer from the script; headless without one they cancel.
    TDreamDesigner::ScriptDialogAnswer({szGrowToLargest, 0, szValue, 20});
    EXPECT_TRUE(designer->ShowSizeDialog());
    EXPECT_EQ(text->size(), QSize(100, 20));
    EXPECT_EQ(label->size(), QSize(100, 20));
    TDreamDesigner::ScriptDialogAnswer({50});
    EXPECT_TRUE(designer->ShowScaleDialog());
    EXPECT_EQ(label->geometry(), QRect(10, 10, 50, 10));
    TDreamDesigner::ScriptDialogAnswer({alNone, alCenterInParent});
    EXPECT_TRUE(designer->ShowAlignDialog());
    EXPECT_EQ(label->y(), (head->height() - 10) / 2);
    EXPECT_FALSE(designer->ShowAlignDialog());
    TDreamDesigner::ScriptDialogAnswer({});
    EXPECT_FALSE(designer->ShowScaleDialog());

    label->move(21, 23);
    designer->Select(label);
    designer->AlignToGrid();
    EXPECT_EQ(label->pos(), QPoint(20, 24));

    designer->BringToFront();
    EXPECT_EQ(head->children().last(), label);
    designer->SendToBack();
    EXPECT_EQ(head->children().first(), label);
}

TEST_F(DesignerTest, DropsGoToTheFormWithTheirPoint)
{
    QObject source;
    source.setObjectName(QStringLiteral("lvExtending"));
    QWidget* overTarget = nullptr;
    QPoint overPoint;
    designer->OnDragOver = [&](QObject* s, QWidget* t, const QPoint& p, bool& accept) {
        overTarget = t;
        overPoint = p;
        accept = s == &source && qobject_cast<TQRBand*>(t) != nullptr;
    };
    int drops = 0;
    designer->OnDragDrop = [&](QObject*, QWidget* t, const QPoint& p) {
        ++drops;
        EXPECT_EQ(t, head);
        EXPECT_EQ(p, QPoint(40, 90));
    };
    EXPECT_TRUE(designer->DragOver(&source, head, QPoint(40, 90)));
    EXPECT_EQ(overTarget, head);
    EXPECT_EQ(overPoint, QPoint(40, 90));
    EXPECT_FALSE(designer->DragDrop(&source, label, QPoint(1, 1)));
    EXPECT_TRUE(designer->DragDrop(&source, head, QPoint(40, 90)));
    EXPECT_EQ(drops, 1);
    // Out of design mode nothing is dropped.
    designer->Stop();
    EXPECT_FALSE(designer->DragDrop(&source, head, QPoint(40, 90)));
    EXPECT_EQ(drops, 1);
}

TEST_F(DesignerTest, DragEventsOnTheFormReachTheDropHandlers)
{
    QWidget* seenTarget = nullptr;
    QPoint seenPoint;
    int dropped = 0;
    designer->OnDragOver = [&](QObject*, QWidget* t, const QPoint& p, bool& accept) {
        seenTarget = t;
        seenPoint = p;
        accept = t == detail;
    };
    designer->OnDragDrop = [&](QObject*, QWidget*, const QPoint&) { ++dropped; };
    EXPECT_TRUE(detail->acceptDrops());  // design mode takes drops everywhere on the form
    QMimeData mime;
    mime.setText(QStringLiteral("RT0MA005"));
    QDragEnterEvent over(QPoint(30, 12), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(detail, &over);
    EXPECT_EQ(seenTarget, detail);
    EXPECT_EQ(seenPoint, QPoint(30, 12));
    EXPECT_TRUE(over.isAccepted());
    // Over a control the control is asked first; refused there, the drag
    // goes on to its band with the point in the band's coordinates.
    QList<QWidget*> asked;
    designer->OnDragOver = [&](QObject*, QWidget* t, const QPoint& p, bool& accept) {
        asked << t;
        seenPoint = p;
        accept = t == detail;
    };
    QDragEnterEvent onLine(QPoint(3, 3), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(line, &onLine);
    EXPECT_EQ(asked, (QList<QWidget*>{line, detail}));
    EXPECT_EQ(seenPoint, QPoint(23, 13));
    EXPECT_TRUE(onLine.isAccepted());
    QDropEvent drop(QPointF(30, 12), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(detail, &drop);
    EXPECT_EQ(dropped, 1);
    // Out of design mode the form takes no drops again.
    designer->Stop();
    EXPECT_FALSE(detail->acceptDrops());
}

TEST_F(DesignerTest, RightClickSelectsAndOpensThePopupMenu)
{
    QMenu menu(&form);
    menu.addAction(QStringLiteral("删除(&Del)"));
    int shown = 0;
    QObject::connect(&menu, &QMenu::aboutToShow, [&] {
        ++shown;
        EXPECT_EQ(designer->Selection(), QList<QWidget*>{text});
    });
    designer->SetPopupMenu(&menu);
    QTest::mouseClick(text, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(DesignerTest, LoadRequestOnlyWhenChangesAreStored)
{
    int loads = 0;
    designer->OnLoadChanges = [&](bool& handled) {
        ++loads;
        handled = true;
    };
    designer->LoadChanges();
    designer->SetStoreChanges(false);
    designer->LoadChanges();
    EXPECT_EQ(loads, 1);
}

#include "DesignerTest.moc"
