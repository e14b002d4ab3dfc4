// The print-time formatters: the texts they make, the examples and edge
// cases of the amounts in capital numerals, and how data texts get them.
#include "tests/format/TestFmt.h"

#include "format/PrintFormatters.h"
#include "format/engine/QRBands.h"
#include "format/engine/QRControls.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "platform/dialogs/Dialogs.h"

#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

class FormattersTest : public ::testing::Test {
protected:
    FormattersTest() : form(TQVForm::Create<TTestFmt>()) {}
    QString Amount(const QString& amount)
    {
        QString text;
        form->AmountToChinese(amount, text);
        return text;
    }
    QString Group(const QString& digits)
    {
        QString text;
        form->DigitGroupToChinese(digits, text);
        return text;
    }
    std::unique_ptr<TTestFmt> form;
};

// A derived form that writes its own group words: the amount takes them.
class TLoudGroupFmt : public TTestFmt {
public:
    void DigitGroupToChinese(const QString& Digits, QString& Text) override { Text = QLatin1Char('<') + Digits + QLatin1Char('>'); }
};

}  // namespace

TEST_F(FormattersTest, AmountsInCapitalNumerals)
{
    const std::vector<std::pair<const char*, const char*>> examples{
        {"1,234.50", "壹仟贰佰叁拾肆元伍角"},   {"100", "壹佰元整"},
        {"10000", "壹万元整"},                  {"100010", "壹拾万零壹拾元整"},
        {"1000000001", "壹拾亿零壹元整"},       {"-5.05", "负伍元零伍分"},
        {"0.5", "伍角"},                        {"0.05", "伍分"},
        {"12.00", "壹拾贰元整"},                {"12.345", "壹拾贰元叁角肆分"},
        {"12.", "壹拾贰元整"},                  {"12.001", "壹拾贰元"},
        {"-0", "零元整"},                       {"", "零元整"},
        {"abc", "零元整"},                      {"0", "零元整"},
        {"1.5", "壹元伍角"},                    {"101.1", "壹佰零壹元壹角"},
        {"20000000", "贰仟万元整"},             {"999999999999.99", "玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
    };
    for (const auto& [amount, words] : examples)
        EXPECT_EQ(Amount(QString::fromUtf8(amount)), QString::fromUtf8(words)) << amount;
}

TEST_F(FormattersTest, DigitGroups)
{
    EXPECT_EQ(Group(QStringLiteral("1001")), QStringLiteral("壹仟零壹"));
    EXPECT_EQ(Group(QStringLiteral("0101")), QStringLiteral("壹佰零壹"));
    EXPECT_EQ(Group(QStringLiteral("1010")), QStringLiteral("壹仟零壹拾"));
    EXPECT_EQ(Group(QStringLiteral("0010")), QStringLiteral("壹拾"));
    EXPECT_EQ(Group(QStringLiteral("0000")), QString());
    EXPECT_EQ(Group(QStringLiteral("9999")), QStringLiteral("玖仟玖佰玖拾玖"));
    EXPECT_THROW(Group(QStringLiteral("12")), Exception);
    EXPECT_THROW(Group(QStringLiteral("12a4")), Exception);
}

TEST_F(FormattersTest, TheAmountTakesAnOverriddenGroupOperation)
{
    std::unique_ptr<TLoudGroupFmt> loud(TQVForm::Create<TLoudGroupFmt>());
    QString text;
    loud->AmountToChinese(QStringLiteral("12345"), text);
    EXPECT_EQ(text, QStringLiteral("<0001>万<2345>元整"));
}

TEST_F(FormattersTest, HandlersRewriteTheTextOrLeaveIt)
{
    QString v;
    // Amounts of a trillion or more have no group unit: the text stays.
    v = QStringLiteral("1000000000000");
    form->OnChinesePrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("1000000000000"));
    v = QStringLiteral("-5.05");
    form->OnChinesePrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("负伍元零伍分"));

    form->DateType = 1;
    form->DateSeparator = QStringLiteral("-");
    v = QStringLiteral("20240229");
    form->OnDatePrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("2024-02-29"));
    form->DateType = 4;
    form->DateSeparator = QStringLiteral("/");
    v = QStringLiteral("20240305");
    form->OnDatePrint(nullptr, v);
    EXPECT_EQ(v, QStringLiteral("113/03/05"));
    for (const char* bad : {"", "2024030", "20241301", "20230229", "00000101", "2024ab01", "202403051"}) {
        v = QString::fromLatin1(bad);
        form->OnDatePrint(nullptr, v);
        EXPECT_EQ(v, QString()) << bad;
    }

    for (const auto& [in, out] : std::vector<std::pair<const char*, const char*>>{
             {"0.125", "12.5%"}, {"abc", "0%"}, {"", "0%"}, {"1", "100%"}, {"0.07", "7%"}, {"-0.5", "-50%"}}) {
        v = QString::fromLatin1(in);
        form->OnPercentPrint(nullptr, v);
        EXPECT_EQ(v, QString::fromLatin1(out)) << in;
    }

    TQVQRDBText text;
    const QChar e(3);
    v = QStringLiteral("1");
    form->OnDictionaryPrint(&text, v);
    EXPECT_EQ(v, QStringLiteral("1"));  // no dictionary
    text.SetDictText(QStringLiteral("11") + e + QStringLiteral("十一||1") + e + QStringLiteral("一||2") + e + QStringLiteral("二"));
    v = QStringLiteral(" 2 ");
    form->OnDictionaryPrint(&text, v);
    EXPECT_EQ(v, QStringLiteral("二"));
    // The key "1" + code 3 is the tail of "11" + code 3, which comes first.
    v = QStringLiteral("1");
    form->OnDictionaryPrint(&text, v);
    EXPECT_EQ(v, QStringLiteral("十一"));
    v = QStringLiteral("3");
    form->OnDictionaryPrint(&text, v);
    EXPECT_EQ(v, QStringLiteral("3"));

    TQvQRBarcode code;
    for (const auto& [type, out] : std::vector<std::pair<int, const char*>>{
             {bcCode128C, "00"}, {bcCodeEAN128C, "00"}, {bcCodeCodabar, "0"}, {bcCode39, " "}, {bcCodeEAN13, " "}}) {
        code.SetBarType(type);
        QString r = QStringLiteral("?");
        form->OnBarCodeInvalidChar(&code, r);
        EXPECT_EQ(r, QString::fromLatin1(out)) << type;
    }
}

TEST_F(FormattersTest, TheTextTypeChoosesTheHandler)
{
    auto* band = form->findChild<TQRBand*>(QStringLiteral("QRBand1"));
    auto* text = new TQVQRDBText(band);
    text->setObjectName(QStringLiteral("ExTxt1"));
    const std::vector<std::pair<int, QString>> table{
        {1, QStringLiteral("OnDatePrint")},   {2, QStringLiteral("OnPercentPrint")},
        {3, QStringLiteral("OnChinesePrint")}, {4, QStringLiteral("OnAsteriskPrint")},
        {5, QStringLiteral("OnDictionaryPrint")}, {0, QString()},
    };
    for (const auto& [type, handler] : table) {
        text->SetTextType(type);
        form->BindOnPrint(text);
        EXPECT_EQ(BoundLayoutEvent(text, QStringLiteral("OnPrint")), handler) << type;
        EXPECT_EQ(static_cast<bool>(text->OnPrint), !handler.isEmpty()) << type;
    }
    // Another value leaves the binding as it was.
    text->SetTextType(2);
    form->BindOnPrint(text);
    text->SetTextType(9);
    form->BindOnPrint(text);
    EXPECT_EQ(BoundLayoutEvent(text, QStringLiteral("OnPrint")), QStringLiteral("OnPercentPrint"));
    // The asterisk handler is the derived form's override.
    text->SetTextType(4);
    form->BindOnPrint(text);
    QString v = QStringLiteral("123.45");
    text->OnPrint(text, v);
    EXPECT_EQ(v, QStringLiteral("******"));
    // Nothing to bind, or the wrong kind of control.
    form->BindOnPrint(nullptr);
    TQRLabel label;
    EXPECT_THROW(form->BindOnPrint(&label), Exception);
}

TEST_F(FormattersTest, DataConversionBindsConvertPrintTextWhereNoHandlerIs)
{
    auto* band = form->findChild<TQRBand*>(QStringLiteral("QRBand1"));
    auto* codes = new TQRDBIDText(band);
    codes->setObjectName(QStringLiteral("idCodes"));
    codes->SetItems({QStringLiteral("Y=已审核")});
    auto* plainId = new TQRDBIDText(band);
    plainId->setObjectName(QStringLiteral("idPlain"));
    auto* own = form->findChild<TQVQRDBText*>(QStringLiteral("txtTG003"));
    auto* number = form->findChild<TQRDBText*>(QStringLiteral("txtTG002"));
    form->DataConversion = 2;
    form->InitDataSets();
    EXPECT_EQ(BoundLayoutEvent(number, QStringLiteral("OnPrint")), QStringLiteral("ConvertPrintText"));
    EXPECT_EQ(BoundLayoutEvent(plainId, QStringLiteral("OnPrint")), QStringLiteral("ConvertPrintText"));
    EXPECT_EQ(BoundLayoutEvent(codes, QStringLiteral("OnPrint")), QString());
    EXPECT_EQ(BoundLayoutEvent(own, QStringLiteral("OnPrint")), QStringLiteral("OnDatePrint"));
    EXPECT_EQ(form->ClientDataSet1->ProviderName(), QStringLiteral("Provider1"));
    EXPECT_EQ(form->ClientDataSet2->ProviderName(), QStringLiteral("Provider2"));
    EXPECT_EQ(form->dsBarCode->DataSet(), form->ClientDataSet1);
}

TEST_F(FormattersTest, FieldListGivesEveryDataFieldAndHint)
{
    auto* number = form->findChild<TQRDBText*>(QStringLiteral("txtTG002"));
    number->SetHint(QStringLiteral("单号"));
    QString list;
    form->GetFieldList(form.get(), list);
    const QChar e(3);
    EXPECT_EQ(list, e + QStringLiteral("TG002") + e + QStringLiteral("单号") + e + QStringLiteral("TG003") + e);
}
