#include "kelm24/DataPacket.h"

#include <gtest/gtest.h>

using namespace kelm24;

TEST(DataPacket, RoundTripKeepsTypesAndNulls)
{
    TDataPacket p;
    p.Fields = {{"TG001", TFieldType::String, 4}, {"TH007", TFieldType::Float, 0}, {"TG003", TFieldType::Date, 0}};
    p.Rows = {{"3401", 12.5, Variant::Null()}, {"3402", Variant::Null(), "20261208"}};
    TDataPacket back = TDataPacket::FromVariant(p.ToVariant());
    ASSERT_EQ(back.Fields.size(), 3);
    EXPECT_EQ(back.Fields[1].Type, TFieldType::Float);
    EXPECT_EQ(back.FieldIndex("tg003"), 2);
    EXPECT_EQ(back.FieldIndex("TG999"), -1);
    ASSERT_EQ(back.Rows.size(), 2u);
    EXPECT_TRUE(back.Rows[0][2].IsNull());
    EXPECT_TRUE(back.Rows[1][1].IsNull());
    EXPECT_DOUBLE_EQ(back.Rows[0][1].ToDouble(), 12.5);
}

TEST(DataPacket, MalformedPacketsRaise)
{
    EXPECT_THROW(TDataPacket::FromVariant(Variant("rows")), EVariantError);
    EXPECT_THROW(TDataPacket::FromVariant(Variant::ArrayOf({1})), EVariantError);
    Variant badType = Variant::ArrayOf({Variant::ArrayOf({Variant::ArrayOf({"A", 99, 0})}), Variant::CreateArray(0, -1)});
    EXPECT_THROW(TDataPacket::FromVariant(badType), EVariantError);
    Variant shortRow = Variant::ArrayOf(
        {Variant::ArrayOf({Variant::ArrayOf({"A", 0, 0}), Variant::ArrayOf({"B", 0, 0})}), Variant::ArrayOf({Variant::ArrayOf({"x"})})});
    EXPECT_THROW(TDataPacket::FromVariant(shortRow), EVariantError);
}
