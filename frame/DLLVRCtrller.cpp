#include "frame/DLLVRCtrller.h"

#include "runtime/ModulePath.h"

#include <QWidget>

namespace kelm24 {

TVROptFormClass frmVRBaseOptClass = nullptr;

TUnit DLLVRCtrllerUnit{"DLLVRCtrller", [] { DLLControllerClass = &TDLLVRCtrller::Create; },
                       [] { DLLControllerClass = nullptr; }};

TDLLBaseController* TDLLVRCtrller::Create()
{
    return new TDLLVRCtrller();
}

QString TDLLVRCtrller::GetVersionText()
{
    return Form ? Form->VersionText : QString();
}

WordBool TDLLVRCtrller::GetVisible()
{
    return Form && Form->Window()->isVisible() ? WordTrue : WordFalse;
}

void TDLLVRCtrller::SetVisible(WordBool Value)
{
    if (!Form) return;
    QWidget* window = Form->Window();
    window->setVisible(Value != 0);
    if (Value != 0 && window->isMinimized()) window->showNormal();
    window->raise();
    window->activateWindow();
}

int32_t TDLLVRCtrller::GetHandle()
{
    return Form ? static_cast<int32_t>(Form->Window()->winId()) : 0;
}

void TDLLVRCtrller::HookEvent(TNotifyEvent& formEvent, TNotifyEvent& saved, void (TDLLVRCtrller::*hook)(void*))
{
    // A handler that is already ours stays out of the saved slot, or the hook
    // would call itself.
    if (formEvent.Data != this) saved = formEvent;
    formEvent = TNotifyEvent{this, [this, hook](QObject* sender) { (this->*hook)(sender); }};
}

void TDLLVRCtrller::Unhook(TVROptForm& form)
{
    const auto restore = [this](TNotifyEvent& formEvent, TNotifyEvent& saved) {
        if (formEvent.Data == this) formEvent = saved;
        saved = TNotifyEvent{};
    };
    restore(form.OnShow, SavedOnShow);
    restore(form.OnHide, SavedOnHide);
    restore(form.OnDestroy, SavedOnDestroy);
}

int32_t TDLLVRCtrller::InitForm(const Variant& Params)
{
    int32_t result = -1;
    // A form on its way out (the host starts again on hearing 304) cannot be
    // started: a new one takes its place.
    if (!Form || Form->Destroying()) {
        if (!frmVRBaseOptClass) throw Exception(NotAssignMessage("frmVRBaseOptClass"));
        Form = frmVRBaseOptClass(nullptr);
        Form->SetModulePath(ModuleFileName());
        Form->HostObject = HostObject;
        const std::weak_ptr<char> alive = life_;
        DoFormCreated(this);
        if (alive.expired() || !Form) return result;  // the host let go on hearing 256
    }
    HookEvent(Form->OnShow, SavedOnShow, &TDLLVRCtrller::DoFormShow);
    HookEvent(Form->OnHide, SavedOnHide, &TDLLVRCtrller::DoFormHide);
    HookEvent(Form->OnDestroy, SavedOnDestroy, &TDLLVRCtrller::DoFormDestroy);
    if (Form->InitFromHost(Params)) result = 0;
    return result;
}

int32_t TDLLVRCtrller::ApplyCommand(const Variant& Command)
{
    if (!Form || Command.IsNull()) return -1;
    try {
        Form->ApplyHostCommand(Command);
        return 0;
    } catch (...) {
        return -1;
    }
}

int32_t TDLLVRCtrller::RunCommand(int32_t Kind, const Variant& Args)
{
    if (!Form) return -1;
    bool done = false;
    switch (Kind) {
    case 5:
        done = Form->ExecuteReport(Args[0].ToBool());
        break;
    case 6:
        done = Form->ExecuteForHost(Args[1], Args[0].ToBool());
        break;
    case 11: {
        int resolution = 96;
        try {
            resolution = Args[3].ToInt();
        } catch (...) {
            resolution = 96;
        }
        QString extra = Args.HighBound() >= 4 ? Args[4].ToString() : QString();
        QString path = Args[2].ToString();
        int fileType = Args[1].ToInt();
        done = Form->ExportForHost(Args[0], fileType, path, resolution, extra);
        break;
    }
    default:
        return -1;
    }
    return done ? 0 : -1;
}

Variant TDLLVRCtrller::ShowModalForm()
{
    if (!Form) return Variant(static_cast<int>(mrCancel));
    return Variant(Form->ShowModal());
}

void TDLLVRCtrller::FreeForm()
{
    if (!Form || Form->Destroying()) return;
    TVROptForm* form = Form;
    const std::weak_ptr<char> alive = life_;
    form->Free();  // runs DoFormDestroy, which forgets the form
    if (!alive.expired() && Form == form) Form = nullptr;
}

int32_t TDLLVRCtrller::GetFormInfo(Variant& Info)
{
    if (!Form) return -1;
    Info = Variant::ArrayOf({Form->UserCode, Form->CompanyCode, Form->ProgramCode, Form->ProgramName});
    return 0;
}

bool TDLLVRCtrller::IsFormFreed()
{
    return Form == nullptr;
}

void TDLLVRCtrller::DoFormShow(void* Sender)
{
    if (SavedOnShow) SavedOnShow(static_cast<QObject*>(Sender));
    TDLLBaseController::DoFormShow(Sender);
}

void TDLLVRCtrller::DoFormHide(void* Sender)
{
    if (SavedOnHide) SavedOnHide(static_cast<QObject*>(Sender));
    TDLLBaseController::DoFormHide(Sender);
}

void TDLLVRCtrller::DoFormDestroy(void* Sender)
{
    TVROptForm* form = Form;
    if (form) {
        ResultCode = form->ResultCode;
        ResultValue = form->ResultValue;
        const TNotifyEvent savedOnDestroy = SavedOnDestroy;
        Unhook(*form);
        if (savedOnDestroy) savedOnDestroy(static_cast<QObject*>(Sender));
        const std::weak_ptr<char> alive = life_;
        TDLLBaseController::DoFormDestroy(Sender);
        if (alive.expired()) return;  // the host freed this controller on hearing 304
    }
    // Keep a form the host started anew while hearing 304.
    if (Form == form) Form = nullptr;
}

void TDLLVRCtrller::CloseDesign()
{
    if (Form) Form->CloseDesigner();
}

TDLLVRCtrller::~TDLLVRCtrller()
{
    if (Form) FreeForm();
    // Still there: the form is being destroyed (the host frees this controller
    // while hearing 304). It must not call back into a freed controller.
    if (Form) Unhook(*Form);
}

}  // namespace kelm24
