#include "platform/dialogs/Dialogs.h"

#include <gtest/gtest.h>

using namespace kelm24;

TEST(DialogService, ScriptsHandlersAndDefaults)
{
    TDialogService::Reset();
    EXPECT_TRUE(TDialogService::Headless());
    TMessageRequest request;
    request.Text = "Delete?";
    request.Buttons = {mbYes, mbNo, mbCancel};
    EXPECT_EQ(TDialogService::MessageBox(request), mrYes);  // default button
    request.Buttons = {mbAbort, mbRetry, mbIgnore};
    EXPECT_EQ(TDialogService::MessageBox(request), mrAbort);
    TDialogService::ScriptAnswers({mrCancel, mrYesToAll});
    EXPECT_EQ(TDialogService::MessageBox(request), mrCancel);
    EXPECT_EQ(TDialogService::MessageBox(request), mrYesToAll);
    TDialogService::SetMessageHandler([](const TMessageRequest& r) { return r.Text == "a" ? mrRetry : mrIgnore; });
    request.Text = "a";
    EXPECT_EQ(TDialogService::MessageBox(request), mrRetry);
    EXPECT_EQ(TDialogService::History().size(), 5);
    TDialogService::Reset();
    EXPECT_TRUE(TDialogService::History().isEmpty());
}

TEST(DialogService, InputBoxes)
{
    TDialogService::Reset();
    QString value = "start";
    EXPECT_FALSE(TDialogService::InputQuery("Name", "Set name", value));  // headless: cancelled
    EXPECT_EQ(value, "start");
    TDialogService::ScriptInputs({QStringLiteral("方案一"), QString()});
    EXPECT_TRUE(TDialogService::InputQuery("Name", "Set name", value));
    EXPECT_EQ(value, QStringLiteral("方案一"));
    EXPECT_FALSE(TDialogService::InputQuery("Name", "Set name", value));
    EXPECT_EQ(value, QStringLiteral("方案一"));
    TDialogService::Reset();
}

TEST(DialogService, ButtonsAndResults)
{
    EXPECT_EQ((TMsgDlgButtons{mbNo, mbYes}).List(), (QList<TMsgDlgBtn>{mbYes, mbNo}));
    EXPECT_EQ(DefaultButton({mbNo, mbCancel}), mbNo);
    EXPECT_EQ(DefaultButton({mbOK, mbCancel}), mbOK);
    EXPECT_EQ(ButtonResult(mbNoToAll), mrNoToAll);
    EXPECT_EQ(ButtonResult(mbHelp), mrNone);
    EXPECT_EQ(ButtonName(mbYesToAll), "YesToAll");
    EXPECT_TRUE(TMsgDlgButtons{}.Empty());
}
