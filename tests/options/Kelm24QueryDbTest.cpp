// The receipt statements run against the sample company through the
// application server, as a report run opens its data.
#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "options/Kelm24Query.h"
#include "runtime/SqlCondition.h"
#include "tests/appserver/TestSupport.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class Kelm24QueryDb : public ::testing::Test {
protected:
    test::TSampleInstall install;
    Variant server{std::make_shared<TAppServer>(install.Settings())};
    TAppServerObject as{server};
    TDataLayer direct{install.Settings()};
    const QString type = QStringLiteral("3401");

    void SetUp() override { Login(TSampleCompany::LeaderUser); }
    void Login(const QString& user)
    {
        as.Connect(TSampleCompany::ProgramCode, user, TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    }

    // The input the receipt form copies from its controls and its connection.
    TKelm24QueryInput Input(const QString& printStatus = QStringLiteral("全部"))
    {
        TKelm24QueryInput in;
        in.SQLType = as.SQLType();
        in.Sys003 = QStringLiteral("RMB");
        in.PrintStatus = printStatus;
        in.PowerData = as.PowerData();
        return in;
    }
    // The dialog's values: type, numbers, approval, print status, document dates.
    static Variant Values(const QString& type, const Variant& numbers = Variant(), const QString& approval = {},
                          const QString& printed = {}, const Variant& dates = Variant())
    {
        Variant v = Variant::CreateArray(1, 8);
        v[1] = type.isEmpty() ? QString() : TKelm24Query::TypeCondition(type);
        v[2] = numbers;
        v[3] = Variant::ArrayOf({RangeMarker, QStringLiteral("19000101"), QStringLiteral("19000102")});
        v[4] = approval;
        v[5] = printed;
        v[6] = dates;
        return v;
    }
    TDataPacket Run(const TKelm24QueryInput& in, int mode, const Variant& params, bool fromFilter = false)
    {
        TKelm24Query query(in);
        QString sql;
        query.BuildReportSQL(mode, params, sql);
        query.ComposeSQL(sql);
        if (fromFilter) sql = ApplyFromFilter(sql, in.PowerData, QStringLiteral("DEMO"));
        return TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()}));
    }
    int Count(const QString& sql, const TSqlRow& binds = {}) { return direct.Select(sql, binds).value(0).value(0).toInt(); }
    static QSet<QString> Column(const TDataPacket& p, const QString& name)
    {
        QSet<QString> values;
        const int at = p.FieldIndex(name);
        for (const auto& row : p.Rows) values.insert(row[at].IsNull() ? QStringLiteral("<null>") : row[at].ToString());
        return values;
    }
};

const QString LinesOfType = QStringLiteral("SELECT COUNT(*) FROM PURTG LEFT JOIN PURTH ON TG001=TH001 AND TG002=TH002 WHERE TG001=? ");

}  // namespace

TEST_F(Kelm24QueryDb, DetailRowsAreTheLinesOfTheChosenReceipts)
{
    // Every line of every receipt of the type (a receipt without lines gives one row).
    TDataPacket all = Run(Input(), 0, Values(type));
    ASSERT_GT(all.Rows.size(), 20u);
    EXPECT_EQ(static_cast<int>(all.Rows.size()), Count(LinesOfType, {type}));
    EXPECT_EQ(Column(all, QStringLiteral("TG001")), QSet<QString>{type});
    EXPECT_EQ(all.FieldIndex(QStringLiteral("TH019T")) >= 0 && all.FieldIndex(QStringLiteral("MF010A")) >= 0, true);
    // The receipt-date panel restricts nothing, even with a range no receipt is in.
    const int tg002 = all.FieldIndex(QStringLiteral("TG002")), th003 = all.FieldIndex(QStringLiteral("TH003"));
    QString previous;
    for (const auto& row : all.Rows) {
        const QString key = row[tg002].ToString() + QLatin1Char('/') + (row[th003].IsNull() ? QString() : row[th003].ToString());
        EXPECT_LT(previous, key) << "ordered by number and line";
        previous = key;
    }

    // A number range and a document-date range.
    const auto numbers = direct.Select(QStringLiteral("SELECT TG002 FROM PURTG WHERE TG001=? ORDER BY TG002"), {type});
    const QString from = numbers[2][0].toString(), to = numbers[9][0].toString();
    TDataPacket range = Run(Input(), 0, Values(type, Variant::ArrayOf({RangeMarker, from, to})));
    EXPECT_EQ(static_cast<int>(range.Rows.size()), Count(LinesOfType + QStringLiteral("AND TG002 BETWEEN ? AND ?"), {type, from, to}));
    EXPECT_EQ(Column(range, QStringLiteral("TG002")).size(), 8);
    const QString firstDay = direct.Select(QStringLiteral("SELECT MIN(TG014) FROM PURTG WHERE TG001=?"), {type})[0][0].toString();
    TDataPacket dated = Run(Input(), 0, Values(type, Variant(), {}, {}, Variant::ArrayOf({RangeMarker, firstDay, firstDay})));
    ASSERT_FALSE(dated.Rows.empty());
    EXPECT_EQ(Column(dated, QStringLiteral("TG014")), QSet<QString>{firstDay});
}

TEST_F(Kelm24QueryDb, PrintAndApprovalStatusReallyFilter)
{
    const int everything = Count(LinesOfType, {type});
    TDataPacket unprinted = Run(Input(QStringLiteral("未打印")), 0, Values(type, Variant(), {}, TKelm24Query::PrintStatusCondition(QStringLiteral("未打印"))));
    TDataPacket printed = Run(Input(QStringLiteral("已打印")), 0, Values(type, Variant(), {}, TKelm24Query::PrintStatusCondition(QStringLiteral("已打印"))));
    ASSERT_FALSE(unprinted.Rows.empty());
    ASSERT_FALSE(printed.Rows.empty()) << "the sample company has printed receipts";
    EXPECT_EQ(Column(unprinted, QStringLiteral("TG012")), QSet<QString>{QStringLiteral("0")});
    EXPECT_FALSE(Column(printed, QStringLiteral("TG012")).contains(QStringLiteral("0")));
    EXPECT_EQ(static_cast<int>(unprinted.Rows.size() + printed.Rows.size()), everything);
    // "全部" ignores a print-status value.
    EXPECT_EQ(static_cast<int>(Run(Input(QStringLiteral("全部")), 0, Values(type, Variant(), {}, QStringLiteral("=0"))).Rows.size()), everything);

    TDataPacket approved = Run(Input(), 0, Values(type, Variant(), TKelm24Query::ApprovalCondition(QStringLiteral("已审核"))));
    EXPECT_EQ(Column(approved, QStringLiteral("TG013")), QSet<QString>{QStringLiteral("Y")});
    EXPECT_LT(approved.Rows.size(), static_cast<size_t>(everything));
}

TEST_F(Kelm24QueryDb, SummaryRowsMergeTheLinesByTheChosenKeys)
{
    const double received = direct.Select(QStringLiteral("SELECT SUM(TH007) FROM PURTH WHERE TH001=?"), {type})[0][0].toDouble();
    const int lines = Count(QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH001=?"), {type});
    struct TCase { bool warehouse, cost, lot; QString columns; };
    for (const TCase& c : {TCase{false, false, false, {}}, TCase{true, false, false, QStringLiteral(",TH009")},
                           TCase{false, true, false, QStringLiteral(",TH018")}, TCase{false, false, true, QStringLiteral(",TH010")},
                           TCase{true, true, true, QStringLiteral(",TH009,TH018,TH010")}}) {
        SCOPED_TRACE(c.columns.toStdString());
        TKelm24QueryInput in = Input();
        in.Summary = true;
        in.KeyWarehouse = c.warehouse;
        in.KeyUnitCost = c.cost;
        in.KeyLot = c.lot;
        TDataPacket p = Run(in, 0, Values(type));
        const int groups = Count(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT TG002,TH004,TH005,TH006,TH008,THC02%1 FROM PURTG "
                                                "LEFT JOIN PURTH ON TG001=TH001 AND TG002=TH002 WHERE TG001=?) AS T").arg(c.columns), {type});
        EXPECT_EQ(static_cast<int>(p.Rows.size()), groups);
        EXPECT_LT(groups, lines) << "lines of one item are merged";
        EXPECT_EQ(p.FieldIndex(QStringLiteral("CMSMC002")) >= 0, c.warehouse);
        EXPECT_EQ(p.FieldIndex(QStringLiteral("TH018")) >= 0, c.cost);
        EXPECT_EQ(p.FieldIndex(QStringLiteral("TH010")) >= 0, c.lot);
        const int th007 = p.FieldIndex(QStringLiteral("TH007"));
        double sum = 0;
        for (const auto& row : p.Rows)
            if (!row[th007].IsNull()) sum += row[th007].ToDouble();
        EXPECT_NEAR(sum, received, 1e-6) << "the quantities add up to the lines'";
        if (c.warehouse) {
            const int th009 = p.FieldIndex(QStringLiteral("TH009")), name = p.FieldIndex(QStringLiteral("CMSMC002"));
            for (const auto& row : p.Rows) {
                if (row[th009].IsNull()) continue;
                EXPECT_EQ(row[name].ToString(), direct.Select(QStringLiteral("SELECT MC002 FROM CMSMC WHERE MC001=?"),
                                                              {row[th009].ToString()})[0][0].toString());
            }
        }
    }
}

TEST_F(Kelm24QueryDb, HostRunsSelectByTypeAndNumberAndQuoteTheirTexts)
{
    TDataPacket all = Run(Input(), 1, Variant::ArrayOf({type, QString()}));
    EXPECT_EQ(static_cast<int>(all.Rows.size()), Count(LinesOfType, {type}));
    EXPECT_EQ(Column(all, QStringLiteral("TG002")).size(), Count(QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE TG001=?"), {type}));

    const QString number = direct.Select(QStringLiteral("SELECT TG002 FROM PURTG WHERE TG001=? ORDER BY TG002"), {type})[3][0].toString();
    TDataPacket one = Run(Input(), 1, Variant::ArrayOf({type, number}));
    EXPECT_EQ(Column(one, QStringLiteral("TG002")), QSet<QString>{number});
    EXPECT_EQ(static_cast<int>(one.Rows.size()), Count(LinesOfType + QStringLiteral("AND TG002=?"), {type, number}));

    // Text that would end the literal finds nothing instead of everything.
    EXPECT_TRUE(Run(Input(), 1, Variant::ArrayOf({QStringLiteral("3401' OR '1'='1"), QString()})).Rows.empty());
    EXPECT_TRUE(Run(Input(), 1, Variant::ArrayOf({type, number + QStringLiteral("' OR TG002<>'")})).Rows.empty());
    EXPECT_GT(Count(QStringLiteral("SELECT COUNT(*) FROM PURTG")), 0);
}

TEST_F(Kelm24QueryDb, PermissionsAndTheFromFilterKeepTheClerkToTheirRows)
{
    Login(TSampleCompany::ClerkUser);
    TKelm24QueryInput in = Input();
    ASSERT_EQ(in.PowerData[4].ToString(), QStringLiteral("Y")) << "the clerk's rows are filtered in every FROM";
    const QSet<QString> warehouses = {QStringLiteral("A01"), QStringLiteral("A02"), QStringLiteral("B01"), QStringLiteral("<null>")};

    // A dialog run: permission merged, then the FROM filter.
    TDataPacket dialog = Run(in, 0, Values(type), true);
    ASSERT_FALSE(dialog.Rows.empty());
    EXPECT_EQ(Column(dialog, QStringLiteral("TG004")), QSet<QString>{QStringLiteral("01")});
    EXPECT_TRUE(warehouses.contains(Column(dialog, QStringLiteral("TH009")))) << "only the clerk's warehouses";
    EXPECT_EQ(static_cast<int>(dialog.Rows.size()),
              Count(LinesOfType + QStringLiteral("AND TG004='01' AND (TH009 IN ('A01','A02','B01') OR TH001 IS NULL)"), {type}));

    // A host run skips the FROM filter and may see more lines, never other factories.
    TDataPacket host = Run(in, 1, Variant::ArrayOf({type, QString()}));
    EXPECT_EQ(Column(host, QStringLiteral("TG004")), QSet<QString>{QStringLiteral("01")});
    EXPECT_GT(host.Rows.size(), dialog.Rows.size());

    // The summary through the filter: SUM columns over the clerk's lines only.
    in.Summary = true;
    in.KeyWarehouse = true;
    TDataPacket summary = Run(in, 0, Values(type), true);
    ASSERT_FALSE(summary.Rows.empty());
    EXPECT_TRUE(warehouses.contains(Column(summary, QStringLiteral("TH009"))));
}

TEST_F(Kelm24QueryDb, SendStatusRestrictsMailAndFaxRuns)
{
    const QString number = direct.Select(QStringLiteral("SELECT TG002 FROM PURTG WHERE TG001=? ORDER BY TG002"), {type})[0][0].toString();
    direct.Exec(QStringLiteral("UPDATE PURTG SET TG045=1 WHERE TG001=? AND TG002=?"), {type, number});
    TKelm24QueryInput in = Input();
    in.SendMode = 1;
    Variant values = Values(type);
    values[7] = SendStatusValue(QStringLiteral("未传送"));
    EXPECT_FALSE(Column(Run(in, 0, values), QStringLiteral("TG002")).contains(number));
    values[7] = SendStatusValue(QStringLiteral("已传送"));
    EXPECT_EQ(Column(Run(in, 0, values), QStringLiteral("TG002")), QSet<QString>{number});
    in.SendMode = 0;
    EXPECT_TRUE(Column(Run(in, 0, values), QStringLiteral("TG002")).contains(number)) << "printing ignores the send status";
}

TEST_F(Kelm24QueryDb, OuterJoinStatementIsRefusedByTheServer)
{
    // The server answers SQL type 0; a statement written for type 1 is not
    // run with a wrong result but refused with the database's message.
    ASSERT_EQ(as.SQLType(), 0);
    TKelm24QueryInput in = Input();
    in.SQLType = 1;
    try {
        Run(in, 0, Values(type));
        ADD_FAILURE() << "the (+) statement ran";
    } catch (const Exception& e) {
        EXPECT_FALSE(e.Message().isEmpty());
    }
}
