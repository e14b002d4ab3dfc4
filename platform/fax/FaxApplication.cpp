#include "platform/fax/FaxApplication.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kelm24 {

namespace {

bool IsLocalAddress(const QString& address)
{
    const QString a = address.trimmed();
    return a.isEmpty() || a == QLatin1String("127.0.0.1") || a.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

QString IniValue(const QString& text)
{
    QString v = text;
    v.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return v;
}

class TFaxJob : public TAutomationObject {
public:
    explicit TFaxJob(std::shared_ptr<std::vector<TFaxServer>> servers)
        : TAutomationObject(QStringLiteral("FaxJob")), servers_(std::move(servers))
    {
        AddMethod(QStringLiteral("ConnectFaxServer"), [this](VariantArgs& args) {
            return Variant(Connect(Arg(args, 0, QStringLiteral("ConnectFaxServer")).ToString()));
        });
        AddMethod(QStringLiteral("AddFaxFile"), [this](VariantArgs& args) {
            const QString file = Arg(args, 0, QStringLiteral("AddFaxFile")).ToString();
            if (connected_ < 0) throw Exception(QStringLiteral("AddFaxFile: no fax server is connected"));
            if (!QFileInfo(file).isFile()) throw Exception(QStringLiteral("AddFaxFile: cannot find \"%1\"").arg(file));
            files_ << file;
            return Variant(static_cast<int>(files_.size()));
        });
        AddMethod(QStringLiteral("SendFax"), [this](VariantArgs& args) {
            return Variant(Send(Arg(args, 0, QStringLiteral("SendFax")).ToString(),
                                args.size() > 1 ? args[1].ToString() : QString(),
                                args.size() > 2 ? args[2].ToString() : QString()));
        });
        AddMethod(QStringLiteral("DisconnectFaxServer"), [this](VariantArgs&) {
            connected_ = -1;
            files_.clear();
            return Variant();
        });
    }

private:
    // The empty name is the fax server of this machine: the one configured
    // with a local address, else the first.
    bool Connect(const QString& server)
    {
        connected_ = -1;
        files_.clear();
        const QString wanted = server.trimmed();
        for (size_t i = 0; i < servers_->size(); ++i) {
            const TFaxServer& s = (*servers_)[i];
            const bool match = wanted.isEmpty() ? IsLocalAddress(s.Address)
                                                : s.Address.trimmed().compare(wanted, Qt::CaseInsensitive) == 0 ||
                                                      s.Name.trimmed().compare(wanted, Qt::CaseInsensitive) == 0;
            if (match) {
                connected_ = static_cast<int>(i);
                break;
            }
        }
        if (connected_ < 0 && wanted.isEmpty() && !servers_->empty()) connected_ = 0;
        if (connected_ < 0) return false;
        return QDir().mkpath((*servers_)[static_cast<size_t>(connected_)].SpoolFolder);
    }

    QString Send(const QString& number, const QString& recipient, const QString& user)
    {
        if (connected_ < 0) throw Exception(QStringLiteral("SendFax: no fax server is connected"));
        if (number.trimmed().isEmpty()) throw Exception(QStringLiteral("SendFax: no fax number"));
        if (files_.isEmpty()) throw Exception(QStringLiteral("SendFax: the job has no pages"));
        const QDir spool((*servers_)[static_cast<size_t>(connected_)].SpoolFolder);
        static int sequence = 0;
        const QString id = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")) +
                           QStringLiteral("_%1_%2").arg(QCoreApplication::applicationPid()).arg(++sequence);
        const QString partial = spool.filePath(QStringLiteral(".") + id);
        if (!QDir().mkpath(partial)) throw Exception(QStringLiteral("SendFax: cannot write to \"%1\"").arg(spool.path()));
        QString ini = QStringLiteral("[Job]\r\nNumber=%1\r\nRecipient=%2\r\nUser=%3\r\nPages=%4\r\n")
                          .arg(IniValue(number.trimmed()), IniValue(recipient), IniValue(user))
                          .arg(files_.size());
        bool ok = true;
        for (int i = 0; i < files_.size() && ok; ++i) {
            const QString page = QStringLiteral("page%1.%2").arg(i + 1, 3, 10, QLatin1Char('0')).arg(QFileInfo(files_[i]).suffix());
            ok = QFile::copy(files_[i], QDir(partial).filePath(page));
            ini += QStringLiteral("Page%1=%2\r\n").arg(i + 1).arg(page);
        }
        if (ok) {
            QFile job(QDir(partial).filePath(QStringLiteral("job.ini")));
            ok = job.open(QIODevice::WriteOnly) && job.write(ini.toUtf8()) == ini.toUtf8().size();
            job.close();
        }
        if (!ok || !QDir().rename(partial, spool.filePath(id))) {
            QDir(partial).removeRecursively();
            throw Exception(QStringLiteral("SendFax: cannot write the job to \"%1\"").arg(spool.path()));
        }
        files_.clear();
        return id;
    }

    std::shared_ptr<std::vector<TFaxServer>> servers_;
    int connected_ = -1;
    QStringList files_;
};

class TFaxApplication : public TAutomationObject {
public:
    explicit TFaxApplication(TFaxServerSource source)
        : TAutomationObject(QStringLiteral("QVSFAX.APP")), source_(std::move(source))
    {
        Refresh();
        AddMethod(QStringLiteral("RefreshFaxServerInfo"), [this](VariantArgs&) {
            Refresh();
            return Variant();
        });
        AddProperty(QStringLiteral("FaxServerCount"), [this] { return Variant(static_cast<int>(servers_->size())); });
        AddMethod(QStringLiteral("GetFaxServerInfo"), [this](VariantArgs& args) {
            const int i = Arg(args, 0, QStringLiteral("GetFaxServerInfo")).ToInt();
            if (i < 0 || i >= static_cast<int>(servers_->size())) return Variant(false);
            if (args.size() > 1) args[1] = Variant((*servers_)[static_cast<size_t>(i)].Name);
            if (args.size() > 2) args[2] = Variant((*servers_)[static_cast<size_t>(i)].Address);
            return Variant(true);
        });
        // A new job on every read, as each job connects on its own.
        AddProperty(QStringLiteral("SendFax"), [this] {
            return Variant(std::static_pointer_cast<IAutomationObject>(std::make_shared<TFaxJob>(servers_)));
        });
    }

private:
    void Refresh() { servers_ = std::make_shared<std::vector<TFaxServer>>(source_ ? source_() : std::vector<TFaxServer>()); }
    TFaxServerSource source_;
    std::shared_ptr<std::vector<TFaxServer>> servers_;
};

}  // namespace

std::shared_ptr<IAutomationObject> CreateFaxApplication(TFaxServerSource servers)
{
    return std::make_shared<TFaxApplication>(std::move(servers));
}

}  // namespace kelm24
