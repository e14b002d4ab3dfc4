// The mail program's automation object ("Outlook.Application") as the report
// output calls it:
//   app.GetNamespace("MAPI").GetDefaultFolder(6).Items.Add -> mail item
//   item.To, item.Subject, item.Body, item.Attachments.Add(file), item.Send
// Send builds a MIME message (UTF-8 subject and file names, base64 parts) and
// hands it to the SMTP server of the settings. A failed send raises a
// kelm24::Exception with the server's answer; nothing waits longer than the
// settings' time-out.
#pragma once

#include "kelm24/Automation.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

namespace kelm24 {

struct TMailSettings {
    QString Server = QStringLiteral("127.0.0.1");
    int Port = 25;
    QString Sender;             // the envelope and "From" address
    QString UserName, Password; // login when a user name is given
    bool StartTLS = false;      // require STARTTLS before the login
    QString CaFile;             // authorities the server's certificate is checked against; empty: the system's
    int TimeoutSeconds = 30;    // connect and whole-transfer limit
};

// One message as it will be sent.
struct TMailMessage {
    QString From;
    QStringList To;
    QString Subject;
    QString Body;
    QStringList Attachments;  // file paths
};

// The MIME text of a message (CR LF lines). Raises when an attachment
// cannot be read.
QByteArray BuildMimeMessage(const TMailMessage& message, const QByteArray& boundary = QByteArray());
// The addresses of a "To" text: separated by ";" or ",", trimmed, empty ones dropped.
QStringList SplitAddresses(const QString& to);
// Sends the message through the SMTP server; raises with the reason on failure.
void SendSmtpMessage(const TMailSettings& settings, const TMailMessage& message);

// The application object; each created object sends with these settings.
std::shared_ptr<IAutomationObject> CreateMailApplication(const TMailSettings& settings);

}  // namespace kelm24
