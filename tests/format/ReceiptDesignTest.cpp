// The designer on the receipt layout as a user works it from the receipt
// option form: a design run on a new style, a field moved and resized with the
// mouse and the keys, a caption changed in the inspector, the supplier's phone
// number joined through the relation wizard and a barcode of the receipt
// number dropped on the head band, the style saved under a name; the next run
// with that style prints both on every receipt (the barcodes are read back
// from the rendered pages), and a run after the phone is deleted again does
// not.
#include "format/Kelm24FmtF.h"

#include "controls/Events.h"
#include "controls/Menus.h"
#include "controls/SelectPnl.h"
#include "format/DesignerInspector.h"
#include "format/VRSQLBuilder.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "options/Kelm24OptF.h"
#include "tests/format/DesignerDriver.h"
#include "tests/options/OptionFormFixture.h"

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kelm24;
using namespace kelm24::test;

namespace {

const QString Style = QStringLiteral("进货单加电话");

// The receipt layout as the option form makes it, keeping what each printed
// page showed. Without a meta-object of its own it is the receipt layout by
// class name, so it reads and stores the receipt layout's styles.
class TRecordedReceipt : public TfrmKelm24Fmt {
public:
    using TfrmKelm24Fmt::TfrmKelm24Fmt;

    struct TPage {
        QString number, supplier, total1;
        QMap<QString, QString> added;  // designer-added data texts by name
        QImage image;
    };
    static inline std::vector<TPage> pages;

    static TVRFormatForm* Create(QWidget* owner)
    {
        auto* form = TQVForm::Create<TRecordedReceipt>(owner);
        form->QuickRep1->OnEndPage = [form](TQuickRep*) { form->RecordPage(); };
        return form;
    }

    // The pages as a headless preview leaves them, rendered.
    void Preview() override
    {
        TfrmKelm24Fmt::Preview();
        for (int n = 1; n <= ReportPrinter()->PageCount() && n <= int(pages.size()); ++n)
            pages[size_t(n - 1)].image = ReportPrinter()->PageImage(n, 200);
    }

private:
    void RecordPage()
    {
        auto text = [this](const char* name) {
            auto* label = findChild<TQRCustomLabel*>(QString::fromLatin1(name));
            return label ? label->PrintedText() : QString();
        };
        TPage page{text("txtTG002"), text("txtTG005"), text("lblTotal1"), {}, {}};
        for (const QString& name : DesignerAdded)
            if (auto* added = findChild<TQVQRDBText*>(name)) page.added.insert(name, added->PrintedText());
        pages.push_back(page);
    }
};

class ReceiptDesignTest : public OptionFormFixture {
protected:
    ReceiptDesignTest()
    {
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &TRecordedReceipt::Create);
        TRecordedReceipt::pages.clear();
    }
    ~ReceiptDesignTest() override
    {
        if (optionForm) {
            if (optionForm->DesignForm) {
                answer = mrNo;
                static_cast<TfrmVRBaseFmt*>(optionForm->DesignForm)->Designer()->Stop();
            }
            delete optionForm;
        }
        Settle();
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
        TRecordedReceipt::pages.clear();
    }

    // The receipt option form on receipts 001 to 003 of type 3401, whatever their state.
    void OpenOptionForm()
    {
        optionForm = StartForm<TfrmKelm24>();
        ASSERT_TRUE(started) << optionForm->ErrorTexts.toStdString();
        TControlEvents::Fire(optionForm->edtTG001->OnEnter, optionForm->edtTG001);
        optionForm->edtTG001->SetText(QStringLiteral("3401"));
        TControlEvents::Fire(optionForm->edtTG001->OnExit, optionForm->edtTG001);
        optionForm->splTG002->SetBeginText(QStringLiteral("20231228001"));
        optionForm->splTG002->SetFinalText(QStringLiteral("20231228003"));
        // Approved or not, printed or not: 003 is void.
        optionForm->cboTG013->SetItemIndex(3);
        optionForm->cboPrintSts->SetItemIndex(2);
    }
    void ChooseStyle(const QString& style)
    {
        const int index = static_cast<int>(optionForm->cboFormStyleName->Items().indexOf(style));
        ASSERT_GE(index, 0) << optionForm->cboFormStyleName->Items().join(QLatin1Char('|')).toStdString();
        optionForm->cboFormStyleName->SetItemIndex(index);
    }
    // The option form's design button on the chosen style; the layout shown.
    TfrmVRBaseFmt* StartDesign()
    {
        optionForm->btnDesignClick();
        auto* layout = dynamic_cast<TfrmVRBaseFmt*>(optionForm->DesignForm);
        EXPECT_NE(layout, nullptr) << shown.join(QLatin1Char('|')).toStdString();
        if (!layout) return nullptr;
        EXPECT_TRUE(layout->Designer()->Active());
        // The option form waits disabled; the layout and its menu work.
        EXPECT_FALSE(optionForm->isEnabled());
        EXPECT_TRUE(layout->isEnabled());
        EXPECT_TRUE(layout->PopupMenu1->isEnabled());
        layout->resize(1100, 900);
        layout->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(layout));
        return layout;
    }
    // Ctrl+F12 ends design mode without saving; the option form is given back.
    void StopDesign(TfrmVRBaseFmt* layout)
    {
        answer = mrNo;
        QTest::keyClick(layout, Qt::Key_F12, Qt::ControlModifier);
        answer = mrYes;
        EXPECT_EQ(optionForm->DesignForm, nullptr);
        Settle();
    }
    // A preview run with the chosen style; the pages it printed.
    std::vector<TRecordedReceipt::TPage> Run()
    {
        TRecordedReceipt::pages.clear();
        shown.clear();
        optionForm->btnPreviewClick();
        Settle();
        return TRecordedReceipt::pages;
    }
    QString Phone(const QString& supplier)
    {
        TDataLayer direct{install.Settings()};
        const QVector<TSqlRow> rows = direct.Select(QStringLiteral("SELECT MA005 FROM PURMA WHERE MA001=:K0"), {supplier});
        return rows.isEmpty() ? QString() : rows[0][0].toString();
    }
    // The barcodes zbarimg reads on a page.
    QStringList Barcodes(const QImage& page)
    {
        const QString png = scratch.filePath(QStringLiteral("page.png"));
        if (!page.save(png)) return {QStringLiteral("(not saved)")};
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        if (!zbar.waitForFinished(60000)) return {QStringLiteral("(zbarimg did not finish)")};
        return QString::fromUtf8(zbar.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Where pictures for a person to look at go.
    QString ShotDir() const
    {
        const QByteArray dir = qgetenv("KELM24_SCREENSHOT_DIR");
        return dir.isEmpty() ? scratch.path() : QString::fromLocal8Bit(dir);
    }
    template <class T>
    static T* Find(QWidget* form, const char* name)
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    TfrmKelm24* optionForm = nullptr;
    QTemporaryDir scratch;
};

}  // namespace

TEST_F(ReceiptDesignTest, ADesignedStylePrintsItsAddedFieldsWithEachReceiptsDataUntilTheyAreDeleted)
{
    OpenOptionForm();
    ASSERT_FALSE(HasFailure());
    answer = mrYes;
    QString phoneName, barcodeName;
    {
        TfrmVRBaseFmt* layout = StartDesign();
        ASSERT_NE(layout, nullptr);
        TDreamDesigner* designer = layout->Designer();
        auto* head = Find<TQRBand>(layout, "QRGroup");
        ASSERT_NE(head, nullptr);

        // The approval mark: dragged with the mouse (snapped to the grid of 4),
        // nudged with the keys, widened by its corner handle and a key.
        auto* mark = Find<TQRPrintable>(layout, "txtTG013");
        ASSERT_NE(mark, nullptr);
        ASSERT_EQ(mark->geometry(), QRect(600, 30, 140, 18));
        const QPoint press = mark->mapTo(layout, QPoint(5, 5));
        QTest::mousePress(mark, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(layout, press + QPoint(-10, 4));
        QTest::mouseMove(layout, press + QPoint(-21, 9));
        QTest::mouseRelease(mark, Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(mark->pos(), QPoint(580, 40));
        EXPECT_EQ(designer->Selection(), QList<QWidget*>{mark});
        QTest::keyClick(layout, Qt::Key_Left);
        QTest::keyClick(layout, Qt::Key_Up, Qt::ControlModifier);
        EXPECT_EQ(mark->pos(), QPoint(579, 36));
        const QPoint corner = mark->mapTo(head, QPoint(mark->width() - 1, mark->height() - 1));
        QTest::mousePress(head, Qt::LeftButton, {}, corner);
        QTest::mouseMove(layout, head->mapTo(layout, corner) + QPoint(-24, 0));
        QTest::mouseRelease(head, Qt::LeftButton, {}, corner);
        QTest::keyClick(layout, Qt::Key_Right, Qt::ShiftModifier);
        EXPECT_EQ(mark->geometry(), QRect(579, 36, 118, 18));
        EXPECT_EQ(mark->parentWidget(), head);

        // A caption of the totals changed in the inspector.
        designer->Select(Find<QWidget>(layout, "lblTotal1"));
        designer->ShowInspector();
        EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Caption"), QStringLiteral("进货总额")));

        // The supplier master joined on the receipt's supplier for the phone
        // number, the receipt table itself for a barcode of its number.
        ASSERT_TRUE(JoinTable(layout, QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
                              {{QStringLiteral("MA005"), false}}))
            << shown.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(JoinTable(layout, QStringLiteral("PURTG"), {}, {{QStringLiteral("TG002"), true}}));
        ASSERT_EQ(layout->Builder()->RelationCount(), 2);
        // The head band prints the report's rows (its expression names the
        // data set in lower case) and takes both.
        ASSERT_TRUE(DropField(layout, QStringLiteral("RT0MA005"), head, QPoint(300, 58)))
            << shown.join(QLatin1Char('|')).toStdString();
        ASSERT_TRUE(DropField(layout, QStringLiteral("RT1TG002"), head, QPoint(4, 0)));
        ASSERT_EQ(layout->DesignerAdded.size(), 2);
        phoneName = layout->DesignerAdded[0];
        barcodeName = layout->DesignerAdded[1];
        auto* barcode = Find<TQvQRDBBarcode>(layout, barcodeName.toLatin1().constData());
        ASSERT_NE(barcode, nullptr);
        EXPECT_EQ(barcode->parentWidget(), head);
        // Made low enough to stay clear of the table under the title.
        designer->ShowInspector();
        EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Height"), QStringLiteral("48")));
        EXPECT_EQ(barcode->height(), 48);

        // Saved as a new style: a name too long and "<New>" are refused with
        // their messages and asked again; nothing done so far is lost.
        shown.clear();
        TDialogService::ScriptInputs({QString(30, QChar(0x957f)), QStringLiteral("<new>"), Style});
        layout->nuSaveClick();
        ASSERT_TRUE(layout->Saved) << shown.join(QLatin1Char('|')).toStdString();
        ASSERT_GE(shown.size(), 3);
        EXPECT_TRUE(shown[shown.size() - 3].startsWith(QStringLiteral("自定单据格式名称不可大于 40 码")))
            << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(shown[shown.size() - 2].startsWith(QStringLiteral("请输入一个新的凭证格式档名称")));
        EXPECT_TRUE(shown.last().startsWith(QStringLiteral("保存格式档成功")));
        EXPECT_EQ(layout->StyleName, Style);
        StopDesign(layout);
    }
    // The option form lists the new style and has it chosen.
    EXPECT_EQ(optionForm->cboFormStyleName->Text(), Style) << optionForm->cboFormStyleName->Items().join(QLatin1Char('|')).toStdString();

    // The next run: each receipt's page shows its supplier's phone and a
    // barcode of its own number, the moved mark and the new caption.
    std::vector<TRecordedReceipt::TPage> pages = Run();
    ASSERT_GE(pages.size(), 3u) << shown.join(QLatin1Char('|')).toStdString();
    QStringList numbers;
    for (const auto& page : pages) {
        ASSERT_TRUE(page.added.contains(phoneName)) << page.number.toStdString();
        EXPECT_FALSE(page.added[phoneName].isEmpty());
        EXPECT_EQ(page.added[phoneName], Phone(page.supplier)) << page.number.toStdString();
        EXPECT_EQ(Barcodes(page.image), QStringList{page.number});
        if (!numbers.contains(page.number)) numbers << page.number;
    }
    EXPECT_EQ(numbers, (QStringList{QStringLiteral("20231228001"), QStringLiteral("20231228002"), QStringLiteral("20231228003")}));
    EXPECT_EQ(pages.back().total1, QStringLiteral("进货总额"));
    pages.front().image.save(ShotDir() + QStringLiteral("/receipt-designed.png"));

    // Designed again on the style: the phone is deleted and the style saved.
    {
        ChooseStyle(Style);
        TfrmVRBaseFmt* layout = StartDesign();
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(Find<QWidget>(layout, "txtTG013")->geometry(), QRect(579, 36, 118, 18));
        auto* phone = layout->findChild<TQVQRDBText*>(phoneName);
        ASSERT_NE(phone, nullptr);
        // The field list shows the placed phone greyed and refuses it.
        QTreeWidgetItem* item = PickExtending(layout, QStringLiteral("RT0MA005"));
        ASSERT_NE(item, nullptr);
        EXPECT_FALSE(layout->Designer()->DragOver(ExtendingList(layout), Find<QWidget>(layout, "QRGroup"), QPoint(5, 5)));
        // The phone and the receipt number selected together: the menu offers
        // no delete, the Delete key takes the phone only.
        auto* number = Find<QWidget>(layout, "txtTG002");
        QTest::mouseClick(phone, Qt::LeftButton, {}, QPoint(3, 3));
        QTest::mouseClick(number, Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 3));
        EXPECT_EQ(layout->Designer()->Selection(), (QList<QWidget*>{phone, number}));
        layout->PopupMenu1Popup();
        EXPECT_FALSE(layout->miDel->Enabled());
        QTest::keyClick(layout, Qt::Key_Delete);
        EXPECT_EQ(layout->findChild<TQVQRDBText*>(phoneName), nullptr);
        EXPECT_EQ(Find<QWidget>(layout, "txtTG002"), number);
        EXPECT_EQ(layout->Designer()->Selection(), QList<QWidget*>{number});
        EXPECT_EQ(layout->DesignerAdded, QStringList{barcodeName});
        layout->nuSaveClick();  // the style exists: its overwrite is confirmed
        ASSERT_TRUE(layout->Saved) << shown.join(QLatin1Char('|')).toStdString();
        StopDesign(layout);
    }
    pages = Run();
    ASSERT_GE(pages.size(), 3u) << shown.join(QLatin1Char('|')).toStdString();
    for (const auto& page : pages) {
        EXPECT_FALSE(page.added.contains(phoneName));
        EXPECT_EQ(Barcodes(page.image), QStringList{page.number});
    }
}

// What the receipt layout adds to the drop rules and the inspector's checks,
// and a database that refuses the save: each refused with its message while
// everything done so far stays.
TEST_F(ReceiptDesignTest, BadInputOnTheReceiptLayoutIsRefusedAndTheWorkKept)
{
    OpenOptionForm();
    ASSERT_FALSE(HasFailure());
    answer = mrYes;
    const Variant server = optionForm->AppServer;
    optionForm->AppServer = Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TRefusingServer>(optionForm->AppServer)));
    ChooseStyle(QStringLiteral("<New>"));
    TfrmVRBaseFmt* layout = StartDesign();
    ASSERT_NE(layout, nullptr);
    TDreamDesigner* designer = layout->Designer();
    auto* head = Find<TQRBand>(layout, "QRGroup");
    auto* detail = Find<TQRBand>(layout, "QRDetailBand");
    ASSERT_TRUE(head && detail);
    ASSERT_TRUE(JoinTable(layout, QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
                          {{QStringLiteral("MA005"), false}, {QStringLiteral("MA003"), false}}));
    ASSERT_TRUE(DropField(layout, QStringLiteral("RT0MA005"), head, QPoint(300, 58)));
    const QString phoneName = layout->DesignerAdded.value(0);

    // Inspector values the layout cannot print: a label for a data set, an
    // expression that does not read, an alignment without that name.
    shown.clear();
    auto* number = Find<TQRDBText>(layout, "txtTG002");
    designer->Select(number);
    designer->ShowInspector();
    EXPECT_FALSE(designer->Inspector()->EditValue(QStringLiteral("DataSet"), QStringLiteral("lblCompany")));
    EXPECT_EQ(number->DataSetObject(), static_cast<QObject*>(layout->ClientDataSet1));
    designer->Select(head);
    EXPECT_FALSE(designer->Inspector()->EditValue(QStringLiteral("Expression"), QStringLiteral("clientdataset1.TG001+")));
    EXPECT_FALSE(designer->Inspector()->EditValue(QStringLiteral("Expression"), QStringLiteral("ClientDataSet9.TG001")));
    const QString grouping = QStringLiteral("clientdataset1.TG001+clientdataset1.TG002");
    EXPECT_EQ(head->property("Expression").toString(), grouping);
    designer->Select(Find<QWidget>(layout, "lblPageNo"));
    EXPECT_FALSE(designer->Inspector()->EditValue(QStringLiteral("Alignment"), QStringLiteral("taMiddle")));
    ASSERT_EQ(shown.size(), 4) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(shown[0], QStringLiteral("'lblCompany' is not a data set of the layout"));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Expression error"))) << shown[1].toStdString();
    EXPECT_TRUE(shown[2].contains(QStringLiteral("unknown data set 'ClientDataSet9'"))) << shown[2].toStdString();
    EXPECT_TRUE(shown[3].contains(QStringLiteral("taMiddle"))) << shown[3].toStdString();

    // A band grouping another data set takes no new field and no label.
    designer->Select(head);
    ASSERT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Expression"), QStringLiteral("ClientDataSet2.TG001")));
    ASSERT_NE(PickExtending(layout, QStringLiteral("RT0MA003")), nullptr);
    EXPECT_FALSE(designer->DragOver(ExtendingList(layout), head, QPoint(400, 200)));
    EXPECT_FALSE(designer->DragDrop(ExtendingList(layout), head, QPoint(400, 200)));
    EXPECT_FALSE(designer->DragOver(layout->findChild<QObject*>(QStringLiteral("tbLabel")), head, QPoint(400, 200)));
    EXPECT_EQ(layout->DesignerAdded, QStringList{phoneName});
    EXPECT_TRUE(designer->DragOver(ExtendingList(layout), detail, QPoint(400, 2)));
    ASSERT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Expression"), grouping));

    // The layout's hidden fields wait beside the page: one is brought onto
    // its own band, never onto another band or below its own.
    auto* fields = layout->findChild<QTreeWidget*>(QStringLiteral("lvFields"));
    ASSERT_NE(fields, nullptr);
    auto* hidden = Find<TQRDBText>(layout, "txtTG003");
    ASSERT_EQ(hidden->parentWidget(), head);
    ASSERT_NE(PickListItem(fields, QStringLiteral("txtTG003")), nullptr);
    EXPECT_FALSE(designer->DragOver(fields, detail, QPoint(300, 2)));
    EXPECT_FALSE(designer->DragOver(fields, head, QPoint(300, head->height() + 2)));
    ASSERT_TRUE(designer->DragDrop(fields, head, QPoint(520, 58)));
    EXPECT_EQ(hidden->pos(), QPoint(520, 58));
    EXPECT_TRUE(hidden->Enabled());

    // The database refuses the save: the message, and the work in the local file.
    shown.clear();
    TDialogService::ScriptInputs({Style});
    layout->nuSaveClick();
    EXPECT_FALSE(layout->Saved);
    EXPECT_TRUE(shown.join(QLatin1Char('|')).contains(QStringLiteral("保存格式档失败，请重新编辑保存！！")))
        << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_NE(layout->findChild<TQVQRDBText*>(phoneName), nullptr);
    QFile file(layout->LocalLayoutFile(Style));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("object %1: TQVQRDBText").arg(phoneName))) << text.toStdString();
    StopDesign(layout);

    // With the database back, a new design session loads the local file and
    // saves it for good; the next run prints the phone.
    optionForm->AppServer = server;
    layout = StartDesign();
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->findChild<TQVQRDBText*>(phoneName), nullptr);
    TDialogService::ScriptInputs({Style, Style});
    layout->nuLoadLocClick();
    ASSERT_NE(layout->findChild<TQVQRDBText*>(phoneName), nullptr);
    EXPECT_EQ(Find<QWidget>(layout, "txtTG003")->pos(), QPoint(520, 58));
    int table = -1, field = -1;
    EXPECT_TRUE(layout->Builder()->FindFieldByComponent(phoneName, table, field));
    layout->nuSaveClick();
    ASSERT_TRUE(layout->Saved) << shown.join(QLatin1Char('|')).toStdString();
    StopDesign(layout);
    ChooseStyle(Style);
    const std::vector<TRecordedReceipt::TPage> pages = Run();
    ASSERT_FALSE(pages.empty()) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(pages.front().added.value(phoneName), Phone(pages.front().supplier));
}

// The designer on the receipt layout with the inspector on a field and the
// popup menu open, grabbed for a person to look at.
TEST_F(ReceiptDesignTest, ScreenshotOfTheReceiptDesignerWithInspectorAndPopupMenu)
{
    OpenOptionForm();
    ASSERT_FALSE(HasFailure());
    TfrmVRBaseFmt* layout = StartDesign();
    ASSERT_NE(layout, nullptr);
    TDreamDesigner* designer = layout->Designer();
    auto* number = Find<TQRDBText>(layout, "txtTG002");
    ASSERT_NE(number, nullptr);
    QTest::mouseClick(number, Qt::LeftButton, {}, QPoint(5, 5));
    designer->ShowInspector();
    EXPECT_EQ(designer->Inspector()->Component(), number);
    QTest::mouseClick(number, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_TRUE(layout->PopupMenu1->isVisible());
    EXPECT_FALSE(layout->miDel->Enabled()) << "a field of the layout itself is not deleted";

    auto* head = Find<TQRBand>(layout, "QRGroup");
    const QRect part(QPoint(0, 0), head->mapTo(layout, QPoint(head->width() + 40, head->height() + 60)));
    const QImage shot = DesignerScreenshot(layout, part, designer->Inspector(), layout->PopupMenu1);
    ASSERT_TRUE(shot.save(ShotDir() + QStringLiteral("/receipt-designer.png")));
    layout->PopupMenu1->hide();
    // The selected field carries its handles: its corner is black.
    const QImage grabbed = layout->grab().toImage();
    EXPECT_EQ(QColor(grabbed.pixel(number->mapTo(layout, QPoint(0, 0)))), QColor(Qt::black));
}
