// Reading and writing a component's published property (a Q_PROPERTY) by
// name. Names match without regard to letter case, as the system's property
// names do; the most derived class that has the name wins (a control's "Text"
// over its Qt base's "text"), within a class the exact name first. A missing instance, name or property reads
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

// The inner parts of a composite control (the edits, labels and buttons of a
// select panel, the label of a labelled edit, the buttons of a radio group, a
// page control's tab bar) are not components of the form: the control
// publishes their texts and values through its own properties. Walks over a
// form's components (code conversion, language packages, saved conditions)
// skip a part and everything inside it.
void MarkInnerPart(QObject* Part);
// Whether Object is a part or lies inside one; the search stops at Root.
bool IsInnerPart(const QObject* Object, const QObject* Root = nullptr);

}  // namespace kelm24
