// The plain event handler of forms and controls.
#pragma once

#include <QObject>
#include <functional>

namespace kelm24 {

// An event handler with the identity of the object it belongs to, so that an
// installer can recognise handlers of its own.
struct TNotifyEvent {
    const void* Data = nullptr;
    std::function<void(QObject* Sender)> Code;
    explicit operator bool() const { return static_cast<bool>(Code); }
    void operator()(QObject* Sender) const { Code(Sender); }
};

}  // namespace kelm24
