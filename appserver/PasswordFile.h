// The server's user password file: one line per user, "user:hash", where the
// hash is scrypt's (OpenSSL) with its cost and salt written beside it:
//   $scrypt$ln=15,r=8,p=1$<salt, base64>$<key, base64>
// A client proves who it is with the password before any member answers;
// the file holds no password itself.
#pragma once

#include <QHash>
#include <QString>

namespace kelm24 {

class TPasswordFile {
public:
    // An absent file holds no users: every sign-in fails.
    explicit TPasswordFile(QString path);

    const QString& Path() const { return path_; }
    bool Exists() const;
    // True when the file holds the user (without case) and the password
    // matches its hash. Costs one hash either way, so a wrong user name
    // takes as long as a wrong password.
    bool Verify(const QString& user, const QString& password) const;
    // Sets (or replaces) a user's password and writes the file, readable by
    // its owner only. Raises when the file cannot be written.
    void Set(const QString& user, const QString& password, int costLog2 = kDefaultCostLog2);

    // A new salted hash of the password; 2^costLog2 is scrypt's N.
    static QString Hash(const QString& password, int costLog2 = kDefaultCostLog2);
    static bool Matches(const QString& hash, const QString& password);
    static constexpr int kDefaultCostLog2 = 15;

private:
    QHash<QString, QString> Read() const;  // upper-case user -> hash
    QString path_;
};

}  // namespace kelm24
