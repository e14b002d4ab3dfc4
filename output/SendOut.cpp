#include "output/SendOut.h"

#include "format/engine/QRPrinter.h"
#include "i18n/CodeConverter.h"
#include "kelm24/Automation.h"
#include "output/PageOutput.h"
#include "output/SendDialogs.h"
#include "platform/fax/FaxApplication.h"
#include "platform/mail/MailApplication.h"
#include "runtime/DateText.h"
#include "runtime/IniFile.h"
#include "runtime/SqlCondition.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>

namespace kelm24 {

namespace {

const QString MailProgId = QStringLiteral("Outlook.Application");
const QString FaxProgId = QStringLiteral("QVSFAX.APP");

struct TRegisteredSettings {
    bool mail = false, fax = false;
    QString file, clientPath;
};
TRegisteredSettings& Registered()
{
    static TRegisteredSettings settings;
    return settings;
}

TMailSettings ReadMailSettings(const QString& file)
{
    const TIniFile ini(file);
    TMailSettings s;
    const QString section = QStringLiteral("Mail");
    s.Server = ini.ReadString(section, QStringLiteral("Server"), s.Server);
    s.Port = ini.ReadInteger(section, QStringLiteral("Port"), s.Port);
    s.Sender = ini.ReadString(section, QStringLiteral("Sender"), s.Sender);
    s.UserName = ini.ReadString(section, QStringLiteral("User"), QString());
    s.Password = ini.ReadString(section, QStringLiteral("Password"), QString());
    s.StartTLS = ini.ReadBool(section, QStringLiteral("StartTLS"), false);
    const QString caFile = ini.ReadString(section, QStringLiteral("CAFile"), QString());
    if (!caFile.isEmpty()) s.CaFile = QFileInfo(file).dir().absoluteFilePath(caFile);
    s.TimeoutSeconds = std::max(1, ini.ReadInteger(section, QStringLiteral("Timeout"), s.TimeoutSeconds));
    return s;
}

std::vector<TFaxServer> ReadFaxServers(const QString& file, const QString& clientPath)
{
    const TIniFile ini(file);
    std::vector<TFaxServer> servers;
    const QString section = QStringLiteral("Fax");
    const int count = ini.ReadInteger(section, QStringLiteral("Count"), 0);
    for (int i = 1; i <= count; ++i) {
        TFaxServer s;
        s.Name = ini.ReadString(section, QStringLiteral("Name%1").arg(i), QString());
        s.Address = ini.ReadString(section, QStringLiteral("Address%1").arg(i), QString());
        QString spool = ini.ReadString(section, QStringLiteral("Spool%1").arg(i), QStringLiteral("C_DATA/FAX%1").arg(i));
        spool.replace(QLatin1Char('\\'), QLatin1Char('/'));
        s.SpoolFolder = QDir::isAbsolutePath(spool) ? spool : clientPath + spool;
        servers.push_back(s);
    }
    return servers;
}

// The send-list line's parts: key, e-mail, fax, document entries.
struct TSendLine {
    QString Key, Email, Fax, Entries;
};
TSendLine SplitSendLine(const QString& line)
{
    TSendLine result;
    const auto eq = line.indexOf(QLatin1Char('='));
    result.Key = line.left(eq);
    const QString rest = eq < 0 ? QString() : line.mid(eq + 1);
    const QStringList fields = rest.split(QLatin1Char('|'));
    result.Email = fields.value(0).trimmed();
    result.Fax = fields.value(1).trimmed();
    result.Entries = fields.mid(2).join(QLatin1Char('|'));
    return result;
}

void DeleteFiles(const QStringList& files)
{
    for (const QString& f : files) QFile::remove(f);
}

// Disables the form's window while a send runs and gives it back after.
class TDisabledWindow {
public:
    explicit TDisabledWindow(QWidget* window) : window_(window)
    {
        if (window_) {
            enabled_ = window_->isEnabled();
            window_->setEnabled(false);
        }
    }
    ~TDisabledWindow()
    {
        if (window_) window_->setEnabled(enabled_);
    }

private:
    QPointer<QWidget> window_;
    bool enabled_ = true;
};

}  // namespace

void RegisterOutputObjects(const QString& SettingsFile, const QString& ClientPath)
{
    TRegisteredSettings& r = Registered();
    r.file = SettingsFile;
    r.clientPath = ClientPath;
    if (r.mail || !IsOleClassRegistered(MailProgId)) {
        RegisterOleFactory(MailProgId, [] { return CreateMailApplication(ReadMailSettings(Registered().file)); });
        r.mail = true;
    }
    if (r.fax || !IsOleClassRegistered(FaxProgId)) {
        RegisterOleFactory(FaxProgId, [] {
            return CreateFaxApplication([] { return ReadFaxServers(Registered().file, Registered().clientPath); });
        });
        r.fax = true;
    }
}

QString MailSubjectForCodePage(const QString& Subject, const QString& UICodePage, int UILanguage)
{
    try {
        if (UICodePage == QLatin1String("950") && UILanguage == 1) return TTranslator().GBtoBIG5(Subject);
        if (UICodePage == QLatin1String("936") && UILanguage == 3) return TTranslator().BIG5toGB(Subject);
    } catch (const std::exception&) {
        // Without the conversion library the subject goes as it is.
    }
    return Subject;
}

QString TSendOutput::SendLogStatement(const QString& Text, const QDateTime& when) const
{
    const QString name = Text.section(QLatin1Char('|'), 0, 0);
    const QString message = Text.section(QLatin1Char('|'), 1, 1);
    const QString date = FormatDateStyle(1, QString(), DateToValue(when.date()));
    const QString values = QStringList{SqlQuoted(form_.CompanyCode), SqlQuoted(form_.UserCode), SqlQuoted(form_.UserGroup),
                                       SqlQuoted(date), SqlQuoted(QStringLiteral("1")), SqlQuoted(form_.ProgramCode),
                                       SqlQuoted(name), SqlQuoted(form_.SendFailed ? QStringLiteral("N") : QStringLiteral("Y")),
                                       SqlQuoted(message), SqlQuoted(when.toString(QStringLiteral("hh:mm:ss"))), SqlQuoted(date)}
                               .join(QLatin1Char(','));
    return QStringLiteral("INSERT INTO $$ADMTA (COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG,TA001,TA002,TA003,TA004,TA005,TA006) VALUES(") +
           values + QLatin1Char(')');
}

void TSendOutput::WriteSendLog(const QString& Text)
{
    form_.RunFreeSQL(SendLogStatement(Text, QDateTime::currentDateTime()));
}

bool TSendOutput::SendDocuments(int Kind, int FileType, const QString& ServerCaption)
{
    form_.SendFailed = false;
    form_.PrintMode = 2;
    TQRPrinter* pages = form_.ReportPages();
    if (pages == nullptr || !pages->Finished()) {
        if (!form_.RegeneratePages()) return false;
        pages = form_.ReportPages();
        if (pages == nullptr || !pages->Finished()) return false;
    }
    if (form_.SendList.isEmpty()) return false;
    RegisterOutputObjects(form_.SettingsFile, form_.ClientPath);
    if (Kind == 1) {
        SendByMail(FileType);
    } else if (Kind == 2) {
        const auto open = ServerCaption.indexOf(QLatin1Char('('));
        const auto close = ServerCaption.indexOf(QLatin1Char(')'), open + 1);
        const QString server = open < 0 || close < 0 ? QString() : ServerCaption.mid(open + 1, close - open - 1);
        SendByFax(FileType, server);
    }
    return true;
}

void TSendOutput::SendByMail(int FileType)
{
    Variant mapi;
    try {
        mapi = CreateOleObject(MailProgId).Call(QStringLiteral("GetNamespace"), {QStringLiteral("MAPI")});
    } catch (const std::exception&) {
        form_.SendFailed = true;
        WriteSendLog(QStringLiteral("Email|Create Outlook error!"));
        return;
    }
    QString base;
    try {
        base = TemporaryBaseName(form_);
    } catch (const std::exception&) {
        form_.SendFailed = true;
        WriteSendLog(QStringLiteral("Email|Generate attach file error!"));
        return;
    }
    const QString subject = MailSubjectForCodePage(
        AskEmailSubject(form_.ToDisplay(QStringLiteral("Velmor-ERP ") + form_.ProgramName), form_),
        form_.UICodePage, form_.UILanguage);
    TPageOutput output(form_);
    for (const QString& line : form_.SendList) {
        const TSendLine recipient = SplitSendLine(line);
        // Each recipient's log row tells its own outcome.
        form_.SendFailed = false;
        QStringList files;
        try {
            if (recipient.Email.isEmpty()) {
                form_.SendFailed = true;
                WriteSendLog(recipient.Key + QStringLiteral("|Not assign e-Mail address!"));
                continue;
            }
            if (!output.ConvertRecipientPages(recipient.Entries, base, FileType, files)) {
                form_.SendFailed = true;
                WriteSendLog(recipient.Key + QStringLiteral("|Generate attach file error!"));
                break;
            }
            const Variant item = mapi.Call(QStringLiteral("GetDefaultFolder"), {6}).Get(QStringLiteral("Items")).Call(QStringLiteral("Add"));
            item.Set(QStringLiteral("To"), recipient.Email);
            item.Set(QStringLiteral("Subject"), subject);
            const Variant attachments = item.Get(QStringLiteral("Attachments"));
            for (const QString& f : files) attachments.Call(QStringLiteral("Add"), {f});
            item.Call(QStringLiteral("Send"));
            DeleteFiles(files);
            WriteSendLog(recipient.Key + QStringLiteral("|Send e-Mail Complete !"));
        } catch (const std::exception& e) {
            qWarning("e-mail to %s: %s", qPrintable(recipient.Key), e.what());
            DeleteFiles(files);
            form_.SendFailed = true;
            WriteSendLog(recipient.Key + QStringLiteral("|Send e-Mail error!"));
        }
    }
}

void TSendOutput::SendByFax(int FileType, const QString& Server)
{
    if (form_.SendList.isEmpty()) return;
    form_.AbortRequested = false;
    const int savedResolution = form_.Resolution;
    form_.Resolution = 200;
    QString base;
    try {
        base = TemporaryBaseName(form_);
    } catch (const std::exception&) {
        form_.SendFailed = true;
        WriteSendLog(QStringLiteral("Fax|Generate attach file error!"));
        form_.Resolution = savedResolution;
        return;
    }
    TDisabledWindow disabled(form_.OutputWindow());
    auto* dialog = new TfrmVRSendOut(&form_, form_.OutputWindow());
    QPointer<TfrmVRSendOut> progress(dialog);
    dialog->ProgressBar1->setRange(0, std::max(1, form_.DocumentPageCount));
    dialog->ProgressBar1->setValue(0);
    dialog->show();
    const QString server = Server.trimmed() == QLatin1String("127.0.0.1") ? QString() : Server.trimmed();
    TPageOutput output(form_);
    const int lineCount = static_cast<int>(form_.SendList.size());
    int sentPages = 0;
    for (int n = 0; n < lineCount && !form_.AbortRequested; ++n) {
        const TSendLine recipient = SplitSendLine(form_.SendList[n]);
        form_.SendFailed = false;
        QStringList files;
        try {
            const Variant job = CreateOleObject(FaxProgId).Get(QStringLiteral("SendFax"));
            if (recipient.Fax.isEmpty()) {
                form_.SendFailed = true;
                WriteSendLog(recipient.Key + QStringLiteral("|Not assign fax number!"));
                continue;
            }
            if (progress) {
                progress->txtReceiver->setText(recipient.Key);
                progress->txtReceiveCnt->setText(QStringLiteral("%1/%2").arg(n + 1).arg(lineCount));
            }
            if (!output.ConvertRecipientPages(recipient.Entries, base, FileType, files)) {
                form_.SendFailed = true;
                WriteSendLog(recipient.Key + QStringLiteral("|Generate attach file error!"));
                break;
            }
            if (job.Call(QStringLiteral("ConnectFaxServer"), {server}).ToBool()) {
                for (int f = 0; f < files.size() && !form_.AbortRequested; ++f) {
                    if (progress) {
                        progress->ProgressBar1->setValue(++sentPages);
                        progress->txtPageCnt->setText(QStringLiteral("%1/%2").arg(f + 1).arg(files.size()));
                    }
                    job.Call(QStringLiteral("AddFaxFile"), {files[f]});
                    QCoreApplication::processEvents();
                }
                if (!form_.AbortRequested)
                    job.Call(QStringLiteral("SendFax"), {recipient.Fax, recipient.Key, form_.UserCode, 0});
            } else {
                // A server that does not answer sends nothing: say so.
                form_.SendFailed = true;
                WriteSendLog(recipient.Key + QStringLiteral("|Send Fax error!"));
            }
            DeleteFiles(files);
            job.Call(QStringLiteral("DisconnectFaxServer"));
            if (!form_.SendFailed && !form_.AbortRequested) WriteSendLog(recipient.Key + QStringLiteral("|Send Fax Complete !"));
        } catch (const std::exception& e) {
            qWarning("fax to %s: %s", qPrintable(recipient.Key), e.what());
            DeleteFiles(files);
            form_.SendFailed = true;
            WriteSendLog(recipient.Key + QStringLiteral("|Send Fax error!"));
        }
    }
    delete progress.data();
    form_.Resolution = 96;
}

QStringList TSendOutput::FaxServerCaptions()
{
    RegisterOutputObjects(form_.SettingsFile, form_.ClientPath);
    QStringList captions;
    const Variant fax = CreateOleObject(FaxProgId);
    fax.Call(QStringLiteral("RefreshFaxServerInfo"));
    const int count = fax.Get(QStringLiteral("FaxServerCount")).ToInt();
    for (int i = 0; i < count; ++i) {
        std::vector<Variant> args{i, QString(), QString()};
        fax.Call(QStringLiteral("GetFaxServerInfo"), args);
        captions << form_.ToDisplay(args[1].ToString()) + QLatin1Char('(') + args[2].ToString() + QLatin1Char(')');
    }
    return captions;
}

}  // namespace kelm24
