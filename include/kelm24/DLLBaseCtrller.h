// The controller a report plug-in returns from GetController, as the host sees it.
// Host and plug-in share this declaration: the fields are read and written
// directly, the operations are called through the virtual table in this order.
#pragma once

#include "kelm24/Variant.h"

#include <QString>
#include <cstdint>

namespace kelm24 {

class TDLLBaseController;

// The host's notification handler: a plain code pointer with the host's own
// context pointer, so a host built separately can set it without sharing any
// C++ library type with the plug-in.
struct TNotifyMethod {
    void (*Code)(void* Data, int32_t NotifyCode, TDLLBaseController* Sender) = nullptr;
    void* Data = nullptr;
    explicit operator bool() const { return Code != nullptr; }
};

enum : int32_t {
    NOTIFY_FORM_CREATED = 0x100,  // 256
    NOTIFY_FORM_SHOW = 0x110,     // 272
    NOTIFY_FORM_HIDE = 0x120,     // 288
    NOTIFY_FORM_DESTROY = 0x130,  // 304
    NOTIFY_SPARE = 0x140,         // 320, never sent
};

class TDLLBaseController {
public:
    Variant HostObject;
    int32_t ResultCode = 0;
    Variant ResultValue;
    TNotifyMethod OnNotify;

    // Slots 0 to 10 are the concrete controller's.
    virtual QString GetVersionText() = 0;
    virtual WordBool GetVisible() = 0;
    virtual void SetVisible(WordBool Value) = 0;
    virtual int32_t GetHandle() = 0;
    virtual int32_t InitForm(const Variant& Params) = 0;
    virtual int32_t ApplyCommand(const Variant& Command) = 0;
    virtual int32_t RunCommand(int32_t Kind, const Variant& Args) = 0;
    virtual Variant ShowModalForm() = 0;
    virtual void FreeForm() = 0;
    virtual int32_t GetFormInfo(Variant& Info) = 0;
    virtual bool IsFormFreed() = 0;
    // Slots 11 to 15 have the shape of an ordinary event handler; the Sender
    // is any object and is never passed on.
    virtual void DoFormCreated(void* Sender) { (void)Sender; Notify(NOTIFY_FORM_CREATED, this); }
    virtual void DoFormShow(void* Sender) { (void)Sender; Notify(NOTIFY_FORM_SHOW, this); }
    virtual void DoFormHide(void* Sender) { (void)Sender; Notify(NOTIFY_FORM_HIDE, this); }
    virtual void DoFormDestroy(void* Sender) { (void)Sender; Notify(NOTIFY_FORM_DESTROY, this); }
    virtual void DoSpareNotify(void* Sender) { (void)Sender; Notify(NOTIFY_SPARE, this); }
    // The handler always hears the controller itself as its sender.
    virtual void Notify(int32_t Code, void* Sender)
    {
        (void)Sender;
        if (OnNotify) OnNotify.Code(OnNotify.Data, Code, this);
    }
    virtual void CloseDesign() {}
    // The host frees the controller through this; it frees the form too.
    virtual ~TDLLBaseController() = default;
};

}  // namespace kelm24

// The plug-in's one export.
extern "C" kelm24::TDLLBaseController* GetController();
using GetControllerProc = kelm24::TDLLBaseController* (*)();
