#include "appserver/PasswordFile.h"

#include "kelm24/Variant.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSemaphore>
#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace kelm24 {

namespace {

constexpr int kSaltBytes = 16, kKeyBytes = 32;
constexpr int kMinCostLog2 = 10, kMaxCostLog2 = 20;  // a file cannot ask for unbounded work

QByteArray Scrypt(const QString& password, const QByteArray& salt, int costLog2, int r, int p)
{
    // A hash of the default cost takes 32 MiB: clients signing in at once
    // take turns rather than the server's memory.
    static QSemaphore hashing(2);
    hashing.acquire();
    QSemaphoreReleaser release(hashing);
    const QByteArray pass = password.toUtf8();
    QByteArray key(kKeyBytes, '\0');
    const uint64_t n = uint64_t(1) << costLog2;
    const uint64_t maxMemory = 256u * 1024 * 1024;
    if (EVP_PBE_scrypt(pass.constData(), static_cast<size_t>(pass.size()), reinterpret_cast<const unsigned char*>(salt.constData()),
                       static_cast<size_t>(salt.size()), n, static_cast<uint64_t>(r), static_cast<uint64_t>(p), maxMemory,
                       reinterpret_cast<unsigned char*>(key.data()), static_cast<size_t>(key.size())) != 1)
        throw Exception(QStringLiteral("无法计算密码的散列 (scrypt)"));
    return key;
}

}  // namespace

TPasswordFile::TPasswordFile(QString path) : path_(std::move(path)) {}

bool TPasswordFile::Exists() const { return QFile::exists(path_); }

QHash<QString, QString> TPasswordFile::Read() const
{
    QHash<QString, QString> users;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return users;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const int colon = static_cast<int>(line.indexOf(QLatin1Char(':')));
        if (colon <= 0) continue;
        users.insert(line.left(colon).trimmed().toUpper(), line.mid(colon + 1).trimmed());
    }
    return users;
}

QString TPasswordFile::Hash(const QString& password, int costLog2)
{
    if (costLog2 < kMinCostLog2 || costLog2 > kMaxCostLog2)
        throw Exception(QStringLiteral("密码散列的代价应在 %1 到 %2 之间").arg(kMinCostLog2).arg(kMaxCostLog2));
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), kSaltBytes) != 1)
        throw Exception(QStringLiteral("无法取得随机数作为密码的盐"));
    const QByteArray key = Scrypt(password, salt, costLog2, 8, 1);
    return QStringLiteral("$scrypt$ln=%1,r=8,p=1$%2$%3")
        .arg(costLog2)
        .arg(QString::fromLatin1(salt.toBase64()), QString::fromLatin1(key.toBase64()));
}

bool TPasswordFile::Matches(const QString& hash, const QString& password)
{
    static const QRegularExpression form(
        QStringLiteral("^\\$scrypt\\$ln=(\\d+),r=(\\d+),p=(\\d+)\\$([A-Za-z0-9+/=]+)\\$([A-Za-z0-9+/=]+)$"));
    const QRegularExpressionMatch m = form.match(hash);
    if (!m.hasMatch()) return false;
    const int costLog2 = m.captured(1).toInt(), r = m.captured(2).toInt(), p = m.captured(3).toInt();
    if (costLog2 < kMinCostLog2 || costLog2 > kMaxCostLog2 || r < 1 || r > 32 || p < 1 || p > 4) return false;
    const QByteArray salt = QByteArray::fromBase64(m.captured(4).toLatin1());
    const QByteArray expected = QByteArray::fromBase64(m.captured(5).toLatin1());
    if (salt.isEmpty() || expected.size() != kKeyBytes) return false;
    const QByteArray key = Scrypt(password, salt, costLog2, r, p);
    return CRYPTO_memcmp(key.constData(), expected.constData(), kKeyBytes) == 0;
}

bool TPasswordFile::Verify(const QString& user, const QString& password) const
{
    // An unknown user costs a hash too, so the answer's time does not tell
    // which user names exist.
    static const QString unknown = Hash(QStringLiteral("unknown user"), kMinCostLog2 + 4);
    const QHash<QString, QString> users = Read();
    auto it = users.constFind(user.trimmed().toUpper());
    if (user.trimmed().isEmpty() || it == users.constEnd()) {
        Matches(unknown, password);
        return false;
    }
    return Matches(it.value(), password);
}

void TPasswordFile::Set(const QString& user, const QString& password, int costLog2)
{
    const QString name = user.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char(':')) || name.contains(QLatin1Char('\n')))
        throw Exception(QStringLiteral("用户代号不能为空, 也不能含有冒号: %1").arg(user));
    if (password.isEmpty()) throw Exception(QStringLiteral("用户 %1 的密码不能为空").arg(name));
    QStringList lines;
    QFile old(path_);
    if (old.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!old.atEnd()) {
            const QString line = QString::fromUtf8(old.readLine()).trimmed();
            const int colon = static_cast<int>(line.indexOf(QLatin1Char(':')));
            if (colon > 0 && line.left(colon).trimmed().compare(name, Qt::CaseInsensitive) == 0) continue;
            if (!line.isEmpty()) lines << line;
        }
    }
    lines << name + QLatin1Char(':') + Hash(password, costLog2);
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        throw Exception(QStringLiteral("无法写入用户密码文件 %1: %2").arg(path_, file.errorString()));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!file.commit()) throw Exception(QStringLiteral("无法写入用户密码文件 %1: %2").arg(path_, file.errorString()));
}

}  // namespace kelm24
