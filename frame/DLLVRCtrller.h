// The report controller: owns at most one option form and turns each host
// request into one call on it.
#pragma once

#include "frame/DLLBaseCtrller.h"
#include "frame/VROptForm.h"
#include "frame/Units.h"

#include <memory>

namespace kelm24 {

extern TVROptFormClass frmVRBaseOptClass;
extern TUnit DLLVRCtrllerUnit;

class TDLLVRCtrller : public TDLLBaseController {
public:
    TVROptForm* Form = nullptr;
    TNotifyEvent SavedOnShow, SavedOnHide, SavedOnDestroy;

    QString GetVersionText() override;
    WordBool GetVisible() override;
    void SetVisible(WordBool Value) override;
    int32_t GetHandle() override;
    int32_t InitForm(const Variant& Params) override;
    int32_t ApplyCommand(const Variant& Command) override;
    int32_t RunCommand(int32_t Kind, const Variant& Args) override;
    Variant ShowModalForm() override;
    void FreeForm() override;
    int32_t GetFormInfo(Variant& Info) override;
    bool IsFormFreed() override;
    void DoFormShow(void* Sender) override;
    void DoFormHide(void* Sender) override;
    void DoFormDestroy(void* Sender) override;
    void CloseDesign() override;
    ~TDLLVRCtrller() override;

    static TDLLBaseController* Create();

private:
    void HookEvent(TNotifyEvent& formEvent, TNotifyEvent& saved, void (TDLLVRCtrller::*hook)(void*));
    // Gives the form its own handlers back, so nothing of a form on its way out
    // points at this controller any more.
    void Unhook(TVROptForm& form);

    // Expires with the controller. The host may free the controller from its
    // notification handler, so code that notifies checks it before going on.
    std::shared_ptr<char> life_ = std::make_shared<char>();
};

}  // namespace kelm24
