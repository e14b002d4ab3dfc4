#include "appserver/SocketServer.h"

#include "appserver/AppServer.h"
#include "appserver/PasswordFile.h"
#include "appserver/ServerTls.h"
#include "platform/socketconn/WireFormat.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QSslSocket>
#include <QTcpSocket>
#include <QTimer>

#include <atomic>
#include <memory>
#include <thread>
#include <sys/socket.h>
#include <unistd.h>

namespace kelm24 {

// One client on a thread of its own: signs it in, reads requests, runs them
// on its own server object, answers. The thread is joined, not detached, so
// when the session object is gone nothing of its thread runs any more, not
// even the thread's own clean-up, however late the server stops.
class TClientSession {
public:
    TClientSession(qintptr descriptor, const TServerSettings& settings, const TListenLimits& limits,
                   const std::optional<QSslConfiguration>& tls)
        : descriptor_(descriptor), settings_(settings), limits_(limits), tls_(tls), passwords_(settings.PasswordFile)
    {
        // A client statement still running when the server stops ends early.
        settings_.Stop = &stop_;
    }
    ~TClientSession()
    {
        RequestStop();
        if (thread_.joinable()) thread_.join();
    }
    TClientSession(const TClientSession&) = delete;
    TClientSession& operator=(const TClientSession&) = delete;

    void Start()
    {
        thread_ = std::thread([this] {
            Run();
            finished_ = true;
        });
    }
    void RequestStop() { stop_.Request(); }
    bool Finished() const { return finished_; }

private:
    bool StopRequested() const { return stop_.Requested(); }

    void Run()
    {
        std::unique_ptr<QTcpSocket> socket = tls_ ? std::make_unique<QSslSocket>() : std::make_unique<QTcpSocket>();
        if (!socket->setSocketDescriptor(descriptor_)) {
            ::close(static_cast<int>(descriptor_));
            return;
        }
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        std::shared_ptr<TAppServer> server;
        try {
            QElapsedTimer connected;
            connected.start();
            if (!tls_ || StartTls(static_cast<QSslSocket&>(*socket), connected)) Serve(*socket, server, connected);
        } catch (const std::exception& e) {
            // Nothing a client sends may end the server; this client's connection ends.
            qWarning("kelm24-appserver: session ended: %s", e.what());
        }
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState) socket->waitForDisconnected(1000);
        socket->abort();
        server.reset();  // its database connection belongs to this thread
    }

    void Serve(QTcpSocket& socket, std::shared_ptr<TAppServer>& server, const QElapsedTimer& connected)
    {
        QByteArray header, payload;
        while (!StopRequested()) {
            // A client has the frame time from connecting to sign in; a
            // signed-in one may stay quiet for the idle time. Silent or
            // babbling strangers do not keep a place.
            const qint64 wait = provenUser_.isEmpty() ? limits_.FrameTimeoutMs - connected.elapsed() : limits_.IdleTimeoutMs;
            if (wait <= 0 || !WaitForData(socket, wait)) break;
            // From its first byte the whole request, header included, has the frame time.
            QElapsedTimer frame;
            frame.start();
            if (!Fill(socket, header, kWireHeaderSize, frame)) break;
            quint32 size = FrameLength(header.constData());
            if (size > limits_.MaxRequestBytes) {
                Answer(socket, Failure(QStringLiteral("请求过大 (%1 字节, 上限 %2 字节), 连接已关闭")
                                           .arg(size).arg(limits_.MaxRequestBytes)));
                break;
            }
            if (!Fill(socket, payload, size, frame)) break;
            TWireAnswer answer;
            bool keep = true;
            try {
                answer = Dispatch(DecodeRequest(payload), server, keep);
            } catch (const Exception& e) {
                // Bytes that are not a request leave the stream out of step.
                answer = Failure(e.Message());
                keep = false;
            }
            header.clear();
            payload.clear();
            if (!Answer(socket, answer) || !keep) break;
        }
    }

    // A TLS client's first byte opens a handshake record (22). A client that
    // speaks plain frames instead gets a plain answer saying why it is
    // refused, not a silent close.
    bool StartTls(QSslSocket& socket, const QElapsedTimer& connected)
    {
        if (!WaitForData(socket, limits_.FrameTimeoutMs - connected.elapsed())) return false;
        char first = 0;
        if (socket.peek(&first, 1) != 1) return false;
        if (first != 0x16) {
            // Its request is read first, so the close does not reset the
            // connection before the answer is read.
            socket.readAll();
            Answer(socket, Failure(QStringLiteral("应用服务器只接受 TLS 加密的连接: 请在客户端设置中打开 TLS (ServerTLS=1) "
                                                  "并给出验证服务器证书的 CA 文件 (ServerCAFile)")));
            return false;
        }
        socket.setSslConfiguration(*tls_);
        socket.startServerEncryption();
        while (!socket.isEncrypted()) {
            if (StopRequested() || connected.elapsed() > limits_.FrameTimeoutMs) return false;
            if (!socket.waitForEncrypted(200) && socket.state() != QAbstractSocket::ConnectedState) return false;
        }
        return true;
    }

private:
    static TWireAnswer Failure(const QString& text)
    {
        TWireAnswer a;
        a.Raised = true;
        a.Error = text;
        return a;
    }

    // Waits in short slices, so a stop request is seen, until bytes arrive;
    // false when the peer left, the time ran out or we stop.
    bool WaitForData(QTcpSocket& socket, qint64 timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        while (socket.bytesAvailable() == 0) {
            if (StopRequested() || timer.elapsed() > timeoutMs) return false;
            if (!socket.waitForReadyRead(200) && socket.state() != QAbstractSocket::ConnectedState) return false;
        }
        return true;
    }

    // Reads exactly size bytes into out before the frame's time runs out.
    bool Fill(QTcpSocket& socket, QByteArray& out, qint64 size, const QElapsedTimer& frame)
    {
        out.clear();
        while (out.size() < size) {
            if (socket.bytesAvailable() > 0) {
                out += socket.read(size - out.size());
                continue;
            }
            if (StopRequested() || frame.elapsed() > limits_.FrameTimeoutMs) return false;
            if (!socket.waitForReadyRead(200) && socket.state() != QAbstractSocket::ConnectedState) return false;
        }
        return true;
    }

    bool Answer(QTcpSocket& socket, const TWireAnswer& answer)
    {
        QByteArray payload;
        try {
            payload = EncodeAnswer(answer);
        } catch (const Exception& e) {
            payload = EncodeAnswer(Failure(e.Message()));
        }
        // Whatever member built it, no answer is larger than the limit.
        if (payload.size() > settings_.MaxAnswerBytes)
            payload = EncodeAnswer(Failure(QStringLiteral("回答过大 (%1 字节, 上限 %2 字节), 请缩小查询条件")
                                               .arg(payload.size()).arg(settings_.MaxAnswerBytes)));
        socket.write(FrameHeader(payload.size()));
        socket.write(payload);
        auto* tls = qobject_cast<QSslSocket*>(&socket);
        while (socket.bytesToWrite() > 0 || (tls && tls->encryptedBytesToWrite() > 0)) {
            if (StopRequested()) return false;
            if (!socket.waitForBytesWritten(limits_.FrameTimeoutMs)) return false;
        }
        return true;
    }

    // The password proves the user; until it has, nothing else answers.
    TWireAnswer SignIn(const TWireRequest& request, bool& keep)
    {
        if (!passwords_.Exists())
            return Failure(QStringLiteral("应用服务器没有用户密码文件 %1, 无法登录; 请用 kelm24-appserver --set-password 设置")
                               .arg(passwords_.Path()));
        const QString user = request.Name.trimmed();
        const QString password = request.Value.IsText() ? request.Value.ToString() : QString();
        if (!passwords_.Verify(user, password)) {
            // Each wrong guess costs the guesser time and, at the limit, the connection.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            keep = ++failedSignIns_ < limits_.MaxFailedSignIns;
            return Failure(QStringLiteral("用户 %1 的密码不对, 无法登录应用服务器").arg(user));
        }
        provenUser_ = user;
        return {};
    }

    TWireAnswer Dispatch(const TWireRequest& request, std::shared_ptr<TAppServer>& server, bool& keep)
    {
        TWireAnswer a;
        try {
            if (request.Op == TWireOp::SignIn) {
                if (!provenUser_.isEmpty()) return Failure(QStringLiteral("此连接已以用户 %1 登录").arg(provenUser_));
                return SignIn(request, keep);
            }
            if (provenUser_.isEmpty()) return Failure(QStringLiteral("请先以用户和密码登录应用服务器"));
            if (request.Op == TWireOp::Open) {
                if (!request.Name.endsWith(QLatin1String("S.Class1"), Qt::CaseInsensitive))
                    return Failure(QStringLiteral("应用服务器没有对象 %1").arg(request.Name));
                server = std::make_shared<TAppServer>(settings_);
                server->SetProvenUser(provenUser_);
                return a;
            }
            if (!server) return Failure(QStringLiteral("请先打开应用服务器对象"));
            switch (request.Op) {
            case TWireOp::Call:
                a.Args = request.Args;
                a.Result = server->Invoke(request.Name, a.Args);
                break;
            case TWireOp::Get: a.Result = server->GetProperty(request.Name); break;
            case TWireOp::Set: server->SetProperty(request.Name, request.Value); break;
            case TWireOp::Open: case TWireOp::SignIn: break;
            }
        } catch (const Exception& e) {
            return Failure(e.Message());
        } catch (const std::exception& e) {
            return Failure(QString::fromLocal8Bit(e.what()));
        }
        return a;
    }

    qintptr descriptor_;
    TServerSettings settings_;
    TListenLimits limits_;
    std::optional<QSslConfiguration> tls_;
    TPasswordFile passwords_;
    QString provenUser_;
    int failedSignIns_ = 0;
    TStopSignal stop_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

namespace {

// The address a connection comes from.
QString PeerAddress(qintptr descriptor)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getpeername(static_cast<int>(descriptor), reinterpret_cast<sockaddr*>(&address), &length) != 0) return {};
    QHostAddress host(reinterpret_cast<const sockaddr*>(&address));
    // An IPv4 client of a dual-stack socket is one peer, however it is written.
    bool v4 = false;
    const quint32 ip4 = host.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : host.toString();
}

}  // namespace

TSocketServer::TSocketServer(TServerSettings settings, TListenLimits limits)
    : settings_(std::move(settings)), limits_(limits)
{
}

TSocketServer::~TSocketServer()
{
    close();
    QMutexLocker guard(&lock_);
    // Every session is told first, so they wind down together; each is
    // then joined as it is destroyed.
    for (const auto& session : sessions_) session->RequestStop();
    sessions_.clear();
    peers_.clear();
}

void TSocketServer::Start(const QString& address, int port)
{
    QHostAddress host;
    if (!host.setAddress(address)) throw Exception(QStringLiteral("监听地址无效: %1").arg(address));
    if (!settings_.TlsCertificateFile.isEmpty() || !settings_.TlsKeyFile.isEmpty())
        tls_ = TServerTls::Load(settings_.TlsCertificateFile, settings_.TlsKeyFile);
    if (!host.isLoopback() && !tls_)
        throw Exception(QStringLiteral("在 %1 监听需要 TLS, 否则密码和数据会以明文经过网络: 请用 --tls-cert 和 --tls-key "
                                       "(或 CorvaneS.ini [DBPasswordCtrl] 的 TlsCertificate 和 TlsKey) 给出服务器的证书和私钥, "
                                       "或只在本机地址 (127.0.0.1, ::1) 监听")
                            .arg(address));
    if (!listen(host, static_cast<quint16>(port)))
        throw Exception(QStringLiteral("无法在 %1:%2 监听: %3").arg(address).arg(port).arg(errorString()));
}

void TSocketServer::Reap()
{
    for (int i = static_cast<int>(sessions_.size()) - 1; i >= 0; --i) {
        if (sessions_[i]->Finished()) {
            sessions_.erase(sessions_.begin() + i);
            peers_.remove(i);
        }
    }
}

int TSocketServer::SessionCount()
{
    QMutexLocker guard(&lock_);
    Reap();
    return static_cast<int>(sessions_.size());
}

// A client beyond the limit gets one error answer and the connection ends;
// its request, if already sent, is read first so the close does not reset
// the connection before the answer is read.
void TSocketServer::TurnAway(qintptr descriptor, const QString& reason)
{
    auto* socket = tls_ ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        ::close(static_cast<int>(descriptor));
        return;
    }
    TWireAnswer answer;
    answer.Raised = true;
    answer.Error = reason;
    const QByteArray payload = EncodeAnswer(answer);
    const QByteArray frame = FrameHeader(payload.size()) + payload;
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // A peer that never reads or leaves does not keep the socket.
    QTimer::singleShot(limits_.FrameTimeoutMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
    auto send = [socket, frame] {
        socket->readAll();
        socket->write(frame);
        socket->disconnectFromHost();
    };
    if (auto* tls = qobject_cast<QSslSocket*>(socket)) {
        // The answer goes once the handshake is done; a failed one ends the socket.
        tls->setSslConfiguration(*tls_);
        connect(tls, &QSslSocket::encrypted, tls, send);
        connect(tls, &QAbstractSocket::errorOccurred, tls, [tls] { tls->abort(); tls->deleteLater(); });
        tls->startServerEncryption();
        return;
    }
    send();
}

void TSocketServer::incomingConnection(qintptr descriptor)
{
    QMutexLocker guard(&lock_);
    Reap();
    if (static_cast<qint64>(sessions_.size()) >= limits_.MaxSessions) {
        TurnAway(descriptor, QStringLiteral("应用服务器的连接过多 (上限 %1 个), 请稍后再试").arg(limits_.MaxSessions));
        return;
    }
    // One client cannot take every place: its address has a share of its own.
    const QString peer = PeerAddress(descriptor);
    if (peers_.count(peer) >= limits_.MaxSessionsPerPeer) {
        TurnAway(descriptor, QStringLiteral("来自 %1 的连接过多 (上限 %2 个), 请稍后再试").arg(peer).arg(limits_.MaxSessionsPerPeer));
        return;
    }
    sessions_.push_back(std::make_unique<TClientSession>(descriptor, settings_, limits_, tls_));
    peers_.push_back(peer);
    sessions_.back()->Start();
}

}  // namespace kelm24
