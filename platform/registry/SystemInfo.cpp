#include "platform/registry/SystemInfo.h"

#include "platform/registry/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <pwd.h>
#include <unistd.h>

namespace kelm24 {

namespace {

// The codeset part of the locale in force ("zh_CN.GBK" -> "GBK").
QString LocaleCodeset()
{
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const QString locale = qEnvironmentVariable(name);
        if (locale.isEmpty()) continue;
        const qsizetype dot = locale.indexOf(QLatin1Char('.'));
        if (dot < 0) return QString();
        QString codeset = locale.mid(dot + 1);
        codeset.truncate(codeset.indexOf(QLatin1Char('@')) < 0 ? codeset.size() : codeset.indexOf(QLatin1Char('@')));
        return codeset.toUpper().remove(QLatin1Char('-')).remove(QLatin1Char('_'));
    }
    return QString();
}

}  // namespace

QString SystemAnsiCodePage()
{
    const QString codeset = LocaleCodeset();
    if (codeset == QLatin1String("GBK") || codeset == QLatin1String("GB2312") || codeset == QLatin1String("GB18030") ||
        codeset == QLatin1String("EUCCN") || codeset == QLatin1String("CP936"))
        return QStringLiteral("936");
    if (codeset.startsWith(QLatin1String("BIG5")) || codeset == QLatin1String("CP950")) return QStringLiteral("950");
    bool ok = false;
    const QString acp = ReadRegistryString(QStringLiteral("SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage"),
                                           QStringLiteral("ACP")).trimmed();
    acp.toUInt(&ok);
    return ok ? acp : QStringLiteral("437");
}

QString WindowsUserName()
{
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_name) return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString TempFolder()
{
    QString dir = qEnvironmentVariable("TMPDIR");
    if (dir.isEmpty()) dir = QStringLiteral("/tmp");
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/'))) dir.chop(1);
    return dir;
}

QString HostProgramFolder()
{
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

}  // namespace kelm24
