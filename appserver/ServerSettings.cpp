#include "appserver/ServerSettings.h"

#include "kelm24/Variant.h"
#include "runtime/CorvaneIni.h"
#include "runtime/IniFile.h"
#include "platform/registry/Registry.h"

#include <QDir>
#include <QFileInfo>

namespace kelm24 {

TServerSettings TServerSettings::FromIniFile(const QString& path)
{
    if (!QFileInfo::exists(path)) throw Exception(QStringLiteral("找不到服务器设置文件 %1").arg(path));
    const TIniFile ini(path);
    const QString dbe = QStringLiteral("DBE Setting");
    TServerSettings s;
    QString type = ini.ReadString(dbe, QStringLiteral("MainDBType"), QString()).toUpper();
    s.Engine = type.startsWith(QLatin1String("POSTGRES")) || type == QLatin1String("PGSQL") ? TSqlEngine::PostgreSQL
                                                                                             : TSqlEngine::SQLite;
    QString name = ini.ReadString(dbe, QStringLiteral("MainDBName"), QString());
    if (name.isEmpty()) throw Exception(QStringLiteral("服务器设置文件 %1 没有指定数据库 (MainDBName)").arg(path));
    if (s.Engine == TSqlEngine::SQLite) {
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        s.DatabaseFile = QFileInfo(path).absoluteDir().absoluteFilePath(name);
    } else {
        s.DatabaseName = name;
        s.Host = ini.ReadString(dbe, QStringLiteral("MainServerName"), s.Host);
        s.Port = ini.ReadInteger(dbe, QStringLiteral("MainServerPort"), s.Port);
        s.UserName = ini.ReadString(dbe, QStringLiteral("MainUserName"), QString());
        s.Password = DescramblePassword(ini.ReadString(dbe, QStringLiteral("XXXXXX"), QString()));
    }
    const QString ctrl = QStringLiteral("DBPasswordCtrl");
    s.ListenAddress = ini.ReadString(ctrl, QStringLiteral("ComputerName"), s.ListenAddress);
    if (s.ListenAddress.isEmpty()) s.ListenAddress = QStringLiteral("127.0.0.1");
    s.ListenPort = ini.ReadInteger(ctrl, QStringLiteral("ServerPort"), s.ListenPort);
    // Files named relative to the settings file's folder.
    const auto file = [&](const QString& key, const QString& def) {
        QString entry = ini.ReadString(ctrl, key, def).trimmed();
        entry.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return entry.isEmpty() ? QString() : QFileInfo(path).absoluteDir().absoluteFilePath(entry);
    };
    s.PasswordFile = file(QStringLiteral("UserFile"), QStringLiteral("CorvaneS.users"));
    s.TlsCertificateFile = file(QStringLiteral("TlsCertificate"), QString());
    s.TlsKeyFile = file(QStringLiteral("TlsKey"), QString());
    return s;
}

TServerSettings TServerSettings::FromRegistry()
{
    const QString serverPath = GetServerPath();
    if (serverPath.isEmpty())
        throw Exception(QStringLiteral("注册表文件 %1 没有服务器路径 (ServerPath)").arg(RegistryFileName()));
    return FromIniFile(QDir(serverPath).filePath(QStringLiteral("CorvaneS.ini")));
}

}  // namespace kelm24
