#include "platform/mail/MailApplication.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QTimeZone>

#include <curl/curl.h>

namespace kelm24 {

namespace {

// An RFC 2047 encoded word for texts beyond ASCII; plain ASCII stays as it is.
QByteArray EncodedWord(const QString& text)
{
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() > 126 || c.unicode() < 32) ascii = false;
    if (ascii) return text.toLatin1();
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

// Base64 in lines of 76 characters.
void AppendBase64(QByteArray& out, const QByteArray& data)
{
    const QByteArray b64 = data.toBase64();
    for (qsizetype i = 0; i < b64.size(); i += 76) {
        out += b64.mid(i, 76);
        out += "\r\n";
    }
}

// A quoted header parameter; the file names are encoded words when not ASCII.
QByteArray QuotedParameter(const QString& text)
{
    QByteArray value = EncodedWord(text);
    value.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + value + '"';
}

QByteArray AngleAddress(const QString& address)
{
    const QString a = address.trimmed();
    return a.startsWith(QLatin1Char('<')) ? a.toUtf8() : "<" + a.toUtf8() + ">";
}

struct UploadState {
    const QByteArray* data;
    qsizetype sent = 0;
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* userData)
{
    auto* state = static_cast<UploadState*>(userData);
    const qsizetype left = state->data->size() - state->sent;
    const qsizetype n = std::min<qsizetype>(left, static_cast<qsizetype>(size * count));
    if (n <= 0) return 0;
    memcpy(buffer, state->data->constData() + state->sent, static_cast<size_t>(n));
    state->sent += n;
    return static_cast<size_t>(n);
}

}  // namespace

QStringList SplitAddresses(const QString& to)
{
    QStringList result;
    QString normalised = to;
    normalised.replace(QLatin1Char(','), QLatin1Char(';'));
    for (const QString& part : normalised.split(QLatin1Char(';'))) {
        const QString a = part.trimmed();
        if (!a.isEmpty()) result << a;
    }
    return result;
}

QByteArray BuildMimeMessage(const TMailMessage& message, const QByteArray& boundaryIn)
{
    const QByteArray boundary = boundaryIn.isEmpty()
        ? "=_kelm24_" + QByteArray::number(QRandomGenerator::global()->generate64(), 16)
        : boundaryIn;
    QByteArray out;
    out += "From: " + AngleAddress(message.From) + "\r\n";
    QList<QByteArray> to;
    for (const QString& a : message.To) to << AngleAddress(a);
    out += "To: " + to.join(", ") + "\r\n";
    out += "Subject: " + EncodedWord(message.Subject) + "\r\n";
    out += "Date: " + QLocale::c().toString(QDateTime::currentDateTime(), QStringLiteral("ddd, dd MMM yyyy hh:mm:ss t")).toLatin1() + "\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
    out += "--" + boundary + "\r\n";
    out += "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n";
    AppendBase64(out, message.Body.toUtf8());
    QMimeDatabase mimeTypes;
    for (const QString& path : message.Attachments) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("Cannot read the attachment \"%1\"").arg(path));
        const QString name = QFileInfo(path).fileName();
        out += "--" + boundary + "\r\n";
        out += "Content-Type: " + mimeTypes.mimeTypeForFile(path).name().toLatin1() + "; name=" + QuotedParameter(name) + "\r\n";
        out += "Content-Disposition: attachment; filename=" + QuotedParameter(name) + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n\r\n";
        AppendBase64(out, file.readAll());
    }
    out += "--" + boundary + "--\r\n";
    return out;
}

void SendSmtpMessage(const TMailSettings& settings, const TMailMessage& message)
{
    if (message.To.isEmpty()) throw Exception(QStringLiteral("The message has no recipient"));
    const QByteArray mime = BuildMimeMessage(message);
    CURL* curl = curl_easy_init();
    if (curl == nullptr) throw Exception(QStringLiteral("Cannot start the mail transfer"));
    char error[CURL_ERROR_SIZE] = {0};
    const QByteArray url = QStringLiteral("smtp://%1:%2").arg(settings.Server).arg(settings.Port).toUtf8();
    const QByteArray from = AngleAddress(message.From);
    const QByteArray user = settings.UserName.toUtf8(), password = settings.Password.toUtf8();
    const QByteArray caFile = QFile::encodeName(settings.CaFile);
    curl_slist* recipients = nullptr;
    for (const QString& a : message.To) recipients = curl_slist_append(recipients, AngleAddress(a).constData());
    UploadState upload{&mime};
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(settings.TimeoutSeconds));
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, static_cast<long>(settings.TimeoutSeconds) * 4);
    if (settings.StartTLS) curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    if (!caFile.isEmpty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (!settings.UserName.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    const CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(recipients);
    curl_easy_cleanup(curl);
    if (rc != CURLE_OK)
        throw Exception(QStringLiteral("SMTP %1:%2: %3")
                            .arg(settings.Server)
                            .arg(settings.Port)
                            .arg(QString::fromUtf8(error[0] ? error : curl_easy_strerror(rc))));
}

namespace {

class TMailAttachments : public TAutomationObject {
public:
    explicit TMailAttachments(std::shared_ptr<QStringList> files) : TAutomationObject(QStringLiteral("Attachments"))
    {
        AddMethod(QStringLiteral("Add"), [files](VariantArgs& args) {
            const QString path = Arg(args, 0, QStringLiteral("Add")).ToString();
            if (!QFileInfo(path).isFile())
                throw Exception(QStringLiteral("Cannot find the attachment \"%1\"").arg(path));
            files->append(path);
            return Variant(static_cast<int>(files->size()));
        });
        AddProperty(QStringLiteral("Count"), [files] { return Variant(static_cast<int>(files->size())); });
    }
};

class TMailItem : public TAutomationObject {
public:
    explicit TMailItem(const TMailSettings& settings) : TAutomationObject(QStringLiteral("MailItem"))
    {
        message_.From = settings.Sender;
        attachments_ = std::make_shared<TMailAttachments>(files_);
        auto textProperty = [this](const QString& name, QString* field) {
            AddProperty(name, [field] { return Variant(*field); }, [field](const Variant& v) { *field = v.ToString(); });
        };
        textProperty(QStringLiteral("To"), &to_);
        textProperty(QStringLiteral("Subject"), &message_.Subject);
        textProperty(QStringLiteral("Body"), &message_.Body);
        AddProperty(QStringLiteral("Attachments"), [this] { return Variant(std::static_pointer_cast<IAutomationObject>(attachments_)); });
        AddMethod(QStringLiteral("Send"), [this, settings](VariantArgs&) {
            message_.To = SplitAddresses(to_);
            message_.Attachments = *files_;
            SendSmtpMessage(settings, message_);
            return Variant();
        });
    }

private:
    QString to_;
    TMailMessage message_;
    // Shared with the attachments object, which a caller may keep longer.
    std::shared_ptr<QStringList> files_ = std::make_shared<QStringList>();
    std::shared_ptr<TMailAttachments> attachments_;
};

// Namespace, folder and item list: only the path to a new mail item exists.
class TMailItems : public TAutomationObject {
public:
    explicit TMailItems(const TMailSettings& settings) : TAutomationObject(QStringLiteral("Items"))
    {
        AddMethod(QStringLiteral("Add"), [settings](VariantArgs&) {
            return Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TMailItem>(settings)));
        });
    }
};

class TMailFolder : public TAutomationObject {
public:
    explicit TMailFolder(const TMailSettings& settings) : TAutomationObject(QStringLiteral("MAPIFolder"))
    {
        auto items = std::make_shared<TMailItems>(settings);
        AddProperty(QStringLiteral("Items"), [items] { return Variant(std::static_pointer_cast<IAutomationObject>(items)); });
    }
};

constexpr int OutboxFolder = 4, SentMailFolder = 5, InboxFolder = 6, DraftsFolder = 16;

class TMailNamespace : public TAutomationObject {
public:
    explicit TMailNamespace(const TMailSettings& settings) : TAutomationObject(QStringLiteral("NameSpace"))
    {
        AddMethod(QStringLiteral("GetDefaultFolder"), [settings](VariantArgs& args) {
            const int folder = Arg(args, 0, QStringLiteral("GetDefaultFolder")).ToInt();
            if (folder != OutboxFolder && folder != SentMailFolder && folder != InboxFolder && folder != DraftsFolder)
                throw Exception(QStringLiteral("GetDefaultFolder: no folder %1").arg(folder));
            return Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TMailFolder>(settings)));
        });
    }
};

class TMailApplication : public TAutomationObject {
public:
    explicit TMailApplication(const TMailSettings& settings) : TAutomationObject(QStringLiteral("Outlook.Application"))
    {
        AddMethod(QStringLiteral("GetNamespace"), [settings](VariantArgs& args) {
            const QString kind = Arg(args, 0, QStringLiteral("GetNamespace")).ToString();
            if (kind.compare(QLatin1String("MAPI"), Qt::CaseInsensitive) != 0)
                throw Exception(QStringLiteral("GetNamespace: unknown namespace \"%1\"").arg(kind));
            return Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TMailNamespace>(settings)));
        });
    }
};

}  // namespace

std::shared_ptr<IAutomationObject> CreateMailApplication(const TMailSettings& settings)
{
    return std::make_shared<TMailApplication>(settings);
}

}  // namespace kelm24
