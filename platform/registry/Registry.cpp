#include "platform/registry/Registry.h"

#include <QFile>

namespace kelm24 {

namespace {

// Backslashes in key paths are the separators of the system; a path written
// with "/" or with doubled separators names the same key.
QString NormalKeyPath(QString key)
{
    key.replace(QLatin1Char('/'), QLatin1Char('\\'));
    while (key.contains(QLatin1String("\\\\"))) key.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    while (key.startsWith(QLatin1Char('\\'))) key.remove(0, 1);
    while (key.endsWith(QLatin1Char('\\'))) key.chop(1);
    return key.toLower();
}

QString Unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

QString RegistryFileName()
{
    const QString env = qEnvironmentVariable("KELM24_REGISTRY");
    return env.isEmpty() ? QStringLiteral("/etc/kelm24/registry.ini") : env;
}

bool TRegistry::OpenKeyReadOnly(const QString& key)
{
    CloseKey();
    QFile file(RegistryFileName());
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QString wanted = NormalKeyPath(key);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    bool inKey = false;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inKey = NormalKeyPath(line.mid(1, line.size() - 2).trimmed()) == wanted;
            open_ = open_ || inKey;
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!inKey || eq <= 0) continue;
        const QString name = Unquoted(line.left(eq)).toLower();
        if (!values_.contains(name)) values_.insert(name, Unquoted(line.mid(eq + 1)));
    }
    return open_;
}

void TRegistry::CloseKey()
{
    values_.clear();
    open_ = false;
}

bool TRegistry::ValueExists(const QString& name) const
{
    return values_.contains(name.toLower());
}

QString TRegistry::ReadString(const QString& name) const
{
    return values_.value(name.toLower());
}

QString ReadRegistryString(const QString& key, const QString& name)
{
    TRegistry registry;
    return registry.OpenKeyReadOnly(key) ? registry.ReadString(name) : QString();
}

}  // namespace kelm24
