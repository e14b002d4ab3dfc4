#include "TestInstall.h"
#include "runtime/AlertLog.h"
#include "runtime/TextUtils.h"

using namespace kelm24;

TEST(TextFields, GetFieldCountsFromOne)
{
    EXPECT_EQ(GetField("a,b,c", ",", 2), "b");
    EXPECT_EQ(GetField("a,b,c", ",", 3), "c");
    EXPECT_EQ(GetField("a,b,c", ",", 4), "");
    EXPECT_EQ(GetField("a,b,", ",", 3), "");
    EXPECT_EQ(GetField("abc", ",", 1), "abc");
    EXPECT_EQ(GetField("abc", ",", 2), "");
    EXPECT_EQ(GetField("", ",", 1), "");
    EXPECT_EQ(GetField("a||b||c", "||", 2), "b");
    EXPECT_EQ(GetField(QStringLiteral("进货;单据"), ";", 2), QStringLiteral("单据"));
    EXPECT_EQ(GetField("a,b", ",", 0), "");
}

TEST(TextFields, FieldCountEndsForEverySeparator)
{
    EXPECT_EQ(FieldCount("a,b,c", ","), 3);
    EXPECT_EQ(FieldCount("", ","), 0);
    EXPECT_EQ(FieldCount("abc", ","), 1);
    EXPECT_EQ(FieldCount("||||", "||"), 4);  // three overlapping occurrences
    EXPECT_EQ(FieldCount("a#b#c", "#"), 3);
    EXPECT_EQ(FieldCount("x#|y#|z", "#|"), 3);  // a separator starting with "#"
    EXPECT_EQ(FieldCount("##|", "#|"), 2);
    EXPECT_EQ(FieldCount("abc", ""), 1);
}

TEST(TextFields, SplitFirst)
{
    QString s = "TG001 = 'A'", head;
    SplitFirst(s, " ", head);
    EXPECT_EQ(head, "TG001");
    EXPECT_EQ(s, "= 'A'");
    s = "alone";
    SplitFirst(s, " ", head);
    EXPECT_EQ(head, "alone");
    EXPECT_EQ(s, "");
}

TEST(TextReplace, ReplaceAllEndsForEveryInput)
{
    EXPECT_EQ(ReplaceAll("PURTH.TH004", "PURTH.", "purth.", false), "PURTH.TH004");  // equal ignoring case
    EXPECT_EQ(ReplaceAll("PURTH.TH004 and PURTH.TH005", "PURTH.", "P2.", false), "P2.TH004 and P2.TH005");
    EXPECT_EQ(ReplaceAll("a    b", "  ", " ", false), "a b");  // shortening repeats until none is left
    EXPECT_EQ(ReplaceAll("aab", "ab", "b", false), "b");
    EXPECT_EQ(ReplaceAll("x.y", ".", "..", false), "x..y");  // New holds Old: once per occurrence
    EXPECT_EQ(ReplaceAll("PURTH.A PURTH.B", "PURTH.", "XPURTH.", false), "XPURTH.A XPURTH.B");
    EXPECT_EQ(ReplaceAll("ab", "ab", "bbaa", false), "bbaa");
    EXPECT_EQ(ReplaceAll("  a-b  ", "-", "+", true), "a+b");
    EXPECT_EQ(ReplaceAll("abc", "", "x", false), "abc");
}

TEST(VariantHelpers, BlankChoiceAddressAndFlags)
{
    EXPECT_TRUE(VarIsBlank(Variant()));
    EXPECT_TRUE(VarIsBlank(Variant::Null()));
    EXPECT_FALSE(VarIsBlank(Variant("")));
    EXPECT_EQ(ChooseVar(true, 1, "b").ToInt(), 1);
    EXPECT_EQ(ChooseVar(false, 1, "b").ToString(), "b");
    EXPECT_TRUE(IsLocalAddress("127.0.0.1"));
    EXPECT_FALSE(IsLocalAddress("127.0.0.1 "));
    EXPECT_FALSE(IsLocalAddress("localhost"));

    Variant table = Variant::CreateArray(0, 1, 0, 2);
    table.At(0, 0) = "Alpha";
    table.At(1, 0) = false;
    table.At(0, 1) = "beta";
    table.At(1, 1) = "True";
    table.At(0, 2) = "Gamma";
    table.At(1, 2) = "maybe";
    EXPECT_FALSE(LookupFlag(table, "ALPHA"));
    EXPECT_TRUE(LookupFlag(table, "Beta"));
    EXPECT_TRUE(LookupFlag(table, "absent"));
    EXPECT_FALSE(LookupFlag(table, "gamma"));  // not convertible
    EXPECT_FALSE(LookupFlag(Variant("x"), "x"));
}

TEST(VariantHelpers, PackListAndButtonCaptions)
{
    const QString packed = PackList("K", Variant::ArrayOf({2, "x", "y"}));
    EXPECT_EQ(packed, QStringLiteral("K\x03" "2\x03x\x03y\x03"));
    EXPECT_EQ(ButtonCaption("OK"), QStringLiteral("确定"));
    EXPECT_EQ(ButtonCaption("NoToAll"), QStringLiteral("全否(&o)"));
    EXPECT_EQ(ButtonCaption("ok"), "ok");
    EXPECT_EQ(ButtonCaption("Close"), "Close");
}

TEST(CodePages, DecodingAndRewidening)
{
    test::TestInstall install;
    const QString text = QStringLiteral("进货单");
    EXPECT_EQ(AnsiToWideCP(EncodeCodePage(text, 936), 936), text);
    const QString big5 = QStringLiteral("進貨單");
    EXPECT_EQ(AnsiToWideCP(EncodeCodePage(big5, 950), 950), big5);
    EXPECT_EQ(AnsiToWideCP("plain", 950), "plain");
    bool ok = true;
    EncodeCodePage(QStringLiteral("麪"), 950, &ok);  // not a Big5 character
    EXPECT_FALSE(ok);

    // Under a GB system, text that was widened as GB but holds Big5 bytes.
    qputenv("LC_ALL", "zh_CN.GBK");
    const QString misread = DecodeCodePage(EncodeCodePage(QStringLiteral("數量"), 950), 936);
    EXPECT_EQ(ConvertVarToWide(Variant(misread), 950).ToString(), QStringLiteral("數量"));
    Variant arr = Variant::ArrayOf({Variant(misread), 5, Variant::ArrayOf({Variant(misread)})});
    const Variant converted = VarToWideCP(arr, 950);
    EXPECT_EQ(converted[0].ToString(), QStringLiteral("數量"));
    EXPECT_EQ(converted[1].ToInt(), 5);
    EXPECT_EQ(converted[2][0].ToString(), QStringLiteral("數量"));
    EXPECT_TRUE(ConvertVarToWide(Variant::Null(), 950).IsNull());
}

TEST(TextFormat, FormatTextLikeTheSystemFormat)
{
    bool ok = false;
    EXPECT_EQ(FormatText("%s|%d|%.3d|%5s|%-4s|%%", {"a", 7, 5, "xy", "z"}, &ok), "a|7|005|   xy|z   |%");
    EXPECT_TRUE(ok);
    EXPECT_EQ(FormatText("%.2f %n %x", {2.675, 1234567.5, 255}), "2.67 1,234,567.50 FF");  // "%.2f" of the binary value
    EXPECT_EQ(FormatText("%1:s %0:s %s", {"a", "b"}), "b a b");
    EXPECT_EQ(FormatText(QStringLiteral("转出文件为：%s"), {QStringLiteral("/tmp/报表")}), QStringLiteral("转出文件为：/tmp/报表"));
    EXPECT_EQ(FormatText("%d files", {}, &ok), "%d files");
    EXPECT_FALSE(ok);
    EXPECT_EQ(FormatText("%d", {"text"}, &ok), "%d");
    EXPECT_FALSE(ok);
    EXPECT_EQ(FormatText("%d", {1.5}, &ok), "%d");
    EXPECT_FALSE(ok);
    EXPECT_EQ(FormatText("100%", {}, &ok), "100%");
    EXPECT_FALSE(ok);
    // A pattern from a language package asking for a width or precision of
    // billions fails like any bad pattern instead of exhausting memory.
    EXPECT_EQ(FormatText("%2000000000s", {"a"}, &ok), "%2000000000s");
    EXPECT_FALSE(ok);
    EXPECT_EQ(FormatText("%.2000000000d", {1}, &ok), "%.2000000000d");
    EXPECT_FALSE(ok);
    EXPECT_EQ(FormatText("%9999.9999s", {"a"}, &ok).size(), 9999);
    EXPECT_TRUE(ok);
}
