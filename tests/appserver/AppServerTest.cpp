#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "tests/appserver/ReceiptQuery.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class AppServerTest : public ::testing::Test {
protected:
    test::TSampleInstall install;
    Variant server{std::make_shared<TAppServer>(install.Settings())};
    TAppServerObject as{server};
    TDataLayer direct{install.Settings()};

    void Login(const QString& user = TSampleCompany::LeaderUser)
    {
        as.Connect(TSampleCompany::ProgramCode, user, TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    }
    TDataPacket Records(const QString& sql, const Variant& params = Variant())
    {
        return TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, params}));
    }
    QVariant One(const QString& sql, const TSqlRow& binds = {})
    {
        QVector<TSqlRow> rows = direct.Select(sql, binds);
        return rows.isEmpty() ? QVariant() : rows[0][0];
    }
    QString Raised(const std::function<void()>& run)
    {
        try {
            run();
        } catch (const Exception& e) {
            return e.Message();
        }
        return QStringLiteral("<nothing raised>");
    }
};

}  // namespace

TEST_F(AppServerTest, DataMembersAnswerOnlyInsideASession)
{
    EXPECT_TRUE(Raised([&] { as.SQLType(); }).contains(QStringLiteral("Connect")));
    EXPECT_TRUE(Raised([&] { Records(QStringLiteral("SELECT TG001 FROM PURTG")); }).contains(QStringLiteral("Connect")));
    EXPECT_TRUE(Raised([&] { as.RunFreeSQL(QStringLiteral("SELECT * FROM ADMMQ")); }).contains(QStringLiteral("Connect")));

    EXPECT_TRUE(Raised([&] { as.Connect(QStringLiteral("KELM24"), QStringLiteral("Nobody"), QStringLiteral("DEMO"), {}, {}); })
                    .contains(QStringLiteral("用户 Nobody 不存在")));
    EXPECT_TRUE(Raised([&] { as.Connect(QStringLiteral("KELM24"), QStringLiteral("Leader"), QStringLiteral("ACME"), {}, {}); })
                    .contains(QStringLiteral("公司 ACME 不存在")));
    EXPECT_TRUE(Raised([&] { server.Call(member::Connect, {QStringLiteral("KELM24")}); }).contains(QStringLiteral("数组")));
    EXPECT_TRUE(Raised([&] { as.SQLType(); }).contains(QStringLiteral("Connect")));

    Login();
    EXPECT_EQ(as.SQLType(), 0);
    EXPECT_TRUE(Raised([&] { server.Call(QStringLiteral("FormatDisk")); }).contains(QStringLiteral("FormatDisk")));
    // A failed Connect closes the session it replaces.
    EXPECT_ANY_THROW(as.Connect(QStringLiteral("KELM24"), QStringLiteral("Nobody"), QStringLiteral("DEMO"), {}, {}));
    EXPECT_ANY_THROW(as.SQLType());
}

TEST_F(AppServerTest, PowerDataCarriesRightsAndRowRules)
{
    Login();
    Variant leader = as.PowerData();
    ASSERT_EQ(leader.Count(), 6);
    EXPECT_EQ(leader[0].ToString(), QString());
    QStringList fields = leader[1].ToString().split(QLatin1Char(','));
    ASSERT_EQ(fields.size(), 6);
    EXPECT_EQ(fields[0], QStringLiteral("王建国"));
    EXPECT_EQ(fields[3], QStringLiteral("YYYYYYYY"));
    EXPECT_EQ(leader[4].ToString(), QStringLiteral("N"));
    EXPECT_EQ(leader[5][0].ToInt(), 0);

    Login(TSampleCompany::ClerkUser);
    Variant clerk = as.PowerData();
    EXPECT_EQ(clerk[0].ToString(), QStringLiteral("(PURTG.TG004='01')"));
    EXPECT_EQ(clerk[1].ToString().split(QLatin1Char(','))[3], QStringLiteral("YNNNNYYN"));
    EXPECT_EQ(clerk[4].ToString(), QStringLiteral("Y"));
    ASSERT_EQ(clerk[5][0].ToInt(), 1);
    EXPECT_EQ(clerk[5][1].ToString(), QStringLiteral("PURTH PURTH.TH009 IN ('A01','A02','B01')"));

    // The permission condition, merged as the option form merges it, keeps
    // the clerk to factory 01.
    TDataPacket rows = Records(test::ReceiptDetailStatement(QStringLiteral("3401"), {}, {}, false, false, clerk[0].ToString()));
    ASSERT_FALSE(rows.Rows.empty());
    int factory = rows.FieldIndex(QStringLiteral("TG004"));
    for (const auto& row : rows.Rows) EXPECT_EQ(row[factory].ToString(), QStringLiteral("01"));
    EXPECT_LT(rows.Rows.size(), Records(test::ReceiptDetailStatement(QStringLiteral("3401"), {}, {}, false, false)).Rows.size());
}

TEST_F(AppServerTest, ReceiptDetailStatementAnswersTheReceiptRows)
{
    Login();
    const QString from = One(QStringLiteral("SELECT MIN(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'")).toString();
    const QString to = One(QStringLiteral("SELECT MAX(TG002) FROM (SELECT TG002 FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%' ORDER BY TG002 LIMIT 8) AS T")).toString();
    TDataPacket p = Records(test::ReceiptDetailStatement(QStringLiteral("3401"), from, to, false, false));

    // One row per line, one row for a receipt without lines.
    const int expected = One(QStringLiteral("SELECT COUNT(*) FROM PURTG LEFT JOIN PURTH ON TG001=TH001 AND TG002=TH002 "
                                            "WHERE TG001='3401' AND TG002 BETWEEN ? AND ?"), {from, to}).toInt();
    ASSERT_EQ(static_cast<int>(p.Rows.size()), expected);
    ASSERT_GT(expected, 8);
    const int tg002 = p.FieldIndex(QStringLiteral("TG002")), th003 = p.FieldIndex(QStringLiteral("TH003"));
    const int th011t = p.FieldIndex(QStringLiteral("TH011T")), th011 = p.FieldIndex(QStringLiteral("TH011"));
    const int warehouseName = p.FieldIndex(QStringLiteral("CMSMC002")), th009 = p.FieldIndex(QStringLiteral("TH009"));
    const int tg019t = p.FieldIndex(QStringLiteral("TG019T")), tg019 = p.FieldIndex(QStringLiteral("TG019"));
    const int tg028 = p.FieldIndex(QStringLiteral("TG028")), mf010a = p.FieldIndex(QStringLiteral("MF010A"));
    ASSERT_GE(std::min({tg002, th003, th011t, th011, warehouseName, th009, tg019t, tg019, tg028, mf010a}), 0);
    EXPECT_EQ(p.Fields[p.FieldIndex(QStringLiteral("TG001"))].Type, TFieldType::String);
    EXPECT_EQ(p.Fields[p.FieldIndex(QStringLiteral("TG012"))].Type, TFieldType::Integer);
    EXPECT_EQ(p.Fields[p.FieldIndex(QStringLiteral("TG017"))].Type, TFieldType::Float);

    QString previous;
    for (const auto& row : p.Rows) {
        const QString key = row[tg002].ToString() + QLatin1Char('/') + (row[th003].IsNull() ? QString() : row[th003].ToString());
        EXPECT_LT(previous, key) << "ordered by number and line";
        previous = key;
        EXPECT_GE(row[tg002].ToString(), from);
        EXPECT_LE(row[tg002].ToString(), to);
        EXPECT_DOUBLE_EQ(row[tg019t].ToDouble(), row[tg019].ToDouble() + row[tg028].ToDouble());
        if (row[th009].IsNull()) continue;  // a receipt without lines
        // Joined by the line's warehouse, not whatever MC001 SQLite found first.
        EXPECT_EQ(row[warehouseName].ToString(),
                  One(QStringLiteral("SELECT MC002 FROM CMSMC WHERE MC001=?"), {row[th009].ToString()}).toString());
        if (!row[th011].ToString().isEmpty()) {
            EXPECT_TRUE(row[th011t].ToString().startsWith(row[th011].ToString() + QLatin1Char('-'))) << row[th011t].ToString().toStdString();
        }
        EXPECT_FALSE(row[mf010a].ToString().isEmpty());
    }
}

TEST_F(AppServerTest, ExpressionColumnsKeepTheirTypeWhenTheFirstReceiptHasNoLines)
{
    Login();
    const QVector<TSqlRow> bare = direct.Select(QStringLiteral(
        "SELECT TG001, TG002 FROM PURTG WHERE NOT EXISTS (SELECT 1 FROM PURTH WHERE TH001=TG001 AND TH002=TG002) ORDER BY TG001, TG002"));
    ASSERT_FALSE(bare.isEmpty()) << "the sample company has receipts without lines";
    const QString type = bare[0][0].toString(), number = bare[0][1].toString();
    TDataPacket p = Records(test::ReceiptDetailStatement(type, number, QString(), false, false));
    ASSERT_GT(p.Rows.size(), 1u);
    const int th019t = p.FieldIndex(QStringLiteral("TH019T"));
    ASSERT_TRUE(p.Rows[0][th019t].IsNull()) << "the first row is the receipt without lines";
    EXPECT_EQ(p.Fields[th019t].Type, TFieldType::Float);
    EXPECT_EQ(p.Fields[p.FieldIndex(QStringLiteral("TG019T"))].Type, TFieldType::Float);
    EXPECT_EQ(p.Fields[p.FieldIndex(QStringLiteral("TH011T"))].Type, TFieldType::String);
    TDataPacket counted = Records(QStringLiteral("SELECT TG001, (TG012+1) AS PRINTS, NULL AS BLANKCOL FROM PURTG"));
    EXPECT_EQ(counted.Fields[1].Type, TFieldType::Integer);
    EXPECT_EQ(counted.Fields[2].Type, TFieldType::String) << "no value says otherwise";
}

TEST_F(AppServerTest, ReceiptSummaryStatementMergesLinesByTheChosenKeys)
{
    Login();
    const QString from = One(QStringLiteral("SELECT MIN(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'")).toString();
    const QString to = One(QStringLiteral("SELECT MAX(TG002) FROM (SELECT TG002 FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%' ORDER BY TG002 LIMIT 12) AS T")).toString();
    const double received = One(QStringLiteral("SELECT SUM(TH007) FROM PURTH WHERE TH001='3401' AND TH002 BETWEEN ? AND ?"), {from, to}).toDouble();
    const int lines = One(QStringLiteral("SELECT COUNT(*) FROM PURTH WHERE TH001='3401' AND TH002 BETWEEN ? AND ?"), {from, to}).toInt();
    ASSERT_GT(received, 0);

    struct TCase { test::TSummaryKeys keys; QString groupColumns; };
    const TCase cases[] = {{{false, false, false}, QString()},
                           {{true, false, false}, QStringLiteral(",TH009")},
                           {{false, true, true}, QStringLiteral(",TH018,TH010")},
                           {{true, true, true}, QStringLiteral(",TH009,TH018,TH010")}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.groupColumns.toStdString());
        TDataPacket p = Records(test::ReceiptSummaryStatement(QStringLiteral("3401"), from, to, c.keys));
        // One row per receipt, item, unit and chosen key; a receipt without lines gives one row.
        const int expected = One(QStringLiteral("SELECT COUNT(*) FROM (SELECT DISTINCT TG002,TH004,TH005,TH006,TH008,THC02%1 FROM PURTG "
                                                "LEFT JOIN PURTH ON TG001=TH001 AND TG002=TH002 WHERE TG001='3401' AND TG002 BETWEEN ? AND ?) AS T")
                                     .arg(c.groupColumns), {from, to}).toInt();
        ASSERT_EQ(static_cast<int>(p.Rows.size()), expected);
        EXPECT_LT(expected, lines + 12) << "lines of one item are merged";
        const int th007 = p.FieldIndex(QStringLiteral("TH007")), td015 = p.FieldIndex(QStringLiteral("TD015"));
        const int tg002 = p.FieldIndex(QStringLiteral("TG002")), th019t = p.FieldIndex(QStringLiteral("TH019T"));
        const int th019 = p.FieldIndex(QStringLiteral("TH019")), mf010b = p.FieldIndex(QStringLiteral("MF010B"));
        ASSERT_GE(std::min({th007, td015, tg002, th019t, th019, mf010b}), 0);
        EXPECT_EQ(p.FieldIndex(QStringLiteral("CMSMC002")) >= 0, c.keys.Warehouse);
        EXPECT_EQ(p.FieldIndex(QStringLiteral("TH009")) >= 0, c.keys.Warehouse);
        EXPECT_EQ(p.FieldIndex(QStringLiteral("TH010")) >= 0, c.keys.Lot);
        double sum = 0;
        QString previous;
        for (const auto& row : p.Rows) {
            EXPECT_LE(previous, row[tg002].ToString()) << "ordered by number";
            previous = row[tg002].ToString();
            EXPECT_EQ(row[td015].ToInt(), 0);
            EXPECT_EQ(row[mf010b].ToString(), QStringLiteral("RENMINBI"));
            if (row[th007].IsNull()) continue;  // a receipt without lines
            sum += row[th007].ToDouble();
            EXPECT_GE(row[th019t].ToDouble(), row[th019].ToDouble() - 1e-6);
        }
        EXPECT_NEAR(sum, received, 1e-6);
    }
}

TEST_F(AppServerTest, LayoutLookupsOfTheReceiptRun)
{
    Login();
    const QVector<TSqlRow> line = direct.Select(QStringLiteral(
        "SELECT TH004, TH008, TH001, TH002, TH009, TH018, TH010, TH011, TH012, TH013 FROM PURTH WHERE TH011<>'' ORDER BY TH001, TH002, TH003 LIMIT 1"));
    ASSERT_EQ(line.size(), 1);
    const TSqlRow& l = line[0];
    // The total priced quantity of one receipt, through the layout's second data set.
    TDataPacket total = TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider2"),
        QStringLiteral(" SELECT SUM(TH016) as TH016B FROM $$PURTH PURTH  WHERE TH001='") + l[2].toString() + QStringLiteral("' AND TH002='") +
            l[3].toString() + QStringLiteral("' "), Variant()}));
    ASSERT_EQ(total.Rows.size(), 1u);
    EXPECT_EQ(total.Fields[0].Name, QStringLiteral("TH016B"));
    EXPECT_NEAR(total.Rows[0][0].ToDouble(),
                One(QStringLiteral("SELECT SUM(TH016) FROM PURTH WHERE TH001=? AND TH002=?"), {l[2], l[3]}).toDouble(), 1e-9);

    // The merged layout's delivered quantity: tables named "database..table", values bound by name.
    const QString db = QStringLiteral("DEMO");
    const QString merged = QStringLiteral(" SELECT  TD015,TD009 FROM  ") + db + QStringLiteral("..") + QStringLiteral("PURTD ") +
                           QStringLiteral(" INNER JOIN ") + db + QStringLiteral("..") +
                           QStringLiteral("PURTH ON TH011 = TD001 AND TH012=TD002 AND TH013=TD003 ") +
                           QStringLiteral(" WHERE TH004=:TH004 AND TH008=:TH008 AND TH001=:TH001 AND TH002=:TH002 ") +
                           QStringLiteral(" AND TH009=:TH009") + QStringLiteral(" AND TH018=:TH018") + QStringLiteral(" AND TH010=:TH010");
    auto pair = [](const char* name, const Variant& value) { return Variant::ArrayOf({QString::fromLatin1(name), value}); };
    const Variant params = Variant::ArrayOf({pair("TH004", l[0].toString()), pair("TH008", l[1].toString()), pair("TH001", l[2].toString()),
                                             pair("TH002", l[3].toString()), pair("TH009", l[4].toString()), pair("TH018", l[5].toDouble()),
                                             pair("TH010", l[6].toString())});
    TDataPacket delivered = TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider2"), merged, params}));
    ASSERT_GE(delivered.Rows.size(), 1u);
    EXPECT_DOUBLE_EQ(delivered.Rows[0][0].ToDouble(),
                     One(QStringLiteral("SELECT TD015 FROM PURTD WHERE TD001=? AND TD002=? AND TD003=?"), {l[7], l[8], l[9]}).toDouble());
}

TEST_F(AppServerTest, ProvidersRunOneQueryWithBoundParameters)
{
    Login();
    TDataPacket p = Records(QStringLiteral("SELECT TH001, TH002 FROM $$PURTH PURTH WHERE TH001=:TYPE"),
                            Variant::ArrayOf({Variant::ArrayOf({QStringLiteral("TYPE"), QStringLiteral("3402")})}));
    ASSERT_FALSE(p.Rows.empty());
    for (const auto& row : p.Rows) EXPECT_EQ(row[0].ToString(), QStringLiteral("3402"));
    EXPECT_TRUE(Raised([&] { Records(QStringLiteral("DELETE FROM PURTG")); }).contains(QStringLiteral("SELECT")));
    EXPECT_TRUE(Raised([&] { server.Call(member::AS_GetRecords, {QStringLiteral("pvdAll"), QStringLiteral("SELECT 1 FROM PURTG")}); })
                    .contains(QStringLiteral("pvdAll")));
    EXPECT_TRUE(Raised([&] { Records(QStringLiteral("SELECT NOPE FROM PURTG")); }).contains(QStringLiteral("NOPE")));
    EXPECT_EQ(One(QStringLiteral("SELECT COUNT(*) FROM PURTG")).toInt(), 60) << "nothing deleted";
}

TEST_F(AppServerTest, ConditionSetsRoundTrip)
{
    Login();
    const QString user = TSampleCompany::LeaderUser, program = TSampleCompany::ProgramCode;
    auto sets = [&] {
        EXPECT_EQ(as.LoadTable(Variant::ArrayOf({user, program})), QString());
        return TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("pvdConSave"), Variant(), Variant()}));
    };
    auto insert = [&](const QString& name, const QString& values, bool replace) {
        return as.InsertConTable(Variant::ArrayOf({name, user, QStringLiteral("20240601"), program,
                                                   QStringLiteral("edtTG001.text;splTG002.style;"), values, replace}));
    };
    EXPECT_TRUE(sets().Rows.empty());
    EXPECT_EQ(insert(QStringLiteral("本月一般进货"), QStringLiteral("3401\r\nsp_Range\x03" "A\x03" "B\r\n"), false), QString());
    EXPECT_EQ(insert(QStringLiteral("本月一般进货"), QStringLiteral("x"), false), QStringLiteral("此方案名称已经存在！"));
    EXPECT_EQ(insert(QStringLiteral("本月一般进货"), QStringLiteral("3402\r\n\r\n"), true), QString());
    TDataPacket p = sets();
    ASSERT_EQ(p.Rows.size(), 1u);
    EXPECT_EQ(p.Rows[0][p.FieldIndex(QStringLiteral("VCONDITION"))].ToString(), QStringLiteral("3402\r\n\r\n"));
    EXPECT_EQ(p.Rows[0][p.FieldIndex(QStringLiteral("CREATE_DATE"))].ToString(), QStringLiteral("20240601"));

    // Names: 20 bytes in the data code page at most, never blank.
    EXPECT_EQ(insert(QStringLiteral("一二三四五六七八九十"), QString(), false), QString());
    EXPECT_EQ(insert(QStringLiteral("一二三四五六七八九十A"), QString(), false), QStringLiteral("方案名长度不可大于20!"));
    EXPECT_EQ(insert(QStringLiteral("  "), QString(), false), QStringLiteral("方案名不可空白!"));

    const Variant oldKey = Variant::ArrayOf({QStringLiteral("本月一般进货"), user, program});
    const Variant newKey = Variant::ArrayOf({QStringLiteral("上月进货"), user, program});
    const Variant taken = Variant::ArrayOf({QStringLiteral("一二三四五六七八九十"), user, program});
    EXPECT_EQ(as.ChangeConName(oldKey, taken), QStringLiteral("此方案名称已经存在！"));
    EXPECT_EQ(as.ChangeConName(oldKey, newKey), QString());
    EXPECT_EQ(as.ChangeConName(oldKey, newKey), QStringLiteral("方案 本月一般进货 不存在"));
    EXPECT_EQ(as.DeleteConTable(newKey), QString());
    EXPECT_FALSE(as.DeleteConTable(newKey).isEmpty());
    EXPECT_EQ(sets().Rows.size(), 1u);

    // A session keeps to its own user's sets.
    EXPECT_TRUE(Raised([&] { as.LoadTable(Variant::ArrayOf({QStringLiteral("DS"), program})); }).contains(QStringLiteral("DS")));
    EXPECT_TRUE(Raised([&] { as.DeleteConTable(Variant::ArrayOf({QStringLiteral("x"), QStringLiteral("DS"), program})); })
                    .contains(QStringLiteral("DS")));
    EXPECT_TRUE(Raised([&] { as.InsertConTable(Variant::ArrayOf({QStringLiteral("x"), user})); }).contains(QStringLiteral("InsertConTable")));
}

TEST_F(AppServerTest, LayoutsStoreReviseLockAndDelete)
{
    Login();
    const QString cls = QStringLiteral("TfrmKelm24Fmt"), style = QStringLiteral("宽版格式");
    Variant answer;
    EXPECT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 0);
    EXPECT_TRUE(answer.IsEmpty());

    const Variant lines = Variant::ArrayOf({QStringLiteral("inherited frmKelm24Fmt: TfrmKelm24Fmt"),
                                            QStringLiteral("  Caption = '进货单'"), QString(), QStringLiteral("end")});
    auto store = [&](bool update, const Variant& params) { return as.RunInsUpdSQL(update, lines, params, 1); };
    EXPECT_EQ(store(false, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QStringLiteral("PUR"), cls, style,
                                             QString(), QStringLiteral("chk01:TBitCheckBox=0")})), 1);
    EXPECT_EQ(store(false, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QStringLiteral("PUR"), cls, style,
                                             QString(), QString()})), -1) << "a second insert of one key";
    ASSERT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 1);
    ASSERT_EQ(answer.Count(), 2);
    EXPECT_EQ(answer[0].ToString(), QStringLiteral("0"));
    ASSERT_EQ(answer[1].Count(), 4);
    EXPECT_EQ(answer[1][1].ToString(), QStringLiteral("  Caption = '进货单'"));
    EXPECT_EQ(answer[1][2].ToString(), QString());
    EXPECT_EQ(One(QStringLiteral("SELECT NT006 FROM WARRANT WHERE NT002=?"), {style}).toString(), QStringLiteral("chk01:TBitCheckBox=0"));

    // Lock with the revision read, then store the next one; a writer still
    // holding the old revision is refused.
    EXPECT_EQ(as.RunUpdFlagSQL(Variant::ArrayOf({0, QStringLiteral("0"), cls, style})), 1);
    EXPECT_EQ(store(true, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QString(), QStringLiteral("1"), cls,
                                            style, QString()})), 1);
    EXPECT_EQ(as.RunUpdFlagSQL(Variant::ArrayOf({0, QStringLiteral("0"), cls, style})), -1);
    ASSERT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 1);
    EXPECT_EQ(answer[0].ToString(), QStringLiteral("1"));

    // Two designers lock the same revision: the one whose lock was taken over
    // is told its store failed, instead of overwriting the other's layout.
    TAppServerObject other(Variant(std::make_shared<TAppServer>(install.Settings())));
    other.Connect(TSampleCompany::ProgramCode, QStringLiteral("DS"), TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    EXPECT_EQ(as.RunUpdFlagSQL(Variant::ArrayOf({1, QStringLiteral("1"), cls, style})), 1);
    EXPECT_EQ(other.RunUpdFlagSQL(Variant::ArrayOf({1, QStringLiteral("1"), cls, style})), 1);
    const Variant theirs = Variant::ArrayOf({QStringLiteral("object theirs: TQRLabel"), QStringLiteral("end")});
    EXPECT_EQ(store(true, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QString(), QStringLiteral("2"), cls,
                                            style, QString()})), -1);
    EXPECT_EQ(other.RunInsUpdSQL(true, theirs, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("DS"), QString(),
                                                                 QStringLiteral("2"), cls, style, QString()}), 1), 1);
    ASSERT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 1);
    EXPECT_EQ(answer[0].ToString(), QStringLiteral("2"));
    EXPECT_EQ(answer[1][0].ToString(), QStringLiteral("object theirs: TQRLabel"));
    // A store without a lock, or a second one on a lock already used, is refused too.
    EXPECT_EQ(other.RunInsUpdSQL(true, theirs, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("DS"), QString(),
                                                                 QStringLiteral("3"), cls, style, QString()}), 1), -1);

    EXPECT_EQ(as.RunDeleteSQL(Variant::ArrayOf({cls, style})), 1);
    EXPECT_EQ(as.RunDeleteSQL(Variant::ArrayOf({cls, style})), 0);
    EXPECT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 0);
    EXPECT_TRUE(Raised([&] { server.Call(member::RunInsUpdSQL, {true, lines, Variant::ArrayOf({1, 2}), 1}); })
                    .contains(QStringLiteral("RunInsUpdSQL")));
}

TEST_F(AppServerTest, UpdatePrintCountCountsOneDocument)
{
    Login();
    const QString number = One(QStringLiteral("SELECT MIN(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'")).toString();
    const QString condition = QStringLiteral("TG001='3401' ") + QStringLiteral(" and TG002=") + QStringLiteral("'%1' ").arg(number);
    const int before = One(QStringLiteral("SELECT TG012 FROM PURTG WHERE TG001='3401' AND TG002=?"), {number}).toInt();
    const int others = One(QStringLiteral("SELECT SUM(TG012) FROM PURTG")).toInt();
    as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), condition);
    as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), condition);
    EXPECT_EQ(One(QStringLiteral("SELECT TG012 FROM PURTG WHERE TG001='3401' AND TG002=?"), {number}).toInt(), before + 2);
    EXPECT_EQ(One(QStringLiteral("SELECT SUM(TG012) FROM PURTG")).toInt(), others + 2);
    // The send count works the same way.
    as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG045"), condition);
    EXPECT_EQ(One(QStringLiteral("SELECT TG045 FROM PURTG WHERE TG001='3401' AND TG002=?"), {number}).toInt(), 1);

    EXPECT_TRUE(Raised([&] { as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG013"), condition); }).contains(QStringLiteral("TG013")));
    EXPECT_TRUE(Raised([&] { as.UpdatePrintCount(QStringLiteral("$$SECRET"), QStringLiteral("TG012"), condition); }).contains(QStringLiteral("SECRET")));
    EXPECT_TRUE(Raised([&] { as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), QStringLiteral(" ")); }).contains(QStringLiteral("条件")));
    EXPECT_TRUE(Raised([&] {
        as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), condition + QStringLiteral("; DELETE FROM PURTH"));
    }).contains(QStringLiteral("单据键")));
    EXPECT_TRUE(Raised([&] {
        as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), QStringLiteral("TG001=(SELECT MAX(MF003) FROM ADMMF)"));
    }).contains(QStringLiteral("SELECT")));
    EXPECT_EQ(One(QStringLiteral("SELECT SUM(TG012) FROM PURTG")).toInt(), others + 2);
}

TEST_F(AppServerTest, RunFreeSqlCountsRowsAndRefusesOthers)
{
    Login();
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='3402'")), 1);
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT * FROM $$QNSMC WHERE MC002='3401'")), 0);
    const QString log = QStringLiteral(
        "INSERT INTO $$ADMTA (COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG,TA001,TA002,TA003,TA004,TA005,TA006) VALUES('DEMO','Leader',"
        "'PUR','20240601','1','KELM24','S0001','Y','Send e-Mail Complete !','10:20:30','20240601')");
    EXPECT_EQ(as.RunFreeSQL(log), 1);
    EXPECT_EQ(One(QStringLiteral("SELECT TA004 FROM ADMTA WHERE TA002='S0001'")).toString(), QStringLiteral("Send e-Mail Complete !"));
    // A message with a quote breaks the statement: a failure count, not a crash.
    EXPECT_EQ(as.RunFreeSQL(QString(log).replace(QStringLiteral("Complete !"), QStringLiteral("Can't send"))), -1);
    EXPECT_FALSE(server.Get(QStringLiteral("LastError")).ToString().isEmpty());
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("DELETE FROM ADMTA; DELETE FROM PURTG")), -1);
    EXPECT_TRUE(server.Get(QStringLiteral("LastError")).ToString().contains(QStringLiteral("一条")));
    EXPECT_EQ(One(QStringLiteral("SELECT COUNT(*) FROM ADMTA")).toInt(), 1);

    // Users, their rights and row rules, and the condition sets of others are
    // not the free statement's to write.
    Login(TSampleCompany::ClerkUser);
    const QStringList refused = {QStringLiteral("UPDATE $$ADMMF SET MF005='Y' WHERE MF001='Clerk'"),
                                 QStringLiteral("DELETE FROM $$ADMMR WHERE MR001='Clerk'"),
                                 QStringLiteral("INSERT INTO ADMMG (MG001, MG002, MG003) VALUES ('Clerk', 'KELM24', 'YYYYYYYY')"),
                                 QStringLiteral("DELETE FROM GENES WHERE CREATOR='DS'")};
    for (const QString& sql : refused) {
        EXPECT_EQ(as.RunFreeSQL(sql), -1) << sql.toStdString();
        EXPECT_TRUE(server.Get(QStringLiteral("LastError")).ToString().contains(QStringLiteral("不能"))) << sql.toStdString();
    }
    EXPECT_EQ(One(QStringLiteral("SELECT MF005 FROM ADMMF WHERE MF001='Clerk'")).toString(), QStringLiteral("N"));
    EXPECT_GT(One(QStringLiteral("SELECT COUNT(*) FROM ADMMR WHERE MR001='Clerk'")).toInt(), 0);
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT MF001 FROM ADMMF WHERE MF001='Clerk'")), 1) << "reading them stays allowed";
}

TEST_F(AppServerTest, ApprovalHistoryAsArrayAndAsWebServiceText)
{
    Login();
    const QString sheet = One(QStringLiteral("SELECT MIN(TA002) FROM QNSTA WHERE TA001='3402'")).toString();
    ASSERT_FALSE(sheet.isEmpty());
    const QString request = QStringLiteral("<FormSet>  <Form wfProgramID=''  wfFormType='3402'  wfSheetNo ='%1'  wfParameter3='' "
                                           " wfParameter4='' /> \r\n <Form wfProgramID=''  wfFormType='3401'  wfSheetNo ='X' /> \r\n</FormSet> ")
                                .arg(sheet);
    Variant docs = as.GetQNData(request);
    ASSERT_EQ(docs[0].ToInt(), 1);
    const Variant doc = docs[1];
    EXPECT_EQ(doc[1].ToString(), QStringLiteral("3402"));
    EXPECT_EQ(doc[2].ToString(), sheet);
    const Variant records = doc[5];
    ASSERT_EQ(records.DimCount(), 2);
    EXPECT_EQ(records.Count(1), 13);
    ASSERT_EQ(records.Count(2), 3);
    EXPECT_EQ(records.At(10, 2).ToString(), QStringLiteral("赵志远"));
    EXPECT_EQ(records.At(12, 2).ToString(), QStringLiteral("总经理"));
    EXPECT_EQ(as.GetQNData(QStringLiteral("<FormSet> </FormSet>"))[0].ToInt(), 0);

    const QString xml = as.GetWebserviceQNData(request, TSampleCompany::ProgramCode).ToString();
    EXPECT_TRUE(xml.startsWith(QStringLiteral("<FormSet><Form wfFormType=\"3402\" wfSheetNo=\"%1\">").arg(sheet))) << xml.toStdString();
    EXPECT_EQ(xml.count(QStringLiteral("||")), 3);
    EXPECT_TRUE(xml.contains(QStringLiteral("3  1  赵志远  总经理  同意")));
}
