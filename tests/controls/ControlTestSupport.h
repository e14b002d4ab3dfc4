// Shared pieces of the control tests: recorded messages, a fixed font, a
// shown and active window, and a form that records F2 messages.
#pragma once

#include "controls/ControlMessages.h"
#include "controls/F2Message.h"

#include <QApplication>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QWidget>

namespace kelm24::test {

// Records every control message while it lives.
class MessageRecorder {
public:
    MessageRecorder()
    {
        previous_ = SetControlMessageHandler(
            [this](QWidget*, const QString& text, TControlMsgKind) { Messages << text; });
    }
    ~MessageRecorder() { SetControlMessageHandler(previous_); }
    QStringList Messages;

private:
    TControlMessageHandler previous_;
};

// A window that answers the F2 message and remembers the controls it got.
class F2Form : public QWidget {
public:
    F2Form()
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(12);
        setFont(f);
        resize(500, 300);
    }
    QList<QPointer<QWidget>> F2Controls;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == TF2MessageEvent::Type()) {
            F2Controls << static_cast<TF2MessageEvent*>(e)->Control();
            e->accept();
            return true;
        }
        return QWidget::event(e);
    }
};

// Shows the window and makes it the active one, so focus moves really happen.
inline bool ShowActive(QWidget* w)
{
    w->show();
    QApplication::setActiveWindow(w);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

}  // namespace kelm24::test
