#include "controls/ControlMessages.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QtDebug>

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
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        qWarning().noquote() << "control message:" << Text;
        return;
    }
    switch (Kind) {
    case TControlMsgKind::Error: QMessageBox::critical(Parent, QString(), Text); break;
    case TControlMsgKind::Warning: QMessageBox::warning(Parent, QString(), Text); break;
    case TControlMsgKind::Information: QMessageBox::information(Parent, QString(), Text); break;
    }
}

TControlMessageHandler SetControlMessageHandler(TControlMessageHandler Handler)
{
    TControlMessageHandler previous = std::move(CurrentHandler());
    CurrentHandler() = std::move(Handler);
    return previous;
}

}  // namespace kelm24
