// Automation objects: called late-bound by member name with variant arguments.
#pragma once

#include "kelm24/Variant.h"

#include <QHash>
#include <functional>
#include <memory>
#include <vector>

namespace kelm24 {

// Arguments travel by reference: a member may write back into them.
using VariantArgs = std::vector<Variant>;

class KELM24_SDK IAutomationObject {
public:
    virtual ~IAutomationObject();
    // Calls a method; an object that does not answer the member raises.
    virtual Variant Invoke(const QString& member, VariantArgs& args) = 0;
    virtual Variant GetProperty(const QString& name) = 0;
    virtual void SetProperty(const QString& name, const Variant& value) = 0;
};

// An automation object whose members are entries of a table, matched without
// regard to letter case as late binding does.
class KELM24_SDK TAutomationObject : public IAutomationObject {
public:
    using Method = std::function<Variant(VariantArgs&)>;
    using Getter = std::function<Variant()>;
    using Setter = std::function<void(const Variant&)>;

    explicit TAutomationObject(QString className);
    Variant Invoke(const QString& member, VariantArgs& args) override;
    Variant GetProperty(const QString& name) override;
    void SetProperty(const QString& name, const Variant& value) override;
    QString ClassName() const { return className_; }
    bool HasMember(const QString& name) const;

protected:
    void AddMethod(const QString& name, Method method);
    void AddProperty(const QString& name, Getter getter, Setter setter = nullptr);
    // The argument at index, or a clear error naming the member.
    static const Variant& Arg(const VariantArgs& args, size_t index, const QString& member);

private:
    [[noreturn]] void Unknown(const QString& member) const;
    QString className_;
    QHash<QString, Method> methods_;
    QHash<QString, std::pair<Getter, Setter>> properties_;
};

// In-process object factories by program identifier.
using OleFactory = std::function<std::shared_ptr<IAutomationObject>()>;

KELM24_SDK void RegisterOleFactory(const QString& progId, OleFactory factory);
KELM24_SDK void UnregisterOleFactory(const QString& progId);
KELM24_SDK bool IsOleClassRegistered(const QString& progId);
// Creates the object registered under progId; raises "Invalid class string"
// with the identifier when nothing is registered under it.
KELM24_SDK Variant CreateOleObject(const QString& progId);

}  // namespace kelm24
