#include "runtime/SqlCondition.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// The clause AddFieldCondition writes for Value into an empty Where.
QString ClauseOf(const QString& field, const Variant& value, int mode = 1)
{
    QString where, clause;
    AddFieldCondition(where, field, value, mode, clause);
    EXPECT_EQ(where, clause.isEmpty() ? QString() : "Where " + clause);
    return clause;
}

}  // namespace

TEST(FieldCondition, TextRanges)
{
    QString where, clause;
    AddFieldCondition(where, "TG002", Variant::ArrayOf({"A001", "A005"}), 1, clause);
    EXPECT_EQ(clause, " (TG002 Between 'A001' and 'A005') ");
    EXPECT_EQ(where, "Where  (TG002 Between 'A001' and 'A005') ");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({"A001", "A001"})), " (TG002='A001') ");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({"A001", ""})), " (TG002>= 'A001')");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({"", "A005"})), " (TG002<= 'A005' OR TG002 IS NULL )");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({"", ""})), "");
    EXPECT_EQ(ClauseOf("TG002", "A001"), " (TG002>= 'A001')");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({"A001"})), " (TG002>= 'A001')");  // missing "to"
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({Variant::Null(), "Z"})), " (TG002<= 'Z' OR TG002 IS NULL )");
    EXPECT_EQ(ClauseOf("TG002", Variant()), "");
    EXPECT_EQ(ClauseOf("TG002", Variant::Null()), "");
    EXPECT_EQ(ClauseOf("TG002", Variant::ArrayOf({" a ", "a"})), " (TG002 Between ' a ' and 'a') ");  // not trimmed
}

TEST(FieldCondition, QuotesAreDoubled)
{
    EXPECT_EQ(ClauseOf("NAME", "O'Neil"), " (NAME>= 'O''Neil')");
    EXPECT_EQ(ClauseOf("NAME", Variant::ArrayOf({"x' OR '1'='1", ""})), " (NAME>= 'x'' OR ''1''=''1')");
}

TEST(FieldCondition, MarkersAndLists)
{
    EXPECT_EQ(ClauseOf("TG003", Variant::ArrayOf({RangeMarker, "20240101", "20240131"})),
              " (TG003 Between '20240101' and '20240131') ");
    const Variant list = Variant::ArrayOf({ListMarker, "A", "", Variant::Null(), "B", Variant::ArrayOf({"C", "x"}), Variant()});
    QString where = "Where (X=1)", clause;
    AddFieldCondition(where, "TG014", list, 1, clause);
    EXPECT_EQ(clause, "(TG014 IN ('A', 'B', 'C'))");
    EXPECT_EQ(where, "Where (X=1) and (TG014 IN ('A', 'B', 'C'))");
    EXPECT_EQ(ClauseOf("TG014", Variant::ArrayOf({ListMarker, "", Variant::Null()})), "");
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({ListMarker, "1", "O'K"}), 2), "(QTY IN ('1', 'O''K'))");
}

TEST(FieldCondition, NumericModes)
{
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({" 5 ", "9"}), 2), " (QTY Between 5 and 9) ");
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({"5", " 5"}), 3), " (QTY=5) ");
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({"-1.5", ""}), 2), " (QTY>=-1.5)");
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({"", "1e3"}), 2), " (QTY<=1e3 OR QTY IS NULL )");
    EXPECT_EQ(ClauseOf("QTY", 12.5, 2), " (QTY>=12.5)");
    EXPECT_EQ(ClauseOf("QTY", Variant::ArrayOf({"  ", " "}), 2), "");
}

TEST(FieldCondition, NonNumbersNeverReachNumericSql)
{
    QString where = "Where (A=1)", clause = "old";
    for (const Variant& value : {Variant("1; DROP TABLE PURTG"), Variant::ArrayOf({"1", "9 OR 1=1"}), Variant::ArrayOf({"abc", ""})}) {
        try {
            AddFieldCondition(where, "QTY", value, 2, clause);
            ADD_FAILURE() << "no error for " << value.ToString().toStdString();
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains("QTY")) << e.Message().toStdString();
        }
        EXPECT_EQ(where, "Where (A=1)");
    }
}

TEST(FieldCondition, OtherModesProduceNothing)
{
    QString where = "Where (A=1)", clause = "old";
    AddFieldCondition(where, "TG002", Variant::ArrayOf({"A", "B"}), 4, clause);
    EXPECT_EQ(clause, "");
    EXPECT_EQ(where, "Where (A=1)");
    AddFieldCondition(where, "TG002", Variant::ArrayOf({"A", "B"}), 0, clause);
    EXPECT_EQ(where, "Where (A=1)");
    // A list is written as literals whatever the mode.
    AddFieldCondition(where, "TG014", Variant::ArrayOf({ListMarker, "A", "B"}), 4, clause);
    EXPECT_EQ(clause, "(TG014 IN ('A', 'B'))");
    EXPECT_EQ(where, "Where (A=1) and (TG014 IN ('A', 'B'))");
}

TEST(OuterJoinConditions, AliasesOfEveryReference)
{
    const Variant rules = Variant::ArrayOf({1, "PURTH PURTH.TH004 like 'A%'"});
    QString conditions;
    BuildOuterJoinConditions(rules, "", " $$PURTG AS PURTG LEFT JOIN $$PURTH AS P2 ON P2.TH001=PURTG.TG001", conditions, "");
    EXPECT_EQ(conditions, "(( P2.TH004 like 'A%' ) or (P2.TH001 is null))");
    BuildOuterJoinConditions(rules, "", "$$PURTG AS PURTG LEFT JOIN $$PURTH AS PURTH ON 1=1", conditions, "");
    EXPECT_EQ(conditions, "(( PURTH.TH004 like 'A%' ) or (PURTH.TH001 is null))");
    BuildOuterJoinConditions(rules, "", "$$PURTH AS A1\r\nLEFT JOIN $$PURTH B2 ON A1.TH001=B2.TH001", conditions, "");
    EXPECT_EQ(conditions, "(( A1.TH004 like 'A%' ) or (A1.TH001 is null)) and (( B2.TH004 like 'A%' ) or (B2.TH001 is null))");
    BuildOuterJoinConditions(rules, "", "$$PURTH AS A1 LEFT JOIN $$PURTH B2 ON 1=1", conditions, "X;B2");
    EXPECT_EQ(conditions, "(( A1.TH004 like 'A%' ) or (A1.TH001 is null))");
}

TEST(OuterJoinConditions, NoMatchingTableAndDatabasePrefix)
{
    QString conditions = "old";
    const Variant rules = Variant::ArrayOf({2, "INVMB INVMB.MB001='1'", "PURTH PURTH.TH004='2'"});
    BuildOuterJoinConditions(rules, "", "$$PURTG", conditions, "");
    EXPECT_EQ(conditions, "");
    BuildOuterJoinConditions(rules, "COMP", "COMP..INVMB, COMP..PURTG G WHERE 1=1", conditions, "");
    EXPECT_EQ(conditions, "(( INVMB.MB001='1' ) or (INVMB.MB001 is null))");  // "," is no alias
    BuildOuterJoinConditions(rules, "COMP..", "COMP..INVMB M WHERE 1=1", conditions, "");
    EXPECT_EQ(conditions, "(( M.MB001='1' ) or (M.MB001 is null))");
    BuildOuterJoinConditions(Variant::ArrayOf({5, "INVMB INVMB.MB001='1'"}), "", "$$INVMB", conditions, "");
    EXPECT_EQ(conditions, "(( INVMB.MB001='1' ) or (INVMB.MB001 is null))");  // the count is bounded by the array
    BuildOuterJoinConditions(Variant("x"), "", "$$INVMB", conditions, "");
    EXPECT_EQ(conditions, "");
}

TEST(OuterJoinConditions, FindTableAlias)
{
    EXPECT_EQ(FindTableAlias("PURTH", " AS P2 ON x"), "P2");
    EXPECT_EQ(FindTableAlias("PURTH", " as p2"), "p2");
    EXPECT_EQ(FindTableAlias("PURTH", " AS"), "AS");  // "AS" with nothing after it is a word like any other
    EXPECT_EQ(FindTableAlias("PURTH", " LEFT JOIN"), "PURTH");
    EXPECT_EQ(FindTableAlias("PURTH", " WITH (NOLOCK)"), "PURTH");
    EXPECT_EQ(FindTableAlias("PURTH", ""), "PURTH");
    EXPECT_EQ(FindTableAlias("PURTH", " p2 WHERE a=1"), "P2");
    EXPECT_EQ(FindTableAlias("PURTH", " p2 WITH(NOLOCK)"), "P2");
    EXPECT_EQ(FindTableAlias("PURTH", " p2"), "P2");
    EXPECT_EQ(FindTableAlias("PURTH", " p2, $$INVMB"), "PURTH");
    EXPECT_EQ(FindTableAlias("PURTH", ", $$INVMB M"), "PURTH");
}
