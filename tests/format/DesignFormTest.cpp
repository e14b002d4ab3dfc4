// Designing a layout on the format base form as a user does: design mode,
// moving and resizing a field, a caption changed in the inspector, the
// supplier's phone number from a related table joined with the relation
// wizard and a barcode of the receipt number dropped on the band, the style
// saved; then a new run with that style prints the new fields with each
// receipt's data (the barcodes are read back from the rendered page), and a
// field deleted again.
#include "tests/format/TestFmt.h"

#include "controls/Events.h"
#include "controls/Menus.h"
#include "format/DesignerInspector.h"
#include "format/DreamDesigner.h"
#include "format/VRSQLBuilder.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "options/Kelm24OptF.h"
#include "tests/format/DesignerDriver.h"
#include "tests/options/OptionFormFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

const QString Style = QStringLiteral("加电话");
const QString Select = QStringLiteral("Select TG001,TG002,TG003,TG005 ");
const QString From = QStringLiteral(" From $$PURTG AS PURTG ");
const QString Where = QStringLiteral(" Where TG001='3401' ");
const QString OrderBy = QStringLiteral(" Order by TG001,TG002 ");


class DesignFormTest : public OptionFormFixture {
protected:
    DesignFormTest()
    {
        answer = mrYes;
        server = Variant(std::make_shared<TAppServer>(install.Settings()));
        TAppServerObject(server).Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                         QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    }

    std::unique_ptr<TTestFmt> Layout(const QString& style = Style)
    {
        return TTestFmt::Open(server, style, TSampleCompany::CompanyCode, TSampleCompany::LeaderUser,
                              local.path() + QLatin1Char('/'));
    }
    // A layout in design mode, as the option form's design button leaves it.
    std::unique_ptr<TTestFmt> Design()
    {
        auto form = Layout();
        if (form->IsExtendedSQLEmpty()) form->ApplyExtendedSQL(Select, From, 1, OrderBy, QString(), Where, QString());
        form->InitDesignInfo(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, QStringLiteral("PURTG"),
                             QStringLiteral("DEMO"), TSampleCompany::CompanyCode);
        form->resize(1000, 700);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->StartDesigner();
        return form;
    }
    static TQRBand* Band(QWidget* form) { return form->findChild<TQRBand*>(QStringLiteral("QRBand1")); }
    static QTreeWidget* Extending(QWidget* form) { return ExtendingList(form); }

    // Joins Table on the pairs and offers Offered (column -> barcode) through the wizard.
    void Join(QWidget* form, const QString& table, const QList<QPair<QString, QString>>& pairs, const QMap<QString, bool>& offered)
    {
        EXPECT_TRUE(JoinTable(form, table, pairs, offered)) << shown.join(QLatin1Char('|')).toStdString();
    }
    QString Phone(const QString& supplier)
    {
        TDataLayer direct{install.Settings()};
        const QVector<TSqlRow> rows = direct.Select(QStringLiteral("SELECT MA005 FROM PURMA WHERE MA001=:K0"), {supplier});
        return rows.isEmpty() ? QString() : rows[0][0].toString();
    }

    Variant server;
    QTemporaryDir local;
};

}  // namespace

TEST_F(DesignFormTest, AddedFieldsAreSavedAndPrintWithEachReceiptsData)
{
    QString phoneName, barcodeName;
    {
        auto form = Design();
        TDreamDesigner* designer = form->Designer();
        ASSERT_NE(designer, nullptr);
        ASSERT_TRUE(designer->Active());
        EXPECT_TRUE(designer->Allowed(daInsert));
        TQRBand* band = Band(form.get());
        auto* title = form->findChild<TQRLabel*>(QStringLiteral("lblTitle"));

        // Move the title with the mouse, widen it by its handle, rename it in the inspector.
        const QPoint press = title->mapTo(form.get(), QPoint(5, 5));
        QTest::mousePress(title, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(form.get(), press + QPoint(20, 10));
        QTest::mouseMove(form.get(), press + QPoint(41, 18));
        QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(5, 5));
        // On the grid of 4, and kept inside its band (40 high).
        EXPECT_EQ(title->pos(), QPoint(340, 23));
        const QPoint corner = title->mapTo(band, QPoint(title->width() - 1, title->height() - 1));
        const QPoint cornerOnForm = band->mapTo(form.get(), corner);
        QTest::mousePress(band, Qt::LeftButton, {}, corner);
        QTest::mouseMove(form.get(), cornerOnForm + QPoint(24, 0));
        QTest::mouseRelease(band, Qt::LeftButton, {}, corner);
        EXPECT_EQ(title->width(), 224);
        designer->ShowInspector();
        EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Caption"), QStringLiteral("采购进货单(附电话)")));
        EXPECT_EQ(title->Caption(), QStringLiteral("采购进货单(附电话)"));
        // The band is made tall enough for a barcode.
        designer->Select(band);
        EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("Height"), QStringLiteral("150")));
        EXPECT_EQ(band->height(), 150);

        // The relation wizard: the supplier master for the phone number, and
        // the main table itself (no join) for a barcode of the receipt number.
        Join(form.get(), QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
             {{QStringLiteral("MA005"), false}});
        Join(form.get(), QStringLiteral("PURTG"), {}, {{QStringLiteral("TG002"), true}});
        ASSERT_EQ(form->Builder()->RelationCount(), 2);
        ASSERT_EQ(Extending(form.get())->topLevelItemCount(), 2);

        ASSERT_TRUE(DropField(form.get(), QStringLiteral("RT0MA005"), band, QPoint(520, 5)));
        ASSERT_TRUE(DropField(form.get(), QStringLiteral("RT1TG002"), band, QPoint(10, 40)));
        ASSERT_EQ(form->DesignerAdded.size(), 2);
        phoneName = form->DesignerAdded[0];
        barcodeName = form->DesignerAdded[1];
        auto* phone = form->findChild<TQVQRDBText*>(phoneName);
        ASSERT_NE(phone, nullptr);
        EXPECT_TRUE(phoneName.startsWith(QStringLiteral("ExTxtRT0MA005")));
        EXPECT_EQ(phone->parentWidget(), band);
        EXPECT_EQ(phone->geometry(), QRect(520, 5, 100, 13));
        EXPECT_EQ(phone->DataField(), QStringLiteral("RT0MA005"));
        EXPECT_EQ(phone->Hint(), QStringLiteral("PURMA.MA005"));
        auto* barcode = form->findChild<TQvQRDBBarcode*>(barcodeName);
        ASSERT_NE(barcode, nullptr);
        EXPECT_TRUE(barcodeName.startsWith(QStringLiteral("ExBcRT1TG002")));
        EXPECT_EQ(barcode->DataField(), QStringLiteral("RT1TG002"));
        EXPECT_EQ(barcode->height(), 105);
        EXPECT_EQ(designer->Selection(), QList<QWidget*>{barcode});
        // The builder knows where each field went; the list shows it placed.
        int t = -1, f = -1;
        ASSERT_TRUE(form->Builder()->FindFieldByComponent(phoneName, t, f));
        EXPECT_EQ(QPair(t, f), QPair(0, 0));
        EXPECT_EQ(Extending(form.get())->topLevelItem(0)->toolTip(0), phoneName);
        // A placed field cannot be dropped again.
        EXPECT_FALSE(DropField(form.get(), QStringLiteral("RT0MA005"), band, QPoint(600, 60)));
        EXPECT_EQ(form->DesignerAdded.size(), 2);

        form->nuSaveClick();
        ASSERT_TRUE(form->Saved) << shown.join(QLatin1Char('|')).toStdString();
        EXPECT_TRUE(shown.last().startsWith(QStringLiteral("保存格式档成功")));

        // Ctrl+F12 ends design mode; the form is let go (no save this time).
        answer = mrNo;
        QTest::keyClick(form.get(), Qt::Key_F12, Qt::ControlModifier);
        EXPECT_FALSE(designer->Active());
        EXPECT_FALSE(form->isVisible());
        answer = mrYes;
    }

    // A print run with the style: the fields come back and print each receipt's data.
    auto run = Layout();
    EXPECT_EQ(run->DesignerAdded, (QStringList{phoneName, barcodeName}));
    auto* title = run->findChild<TQRLabel*>(QStringLiteral("lblTitle"));
    EXPECT_EQ(title->Caption(), QStringLiteral("采购进货单(附电话)"));
    EXPECT_EQ(title->geometry(), QRect(340, 23, 224, 17));
    auto* phone = run->findChild<TQVQRDBText*>(phoneName);
    auto* barcode = run->findChild<TQvQRDBBarcode*>(barcodeName);
    ASSERT_NE(phone, nullptr);
    ASSERT_NE(barcode, nullptr);
    EXPECT_EQ(barcode->DataSetObject(), run->ClientDataSet1);
    ASSERT_TRUE(run->SQLBuilderInUse());
    EXPECT_EQ(run->Builder()->FieldComponentName(0, 0), phoneName);

    run->ClientDataSet1->SetRemoteServer(server);
    run->ClientDataSet1->SetProviderName(QStringLiteral("Provider1"));
    ASSERT_TRUE(run->BuildExtendedSQL(Select, From, OrderBy, QString(), Where, QString()));
    run->ApplyExtendedSQL(Select, From, 0, OrderBy, QString(), Where, QString());
    run->RunTessivar();
    QString extended;
    run->ExtendSQL(Select + From + Where + OrderBy, extended);
    EXPECT_TRUE(extended.contains(QStringLiteral("LEFT JOIN $$PURMA AS RT0")));
    ASSERT_EQ(run->OpenReportData(extended), 1) << extended.toStdString() << " " << [&] {
        try {
            run->ClientDataSet1->Open();
        } catch (const std::exception& e) {
            return std::string(e.what());
        }
        return std::string();
    }();
    QStringList numbers;
    for (run->ClientDataSet1->First(); !run->ClientDataSet1->Eof(); run->ClientDataSet1->Next()) {
        const QString supplier = run->ClientDataSet1->FieldByName(QStringLiteral("TG005")).AsString();
        EXPECT_EQ(phone->PrintText(), Phone(supplier));
        EXPECT_FALSE(phone->PrintText().isEmpty());
        numbers << run->ClientDataSet1->FieldByName(QStringLiteral("TG002")).AsString();
    }
    ASSERT_GE(numbers.size(), 2);

    // The page as printed: the barcodes read back are the receipt numbers.
    ASSERT_TRUE(run->PrepareReport());
    const QString png = local.filePath(QStringLiteral("page1.png"));
    ASSERT_TRUE(run->ReportPrinter()->PageImage(1, 200).save(png));
    QProcess zbar;
    zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
    ASSERT_TRUE(zbar.waitForFinished(60000));
    const QStringList decoded = QString::fromUtf8(zbar.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(decoded.isEmpty());
    EXPECT_EQ(decoded.size(), std::min<qsizetype>(numbers.size(), decoded.size()));
    for (const QString& d : decoded) EXPECT_TRUE(numbers.contains(d.trimmed())) << d.toStdString();
    EXPECT_TRUE(decoded.contains(numbers.first()));
}

TEST_F(DesignFormTest, DeletingAnAddedFieldUnplacesItAndTheSaveForgetsIt)
{
    QString phoneName;
    {
        auto form = Design();
        Join(form.get(), QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
             {{QStringLiteral("MA005"), false}});
        ASSERT_TRUE(DropField(form.get(), QStringLiteral("RT0MA005"), Band(form.get()), QPoint(520, 5)));
        phoneName = form->DesignerAdded.value(0);
        form->nuSaveClick();
        ASSERT_TRUE(form->Saved);
    }
    auto form = Design();
    TDreamDesigner* designer = form->Designer();
    auto* phone = form->findChild<TQVQRDBText*>(phoneName);
    ASSERT_NE(phone, nullptr);
    auto* original = form->findChild<TQVQRDBText*>(QStringLiteral("txtTG003"));

    // Delete is offered for designer-added data texts and barcodes only.
    designer->Select(form->findChild<TQRLabel*>(QStringLiteral("lblTitle")));
    form->PopupMenu1Popup();
    EXPECT_FALSE(form->miDel->Enabled());
    designer->Select(phone);
    form->PopupMenu1Popup();
    EXPECT_TRUE(form->miDel->Enabled());
    EXPECT_TRUE(designer->Allowed(daDelete));
    designer->Select(original);
    EXPECT_FALSE(designer->Allowed(daDelete));  // not added with the designer
    designer->Select(phone);
    form->miDel->Click();
    EXPECT_EQ(form->findChild<TQVQRDBText*>(phoneName), nullptr);
    EXPECT_TRUE(form->DesignerAdded.isEmpty());
    EXPECT_FALSE(form->Builder()->FieldPlaced(0, 0));
    // Unplaced, the field may be dropped again.
    Extending(form.get())->setCurrentItem(Extending(form.get())->topLevelItem(0));
    EXPECT_TRUE(form->Designer()->DragOver(Extending(form.get()), Band(form.get()), QPoint(5, 5)));
    form->nuSaveClick();
    ASSERT_TRUE(form->Saved);

    auto again = Layout();
    EXPECT_EQ(again->findChild<TQVQRDBText*>(phoneName), nullptr);
    EXPECT_TRUE(again->DesignerAdded.isEmpty());
    EXPECT_EQ(again->Builder()->RelationCount(), 1);
}

TEST_F(DesignFormTest, DropsFollowTheBandAndFieldRules)
{
    auto form = Design();
    TDreamDesigner* designer = form->Designer();
    TQRBand* band = Band(form.get());
    // A group band of another data set takes no new field and no field of another band.
    auto* other = new TQRGroup(form->QuickRep1);
    other->setObjectName(QStringLiteral("QRGroupOther"));
    other->SetExpression(QStringLiteral("ClientDataSet2.TG001"));
    other->setGeometry(38, 300, 740, 40);
    auto* own = new TQRGroup(form->QuickRep1);
    own->setObjectName(QStringLiteral("QRGroupOwn"));
    own->SetExpression(QStringLiteral("ClientDataSet1.TG001"));
    own->setGeometry(38, 360, 740, 40);
    Join(form.get(), QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
         {{QStringLiteral("MA005"), false}});
    QTreeWidget* list = Extending(form.get());
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_FALSE(designer->DragOver(list, other, QPoint(5, 5)));
    EXPECT_TRUE(designer->DragOver(list, own, QPoint(5, 5)));
    EXPECT_FALSE(designer->DragOver(list, form->findChild<QWidget*>(QStringLiteral("lblTitle")), QPoint(5, 5)));

    // The label tool makes a new label.
    QObject* tool = form->findChild<QObject*>(QStringLiteral("tbLabel"));
    ASSERT_NE(tool, nullptr);
    EXPECT_FALSE(designer->DragOver(tool, other, QPoint(5, 5)));
    ASSERT_TRUE(designer->DragDrop(tool, band, QPoint(600, 100)));
    auto* label = qobject_cast<TQRLabel*>(designer->Selection().value(0));
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->objectName().startsWith(QStringLiteral("ExLbl")));
    EXPECT_EQ(label->Caption(), QStringLiteral("新建标签"));
    EXPECT_EQ(label->geometry(), QRect(600, 100, 100, 13));
    EXPECT_TRUE(form->DesignerAdded.contains(label->objectName()));

    // A dropped data text takes its print handler from the text type set in the inspector.
    ASSERT_TRUE(designer->DragDrop(list, band, QPoint(400, 60)));
    auto* added = qobject_cast<TQVQRDBText*>(designer->Selection().value(0));
    ASSERT_NE(added, nullptr);
    EXPECT_FALSE(static_cast<bool>(added->OnPrint));
    designer->ShowInspector();
    EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("TextType"), QStringLiteral("4")));
    ASSERT_TRUE(static_cast<bool>(added->OnPrint));
    QString value = QStringLiteral("0512-1234");
    added->OnPrint(added, value);
    EXPECT_EQ(value, QStringLiteral("*********"));  // the layout's asterisk handler
    EXPECT_TRUE(designer->Inspector()->EditValue(QStringLiteral("TextType"), QStringLiteral("0")));
    EXPECT_FALSE(static_cast<bool>(added->OnPrint));

    // The layout's own fields move within their own band only.
    auto* fields = form->findChild<QTreeWidget*>(QStringLiteral("lvFields"));
    ASSERT_NE(fields, nullptr);
    auto* txt = form->findChild<TQRDBText*>(QStringLiteral("txtTG002"));
    txt->SetEnabled(false);
    ASSERT_NE(PickListItem(fields, QStringLiteral("txtTG002")), nullptr);
    EXPECT_FALSE(designer->DragOver(fields, own, QPoint(5, 5)));
    EXPECT_FALSE(designer->DragOver(fields, band, QPoint(5, band->height() + 3)));
    ASSERT_TRUE(designer->DragDrop(fields, band, QPoint(60, 30)));
    EXPECT_EQ(txt->pos(), QPoint(60, 30));
    EXPECT_TRUE(txt->Enabled());
    EXPECT_EQ(designer->Selection(), QList<QWidget*>{txt});
}

TEST_F(DesignFormTest, ScreenshotOfTheDesignerWithInspectorAndPopupMenu)
{
    auto form = Design();
    TDreamDesigner* designer = form->Designer();
    auto* title = form->findChild<TQRLabel*>(QStringLiteral("lblTitle"));
    designer->Select(title);
    designer->Select(form->findChild<QWidget*>(QStringLiteral("txtTG003")), true);
    designer->Select(title);
    designer->ShowInspector();
    QTest::mouseClick(title, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_TRUE(form->PopupMenu1->isVisible());
    EXPECT_FALSE(form->miDel->Enabled());

    const QImage shot = DesignerScreenshot(form.get(), QRect(0, 0, 820, 260), designer->Inspector(), form->PopupMenu1);
    const QByteArray dir = qgetenv("KELM24_SCREENSHOT_DIR");
    const QString file = (dir.isEmpty() ? local.path() : QString::fromLocal8Bit(dir)) + QStringLiteral("/designer.png");
    ASSERT_TRUE(shot.save(file));
    form->PopupMenu1->hide();
    // The selection handles are drawn over the form: the title's corner is black.
    const QImage grabbed = form->grab().toImage();
    const QPoint corner = title->mapTo(form.get(), QPoint(0, 0));
    EXPECT_EQ(QColor(grabbed.pixel(corner)), QColor(Qt::black));
}

// The option form's design button on a layout, and the designer's stop
// giving the option form back.
TEST_F(DesignFormTest, TheOptionFormDesignsAndIsGivenBackWhenDesignStops)
{
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &TTestFmt::CreateForm);
    QPointer<TfrmKelm24> optionForm = StartForm<TfrmKelm24>();
    ASSERT_TRUE(started) << optionForm->ErrorTexts.toStdString();
    // A receipt type, so the conditions make a statement.
    TControlEvents::Fire(optionForm->edtTG001->OnEnter, optionForm->edtTG001);
    optionForm->edtTG001->SetText(QStringLiteral("3401"));
    TControlEvents::Fire(optionForm->edtTG001->OnExit, optionForm->edtTG001);
    optionForm->btnDesignClick();
    QPointer<TTestFmt> layout = dynamic_cast<TTestFmt*>(optionForm->DesignForm);
    ASSERT_NE(layout, nullptr) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(optionForm->isEnabled());
    ASSERT_TRUE(layout->Designer()->Active());
    // The builder works on the report's statement and knows the layout's fields.
    EXPECT_FALSE(layout->IsExtendedSQLEmpty()) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(layout->Builder()->FromText().contains(QStringLiteral("$$PURTG")));
    EXPECT_EQ(layout->Builder()->MainTable(), QStringLiteral("PURTG"));
    EXPECT_TRUE(layout->Builder()->LayoutFieldNames().contains(QStringLiteral("TG002")));
    EXPECT_NE(layout->findChild<QWidget*>(QStringLiteral("frmTessivar")), nullptr);

    answer = mrNo;  // no save
    QTest::keyClick(layout.data(), Qt::Key_F12, Qt::ControlModifier);
    EXPECT_EQ(optionForm->DesignForm, nullptr);
    EXPECT_TRUE(optionForm->isEnabled());
    Settle();
    EXPECT_TRUE(layout.isNull());

    // With the builder switched off there is no field list and no extension.
    answer = mrYes;
    optionForm->UseSQLBuilder = false;
    optionForm->btnDesignClick();
    layout = dynamic_cast<TTestFmt*>(optionForm->DesignForm);
    ASSERT_NE(layout, nullptr);
    EXPECT_FALSE(layout->SQLBuilderInUse());
    EXPECT_EQ(layout->findChild<QWidget*>(QStringLiteral("frmTessivar")), nullptr);
    QString extended;
    layout->ExtendSQL(QStringLiteral("Select TG001 From $$PURTG AS PURTG "), extended);
    EXPECT_EQ(extended, QStringLiteral("Select TG001 From $$PURTG AS PURTG "));
    answer = mrNo;
    layout->Designer()->Stop();
    Settle();
    delete optionForm;
    Settle();
    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
}

// A database that refuses the save: the added field and the builder's state go
// to the local file, and loading it brings the work back.
TEST_F(DesignFormTest, ARefusedSaveKeepsTheAddedFieldsInTheLocalFile)
{
    const Variant real = server;
    server = Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TRefusingServer>(real)));
    QString phoneName;
    {
        auto form = Design();
        Join(form.get(), QStringLiteral("PURMA"), {{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}},
             {{QStringLiteral("MA005"), false}});
        ASSERT_TRUE(DropField(form.get(), QStringLiteral("RT0MA005"), Band(form.get()), QPoint(520, 5)));
        phoneName = form->DesignerAdded.value(0);
        shown.clear();
        form->nuSaveClick();
        EXPECT_FALSE(form->Saved);
        EXPECT_TRUE(shown.join(QLatin1Char('|')).contains(QStringLiteral("保存格式档失败，请重新编辑保存！！")))
            << shown.join(QLatin1Char('|')).toStdString();
        QFile file(form->LocalLayoutFile(Style));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(text.contains(QStringLiteral("object %1: TQVQRDBText").arg(phoneName))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Relations"))) << text.toStdString();
        answer = mrNo;
        form->Designer()->Stop();
        answer = mrYes;
    }
    server = real;
    auto fresh = Layout();
    EXPECT_EQ(fresh->findChild<QWidget*>(phoneName), nullptr);
    TDialogService::ScriptInputs({Style});
    fresh->nuLoadLocClick();
    auto* phone = fresh->findChild<TQVQRDBText*>(phoneName);
    ASSERT_NE(phone, nullptr);
    EXPECT_EQ(phone->DataField(), QStringLiteral("RT0MA005"));
    EXPECT_TRUE(fresh->DesignerAdded.contains(phoneName));
    ASSERT_EQ(fresh->Builder()->RelationCount(), 1);
    EXPECT_EQ(fresh->Builder()->FieldComponentName(0, 0), phoneName);
}
