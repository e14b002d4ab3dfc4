#include "frame/VROptForm.h"

#include <QWidget>

namespace kelm24 {

TVROptForm::~TVROptForm()
{
    BeginDestroy();
}

// Handlers run from a copy: a handler may replace itself (the controller puts
// the form's own handlers back when the form goes).
void TVROptForm::RunHandler(const TNotifyEvent& event)
{
    const TNotifyEvent handler = event;
    if (!handler) return;
    struct Depth {
        int& n;
        explicit Depth(int& d) : n(++d) {}
        ~Depth() { --n; }
    } depth(handling_);
    handler(Window());
}

void TVROptForm::DoShow()
{
    RunHandler(OnShow);
}

void TVROptForm::DoHide()
{
    RunHandler(OnHide);
}

void TVROptForm::BeginDestroy(QObject* Sender)
{
    if (destroying_) return;
    destroying_ = true;
    const TNotifyEvent handler = OnDestroy;
    if (handler) handler(Sender);
}

void TVROptForm::Free()
{
    QObject* window = dynamic_cast<QObject*>(this);
    if (handling_ > 0 && window) {
        // Deleting a widget inside its own event handler pulls the event's
        // object from under Qt.
        BeginDestroy(window);
        window->deleteLater();
        return;
    }
    // OnDestroy runs while the whole form still exists.
    BeginDestroy(window);
    delete this;
}

}  // namespace kelm24
