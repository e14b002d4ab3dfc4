#include "i18n/CodeConverter.h"
#include "platform/Qvlanguage/Qvlanguage.h"
#include "runtime/CodePage.h"

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <opencc.h>

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

TEST(Translator, TextsKeepEveryCharacter)
{
    TTranslator translator;
    // A zero character inside a database text, characters beyond the basic
    // plane (surrogate pairs), symbols Big5 lacks: all come back in place.
    const QString zero = QStringLiteral("进货单") + QChar(0) + QStringLiteral("发票") + QChar(0);
    const QString zeroBig5 = QStringLiteral("進貨單") + QChar(0) + QStringLiteral("發票") + QChar(0);
    EXPECT_EQ(translator.GBtoBIG5(zero), zeroBig5);
    const QString wide = QString::fromUtf8("\xF0\x9F\x98\x80进货单\xF0\xA0\x80\x80€é");
    EXPECT_EQ(translator.GBtoBIG5(wide), QString::fromUtf8("\xF0\x9F\x98\x80進貨單\xF0\xA0\x80\x80€é"));
    QStringList many, expected;
    for (int i = 0; i < 3000; ++i) {  // several chunks
        many << zero << wide << QStringLiteral("数量\n%1").arg(i);
        expected << zeroBig5 << translator.GBtoBIG5(wide) << QStringLiteral("數量\n%1").arg(i);
    }
    EXPECT_EQ(TTranslator().GBtoBIG5(many), expected);
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
    char five[5];  // room for one character and two bytes of the next
    EXPECT_EQ(toBig5(input.constData(), five, sizeof five), needed);
    EXPECT_EQ(QByteArray(five), QStringLiteral("發").toUtf8());  // never half a character
    EXPECT_EQ(toBig5(input.constData(), nullptr, 0), needed);   // the length alone
    EXPECT_EQ(toBig5(nullptr, small, sizeof small), -1);
    // Input that is not UTF-8 (GB bytes, a character cut short, a surrogate)
    // fails rather than reaching OpenCC.
    char out[64];
    auto toGb = reinterpret_cast<TQvTextFunc>(dlsym(handle, "BIG5toGB"));
    for (const char* bad : {"\xBD\xF8\xBB\xF5", "PO-1 \xE8\xBF", "\xE8\xBF\x9B\xE8", "\xED\xA0\x80", "\xC0\x80", "\xF8\x88\x80\x80\x80"}) {
        EXPECT_EQ(toBig5(bad, out, sizeof out), -1) << QByteArray(bad).toHex().constData();
        EXPECT_EQ(toGb(bad, out, sizeof out), -1) << QByteArray(bad).toHex().constData();
    }
    EXPECT_EQ(toBig5("\xF0\x9F\x98\x80\xC3\xA9", out, sizeof out), 6);  // beyond the basic plane, Latin
    dlclose(handle);
}

namespace {

// Receipt captions, messages and data as they come from the database: runs
// of Chinese between codes, numbers, punctuation and line breaks.
QStringList ReceiptTexts()
{
    const QStringList words = {
        QStringLiteral("进货单"), QStringLiteral("采购进货单"), QStringLiteral("发票号码"), QStringLiteral("数量"),
        QStringLiteral("审核码"), QStringLiteral("签核人"), QStringLiteral("应付账款"), QStringLiteral("新台币"),
        QStringLiteral("面条"), QStringLiteral("仓库"), QStringLiteral("单价"), QStringLiteral("备注"),
        QStringLiteral("是否打开文件？"), QStringLiteral("验收合格"), QStringLiteral("制单人"), QStringLiteral("对账单"),
    };
    QStringList texts;
    for (int i = 0; i < 6000; ++i) {  // large enough for several chunks and threads
        const QString& a = words[i % words.size()];
        const QString& b = words[(i * 7 + 3) % words.size()];
        switch (i % 6) {
        case 0: texts << a; break;
        case 1: texts << a + b; break;
        case 2: texts << QStringLiteral("PR%1 ").arg(i) + a + QStringLiteral("：") + b; break;
        case 3: texts << a + QStringLiteral("\n") + b + QStringLiteral("\r\n12.50"); break;
        case 4: texts << QString(); break;
        default: texts << QStringLiteral("第%1行").arg(i) + a + QString::number(i) + b; break;
        }
    }
    return texts;
}

// The OpenCC configurations and dictionaries beside the library.
QString OpenCCData(const TTranslator& translator)
{
    return QFileInfo(translator.LibraryPath()).absolutePath() + QStringLiteral("/opencc/");
}

}  // namespace

TEST(Translator, BatchesGiveTheOneTextResults)
{
    const QStringList gb = ReceiptTexts();
    QStringList big5;
    {
        TTranslator single;
        for (const QString& text : gb) big5 << single.GBtoBIG5(text);
    }
    EXPECT_EQ(big5[0], QStringLiteral("進貨單"));
    TTranslator batch;  // a fresh cache: every text goes through the batch
    const QStringList converted = batch.GBtoBIG5(gb);
    ASSERT_EQ(converted.size(), gb.size());
    for (qsizetype i = 0; i < gb.size(); ++i) EXPECT_EQ(converted[i], big5[i]) << gb[i].toStdString();

    QStringList back;
    {
        TTranslator single;
        for (const QString& text : big5) back << single.BIG5toGB(text);
    }
    const QStringList batchBack = TTranslator().BIG5toGB(big5);
    for (qsizetype i = 0; i < big5.size(); ++i) EXPECT_EQ(batchBack[i], back[i]) << big5[i].toStdString();
    EXPECT_TRUE(batch.GBtoBIG5(QStringList()).isEmpty());
}

TEST(Translator, LibraryConvertsLikeOpenCCOnTheWholeText)
{
    // The library converts only the runs of Chinese and remembers them; the
    // answer must be what OpenCC gives for the text as a whole.
    TTranslator translator;
    const QString dataDir = OpenCCData(translator);
    void* handle = dlopen(translator.LibraryPath().toLocal8Bit().constData(), RTLD_NOW);
    ASSERT_NE(handle, nullptr);
    for (const auto& [exportName, config] : {std::pair{"GBtoBIG5", "kelm24_s2tw.json"}, std::pair{"BIG5toGB", "kelm24_tw2s.json"}}) {
        auto function = reinterpret_cast<TQvTextFunc>(dlsym(handle, exportName));
        opencc_t reference = opencc_open((dataDir + config).toLocal8Bit().constData());
        ASSERT_NE(reference, reinterpret_cast<opencc_t>(-1));
        QStringList texts = ReceiptTexts();
        texts << TTranslator().GBtoBIG5(texts);  // the traditional forms too
        for (const QString& text : texts) {
            const QByteArray input = text.toUtf8();
            char* expected = opencc_convert_utf8(reference, input.constData(), input.size());
            QByteArray output(input.size() * 2 + 16, '\0');
            const int length = function(input.constData(), output.data(), static_cast<int>(output.size()));
            ASSERT_GE(length, 0);
            EXPECT_EQ(QByteArray(output.constData(), length), QByteArray(expected)) << exportName << ' ' << text.toStdString();
            opencc_convert_utf8_free(expected);
        }
        opencc_close(reference);
    }
    dlclose(handle);
}

TEST(Translator, ProjectPhrasesHoldNoAscii)
{
    // The library passes ASCII through unconverted, which is right only while
    // no phrase contains an ASCII character.
    for (const char* name : {"ERPPhrases_s2t.txt", "ERPPhrases_t2s.txt"}) {
        QFile file(OpenCCData(TTranslator()) + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        int lines = 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.isEmpty()) continue;
            ++lines;
            const QList<QByteArray> pair = line.split('\t');
            ASSERT_EQ(pair.size(), 2) << line.toStdString();
            for (const QByteArray& phrase : pair)
                for (char c : phrase) EXPECT_GE(static_cast<unsigned char>(c), 0x80) << line.toStdString();
        }
        EXPECT_GT(lines, 10) << name;
    }
}
