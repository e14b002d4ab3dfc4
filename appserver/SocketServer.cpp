#include "appserver/SocketServer.h"

#include "appserver/AppServer.h"
#include "platform/socketconn/WireFormat.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

namespace kelm24 {

namespace {

// One client: reads requests, runs them on its own server object, answers.
class TSessionThread : public QThread {
public:
    TSessionThread(qintptr descriptor, const TServerSettings& settings, const TListenLimits& limits)
        : descriptor_(descriptor), settings_(settings), limits_(limits) {}

protected:
    void run() override
    {
        QTcpSocket socket;
        if (!socket.setSocketDescriptor(descriptor_)) return;
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        std::shared_ptr<TAppServer> server;
        QByteArray header, payload;
        while (!isInterruptionRequested()) {
            // Wait for the header without a time limit but the idle one.
            if (!Fill(socket, header, kWireHeaderSize, limits_.IdleTimeoutMs)) break;
            quint32 size = FrameLength(header.constData());
            if (size > limits_.MaxRequestBytes) {
                Answer(socket, Failure(QStringLiteral("请求过大 (%1 字节, 上限 %2 字节), 连接已关闭")
                                           .arg(size).arg(limits_.MaxRequestBytes)));
                break;
            }
            if (!Fill(socket, payload, size, limits_.FrameTimeoutMs)) break;
            TWireAnswer answer;
            bool keep = true;
            try {
                answer = Dispatch(DecodeRequest(payload), server);
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

    // Reads exactly size bytes into out, waiting in short slices so a stop
    // request is seen; false when the peer left, the time ran out or we stop.
    bool Fill(QTcpSocket& socket, QByteArray& out, qint64 size, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        out.clear();
        while (out.size() < size) {
            if (socket.bytesAvailable() > 0) {
                out += socket.read(size - out.size());
                continue;
            }
            if (isInterruptionRequested() || timer.elapsed() > timeoutMs) return false;
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
        socket.write(FrameHeader(payload.size()));
        socket.write(payload);
        while (socket.bytesToWrite() > 0) {
            if (isInterruptionRequested()) return false;
            if (!socket.waitForBytesWritten(limits_.FrameTimeoutMs)) return false;
        }
        return true;
    }

    TWireAnswer Dispatch(const TWireRequest& request, std::shared_ptr<TAppServer>& server)
    {
        TWireAnswer a;
        try {
            if (request.Op == TWireOp::Open) {
                if (!request.Name.endsWith(QLatin1String("S.Class1"), Qt::CaseInsensitive))
                    return Failure(QStringLiteral("应用服务器没有对象 %1").arg(request.Name));
                server = std::make_shared<TAppServer>(settings_);
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
            case TWireOp::Open: break;
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
};

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
}

void TSocketServer::Start(const QString& address, int port)
{
    QHostAddress host;
    if (!host.setAddress(address)) throw Exception(QStringLiteral("监听地址无效: %1").arg(address));
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
void TSocketServer::TurnAway(qintptr descriptor)
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
    answer.Error = QStringLiteral("应用服务器的连接过多 (上限 %1 个), 请稍后再试").arg(limits_.MaxSessions);
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
        TurnAway(descriptor);
        return;
    }
    auto* thread = new TSessionThread(descriptor, settings_, limits_);
    sessions_.push_back(thread);
    thread->start();
}

}  // namespace kelm24
