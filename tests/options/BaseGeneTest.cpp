#include "controls/Grids.h"
#include "tests/options/OptionFormFixture.h"

#include <QKeyEvent>
#include <QTest>
#include <QTimer>

using namespace kelm24;
using kelm24::test::OptionFormFixture;

namespace {

// An option form of the receipt program, as a report form would be: its name
// matches the program code, and it collects two conditions of its own.
class TfrmKelm24Probe : public TfrmBaseGene {
public:
    explicit TfrmKelm24Probe(QWidget* owner = nullptr) : TfrmBaseGene(owner)
    {
        setObjectName(QStringLiteral("frmKelm24"));
        edtCode = new TEdit(tsOption1);
        edtCode->setObjectName(QStringLiteral("edtCode"));
        memo = new TMemo(tsOption1);
        memo->setObjectName(QStringLiteral("moNote"));
        grid = new TStringGrid(tsOption1);
        grid->setObjectName(QStringLiteral("grdLines"));
        grid->SetColCount(3);
        grid->SetRowCount(2);
        edtLast = new TEdit(tsOption1);
        edtLast->setObjectName(QStringLiteral("edtLast"));
        memo->move(0, 40);
        grid->setGeometry(0, 100, 200, 80);
        edtLast->move(0, 200);
    }
    void SetProgramInfo() override
    {
        TfrmBaseGene::SetProgramInfo();
        SetOptionCount(2);
    }
    bool GetOptionCaptions(Variant& captions, int count) override
    {
        if (!TfrmBaseGene::GetOptionCaptions(captions, count)) return false;
        if (!skipCaption) captions[OptionBase] = Variant::ArrayOf({QStringLiteral("编号"), QStringLiteral("edtCode")});
        captions[OptionBase + 1] = Variant::ArrayOf({QStringLiteral("备注"), QStringLiteral("moNote")});
        if (shortCaptions) captions.Redim(OptionCount - 1);
        return true;
    }
    bool GetOptionValues(Variant& values, int count) override
    {
        if (!TfrmBaseGene::GetOptionValues(values, count)) return false;
        values[OptionBase] = edtCode->Text();
        values[OptionBase + 1] = memo->Text();
        return true;
    }
    bool AutoExecute(int mode) override
    {
        autoRuns << mode;
        return true;
    }
    void btnOkClick() override { ++okClicks; }

    TEdit *edtCode, *edtLast;
    TMemo* memo;
    TStringGrid* grid;
    QList<int> autoRuns;
    int okClicks = 0;
    bool skipCaption = false, shortCaptions = false;
};

class BaseGeneTest : public OptionFormFixture {
protected:
    ~BaseGeneTest() override
    {
        delete form;
        Settle();
    }
    TfrmKelm24Probe* Start(int params = 5)
    {
        form = StartForm<TfrmKelm24Probe>(params);
        return form;
    }
    QPointer<TfrmKelm24Probe> form;
};

Variant HostCommand(int mode, bool listOk, const QStringList& names)
{
    Variant items = Variant::CreateArray(0, int(names.size()) - 1);
    for (int i = 0; i < names.size(); ++i) items[i] = Variant::ArrayOf({QStringLiteral("x"), names[i]});
    Variant list = Variant::ArrayOf({items, Variant::CreateArray(0, -1)});
    Variant c = Variant::ArrayOf({mode, Variant::ArrayOf({listOk, list})});
    return Variant::ArrayOf({QStringLiteral("command"), c});
}

void PressKey(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key), mods);
}

}  // namespace

TEST(BaseGeneModule, ProgramCodeFromTheModuleName)
{
    EXPECT_EQ(TfrmBaseGene::ProgramCodeFromModule(QStringLiteral("/opt/x/libKelm24C.so")), QStringLiteral("KELM24"));
    EXPECT_EQ(TfrmBaseGene::ProgramCodeFromModule(QStringLiteral("C:/QVS/Kelm24C.Dll")), QStringLiteral("KELM24"));
    // A stand-alone program drops two characters; six always stay.
    EXPECT_EQ(TfrmBaseGene::ProgramCodeFromModule(QStringLiteral("/opt/x/Kelm24CE")), QStringLiteral("KELM24"));
    EXPECT_EQ(TfrmBaseGene::ProgramCodeFromModule(QStringLiteral("/opt/x/libInv1C.so")), QStringLiteral("INV1C"));
}

TEST_F(BaseGeneTest, StartsWithTheHostAndTheInProcessServer)
{
    Start();
    ASSERT_TRUE(started) << form->ErrorTexts.toStdString();
    EXPECT_EQ(form->UserCode, TSampleCompany::LeaderUser);
    EXPECT_EQ(form->CompanyCode, TSampleCompany::CompanyCode);
    EXPECT_EQ(form->DatabaseName, QStringLiteral("DEMO"));
    EXPECT_EQ(form->ProgramCode, QStringLiteral("KELM24"));
    EXPECT_EQ(form->ServerProgId, QStringLiteral("KELM24S.Class1"));
    EXPECT_EQ(form->ProgramName, QStringLiteral("进货单打印"));
    EXPECT_EQ(form->SystemTitle, QStringLiteral("恒润贸易 ERP"));
    EXPECT_EQ(form->Caption(), QStringLiteral("进货单打印[恒润贸易 ERP]"));
    EXPECT_TRUE(form->LocalServer);
    EXPECT_TRUE(form->AppServer.IsObject());
    EXPECT_TRUE(form->Validator.IsObject());
    EXPECT_TRUE(form->Counter.IsObject());
    EXPECT_FALSE(form->F2Window.IsObject());  // the base form asks for no pick window
    EXPECT_TRUE(form->HostCommand.IsNull());
    EXPECT_TRUE(form->ErrorCodes.isEmpty());
    EXPECT_EQ(form->OptionBase, 1);
    EXPECT_EQ(form->OptionCount, 3);
    EXPECT_FALSE(form->isVisible());

    // The call works once: a second start changes nothing.
    Variant other = HostParams();
    other[1] = QStringLiteral("OTHER");
    EXPECT_FALSE(form->InitFromHost(other));
    EXPECT_EQ(form->CompanyCode, TSampleCompany::CompanyCode);
}

TEST_F(BaseGeneTest, RefusesToStartWithoutWhatItNeeds)
{
    // Four host parameters: E;000038, the connection is skipped, E;000006 follows.
    Start(4);
    EXPECT_FALSE(started);
    EXPECT_TRUE(form->ErrorCodes.startsWith(QStringLiteral("E;000038; ")));
    EXPECT_TRUE(form->ErrorCodes.contains(QStringLiteral("E;000006; ")));
    EXPECT_FALSE(form->AppServer.IsObject());
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().contains(QStringLiteral("参数不足"))) << shown.first().toStdString();
    delete form;

    // The plain base form does not belong to the receipt program.
    shown.clear();
    QPointer<TfrmBaseGene> base = StartForm<TfrmBaseGene>();
    EXPECT_FALSE(started);
    EXPECT_EQ(base->ErrorCodes, QStringLiteral("E;000036; "));
    EXPECT_FALSE(base->AppServer.IsObject());
    delete base;

    // No server address in the client settings.
    WriteInstallation(QStringLiteral("[Server Information]\nComputerName=\n[CodePage]\nUICodePage=936\n"));
    Start();
    EXPECT_FALSE(started);
    EXPECT_TRUE(form->ErrorCodes.contains(QStringLiteral("E;000006; ")));
}

TEST_F(BaseGeneTest, EditionTextInTheCaptionOnlyForProductFive)
{
    options.ProductId = 5;
    MakeHost();
    Start();
    EXPECT_EQ(form->ProductId, 5);
    EXPECT_EQ(form->Caption(), QStringLiteral("进货单打印-普及版[恒润贸易 ERP]"));
    delete form;
    options.ProductId = 4;
    MakeHost();
    Start();
    EXPECT_EQ(form->Caption(), QStringLiteral("进货单打印[恒润贸易 ERP]"));
}

TEST_F(BaseGeneTest, ConditionResultCollectsEnvironmentCaptionsAndValues)
{
    Start();
    form->edtCode->SetText(QStringLiteral("3401"));
    ASSERT_TRUE(form->BuildConditionResult()) << shown.join(QStringLiteral(" / ")).toStdString();
    const Variant& r = form->ConditionResult;
    const Variant env = r[0], captions = r[1], values = r[2];
    EXPECT_EQ(env.LowBound(), 1);
    EXPECT_EQ(env.HighBound(), 9);
    EXPECT_EQ(env[1].ToString(), QStringLiteral("KELM24"));
    EXPECT_EQ(env[2].ToInt(), 9);
    EXPECT_EQ(env[3].ToInt(), 3);
    EXPECT_EQ(env[5].ToString(), TSampleCompany::LeaderUser);
    EXPECT_EQ(env[8].ToString(), QStringLiteral("KELM24S.Class1"));
    EXPECT_EQ(env[9].ToString(), QStringLiteral("R"));
    ASSERT_EQ(captions.HighBound(), 3);
    EXPECT_EQ(captions[1][1].ToString(), QStringLiteral("edtCode"));
    EXPECT_EQ(captions[3][0].ToString(), QStringLiteral("制表日期"));
    EXPECT_EQ(captions[3][1].ToString(), QStringLiteral("edPrintDate"));
    EXPECT_EQ(values[1].ToString(), QStringLiteral("3401"));
    EXPECT_TRUE(shown.isEmpty());
}

TEST_F(BaseGeneTest, ConditionResultRefusesArraysOfTheWrongShape)
{
    Start();
    form->skipCaption = true;
    EXPECT_FALSE(form->BuildConditionResult());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("选择条件文字"))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QStringLiteral("1"))) << shown[0].toStdString();

    shown.clear();
    form->skipCaption = false;
    form->shortCaptions = true;
    EXPECT_FALSE(form->BuildConditionResult());
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("3")) && shown[0].contains(QStringLiteral("2"))) << shown[0].toStdString();

    // No conditions at all and no automatic run pending.
    shown.clear();
    form->OptionCount = 0;
    EXPECT_FALSE(form->BuildConditionResult());
    EXPECT_EQ(shown.size(), 1);
}

TEST_F(BaseGeneTest, HostCommandsPressOkRunAutomaticallyOrOnlyCheck)
{
    Start();
    form->ApplyHostCommand(HostCommand(1, true, {QStringLiteral("edtCode"), QStringLiteral("edPrintDate")}));
    EXPECT_EQ(form->okClicks, 1);
    EXPECT_TRUE(form->AutoRunPending);
    EXPECT_TRUE(form->FormConverted());

    form->ApplyHostCommand(HostCommand(3, true, {QStringLiteral("edtCode")}));
    EXPECT_EQ(form->autoRuns, QList<int>{3});
    EXPECT_EQ(form->okClicks, 1);

    form->ApplyHostCommand(HostCommand(0, true, {QStringLiteral("edtCode")}));
    EXPECT_EQ(form->okClicks, 1);
    EXPECT_FALSE(form->AutoRunPending);

    // A list naming a control the form lacks: W;000014, nothing runs.
    form->ApplyHostCommand(HostCommand(1, true, {QStringLiteral("edtNoSuch")}));
    EXPECT_EQ(form->okClicks, 1);
    EXPECT_TRUE(form->ErrorCodes.contains(QStringLiteral("W;000014")));
    // The host says its list is not for checking: the alternative answers no.
    form->ApplyHostCommand(HostCommand(4, false, {QStringLiteral("edtCode")}));
    EXPECT_EQ(form->autoRuns, QList<int>{3});
}

TEST_F(BaseGeneTest, EnterMovesOnInMemosGridsAndPages)
{
    Start();
    form->show();
    QApplication::setActiveWindow(form);
    // Enter on the first two memo lines breaks the line; from the third it moves on.
    form->memo->setFocus();
    QTest::keyClick(form->memo, Qt::Key_Return);
    EXPECT_EQ(form->memo->Lines().size(), 2);
    QTest::keyClick(form->memo, Qt::Key_Return);
    EXPECT_EQ(form->memo->Lines().size(), 3);
    EXPECT_EQ(QApplication::focusWidget(), form->memo);
    QTest::keyClick(form->memo, Qt::Key_Return);
    EXPECT_EQ(form->memo->Lines().size(), 3);
    EXPECT_NE(QApplication::focusWidget(), form->memo);

    // Enter on the last cell of a grid appends a row and goes to its first
    // non-fixed column.
    form->grid->SetCurrentCell(2, 1);
    PressKey(form->grid, Qt::Key_Return);
    EXPECT_EQ(form->grid->RowCount(), 3);
    EXPECT_EQ(form->grid->Row(), 2);
    EXPECT_EQ(form->grid->Col(), 1);

    // Enter on a page-end control goes to the next page.
    form->PageEndControls << form->edtLast;
    PressKey(form->edtLast, Qt::Key_Return);
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption2);
    // Ctrl+Tab / Ctrl+Shift+Tab step through the pages.
    PressKey(form->edPrintDate, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption1);
    PressKey(form->edtCode, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption2);
    // Enter elsewhere moves to the next control.
    form->pgOption->SetActivePage(form->tsOption1);
    PressKey(form->edtCode, Qt::Key_Return);
    EXPECT_NE(QApplication::focusWidget(), form->edtCode);
}

TEST_F(BaseGeneTest, HelpKeyCallsTheHostWithTheProgramsContext)
{
    Start();
    form->show();
    // KELM24: the 4th letter "M" gives prefix 8 and looks at the 5th, "2": no help.
    PressKey(form->edtCode, Qt::Key_F1);
    EXPECT_TRUE(manager->HelpCalls().isEmpty());
    form->ProgramCode = QStringLiteral("PURR05");
    PressKey(form->edtCode, Qt::Key_F1);
    form->ProgramCode = QStringLiteral("INVMB01");
    PressKey(form->edtCode, Qt::Key_F1);
    EXPECT_EQ(manager->HelpCalls(), (QStringList{QStringLiteral("PUR/12050000"), QStringLiteral("INV/83010000")}));
}

TEST_F(BaseGeneTest, ModalRunEndsWithCancelAndTheFormGoes)
{
    Start();
    bool destroyed = false;
    const TNotifyEvent own = form->OnDestroy;
    form->OnDestroy = TNotifyEvent{nullptr, [&](QObject* s) {
                                       own(s);
                                       destroyed = true;
                                   }};
    QTimer::singleShot(0, form, [this] { QTest::keyClick(form->edtCode, Qt::Key_Escape); });
    EXPECT_EQ(form->ShowModal(), int(mrCancel));
    EXPECT_FALSE(form->isVisible());
    Settle();
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(form.isNull());
}

TEST_F(BaseGeneTest, PermissionAnswerGivesSwitchesAndThePermissionText)
{
    Start();
    Variant rules = Variant::ArrayOf({2, QStringLiteral("INVMC MC002='01'"), QStringLiteral("CMSMC MC001 IN ('A')")});
    form->ApplyPowerData(Variant::ArrayOf({QStringLiteral("(TG007='01')"), QStringLiteral("张三,N,Y,YNNNNYYN,G1,D1"),
                                           QStringLiteral("G1"), QStringLiteral("D1"), QStringLiteral("Y"), rules}));
    EXPECT_EQ(form->UserName, QStringLiteral("张三"));
    EXPECT_FALSE(form->SuperUser);
    EXPECT_TRUE(form->Rights7Allowed);
    EXPECT_FALSE(form->PricesAllowed);
    EXPECT_EQ(form->UserGroup, QStringLiteral("G1"));
    EXPECT_TRUE(form->PermissionText.startsWith(QStringLiteral("Y\u00032\u0003")));
    EXPECT_TRUE(form->PermissionText.contains(QStringLiteral("CMSMC MC001 IN ('A')")));
    // A short flag text counts the missing switches as on.
    form->ApplyPowerData(Variant::ArrayOf({QString(), QStringLiteral("x,Y,Y,YY")}));
    EXPECT_TRUE(form->Rights7Allowed);
    EXPECT_TRUE(form->PricesAllowed);
    EXPECT_TRUE(form->PermissionText.isEmpty());
}

TEST_F(BaseGeneTest, EveryKeyPressReachesTheForm)
{
    Start();
    form->show();
    QApplication::setActiveWindow(form);
    // A key typed into a field goes on to the field.
    form->edtCode->setFocus();
    QTest::keyClick(form->edtCode, Qt::Key_A);
    EXPECT_EQ(form->edtCode->Text(), QStringLiteral("a"));
    // The next key arrives at the form itself (no control holds the focus):
    // the form still sees it, and Esc closes it.
    form->setFocus();
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
}
