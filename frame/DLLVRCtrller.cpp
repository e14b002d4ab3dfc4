#include "frame/DLLVRCtrller.h"

#include "frame/ModulePath.h"

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

int32_t TDLLVRCtrller::InitForm(const Variant& Params)
{
    int32_t result = -1;
    if (!Form) {
        if (!frmVRBaseOptClass) throw Exception(NotAssignMessage("frmVRBaseOptClass"));
        Form = frmVRBaseOptClass(nullptr);
        Form->SetModulePath(ModuleFileName());
        Form->HostObject = HostObject;
        DoFormCreated(this);
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
    delete Form;  // the form's destruction runs DoFormDestroy, which forgets it
    Form = nullptr;
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
    if (Form) {
        ResultCode = Form->ResultCode;
        ResultValue = Form->ResultValue;
        if (SavedOnDestroy) SavedOnDestroy(static_cast<QObject*>(Sender));
        TDLLBaseController::DoFormDestroy(Sender);
    }
    Form = nullptr;
}

void TDLLVRCtrller::CloseDesign()
{
    if (Form) Form->CloseDesigner();
}

TDLLVRCtrller::~TDLLVRCtrller()
{
    if (Form) FreeForm();
}

}  // namespace kelm24
