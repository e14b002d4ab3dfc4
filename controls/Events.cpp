#include "controls/Events.h"

namespace kelm24 {

bool TControlEvents::KeyDown(QObject* sender, QKeyEvent* event, std::unique_ptr<QKeyEvent>& replacement)
{
    if (OnKeyDown) {
        int key = event->key();
        OnKeyDown(sender, key, event->modifiers());
        if (key == 0) return false;
    }
    if (OnKeyPress && !event->text().isEmpty()) {
        QChar ch = event->text()[0];
        const QChar before = ch;
        OnKeyPress(sender, ch);
        if (ch.isNull()) return false;
        if (ch != before)
            replacement = std::make_unique<QKeyEvent>(QEvent::KeyPress, event->key(), event->modifiers(), QString(ch));
    }
    return true;
}

}  // namespace kelm24
