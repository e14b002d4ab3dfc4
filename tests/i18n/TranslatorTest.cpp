#include "i18n/CodeConverter.h"
#include "platform/Qvlanguage/Qvlanguage.h"
#include "runtime/CodePage.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;

TEST(Translator, ReceiptVocabularyBothWays)
{
    TTranslator translator;
    const std::pair<const char*, const char*> pairs[] = {
        {"进货单", "進貨單"}, {"发票", "發票"}, {"数量", "數量"}, {"审核", "審核"}, {"面条", "麵條"},
        {"采购进货单", "採購進貨單"}, {"供应商", "供應商"}, {"单价", "單價"}, {"金额", "金額"},
        {"仓库", "倉庫"}, {"品号", "品號"}, {"备注", "備註"}, {"是否打开文件？", "是否打開文件？"},
    };
    for (const auto& [gb, big5] : pairs) {
        EXPECT_EQ(translator.GBtoBIG5(QString::fromUtf8(gb)), QString::fromUtf8(big5)) << gb;
        EXPECT_EQ(translator.BIG5toGB(QString::fromUtf8(big5)), QString::fromUtf8(gb)) << big5;
    }
    EXPECT_EQ(translator.GBtoBIG5("PO-2024/03 12.50"), "PO-2024/03 12.50");
    EXPECT_EQ(translator.GBtoBIG5(""), "");
}

TEST(Translator, ProjectPhrasesOverrideTheGeneralTables)
{
    TTranslator translator;
    EXPECT_EQ(translator.GBtoBIG5(QStringLiteral("签核")), QStringLiteral("簽核"));  // not 籤核
    EXPECT_EQ(translator.GBtoBIG5(QStringLiteral("进货单签核人")), QStringLiteral("進貨單簽核人"));
    EXPECT_EQ(translator.GBtoBIG5(QStringLiteral("应付账款")), QStringLiteral("應付帳款"));
    EXPECT_EQ(translator.BIG5toGB(QStringLiteral("應付帳款")), QStringLiteral("应付账款"));  // not 应付帐款
    EXPECT_EQ(translator.BIG5toGB(QStringLiteral("簽核")), QStringLiteral("签核"));
}

TEST(Translator, TraditionalResultsFitTheBig5CodePage)
{
    TTranslator translator;
    for (const QString& text : {QStringLiteral("面条"), QStringLiteral("进货单发票数量审核签核"), QStringLiteral("采购员确认后打印")}) {
        bool ok = false;
        EncodeCodePage(translator.GBtoBIG5(text), 950, &ok);
        EXPECT_TRUE(ok) << text.toStdString();
    }
}

TEST(Translator, LongTextsAndRepeatedCalls)
{
    TTranslator translator;
    QString gb, big5;
    for (int i = 0; i < 2000; ++i) {
        gb += QStringLiteral("进货单发票");
        big5 += QStringLiteral("進貨單發票");
    }
    EXPECT_EQ(translator.GBtoBIG5(gb), big5);
    EXPECT_EQ(translator.GBtoBIG5(gb), big5);  // from the cache, same answer
}

TEST(Translator, MissingLibraryOrFunction)
{
    try {
        TTranslator translator(QStringLiteral("libQvlanguageMissing.so"));
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Load Library libQvlanguageMissing.so Error!");
    }
    try {
        TTranslator translator(QStringLiteral(KELM24_OLE_LIBRARY));  // a library without the functions
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Get Library Procedure Address Error!");
    }
}

TEST(Translator, LibraryExportsByName)
{
    TTranslator translator;
    void* handle = dlopen(translator.LibraryPath().toLocal8Bit().constData(), RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    for (const char* name : {"GetBIG5Data", "GetGBData", "SaveOrder"}) {
        auto function = reinterpret_cast<TQvTextFunc>(dlsym(handle, name));
        ASSERT_NE(function, nullptr) << name;
        char out[16];
        EXPECT_EQ(function("x", out, sizeof out), -1) << name;  // not offered
    }
    auto toBig5 = reinterpret_cast<TQvTextFunc>(dlsym(handle, "GBtoBIG5"));
    char small[4];
    const QByteArray input = QStringLiteral("发票").toUtf8();
    const int needed = toBig5(input.constData(), small, sizeof small);
    EXPECT_EQ(needed, QStringLiteral("發票").toUtf8().size());  // the whole length, like snprintf
    EXPECT_EQ(small[3], '\0');
    EXPECT_EQ(toBig5(nullptr, small, sizeof small), -1);
    dlclose(handle);
}
