// Drives the plug-in the way a separately built host does: load by name,
// look up the export, use the controller through the SDK header only.
#include "kelm24/DLLBaseCtrller.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

struct Heard {
    std::vector<std::pair<int32_t, TDLLBaseController*>> codes;
};

void OnNotify(void* data, int32_t code, TDLLBaseController* sender)
{
    static_cast<Heard*>(data)->codes.emplace_back(code, sender);
}

class PluginLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        handle = dlopen(KELM24_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        getController = reinterpret_cast<GetControllerProc>(dlsym(handle, "GetController"));
        ASSERT_NE(getController, nullptr);
    }
    void TearDown() override
    {
        if (handle) dlclose(handle);
    }
    void* handle = nullptr;
    GetControllerProc getController = nullptr;
};

}  // namespace

TEST_F(PluginLoad, ControllerAnswersWithoutForm)
{
    std::unique_ptr<TDLLBaseController> ctrl(getController());
    ASSERT_NE(ctrl, nullptr);
    EXPECT_TRUE(ctrl->HostObject.IsEmpty());
    EXPECT_EQ(ctrl->ResultCode, 0);
    EXPECT_FALSE(ctrl->OnNotify);
    EXPECT_TRUE(ctrl->IsFormFreed());
    EXPECT_EQ(ctrl->GetVisible(), 0);
    EXPECT_EQ(ctrl->GetHandle(), 0);
    EXPECT_EQ(ctrl->ShowModalForm().ToInt(), 2);
    EXPECT_EQ(ctrl->RunCommand(5, Variant::ArrayOf({true})), -1);
    EXPECT_EQ(ctrl->ApplyCommand(Variant("x")), -1);
    Variant info;
    EXPECT_EQ(ctrl->GetFormInfo(info), -1);
    EXPECT_EQ(ctrl->GetVersionText(), QString());
}

TEST_F(PluginLoad, EachCallGivesANewController)
{
    std::unique_ptr<TDLLBaseController> a(getController());
    std::unique_ptr<TDLLBaseController> b(getController());
    EXPECT_NE(a.get(), b.get());
}

TEST_F(PluginLoad, NotificationsReachTheHostWithTheControllerAsSender)
{
    std::unique_ptr<TDLLBaseController> ctrl(getController());
    Heard heard;
    ctrl->OnNotify = TNotifyMethod{&OnNotify, &heard};
    ctrl->DoSpareNotify(nullptr);
    int someSender = 0;
    ctrl->Notify(NOTIFY_FORM_SHOW, &someSender);
    ASSERT_EQ(heard.codes.size(), 2u);
    EXPECT_EQ(heard.codes[0].first, 320);
    EXPECT_EQ(heard.codes[1].first, 272);
    EXPECT_EQ(heard.codes[0].second, ctrl.get());
    EXPECT_EQ(heard.codes[1].second, ctrl.get());
}

TEST_F(PluginLoad, InitFormCreatesTheReceiptFormAndReportsItsStart)
{
    // The library's option form is created (256) and refuses to start without
    // the host's five parameters and objects: InitForm answers -1.
    std::unique_ptr<TDLLBaseController> ctrl(getController());
    Heard heard;
    ctrl->OnNotify = TNotifyMethod{&OnNotify, &heard};
    EXPECT_EQ(ctrl->InitForm(Variant::ArrayOf({"DS", "Leader", "DEMO"})), -1);
    ASSERT_FALSE(heard.codes.empty());
    EXPECT_EQ(heard.codes[0].first, 256);
    Variant info;
    EXPECT_EQ(ctrl->GetFormInfo(info), 0);
    EXPECT_EQ(info[2].ToString(), QStringLiteral("KELM24"));
    EXPECT_EQ(ctrl->GetVersionText(), QStringLiteral("20011207"));
    ctrl.reset();
    ASSERT_GE(heard.codes.size(), 2u);
    EXPECT_EQ(heard.codes.back().first, 304);
}
