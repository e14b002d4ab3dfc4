// The option form's services: date texts in the five date styles, the
// automatic date and required-field checks on re-bound events, the host's pick
// windows (against the reference host over the sample company) and running a
// program's server library.
#include "appserver/AppServer.h"
#include "tests/AllowSkip.h"
#include "controls/Buttons.h"
#include "demo/SampleCompany.h"
#include "host/HostManager.h"
#include "options/BaseGene.h"
#include "tests/appserver/TestSupport.h"
#include "tests/runtime/TestInstall.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// The reference host over one sample company, shared by the tests of this file.
struct THostFixture {
    THostFixture()
    {
        server = Variant(std::make_shared<TAppServer>(install.Settings()));
        TAppServerObject(server).Connect(QStringLiteral("HOST"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                         QStringLiteral("DEMO"), QString());
        data = std::make_shared<THostData>(server);
        data->Company = TSampleCompany::CompanyCode;
        chooser = std::make_shared<TScriptedChooser>();
        options.UpdateFolder = update.path();
        host = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(data, chooser, options)));
    }
    test::TSampleInstall install;
    QTemporaryDir update;
    Variant server;
    std::shared_ptr<THostData> data;
    std::shared_ptr<TScriptedChooser> chooser;
    THostOptions options;
    Variant host;
};

THostFixture& Host()
{
    static THostFixture fixture;
    return fixture;
}

// A pick window that keeps the argument array it is asked with.
class TRecordingPick : public TAutomationObject {
public:
    TRecordingPick() : TAutomationObject(QStringLiteral("TRecordingPick"))
    {
        AddMethod(member::F2GetData, [this](VariantArgs& a) {
            Args = a.at(0);
            return Answer;
        });
    }
    Variant Args;
    Variant Answer = Variant::ArrayOf({Variant::ArrayOf({"A01", "first"})});
};

class ServicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install.StandardRegistry();
        TDialogService::Reset();
        TDialogService::SetMessageHandler([](const TMessageRequest&) { return int(mrOk); });
        form = TQVForm::Create<TfrmBaseGene>();
        form->HostObject = Host().host;
        form->CompanyCode = TSampleCompany::CompanyCode;
        form->DatabaseName = QStringLiteral("DEMO");
        form->UserCode = TSampleCompany::AdminUser;
        Style(1);
        // As the form's start-up does: the print date is a date field.
        form->SetDateFields(QStringLiteral("edPrintDate"));
        Host().chooser->Rows.clear();
        Host().chooser->Dates.clear();
        Host().chooser->Seen.clear();
    }
    void TearDown() override
    {
        delete form;
        TDialogService::Reset();
    }
    void Style(int type, const QString& separator = QStringLiteral("/"))
    {
        form->SysInfo = {QStringLiteral("Sys001=%1").arg(type), QStringLiteral("Sys002=") + separator};
    }
    template <class T>
    T* Add(const QString& name, QWidget* parent = nullptr)
    {
        T* control = new T(parent ? parent : form->tsOption1);
        control->setObjectName(name);
        return control;
    }
    bool Show()
    {
        form->show();
        QApplication::setActiveWindow(form);
        form->activateWindow();
        return QTest::qWaitForWindowActive(form);
    }
    QString HostText(const char* type, const char* id)
    {
        return THostObject(Host().host).GetMessage(QString::fromLatin1(type), QString::fromLatin1(id));
    }
    static QList<TMessageRequest> Errors()
    {
        QList<TMessageRequest> errors;
        for (const TMessageRequest& r : TDialogService::History())
            if (r.DlgType == mtError) errors << r;
        return errors;
    }
    // A click as the button's OnClick hears it.
    static void Click(QWidget* button)
    {
        TControlEvents::Fire(dynamic_cast<TControlEvents*>(button)->OnClick, button);
    }

    test::TestInstall install;
    TfrmBaseGene* form = nullptr;
};

}  // namespace

TEST_F(ServicesTest, DatesOfTheFiveStylesBecomeInternalTexts)
{
    Style(2);
    EXPECT_EQ(form->DateToInternal(QStringLiteral("05/31/2024")), "20240531");
    EXPECT_EQ(form->DateToInternal(QStringLiteral(" 5/31/2024 ")), "20240531");
    Style(3, QStringLiteral("-"));
    EXPECT_EQ(form->DateToInternal(QStringLiteral("31-05-2024")), "20240531");
    for (int type : {4, 5}) {
        Style(type);
        EXPECT_EQ(form->DateToInternal(QStringLiteral("113/05/31")), "20240531") << type;
    }
    Style(1);
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024/5/31")), "20240531");
    // Texts that are not three numbers come back unchanged for the validity check.
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024/05")), "2024/05");
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024/05/31/1")), "2024/05/31/1");
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024/xx/31")), "2024/xx/31");
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024-05-31")), "2024-05-31");
    Style(7);
    EXPECT_EQ(form->DateToInternal(QStringLiteral("2024/05/31")), "");

    // Empty and blank-mask texts, filled on request.
    Style(1);
    EXPECT_EQ(form->DateToInternal(form->BlankDateText()), "");
    EXPECT_EQ(form->DateToInternal(QString(), true, QStringLiteral("20240101")), "20240101");
    EXPECT_EQ(form->DateToInternal(form->BlankDateText(), true, QStringLiteral("20240101")), "20240101");
    const QString tomorrow = QDate::currentDate().addDays(1).toString(QStringLiteral("yyyyMMdd"));
    EXPECT_EQ(form->DateToInternal(QString(), true, QStringLiteral("-1")), tomorrow);
    EXPECT_EQ(form->DateToInternal(QString(), false, QStringLiteral("-1")), "");

    // Year-months.
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("2024/05")), "202405");
    EXPECT_EQ(form->YearMonthToInternal(form->BlankYearMonthText()), "");
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("2024/00")), "2024/00");
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("2024")), "2024");
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("ab/05")), "-105");
    Style(3);
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("05/2024")), "202405");
    Style(5);
    EXPECT_EQ(form->YearMonthToInternal(QStringLiteral("113/05")), "202405");

    // The display forms read back to the same internal texts in every style.
    for (int type = 1; type <= 5; ++type) {
        Style(type, QStringLiteral("."));
        EXPECT_EQ(form->DateToInternal(form->DateDisplay(QStringLiteral("20240531"))), "20240531") << type;
        EXPECT_EQ(form->YearMonthToInternal(form->YearMonthDisplay(QStringLiteral("202405"))), "202405") << type;
    }
    Style(4);
    EXPECT_EQ(form->DateDisplay(QStringLiteral("20240531")), "113/05/31");
}

TEST_F(ServicesTest, MasksAndTheirBlankRenderingsFollowTheDateStyle)
{
    Style(1);
    EXPECT_EQ(form->DateMask(), "9999/99/99;1; ");
    EXPECT_EQ(form->BlankDateText(), "    /  /  ");
    EXPECT_EQ(form->YearMonthMask(), "9999/99;1; ");
    Style(2, QStringLiteral("-"));
    EXPECT_EQ(form->DateMask(), "99-99-9999;1; ");
    EXPECT_EQ(form->YearMonthMask(), "99-9999;1; ");
    Style(4);
    EXPECT_EQ(form->DateMask(), "99/99/99;1; ");
    Style(5);
    EXPECT_EQ(form->DateMask(), "999/99/99;1; ");
    EXPECT_EQ(form->BlankYearMonthText(), "   /  ");
    // What a mask edit shows empty is the blank text the conversions know.
    for (int type = 1; type <= 5; ++type) {
        Style(type);
        EXPECT_EQ(TEditMask(form->DateMask()).BlankText(), form->BlankDateText()) << type;
        EXPECT_EQ(TEditMask(form->YearMonthMask()).BlankText(), form->BlankYearMonthText()) << type;
    }
}

TEST_F(ServicesTest, DateFieldsAreCheckedOnTheirOwnEventsWhichStillRun)
{
    auto* date = Add<TMaskEdit>(QStringLiteral("edtTG003"));
    auto* other = Add<TEdit>(QStringLiteral("edtOther"));
    other->move(0, 60);
    int ownEnter = 0, ownExit = 0;
    date->OnEnter = {nullptr, [&](QObject*) { ++ownEnter; }};
    date->OnExit = {nullptr, [&](QObject*) { ++ownExit; }};
    form->SetDateFields(QStringLiteral("edtTG003"));
    EXPECT_EQ(form->DateFields, "edtTG003,edPrintDate");
    ASSERT_TRUE(Show());

    date->setFocus();
    EXPECT_EQ(date->EditMask(), form->DateMask());
    EXPECT_EQ(ownEnter, 1);
    date->SetText(QStringLiteral("2024/05/31"));
    other->setFocus();
    EXPECT_EQ(ownExit, 1);
    EXPECT_FALSE(form->ValidationFailed);
    EXPECT_TRUE(Errors().isEmpty());

    // An impossible date: the host's E/000005 text, the focus back, no own handler.
    date->setFocus();
    date->SetText(QStringLiteral("2024/13/45"));
    other->setFocus();
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_EQ(Errors()[0].Text, HostText("E", "000005"));
    EXPECT_TRUE(form->ErrorCodes.contains(QStringLiteral("E;000005")));
    EXPECT_TRUE(form->ValidationFailed);
    EXPECT_EQ(ownExit, 1);
    EXPECT_TRUE(date->hasFocus());

    // Leaving for Cancel checks nothing: the focus stays on Cancel.
    form->btnCancel->setFocus();
    EXPECT_TRUE(form->btnCancel->hasFocus());
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(ownExit, 1);
}

TEST_F(ServicesTest, TwoWrongDatesDoNotSendTheFocusBackAndForth)
{
    auto* first = Add<TMaskEdit>(QStringLiteral("edtTG003"));
    auto* second = Add<TMaskEdit>(QStringLiteral("edtTG004"));
    second->move(0, 60);
    form->SetDateFields(QStringLiteral("edtTG003,edtTG004"));
    ASSERT_TRUE(Show());
    // The first field was left for Cancel with a wrong date (no check then).
    first->setFocus();
    first->SetText(QStringLiteral("2024/13/45"));
    form->btnCancel->setFocus();
    second->setFocus();
    second->SetText(QStringLiteral("2024/02/30"));
    // Should the two fields keep sending the focus to each other, the
    // messages stop once the dates are put right.
    int messages = 0;
    TDialogService::SetMessageHandler([&](const TMessageRequest&) {
        if (++messages == 20) {
            first->SetText(QStringLiteral("2024/05/01"));
            second->SetText(QStringLiteral("2024/05/02"));
        }
        return int(mrOk);
    });

    first->setFocus();  // leaving the wrong second date
    EXPECT_EQ(messages, 1);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_TRUE(form->ValidationFailed);
}

TEST_F(ServicesTest, AFormFreedWhileADateFieldHasTheFocusChecksNothing)
{
    auto* date = Add<TMaskEdit>(QStringLiteral("edtTG003"));
    form->SetDateFields(QStringLiteral("edtTG003"));
    ASSERT_TRUE(Show());
    date->setFocus();
    date->SetText(QStringLiteral("2024/13/45"));
    // The window loses its focus while it is torn down, after the form's own parts have gone.
    delete form;
    form = nullptr;
    EXPECT_TRUE(TDialogService::History().isEmpty());
}

TEST_F(ServicesTest, SettingDateFieldsJoinsListsAndNeverBindsTwice)
{
    Style(2, QStringLiteral("-"));
    auto* date = Add<TMaskEdit>(QStringLiteral("edtTG003"));
    auto* panel = Add<TSelectPanel>(QStringLiteral("splTG003"));
    int ownExit = 0;
    date->OnExit = {nullptr, [&](QObject*) { ++ownExit; }};
    form->SetDateFields(QStringLiteral("edtTG003"));
    form->SetDateFields(QStringLiteral("splTG003"));
    EXPECT_EQ(form->DateFields, "splTG003,edtTG003,edPrintDate");
    EXPECT_EQ(panel->ValueType(), TSelectPanel::vt_Date);
    EXPECT_EQ(panel->DateSign(), "-");
    EXPECT_EQ(panel->DateType(), TSelectPanel::dt_MMDDYYYY);

    // A name already listed moves to the front once; its own handler runs once.
    form->SetDateFields(QStringLiteral("edtTG003"));
    EXPECT_EQ(form->DateFields, "edtTG003,splTG003,edPrintDate");
    date->SetText(QStringLiteral("05-31-2024"));
    TControlEvents::Fire(date->OnExit, date);
    EXPECT_EQ(ownExit, 1);

    // A list with edPrintDate replaces the current one; the others get their handlers back.
    form->SetDateFields(QStringLiteral("edPrintDate"));
    EXPECT_EQ(form->DateFields, "edPrintDate");
    date->SetText(QStringLiteral("99-99-2024"));
    TControlEvents::Fire(date->OnExit, date);
    EXPECT_EQ(ownExit, 2);
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(ServicesTest, DateChecksOfPanelsEditsAndWrongControls)
{
    auto* panel = Add<TSelectPanel>(QStringLiteral("splTG003"));
    auto* plain = Add<TEdit>(QStringLiteral("edtPlain"));
    auto* combo = Add<TComboBox>(QStringLiteral("cboKind"));
    ASSERT_TRUE(Show());

    EXPECT_TRUE(form->CheckDateControl(panel, true));
    EXPECT_EQ(panel->edBegin->EditMask(), form->DateMask());
    EXPECT_EQ(panel->edFinal->EditMask(), form->DateMask());
    panel->SetBeginText(QStringLiteral("2024/05/01"));
    panel->SetFinalText(QStringLiteral("2024/02/30"));
    EXPECT_FALSE(form->CheckDateControl(panel, false));
    EXPECT_TRUE(panel->edFinal->hasFocus());
    panel->SetFinalText(QString());
    EXPECT_TRUE(form->CheckDateControl(panel, false));

    // A plain edit shows the blank layout only when empty; a typed date stays.
    plain->SetText(QStringLiteral("2024/05/31"));
    EXPECT_TRUE(form->CheckDateControl(plain, true));
    EXPECT_EQ(plain->Text(), "2024/05/31");
    plain->SetText(QString());
    form->CheckDateControl(plain, true);
    EXPECT_EQ(plain->Text(), form->BlankDateText());
    EXPECT_TRUE(form->CheckDateControl(plain, false));

    // Another control is a misuse: its plain message, no error collected.
    form->ReportError(QString());
    const int before = int(TDialogService::History().size());
    EXPECT_FALSE(form->CheckDateControl(combo, false));
    EXPECT_FALSE(form->CheckYearMonthControl(combo, true));
    ASSERT_EQ(TDialogService::History().size(), before + 2);
    EXPECT_TRUE(TDialogService::History()[before].Text.startsWith(QStringLiteral("判断日期的函数第一个参数错误")));
    EXPECT_TRUE(TDialogService::History()[before].Text.endsWith(QStringLiteral("TSelectPanel, TMaskedit, TEdit")));
    EXPECT_TRUE(TDialogService::History()[before + 1].Text.startsWith(QStringLiteral("判断年月的函数第一个参数错误")));
    EXPECT_TRUE(form->ErrorCodes.isEmpty());

    // Year-months: the separator alone is empty, a thirteenth month is not.
    auto* month = Add<TMaskEdit>(QStringLiteral("edtMonth"));
    form->CheckYearMonthControl(month, true);
    EXPECT_EQ(month->EditMask(), form->YearMonthMask());
    EXPECT_TRUE(form->CheckYearMonthControl(month, false));
    month->SetText(QStringLiteral("2024/13"));
    EXPECT_FALSE(form->CheckYearMonthControl(month, false));
    EXPECT_TRUE(form->ErrorCodes.contains(QStringLiteral("E;000005")));
}

TEST_F(ServicesTest, RequiredControlsAreColouredAndCheckedBeforeTheButtonsOwnClick)
{
    auto* skipped = Add<TEdit>(QStringLiteral("edtTG001"));
    auto* code = Add<TEdit>(QStringLiteral("edtTG002"), form->tsOption2);
    auto* panel = Add<TSelectPanel>(QStringLiteral("splTG003"));
    panel->SetStyle(TSelectPanel::sp_UserChoice);
    const int original = skipped->Color(), codeOriginal = code->Color();
    int okClicks = 0;
    form->btnOk->OnClick = {nullptr, [&](QObject*) { ++okClicks; }};
    ASSERT_TRUE(Show());

    form->SetRequiredControls(QStringLiteral("edtTG001;N,edtTG002,splTG003;;1"));
    EXPECT_EQ(skipped->Color(), clRequiredField);
    EXPECT_EQ(code->Color(), clRequiredField);
    EXPECT_EQ(panel->edBegin->Color(), clRequiredField);
    EXPECT_NE(panel->edFinal->Color(), clRequiredField);
    EXPECT_NE(panel->lstValues->Color(), clRequiredField);

    // edtTG001 (flag N) is never checked; edtTG002 is, on its own page.
    form->pgOption->SetActivePage(form->tsOption1);
    Click(form->btnOk);
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_EQ(Errors()[0].Text, HostText("E", "000037"));
    EXPECT_EQ(form->pgOption->ActivePage(), form->tsOption2);
    EXPECT_TRUE(code->hasFocus());
    EXPECT_EQ(okClicks, 0);

    // A range needs both ends.
    code->SetText(QStringLiteral("3401"));
    panel->SetBeginText(QStringLiteral("A"));
    Click(form->btnOk);
    EXPECT_EQ(Errors().size(), 2);
    EXPECT_TRUE(panel->edBegin->hasFocus());
    // In list mode the list must have rows, whatever the range edits hold.
    panel->SetFinalText(QStringLiteral("Z"));
    panel->SetUserChoice(false);
    Click(form->btnOk);
    EXPECT_EQ(Errors().size(), 3);
    EXPECT_EQ(okClicks, 0);
    panel->AddRow({QStringLiteral("3401")});
    Click(form->btnOk);
    EXPECT_EQ(Errors().size(), 3);
    EXPECT_EQ(okClicks, 1);

    // The entry alone (no flag) is checked; a new list gives the old colours back
    // and binds the button once.
    form->SetRequiredControls(QStringLiteral("edtTG001"));
    EXPECT_EQ(code->Color(), codeOriginal);
    EXPECT_NE(panel->edBegin->Color(), clRequiredField);
    EXPECT_EQ(skipped->Color(), clRequiredField);
    Click(form->btnOk);
    EXPECT_EQ(Errors().size(), 4);
    skipped->SetText(QStringLiteral("x"));
    Click(form->btnOk);
    EXPECT_EQ(okClicks, 2);
    // Flags other than -1 switch the check off, -1 keeps it.
    skipped->SetText(QString());
    form->SetRequiredControls(QStringLiteral("edtTG001;0"));
    Click(form->btnOk);
    EXPECT_EQ(okClicks, 3);
    form->SetRequiredControls(QStringLiteral("edtTG001;-1"));
    Click(form->btnOk);
    EXPECT_EQ(okClicks, 3);
    form->SetRequiredControls(QString());
    EXPECT_EQ(skipped->Color(), original);
}

TEST_F(ServicesTest, PeriodButtonDecidesWhichClicksAreChecked)
{
    Add<TEdit>(QStringLiteral("edtTG001"));
    auto* period = Add<TSpeedButton>(QStringLiteral("btnPeriod"), form->Panel1);
    auto* query = Add<TButton>(QStringLiteral("btnQuery"), form->Panel1);
    int periodClicks = 0, queryClicks = 0;
    period->OnClick = {nullptr, [&](QObject*) { ++periodClicks; }};
    query->OnClick = {nullptr, [&](QObject*) { ++queryClicks; }};
    form->SetRequiredControls(QStringLiteral("edtTG001"));

    // btnPeriod up: its own click is not checked; btnQuery always is.
    Click(period);
    EXPECT_EQ(periodClicks, 1);
    Click(query);
    EXPECT_EQ(queryClicks, 0);
    EXPECT_EQ(Errors().size(), 1);

    // Down: its click is checked; a failed check releases it and hides the last page.
    period->SetDown(true);
    form->pgOption->SetActivePage(form->tsOption1);
    Click(period);
    EXPECT_EQ(periodClicks, 1);
    EXPECT_FALSE(period->Down());
    EXPECT_FALSE(form->tsOption2->TabVisible());
}

TEST_F(ServicesTest, PickArgumentsHaveTheirNineteenPlaces)
{
    auto pick = std::make_shared<TRecordingPick>();
    form->F2Window = Variant(std::shared_ptr<IAutomationObject>(pick));
    form->ProductId = 5;
    form->PermissionText = QStringLiteral("TG004 IN ('01')");
    form->Rights7Allowed = false;
    form->PricesAllowed = true;
    Variant data;
    form->F2GetData(QStringLiteral("PURTG"), QStringLiteral("61"), Variant::ArrayOf({"3401"}), true,
                    QStringLiteral("typed"), data);
    const Variant& a = pick->Args;
    ASSERT_TRUE(a.IsArray());
    EXPECT_EQ(a.LowBound(), 0);
    ASSERT_EQ(a.Count(), 19);
    EXPECT_EQ(a[0].ToString(), "PURTG");
    EXPECT_EQ(a[1].ToString(), "61");
    EXPECT_EQ(a[2][0].ToString(), "3401");
    EXPECT_TRUE(a[3].ToBool());
    EXPECT_EQ(a[4].ToString(), "typed");
    EXPECT_EQ(a[5].ToString(), TSampleCompany::CompanyCode);
    EXPECT_EQ(a[6].ToString(), "DEMO");
    EXPECT_EQ(a[7].ToInt(), int(form->winId()));
    EXPECT_EQ(a[8].ToInt(), 1);
    EXPECT_FALSE(a[9].ToBool());
    EXPECT_EQ(a[10].ToInt(), 5);
    EXPECT_EQ(a[11].ToString() + a[12].ToString() + a[13].ToString(), "");
    EXPECT_EQ(a[14].ToString(), form->PermissionText);
    EXPECT_FALSE(a[15].ToBool());
    EXPECT_TRUE(a[16].ToBool());
    EXPECT_TRUE(a[17].IsObject());
    EXPECT_EQ(a[18].ToString(), TSampleCompany::AdminUser);
    EXPECT_EQ(data[0][1].ToString(), "first");

    // Without a pick window there is no data, and F2 on the print date keeps it.
    form->F2Window = Variant();
    form->F2GetData(QStringLiteral("PURTG"), QStringLiteral("61"), Variant(), false, Variant(), data);
    EXPECT_TRUE(data.IsEmpty());
    form->edPrintDate->SetText(QStringLiteral("2024/05/31"));
    form->DoF2Key(Qt::Key_F2, form->edPrintDate);
    EXPECT_EQ(form->edPrintDate->Text(), "2024/05/31");
}

TEST_F(ServicesTest, PicksFromTheReferenceHostFillPanelsAndDates)
{
    form->F2Window = THostObject(Host().host).F2Window();
    auto* panel = Add<TSelectPanel>(QStringLiteral("splTG002"));
    panel->SetStyle(TSelectPanel::sp_Discrete);
    const Variant keys = Variant::ArrayOf({"3401"});

    // The list takes several rows, four columns each.
    Host().chooser->Rows.push_back({0, 1});
    form->PickForSelectPanel(panel->lstValues, QStringLiteral("PURTG"), false, Variant(), keys, QStringLiteral("61"));
    ASSERT_EQ(panel->ItemCount(), 2);
    EXPECT_EQ(panel->ColumnCount(), 4);
    // An edit (or its pick button) takes the first column of one row.
    Host().chooser->Rows.push_back({2, 3});
    form->PickForSelectPanel(panel->btnBegin, QStringLiteral("PURTG"), false, Variant(), keys, QStringLiteral("61"));
    EXPECT_FALSE(panel->BeginText().isEmpty());
    EXPECT_EQ(Host().chooser->Seen, (QStringList{QStringLiteral("PURTG/61"), QStringLiteral("PURTG/61")}));
    // A cancelled pick changes nothing.
    const QString begin = panel->BeginText();
    form->PickForSelectPanel(panel->edBegin, QStringLiteral("PURTG"), false, Variant(), keys, QStringLiteral("61"));
    EXPECT_EQ(panel->BeginText(), begin);
    EXPECT_EQ(panel->ItemCount(), 2);

    // Not a panel's part: the error message, and no pick window.
    auto* plain = Add<TEdit>(QStringLiteral("edtPlain"));
    form->PickForSelectPanel(plain, QStringLiteral("PURTG"), false, Variant(), keys, QStringLiteral("61"));
    ASSERT_FALSE(TDialogService::History().isEmpty());
    EXPECT_TRUE(TDialogService::History().last().Text.contains(QStringLiteral("TSelectPanel")));
    EXPECT_EQ(TDialogService::History().last().DlgType, mtError);
    EXPECT_EQ(Host().chooser->Seen.size(), 3);

    // Dates: the picked day in the form's style; a cancelled pick keeps the text.
    Style(4);
    Host().chooser->Dates.push_back(QDate(2024, 5, 31));
    form->edPrintDate->SetText(QStringLiteral("113/01/02"));
    form->DoF2Key(Qt::Key_F2, form->edPrintDate);
    EXPECT_EQ(form->edPrintDate->Text(), "113/05/31");
    QString result;
    form->PickDate(QStringLiteral("113/01/02"), result);
    EXPECT_EQ(result, "113/01/02");
}

TEST_F(ServicesTest, ConditionValuesOfPanelsAndDateRanges)
{
    Variant values = Variant::CreateArray(1, 3);
    form->DateRangeValue(QStringLiteral("2024/06/01"), QStringLiteral("2024/05/01"), values, 1);
    EXPECT_EQ(values[1][0].ToString(), QString(QChar(4)));
    EXPECT_EQ(values[1][1].ToString(), "20240501");
    EXPECT_EQ(values[1][2].ToString(), "20240601");
    form->DateRangeValue(QStringLiteral("2024/06/01"), form->BlankDateText(), values, 2);
    EXPECT_EQ(values[2][1].ToString(), "20240601");
    EXPECT_EQ(values[2][2].ToString(), "");

    auto* panel = Add<TSelectPanel>(QStringLiteral("splTG002"));
    panel->SetStyle(TSelectPanel::sp_Discrete);
    panel->AddRow({QStringLiteral("A01"), QStringLiteral("x")});
    form->SelectPanelValue(panel, values, 3);
    EXPECT_EQ(values[3][0].ToString(), QString(QChar(5)));
    EXPECT_EQ(values[3][1][0].ToString(), "A01");
}

// ---------------------------------------------------------------- program libraries

namespace {

class ProgramLibraryTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        library = QString::fromLocal8Bit(qgetenv("KELM24_BIN_DIR"));
        if (library.isEmpty()) library = QCoreApplication::applicationDirPath();
        library += QStringLiteral("/libPURT99S.so");
        if (!QFileInfo::exists(library)) KELM24_SKIP_OR_FAIL("the test server library " + library.toStdString() + " is not built");
        // Package folders are named relative to the server folder.
        QDir().mkpath(install.Server() + QStringLiteral("A_PKG"));
        QDir().mkpath(install.Server() + QStringLiteral("S_PKG"));
        install.WriteUtf8(QStringLiteral("server/CorvaneS.ini"), QStringLiteral("[WorkDLLPath]\nPath1=A_PKG\nPath2=S_PKG\n"));
        form->ProgramCode = QStringLiteral("PURT99");
        form->ProductId = 3;
    }
    void TearDown() override
    {
        TfrmBaseGene::LibraryUpdater = nullptr;
        if (handle) dlclose(handle);
        ServicesTest::TearDown();
    }
    // Puts the library into a package folder and keeps it loaded so that its
    // record outlives the form's run.
    void Place(const QString& folder)
    {
        const QString path = install.Server() + folder + QStringLiteral("/libPURT99S.so");
        ASSERT_TRUE(QFile::copy(library, path));
        handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
    }
    struct TRecord {
        Variant Arguments;
        int Created = 0, Executed = 0, Released = 0;
    };
    TRecord Record()
    {
        TRecord r;
        using Proc = void (*)(Variant*, int*, int*, int*);
        auto proc = reinterpret_cast<Proc>(dlsym(handle, "SvrTestRecord"));
        if (proc) proc(&r.Arguments, &r.Created, &r.Executed, &r.Released);
        return r;
    }
    QString library;
    void* handle = nullptr;
};

}  // namespace

TEST_F(ProgramLibraryTest, TheControllerGetsItsArgumentsRunsAndIsReleased)
{
    Place(QStringLiteral("A_PKG"));
    const QStringList texts = {QStringLiteral("t1"), QStringLiteral("t2"), QStringLiteral("t3"), QStringLiteral("t4")};
    ASSERT_TRUE(form->RunProgramLibrary(QStringLiteral("q"), texts, Variant(42), 7, QStringLiteral("x")));
    TRecord r = Record();
    EXPECT_EQ(r.Created, 1);
    EXPECT_EQ(r.Executed, 1);
    EXPECT_EQ(r.Released, 1);
    ASSERT_EQ(r.Arguments.Count(), 12);
    const QStringList expected = {"PURT99", "t1", "t2", "t3", "t4", "42", "7", "Q", "x", "3", "False", form->UICodePage()};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(r.Arguments[i].ToString(), expected[i]) << i;

    ASSERT_TRUE(form->RunProgramLibrary(QStringLiteral("b"), texts, Variant(42), 7, QStringLiteral("x")));
    r = Record();
    ASSERT_EQ(r.Arguments.Count(), 7);
    const QStringList expectedB = {"PURT99", "t2", "t3", "42", "t4", "x", "3"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(r.Arguments[i].ToString(), expectedB[i]) << i;

    // A failing program: its text is collected, the controller still released.
    form->ReportError(QString());
    EXPECT_FALSE(form->RunProgramLibrary(QStringLiteral("q"), {QStringLiteral("boom")}, Variant(), 0, QString()));
    EXPECT_TRUE(form->ErrorTexts.contains(QStringLiteral("服务端程序执行失败")));
    EXPECT_EQ(Record().Released, 3);
    EXPECT_TRUE(Errors().isEmpty());
}

TEST_F(ProgramLibraryTest, AMissingLibraryIsFetchedIntoThePackageFolderOrFails)
{
    // Nowhere and no downloader: false, the server package folder named.
    EXPECT_FALSE(form->RunProgramLibrary(QStringLiteral("q"), {}, Variant(), 0, QString()));
    EXPECT_TRUE(form->ErrorTexts.contains(install.Server() + QStringLiteral("S_PKG/libPURT99S.so")));

    // A downloader hears the host's answer for the lower-case name and the target.
    QFile zip(QDir(Host().update.path()).filePath(QStringLiteral("libpurt99s.so.zip")));
    ASSERT_TRUE(zip.open(QIODevice::WriteOnly));
    zip.close();
    QString heardAnswer, heardFile;
    TfrmBaseGene::LibraryUpdater = [&](const QString& answer, const QString& file, QString&) {
        heardAnswer = answer;
        heardFile = file;
        Place(QStringLiteral("S_PKG"));
        return true;
    };
    EXPECT_TRUE(form->RunProgramLibrary(QStringLiteral("q"), {}, Variant(), 0, QString()));
    EXPECT_TRUE(heardAnswer.contains(QStringLiteral("libpurt99s.so</Path>"))) << heardAnswer.toStdString();
    EXPECT_EQ(heardFile, install.Server() + QStringLiteral("S_PKG/libPURT99S.so"));
    EXPECT_EQ(Record().Executed, 1);
    QFile::remove(zip.fileName());

    // A failed download ends the run with its reason.
    TfrmBaseGene::LibraryUpdater = [](const QString&, const QString&, QString& error) {
        error = QStringLiteral("download failed");
        return false;
    };
    form->ReportError(QString());
    EXPECT_FALSE(form->RunProgramLibrary(QStringLiteral("q"), {}, Variant(), 0, QString()));
    EXPECT_TRUE(form->ErrorTexts.contains(QStringLiteral("download failed")));
}

TEST_F(ProgramLibraryTest, ALibraryWithoutTheExportRunsNothing)
{
    form->ProgramCode = QStringLiteral("PURT98");
    const QString other = QFileInfo(library).absolutePath() + QStringLiteral("/libVeDudU5.so");
    ASSERT_TRUE(QFile::copy(other, install.Server() + QStringLiteral("A_PKG/libPURT98S.so")));
    EXPECT_FALSE(form->RunProgramLibrary(QStringLiteral("q"), {}, Variant(), 0, QString()));
    EXPECT_TRUE(form->ErrorTexts.contains(QStringLiteral("GetSvrController")));
}
