// Serves application-server objects over TCP: each client connection runs on a
// thread of its own with its own server object and database connection, so a
// slow or broken client never holds up the others.
#pragma once

#include "appserver/ServerSettings.h"

#include <QMutex>
#include <QSslConfiguration>
#include <QTcpServer>
#include <QVector>

#include <memory>
#include <optional>
#include <vector>

namespace kelm24 {

// The answer size limit and the statement time limit are the settings'
// (ServerSettings.h): they bound the data layer too.
struct TListenLimits {
    qint64 MaxRequestBytes = 64 * 1024 * 1024;  // a larger request closes the connection
    int IdleTimeoutMs = 30 * 60 * 1000;         // no request for this long closes it
    // A request, header included, must arrive whole within this time of its
    // first byte; a new connection must send its first request within it.
    int FrameTimeoutMs = 60 * 1000;
    int MaxSessions = 512;                      // clients served at once; further ones are turned away
    int MaxSessionsPerPeer = 64;                // of those, from one address
    int MaxFailedSignIns = 3;                   // wrong passwords before the connection is closed
};

class TClientSession;

class TSocketServer : public QTcpServer {
    Q_OBJECT
public:
    TSocketServer(TServerSettings settings, TListenLimits limits = {});
    // Stops every session and waits until its thread has ended.
    ~TSocketServer() override;
    // Listens on the address; port 0 picks a free one. With the settings'
    // TLS certificate and key every connection is TLS; without them only the
    // machine's own addresses are served, since passwords and data would
    // otherwise cross the network in clear. Raises on failure.
    void Start(const QString& address, int port);
    bool UsesTls() const { return tls_.has_value(); }
    // Sessions currently connected.
    int SessionCount();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void Reap();
    void TurnAway(qintptr descriptor, const QString& reason);
    TServerSettings settings_;
    TListenLimits limits_;
    std::optional<QSslConfiguration> tls_;
    QMutex lock_;
    std::vector<std::unique_ptr<TClientSession>> sessions_;
    QVector<QString> peers_;  // the address of each session's client
};

}  // namespace kelm24
