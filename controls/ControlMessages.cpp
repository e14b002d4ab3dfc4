#include "controls/ControlMessages.h"

#include "platform/dialogs/Dialogs.h"

namespace kelm24 {

namespace {
TControlMessageHandler& CurrentHandler()
{
    static TControlMessageHandler handler;
    return handler;
}
}  // namespace

void ShowControlMessage(QWidget* Parent, const QString& Text, TControlMsgKind Kind)
{
    if (const TControlMessageHandler& handler = CurrentHandler()) {
        handler(Parent, Text, Kind);
        return;
    }
    TMessageRequest request;
    request.Text = Text;
    request.DlgType = Kind == TControlMsgKind::Error     ? mtError
                      : Kind == TControlMsgKind::Warning ? mtWarning
                                                         : mtInformation;
    request.Owner = Parent;
    TDialogService::MessageBox(request);
}

TControlMessageHandler SetControlMessageHandler(TControlMessageHandler Handler)
{
    TControlMessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(Handler);
    return previous;
}

}  // namespace kelm24
