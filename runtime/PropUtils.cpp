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
    const QMetaObject* meta = Instance->metaObject();
    const int exact = meta->indexOfProperty(PropName.toLatin1().constData());
    if (exact >= 0) return meta->property(exact);
    for (int i = 0; i < meta->propertyCount(); ++i)
        if (PropName.compare(QLatin1String(meta->property(i).name()), Qt::CaseInsensitive) == 0) return meta->property(i);
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

}  // namespace kelm24
