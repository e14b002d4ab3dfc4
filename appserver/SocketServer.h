// Serves application-server objects over TCP: each client connection runs on a
// thread of its own with its own server object and database connection, so a
// slow or broken client never holds up the others.
#pragma once

#include "appserver/ServerSettings.h"

#include <QMutex>
#include <QTcpServer>
#include <QThread>
#include <QVector>

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

class TSocketServer : public QTcpServer {
    Q_OBJECT
public:
    TSocketServer(TServerSettings settings, TListenLimits limits = {});
    ~TSocketServer() override;
    // Listens on the settings' address; port 0 picks a free one. Raises on
    // failure, and for an address other than the machine's own: passwords
    // and data would cross the network in clear.
    void Start(const QString& address, int port);
    // Sessions currently connected.
    int SessionCount();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void Reap();
    void TurnAway(qintptr descriptor, const QString& reason);
    TServerSettings settings_;
    TListenLimits limits_;
    QMutex lock_;
    QVector<QThread*> sessions_;
    QVector<QString> peers_;  // the address of each session's client
};

}  // namespace kelm24
