// Sending a run's documents: each recipient of the send list gets one e-mail
// (through the mail program's automation object) or one fax (through the fax
// application's object) holding one page file per document; every recipient
// gets a send-log row on the application server.
#pragma once

#include "output/OutputForm.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace kelm24 {

class TSendOutput {
public:
    explicit TSendOutput(TOutputForm& form) : form_(form) {}

    // Kind 1 e-mail, 2 fax (the fax server is the text between "(" and ")"
    // of ServerCaption). Regenerates the pages when they are missing or
    // unfinished; false when there is nothing to send.
    bool SendDocuments(int Kind, int FileType, const QString& ServerCaption);
    void SendByMail(int FileType);
    void SendByFax(int FileType, const QString& Server);
    // Text is name "|" message; logged with the current recipient's outcome.
    void WriteSendLog(const QString& Text);
    // The captions of the fax menu: name "(" address ")" per fax server.
    QStringList FaxServerCaptions();

    // The send-log statement (values quoted).
    QString SendLogStatement(const QString& Text, const QDateTime& when) const;

private:
    TOutputForm& form_;
};

// Registers "Outlook.Application" and "QVSFAX.APP" for the settings file,
// unless something else registered them (a host or a test): section [Mail]
// Server, Port, Sender, User, Password, StartTLS, CAFile, Timeout; section [Fax]
// Count, then Name<n>, Address<n>, Spool<n> (a relative spool folder lies
// under the installation folder).
void RegisterOutputObjects(const QString& SettingsFile, const QString& ClientPath);

// The subject converted between the Chinese code pages when the interface
// code page and the interface language disagree.
QString MailSubjectForCodePage(const QString& Subject, const QString& UICodePage, int UILanguage);

}  // namespace kelm24
