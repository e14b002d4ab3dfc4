#include "format/AmountWords.h"

#include <gtest/gtest.h>

using kelm24::AmountToEnglish;

namespace {
QString Usd(const char* amount) { return AmountToEnglish(QString::fromLatin1(amount), QStringLiteral("USD")); }
}  // namespace

TEST(AmountWords, ChequePhrasesOfWholeAmountsAndCents)
{
    EXPECT_EQ(Usd("1234.56"), QStringLiteral("ONE THOUSAND TWO HUNDRED THIRTY FOUR USD AND FIFTY-SIX CENTS ONLY"));
    EXPECT_EQ(Usd("100"), QStringLiteral("ONE HUNDRED USD ONLY"));
    EXPECT_EQ(Usd("1000010.05"), QStringLiteral("ONE MILLION TEN USD AND FIVE CENTS ONLY"));
    EXPECT_EQ(Usd("0.2"), QStringLiteral("ZERO USD AND TWENTY CENTS ONLY"));
    EXPECT_EQ(Usd("-15"), QStringLiteral("MINUS FIFTEEN USD ONLY"));
    // Zero groups go with their scale word; "AND" only before the cents.
    EXPECT_EQ(Usd("1000000"), QStringLiteral("ONE MILLION USD ONLY"));
    EXPECT_EQ(Usd("2000300400"), QStringLiteral("TWO BILLION THREE HUNDRED THOUSAND FOUR HUNDRED USD ONLY"));
    EXPECT_EQ(Usd("121.21"), QStringLiteral("ONE HUNDRED TWENTY ONE USD AND TWENTY-ONE CENTS ONLY"));
    EXPECT_EQ(Usd("17.10"), QStringLiteral("SEVENTEEN USD AND TEN CENTS ONLY"));
    EXPECT_EQ(Usd("999999999999999"),
              QStringLiteral("NINE HUNDRED NINETY NINE TRILLION NINE HUNDRED NINETY NINE BILLION NINE HUNDRED NINETY "
                             "NINE MILLION NINE HUNDRED NINETY NINE THOUSAND NINE HUNDRED NINETY NINE USD ONLY"));
}

TEST(AmountWords, SignRoundingCurrencyAndBadInput)
{
    // The sign comes before rounding; rounding carries into the whole amount.
    EXPECT_EQ(Usd("-0.001"), QStringLiteral("MINUS ZERO USD ONLY"));
    EXPECT_EQ(Usd("0.999"), QStringLiteral("ONE USD ONLY"));
    EXPECT_EQ(Usd(" 12.5 "), QStringLiteral("TWELVE USD AND FIFTY CENTS ONLY"));
    // An empty currency keeps its blank.
    EXPECT_EQ(AmountToEnglish(QStringLiteral("3"), QString()), QStringLiteral("THREE  ONLY"));
    EXPECT_TRUE(Usd("").isEmpty());
    EXPECT_TRUE(Usd("12,5").isEmpty());
    EXPECT_TRUE(Usd("abc").isEmpty());
    EXPECT_TRUE(Usd("nan").isEmpty());
    EXPECT_TRUE(Usd("1e15").isEmpty());
}
