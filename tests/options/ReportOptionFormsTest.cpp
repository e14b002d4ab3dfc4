#include "format/engine/ClientDataSet.h"
#include "runtime/SqlCondition.h"
#include "options/Kelm24OptF.h"
#include "runtime/DateText.h"
#include "tests/options/OptionFormFixture.h"

#include <QTest>

using namespace kelm24;
using kelm24::test::OptionFormFixture;

namespace {

// What the last format form of a run saw and did.
struct TFormatLog {
    QString ClassName, StyleName, SQL, ReportTitle, VoucherName, PrintDate, ApprovalDocType;
    int Rows = -1, PrintMode = -1, SendMode = -1, DateType = 0;
    bool Previewed = false, Printed = false, Exported = false, ApprovalLookup = false, Freed = false;
    bool EveryPageSignIn = false, EveryPageNote = false, EveryPageTotal = false;
    QStringList NoteLines, SignInLines;
};
TFormatLog formatLog;
// The step of a run in which the next layout fails ("Preview", "Print", "PageInfo"), as a
// layout whose printer or stored design cannot be reached does.
QString failIn;

// A layout that opens its data through the option form's application
// server, as the report layouts do, and records the rest.
class TRecordingFormat : public QWidget, public TVRFormatForm, public TVRFormatLayout {
public:
    TRecordingFormat(QWidget* owner, const QString& className) : QWidget(owner)
    {
        formatLog = TFormatLog();
        formatLog.ClassName = className;
        auto* title = new QObject(this);
        title->setObjectName(QStringLiteral("lblCMSMA003"));
        title->setProperty("Caption", QString());
        for (const char* name : {"txtTH018", "txtTG017", "txtTH009"}) {
            auto* text = new QObject(this);
            text->setObjectName(QString::fromLatin1(name));
            text->setProperty("DataField", QString::fromLatin1(name).mid(3));
        }
    }
    ~TRecordingFormat() override { formatLog.Freed = true; }
    QWidget* Window() override { return this; }
    void InitDataSets() override {}
    bool SQLBuilderInUse() override { return false; }
    void SetSQLBuilderOn(bool) override {}
    bool BuildExtendedSQL(const QString&, const QString&, const QString&, const QString&, const QString&,
                          const QString&) override { return false; }
    bool IsExtendedSQLEmpty() override { return true; }
    void ApplyExtendedSQL(const QString&, const QString&, int, const QString&, const QString&, const QString&,
                          const QString&) override {}
    void InitDesignInfo(const QString&, const QString&, const QString&, const QString&, const QString&) override {}
    void RunTessivar() override {}
    void ExtendSQL(const QString& SQL, QString& Result) override { Result = SQL; }
    void HideBuilderFields() override {}
    int OpenReportData(const QString& SQL) override
    {
        formatLog.SQL = SQL;
        formatLog.StyleName = StyleName;
        formatLog.ReportTitle = ReportTitle;
        formatLog.SendMode = SendMode;
        formatLog.DateType = DateType;
        auto* form = qobject_cast<TfrmBaseGene*>(parentWidget());
        TClientDataSet rows(nullptr, QStringLiteral("ClientDataSet1"));
        rows.SetRemoteServer(form->AppServer);
        rows.SetProviderName(QStringLiteral("Provider1"));
        rows.SetCommandText(SQL);
        try {
            rows.Open();
        } catch (const Exception& e) {
            ADD_FAILURE() << "the statement does not run: " << e.Message().toStdString() << "\n" << SQL.toStdString();
            return -1;
        }
        formatLog.Rows = rows.RecordCount();
        return formatLog.Rows > 0 ? 1 : 0;
    }
    void Preview() override
    {
        if (failIn == QLatin1String("Preview")) throw Exception(QStringLiteral("预览失败"));
        formatLog.Previewed = true;
        formatLog.PrintMode = PrintMode;
    }
    void Print() override
    {
        if (failIn == QLatin1String("Print")) throw Exception(QStringLiteral("打印机不能使用"));
        formatLog.Printed = true;
        formatLog.PrintMode = PrintMode;
    }
    bool PrepareReport() override { return true; }
    bool ExportPages(const QString&, int) override { return formatLog.Exported = true; }
    int UsedPrinterIndex() override { return 0; }
    void PageInfo(int& paper, double& width, double& length, int& units) override
    {
        if (failIn == QLatin1String("PageInfo")) throw Exception(QStringLiteral("格式档读不到"));
        paper = 9, width = 210, length = 297, units = 0;
    }
    void StartDesigner() override { designing_ = true; }
    void CloseDesigner() override { designing_ = false; }
    // The designer window lost the focus: the layout asks its option form to
    // close the designer and then notes it is done, as the designer does.
    void DesignerDeactivated()
    {
        QPointer<QWidget> self(this);
        qobject_cast<TfrmVRBaseOpt*>(parentWidget())->CloseDesigner();
        if (!self) {
            ADD_FAILURE() << "the layout was freed inside its own handler";
            return;
        }
        deactivations_++;
    }
    bool designing_ = false;
    int deactivations_ = 0;
    void SetApprovalDocType(const QString& DocType) override { formatLog.ApprovalDocType = DocType; }
    void SetApprovalLookup(bool On, const QString&, const QString&) override { formatLog.ApprovalLookup = On; }
    void SetFrameText(int index, const QString& text) override
    {
        (index == 0 ? formatLog.VoucherName : formatLog.PrintDate) = text;
    }
    void SetEveryPageFlags(bool signIn, bool note, bool total) override
    {
        formatLog.EveryPageSignIn = signIn, formatLog.EveryPageNote = note, formatLog.EveryPageTotal = total;
    }
    void SetNoteLines(const QStringList& lines) override { formatLog.NoteLines = lines; }
    void SetSignInLines(const QStringList& lines) override { formatLog.SignInLines = lines; }
};

TVRFormatForm* DetailLayout(QWidget* owner) { return new TRecordingFormat(owner, QStringLiteral("TfrmKelm24Fmt")); }
TVRFormatForm* SummaryLayout(QWidget* owner) { return new TRecordingFormat(owner, QStringLiteral("TfrmKelm24Fmt_1")); }

class ReceiptFormTest : public OptionFormFixture {
protected:
    ReceiptFormTest()
    {
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &DetailLayout);
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt_1"), &SummaryLayout);
    }
    ~ReceiptFormTest() override
    {
        failIn.clear();
        delete form;
        Settle();
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt_1"), nullptr);
    }
    TfrmKelm24* Start(int params = 5)
    {
        form = StartForm<TfrmKelm24>(params);
        return form;
    }
    // Types a receipt type and leaves the edit, as a user would.
    void EnterType(const QString& type)
    {
        TControlEvents::Fire(form->edtTG001->OnEnter, form->edtTG001);
        form->edtTG001->SetText(type);
        TControlEvents::Fire(form->edtTG001->OnExit, form->edtTG001);
    }
    QPointer<TfrmKelm24> form;
};

}  // namespace

TEST_F(ReceiptFormTest, StartsWithTheReportSettingsOfTheProgram)
{
    Start();
    ASSERT_TRUE(started) << form->ErrorTexts.toStdString();
    EXPECT_EQ(form->VersionText, QStringLiteral("20011207"));
    EXPECT_EQ(form->MainTable, QStringLiteral("PURTG"));
    EXPECT_EQ(form->OptionBase, 2);
    EXPECT_EQ(form->OptionCount, 8);
    EXPECT_EQ(form->FormatClassName, QStringLiteral("TfrmKelm24Fmt"));
    EXPECT_EQ(form->DocTypeSystem, QStringLiteral("34"));
    EXPECT_EQ(form->SQLType, 0);
    EXPECT_TRUE(form->PowerData.IsArray());
    ASSERT_GE(form->CompanyInfo.size(), 2);
    EXPECT_FALSE(form->CompanyInfo[1].isEmpty());
    EXPECT_EQ(form->cboDateType->ItemIndex(), form->DateType() - 1);
    EXPECT_EQ(form->edPrintDate->Text(),
              FormatDateStyle(form->DateType(), form->DateSeparator(), DateToValue(QDate::currentDate())));
    EXPECT_TRUE(form->cboFormStyleName->Items().contains(QStringLiteral("<New>")));
    EXPECT_TRUE(form->tsFEP->TabVisible());
    EXPECT_EQ(form->cboSendStatus->Text(), QStringLiteral("全部"));
    EXPECT_EQ(form->SendMode, 0);
    // The leader may print, preview and design.
    EXPECT_TRUE(form->btnOk->Enabled());
    EXPECT_TRUE(form->btnPreview->Enabled());
    EXPECT_TRUE(form->chkPriceRight->Checked());
    // Condition sets keep the controls of the condition pages only.
    EXPECT_TRUE(form->SavedSpecs.contains(QStringLiteral("edtTG001.text;"))) << form->SavedSpecs.toStdString();
    EXPECT_TRUE(form->SavedSpecs.contains(QStringLiteral("splTG002.style;")));
    EXPECT_TRUE(form->SavedSpecs.contains(QStringLiteral("chk01.checked;")));
    EXPECT_TRUE(form->SavedSpecs.contains(QStringLiteral("cboTG013.itemindex;")));
    EXPECT_FALSE(form->SavedSpecs.contains(QStringLiteral("edPrintDate")));
    EXPECT_FALSE(form->SavedSpecs.contains(QStringLiteral("edtFaxEmailData")));
    EXPECT_FALSE(form->SavedSpecs.contains(QStringLiteral("Memo1")));
}

TEST_F(ReceiptFormTest, NoModuleListMeansNoFaxEmailPage)
{
    form = TQVForm::Create<TfrmKelm24>();
    form->SetModulePath(QStringLiteral("/opt/kelm24/libKelm24C.so"));
    form->HostObject = host;
    Variant params = HostParams();
    params[4] = QStringLiteral("none");
    ASSERT_TRUE(form->InitFromHost(params));
    EXPECT_FALSE(form->tsFEP->TabVisible());
}

TEST_F(ReceiptFormTest, DocumentTypePresetsFooterSignOffAndTotals)
{
    Start();
    EnterType(QStringLiteral("3401"));
    EXPECT_EQ(form->txtTG001->Caption(), QStringLiteral("一般进货单"));
    EXPECT_EQ(form->VoucherName, QStringLiteral("进货单"));
    EXPECT_EQ(form->edtNoteID->Text(), QStringLiteral("F01"));
    EXPECT_TRUE(form->edtNote1->Text().startsWith(QStringLiteral("1. 本单一式三联")));
    EXPECT_EQ(form->edtSignInID->Text(), QStringLiteral("S01"));
    EXPECT_EQ(form->edtSignIn1->Text(), QStringLiteral("核准:"));
    EXPECT_TRUE(form->chkTotalPrint->Enabled());
    EXPECT_TRUE(form->chkTotalPrint->Checked());
    EXPECT_FALSE(form->chkNoteEPPrint->Checked());

    // 3403: totals not on every page, no sign-off of its own: the program's.
    EnterType(QStringLiteral("3403"));
    EXPECT_FALSE(form->chkTotalPrint->Checked());
    EXPECT_EQ(form->edtSignInID->Text(), QStringLiteral("S01"));

    // A purchase order type is no receipt type: E/100007, type and name cleared.
    shown.clear();
    EnterType(QStringLiteral("3301"));
    EXPECT_TRUE(form->edtTG001->Text().isEmpty());
    EXPECT_TRUE(form->txtTG001->Caption().isEmpty());
    EXPECT_TRUE(form->ValidationFailed);
    EXPECT_EQ(shown.size(), 1);

    // Leaving the code edit unchanged asks nothing; an unknown footer code warns.
    shown.clear();
    TControlEvents::Fire(form->edtNoteID->OnEnter, form->edtNoteID);
    TControlEvents::Fire(form->edtNoteID->OnExit, form->edtNoteID);
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_FALSE(form->LoadFooter(QStringLiteral("ZZZ"), true));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(form->edtNote1->Text().isEmpty());
}

TEST_F(ReceiptFormTest, ConditionsOfTheDialogAndTheirStatement)
{
    Start();
    EnterType(QStringLiteral("3401"));
    form->cboPrintSts->SetText(QStringLiteral("全部"));
    ASSERT_TRUE(form->BuildConditionResult()) << shown.join(QStringLiteral(" / ")).toStdString();
    const Variant captions = form->ConditionResult[1], values = form->ConditionResult[2];
    ASSERT_EQ(values.HighBound(), 8);
    EXPECT_EQ(captions[1].ToString(), QStringLiteral("TG001"));
    EXPECT_EQ(captions[5].ToString(), QStringLiteral("PrintSts"));
    EXPECT_EQ(captions[7].ToString(), QStringLiteral("传送状态"));
    EXPECT_EQ(values[1].ToString(), QStringLiteral("='3401'"));
    EXPECT_EQ(values[4].ToString(), QStringLiteral("='Y' "));
    EXPECT_EQ(values[5].ToString(), QString());
    EXPECT_EQ(values[7].ToString(), QString());
    EXPECT_EQ(values[8].ToString(), QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));

    // A preview runs the statement against the company's receipts.
    ASSERT_TRUE(form->ExecuteReport(true));
    EXPECT_EQ(formatLog.ClassName, QStringLiteral("TfrmKelm24Fmt"));
    EXPECT_TRUE(formatLog.Previewed);
    EXPECT_EQ(formatLog.PrintMode, 0);
    EXPECT_TRUE(formatLog.Freed);
    EXPECT_GT(formatLog.Rows, 0);
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("(TG001='3401')"))) << formatLog.SQL.toStdString();
    EXPECT_FALSE(formatLog.SQL.contains(QStringLiteral("(TG012")));
    EXPECT_TRUE(formatLog.ReportTitle.endsWith(QStringLiteral(" - 进货单打印")));
    EXPECT_EQ(formatLog.VoucherName, QStringLiteral("进货单"));
    EXPECT_EQ(formatLog.PrintDate, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")));
    EXPECT_EQ(formatLog.SignInLines.value(0), QStringLiteral("核准:"));
    EXPECT_TRUE(formatLog.EveryPageTotal);
    EXPECT_FALSE(formatLog.ApprovalLookup);

    // Print with only the unprinted receipts: fewer or as many rows.
    const int all = formatLog.Rows;
    form->cboPrintSts->SetText(QStringLiteral("未打印"));
    ASSERT_TRUE(form->ExecuteReport(false) || formatLog.Rows == 0);
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("(TG012=0)"))) << formatLog.SQL.toStdString();
    EXPECT_LE(formatLog.Rows, all);
}

TEST_F(ReceiptFormTest, SummarySwitchChoosesTheLayoutAndItsKeys)
{
    Start();
    form->chk01->Toggle();
    EXPECT_EQ(form->FormatClassName, QStringLiteral("TfrmKelm24Fmt_1"));
    EXPECT_TRUE(form->chk02->Checked() && form->chk05->Checked());
    EXPECT_TRUE(form->grp02->Enabled());
    EXPECT_FALSE(form->chkNewPage->Enabled());
    form->chk06->Toggle();
    EnterType(QStringLiteral("3401"));
    form->cboPrintSts->SetText(QStringLiteral("全部"));
    ASSERT_TRUE(form->ExecuteReport(true));
    EXPECT_EQ(formatLog.ClassName, QStringLiteral("TfrmKelm24Fmt_1"));
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("GROUP BY"))) << formatLog.SQL.toStdString();
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("CMSMC.MC002 AS CMSMC002")));
    EXPECT_GT(formatLog.Rows, 0);

    form->chk01->Toggle();
    EXPECT_EQ(form->FormatClassName, QStringLiteral("TfrmKelm24Fmt"));
    EXPECT_FALSE(form->chk06->Checked());
    EXPECT_FALSE(form->grp02->Enabled());
}

TEST_F(ReceiptFormTest, RefusesRunsWithoutTypeOrLayout)
{
    Start();
    EXPECT_FALSE(form->ExecuteReport(true));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(shown.last().contains(QStringLiteral("选择进货单别"))) << shown.last().toStdString();
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption1);

    RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
    EnterType(QStringLiteral("3401"));
    shown.clear();
    EXPECT_FALSE(form->ExecuteReport(true));
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("TfrmKelm24Fmt")));
}

TEST_F(ReceiptFormTest, HostRunsTakeTheHostsTypeAndNumber)
{
    Start();
    ASSERT_TRUE(form->ExecuteForHost(Variant::ArrayOf({QStringLiteral("3401"), QString()}), false));
    EXPECT_TRUE(formatLog.Printed);
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("(TG001='3401')")));
    EXPECT_FALSE(formatLog.SQL.contains(QStringLiteral("(TG002=")));
    const int all = formatLog.Rows;

    // One receipt of the type: its first number in the sample.
    TClientDataSet first(nullptr, QStringLiteral("first"));
    first.SetRemoteServer(form->AppServer);
    first.SetProviderName(QStringLiteral("Provider1"));
    first.SetCommandText(QStringLiteral("SELECT TG002 FROM $$PURTG AS PURTG WHERE TG001='3401' ORDER BY TG002"));
    first.Open();
    ASSERT_GT(first.RecordCount(), 0);
    const QString number = first.FieldByName(QStringLiteral("TG002")).AsString();
    ASSERT_TRUE(form->ExecuteForHost(Variant::ArrayOf({QStringLiteral("3401"), number}), true));
    // The number goes into the statement as a quoted literal, a quote in it doubled.
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("(TG002=%1)").arg(SqlQuoted(number)))) << formatLog.SQL.toStdString();
    EXPECT_LT(formatLog.Rows, all);

    // An unknown type ends the host run.
    EXPECT_FALSE(form->ExecuteForHost(Variant::ArrayOf({QStringLiteral("9999"), QString()}), false));
    // A quote in the host's text stays inside the value.
    form->ExecuteForHost(Variant::ArrayOf({QStringLiteral("3401"), QStringLiteral("x' OR '1'='1")}), true);
    EXPECT_TRUE(formatLog.SQL.contains(QStringLiteral("'x'' OR ''1''=''1'"))) << formatLog.SQL.toStdString();
}

TEST_F(ReceiptFormTest, SendWaysChooseTheAddressSource)
{
    Start();
    form->rgSendType->SetItemIndex(1);
    form->rgSendTypeClick();
    EXPECT_EQ(form->cboSendStatus->Text(), QStringLiteral("未传送"));
    EXPECT_TRUE(form->cboSendWay->Enabled());
    form->cboSendWay->SetItemIndex(0);
    form->cboSendWayChange();
    EXPECT_EQ(form->SendMode, 2);
    EXPECT_EQ(form->SendAddressField, QStringLiteral("PURMA010"));
    EXPECT_FALSE(form->edtFaxEmailData->Enabled());
    form->cboSendWay->SetItemIndex(3);
    form->cboSendWayChange();
    EXPECT_EQ(form->SendMode, 1);
    EXPECT_EQ(form->lblFaxEmail->Caption(), QStringLiteral("E-Mail"));
    EXPECT_TRUE(form->edtFaxEmailData->Enabled());
    EXPECT_EQ(form->edtFaxEmailData->Color(), clRequiredField);
    // A typed address is required before a run.
    EnterType(QStringLiteral("3401"));
    shown.clear();
    EXPECT_FALSE(form->ExecuteReport(true));
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsFEP);
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(ReceiptFormTest, StyleNamesAreShortAndStylesMatchTheForm)
{
    Start();
    form->show();
    QApplication::setActiveWindow(form);
    form->pgOption->SetActivePage(form->tsOption2);
    form->cboFormStyleName->SetText(QStringLiteral("A").repeated(20));
    QWidget* editor = form->cboFormStyleName->lineEdit();
    editor->setFocus();
    editor->setProperty("cursorPosition", 20);
    QTest::keyClick(editor, Qt::Key_B);
    EXPECT_EQ(form->cboFormStyleName->Text().size(), 20);
    EXPECT_EQ(shown.size(), 1);
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(form->cboFormStyleName->Text().size(), 19);
    // Tab on a full name is no character: it leaves the combo without a message.
    form->cboFormStyleName->SetText(QStringLiteral("A").repeated(20));
    shown.clear();
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QStringLiteral(" / ")).toStdString();
    EXPECT_NE(QApplication::focusWidget(), editor);
    EXPECT_EQ(form->cboFormStyleName->Text().size(), 20);

    EXPECT_TRUE(form->StyleMatches(QString()));
    EXPECT_TRUE(form->StyleMatches(QStringLiteral("chk01:TBitCheckBox=0")));
    EXPECT_FALSE(form->StyleMatches(QStringLiteral("chk01:TBitCheckBox=1")));
    EXPECT_FALSE(form->StyleMatches(QStringLiteral("chkGone:TBitCheckBox=0")));
    form->chk01->Toggle();
    EXPECT_TRUE(form->StyleMatches(QStringLiteral("chk01:TBitCheckBox=1\r\ncboTG013:TComboBox=0")));
}

TEST_F(ReceiptFormTest, ACorrectedTypeIsNoLongerRefused)
{
    Start();
    // A purchase order type fails the check and holds the page.
    EnterType(QStringLiteral("3301"));
    ASSERT_TRUE(form->ValidationFailed);
    const int page = form->pgOption->ActivePageIndex();
    EXPECT_FALSE(form->pgOption->SelectNextPage(true));

    // The user types a receipt type: the check passes and the pages change again.
    EnterType(QStringLiteral("3401"));
    EXPECT_FALSE(form->ValidationFailed);
    EXPECT_TRUE(form->pgOption->SelectNextPage(true));
    EXPECT_NE(form->pgOption->ActivePageIndex(), page);

    // Emptying the type after a failed check also ends the refusal.
    EnterType(QStringLiteral("3301"));
    ASSERT_TRUE(form->ValidationFailed);
    EnterType(QString());
    EXPECT_FALSE(form->ValidationFailed);
}

TEST_F(ReceiptFormTest, ALayoutThatFailsEndsTheRunWithAMessage)
{
    Start();
    EnterType(QStringLiteral("3401"));
    form->cboPrintSts->SetText(QStringLiteral("全部"));

    // The buttons' handlers must not let the failure out into the event loop.
    for (const QString& step : {QStringLiteral("Preview"), QStringLiteral("Print")}) {
        failIn = step;
        shown.clear();
        bool ran = true;
        EXPECT_NO_THROW(ran = form->ExecuteReport(step == QLatin1String("Preview"))) << step.toStdString();
        EXPECT_FALSE(ran) << step.toStdString();
        EXPECT_TRUE(formatLog.Freed) << step.toStdString();
        ASSERT_EQ(shown.size(), 1) << step.toStdString();
        EXPECT_TRUE(shown[0].contains(step == QLatin1String("Preview") ? QStringLiteral("预览失败")
                                                                       : QStringLiteral("打印机不能使用")));
    }
    failIn = QStringLiteral("Print");
    EXPECT_NO_THROW(form->btnOk->Click());
    EXPECT_TRUE(formatLog.Freed);
    EXPECT_FALSE(form->ExecuteForHost(Variant::ArrayOf({QStringLiteral("3401"), QString()}), false));
    EXPECT_TRUE(formatLog.Freed);

    // The paper format of a layout that cannot be read.
    failIn = QStringLiteral("PageInfo");
    shown.clear();
    EXPECT_NO_THROW(form->btnPaperSize->Click());
    EXPECT_TRUE(formatLog.Freed);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("格式档读不到")));

    // Without a failure the paper format is told.
    failIn.clear();
    shown.clear();
    form->btnPaperSize->Click();
    EXPECT_TRUE(formatLog.Freed);
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(ReceiptFormTest, TheDesignerClosesFromItsOwnLayout)
{
    Start();
    EnterType(QStringLiteral("3401"));
    form->btnDesign->Click();
    auto* layout = dynamic_cast<TRecordingFormat*>(form->DesignForm);
    ASSERT_NE(layout, nullptr);
    EXPECT_TRUE(layout->designing_);
    EXPECT_FALSE(form->isEnabled());
    QPointer<QWidget> window = layout;

    // The designer's window loses the focus: its layout closes it through the
    // option form and goes on with its own work.
    layout->DesignerDeactivated();
    EXPECT_EQ(form->DesignForm, nullptr);
    EXPECT_TRUE(form->isEnabled());
    Settle();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(formatLog.Freed);

    // A second design session starts afresh; the controller can close it too.
    form->btnDesign->Click();
    ASSERT_NE(form->DesignForm, nullptr);
    form->CloseDesigner();
    EXPECT_EQ(form->DesignForm, nullptr);
    Settle();
    EXPECT_TRUE(formatLog.Freed);
}

TEST_F(ReceiptFormTest, HostRunsLeaveTheDialogAsItWas)
{
    // The user keeps the style "宽版" for receipt type 3401 in the user-defined settings.
    QFile userDef(QDir(install.Dir()).filePath(QStringLiteral("client/UserDef.ini")));
    ASSERT_TRUE(userDef.open(QIODevice::WriteOnly));
    userDef.write(QStringLiteral("[VoucherFormatDef]\nKELM24_3401=宽版\n").toUtf8());
    userDef.close();
    Start();
    ASSERT_EQ(TAppServerObject(form->AppServer)
                  .RunInsUpdSQL(false, Variant(QStringLiteral("[Layout]")),
                                Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser, QString(),
                                                  QStringLiteral("TfrmKelm24Fmt"), QStringLiteral("宽版"),
                                                  QStringLiteral("0"), QString()}),
                                0),
              1);
    form->LoadStyleList();
    ASSERT_TRUE(form->cboFormStyleName->Items().contains(QStringLiteral("宽版")));

    // In the dialog the type brings its style.
    EnterType(QStringLiteral("3401"));
    EXPECT_EQ(form->cboFormStyleName->Text(), QStringLiteral("宽版"));

    // After a host print and a host export the dialog still does.
    for (int run = 0; run < 2; ++run) {
        const Variant conditions = Variant::ArrayOf({QStringLiteral("3401"), QString()});
        if (run == 0)
            ASSERT_TRUE(form->ExecuteForHost(conditions, false));
        else
            ASSERT_TRUE(form->ExportForHost(conditions, 3, QDir(install.Dir()).filePath(QStringLiteral("out")), 96,
                                            QString()));
        EXPECT_FALSE(form->HostRun);
        EXPECT_FALSE(form->HostExport);
        form->cboFormStyleName->SetItemIndex(0);
        EnterType(QString());
        EnterType(QStringLiteral("3401"));
        EXPECT_EQ(form->cboFormStyleName->Text(), QStringLiteral("宽版")) << run;
    }
}

TEST_F(ReceiptFormTest, TheHostHearsOfTheShowOnceTheFormIsReady)
{
    Start();
    bool shownFlag = false;
    int width = 0;
    int notices = 0;
    form->OnShow = TNotifyEvent{nullptr, [&](QObject*) {
                                    ++notices;
                                    shownFlag = form->Shown;
                                    width = form->width();
                                }};
    form->show();
    EXPECT_EQ(notices, 1);
    // Every level of the form has done its part of the showing.
    EXPECT_TRUE(shownFlag);
    EXPECT_GE(width, 655);
    form->hide();
    form->show();
    EXPECT_EQ(notices, 2);
}

TEST_F(ReceiptFormTest, SavedControlsListPanelsWhoseNamesEndAlike)
{
    Start();
    // A panel whose name is the tail of splTG002's.
    auto* shorter = new TSelectPanel(form->tsOption1);
    shorter->setObjectName(QStringLiteral("plTG002"));
    form->BuildSavedControlList();
    EXPECT_TRUE(form->SavedSpecs.contains(QStringLiteral(";plTG002.style;"))) << form->SavedSpecs.toStdString();
    EXPECT_TRUE((QStringLiteral(";") + form->SavedSpecs).contains(QStringLiteral(";splTG002.style;")))
        << form->SavedSpecs.toStdString();
}

TEST_F(ReceiptFormTest, AStyleWithoutStoredConditionsIsListed)
{
    Start();
    const TAppServerObject server(form->AppServer);
    ASSERT_EQ(server.RunInsUpdSQL(false, Variant(QStringLiteral("[Layout]")),
                                  Variant::ArrayOf({TSampleCompany::CompanyCode, TSampleCompany::LeaderUser, QString(),
                                                    QStringLiteral("TfrmKelm24Fmt"), QStringLiteral("窄版"),
                                                    QStringLiteral("0"), QString()}),
                                  0),
              1);
    // A layout row written by another program may hold no condition text at all.
    // Layouts are not the free statement's to write: the database is changed directly.
    ASSERT_GT(TDataLayer(install.Settings()).Exec(QStringLiteral("UPDATE WARRANT SET NT006=NULL WHERE NT002=?"), {QStringLiteral("窄版")}), 0);
    form->LoadStyleList();
    EXPECT_TRUE(form->cboFormStyleName->Items().contains(QStringLiteral("窄版")));
}
