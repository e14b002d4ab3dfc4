// A settings file in INI syntax, read once: sections and keys match without
// regard to letter case, values are trimmed and lose one pair of enclosing
// quotes, the first of two equal keys wins. A missing file answers every
// question with the default. GB (936) and UTF-8 files read alike.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kelm24 {

class TIniFile {
public:
    explicit TIniFile(const QString& fileName);

    QString FileName() const { return fileName_; }
    bool Exists() const { return exists_; }
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal (or "0x" hexadecimal) integer; the default when the text is not one.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // An integer other than 0 is true.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    // The key names of a section, in file order.
    QStringList ReadSection(const QString& section) const;
    // "name=value" lines of a section, in file order.
    QStringList ReadSectionValues(const QString& section) const;

private:
    struct Section {
        QString name;
        QList<QPair<QString, QString>> entries;
    };
    const Section* Find(const QString& section) const;
    const QPair<QString, QString>* FindEntry(const QString& section, const QString& key) const;

    QString fileName_;
    bool exists_ = false;
    QList<Section> sections_;
};

}  // namespace kelm24
