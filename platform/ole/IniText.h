// Reads an INI-syntax file: [section] lines, name=value entries, ";" and "#"
// comment lines. Section and entry names match without regard to case and may
// hold any character but "]" and "=" (registry key paths with "\" included).
#pragma once

#include "kelm24/Variant.h"

#include <QHash>
#include <QString>

namespace kelm24 {

class KELM24_SDK TIniText {
public:
    TIniText() = default;
    static TIniText FromFile(const QString& path);  // a missing file reads as empty
    static TIniText FromText(const QString& text);
    bool HasSection(const QString& section) const;
    QString Value(const QString& section, const QString& name, const QString& fallback = {}) const;

private:
    QHash<QString, QHash<QString, QString>> sections_;  // lower-case names
};

}  // namespace kelm24
