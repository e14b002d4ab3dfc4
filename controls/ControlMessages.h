// Every message box of the controls goes through ShowControlMessage, so that a
// form can route it into its dialog service and a test can record it.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace kelm24 {

enum class TControlMsgKind { Error, Warning, Information };

using TControlMessageHandler = std::function<void(QWidget* Parent, const QString& Text, TControlMsgKind Kind)>;

// Shows Text through the current handler. Without a handler it goes to the
// dialog service (a message box, or a scripted answer when headless).
void ShowControlMessage(QWidget* Parent, const QString& Text, TControlMsgKind Kind = TControlMsgKind::Error);

// Installs a handler (an empty one restores the default) and answers the previous one.
TControlMessageHandler SetControlMessageHandler(TControlMessageHandler Handler);

}  // namespace kelm24
