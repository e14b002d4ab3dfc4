#include "options/Kelm24Query.h"
#include "runtime/SqlCondition.h"
#include "tests/appserver/ReceiptQuery.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// The condition values the receipt dialog collects: given 1..6, then the
// send status (7) and the print date (8).
struct TSlots {
    QString Type = QStringLiteral("3401");
    Variant Numbers, ReceiptDates, DocumentDates;
    QString Approval, PrintStatus = QStringLiteral("=0"), SendStatus;
    Variant Values() const
    {
        Variant v = Variant::CreateArray(1, 8);
        v[1] = Type.isEmpty() ? QString() : TKelm24Query::TypeCondition(Type);
        v[2] = Numbers;
        v[3] = ReceiptDates;
        v[4] = Approval;
        v[5] = PrintStatus;
        v[6] = DocumentDates;
        v[7] = SendStatus;
        v[8] = QStringLiteral("20240601");
        return v;
    }
};

Variant Range(const QString& from, const QString& to) { return Variant::ArrayOf({RangeMarker, from, to}); }

QString Statement(const TKelm24QueryInput& input, int mode, const Variant& params)
{
    TKelm24Query query(input);
    QString sql;
    query.BuildReportSQL(mode, params, sql);
    query.ComposeSQL(sql);
    return sql;
}

QString Simplified(const QString& sql) { return sql.simplified().replace(QStringLiteral("( "), QStringLiteral("(")); }

}  // namespace

TEST(Kelm24Statement, DetailAndSummaryShapes)
{
    TKelm24QueryInput detail;
    detail.Sys003 = QStringLiteral("RMB");
    const QString d = Statement(detail, 0, TSlots().Values());
    EXPECT_TRUE(d.startsWith(QStringLiteral("SELECT TG042,TG001,")));
    EXPECT_FALSE(d.contains(QStringLiteral("GROUP BY"), Qt::CaseInsensitive)) << "the detail print has no Group By";
    EXPECT_FALSE(d.contains(QStringLiteral("SUM(")));
    EXPECT_TRUE(d.contains(QStringLiteral("LEFT  JOIN $$CMSMC AS CMSMC ON TH009=MC001")));
    EXPECT_TRUE(d.contains(QStringLiteral("FROM $$PURTG AS PURTG LEFT  JOIN $$PURTH AS PURTH")));
    EXPECT_TRUE(d.contains(QStringLiteral("CMSMF.MF001= 'RMB' ")));
    EXPECT_TRUE(d.endsWith(QStringLiteral("ORDER BY TG001,TG002,TH003 ")));
    // The same statement the server's tests send for a type and unprinted receipts.
    EXPECT_EQ(Simplified(d), Simplified(test::ReceiptDetailStatement(QStringLiteral("3401"), {}, {}, false, true)));

    detail.NewPage = true;
    EXPECT_TRUE(Statement(detail, 0, TSlots().Values()).endsWith(QStringLiteral("ORDER BY TG001,TG002,TH009,TH003 ")));

    TKelm24QueryInput summary = detail;
    summary.Summary = true;
    const QString s = Statement(summary, 0, TSlots().Values());
    EXPECT_TRUE(s.contains(QStringLiteral("SUM(TH007) AS TH007")));
    EXPECT_TRUE(s.contains(QStringLiteral(" GROUP BY TG042,TG001,")) || s.contains(QStringLiteral("GROUP BY TG042,TG001,")));
    EXPECT_LT(s.indexOf(QStringLiteral("WHERE")), s.indexOf(QStringLiteral("GROUP BY")));
    EXPECT_TRUE(s.endsWith(QStringLiteral("ORDER BY TG001,TG002 "))) << "the summary ignores the page per warehouse";
    EXPECT_FALSE(s.contains(QStringLiteral("$$CMSMC"))) << "no warehouse key, no warehouse table";
    EXPECT_FALSE(s.contains(QStringLiteral(",TH009")));
}

TEST(Kelm24Statement, SummaryKeysAddColumnsGroupsAndTheWarehouseJoin)
{
    TKelm24QueryInput in;
    in.Sys003 = QStringLiteral("RMB");
    in.Summary = true;
    in.PrintStatus = QStringLiteral("全部");
    TSlots all;
    all.PrintStatus.clear();
    struct TCase { bool warehouse, cost, lot; };
    for (const TCase c : {TCase{true, false, false}, TCase{false, true, false}, TCase{false, false, true}, TCase{true, true, true}}) {
        in.KeyWarehouse = c.warehouse;
        in.KeyUnitCost = c.cost;
        in.KeyLot = c.lot;
        TKelm24Query q(in);
        QString sql;
        q.BuildReportSQL(0, all.Values(), sql);
        q.ComposeSQL(sql);
        EXPECT_EQ(q.SQL.JoinPart().contains(QStringLiteral("LEFT  JOIN $$CMSMC AS CMSMC ON TH009=CMSMC.MC001")), c.warehouse);
        EXPECT_EQ(q.SQL.GroupByPart().contains(QStringLiteral(",TH009,CMSMC.MC002 ")), c.warehouse);
        EXPECT_EQ(q.SQL.SelectPart().contains(QStringLiteral(",TH009,CMSMC.MC002 AS CMSMC002 ")), c.warehouse);
        EXPECT_EQ(q.SQL.GroupByPart().contains(QStringLiteral(",TH018 ")), c.cost);
        EXPECT_EQ(q.SQL.SelectPart().contains(QStringLiteral(",TH018 ")), c.cost);
        EXPECT_EQ(q.SQL.GroupByPart().contains(QStringLiteral(",TH010 ")), c.lot);
        // The keys come in their order: warehouse, unit cost, lot.
        if (c.warehouse && c.cost && c.lot) {
            EXPECT_TRUE(q.SQL.SelectPart().endsWith(QStringLiteral(",TH009,CMSMC.MC002 AS CMSMC002 ,TH018 ,TH010 ")));
        }
        EXPECT_EQ(Simplified(sql), Simplified(test::ReceiptSummaryStatement(QStringLiteral("3401"), {}, {}, {c.warehouse, c.cost, c.lot})));
    }
}

TEST(Kelm24Statement, DialogConditions)
{
    TKelm24QueryInput in;
    TSlots given;
    given.Numbers = Range(QStringLiteral("20240101001"), QStringLiteral("20240131999"));
    given.ReceiptDates = Range(QStringLiteral("20240101"), QStringLiteral("20240101"));
    given.DocumentDates = Range(QStringLiteral("20240101"), QStringLiteral("20240131"));
    given.Approval = TKelm24Query::ApprovalCondition(QStringLiteral("已审核"));
    given.PrintStatus = TKelm24Query::PrintStatusCondition(QStringLiteral("未打印"));
    TKelm24Query q(in);
    QString sql;
    q.BuildReportSQL(0, given.Values(), sql);
    EXPECT_EQ(q.SQL.WherePart(), QStringLiteral("WHERE 1=1  and (TG001='3401') and  (TG002 Between '20240101001' and '20240131999')  and "
                                                " (TG014 Between '20240101' and '20240131')  and (TG013='Y' ) and (TG012=0) "));
    EXPECT_FALSE(q.SQL.WherePart().contains(QStringLiteral("TG003"))) << "the receipt date never restricts";

    // "全部" in either list adds nothing; "已打印" asks for printed receipts.
    in.PrintStatus = QStringLiteral("全部");
    given.Approval = TKelm24Query::ApprovalCondition(QStringLiteral("全部"));
    EXPECT_FALSE(Statement(in, 0, given.Values()).contains(QStringLiteral("(TG012")));
    EXPECT_FALSE(Statement(in, 0, given.Values()).contains(QStringLiteral("(TG013")));
    in.PrintStatus = QStringLiteral("已打印");
    given.PrintStatus = TKelm24Query::PrintStatusCondition(in.PrintStatus);
    EXPECT_TRUE(Statement(in, 0, given.Values()).contains(QStringLiteral("(TG012<>0)")));
    EXPECT_EQ(TKelm24Query::ApprovalCondition(QStringLiteral("未审核")), QStringLiteral("='N' "));
    EXPECT_EQ(TKelm24Query::ApprovalCondition(QStringLiteral("作废")), QStringLiteral("='V' "));

    // A quote in a typed number range stays inside its literal.
    given.Numbers = Range(QStringLiteral("A'B"), QString());
    EXPECT_TRUE(Statement(in, 0, given.Values()).contains(QStringLiteral("(TG002>= 'A''B')")));
}

TEST(Kelm24Statement, PastedValuesMustBeTheFormsOwn)
{
    TKelm24QueryInput in;
    TSlots given;
    EXPECT_EQ(TKelm24Query::TypeCondition(QStringLiteral("34'01")), QStringLiteral("='34''01'"));
    given.Type = QStringLiteral("34'01");
    EXPECT_TRUE(Statement(in, 0, given.Values()).contains(QStringLiteral("(TG001='34''01')")));

    const auto refused = [&](int slot, const QString& value) {
        Variant v = TSlots().Values();
        v[slot] = value;
        try {
            Statement(in, 0, v);
        } catch (const Exception& e) {
            return e.Message().contains(value);
        }
        return false;
    };
    EXPECT_TRUE(refused(1, QStringLiteral("='3401' OR 1=1")));
    EXPECT_TRUE(refused(1, QStringLiteral("='34'01'")));
    EXPECT_TRUE(refused(4, QStringLiteral("='Y' OR 1=1")));
    EXPECT_TRUE(refused(5, QStringLiteral("=0 OR 1=1")));
    EXPECT_TRUE(refused(7, QStringLiteral("=0) OR (1=1")));
    EXPECT_THROW(Statement(in, 0, Variant(QStringLiteral("3401"))), Exception) << "conditions come as an array";
    EXPECT_THROW(Statement(in, 1, Variant()), Exception);

    // The currency setting is a literal too.
    in.Sys003 = QStringLiteral("R'MB");
    EXPECT_TRUE(Statement(in, 0, TSlots().Values()).contains(QStringLiteral("CMSMF.MF001= 'R''MB' ")));
}

TEST(Kelm24Statement, HostConditionsAreQuoted)
{
    TKelm24QueryInput in;
    in.PrintStatus = QStringLiteral("未打印");
    TKelm24Query q(in);
    QString sql;
    q.BuildReportSQL(1, Variant::ArrayOf({QStringLiteral("3401"), QString()}), sql);
    EXPECT_EQ(q.SQL.WherePart(), QStringLiteral("WHERE 1=1  and (TG001='3401') ")) << "no number: every receipt of the type";
    q.BuildReportSQL(1, Variant::ArrayOf({QStringLiteral("3401"), QStringLiteral("20240101001")}), sql);
    EXPECT_EQ(q.SQL.WherePart(), QStringLiteral("WHERE 1=1  and (TG001='3401') and (TG002='20240101001') "));
    q.BuildReportSQL(1, Variant::ArrayOf({QStringLiteral("3401"), QStringLiteral("1' OR '1'='1")}), sql);
    EXPECT_EQ(q.SQL.WherePart(), QStringLiteral("WHERE 1=1  and (TG001='3401') and (TG002='1'' OR ''1''=''1') "));
    // A one-element array and a number are taken as they come.
    q.BuildReportSQL(1, Variant::ArrayOf({3401}), sql);
    EXPECT_EQ(q.SQL.WherePart(), QStringLiteral("WHERE 1=1  and (TG001='3401') "));
}

TEST(Kelm24Statement, OuterJoinTypeAndOtherTypes)
{
    TKelm24QueryInput in;
    in.SQLType = 1;
    in.Sys003 = QStringLiteral("NTD");
    for (bool summary : {false, true}) {
        in.Summary = summary;
        TKelm24Query q(in);
        QString sql;
        q.BuildReportSQL(0, TSlots().Values(), sql);
        q.ComposeSQL(sql);
        EXPECT_TRUE(sql.startsWith(QStringLiteral("SELECT TG042,")));
        EXPECT_TRUE(sql.contains(QStringLiteral("(TH011||'-'||TH012||'-'||TH013) AS TH011T")));
        EXPECT_TRUE(sql.contains(QStringLiteral("FROM $$PURTG PURTG,$$PURTH PURTH,")));
        EXPECT_TRUE(sql.contains(QStringLiteral("CMSMF.MF001(+)= 'NTD'  AND TG033=NA002(+)")));
        EXPECT_FALSE(sql.contains(QStringLiteral("JOIN"))) << "no join part";
        // The project name it selects needs its table in the list.
        EXPECT_TRUE(sql.contains(QStringLiteral("$$INVMC INVMC , $$CMSNO CMSNO ")));
        EXPECT_TRUE(sql.contains(QStringLiteral(" AND TG059=NO001(+) ")));
        EXPECT_FALSE(sql.contains(QStringLiteral("GROUP BY"), Qt::CaseInsensitive)) << "no group by, even for the summary";
        EXPECT_TRUE(sql.contains(QStringLiteral("AND TG059=NO001(+)  and (TG001='3401') and (TG012=0))"))) << sql.toStdString();
    }

    // Any other type writes only the conditions, and a run after a summary keeps nothing of it.
    in.SQLType = 7;
    in.Summary = false;
    TKelm24Query q(in);
    QString sql;
    q.Input.SQLType = 0;
    q.Input.Summary = true;
    q.BuildReportSQL(0, TSlots().Values(), sql);
    q.Input = in;
    q.BuildReportSQL(0, TSlots().Values(), sql);
    q.ComposeSQL(sql);
    EXPECT_EQ(sql, QStringLiteral("Where ((TG001='3401') and (TG012=0)) ORDER BY TG001,TG002,TH003 "));
}

TEST(Kelm24Statement, SendStatusAndPermissionJoinTheConditions)
{
    TKelm24QueryInput in;
    in.SendMode = 1;
    in.PowerData = Variant::ArrayOf({QStringLiteral("(PURTG.TG004='01')"), QString(), QString(), QString(), QStringLiteral("N"), Variant::ArrayOf({0})});
    TSlots given;
    given.SendStatus = SendStatusValue(QStringLiteral("未传送"));
    const QString sql = Statement(in, 0, given.Values());
    EXPECT_TRUE(sql.contains(QStringLiteral("WHERE (1=1  and (TG001='3401') and (TG012=0)  and (TG045=0)) and ((PURTG.TG004='01')) ORDER BY"))) << sql.toStdString();
    // A host run has no send status.
    EXPECT_FALSE(Statement(in, 1, Variant::ArrayOf({QStringLiteral("3401")})).contains(QStringLiteral("TG045=")));
    // Printing ignores it.
    in.SendMode = 0;
    EXPECT_FALSE(Statement(in, 0, given.Values()).contains(QStringLiteral("TG045=")));
}
