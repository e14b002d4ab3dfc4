// The server's side of TLS: the certificate chain and private key it proves
// itself with, read and checked once when it starts listening.
#pragma once

#include <QSslConfiguration>
#include <QString>

namespace kelm24 {

class TServerTls {
public:
    // Reads the PEM certificate file (the server's certificate first, then
    // any intermediate ones) and the unencrypted PEM private key, which only
    // its owner may read. Raises with a clear message when a file cannot be
    // read, the certificate is not valid now, or the key does not belong to
    // it. TLS 1.2 or later; clients are not asked for certificates (they
    // sign in with a password).
    static QSslConfiguration Load(const QString& certificateFile, const QString& keyFile);
};

}  // namespace kelm24
