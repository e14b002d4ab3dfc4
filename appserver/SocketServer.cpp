#include "appserver/SocketServer.h"

#include "appserver/AppServer.h"
#include "appserver/PasswordFile.h"
#include "platform/socketconn/WireFormat.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <sys/socket.h>

namespace kelm24 {

namespace {

// One client: signs it in, reads requests, runs them on its own server
// object, answers.
class TSessionThread : public QThread {
public:
    TSessionThread(qintptr descriptor, const TServerSettings& settings, const TListenLimits& limits)
        : descriptor_(descriptor), settings_(settings), limits_(limits), passwords_(settings.PasswordFile) {}

protected:
    void run() override
    {
        QTcpSocket socket;
        if (!socket.setSocketDescriptor(descriptor_)) return;
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        std::shared_ptr<TAppServer> server;
        QByteArray header, payload;
        QElapsedTimer connected;
        connected.start();
        while (!isInterruptionRequested()) {
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
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState) socket.waitForDisconnected(1000);
        server.reset();  // its database connection belongs to this thread
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
            if (isInterruptionRequested() || timer.elapsed() > timeoutMs) return false;
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
            if (isInterruptionRequested() || frame.elapsed() > limits_.FrameTimeoutMs) return false;
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
        while (socket.bytesToWrite() > 0) {
            if (isInterruptionRequested()) return false;
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
            QThread::msleep(300);
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
    TPasswordFile passwords_;
    QString provenUser_;
    int failedSignIns_ = 0;
};

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
    for (QThread* t : sessions_) t->requestInterruption();
    for (QThread* t : sessions_) {
        t->wait();
        delete t;
    }
    sessions_.clear();
    peers_.clear();
}

void TSocketServer::Start(const QString& address, int port)
{
    QHostAddress host;
    if (!host.setAddress(address)) throw Exception(QStringLiteral("监听地址无效: %1").arg(address));
    if (!host.isLoopback())
        throw Exception(QStringLiteral("应用服务器只在本机地址 (127.0.0.1, ::1) 监听: 在 %1 监听时密码和数据会以明文经过网络, "
                                       "请通过 TLS 通道 (例如 stunnel 或 SSH 转发) 连接")
                            .arg(address));
    if (!listen(host, static_cast<quint16>(port)))
        throw Exception(QStringLiteral("无法在 %1:%2 监听: %3").arg(address).arg(port).arg(errorString()));
}

void TSocketServer::Reap()
{
    for (int i = static_cast<int>(sessions_.size()) - 1; i >= 0; --i) {
        if (sessions_[i]->isFinished()) {
            sessions_[i]->wait();
            delete sessions_[i];
            sessions_.remove(i);
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
    auto* socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->readAll();
    TWireAnswer answer;
    answer.Raised = true;
    answer.Error = reason;
    const QByteArray payload = EncodeAnswer(answer);
    socket->write(FrameHeader(payload.size()) + payload);
    socket->disconnectFromHost();
    // A peer that never reads or leaves does not keep the socket.
    QTimer::singleShot(limits_.FrameTimeoutMs, socket, [socket] { socket->abort(); socket->deleteLater(); });
}

void TSocketServer::incomingConnection(qintptr descriptor)
{
    QMutexLocker guard(&lock_);
    Reap();
    if (sessions_.size() >= limits_.MaxSessions) {
        TurnAway(descriptor, QStringLiteral("应用服务器的连接过多 (上限 %1 个), 请稍后再试").arg(limits_.MaxSessions));
        return;
    }
    // One client cannot take every place: its address has a share of its own.
    const QString peer = PeerAddress(descriptor);
    if (peers_.count(peer) >= limits_.MaxSessionsPerPeer) {
        TurnAway(descriptor, QStringLiteral("来自 %1 的连接过多 (上限 %2 个), 请稍后再试").arg(peer).arg(limits_.MaxSessionsPerPeer));
        return;
    }
    auto* thread = new TSessionThread(descriptor, settings_, limits_);
    sessions_.push_back(thread);
    peers_.push_back(peer);
    thread->start();
}

}  // namespace kelm24
