#include "runtime/PropUtils.h"

#include <QMetaObject>
#include <QObject>

namespace kelm24 {

namespace {

bool IsOrdinal(const QMetaProperty& p)
{
    if (p.isEnumType()) return true;
    switch (p.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
    case QMetaType::QChar: return true;
    default: return false;
    }
}

bool IsMethodType(const QMetaProperty& p)
{
    return p.metaType().id() >= QMetaType::User && !p.isEnumType() &&
           !(p.metaType().flags() & QMetaType::PointerToQObject);
}

}  // namespace

QMetaProperty FindPublishedProperty(const QObject* Instance, const QString& PropName)
{
    if (!Instance || PropName.isEmpty()) return QMetaProperty();
    // The most derived class that has the name wins, so that a control's
    // published "Text" is found for ".text" rather than the Qt base class's
    // own "text" (read-only on a spin box); within a class the exact name first.
    const QByteArray name = PropName.toLatin1();
    for (const QMetaObject* meta = Instance->metaObject(); meta; meta = meta->superClass()) {
        int found = -1;
        for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
            const char* candidate = meta->property(i).name();
            if (name == candidate) return meta->property(i);
            if (found < 0 && PropName.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0) found = i;
        }
        if (found >= 0) return meta->property(found);
    }
    return QMetaProperty();
}

bool HasPropByName(const QObject* Instance, const QString& PropName)
{
    return FindPublishedProperty(Instance, PropName).isValid();
}

QString GetStrPropByName(const QObject* Instance, const QString& PropName)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (!p.isValid() || IsMethodType(p)) return QString();
    const QVariant value = p.read(Instance);
    return value.canConvert<QString>() ? value.toString() : QString();
}

qint64 GetOrdPropByName(const QObject* Instance, const QString& PropName)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (!p.isValid() || !IsOrdinal(p)) return 0;
    const QVariant value = p.read(Instance);
    if (p.metaType().id() == QMetaType::QChar) return value.toChar().unicode();
    if (p.metaType().id() == QMetaType::Bool) return value.toBool() ? 1 : 0;
    return value.toLongLong();
}

QVariant GetMethodPropByName(const QObject* Instance, const QString& PropName)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (!p.isValid() || !IsMethodType(p)) return QVariant();
    return p.read(Instance);
}

void SetStrPropByName(QObject* Instance, const QString& PropName, const QString& Value)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (p.isValid() && p.isWritable() && !IsMethodType(p)) p.write(Instance, Value);
}

void SetOrdPropByName(QObject* Instance, const QString& PropName, qint64 Value)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (!p.isValid() || !p.isWritable() || !IsOrdinal(p)) return;
    if (p.metaType().id() == QMetaType::Bool)
        p.write(Instance, Value != 0);
    else if (p.metaType().id() == QMetaType::QChar)
        p.write(Instance, QChar(static_cast<char16_t>(Value)));
    else if (p.isEnumType())
        p.write(Instance, static_cast<int>(Value));
    else
        p.write(Instance, QVariant(Value));
}

void SetMethodPropByName(QObject* Instance, const QString& PropName, const QVariant& Value)
{
    const QMetaProperty p = FindPublishedProperty(Instance, PropName);
    if (p.isValid() && p.isWritable() && IsMethodType(p) && Value.metaType() == p.metaType()) p.write(Instance, Value);
}

namespace {
constexpr char kInnerPart[] = "kelm24InnerPart";
}

void MarkInnerPart(QObject* Part)
{
    if (Part) Part->setProperty(kInnerPart, true);
}

bool IsInnerPart(const QObject* Object, const QObject* Root)
{
    for (const QObject* o = Object; o && o != Root; o = o->parent())
        if (o->property(kInnerPart).toBool()) return true;
    return false;
}

}  // namespace kelm24
