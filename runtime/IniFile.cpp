#include "runtime/IniFile.h"

#include "runtime/CodePage.h"

#include <QFile>

namespace kelm24 {

namespace {

QString Unquoted(QString value)
{
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

}  // namespace

TIniFile::TIniFile(const QString& fileName) : fileName_(fileName)
{
    QFile file(fileName);
    if (fileName.isEmpty() || !file.open(QIODevice::ReadOnly)) return;
    exists_ = true;
    const QString text = DecodeSettingsText(file.readAll());
    qsizetype current = -1;  // index: appending a section may move the others
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            const Section* known = Find(name);
            if (!known) sections_.append(Section{name, {}});
            current = known ? known - sections_.constData() : sections_.size() - 1;
            continue;
        }
        if (current < 0) continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = (eq < 0 ? line : line.left(eq)).trimmed();
        const QString value = eq < 0 ? QString() : Unquoted(line.mid(eq + 1));
        Section& section = sections_[current];
        if (key.isEmpty() || FindEntry(section.name, key)) continue;
        section.entries.append({key, value});
    }
}

const TIniFile::Section* TIniFile::Find(const QString& section) const
{
    for (const Section& s : sections_)
        if (s.name.compare(section, Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

const QPair<QString, QString>* TIniFile::FindEntry(const QString& section, const QString& key) const
{
    const Section* s = Find(section);
    if (!s) return nullptr;
    for (const auto& entry : s->entries)
        if (entry.first.compare(key, Qt::CaseInsensitive) == 0) return &entry;
    return nullptr;
}

bool TIniFile::SectionExists(const QString& section) const
{
    return Find(section) != nullptr;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const
{
    return FindEntry(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    const auto* entry = FindEntry(section, key);
    return entry ? entry->second : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString()).trimmed();
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                 : text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    if (const Section* s = Find(section))
        for (const auto& entry : s->entries) keys << entry.first;
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const
{
    QStringList lines;
    if (const Section* s = Find(section))
        for (const auto& entry : s->entries) lines << entry.first + QLatin1Char('=') + entry.second;
    return lines;
}

}  // namespace kelm24
