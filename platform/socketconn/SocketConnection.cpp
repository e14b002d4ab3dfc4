#include "platform/socketconn/SocketConnection.h"

#include "platform/socketconn/CredentialFile.h"
#include "platform/socketconn/WireFormat.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QHostInfo>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpSocket>

#include <memory>

namespace kelm24 {

// Who a TLS connection trusts to vouch for the server's certificate.
struct TTlsTrust {
    bool On = false;
    QString CaFile;  // empty: the system's certificate authorities
};

// One TCP connection, TLS when asked; calls go one at a time, answers come
// back in order.
class TSocketChannel {
public:
    TSocketChannel(QString address, int port, int timeoutMs, qint64 maxAnswer, TTlsTrust tls)
        : address_(std::move(address)), port_(port), timeoutMs_(timeoutMs), maxAnswer_(maxAnswer), tls_(std::move(tls))
    {
        if (tls_.On) socket_ = std::make_unique<QSslSocket>();
        else socket_ = std::make_unique<QTcpSocket>();
    }

    // Tries the addresses of the server's name in turn (a name such as
    // "localhost" may stand for ::1 where the server listens on 127.0.0.1).
    void Connect()
    {
        const int wait = std::min(timeoutMs_, 15000);
        QElapsedTimer timer;
        timer.start();
        auto* tls = qobject_cast<QSslSocket*>(socket_.get());
        if (tls) ConfigureTls(*tls);
        const QList<QHostAddress> addresses = Addresses();
        for (qsizetype i = 0; i < addresses.size(); ++i) {
            const int left = std::max(1, wait - static_cast<int>(timer.elapsed()));
            bool connected = false;
            if (tls) {
                // The certificate is checked for the name dialled, not the address.
                tls->connectToHostEncrypted(addresses[i].toString(), static_cast<quint16>(port_), address_);
                connected = tls->waitForEncrypted(left);
            } else {
                socket_->connectToHost(addresses[i], static_cast<quint16>(port_));
                connected = socket_->waitForConnected(left);
            }
            if (connected) break;
            if (i + 1 < addresses.size() && socket_->error() == QAbstractSocket::ConnectionRefusedError) {
                socket_->abort();
                continue;
            }
            if (tls) TlsFailure(*tls);
            throw Exception(QStringLiteral("无法连接应用服务器 %1:%2: %3").arg(address_).arg(port_).arg(socket_->errorString()));
        }
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }

    void Close() { socket_->abort(); }
    bool Open() const { return socket_->state() == QAbstractSocket::ConnectedState; }

    TWireAnswer Send(const TWireRequest& request)
    {
        if (!Open()) throw Exception(QStringLiteral("与应用服务器 %1:%2 的连接已断开").arg(address_).arg(port_));
        QByteArray payload = EncodeRequest(request);
        socket_->write(FrameHeader(payload.size()));
        socket_->write(payload);
        QElapsedTimer timer;
        timer.start();
        while (socket_->bytesToWrite() > 0) {
            if (!socket_->waitForBytesWritten(Remaining(timer))) Lost(request, timer);
        }
        QByteArray header = Read(kWireHeaderSize, request, timer);
        quint32 size = FrameLength(header.constData());
        if (size > maxAnswer_) {
            Close();
            throw Exception(QStringLiteral("应用服务器的回答过大 (%1 字节)").arg(size));
        }
        TWireAnswer answer = DecodeAnswer(Read(size, request, timer));
        return answer;
    }

private:
    int Remaining(const QElapsedTimer& timer) const { return std::max(1, timeoutMs_ - static_cast<int>(timer.elapsed())); }

    QByteArray Read(qint64 size, const TWireRequest& request, const QElapsedTimer& timer)
    {
        QByteArray out;
        out.reserve(size);
        while (out.size() < size) {
            if (socket_->bytesAvailable() == 0 && !socket_->waitForReadyRead(Remaining(timer))) Lost(request, timer);
            out += socket_->read(size - out.size());
        }
        return out;
    }

    [[noreturn]] void Lost(const TWireRequest& request, const QElapsedTimer& timer)
    {
        const bool timedOut = socket_->state() == QAbstractSocket::ConnectedState && timer.elapsed() >= timeoutMs_;
        // After a missed answer the stream is out of step: the connection ends.
        Close();
        if (timedOut)
            throw Exception(QStringLiteral("应用服务器 %1:%2 在 %3 秒内没有回答 %4")
                                .arg(address_).arg(port_).arg(timeoutMs_ / 1000.0).arg(request.Name));
        throw Exception(QStringLiteral("与应用服务器 %1:%2 的连接在调用 %3 时中断").arg(address_).arg(port_).arg(request.Name));
    }

    // The name is looked up here, in the calling thread: a lookup that Qt
    // runs in its own thread pool can still be under way when a short-lived
    // program ends, and what it holds is then lost.
    QList<QHostAddress> Addresses() const
    {
        QHostAddress literal;
        if (literal.setAddress(address_)) return {literal};
        const QHostInfo info = QHostInfo::fromName(address_);
        if (info.error() != QHostInfo::NoError || info.addresses().isEmpty())
            throw Exception(QStringLiteral("无法连接应用服务器 %1:%2: %3").arg(address_).arg(port_).arg(info.errorString()));
        return info.addresses();
    }

    // The handshake verifies the server's certificate for the name against
    // the trusted authorities.
    void ConfigureTls(QSslSocket& socket)
    {
        if (!QSslSocket::supportsSsl())
            throw Exception(QStringLiteral("无法以 TLS 连接应用服务器 %1:%2: Qt 的 TLS 后端不可用").arg(address_).arg(port_));
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        configuration.setProtocol(QSsl::TlsV1_2OrLater);
        configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
        if (!tls_.CaFile.isEmpty()) {
            QFile file(tls_.CaFile);
            if (!file.open(QIODevice::ReadOnly))
                throw Exception(QStringLiteral("无法读取验证应用服务器证书的 CA 文件 %1: %2").arg(tls_.CaFile, file.errorString()));
            const QList<QSslCertificate> authorities = QSslCertificate::fromData(file.readAll(), QSsl::Pem);
            if (authorities.isEmpty())
                throw Exception(QStringLiteral("CA 文件 %1 不含 PEM 格式的证书").arg(tls_.CaFile));
            configuration.setCaCertificates(authorities);
        }
        socket.setSslConfiguration(configuration);
    }

    // A failed handshake names what did not hold.
    [[noreturn]] void TlsFailure(QSslSocket& socket)
    {
        QStringList reasons;
        for (const QSslError& e : socket.sslHandshakeErrors()) reasons << e.errorString();
        const QString trusted = tls_.CaFile.isEmpty() ? QStringLiteral("系统的证书颁发机构") : QStringLiteral("CA 文件 ") + tls_.CaFile;
        socket.abort();
        if (!reasons.isEmpty())
            throw Exception(QStringLiteral("应用服务器 %1:%2 的证书未通过验证 (以%3验证), 连接已拒绝: %4")
                                .arg(address_).arg(port_).arg(trusted, reasons.join(QStringLiteral("; "))));
        throw Exception(QStringLiteral("无法与应用服务器 %1:%2 建立 TLS 连接: %3 (服务器是否使用 TLS?)")
                            .arg(address_).arg(port_).arg(socket.errorString()));
    }

    QString address_;
    int port_;
    int timeoutMs_;
    qint64 maxAnswer_;
    TTlsTrust tls_;
    std::unique_ptr<QTcpSocket> socket_;
};

namespace {

// Stands for the server object: every member goes over the channel.
class TRemoteObject : public IAutomationObject {
public:
    explicit TRemoteObject(std::shared_ptr<TSocketChannel> channel) : channel_(std::move(channel)) {}

    Variant Invoke(const QString& member, VariantArgs& args) override
    {
        TWireAnswer a = Run({TWireOp::Call, member, args, Variant()});
        // By-reference arguments come back in the order they went.
        for (size_t i = 0; i < args.size() && i < a.Args.size(); ++i) args[i] = a.Args[i];
        return a.Result;
    }
    Variant GetProperty(const QString& name) override { return Run({TWireOp::Get, name, {}, Variant()}).Result; }
    void SetProperty(const QString& name, const Variant& value) override { Run({TWireOp::Set, name, {}, value}); }

private:
    TWireAnswer Run(const TWireRequest& request)
    {
        TWireAnswer a = channel_->Send(request);
        if (a.Raised) throw Exception(a.Error);
        return a;
    }
    std::shared_ptr<TSocketChannel> channel_;
};

}  // namespace

TSocketConnection::TSocketConnection() = default;

TSocketConnection::~TSocketConnection() { Close(); }

void TSocketConnection::Open()
{
    Close();
    QString user = User, password = Password;
    const TCredentialFile credentials;
    if (password.isEmpty()) {
        if (std::optional<TCredential> found = credentials.Find(Address, Port, User)) {
            user = found->User;
            password = found->Password;
        }
    }
    auto channel = std::make_shared<TSocketChannel>(Address, Port, TimeoutMs, MaxAnswerBytes, TTlsTrust{Tls, TlsCaFile});
    channel->Connect();
    if (!password.isEmpty()) {
        TWireAnswer signedIn = channel->Send({TWireOp::SignIn, user, {}, Variant(password)});
        if (signedIn.Raised) {
            channel->Close();
            throw Exception(signedIn.Error);
        }
    }
    TWireAnswer a = channel->Send({TWireOp::Open, ServerName, {}, Variant()});
    if (a.Raised) {
        channel->Close();
        if (password.isEmpty())
            throw Exception(QStringLiteral("%1\n(凭据文件 %2 中没有 %3:%4 的用户和密码)").arg(a.Error, credentials.Path(), Address).arg(Port));
        throw Exception(a.Error);
    }
    channel_ = channel;
    server_ = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<TRemoteObject>(channel)));
}

void TSocketConnection::Close()
{
    if (channel_) channel_->Close();
    channel_.reset();
    server_ = Variant();
}

bool TSocketConnection::Connected() const { return channel_ && channel_->Open(); }

}  // namespace kelm24
