#include "options/ReportSQL.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// Permission data as the server answers it: [0] permission condition,
// [4] "Y" when every FROM is filtered, [5] the rules [count, "TABLE condition", ...].
Variant Power(const QString& permission, const QString& filterFlag = QStringLiteral("N"), const Variant& rules = Variant())
{
    return Variant::ArrayOf({permission, QStringLiteral("User,,,YYYYYYYY,,"), QString(), QString(), filterFlag,
                             rules.IsEmpty() ? Variant::ArrayOf({0}) : rules});
}

Variant WarehouseRule()
{
    return Variant::ArrayOf({1, QStringLiteral("PURTH PURTH.TH009 IN ('A01','A02')")});
}

const QString WarehouseCondition = QStringLiteral("(( PURTH.TH009 IN ('A01','A02') ) or (PURTH.TH001 is null))");

}  // namespace

TEST(ReportSQLParts, SettersPutTheKeywordInFrontTrimAndEndWithOneBlank)
{
    TReportSQL sql;
    sql.SetSelectPart(QStringLiteral("  TG001,TG002  "));
    EXPECT_EQ(sql.SelectPart(), QStringLiteral("Select TG001,TG002 "));
    sql.SetSelectPart(QStringLiteral("select TG001 "));
    EXPECT_EQ(sql.SelectPart(), QStringLiteral("select TG001 ")) << "the keyword is found in any case";
    sql.SetFromPart(QStringLiteral(" FROM $$PURTG AS PURTG"));
    EXPECT_EQ(sql.FromPart(), QStringLiteral("FROM $$PURTG AS PURTG "));
    sql.SetFromPart(QStringLiteral("$$PURTG"));
    EXPECT_EQ(sql.FromPart(), QStringLiteral(" From $$PURTG "));
    sql.SetWherePart(QStringLiteral(" WHERE 1=1 "));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("WHERE 1=1 "));
    sql.SetWherePart(QStringLiteral("(TG001='3401')"));
    EXPECT_EQ(sql.WherePart(), QStringLiteral(" Where (TG001='3401') "));
    // "WHEREVER" is no keyword: the keyword needs its blank.
    sql.SetWherePart(QStringLiteral("WHEREVER=1"));
    EXPECT_EQ(sql.WherePart(), QStringLiteral(" Where WHEREVER=1 "));
    sql.SetGroupByPart(QStringLiteral("TG001"));
    EXPECT_EQ(sql.GroupByPart(), QStringLiteral(" Group By TG001 "));
    sql.SetGroupByPart(QStringLiteral("group by TG001"));
    EXPECT_EQ(sql.GroupByPart(), QStringLiteral("group by TG001 "));
    sql.SetOrderByPart(QStringLiteral("TG001"));
    EXPECT_EQ(sql.OrderByPart(), QStringLiteral(" Order by TG001 "));
    sql.SetOrderByPart(QStringLiteral("ORDER BY TG001,TG002 "));
    EXPECT_EQ(sql.OrderByPart(), QStringLiteral("ORDER BY TG001,TG002 "));
    sql.SetJoinPart(QStringLiteral("  LEFT JOIN $$PURTH AS PURTH ON 1=1  "));
    EXPECT_EQ(sql.JoinPart(), QStringLiteral("LEFT JOIN $$PURTH AS PURTH ON 1=1 "));

    // Empty texts become the bare keyword; the join part a single blank.
    sql.SetGroupByPart(QString());
    EXPECT_EQ(sql.GroupByPart().trimmed(), QStringLiteral("Group By"));
    EXPECT_TRUE(sql.GroupByPart().endsWith(QLatin1Char(' ')));
    sql.SetWherePart(QStringLiteral("   "));
    EXPECT_EQ(sql.WherePart().trimmed(), QStringLiteral("Where"));
    sql.SetJoinPart(QString());
    EXPECT_EQ(sql.JoinPart(), QStringLiteral(" "));
}

TEST(ReportSQLParts, AppendConditionNeedsFieldAndCondition)
{
    QString where;
    TReportSQL::AppendCondition(where, QStringLiteral("TG001"), QString());
    TReportSQL::AppendCondition(where, QString(), QStringLiteral("='3401'"));
    EXPECT_EQ(where, QString());
    TReportSQL::AppendCondition(where, QStringLiteral("TG001"), QStringLiteral("='3401'"));
    EXPECT_EQ(where, QStringLiteral("(TG001='3401')"));
    TReportSQL::AppendCondition(where, QStringLiteral("TG013"), QStringLiteral("='Y' "));
    EXPECT_EQ(where, QStringLiteral("(TG001='3401') and (TG013='Y' )"));
    where = QStringLiteral(" WHERE 1=1 ");
    TReportSQL::AppendCondition(where, QStringLiteral("TG012"), QStringLiteral("=0"));
    EXPECT_EQ(where, QStringLiteral(" WHERE 1=1  and (TG012=0)"));
}

TEST(ReportSQLCompose, PermissionMergeBracketsTheWherePart)
{
    const QString none, purtg = QStringLiteral("PURTG");
    const QString permission = QStringLiteral("(PURTG.TG004='01')");
    TReportSQL sql;

    // An empty where part: the permission alone, with the keyword.
    sql.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("Where (PURTG.TG004='01') "));
    // The same when the where part holds only its keyword.
    sql.SetWherePart(QString());
    sql.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("Where (PURTG.TG004='01') "));

    // Conditions joined by OR stay together: the permission cannot be stepped around.
    sql.SetWherePart(QStringLiteral(" WHERE TG001='3401' OR TG001='3402' "));
    sql.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("WHERE (TG001='3401' OR TG001='3402') and ((PURTG.TG004='01')) "));

    // Without permission the where part is only bracketed.
    sql.SetWherePart(QStringLiteral("where 1=1 and (TG001='3401')"));
    sql.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Power(QString()));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("where (1=1 and (TG001='3401')) "));
    // A where part without its keyword is bracketed whole and gets the keyword.
    TReportSQL bare;
    bare.SetJoinPart(QString());
    bare.SetWherePart(QString());
    bare.ComposeSQL(2, QStringLiteral("TG045"), QStringLiteral("=0"), purtg, Power(QString()));
    EXPECT_EQ(bare.WherePart(), QStringLiteral("Where ((TG045=0)) "));

    // Nothing at all: no where part, not a bare keyword that spoils the statement.
    TReportSQL empty;
    empty.SetWherePart(QString());
    empty.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Power(QString()));
    EXPECT_EQ(empty.WherePart(), QString());
    // Permission data that is not an array counts as no permission.
    empty.SetWherePart(QStringLiteral("WHERE 1=1"));
    empty.ComposeSQL(0, QStringLiteral("TG045"), none, purtg, Variant());
    EXPECT_EQ(empty.WherePart(), QStringLiteral("WHERE (1=1) "));
}

TEST(ReportSQLCompose, SendStatusJoinsOnlyWhenSendingAndTheMergeNeedsTheMainTable)
{
    const QString permission = QStringLiteral("(PURTG.TG004='01')");
    TReportSQL sql;
    sql.SetWherePart(QStringLiteral(" WHERE 1=1 "));
    sql.ComposeSQL(0, QStringLiteral("TG045"), QStringLiteral("=0"), QStringLiteral("PURTG"), Power(permission));
    EXPECT_FALSE(sql.WherePart().contains(QStringLiteral("TG045"))) << "printing ignores the send status";

    sql.SetWherePart(QStringLiteral(" WHERE 1=1 "));
    sql.ComposeSQL(1, QStringLiteral("TG045"), QStringLiteral("<>0"), QStringLiteral("PURTG"), Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("WHERE (1=1  and (TG045<>0)) and ((PURTG.TG004='01')) "));

    // No main table: the send status still joins, the permission does not.
    sql.SetWherePart(QStringLiteral(" WHERE 1=1 "));
    sql.ComposeSQL(2, QStringLiteral("TG045"), QStringLiteral("=0"), QString(), Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("WHERE 1=1  and (TG045=0) "));
    // "全部" sends an empty condition: nothing joins.
    sql.SetWherePart(QStringLiteral(" WHERE 1=1 "));
    sql.ComposeSQL(2, QStringLiteral("TG045"), QString(), QString(), Power(permission));
    EXPECT_EQ(sql.WherePart(), QStringLiteral("WHERE 1=1 "));
}

TEST(ReportSQLFromFilter, FiltersEveryFromClauseOnlyWhenAsked)
{
    const QString noWhere = QStringLiteral("SELECT TG001 FROM $$PURTG AS PURTG LEFT JOIN $$PURTH AS PURTH ON TG001=TH001 ORDER BY TG001");
    EXPECT_EQ(ApplyFromFilter(noWhere, Power(QString(), QStringLiteral("N"), WarehouseRule()), QStringLiteral("DEMO")), noWhere);
    EXPECT_EQ(ApplyFromFilter(noWhere, Variant(), QStringLiteral("DEMO")), noWhere);
    // Asked, but no rule names a table of the statement.
    const Variant otherRule = Variant::ArrayOf({1, QStringLiteral("INVMB INVMB.MB001 LIKE 'A%'")});
    EXPECT_EQ(ApplyFromFilter(noWhere, Power(QString(), QStringLiteral("Y"), otherRule), QStringLiteral("DEMO")), noWhere);

    const Variant power = Power(QString(), QStringLiteral("Y"), WarehouseRule());
    // Without a WHERE the conditions become one, before ORDER BY.
    EXPECT_EQ(ApplyFromFilter(noWhere, power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT TG001 FROM $$PURTG AS PURTG LEFT JOIN $$PURTH AS PURTH ON TG001=TH001  WHERE ") +
                  WarehouseCondition + QStringLiteral(" ORDER BY TG001"));
    // ... and before GROUP BY, where a WHERE must stand.
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT TH004 FROM $$PURTH AS PURTH GROUP BY TH004"), power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT TH004 FROM $$PURTH AS PURTH  WHERE ") + WarehouseCondition + QStringLiteral(" GROUP BY TH004"));

    // With a WHERE the conditions go first and the old ones stay together.
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT TH004 FROM $$PURTH AS PURTH WHERE TH001='3401' OR TH001='3402' ORDER BY TH004"),
                              power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT TH004 FROM $$PURTH AS PURTH WHERE ") + WarehouseCondition +
                  QStringLiteral(" AND ( TH001='3401' OR TH001='3402' ) ORDER BY TH004"));
    // Tables named with the database prefix instead of "$$".
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT TH004 FROM DEMO..PURTH WHERE TH001='3401'"), power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT TH004 FROM DEMO..PURTH WHERE (( PURTH.TH009 IN ('A01','A02') ) or (PURTH.TH001 is null))"
                             " AND ( TH001='3401') "));
}

TEST(ReportSQLFromFilter, NestedFromsQuotesAndComments)
{
    const Variant power = Power(QString(), QStringLiteral("Y"), WarehouseRule());
    // A FROM whose table list holds a sub-query is passed over; the sub-query is filtered.
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT * FROM (SELECT TH004 FROM $$PURTH AS PURTH WHERE TH001='3401') T WHERE T.TH004<>''"),
                              power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT * FROM (SELECT TH004 FROM $$PURTH AS PURTH WHERE ") + WarehouseCondition +
                  QStringLiteral(" AND ( TH001='3401') ) T WHERE T.TH004<>''"));
    // A sub-query in the WHERE gets its WHERE inside its brackets.
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT TG001 FROM $$PURTG AS PURTG WHERE TG002 IN (SELECT TH002 FROM $$PURTH AS PURTH)"),
                              power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT TG001 FROM $$PURTG AS PURTG WHERE TG002 IN (SELECT TH002 FROM $$PURTH AS PURTH WHERE ") +
                  WarehouseCondition + QStringLiteral(" )"));
    // "from" and "where" inside texts and comments are no clauses.
    const QString quoted = QStringLiteral("SELECT 'FROM x WHERE' AS A /* FROM y */ FROM $$PURTH AS PURTH -- where\n WHERE TH004='WHERE'");
    EXPECT_EQ(ApplyFromFilter(quoted, power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT 'FROM x WHERE' AS A /* FROM y */ FROM $$PURTH AS PURTH -- where\n WHERE ") + WarehouseCondition +
                  QStringLiteral(" AND ( TH004='WHERE') "));
    // A column whose name holds the word is no keyword either.
    EXPECT_EQ(ApplyFromFilter(QStringLiteral("SELECT FROMDATE FROM $$PURTH"), power, QStringLiteral("DEMO")),
              QStringLiteral("SELECT FROMDATE FROM $$PURTH WHERE ") + WarehouseCondition + QLatin1Char(' '));
}

TEST(ReportSQLSendStatus, ValuesCaptionAndTheRunsCondition)
{
    EXPECT_EQ(SendStatusValue(QStringLiteral("已传送")), QStringLiteral("<>0"));
    EXPECT_EQ(SendStatusValue(QStringLiteral("未传送")), QStringLiteral("=0"));
    EXPECT_EQ(SendStatusValue(QStringLiteral("全部")), QString());
    EXPECT_EQ(SendStatusCaption(), QStringLiteral("传送状态"));

    Variant values = Variant::CreateArray(1, 8);
    values[7] = QStringLiteral("<>0");
    EXPECT_EQ(SendStatusFromValues(0, values, 8), QStringLiteral("<>0"));
    EXPECT_EQ(SendStatusFromValues(1, values, 8), QString()) << "host runs have no send status";
    EXPECT_EQ(SendStatusFromValues(0, values, 20), QString()) << "an index beyond the array is no condition";
    values[7] = QStringLiteral("=0 OR 1=1");
    EXPECT_THROW(SendStatusFromValues(0, values, 8), Exception);
}
