// Reading and writing a component's published property (a Q_PROPERTY) by
// name. Names match exactly first, then without regard to letter case, as
// the system's property names do. A missing instance, name or property reads
// as the empty value and is not written.
#pragma once

#include <QMetaProperty>
#include <QString>
#include <QVariant>

class QObject;

namespace kelm24 {

// The published property of that name, or an invalid QMetaProperty.
QMetaProperty FindPublishedProperty(const QObject* Instance, const QString& PropName);
bool HasPropByName(const QObject* Instance, const QString& PropName);

// The property as text (a value convertible to text is converted).
QString GetStrPropByName(const QObject* Instance, const QString& PropName);
// An integer, enumeration, boolean or character property as a number.
qint64 GetOrdPropByName(const QObject* Instance, const QString& PropName);
// An event property: one whose type is a registered user type (a handler
// reference); an invalid QVariant otherwise.
QVariant GetMethodPropByName(const QObject* Instance, const QString& PropName);

void SetStrPropByName(QObject* Instance, const QString& PropName, const QString& Value);
void SetOrdPropByName(QObject* Instance, const QString& PropName, qint64 Value);
void SetMethodPropByName(QObject* Instance, const QString& PropName, const QVariant& Value);

}  // namespace kelm24
