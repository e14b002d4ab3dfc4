#include "appserver/SqlDialect.h"
#include "kelm24/Variant.h"
#include "tests/appserver/ReceiptQuery.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

QString Sqlite(const QString& sql) { return TSqlAdapter(TSchema::Company(), TSqlEngine::SQLite).Adapt(sql); }
QString Postgres(const QString& sql) { return TSqlAdapter(TSchema::Company(), TSqlEngine::PostgreSQL).Adapt(sql); }

void ExpectRefused(const QString& sql, TStatementUse use, const QString& part, const QString& table = {})
{
    try {
        CheckClientSql(sql, use, TSchema::Company(), table);
        ADD_FAILURE() << "accepted: " << sql.toStdString();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(part)) << e.Message().toStdString();
    }
}

}  // namespace

TEST(SqlAdapter, RemovesTablePrefixAndDatabaseQualifier)
{
    EXPECT_EQ(Postgres(QStringLiteral("SELECT TG001 FROM $$PURTG PURTG")), QStringLiteral("SELECT TG001 FROM PURTG PURTG"));
    EXPECT_EQ(Postgres(QStringLiteral("SELECT TD015 FROM DEMO..PURTD")), QStringLiteral("SELECT TD015 FROM PURTD"));
    // A literal that looks like a prefix stays as written.
    EXPECT_EQ(Postgres(QStringLiteral("SELECT '$$PURTG' FROM $$PURTG")), QStringLiteral("SELECT '$$PURTG' FROM PURTG"));
}

TEST(SqlAdapter, PlusNextToTextConcatenatesAndBetweenNumbersAdds)
{
    EXPECT_EQ(Postgres(QStringLiteral("SELECT (TH011+'-'+TH012+'-'+TH013) AS TH011T FROM $$PURTH PURTH")),
              QStringLiteral("SELECT (TH011||'-'||TH012||'-'||TH013) AS TH011T FROM PURTH PURTH"));
    const QString numbers = QStringLiteral("SELECT (TG019+TG028) AS TG019T, (TH047+TH048+TH024) FROM PURTG, PURTH");
    EXPECT_EQ(Postgres(numbers), numbers);
    // Two text columns are joined even without a literal between them; a
    // qualified text column counts by its table.
    EXPECT_EQ(Postgres(QStringLiteral("SELECT TG001+TG002 FROM PURTG")), QStringLiteral("SELECT TG001||TG002 FROM PURTG"));
    EXPECT_EQ(Postgres(QStringLiteral("SELECT P.MA002+P.MA003 FROM PURMA AS P")), QStringLiteral("SELECT P.MA002||P.MA003 FROM PURMA AS P"));
    EXPECT_EQ(Postgres(QStringLiteral("SELECT 'a+b' FROM PURTG")), QStringLiteral("SELECT 'a+b' FROM PURTG"));
}

TEST(SqlAdapter, SqliteQualifiesJoinColumnsByTheTablesJoinedSoFar)
{
    const QString sql = QStringLiteral(
        "SELECT TH009 FROM $$PURTG AS PURTG LEFT  JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 "
        "LEFT  JOIN $$CMSMC AS CMSMC ON TH009=MC001  LEFT  JOIN $$INVMC AS INVMC ON TH004=INVMC.MC001 AND TH009=INVMC.MC002 "
        "LEFT  JOIN $$KBSMC AS KBSMC ON KBSMC.MC001=TH073 WHERE MC001 IS NOT NULL");
    const QString out = Sqlite(sql);
    // MC001 belongs to CMSMC only among the tables joined by then; INVMC and
    // KBSMC come later. The WHERE clause is left to the engine.
    EXPECT_TRUE(out.contains(QStringLiteral("ON PURTH.TH009=CMSMC.MC001"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("ON PURTG.TG001=PURTH.TH001 AND PURTG.TG002=PURTH.TH002"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("ON PURTH.TH004=INVMC.MC001 AND PURTH.TH009=INVMC.MC002"))) << out.toStdString();
    EXPECT_TRUE(out.endsWith(QStringLiteral("WHERE MC001 IS NOT NULL")));
    // PostgreSQL already scopes ON conditions the standard way.
    EXPECT_TRUE(Postgres(sql).contains(QStringLiteral("ON TH009=MC001")));
}

TEST(SqlAdapter, AliasesWithoutAsAndOtherFunctionNames)
{
    const QString out = Sqlite(QStringLiteral(
        " SELECT SUM(TH016) as TH016B FROM $$PURTH PURTH LEFT JOIN $$PURTD PD ON TH011=TD001 WHERE ISNULL(TH001,'')='3401' AND LEN(TH002)=11"));
    EXPECT_TRUE(out.contains(QStringLiteral("ON PURTH.TH011=PD.TD001"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("COALESCE(TH001,'')")));
    EXPECT_TRUE(out.contains(QStringLiteral("LENGTH(TH002)")));
}

TEST(ClientSql, AcceptsTheStatementsThePluginSends)
{
    const QStringList ok = {
        test::ReceiptDetailStatement(QStringLiteral("3401"), QStringLiteral("20240102001"), QStringLiteral("20240110003"), true, true),
        QStringLiteral(" SELECT SUM(TH016) as TH016B FROM $$PURTH PURTH  WHERE TH001='3401' AND TH002='20240102001' "),
        QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='3402'"),
        QStringLiteral("INSERT INTO $$ADMTA (COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG,TA001,TA002,TA003,TA004,TA005,TA006) "
                       "VALUES('DEMO','DS','ADM','20240601','1','KELM24','S0001','Y','Send e-Mail Complete !','10:20:30','20240601');")};
    for (const QString& sql : ok) EXPECT_NO_THROW(CheckClientSql(sql, TStatementUse::AnyDml, TSchema::Company())) << sql.toStdString();
    EXPECT_NO_THROW(CheckClientSql(QStringLiteral("TG001='3401'  and TG002='20240102001' "), TStatementUse::Condition,
                                   TSchema::Company(), QStringLiteral("PURTG")));
}

TEST(ClientSql, RefusesWhatTheSchemaDoesNotHoldAndSecondStatements)
{
    ExpectRefused(QStringLiteral("SELECT * FROM PURTG; DELETE FROM PURTG"), TStatementUse::AnyDml, QStringLiteral("一条"));
    ExpectRefused(QStringLiteral("SELECT * FROM sqlite_master"), TStatementUse::AnyDml, QStringLiteral("sqlite_master"));
    ExpectRefused(QStringLiteral("SELECT PASSWORD FROM ADMMF"), TStatementUse::AnyDml, QStringLiteral("PASSWORD"));
    ExpectRefused(QStringLiteral("SELECT P.XX001 FROM PURTG P"), TStatementUse::AnyDml, QStringLiteral("XX001"));
    ExpectRefused(QStringLiteral("SELECT load_extension('x') FROM PURTG"), TStatementUse::AnyDml, QStringLiteral("load_extension"));
    ExpectRefused(QStringLiteral("DROP TABLE PURTG"), TStatementUse::AnyDml, QStringLiteral("DROP"));
    ExpectRefused(QStringLiteral("ATTACH DATABASE 'x' AS y"), TStatementUse::AnyDml, QStringLiteral("ATTACH"));
    ExpectRefused(QStringLiteral("SELECT 'open"), TStatementUse::AnyDml, QStringLiteral("没有结束"));
    ExpectRefused(QStringLiteral("DELETE FROM PURTG"), TStatementUse::Query, QStringLiteral("SELECT"));
    // Conditions name columns of their own table only, and hold no statement.
    ExpectRefused(QStringLiteral("TG001='3401' OR 1=1; DELETE FROM PURTG"), TStatementUse::Condition, QStringLiteral("一条"), QStringLiteral("PURTG"));
    ExpectRefused(QStringLiteral("TG001='3401' UNION SELECT 1"), TStatementUse::Condition, QStringLiteral("UNION"), QStringLiteral("PURTG"));
    ExpectRefused(QStringLiteral("TH001='3401'"), TStatementUse::Condition, QStringLiteral("TH001"), QStringLiteral("PURTG"));
    ExpectRefused(QStringLiteral("TG001 IN (SELECT MQ001 FROM CMSMQ)"), TStatementUse::Condition, QStringLiteral("SELECT"), QStringLiteral("PURTG"));
}

TEST(ClientSql, RefusesTextOneEngineReadsAsCodeWhereTheCheckSawNone)
{
    // SQLite quotes names with backticks: the quote inside is no literal there.
    ExpectRefused(QStringLiteral("SELECT MF002 AS ['] FROM ADMMF WHERE `'`=1 UNION SELECT sql FROM sqlite_master --'"),
                  TStatementUse::AnyDml, QStringLiteral("`"));
    // PostgreSQL nests block comments and reads backslash escapes in E'..' texts.
    ExpectRefused(QStringLiteral("SELECT MF001 FROM ADMMF WHERE MF001 = /* /* */ ' */ UNION SELECT usename FROM pg_user --'"),
                  TStatementUse::AnyDml, QStringLiteral("注释"));
    ExpectRefused(QStringLiteral("SELECT E.MF001 FROM ADMMF E WHERE E.MF001 = E'\\'' UNION SELECT usename FROM pg_user --'"),
                  TStatementUse::AnyDml, QStringLiteral("E'"));
    ExpectRefused(QStringLiteral("TG001=e'\\'' OR TG001 IN (SELECT 1) --'"), TStatementUse::Condition, QStringLiteral("E'"),
                  QStringLiteral("PURTG"));
    // PostgreSQL quotes texts with $tag$: the checks read the tags as names.
    ExpectRefused(QStringLiteral("SELECT TG001 FROM PURTG WHERE TG001 = $_$ AS $_$ AND TG001 = $_$'$_$ UNION SELECT usename FROM pg_user --'"),
                  TStatementUse::AnyDml, QStringLiteral("$"));
    ExpectRefused(QStringLiteral("SELECT TG001 FROM $$PURTG WHERE TG001 = $$$$ AS $$$$ AND TG001 = $$$$'$$$$ UNION SELECT 1 --'"),
                  TStatementUse::AnyDml, QStringLiteral("$"));
    // Tables in parentheses or in a sub-query of FROM are real tables, not the
    // aliases of the same name declared before them.
    ExpectRefused(QStringLiteral("SELECT * FROM ADMMF AS sqlite_master, (sqlite_master)"), TStatementUse::Query, QStringLiteral("("));
    ExpectRefused(QStringLiteral("SELECT * FROM PURTG AS pg_user, PURTH, (pg_user CROSS JOIN PURTH AS X)"), TStatementUse::Query,
                  QStringLiteral("("));
    ExpectRefused(QStringLiteral("SELECT * FROM ADMMF AS sqlite_master, (SELECT * FROM sqlite_master) AS T"), TStatementUse::Query,
                  QStringLiteral("sqlite_master"));
    ExpectRefused(QStringLiteral("SELECT * FROM PURTG WHERE TG001 IN (SELECT MF001 FROM ADMMF AS pg_user, (SELECT 1 FROM pg_user) U)"),
                  TStatementUse::AnyDml, QStringLiteral("pg_user"));
    // What the plug-in writes still passes: comments, sub-queries in FROM, words next to literals.
    EXPECT_NO_THROW(CheckClientSql(QStringLiteral("SELECT T.TG001 /* type */ FROM (SELECT TG001 FROM PURTG) AS T -- all\n"),
                                   TStatementUse::Query, TSchema::Company()));
    EXPECT_NO_THROW(CheckClientSql(QStringLiteral("SELECT TG001 FROM PURTG WHERE TG002 LIKE'2024%' AND TG003 IN('20240101')"),
                                   TStatementUse::Query, TSchema::Company()));
}
