// The F2 convention: an F2 button (or a pick button of a select panel) focuses
// its edit and sends the owner form the user message 0x040A with the edit.
// Here the message is a Qt event sent synchronously to the edit's window; the
// form answers it with its F2 handling.
#pragma once

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace kelm24 {

constexpr int WM_USER = 0x0400;
constexpr int WM_F2KEY = WM_USER + 10;  // 0x040A

class TF2MessageEvent : public QEvent {
public:
    explicit TF2MessageEvent(QWidget* control) : QEvent(Type()), control_(control) {}
    // The event type of message 0x040A.
    static QEvent::Type Type() { return QEvent::Type(QEvent::User + WM_F2KEY); }
    // The control in LParam.
    QWidget* Control() const { return control_; }

private:
    QPointer<QWidget> control_;
};

// Sends the message for control to its owner form (the control's window).
// Answers whether the form accepted it.
bool SendF2Message(QWidget* control);

}  // namespace kelm24
