// The client side of the connection to the application server: a TCP
// connection to the configured address and port, and a proxy automation object
// (TLS when the settings say so) that forwards every member call, property read and write to the server
// object and carries back results, by-reference arguments and raised errors.
#pragma once

#include "kelm24/Automation.h"

#include <memory>

namespace kelm24 {

class TSocketChannel;

class TSocketConnection {
public:
    TSocketConnection();
    ~TSocketConnection();

    QString Address = QStringLiteral("127.0.0.1");
    int Port = 211;
    QString ServerName;          // program identifier of the server object, e.g. "KELM24S.Class1"
    int TimeoutMs = 300000;      // longest wait for an answer; connecting waits at most 15 s
    qint64 MaxAnswerBytes = qint64(1) << 31;
    // Who the connection signs in as. Without a password the credential file
    // (CredentialFile.h) gives both, for User when it is set.
    QString User, Password;
    // TLS: the server must show a certificate for Address that a certificate
    // of TlsCaFile (PEM) vouches for; without a file, the system's
    // certificate authorities. The server's own self-signed certificate as
    // the file pins it.
    bool Tls = false;
    QString TlsCaFile;

    // Connects, signs in and opens the server object; raises with a clear message.
    void Open();
    void Close();
    bool Connected() const;
    // The server object's proxy (Empty before Open). It stays usable as a
    // value after Close; its calls then raise.
    Variant AppServer() const { return server_; }

private:
    std::shared_ptr<TSocketChannel> channel_;
    Variant server_;
};

}  // namespace kelm24
