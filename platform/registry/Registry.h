// Read-only registry stand-in: an INI file whose sections are key paths as
// the system writes them ("Software\QVS\Corvane") and whose entries are the
// key's string values. Key paths and value names match without regard to
// letter case, as registry names do.
#pragma once

#include <QHash>
#include <QString>

namespace kelm24 {

// The registry file: $KELM24_REGISTRY, else /etc/kelm24/registry.ini.
QString RegistryFileName();

class TRegistry {
public:
    // Opens a key for reading; false when the file or the key does not exist.
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();
    bool ValueExists(const QString& name) const;
    // The value's text, empty when the key is not open or has no such value.
    QString ReadString(const QString& name) const;

private:
    QHash<QString, QString> values_;  // lower-case name -> value
    bool open_ = false;
};

// One string value of a key, empty when the key or the value is missing.
QString ReadRegistryString(const QString& key, const QString& name);

}  // namespace kelm24
