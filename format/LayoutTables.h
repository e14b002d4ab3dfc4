// Names a layout text uses for values the report classes keep as numbers:
// enumerations by their identifiers, colours, font character sets, and the
// event properties of each class. Shared by the reader and the writer.
#pragma once

#include <QColor>
#include <QMetaProperty>
#include <QString>
#include <QStringList>

struct QMetaObject;

namespace kelm24 {

// Identifiers of an integer property that the classes keep as a plain
// number ("Alignment" -> taLeftJustify ...); null when the property has none.
struct TIdentTable {
    QStringList Names;   // index = value, unless Values is given
    QList<int> Values;   // explicit values (sets: bit values)
    bool IsSet = false;  // written as [a, b]
    int ValueOf(int index) const { return Values.isEmpty() ? index : Values[index]; }
};
const TIdentTable* IdentTableFor(const QString& PropertyName);
// Value of an identifier in a table (case-insensitive); false when unknown.
bool IdentValue(const TIdentTable& Table, const QString& Ident, int& Value);
QString IdentName(const TIdentTable& Table, int Value);

// Colours as TColor numbers ($00BBGGRR) and names (clBlack ..., clNone).
QString ColorText(const QColor& Color);
bool ColorFromIdent(const QString& Ident, QColor& Color);
QColor ColorFromTColor(qint64 Value);

// Font character sets: GB2312_CHARSET = 134 ...
bool CharsetValue(const QString& Ident, int& Value);
QString CharsetName(int Value);
// The dynamic property that keeps a widget's font character set.
inline const char* const FontCharsetProperty = "_k24_charset";

// Font styles: fsBold, fsItalic, fsUnderline, fsStrikeOut.
const QStringList& FontStyleNames();

// Event properties.
enum class TEventKind { None, Text, BoolRef, BoolValue, Notify, NotifyEvent };
// The kind of an event of a class; None when the class has no such event.
// Name matches without case; Canonical receives the event's own name.
TEventKind EventKindOf(const QMetaObject* Meta, const QString& Name, QString* Canonical = nullptr);
QStringList EventNamesOf(const QMetaObject* Meta);

// Published properties by their layout names.
bool IsRunTimeState(const QString& Name);  // never stored nor set ("Active")
QMetaProperty ClassProperty(const QMetaObject* Meta, const QString& Name);
const QStringList& GeometryNames();        // Left, Top, Width, Height
bool IsObjectPointer(const QMetaProperty& Property);

// A class name without its namespace.
QString BareClassName(const char* Name);

}  // namespace kelm24
