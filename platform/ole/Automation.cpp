#include "kelm24/Automation.h"

#include "platform/ole/ClassRegistry.h"

#include <QMutex>

namespace kelm24 {

IAutomationObject::~IAutomationObject() = default;

TAutomationObject::TAutomationObject(QString className) : className_(std::move(className)) {}

void TAutomationObject::AddMethod(const QString& name, Method method)
{
    methods_.insert(name.toLower(), std::move(method));
}

void TAutomationObject::AddProperty(const QString& name, Getter getter, Setter setter)
{
    properties_.insert(name.toLower(), {std::move(getter), std::move(setter)});
}

bool TAutomationObject::HasMember(const QString& name) const
{
    return methods_.contains(name.toLower()) || properties_.contains(name.toLower());
}

void TAutomationObject::Unknown(const QString& member) const
{
    throw Exception(QStringLiteral("%1 does not support member \"%2\"").arg(className_, member));
}

Variant TAutomationObject::Invoke(const QString& member, VariantArgs& args)
{
    auto m = methods_.constFind(member.toLower());
    if (m != methods_.constEnd()) return m.value()(args);
    // Late binding lets a property be read with call syntax too.
    auto p = properties_.constFind(member.toLower());
    if (p != properties_.constEnd() && args.empty() && p.value().first) return p.value().first();
    Unknown(member);
}

Variant TAutomationObject::GetProperty(const QString& name)
{
    auto p = properties_.constFind(name.toLower());
    if (p == properties_.constEnd() || !p.value().first) Unknown(name);
    return p.value().first();
}

void TAutomationObject::SetProperty(const QString& name, const Variant& value)
{
    auto p = properties_.constFind(name.toLower());
    if (p == properties_.constEnd() || !p.value().second) Unknown(name);
    p.value().second(value);
}

const Variant& TAutomationObject::Arg(const VariantArgs& args, size_t index, const QString& member)
{
    if (index >= args.size())
        throw Exception(QStringLiteral("%1: argument %2 is missing").arg(member).arg(index + 1));
    return args[index];
}

namespace {
struct FactoryTable {
    QMutex lock;
    QHash<QString, OleFactory> factories;
};
FactoryTable& Factories()
{
    static FactoryTable table;
    return table;
}
}  // namespace

void RegisterOleFactory(const QString& progId, OleFactory factory)
{
    FactoryTable& t = Factories();
    QMutexLocker guard(&t.lock);
    t.factories.insert(progId.toLower(), std::move(factory));
}

void UnregisterOleFactory(const QString& progId)
{
    FactoryTable& t = Factories();
    QMutexLocker guard(&t.lock);
    t.factories.remove(progId.toLower());
}

bool IsOleClassRegistered(const QString& progId)
{
    FactoryTable& t = Factories();
    {
        QMutexLocker guard(&t.lock);
        if (t.factories.contains(progId.toLower())) return true;
    }
    return !RegisteredClassLibrary(progId).isEmpty();
}

Variant CreateOleObject(const QString& progId)
{
    OleFactory factory;
    {
        FactoryTable& t = Factories();
        QMutexLocker guard(&t.lock);
        factory = t.factories.value(progId.toLower());
    }
    std::shared_ptr<IAutomationObject> object;
    if (factory) {
        object = factory();
    } else {
        // Not registered by a module in the process: a class registration may
        // name the library that makes it.
        QString library = RegisteredClassLibrary(progId);
        if (library.isEmpty()) throw Exception(QStringLiteral("Invalid class string: %1").arg(progId));
        object = CreateRegisteredObject(progId, library);
    }
    if (!object) throw Exception(QStringLiteral("Cannot create object %1").arg(progId));
    return Variant(std::move(object));
}

}  // namespace kelm24
