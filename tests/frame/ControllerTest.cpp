#include "frame/DLLVRCtrller.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// Everything the tests observe, in the order it happened.
QStringList g_log;

class TTestForm : public QDialog, public TVROptForm {
public:
    static inline bool initAnswer = true;
    static inline bool raiseOnCommand = false;
    static inline TTestForm* last = nullptr;
    static inline int created = 0;
    static inline bool ownHandlers = false;  // the form hooks its own events when created

    TTestForm()
    {
        ++created;
        last = this;
        UserCode = QStringLiteral("DS");
        CompanyCode = QStringLiteral("Leader");
        ProgramCode = QStringLiteral("KELM24");
        ProgramName = QStringLiteral("进货单");
        VersionText = QStringLiteral("1.0.0.1");
        if (!ownHandlers) return;
        OnShow = TNotifyEvent{this, [](QObject*) { g_log << QStringLiteral("form OnShow"); }};
        OnHide = TNotifyEvent{this, [](QObject*) { g_log << QStringLiteral("form OnHide"); }};
        OnDestroy = TNotifyEvent{this, [this](QObject*) { g_log << QStringLiteral("form OnDestroy result %1").arg(ResultCode); }};
    }
    ~TTestForm() override
    {
        BeginDestroy(this);
        if (last == this) last = nullptr;
    }
    static TVROptForm* Create(QWidget* owner)
    {
        auto* f = new TTestForm();
        if (owner) f->setParent(owner);
        return f;
    }

    QWidget* Window() override { return this; }
    void SetModulePath(const QString& path) override { g_log << QStringLiteral("SetModulePath ") + path; }
    bool InitFromHost(const Variant& params) override
    {
        g_log << QStringLiteral("InitFromHost host=%1 user=%2")
                     .arg(HostObject.ToString(), params.IsArray() ? params[0].ToString() : QString());
        return initAnswer;
    }
    void ApplyHostCommand(const Variant& command) override
    {
        g_log << QStringLiteral("ApplyHostCommand ") + command.ToString();
        if (raiseOnCommand) throw Exception(QStringLiteral("form failed"));
    }
    bool ExecuteReport(bool preview) override
    {
        g_log << QStringLiteral("ExecuteReport %1").arg(preview);
        return true;
    }
    bool ExecuteForHost(const Variant& params, bool preview) override
    {
        g_log << QStringLiteral("ExecuteForHost %1 %2").arg(params[0].ToString()).arg(preview);
        return true;
    }
    bool ExportForHost(const Variant& params, int fileType, const QString& path, int resolution,
                       const QString& extra) override
    {
        g_log << QStringLiteral("ExportForHost %1 %2 %3 %4 [%5]")
                     .arg(params[0].ToString())
                     .arg(fileType)
                     .arg(path)
                     .arg(resolution)
                     .arg(extra);
        return path != QStringLiteral("fail");
    }
    void CloseDesigner() override { g_log << QStringLiteral("CloseDesigner"); }
    int ShowModal() override { return exec() == QDialog::Accepted ? mrOk : mrCancel; }

protected:
    void showEvent(QShowEvent* e) override
    {
        QDialog::showEvent(e);
        DoShow();
    }
    void hideEvent(QHideEvent* e) override
    {
        QDialog::hideEvent(e);
        DoHide();
    }
};

void RecordNotify(void* data, int32_t code, TDLLBaseController* sender)
{
    g_log << QStringLiteral("notify %1 %2").arg(code).arg(sender == data ? QStringLiteral("self") : QStringLiteral("other"));
}

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_log.clear();
        TTestForm::initAnswer = true;
        TTestForm::raiseOnCommand = false;
        TTestForm::created = 0;
        TTestForm::ownHandlers = false;
        DLLControllerClass = &TDLLVRCtrller::Create;
        frmVRBaseOptClass = &TTestForm::Create;
        ctrl.reset(static_cast<TDLLVRCtrller*>(GetController()));
        ctrl->HostObject = QStringLiteral("host");
        ctrl->OnNotify = TNotifyMethod{&RecordNotify, ctrl.get()};
    }
    void TearDown() override { ctrl.reset(); }

    bool reopen = true;
    Variant Params() { return Variant::ArrayOf({"DS", "Leader", "DEMO", 0, Variant()}); }

    std::unique_ptr<TDLLVRCtrller> ctrl;
};

}  // namespace

TEST_F(ControllerTest, WithoutFormEveryOperationAnswersItsDefault)
{
    EXPECT_EQ(ctrl->GetVersionText(), QString());
    EXPECT_EQ(ctrl->GetVisible(), WordFalse);
    ctrl->SetVisible(WordTrue);
    EXPECT_EQ(ctrl->GetHandle(), 0);
    EXPECT_EQ(ctrl->ApplyCommand("x"), -1);
    EXPECT_EQ(ctrl->RunCommand(5, Variant::ArrayOf({true})), -1);
    EXPECT_EQ(ctrl->ShowModalForm().ToInt(), 2);
    ctrl->FreeForm();
    Variant info = QStringLiteral("untouched");
    EXPECT_EQ(ctrl->GetFormInfo(info), -1);
    EXPECT_EQ(info.ToString(), QStringLiteral("untouched"));
    EXPECT_TRUE(ctrl->IsFormFreed());
    ctrl->CloseDesign();
    EXPECT_TRUE(g_log.isEmpty());
}

TEST_F(ControllerTest, NotificationOrderFollowsTheFormsLife)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    ASSERT_GE(g_log.size(), 3);
    EXPECT_TRUE(g_log[0].startsWith(QStringLiteral("SetModulePath /")));
    EXPECT_EQ(g_log[1], QStringLiteral("notify 256 self"));
    EXPECT_EQ(g_log[2], QStringLiteral("InitFromHost host=host user=DS"));  // host object copied first
    EXPECT_EQ(ctrl->GetVisible(), WordFalse);  // stays hidden after start
    g_log.clear();
    ctrl->SetVisible(WordTrue);
    EXPECT_EQ(ctrl->GetVisible(), WordTrue);
    EXPECT_NE(ctrl->GetHandle(), 0);
    ctrl->SetVisible(WordFalse);
    ctrl->FreeForm();
    EXPECT_EQ(g_log, QStringList({"notify 272 self", "notify 288 self", "notify 304 self"}));
    EXPECT_TRUE(ctrl->IsFormFreed());
}

TEST_F(ControllerTest, FormHandlersRunBeforeTheHostHearsAndNeverLoop)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* form = TTestForm::last;
    ASSERT_NE(form, nullptr);
    // A handler the form had before the controller hooked it still runs first.
    form->OnShow = TNotifyEvent{form, [](QObject*) { g_log << QStringLiteral("form OnShow"); }};
    // A second start re-hooks; saving the controller's own hooks would make them call themselves.
    EXPECT_EQ(ctrl->InitForm(Params()), 0);
    EXPECT_EQ(ctrl->InitForm(Params()), 0);
    EXPECT_EQ(TTestForm::created, 1);
    g_log.clear();
    ctrl->SetVisible(WordTrue);
    ctrl->SetVisible(WordFalse);
    EXPECT_EQ(g_log, QStringList({"form OnShow", "notify 272 self", "notify 288 self"}));
}

TEST_F(ControllerTest, HandlersTheFormHadAtCreationRunFirstAndOnce)
{
    TTestForm::ownHandlers = true;
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    EXPECT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* form = TTestForm::last;
    form->ResultCode = 3;
    g_log.clear();
    ctrl->SetVisible(WordTrue);
    ctrl->SetVisible(WordFalse);
    ctrl->FreeForm();
    EXPECT_EQ(g_log, QStringList({"form OnShow", "notify 272 self", "form OnHide", "notify 288 self",
                                  "form OnDestroy result 3", "notify 304 self"}));
    EXPECT_EQ(ctrl->ResultCode, 3);
}

TEST_F(ControllerTest, ShowingAMinimisedFormRestoresIt)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* form = TTestForm::last;
    form->showMinimized();
    ASSERT_TRUE(form->isMinimized());
    ctrl->SetVisible(WordTrue);
    EXPECT_FALSE(form->isMinimized());
    EXPECT_EQ(ctrl->GetVisible(), WordTrue);
    // Hiding keeps the state the form is in.
    form->showMinimized();
    ctrl->SetVisible(WordFalse);
    EXPECT_TRUE(form->isMinimized());
    EXPECT_EQ(ctrl->GetVisible(), WordFalse);
}

TEST_F(ControllerTest, InitFromHostFailureKeepsTheForm)
{
    TTestForm::initAnswer = false;
    EXPECT_EQ(ctrl->InitForm(Params()), -1);
    EXPECT_FALSE(ctrl->IsFormFreed());
    ctrl->FreeForm();
    EXPECT_TRUE(ctrl->IsFormFreed());
}

TEST_F(ControllerTest, RunCommandArguments)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    g_log.clear();
    Variant conditions = Variant::ArrayOf({"Style1"});
    EXPECT_EQ(ctrl->RunCommand(5, Variant::ArrayOf({true})), 0);
    EXPECT_EQ(ctrl->RunCommand(6, Variant::ArrayOf({false, conditions})), 0);
    EXPECT_EQ(ctrl->RunCommand(11, Variant::ArrayOf({conditions, 3, "/tmp/r"})), 0);
    EXPECT_EQ(ctrl->RunCommand(11, Variant::ArrayOf({conditions, 1, "/tmp/r", "high"})), 0);
    EXPECT_EQ(ctrl->RunCommand(11, Variant::ArrayOf({conditions, 2, "/tmp/r", 300, "mail"})), 0);
    EXPECT_EQ(ctrl->RunCommand(11, Variant::ArrayOf({conditions, 2, "fail", 300})), -1);
    EXPECT_EQ(g_log, QStringList({"ExecuteReport 1", "ExecuteForHost Style1 0", "ExportForHost Style1 3 /tmp/r 96 []",
                                  "ExportForHost Style1 1 /tmp/r 96 []", "ExportForHost Style1 2 /tmp/r 300 [mail]",
                                  "ExportForHost Style1 2 fail 300 []"}));
    g_log.clear();
    EXPECT_THROW(ctrl->RunCommand(11, Variant::ArrayOf({conditions, 3})), EVariantError);
    EXPECT_THROW(ctrl->RunCommand(11, Variant::ArrayOf({conditions, "bmp", "/tmp/r"})), EVariantError);
    EXPECT_THROW(ctrl->RunCommand(5, Variant()), EVariantError);
    EXPECT_EQ(ctrl->RunCommand(7, Variant::ArrayOf({true})), -1);
    EXPECT_TRUE(g_log.isEmpty());
}

TEST_F(ControllerTest, ApplyCommandSwallowsEveryFailure)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    g_log.clear();
    EXPECT_EQ(ctrl->ApplyCommand(Variant::Null()), -1);
    EXPECT_TRUE(g_log.isEmpty());
    EXPECT_EQ(ctrl->ApplyCommand("go"), 0);
    TTestForm::raiseOnCommand = true;
    EXPECT_NO_THROW(EXPECT_EQ(ctrl->ApplyCommand("go"), -1));
}

TEST_F(ControllerTest, FormInfoAndVersion)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    Variant info;
    ASSERT_EQ(ctrl->GetFormInfo(info), 0);
    EXPECT_EQ(info.LowBound(), 0);
    EXPECT_EQ(info.HighBound(), 3);
    EXPECT_EQ(info[0].ToString(), QStringLiteral("DS"));
    EXPECT_EQ(info[1].ToString(), QStringLiteral("Leader"));
    EXPECT_EQ(info[2].ToString(), QStringLiteral("KELM24"));
    EXPECT_EQ(info[3].ToString(), QStringLiteral("进货单"));
    EXPECT_EQ(ctrl->GetVersionText(), QStringLiteral("1.0.0.1"));
    ctrl->CloseDesign();
    EXPECT_EQ(g_log.last(), QStringLiteral("CloseDesigner"));
}

TEST_F(ControllerTest, FormThatClosesItselfIsForgotten)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* form = TTestForm::last;
    form->ResultCode = 7;
    form->ResultValue = QStringLiteral("done");
    form->setAttribute(Qt::WA_DeleteOnClose);
    QTimer::singleShot(0, form, [form] { form->reject(); });
    EXPECT_EQ(ctrl->ShowModalForm().ToInt(), mrCancel);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(ctrl->IsFormFreed());
    EXPECT_EQ(ctrl->GetVisible(), WordFalse);
    EXPECT_EQ(ctrl->GetHandle(), 0);
    EXPECT_EQ(ctrl->ShowModalForm().ToInt(), 2);
    EXPECT_EQ(ctrl->ResultCode, 7);
    EXPECT_EQ(ctrl->ResultValue.ToString(), QStringLiteral("done"));
    EXPECT_EQ(g_log.last(), QStringLiteral("notify 304 self"));
}

TEST_F(ControllerTest, FreeingTheControllerFreesTheForm)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    ASSERT_NE(TTestForm::last, nullptr);
    ctrl.reset();
    EXPECT_EQ(TTestForm::last, nullptr);
    EXPECT_EQ(g_log.last(), QStringLiteral("notify 304 self"));
}

// Hosts commonly let go of the form or the whole controller as soon as they
// hear that the form was hidden or destroyed; the controller and the form must
// come through that without touching freed memory.
class HostFreesInHandler : public ControllerTest {
protected:
    static void FreeController(void* data, int32_t code, TDLLBaseController*)
    {
        auto* self = static_cast<HostFreesInHandler*>(data);
        g_log << QStringLiteral("notify %1").arg(code);
        if (code == self->freeOn) self->ctrl.reset();
    }
    static void FreeForm(void* data, int32_t code, TDLLBaseController* sender)
    {
        auto* self = static_cast<HostFreesInHandler*>(data);
        g_log << QStringLiteral("notify %1").arg(code);
        if (code == self->freeOn) sender->FreeForm();
    }
    void Hear(void (*handler)(void*, int32_t, TDLLBaseController*), int32_t code)
    {
        freeOn = code;
        g_log.clear();
        ctrl->OnNotify = TNotifyMethod{handler, this};
    }
    int32_t freeOn = 0;
};

TEST_F(HostFreesInHandler, ControllerFreedWhenItsFormIsFreed)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    Hear(&FreeController, NOTIFY_FORM_DESTROY);
    ctrl->FreeForm();
    EXPECT_EQ(ctrl, nullptr);
    EXPECT_EQ(TTestForm::last, nullptr);
    EXPECT_EQ(g_log.last(), QStringLiteral("notify 304"));
}

TEST_F(HostFreesInHandler, ControllerFreedWhenTheFormClosesItself)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* form = TTestForm::last;
    form->setAttribute(Qt::WA_DeleteOnClose);
    Hear(&FreeController, NOTIFY_FORM_DESTROY);
    ctrl->SetVisible(WordTrue);
    form->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(ctrl, nullptr);
    EXPECT_EQ(TTestForm::last, nullptr);
    EXPECT_EQ(g_log, QStringList({"notify 272", "notify 288", "notify 304"}));
}

TEST_F(HostFreesInHandler, FormFreedWhenItIsHidden)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    Hear(&FreeForm, NOTIFY_FORM_HIDE);
    ctrl->SetVisible(WordTrue);
    ctrl->SetVisible(WordFalse);
    // The host heard the form go at once; the window itself goes when its
    // hide event has finished.
    EXPECT_TRUE(ctrl->IsFormFreed());
    EXPECT_EQ(ctrl->GetVisible(), WordFalse);
    EXPECT_EQ(g_log, QStringList({"notify 272", "notify 288", "notify 304"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TTestForm::last, nullptr);
}

TEST_F(HostFreesInHandler, ControllerFreedWhenTheFormIsShown)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    Hear(&FreeController, NOTIFY_FORM_SHOW);
    ctrl->SetVisible(WordTrue);
    EXPECT_EQ(ctrl, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(TTestForm::last, nullptr);
    EXPECT_EQ(g_log, QStringList({"notify 272", "notify 304"}));
}

TEST_F(HostFreesInHandler, NewFormStartedWhileTheOldOneIsDestroyed)
{
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    TTestForm* first = TTestForm::last;
    ctrl->OnNotify = TNotifyMethod{[](void* data, int32_t code, TDLLBaseController* sender) {
                                       g_log << QStringLiteral("notify %1").arg(code);
                                       if (code == NOTIFY_FORM_DESTROY && *static_cast<bool*>(data)) {
                                           *static_cast<bool*>(data) = false;
                                           sender->InitForm(Variant::ArrayOf({"DS", "Leader", "DEMO", 0, Variant()}));
                                       }
                                   },
                                   &reopen};
    delete first;  // the form goes by a path of its own
    EXPECT_FALSE(ctrl->IsFormFreed());
    EXPECT_EQ(TTestForm::created, 2);
    ASSERT_NE(TTestForm::last, nullptr);
    ctrl->FreeForm();
    EXPECT_TRUE(ctrl->IsFormFreed());
    EXPECT_EQ(TTestForm::last, nullptr);
}

TEST_F(ControllerTest, WithoutHandlerNotificationsAreDropped)
{
    ctrl->OnNotify = TNotifyMethod{};
    EXPECT_EQ(ctrl->InitForm(Params()), 0);
    ctrl->SetVisible(WordTrue);
    ctrl->FreeForm();
    EXPECT_FALSE(g_log.join(QLatin1Char('|')).contains(QStringLiteral("notify")));
}

TEST_F(ControllerTest, TwoControllersOwnTheirOwnForms)
{
    std::unique_ptr<TDLLBaseController> other(GetController());
    EXPECT_NE(other.get(), ctrl.get());
    ASSERT_EQ(ctrl->InitForm(Params()), 0);
    ASSERT_EQ(other->InitForm(Params()), 0);
    EXPECT_EQ(TTestForm::created, 2);
    other.reset();
    EXPECT_FALSE(ctrl->IsFormFreed());
}

TEST_F(ControllerTest, UnassignedClassVariablesRaise)
{
    frmVRBaseOptClass = nullptr;
    try {
        ctrl->InitForm(Params());
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("QVS DLL Internal Error :\rNot Assign \"frmVRBaseOptClass\" varible"));
    }
    EXPECT_TRUE(ctrl->IsFormFreed());
    DLLControllerClass = nullptr;
    try {
        GetController();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("QVS DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible"));
    }
}

TEST(Units, InitialisedOnceFinalisedInReverse)
{
    QStringList order;
    static QStringList* log;
    log = &order;
    TUnit a{"A", [] { *log << "init A"; }, [] { *log << "fin A"; }};
    TUnit b{"B", [] { *log << "init B"; }, [] { *log << "fin B"; }};
    InitializeUnits({&a, &b, &a});
    FinalizeUnits();
    EXPECT_EQ(order, QStringList({"init A", "init B", "fin B", "fin A"}));
}
