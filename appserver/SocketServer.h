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

struct TListenLimits {
    qint64 MaxRequestBytes = 64 * 1024 * 1024;  // a larger request closes the connection
    int IdleTimeoutMs = 30 * 60 * 1000;         // no request for this long closes it
    int FrameTimeoutMs = 60 * 1000;             // a request must arrive whole within this time
    int MaxSessions = 512;                      // clients served at once; further ones are turned away
};

class TSocketServer : public QTcpServer {
    Q_OBJECT
public:
    TSocketServer(TServerSettings settings, TListenLimits limits = {});
    ~TSocketServer() override;
    // Listens on the settings' address; port 0 picks a free one. Raises on failure.
    void Start(const QString& address, int port);
    // Sessions currently connected.
    int SessionCount();

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void Reap();
    void TurnAway(qintptr descriptor);
    TServerSettings settings_;
    TListenLimits limits_;
    QMutex lock_;
    QVector<QThread*> sessions_;
};

}  // namespace kelm24
