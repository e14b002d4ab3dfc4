// Event handlers of the controls. Each is a field a form may read, replace
// and later call again (a form re-binds the OnEnter/OnExit of its date fields
// and the OnClick of its command buttons). Qt's own signals stay available.
#pragma once

#include "runtime/NotifyEvent.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <functional>
#include <memory>

namespace kelm24 {

using TKeyEvent = std::function<void(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;
using TMouseEvent =
    std::function<void(QObject* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, QPoint Pos)>;

// The events every focusable control raises: entering and leaving, keys and
// mouse. A key handler that sets Key to 0 (or a null character) swallows it.
struct TControlEvents {
    TNotifyEvent OnEnter, OnExit, OnClick, OnDblClick;
    TKeyEvent OnKeyDown, OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown, OnMouseUp;

    static void Fire(const TNotifyEvent& e, QObject* sender)
    {
        if (e) e(sender);
    }
    // Runs the key handlers; false when they swallowed the key. A changed
    // character is put back into the event.
    bool KeyDown(QObject* sender, QKeyEvent* event, std::unique_ptr<QKeyEvent>& replacement);
};

// Mixes the events into a Qt widget class. The concrete control derives from
// TEventedControl<QLineEdit> (and so on) and adds Q_OBJECT and its properties.
template <class Base>
class TEventedControl : public Base, public TControlEvents {
public:
    using Base::Base;

protected:
    void focusInEvent(QFocusEvent* e) override
    {
        Base::focusInEvent(e);
        if (e->reason() != Qt::PopupFocusReason) Fire(OnEnter, this);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        Base::focusOutEvent(e);
        if (e->reason() != Qt::PopupFocusReason) Fire(OnExit, this);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        std::unique_ptr<QKeyEvent> replacement;
        if (!KeyDown(this, e, replacement)) {
            e->accept();
            return;
        }
        if (!replacement) {
            Base::keyPressEvent(e);
            return;
        }
        Base::keyPressEvent(replacement.get());
        e->setAccepted(replacement->isAccepted());
    }
    void keyReleaseEvent(QKeyEvent* e) override
    {
        if (OnKeyUp) {
            int key = e->key();
            OnKeyUp(this, key, e->modifiers());
            if (key == 0) return;
        }
        Base::keyReleaseEvent(e);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        Base::mousePressEvent(e);
        if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), e->position().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        Base::mouseReleaseEvent(e);
        if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), e->position().toPoint());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        Base::mouseDoubleClickEvent(e);
        Fire(OnDblClick, this);
    }
};

}  // namespace kelm24
