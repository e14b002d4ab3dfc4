// Shared pieces of the control tests: recorded messages, a fixed font, a
// shown and active window, a form that records F2 messages, stored-data
// blocks and the select panel's exit check.
#pragma once

#include "controls/ControlMessages.h"
#include "controls/F2Message.h"
#include "controls/SelectPnl.h"

#include <QApplication>
#include <QByteArray>
#include <QDataStream>
#include <QFont>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <functional>
#include <utility>

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

// A stored-data block written as the controls write theirs.
inline QByteArray Block(const std::function<void(QDataStream&)>& write)
{
    QByteArray data;
    QDataStream s(&data, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    write(s);
    return data;
}

// Sets the two range texts and runs the check that leaving the panel runs.
inline std::pair<QString, QString> Exit(TSelectPanel& p, const QString& begin, const QString& end)
{
    p.SetBeginText(begin);
    p.SetFinalText(end);
    p.DoExit();
    return {p.BeginText(), p.FinalText()};
}

}  // namespace kelm24::test
