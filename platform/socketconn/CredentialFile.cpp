#include "platform/socketconn/CredentialFile.h"

#include "kelm24/Variant.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace kelm24 {

namespace {

// Splits a line at unescaped colons, undoing the escapes.
QStringList Fields(const QString& line)
{
    QStringList out(1);
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == QLatin1Char('\\') && i + 1 < line.size()) {
            out.back() += line[++i];
        } else if (c == QLatin1Char(':')) {
            out << QString();
        } else {
            out.back() += c;
        }
    }
    return out;
}

}  // namespace

QString TCredentialFile::DefaultPath()
{
    const QString named = qEnvironmentVariable("KELM24_APPSERVER_PASSFILE");
    if (!named.isEmpty()) return named;
    return QDir::home().filePath(QStringLiteral(".kelm24/appserver.pass"));
}

std::optional<TCredential> TCredentialFile::Find(const QString& address, int port, const QString& user) const
{
    QFile file(path_);
    if (!file.exists()) return std::nullopt;
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    if (file.permissions() & others)
        throw Exception(QStringLiteral("凭据文件 %1 可以被其他用户读取, 不会使用; 请改为只有自己可读写 (chmod 600)").arg(path_));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Exception(QStringLiteral("无法读取凭据文件 %1: %2").arg(path_, file.errorString()));
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#'))) continue;
        const QStringList f = Fields(line);
        if (f.size() != 4) continue;
        if (f[0] != QLatin1String("*") && f[0].compare(address, Qt::CaseInsensitive) != 0) continue;
        if (f[1] != QLatin1String("*") && f[1] != QString::number(port)) continue;
        if (!user.isEmpty() && f[2].compare(user, Qt::CaseInsensitive) != 0) continue;
        return TCredential{f[2], f[3]};
    }
    return std::nullopt;
}

}  // namespace kelm24
