// What the report controller uses of an option form. The base option form
// implements this on a Qt window; the controller never sees more of it.
#pragma once

#include "kelm24/Variant.h"
#include "platform/dialogs/ModalResult.h"
#include "runtime/NotifyEvent.h"

#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace kelm24 {

class TVROptForm {
public:
    virtual ~TVROptForm();

    virtual QWidget* Window() = 0;
    virtual void SetModulePath(const QString& Path) = 0;
    virtual bool InitFromHost(const Variant& Params) = 0;
    virtual void ApplyHostCommand(const Variant& Command) = 0;
    virtual bool ExecuteReport(bool APreview) = 0;
    virtual bool ExecuteForHost(const Variant& AParams, bool APreview) = 0;
    virtual bool ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                               const QString& AExtra) = 0;
    virtual void CloseDesigner() = 0;
    // Shows the window modally and answers its modal result.
    virtual int ShowModal() = 0;

    bool Destroying() const { return destroying_; }
    // Frees the form. From inside one of its own show or hide handlers (the
    // host may let go of the form on hearing it was shown or hidden) the
    // destruction starts at once, OnDestroy included, and the window object is
    // deleted once the event has been handled.
    void Free();

    Variant HostObject;
    QString UserCode, CompanyCode, ProgramCode, ProgramName, VersionText;
    Variant ResultValue;
    int32_t ResultCode = 0;
    TNotifyEvent OnShow, OnHide, OnDestroy;

protected:
    // The window calls these from its show and hide events.
    void DoShow();
    void DoHide();
    // Marks the form as being destroyed and runs OnDestroy once. A form calls
    // it first thing in its destructor; the base destructor calls it otherwise.
    void BeginDestroy(QObject* Sender = nullptr);

private:
    void RunHandler(const TNotifyEvent& event);
    bool destroying_ = false;
    int handling_ = 0;  // depth of show and hide handlers running
};

// The virtual constructor of an option form class.
using TVROptFormClass = TVROptForm* (*)(QWidget* Owner);

}  // namespace kelm24
