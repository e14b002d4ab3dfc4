// Where a client finds the password it signs in to the application server
// with, without asking: a per-user file, like PostgreSQL's .pgpass, whose
// lines read
//   address:port:user:password
// ("*" matches any address or port; "\:" and "\\" stand for ":" and "\" in a
// field; lines starting with "#" are notes). The file is
// $KELM24_APPSERVER_PASSFILE, else ~/.kelm24/appserver.pass, and it is used
// only when no one but its owner can read it.
#pragma once

#include <QString>

#include <optional>

namespace kelm24 {

struct TCredential {
    QString User, Password;
};

class TCredentialFile {
public:
    // The file named by the environment, else the one in the home folder.
    static QString DefaultPath();
    explicit TCredentialFile(QString path = DefaultPath()) : path_(std::move(path)) {}
    const QString& Path() const { return path_; }

    // The first line for the address and port (and for user, when one is
    // given); nothing when the file or a matching line is absent. Raises when
    // the file can be read by others than its owner.
    std::optional<TCredential> Find(const QString& address, int port, const QString& user = {}) const;

private:
    QString path_;
};

}  // namespace kelm24
