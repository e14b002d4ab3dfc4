#include "kelm24/Automation.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class TStore : public TAutomationObject {
public:
    TStore() : TAutomationObject(QStringLiteral("TStore"))
    {
        AddMethod(QStringLiteral("Put"), [this](VariantArgs& args) {
            value_ = Arg(args, 0, QStringLiteral("Put"));
            return Variant(true);
        });
        // Writes its answer back into the second argument.
        AddMethod(QStringLiteral("Fetch"), [this](VariantArgs& args) {
            Arg(args, 1, QStringLiteral("Fetch"));
            args[1] = value_;
            return Variant(1);
        });
        AddProperty(QStringLiteral("Value"), [this] { return value_; }, [this](const Variant& v) { value_ = v; });
        AddProperty(QStringLiteral("ReadOnly"), [] { return Variant(7); });
    }

private:
    Variant value_;
};

}  // namespace

TEST(Automation, MembersByNameWithoutCase)
{
    Variant store(std::make_shared<TStore>());
    EXPECT_TRUE(store.Call(QStringLiteral("PUT"), {"kept"}).ToBool());
    EXPECT_EQ(store.Get(QStringLiteral("value")).ToString(), QStringLiteral("kept"));
    store.Set(QStringLiteral("Value"), 5);
    EXPECT_EQ(store.Call(QStringLiteral("Value")).ToInt(), 5);
    EXPECT_EQ(store.Get(QStringLiteral("ReadOnly")).ToInt(), 7);
}

TEST(Automation, ArgumentsByReference)
{
    Variant store(std::make_shared<TStore>());
    store.Call(QStringLiteral("Put"), {Variant::ArrayOf({1, 2})});
    VariantArgs args{Variant(), Variant()};
    EXPECT_EQ(store.Call(QStringLiteral("Fetch"), args).ToInt(), 1);
    EXPECT_EQ(args[1][1].ToInt(), 2);
}

TEST(Automation, UnknownMembersAndMissingArgumentsRaise)
{
    Variant store(std::make_shared<TStore>());
    try {
        store.Call(QStringLiteral("Nope"));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Nope")));
    }
    EXPECT_THROW(store.Set(QStringLiteral("ReadOnly"), 1), Exception);
    EXPECT_THROW(store.Get(QStringLiteral("Absent")), Exception);
    EXPECT_THROW(store.Call(QStringLiteral("Fetch"), {1}), Exception);
    EXPECT_THROW(Variant(3).Call(QStringLiteral("Put")), EVariantError);
    EXPECT_THROW(Variant().Get(QStringLiteral("Value")), EVariantError);
}

TEST(Automation, FactoryRegistry)
{
    EXPECT_FALSE(IsOleClassRegistered(QStringLiteral("Test.Store")));
    try {
        CreateOleObject(QStringLiteral("Test.Store"));
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid class string: Test.Store"));
    }
    RegisterOleFactory(QStringLiteral("Test.Store"), [] { return std::make_shared<TStore>(); });
    Variant a = CreateOleObject(QStringLiteral("test.store"));
    Variant b = CreateOleObject(QStringLiteral("Test.Store"));
    ASSERT_TRUE(a.IsObject());
    a.Set(QStringLiteral("Value"), 1);
    EXPECT_TRUE(b.Get(QStringLiteral("Value")).IsEmpty());  // each creation is a new object
    Variant sameObject = a;
    EXPECT_EQ(sameObject, a);
    EXPECT_NE(a, b);
    UnregisterOleFactory(QStringLiteral("Test.Store"));
    EXPECT_THROW(CreateOleObject(QStringLiteral("Test.Store")), Exception);
}
