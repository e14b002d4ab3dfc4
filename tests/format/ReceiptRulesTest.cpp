// Receipt rules: statements, conversion rule, texts, and the host counter's
// functions answered by the reference host's counter over the sample company.
#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "format/ReceiptRules.h"
#include "kelm24/HostObjects.h"
#include "host/Counter.h"
#include "host/HostData.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>

using namespace kelm24;

TEST(ReceiptRules, StatementsQuoteTheDocumentValues)
{
    EXPECT_EQ(ReceiptCondition(QStringLiteral("3401"), QStringLiteral("20240101001")),
              QStringLiteral("TG001='3401'  and TG002='20240101001' "));
    EXPECT_EQ(ReceiptCondition(QStringLiteral("3401"), QStringLiteral("20231228'010")),
              QStringLiteral("TG001='3401'  and TG002='20231228''010' "));
    EXPECT_EQ(PricedQuantitySQL(QStringLiteral("3401"), QStringLiteral("1' OR '1'='1")),
              QStringLiteral(" SELECT SUM(TH016) as TH016B FROM $$PURTH PURTH  WHERE TH001='3401' AND TH002='1'' OR ''1''=''1' "));
}

TEST(ReceiptRules, UnitConversionOnlyWhenSetAndUnitsDiffer)
{
    EXPECT_TRUE(NeedsUnitConversion(QStringLiteral("1"), QStringLiteral("盒"), QStringLiteral("PCS")));
    EXPECT_FALSE(NeedsUnitConversion(QStringLiteral("1"), QStringLiteral("PCS"), QStringLiteral("PCS")));
    EXPECT_FALSE(NeedsUnitConversion(QStringLiteral("2"), QStringLiteral("盒"), QStringLiteral("PCS")));
    EXPECT_FALSE(NeedsUnitConversion(QString(), QStringLiteral("盒"), QStringLiteral("PCS")));
}

TEST(ReceiptRules, RatesQuantitiesAndMasks)
{
    EXPECT_EQ(RateText(OverReceiptRate(110, 100)), QStringLiteral("10"));
    EXPECT_EQ(RateText(OverReceiptRate(100, 100)), QStringLiteral("0"));
    EXPECT_EQ(RateText(OverReceiptRate(50, 0)), QStringLiteral("0"));
    EXPECT_EQ(RateText(OverReceiptRate(100, 30)), QStringLiteral("233.33"));
    EXPECT_EQ(QuantityText(1.1234567), QStringLiteral("1.123457"));
    EXPECT_EQ(QuantityText(0), QStringLiteral("0"));
    EXPECT_EQ(ShortestText(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(AmountMask(2), QStringLiteral("#,##0.##"));
    EXPECT_EQ(AmountMask(0), QStringLiteral("#,##0."));
    EXPECT_EQ(AmountMask(20), QStringLiteral("#,##0.#############"));
}

TEST(ReceiptRules, WithoutACounterTheRunEndsWithAMessageSayingWhatIsMissing)
{
    TReceiptCounter none(Variant(), QStringLiteral("DEMO"), QStringLiteral("DEMO"));
    EXPECT_TRUE(none.Call(counterfn::OnHold, Variant()).IsEmpty());
    EXPECT_EQ(none.UnitConvertOrZero(QStringLiteral("10-0001"), 5, QStringLiteral("盒"), QStringLiteral("PCS")), 0);
    EXPECT_TRUE(none.OnHold(QStringLiteral("10-0001"), QStringLiteral("3301"), QStringLiteral("1"), QStringLiteral("0001"),
                            QStringLiteral("20240101")).IsEmpty());
    try {
        none.UnitConvert(QStringLiteral("10-0001"), 5, QStringLiteral("盒"), QStringLiteral("PCS"));
        FAIL() << "a conversion without a counter must end the run";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("Counter")));
        EXPECT_TRUE(e.Message().contains(QStringLiteral("UNITCONVERT")));
    }
}

TEST(ReceiptRules, TheHostCounterAnswersTheLayoutFunctions)
{
    test::TSampleInstall install(30);
    Variant server(std::make_shared<TAppServer>(install.Settings()));
    TAppServerObject(server).Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                     QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    auto data = std::make_shared<THostData>(server);
    data->User = TSampleCompany::LeaderUser;
    data->Company = TSampleCompany::CompanyCode;
    data->Database = QStringLiteral("DEMO");
    data->ServerIniFile = install.IniFile();
    Variant counter(std::make_shared<TCounter>(data));
    TReceiptCounter c(counter, TSampleCompany::CompanyCode, QStringLiteral("DEMO"));
    // Screws come in boxes of 100.
    EXPECT_DOUBLE_EQ(c.UnitConvert(QStringLiteral("10-0001"), 2, QStringLiteral("盒"), QStringLiteral("PCS")), 200);
    EXPECT_DOUBLE_EQ(c.UnitConvertOrZero(QStringLiteral("10-0001"), 300, QStringLiteral("PCS"), QStringLiteral("盒")), 3);
    EXPECT_TRUE(c.ConnectString().startsWith(QStringLiteral("Driver=QSQLITE;Database=")));
    Variant held = c.OnHold(QStringLiteral("10-0001"), QStringLiteral("3301"), QStringLiteral("none"), QStringLiteral("0001"),
                            QStringLiteral("20240101"));
    EXPECT_DOUBLE_EQ(held.ToDouble(), 0);
}
