#include "TestInstall.h"
#include "i18n/CodeConverter.h"

#include <QWidget>

using namespace kelm24;

namespace {
// A converter of a GB program showing a traditional interface (UI mode 2).
TCodeConverter* Big5Ui(QObject* owner = nullptr, const QString& db = QStringLiteral("936"))
{
    return new TCodeConverter(owner, QStringLiteral("936"), QStringLiteral("950"), db);
}
}  // namespace

TEST(CodeConverter, ModesFromTheClientSettings)
{
    test::TestInstall install;
    qputenv("LC_ALL", "zh_TW.BIG5");
    install.StandardRegistry();
    install.WriteUtf8("client/CorvaneC.ini", "[CodePage]\nUICodePage=936\nDBCodePage=950\n");
    TCodeConverter converter;
    EXPECT_EQ(converter.SystemCodePage, "950");
    EXPECT_EQ(converter.UIConvertMode, 4);
    EXPECT_EQ(converter.DBConvertMode, 1);
    ASSERT_NE(converter.Translator(), nullptr);
    // Mode 4 converts no text, but a Big5 system gets the form caption in Big5.
    EXPECT_EQ(converter.ToDisplay(Variant(QStringLiteral("进货单"))).ToString(), QStringLiteral("进货单"));
    QWidget form;
    form.setWindowTitle(QStringLiteral("进货单打印"));
    converter.ConvertFormTexts(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("進貨單列印"));
    QFont font;
    EXPECT_EQ(ApplyUIFont(converter.UIConvertMode, font), 134);
    EXPECT_EQ(font.family(), "SimSun");
}

TEST(CodeConverter, WithoutTranslatorNothingChanges)
{
    TCodeConverter converter(nullptr, "936", "936", "950");  // DB mode 1, but UI mode 0
    EXPECT_EQ(converter.DBConvertMode, 1);
    EXPECT_EQ(converter.Translator(), nullptr);
    EXPECT_EQ(converter.ToDatabase(Variant(QStringLiteral("进货单"))).ToString(), QStringLiteral("进货单"));
    EXPECT_EQ(converter.Convert(2, Variant(QStringLiteral("发票"))).ToString(), QStringLiteral("发票"));
    EXPECT_EQ(converter.GBToBig5(QStringLiteral("发票")), QStringLiteral("发票"));
}

TEST(CodeConverter, ConvertSingleValuesAndArrays)
{
    std::unique_ptr<TCodeConverter> converter(Big5Ui());
    const Variant number = converter->Convert(2, 12);
    EXPECT_TRUE(number.IsText());
    EXPECT_EQ(number.ToString(), "12");
    EXPECT_TRUE(converter->Convert(1, Variant::Null()).IsNull());
    EXPECT_TRUE(converter->Convert(2, Variant()).IsEmpty());
    EXPECT_EQ(converter->Convert(3, Variant(QStringLiteral("发票"))).ToString(), QStringLiteral("发票"));
    EXPECT_EQ(converter->Convert(0, 5).ToInt(), 5);

    Variant grid = Variant::CreateArray(1, 2, 0, 1);
    grid.At(1, 0) = QStringLiteral("数量");
    grid.At(2, 1) = 3.5;
    const Variant converted = converter->Convert(2, grid);
    EXPECT_EQ(converted.At(1, 0).ToString(), QStringLiteral("數量"));
    EXPECT_TRUE(converted.At(1, 1).IsEmpty());  // empty cells stay empty
    EXPECT_TRUE(converted.At(2, 0).IsEmpty());
    EXPECT_EQ(converted.At(2, 1).ToString(), "3.5");
    EXPECT_EQ(converted.LowBound(1), 1);
    EXPECT_EQ(grid.At(1, 0).ToString(), QStringLiteral("数量"));  // the input is untouched

    const Variant list = Variant::ArrayOf({QStringLiteral("審核"), 7, Variant::ArrayOf({QStringLiteral("發票")})});
    const Variant back = converter->Convert(1, list);
    EXPECT_EQ(back[0].ToString(), QStringLiteral("审核"));
    EXPECT_EQ(back[1].ToString(), "7");
    EXPECT_TRUE(back[1].IsText());
    EXPECT_EQ(back[2][0].ToString(), QStringLiteral("发票"));

    // In a list every element becomes text, Empty the empty text; Null has
    // no text and is kept.
    const Variant blanks = converter->Convert(2, Variant::ArrayOf({Variant(), Variant::Null(), QStringLiteral("单价")}));
    EXPECT_TRUE(blanks[0].IsText());
    EXPECT_EQ(blanks[0].ToString(), "");
    EXPECT_TRUE(blanks[1].IsNull());
    EXPECT_EQ(blanks[2].ToString(), QStringLiteral("單價"));
}

TEST(CodeConverter, DisplayAndDatabaseDirections)
{
    std::unique_ptr<TCodeConverter> converter(Big5Ui());
    EXPECT_EQ(converter->UIConvertMode, 2);
    EXPECT_EQ(converter->DBConvertMode, 2);
    EXPECT_EQ(converter->ToDisplay(Variant(QStringLiteral("审核"))).ToString(), QStringLiteral("審核"));
    EXPECT_EQ(converter->FromDisplay(Variant(QStringLiteral("審核"))).ToString(), QStringLiteral("审核"));
    EXPECT_EQ(converter->ToDatabase(Variant(QStringLiteral("進貨單"))).ToString(), QStringLiteral("进货单"));
    EXPECT_EQ(converter->FromDatabase(Variant(QStringLiteral("进货单"))).ToString(), QStringLiteral("進貨單"));
    EXPECT_EQ(converter->Big5ToGB(""), "");

    std::unique_ptr<TCodeConverter> sameDb(Big5Ui(nullptr, "950"));  // DB mode 0
    EXPECT_EQ(sameDb->ToDatabase(Variant(QStringLiteral("進貨單"))).ToString(), QStringLiteral("進貨單"));
}

TEST(CodeConverter, MissingLibraryFailsCreation)
{
    try {
        TCodeConverter converter(nullptr, "936", "950", "936", "libNoSuchQvlanguage.so");
        FAIL() << "created";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Load Library libNoSuchQvlanguage.so Error!");
    }
    // UI mode 0 never loads it.
    EXPECT_NO_THROW(TCodeConverter(nullptr, "936", "936", "936", "libNoSuchQvlanguage.so"));
}

TEST(CodeConverter, MessageDialogThroughTheDialogService)
{
    TDialogService::Reset();
    QWidget form;
    form.setWindowTitle(QStringLiteral("进货单"));
    TCodeConverter converter(&form, "936", "936", "936");
    EXPECT_EQ(converter.MessageDialog("", mtError, {mbOK}), 0);
    EXPECT_TRUE(TDialogService::History().isEmpty());
    TDialogService::ScriptAnswers({mrNo});
    EXPECT_EQ(converter.MessageDialog(QStringLiteral("是否打开文件？"), mtConfirmation, {mbYes, mbNo}), mrNo);
    ASSERT_EQ(TDialogService::History().size(), 1);
    const TMessageRequest asked = TDialogService::History().first();
    EXPECT_EQ(asked.Text, QStringLiteral("是否打开文件？      "));  // six blanks on a GB installation
    EXPECT_EQ(asked.Caption, QStringLiteral("进货单"));
    EXPECT_EQ(asked.DlgType, mtConfirmation);
    EXPECT_TRUE(asked.Buttons == (TMsgDlgButtons{mbYes, mbNo}));
    EXPECT_EQ(asked.Font.family(), "SimSun");
    // Headless and unscripted: the default button answers at once.
    EXPECT_EQ(converter.MessageDialog("x", mtConfirmation, {mbYes, mbNo}), mrYes);
    TCodeConverter english(nullptr, "437", "437", "936");
    TDialogService::ScriptAnswers({mrOk});
    english.MessageDialog("plain", mtInformation, {mbOK});
    EXPECT_EQ(TDialogService::History().last().Text, "plain");
    TDialogService::Reset();
}
