#include "platform/ole/IniText.h"

#include <QFile>
#include <QStringList>

namespace kelm24 {

TIniText TIniText::FromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return FromText(QString::fromUtf8(file.readAll()));
}

TIniText TIniText::FromText(const QString& text)
{
    TIniText ini;
    QString section;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            ini.sections_[section];
            continue;
        }
        int eq = static_cast<int>(line.indexOf(QLatin1Char('=')));
        if (eq <= 0) continue;
        ini.sections_[section].insert(line.left(eq).trimmed().toLower(), line.mid(eq + 1).trimmed());
    }
    return ini;
}

bool TIniText::HasSection(const QString& section) const { return sections_.contains(section.toLower()); }

QString TIniText::Value(const QString& section, const QString& name, const QString& fallback) const
{
    auto s = sections_.constFind(section.toLower());
    if (s == sections_.constEnd()) return fallback;
    auto v = s->constFind(name.toLower());
    return v == s->constEnd() ? fallback : v.value();
}

}  // namespace kelm24
