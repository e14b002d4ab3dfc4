#include "kelm24/Variant.h"

#include <gtest/gtest.h>

using namespace kelm24;

TEST(VariantConversion, EmptyAndNullAreDistinct)
{
    Variant empty;
    Variant null = Variant::Null();
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FALSE(empty.IsNull());
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null.IsEmpty());
    EXPECT_EQ(empty.ToString(), QString());
    EXPECT_EQ(empty.ToInt(), 0);
    EXPECT_FALSE(empty.ToBool());
    EXPECT_NE(empty, null);
    EXPECT_EQ(null, Variant::Null());
    try {
        null.ToString();
        FAIL() << "Null became text";
    } catch (const EVariantError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Could not convert variant of type (Null) into type (String)"));
    }
    EXPECT_THROW(null.ToInt(), EVariantError);
    EXPECT_THROW(null.ToDouble(), EVariantError);
}

TEST(VariantConversion, TextToNumbers)
{
    EXPECT_EQ(Variant("12").ToInt(), 12);
    EXPECT_EQ(Variant(" 7 ").ToInt(), 7);
    EXPECT_EQ(Variant("2.5").ToInt(), 2);  // half to even
    EXPECT_EQ(Variant("3.5").ToInt(), 4);
    EXPECT_DOUBLE_EQ(Variant("1234.56").ToDouble(), 1234.56);
    EXPECT_THROW(Variant("abc").ToInt(), EVariantError);
    EXPECT_THROW(Variant("").ToInt(), EVariantError);
    EXPECT_THROW(Variant("12abc").ToDouble(), EVariantError);
    EXPECT_THROW(Variant("99999999999").ToInt(), EVariantError);
    EXPECT_EQ(Variant("99999999999").ToInt64(), 99999999999LL);
}

TEST(VariantConversion, BooleansAreSixteenBitTrue)
{
    EXPECT_EQ(Variant(true).ToInt(), -1);
    EXPECT_EQ(Variant(false).ToInt(), 0);
    EXPECT_EQ(Variant(true).ToString(), QStringLiteral("True"));
    EXPECT_TRUE(Variant("TRUE").ToBool());
    EXPECT_FALSE(Variant("false").ToBool());
    EXPECT_TRUE(Variant(5).ToBool());
    EXPECT_TRUE(Variant("1").ToBool());
    EXPECT_THROW(Variant("maybe").ToBool(), EVariantError);
}

TEST(VariantConversion, NumbersAndDatesToText)
{
    EXPECT_EQ(Variant(1.5).ToString(), QStringLiteral("1.5"));
    EXPECT_EQ(Variant(100.0).ToString(), QStringLiteral("100"));
    EXPECT_EQ(Variant(int64_t(-42)).ToString(), QStringLiteral("-42"));
    Variant day = Variant::FromDate(Variant("2026-12-08").ToDate());
    EXPECT_EQ(day.Type(), VarType::Date);
    EXPECT_EQ(day.ToString(), QStringLiteral("2026-12-08"));
    EXPECT_DOUBLE_EQ(Variant("1899-12-31").ToDate(), 1.0);
    EXPECT_DOUBLE_EQ(Variant("20261208").ToDate(), day.ToDate());
    EXPECT_THROW(Variant("2026-13-40").ToDate(), EVariantError);
    // A time a hair short of midnight is the next day, never a broken time.
    const double nextDay = Variant("2026-12-09").ToDate();
    EXPECT_EQ(Variant::FromDate(nextDay - 1e-10).ToString(), QStringLiteral("2026-12-09"));
    EXPECT_EQ(Variant::FromDate(nextDay - 0.5).ToString(), QStringLiteral("2026-12-08 12:00:00"));
}

TEST(VariantArrays, BoundsOfOneAndTwoDimensions)
{
    Variant a = Variant::CreateArray(1, 3);
    EXPECT_EQ(a.DimCount(), 1);
    EXPECT_EQ(a.LowBound(), 1);
    EXPECT_EQ(a.HighBound(), 3);
    a[1] = "first";
    a[3] = 3;
    EXPECT_EQ(a[1].ToString(), QStringLiteral("first"));
    EXPECT_TRUE(a[2].IsEmpty());
    EXPECT_THROW(a[0], EVariantError);
    EXPECT_THROW(a[4], EVariantError);

    Variant grid = Variant::CreateArray(0, 1, 0, 2);
    EXPECT_EQ(grid.DimCount(), 2);
    EXPECT_EQ(grid.Count(1), 2);
    EXPECT_EQ(grid.Count(2), 3);
    grid.At(1, 2) = "corner";
    EXPECT_EQ(grid.At(1, 2).ToString(), QStringLiteral("corner"));
    EXPECT_THROW(grid.At(2, 0), EVariantError);
    EXPECT_THROW(grid.At(0), EVariantError);  // one index on two dimensions
    EXPECT_THROW(grid.HighBound(3), EVariantError);

    Variant empty = Variant::CreateArray(0, -1);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_THROW(Variant::CreateArray(3, 0), EVariantError);
}

TEST(VariantArrays, CopiesAreIndependentAndNest)
{
    Variant a = Variant::ArrayOf({1, "two", Variant::ArrayOf({3, 4})});
    Variant b = a;
    b[0] = 100;
    b[2][1] = 40;
    EXPECT_EQ(a[0].ToInt(), 1);
    EXPECT_EQ(a[2][1].ToInt(), 4);
    EXPECT_EQ(b[2][1].ToInt(), 40);
    EXPECT_NE(a, b);
    b[0] = 1;
    b[2][1] = 4;
    EXPECT_EQ(a, b);
}

TEST(VariantArrays, RedimKeepsElements)
{
    Variant a = Variant::ArrayOf({"a", "b"});
    a.Redim(3);
    EXPECT_EQ(a.HighBound(), 3);
    EXPECT_EQ(a[1].ToString(), QStringLiteral("b"));
    EXPECT_TRUE(a[3].IsEmpty());
    Variant grid = Variant::CreateArray(0, 1, 0, 0);
    grid.At(0, 0) = "name";
    grid.At(1, 0) = "value";
    grid.Redim(2);
    EXPECT_EQ(grid.At(0, 0).ToString(), QStringLiteral("name"));
    EXPECT_EQ(grid.At(1, 0).ToString(), QStringLiteral("value"));
    EXPECT_TRUE(grid.At(1, 2).IsEmpty());
    EXPECT_THROW(Variant(3).Redim(1), EVariantError);
}

TEST(VariantCompare, NumbersTextsAndEmpty)
{
    EXPECT_EQ(Variant(1), Variant(1.0));
    EXPECT_EQ(Variant("12"), Variant(12));
    EXPECT_EQ(Variant(true), Variant(-1));
    EXPECT_NE(Variant("abc"), Variant("ABC"));
    EXPECT_TRUE(Variant("abc").SameText(QStringLiteral("ABC")));
    EXPECT_FALSE(Variant::Null().SameText(QString()));
    EXPECT_EQ(Variant(), Variant(""));
    EXPECT_EQ(Variant(), Variant(0));
    EXPECT_NE(Variant(), Variant("x"));
    EXPECT_NE(Variant("x"), Variant(0));
    // Text against a boolean compares as booleans, whatever the letter case.
    EXPECT_EQ(Variant("true"), Variant(true));
    EXPECT_EQ(Variant(false), Variant("FALSE"));
    EXPECT_EQ(Variant("-1"), Variant(true));
    EXPECT_NE(Variant("yes"), Variant(true));
    EXPECT_NE(Variant("false"), Variant(true));
}
