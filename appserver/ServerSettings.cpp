#include "appserver/ServerSettings.h"

#include "kelm24/Variant.h"
#include "platform/ole/ClassRegistry.h"
#include "platform/ole/IniText.h"

#include <QDir>
#include <QFileInfo>

namespace kelm24 {

namespace {
const QString kEmptyMarker = QStringLiteral("QV_Say_NoPassWord_ThePassWordIsEmpty");

uint8_t RotateLeft(uint8_t b, int n) { return static_cast<uint8_t>((b << n) | (b >> ((8 - n) & 7))); }
uint8_t RotateRight(uint8_t b, int n) { return static_cast<uint8_t>((b >> n) | (b << ((8 - n) & 7))); }
}  // namespace

QString DescramblePassword(const QString& stored)
{
    QByteArray plain;
    for (int i = 0; i + 1 < stored.size(); i += 2) {
        bool ok = false;
        uint b = stored.mid(i, 2).toUInt(&ok, 16);
        if (!ok) return QStringLiteral("QV_Say_Password_Error");
        plain.append(static_cast<char>(RotateLeft(static_cast<uint8_t>(b), (i / 2 + 1) % 8)));
    }
    QString text = QString::fromLatin1(plain);
    return text == kEmptyMarker ? QString() : text;
}

QString ScramblePassword(const QString& plain)
{
    QByteArray bytes = (plain.isEmpty() ? kEmptyMarker : plain).toLatin1();
    QString out;
    for (int i = 0; i < bytes.size(); ++i)
        out += QStringLiteral("%1").arg(RotateRight(static_cast<uint8_t>(bytes[i]), (i + 1) % 8), 2, 16, QLatin1Char('0'));
    return out;
}

TServerSettings TServerSettings::FromIniFile(const QString& path)
{
    if (!QFileInfo::exists(path)) throw Exception(QStringLiteral("找不到服务器设置文件 %1").arg(path));
    TIniText ini = TIniText::FromFile(path);
    const QString dbe = QStringLiteral("DBE Setting");
    TServerSettings s;
    QString type = ini.Value(dbe, QStringLiteral("MainDBType")).toUpper();
    s.Engine = type.startsWith(QLatin1String("POSTGRES")) || type == QLatin1String("PGSQL") ? TSqlEngine::PostgreSQL
                                                                                             : TSqlEngine::SQLite;
    QString name = ini.Value(dbe, QStringLiteral("MainDBName"));
    if (name.isEmpty()) throw Exception(QStringLiteral("服务器设置文件 %1 没有指定数据库 (MainDBName)").arg(path));
    if (s.Engine == TSqlEngine::SQLite) {
        name.replace(QLatin1Char('\\'), QLatin1Char('/'));
        s.DatabaseFile = QFileInfo(path).absoluteDir().absoluteFilePath(name);
    } else {
        s.DatabaseName = name;
        s.Host = ini.Value(dbe, QStringLiteral("MainServerName"), s.Host);
        s.Port = ini.Value(dbe, QStringLiteral("MainServerPort"), QString::number(s.Port)).toInt();
        s.UserName = ini.Value(dbe, QStringLiteral("MainUserName"));
        s.Password = DescramblePassword(ini.Value(dbe, QStringLiteral("XXXXXX")));
    }
    const QString ctrl = QStringLiteral("DBPasswordCtrl");
    s.ListenAddress = ini.Value(ctrl, QStringLiteral("ComputerName"), s.ListenAddress);
    if (s.ListenAddress.isEmpty()) s.ListenAddress = QStringLiteral("127.0.0.1");
    s.ListenPort = ini.Value(ctrl, QStringLiteral("ServerPort"), QString::number(s.ListenPort)).toInt();
    return s;
}

TServerSettings TServerSettings::FromRegistry()
{
    TIniText registry = TIniText::FromFile(RegistryFilePath());
    QString serverPath = registry.Value(QStringLiteral("Software\\QVS\\Corvane"), QStringLiteral("ServerPath"));
    if (serverPath.isEmpty())
        throw Exception(QStringLiteral("注册表文件 %1 没有服务器路径 (ServerPath)").arg(RegistryFilePath()));
    serverPath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return FromIniFile(QDir(serverPath).filePath(QStringLiteral("CorvaneS.ini")));
}

}  // namespace kelm24
