#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "kelm24/HostObjects.h"
#include "host/Counter.h"
#include "host/HostManager.h"
#include "runtime/TextUtils.h"
#include "tests/AllowSkip.h"
#include "tests/appserver/TestSupport.h"

#include <QDir>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class HostObjectsTest : public ::testing::Test {
protected:
    HostObjectsTest()
    {
        Variant server(std::make_shared<TAppServer>(install.Settings()));
        TAppServerObject(server).Connect(QStringLiteral("HOST"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                         QStringLiteral("DEMO"), QString());
        data = std::make_shared<THostData>(server);
        data->Company = TSampleCompany::CompanyCode;
        data->ServerIniFile = install.IniFile();
        chooser = std::make_shared<TScriptedChooser>();
        options.UpdateFolder = update.path();
        host = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(data, chooser, options)));
    }
    bool Check(const QString& table, const QString& number, const Variant& keys, Variant& result)
    {
        return TValidatorObject(hostObject.Validator()).CheckValue(table, number, QStringLiteral("DEMO"), keys, result);
    }
    bool Query(const QString& table, const QString& number, const Variant& keys, Variant& result)
    {
        return TValidatorObject(hostObject.Validator()).QueryData(table, number, QStringLiteral("DEMO"), keys, result);
    }
    Variant Counter(const QString& function, Variant args)
    {
        return TCounterObject(hostObject.Counter()).GetCounter(function, args, QStringLiteral("DEMO"), QStringLiteral("DEMO"));
    }
    static Variant PickArgs(const QString& table, const QString& number, const Variant& keys, bool multiple, const QString& typed)
    {
        Variant a = Variant::CreateArray(0, 18);
        a[0] = table;
        a[1] = number;
        a[2] = keys;
        a[3] = multiple;
        a[4] = typed;
        return a;
    }

    test::TSampleInstall install;
    QTemporaryDir update;
    std::shared_ptr<THostData> data;
    std::shared_ptr<TScriptedChooser> chooser;
    THostOptions options;
    Variant host;
    THostObject hostObject{Variant()};
    void SetUp() override { hostObject = THostObject(host); }
};

}  // namespace

TEST_F(HostObjectsTest, MessagesInChineseAndEnglishWithTheirArguments)
{
    EXPECT_EQ(hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("000038")), QStringLiteral("主程序传入的参数不足, 无法执行!"));
    const QString w2 = hostObject.GetMessage(QStringLiteral("W"), QStringLiteral("000002"));
    EXPECT_EQ(FormatMessage(w2, {QStringLiteral("选择条件文字"), QStringLiteral("7"), QStringLiteral("6")}),
              QStringLiteral("选择条件文字 的数组大小应为 7, 实际为 6!"));
    EXPECT_EQ(FormatMessage(QStringLiteral("%s:%s 100%% %d"), {QStringLiteral("127.0.0.1")}), QStringLiteral("127.0.0.1:%s 100% %d"));
    for (const char* ref : {"E/000003", "E/000005", "E/000006", "E/000025", "E/000030", "E/000036", "E/000037", "E/100007",
                            "E/100319", "W/000003", "W/000004", "W/000006", "W/000014", "I/000003", "I/000011", "I/000012",
                            "R/100235", "R/100236", "R/200235", "C/000001", "D/000001", "Q/000001"}) {
        const QStringList parts = QString::fromLatin1(ref).split(QLatin1Char('/'));
        EXPECT_FALSE(hostObject.GetMessage(parts[0], parts[1]).isEmpty()) << ref;
    }
    EXPECT_THROW(hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("999999")), Exception);
    // The form's own error "E;-1" is asked for as E/1.
    EXPECT_EQ(hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("1")), hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("000001")));
    EXPECT_THROW(hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("-1")), Exception);

    // Placeholders match what the callers pass: the form fills ten text slots
    // for a reported reference, a shown message gets the arguments its caller names.
    auto format = [&](const char* type, const char* id, const QList<Variant>& args) {
        bool ok = true;
        const QString text = FormatText(hostObject.GetMessage(QString::fromLatin1(type), QString::fromLatin1(id)), args, &ok);
        EXPECT_TRUE(ok) << type << "/" << id;
        return text;
    };
    QList<Variant> tenSlots;
    for (int i = 0; i < 10; ++i) tenSlots << Variant(QString());
    for (const char* id : {"000005", "000006", "000030", "000036", "000037", "000038"}) format("E", id, tenSlots);
    format("W", "000014", tenSlots);
    QList<Variant> captionFailed = tenSlots;
    captionFailed[0] = hostObject.GetMessage(QStringLiteral("I"), QStringLiteral("000011"));
    EXPECT_TRUE(format("E", "000030", captionFailed).contains(captionFailed[0].ToString()));
    const std::pair<const char*, const char*> withoutArguments[] = {{"I", "000003"}, {"W", "000006"}, {"E", "100007"},
                                                                     {"E", "100319"}, {"R", "200235"}};
    for (const auto& [type, id] : withoutArguments) format(type, id, {});
    format("E", "000003", {QStringLiteral("选择进货单别")});
    format("W", "000004", {hostObject.GetMessage(QStringLiteral("R"), QStringLiteral("100235"))});
    EXPECT_EQ(format("E", "000025", {QStringLiteral("127.0.0.1"), 211}), QStringLiteral("连接应用服务器 127.0.0.1:211 时发生错误, 无法取得报表资料!"));
    format("W", "000002", {QStringLiteral("选择条件文字"), 7, 6});
    format("W", "000003", {QStringLiteral("选择条件文字"), 7, 3});
    format("I", "000012", {QStringLiteral("Letter"), QStringLiteral("2159"), QStringLiteral("2794"), QStringLiteral("MM")});

    options.Language = QStringLiteral("ENG");
    THostObject english(Variant(std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(data, chooser, options))));
    EXPECT_EQ(FormatMessage(english.GetMessage(QStringLiteral("E"), QStringLiteral("000025")), {QStringLiteral("10.0.0.5"), QStringLiteral("211")}),
              QStringLiteral("Error on the application server 10.0.0.5:211: the report data cannot be read!"));
}

TEST_F(HostObjectsTest, HostMembersAndFileList)
{
    EXPECT_EQ(hostObject.ProductID(), 3);
    EXPECT_EQ(hostObject.VersionType(), 1);
    hostObject.SetFormCreateStyle(QStringLiteral("宽版格式"));
    hostObject.CallHelp(QStringLiteral("KEL"), QStringLiteral("1240000"));
    auto* manager = dynamic_cast<THostManager*>(host.ToObject().get());
    EXPECT_EQ(manager->FormStyle(), QStringLiteral("宽版格式"));
    EXPECT_EQ(manager->HelpCalls(), QStringList{QStringLiteral("KEL/1240000")});
    EXPECT_EQ(hostObject.GetFileList(QStringLiteral("kelm24s.so")), QString());
    auto put = [&](const QString& name) {
        QFile file(QDir(update.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
    };
    // A plain copy is not what the downloader fetches: it asks for "<folder of Path><name>.zip".
    put(QStringLiteral("kelm24s.so"));
    EXPECT_EQ(hostObject.GetFileList(QStringLiteral("kelm24s.so")), QString());
    put(QStringLiteral("kelm24s.so.zip"));
    const QString list = hostObject.GetFileList(QStringLiteral("KELM24S.so"));
    EXPECT_TRUE(list.startsWith(QStringLiteral("<Modify>"))) << list.toStdString();
    const QString path = list.section(QStringLiteral("<Path>"), 1).section(QStringLiteral("</Path>"), 0, 0);
    EXPECT_TRUE(path.endsWith(QStringLiteral("/kelm24s.so"))) << path.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".zip")));
    EXPECT_TRUE(hostObject.Counter().IsObject() && hostObject.Validator().IsObject() && hostObject.F2Window().IsObject());
    // The module list of the host parameters reads as the option form reads it.
    EXPECT_TRUE(LookupFlag(HostModuleList({}), QStringLiteral("fep")));
    EXPECT_FALSE(LookupFlag(HostModuleList({QStringLiteral("FEP")}), QStringLiteral("FEP")));
    EXPECT_TRUE(LookupFlag(HostModuleList({QStringLiteral("FEP")}), QStringLiteral("PUR")));
    // The stand-alone identifier makes the same object.
    RegisterHostFactory(data, chooser, options);
    EXPECT_EQ(THostObject(CreateOleObject(QStringLiteral("PratelWorkCenter.Manager"))).ProductID(), 3);
    UnregisterOleFactory(HostProgId);
}

TEST_F(HostObjectsTest, CounterSettingsAndFunctions)
{
    Variant info = TCounterObject(hostObject.Counter()).GetSysInfo(QStringLiteral("DEMO"));
    ASSERT_EQ(info.DimCount(), 2);
    QHash<QString, QString> settings;
    for (int c = info.LowBound(2); c <= info.HighBound(2); ++c) settings.insert(info.At(0, c).ToString(), info.At(1, c).ToString());
    for (const char* name : {"Sys001", "Sys002", "Sys003", "Sys024", "Sys026", "Sys042", "Sys060", "Sys069", "Sys174", "QVS002",
                             "SYS007", "SYS008", "SYS009", "SYS010"})
        EXPECT_TRUE(settings.contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(settings.value(QStringLiteral("Sys003")), QStringLiteral("RMB"));
    EXPECT_EQ(TCounterObject(hostObject.Counter()).GetSysInfo(QStringLiteral("ACME")).Count(2), 0);

    TDataLayer direct(install.Settings());
    const TSqlRow item = direct.Select(QStringLiteral("SELECT MB001, MB004, MB005 FROM INVMB WHERE MB004='PCS' AND MB005='盒'"))[0];
    const QString code = item[0].toString();
    const double rate = direct.Select(QStringLiteral("SELECT MD003 FROM INVMD WHERE MD001=? AND MD002='盒'"), {code})[0][0].toDouble();
    EXPECT_DOUBLE_EQ(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({code, 3, QStringLiteral("盒"), QStringLiteral("PCS")}))[0].ToDouble(), 3 * rate);
    EXPECT_DOUBLE_EQ(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({code, 250, QStringLiteral("PCS"), QStringLiteral("盒")}))[0].ToDouble(), 250 / rate);
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({code, 1, QStringLiteral("吨"), QStringLiteral("PCS")})), Exception);
    // A conversion stored with a zero rate is no conversion, in either direction.
    direct.Exec(QStringLiteral("INSERT INTO INVMD (MD001, MD002, MD003, MD004) VALUES (?, 'KG', 0, 1)"), {code});
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({code, 5, QStringLiteral("PCS"), QStringLiteral("KG")})), Exception);
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({code, 5, QStringLiteral("KG"), QStringLiteral("PCS")})), Exception);

    // On hold: lines waiting for inspection of one order line, in the order's unit.
    const QVector<TSqlRow> held = direct.Select(QStringLiteral(
        "SELECT TH004, TH011, TH012, TH013 FROM PURTH JOIN PURTG ON TG001=TH001 AND TG002=TH002 "
        "WHERE TH028='1' AND TH011<>'' AND TG013<>'V' AND TH008=(SELECT TD009 FROM PURTD WHERE TD001=TH011 AND TD002=TH012 AND TD003=TH013)"));
    ASSERT_FALSE(held.isEmpty());
    const TSqlRow& h = held[0];
    const double expected = direct.Select(QStringLiteral(
        "SELECT SUM(TH007) FROM PURTH JOIN PURTG ON TG001=TH001 AND TG002=TH002 WHERE TH011=? AND TH012=? AND TH013=? AND TH028='1' "
        "AND TG013<>'V' AND TH008=(SELECT TD009 FROM PURTD WHERE TD001=TH011 AND TD002=TH012 AND TD003=TH013)"),
        {h[1], h[2], h[3]})[0][0].toDouble();
    EXPECT_GE(Counter(QStringLiteral("OnHold"), Variant::ArrayOf({h[0].toString(), h[1].toString(), h[2].toString(), h[3].toString(),
                                                                   QStringLiteral("20991231"), QStringLiteral("N")}))[0].ToDouble(),
              expected);
    EXPECT_EQ(Counter(QStringLiteral("OnHold"), Variant::ArrayOf({code, QStringLiteral("3301"), QStringLiteral("NONE"), QStringLiteral("0001"),
                                                                   QStringLiteral("20991231"), QStringLiteral("N")}))[0].ToDouble(), 0.0);

    EXPECT_EQ(Counter(QStringLiteral("SimpleSql"), Variant::ArrayOf({QStringLiteral(
        "select col.length from syscolumns col inner join sysobjects obj on obj.id=col.id where obj.name = 'WARRANT' AND col.name ='NT002'"),
        QStringLiteral("length")}))[0][0].ToInt(), 40);
    EXPECT_EQ(Counter(QStringLiteral("SimpleSql"), Variant::ArrayOf({QStringLiteral("SELECT MQ002 FROM CMSMQ WHERE MQ001='3401'"),
                                                                     QStringLiteral("MQ002")}))[0][0].ToString(), QStringLiteral("一般进货单"));
    EXPECT_EQ(Counter(QStringLiteral("ResultConnectString"), Variant::ArrayOf({QString()}))[0].ToString(),
              QStringLiteral("Driver=QSQLITE;Database=") + install.Settings().DatabaseFile);
    EXPECT_THROW(Counter(QStringLiteral("Nope"), Variant::ArrayOf({QString()})), Exception);
}

TEST_F(HostObjectsTest, CounterKeepsUnitRatesForItsRun)
{
    TDataLayer direct(install.Settings());
    const QVector<TSqlRow> rates = direct.Select(QStringLiteral(
        "SELECT MD001, MB004, MD002, MD003, MD004 FROM INVMD JOIN INVMB ON MB001=MD001 WHERE MD003<>0 AND MD004<>0 "
        "AND MD002<>MB004 ORDER BY MD001, MD002 LIMIT 6"));
    ASSERT_GE(rates.size(), 2);
    TCounter counter(data);
    // Asked twice, the kept rates give the answers the stored rates give, for each item and unit on its own.
    for (int round = 0; round < 2; ++round)
        for (const TSqlRow& r : rates) {
            const QString item = r[0].toString(), stock = r[1].toString(), unit = r[2].toString();
            const double rate = r[3].toDouble() / r[4].toDouble();
            EXPECT_DOUBLE_EQ(counter.UnitConvert(item, 7, unit, stock), 7 * rate) << item.toStdString() << round;
            EXPECT_DOUBLE_EQ(counter.UnitConvert(item, 7, stock, unit), 7 / rate) << item.toStdString() << round;
        }
    // A unit without a rate is asked again: once stored, the same counter finds it.
    const QString item = rates[0][0].toString(), stock = rates[0][1].toString();
    EXPECT_THROW(counter.UnitConvert(item, 1, QStringLiteral("桶"), stock), Exception);
    direct.Exec(QStringLiteral("INSERT INTO INVMD (MD001, MD002, MD003, MD004) VALUES (?, '桶', 20, 1)"), {item});
    EXPECT_DOUBLE_EQ(counter.UnitConvert(item, 2, QStringLiteral("桶"), stock), 40);
    // A rate changed during the run shows in the next run's counter.
    direct.Exec(QStringLiteral("UPDATE INVMD SET MD003=25 WHERE MD001=? AND MD002='桶'"), {item});
    EXPECT_DOUBLE_EQ(counter.UnitConvert(item, 2, QStringLiteral("桶"), stock), 40);
    EXPECT_DOUBLE_EQ(TCounter(data).UnitConvert(item, 2, QStringLiteral("桶"), stock), 50);
}

TEST_F(HostObjectsTest, ValidatorAnswersEveryPairTheReportAsks)
{
    Variant r;
    ASSERT_TRUE(Check(QStringLiteral("ADMMB"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("KELM24")}), r));
    EXPECT_EQ(r[0].ToString(), QStringLiteral("进货单打印"));
    EXPECT_EQ(r[4].ToString(), QStringLiteral("N"));
    EXPECT_EQ(r[7].ToString(), QStringLiteral("Purchase Receipt Print"));
    ASSERT_TRUE(Check(QStringLiteral("CMSML"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("DEMO")}), r));
    EXPECT_EQ(r[1].ToString(), QStringLiteral("苏州恒润贸易有限公司"));
    ASSERT_TRUE(Check(QStringLiteral("CMSMT"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("KELM24")}), r));
    EXPECT_EQ(r.Count(), 13);
    EXPECT_EQ(r[0].ToString(), QStringLiteral("F01"));
    EXPECT_EQ(r[6].ToString(), QStringLiteral("S01"));
    EXPECT_FALSE(Check(QStringLiteral("CMSMT"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("NOPROG")}), r)) << "no settings";
    EXPECT_TRUE(r.IsEmpty());

    ASSERT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::ArrayOf({QStringLiteral("3402")}), r));
    EXPECT_EQ(r[0].ToString(), QStringLiteral("委外进货单"));
    EXPECT_EQ(r[3].ToString(), QStringLiteral("QUILLN"));
    EXPECT_EQ(r[11].ToString(), QStringLiteral("进货单"));
    EXPECT_EQ(r[12].ToString(), QStringLiteral("Y"));
    EXPECT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("38"), Variant::ArrayOf({QStringLiteral("3401"), QStringLiteral("34")}), r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("38"), Variant::ArrayOf({QStringLiteral("3401"), QStringLiteral("28")}), r));
    ASSERT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("29"),
                      Variant::ArrayOf({QStringLiteral("2801"), QStringLiteral("34"), QStringLiteral("28")}), r));
    EXPECT_EQ(r[1].ToString(), QStringLiteral("28"));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("29"),
                       Variant::ArrayOf({QStringLiteral("3301"), QStringLiteral("34"), QStringLiteral("28")}), r)) << "not a receipt type";
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::ArrayOf({QStringLiteral("9999")}), r)) << "unknown type";
    ASSERT_TRUE(Query(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34"), QStringLiteral("28")}), r));
    EXPECT_EQ(r.Count(), 4);
    for (const Variant& row : r.Elements()) EXPECT_TRUE(row[2].ToString() == QLatin1String("34") || row[2].ToString() == QLatin1String("28"));

    ASSERT_TRUE(Check(QStringLiteral("CMSMS"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("2"), QStringLiteral("S01")}), r));
    EXPECT_EQ(r[1].ToString(), QStringLiteral("核准:"));
    EXPECT_EQ(r[3].ToString(), QStringLiteral("经办:"));
    EXPECT_FALSE(Check(QStringLiteral("CMSMS"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("1"), QStringLiteral("S01")}), r));
    ASSERT_TRUE(Query(QStringLiteral("PURTG"), QStringLiteral("61"), Variant::ArrayOf({QStringLiteral("3403")}), r));
    EXPECT_EQ(r[0][0].ToString().size(), 11);

    // Layouts and condition sets appear once stored.
    EXPECT_FALSE(Query(QStringLiteral("WARRANT"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("TfrmKelm24Fmt")}), r));
    // The layout is stored as the report's designer would: in a session of the
    // report's program, whose rights allow designing.
    TAppServerObject as(Variant(std::make_shared<TAppServer>(install.Settings())));
    as.Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QString());
    as.RunInsUpdSQL(false, Variant::ArrayOf({QStringLiteral("end")}),
                    Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QStringLiteral("PUR"), QStringLiteral("TfrmKelm24Fmt"),
                                      QStringLiteral("窄版"), QString(), QStringLiteral("chk01:TBitCheckBox=0")}), 0);
    ASSERT_TRUE(Query(QStringLiteral("WARRANT"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("TfrmKelm24Fmt")}), r));
    EXPECT_EQ(r[0][0].ToString(), QStringLiteral("窄版"));
    EXPECT_EQ(r[0][1].ToString(), QStringLiteral("chk01:TBitCheckBox=0"));
    EXPECT_TRUE(Check(QStringLiteral("WARRANT"), QStringLiteral("03"), Variant::ArrayOf({QStringLiteral("TfrmKelm24Fmt"), QStringLiteral("窄版")}), r));
    const Variant setKey = Variant::ArrayOf({QStringLiteral("全部"), QStringLiteral("Leader"), QStringLiteral("KELM24")});
    EXPECT_FALSE(Check(QStringLiteral("GENES"), QStringLiteral("01"), setKey, r));
    as.InsertConTable(Variant::ArrayOf({QStringLiteral("全部"), QStringLiteral("Leader"), QStringLiteral("20240601"), QStringLiteral("KELM24"),
                                        QString(), QString(), false}));
    EXPECT_TRUE(Check(QStringLiteral("GENES"), QStringLiteral("01"), setKey, r));

    EXPECT_FALSE(Check(QStringLiteral("XXXXX"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("a")}), r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("38"), Variant::ArrayOf({QStringLiteral("3401")}), r)) << "too few keys";
}

TEST_F(HostObjectsTest, PickWindowChoosesRowsDatesAndPhrases)
{
    TF2WindowObject f2(hostObject.F2Window());
    chooser->Rows.push_back({0});
    Variant args = PickArgs(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34"), QStringLiteral("28")}),
                            false, QStringLiteral("进口"));
    Variant picked = f2.F2GetData(args);
    ASSERT_EQ(picked.Count(), 1);
    EXPECT_EQ(picked[0][0].ToString(), QStringLiteral("2801"));
    EXPECT_EQ(picked[0][1].ToString(), QStringLiteral("进口进货单"));

    chooser->Rows.push_back({0, 2});
    args = PickArgs(QStringLiteral("CMSMS"), QStringLiteral("01"), Variant::ArrayOf({QStringLiteral("2")}), true, QString());
    picked = f2.F2GetData(args);
    ASSERT_EQ(picked.Count(), 1) << "two sign-offs, the third row does not exist";
    EXPECT_EQ(picked[0][0].ToString(), QStringLiteral("QUILLN"));
    EXPECT_EQ(picked[0][2].ToString(), QStringLiteral("核准:"));
    EXPECT_TRUE(f2.F2GetData(args).IsEmpty()) << "cancelled";
    Variant shortArgs = Variant::ArrayOf({QStringLiteral("CMSMQ")});
    EXPECT_THROW(f2.F2GetData(shortArgs), Exception);

    chooser->Dates.push_back(QDate(2024, 3, 15));
    EXPECT_EQ(f2.ShowInputDay(false, QStringLiteral("20240301"), QStringLiteral("DEMO")), QStringLiteral("20240315"));
    EXPECT_EQ(f2.ShowInputDay(true, QStringLiteral("20240301"), QStringLiteral("DEMO")), QString());
    chooser->Phrases.push_back(QStringLiteral("供应商延迟交货"));
    EXPECT_EQ(f2.GetPhrase(QStringLiteral("Leader"), QStringLiteral("DEMO"), 0), QStringLiteral("供应商延迟交货"));
    EXPECT_EQ(chooser->Seen, (QStringList{QStringLiteral("CMSMQ/16"), QStringLiteral("CMSMS/01"), QStringLiteral("CMSMS/01")}));
}

namespace {
QString Render(const Variant& v)
{
    if (!v.IsArray()) return v.IsEmpty() ? QStringLiteral("<empty>") : v.IsNull() ? QStringLiteral("<null>") : v.ToString();
    QStringList parts;
    if (v.DimCount() == 2) {
        for (int c = v.LowBound(2); c <= v.HighBound(2); ++c)
            parts << Render(v.At(v.LowBound(1), c)) + QLatin1Char('=') + Render(v.At(v.LowBound(1) + 1, c));
        return QLatin1Char('{') + parts.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    for (const Variant& e : v.Elements()) parts << Render(e);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}
}  // namespace

TEST_F(HostObjectsTest, PostgreSqlGivesTheSameHostAnswers)
{
    test::TPgCluster pg;
    if (!pg.Skip().isEmpty()) KELM24_SKIP_OR_FAIL(pg.Skip().toStdString());
    TServerSettings settings = pg.CreateDatabase(QStringLiteral("kelm24host"));
    {
        TDataLayer direct(settings, true);
        TSampleOptions sample;
        sample.Receipts = 60;  // the size of the SQLite database of the fixture
        TSampleCompany(sample).Write(direct);
    }
    Variant server(std::make_shared<TAppServer>(settings));
    TAppServerObject(server).Connect(QStringLiteral("HOST"), TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                     QStringLiteral("DEMO"), QString());
    THostObject pgHost(Variant(std::shared_ptr<IAutomationObject>(
        std::make_shared<THostManager>(std::make_shared<THostData>(server), chooser, options))));

    struct TAsk { const char* table; const char* number; QStringList keys; bool all; };
    const TAsk asks[] = {{"ADMMB", "01", {"KELM24"}, false},        {"CMSML", "01", {"DEMO"}, false},
                         {"CMSMT", "01", {"KELM24"}, false},        {"CMSMQ", "08", {"3402"}, false},
                         {"CMSMQ", "38", {"3401", "34"}, false},    {"CMSMQ", "29", {"2801", "34", "28"}, false},
                         {"CMSMQ", "16", {"34", "28"}, true},       {"CMSMS", "01", {"1", "F01"}, false},
                         {"PURTG", "61", {"3403"}, true},           {"GENES", "01", {"x", "Leader", "KELM24"}, false}};
    for (const TAsk& a : asks) {
        std::vector<Variant> keys(a.keys.begin(), a.keys.end());
        Variant fromPg, fromSqlite;
        TValidatorObject pgValidator(pgHost.Validator()), sqliteValidator(hostObject.Validator());
        const QString table = QString::fromLatin1(a.table), number = QString::fromLatin1(a.number);
        const bool pgOk = a.all ? pgValidator.QueryData(table, number, QStringLiteral("DEMO"), Variant::ArrayOf(keys), fromPg)
                                : pgValidator.CheckValue(table, number, QStringLiteral("DEMO"), Variant::ArrayOf(keys), fromPg);
        const bool sqliteOk = a.all ? sqliteValidator.QueryData(table, number, QStringLiteral("DEMO"), Variant::ArrayOf(keys), fromSqlite)
                                    : sqliteValidator.CheckValue(table, number, QStringLiteral("DEMO"), Variant::ArrayOf(keys), fromSqlite);
        EXPECT_EQ(pgOk, sqliteOk) << a.table << "/" << a.number;
        EXPECT_EQ(Render(fromPg), Render(fromSqlite)) << a.table << "/" << a.number;
    }
    EXPECT_EQ(Render(TCounterObject(pgHost.Counter()).GetSysInfo(QStringLiteral("DEMO"))),
              Render(TCounterObject(hostObject.Counter()).GetSysInfo(QStringLiteral("DEMO"))));
    EXPECT_EQ(pgHost.GetMessage(QStringLiteral("W"), QStringLiteral("000002")), hostObject.GetMessage(QStringLiteral("W"), QStringLiteral("000002")));
}
namespace {
// A chooser that answers rows the list never had, as a faulty or stale picker might.
class TStaleChooser : public TScriptedChooser {
public:
    QVector<int> ChooseRows(const QString&, const QStringList&, const QVector<QStringList>&, bool) override { return {-1, 0, 1000}; }
};
}  // namespace

TEST_F(HostObjectsTest, KeysAndTypedTextsNeverBecomeSql)
{
    Variant r;
    // A quote in a key neither breaks the statement nor widens it.
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::ArrayOf({QStringLiteral("3401' OR '1'='1")}), r));
    EXPECT_FALSE(Query(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34') OR ('1'='1")}), r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("29"),
                       Variant::ArrayOf({QStringLiteral("2801"), QStringLiteral("34' OR '1'='1")}), r));
    EXPECT_THROW(hostObject.GetMessage(QStringLiteral("E"), QStringLiteral("000001' OR '1'='1")), Exception);
    EXPECT_EQ(TCounterObject(hostObject.Counter()).GetSysInfo(QStringLiteral("DEMO' OR '1'='1")).Count(2), 0);
    EXPECT_EQ(Counter(QStringLiteral("OnHold"), Variant::ArrayOf({QStringLiteral("x'"), QStringLiteral("3301' OR '1'='1"), QStringLiteral("a"),
                                                                   QStringLiteral("b"), QStringLiteral("20991231"), QStringLiteral("N")}))[0].ToDouble(), 0.0);
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({QStringLiteral("x' OR '1'='1"), 1, QStringLiteral("a"), QStringLiteral("b")})),
                 Exception);
    // A free query reads, once: a second statement or a write is refused.
    EXPECT_THROW(Counter(QStringLiteral("SimpleSql"), Variant::ArrayOf({QStringLiteral("SELECT 1; DELETE FROM CMSMQ"), QStringLiteral("x")})), Exception);
    EXPECT_THROW(Counter(QStringLiteral("SimpleSql"), Variant::ArrayOf({QStringLiteral("DELETE FROM CMSMQ"), QStringLiteral("x")})), Exception);
    ASSERT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::ArrayOf({QStringLiteral("3401")}), r)) << "table intact";

    TF2WindowObject f2(hostObject.F2Window());
    chooser->Rows.push_back({0, 1, 2, 3});
    Variant args = PickArgs(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34")}), true, QStringLiteral("' OR 1=1 --"));
    EXPECT_TRUE(f2.F2GetData(args).IsEmpty()) << "the typed text matches no row";
}

TEST_F(HostObjectsTest, ArgumentsOfTheWrongShapeRaiseOrFailCleanly)
{
    Variant r;
    // Keys: Empty, Null, a bare value, a 1-based array, nested or two-dimensional arrays.
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant(), r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::Null(), r));
    EXPECT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), QStringLiteral("3402"), r));
    Variant oneBased = Variant::CreateArray(1, 1);
    oneBased[1] = QStringLiteral("3402");
    EXPECT_TRUE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), oneBased, r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::ArrayOf({Variant::ArrayOf({QStringLiteral("3402")})}), r));
    EXPECT_FALSE(Check(QStringLiteral("CMSMQ"), QStringLiteral("08"), Variant::CreateArray(0, 1, 0, 1), r));
    std::vector<Variant> none;
    EXPECT_THROW(hostObject.Validator().Call(QStringLiteral("QueryData"), none), Exception);
    std::vector<Variant> typeOnly{QStringLiteral("E")};
    EXPECT_THROW(host.Call(QStringLiteral("GetMessage"), typeOnly), Exception);

    // Counter arguments: missing, Null, too short.
    Variant empty;
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), empty), Exception);
    EXPECT_THROW(Counter(QStringLiteral("OnHold"), Variant::Null()), Exception);
    EXPECT_THROW(Counter(QStringLiteral("UnitConvert"), Variant::ArrayOf({QStringLiteral("x")})), Exception);

    // Pick arguments: 1-based, Null elements, too short, two-dimensional, an unknown table.
    TF2WindowObject f2(hostObject.F2Window());
    Variant oneBasedPick = Variant::CreateArray(1, 19);
    oneBasedPick[1] = QStringLiteral("CMSMQ");
    oneBasedPick[2] = QStringLiteral("16");
    oneBasedPick[3] = Variant::ArrayOf({QStringLiteral("34")});
    chooser->Rows.push_back({0});
    EXPECT_EQ(f2.F2GetData(oneBasedPick).Count(), 1);
    Variant nullFlags = PickArgs(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34")}), false, QString());
    nullFlags[3] = Variant::Null();
    nullFlags[4] = Variant::Null();
    chooser->Rows.push_back({0});
    EXPECT_EQ(f2.F2GetData(nullFlags).Count(), 1);
    Variant nullKeys = PickArgs(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::Null(), false, QString());
    EXPECT_THROW(f2.F2GetData(nullKeys), Exception);
    Variant unknown = PickArgs(QStringLiteral("NOPE"), QStringLiteral("01"), Variant(), false, QString());
    EXPECT_THROW(f2.F2GetData(unknown), Exception);
    Variant twoD = Variant::CreateArray(0, 18, 0, 1);
    EXPECT_THROW(f2.F2GetData(twoD), Exception);
    std::vector<Variant> noDay;
    EXPECT_THROW(hostObject.F2Window().Call(QStringLiteral("ShowInputDay"), noDay), Exception);

    // A chooser that names rows the list does not have picks only the real ones.
    THostObject staleHost(Variant(std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(data, std::make_shared<TStaleChooser>(), options))));
    Variant stale = PickArgs(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({QStringLiteral("34")}), true, QString());
    const Variant picked = TF2WindowObject(staleHost.F2Window()).F2GetData(stale);
    ASSERT_EQ(picked.Count(), 1);
    EXPECT_FALSE(picked[0][0].ToString().isEmpty());
}

namespace {
// Runs `act` on the chooser's dialog once it is shown, then closes it with OK.
void WhenShown(const std::function<void(QDialog*)>& act)
{
    QTimer::singleShot(0, [act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) dialog = d;
        }
        ASSERT_NE(dialog, nullptr);
        act(dialog);
        dialog->accept();
    });
}
}  // namespace

TEST(DialogChooser, AnswersOnlyRowsTheFilterStillShows)
{
    TDialogChooser chooser;
    const QVector<QStringList> rows = {{QStringLiteral("3401"), QStringLiteral("一般进货单")},
                                       {QStringLiteral("3402"), QStringLiteral("委外进货单")},
                                       {QStringLiteral("2801"), QStringLiteral("进口进货单")}};
    const QStringList captions = {QStringLiteral("单别"), QStringLiteral("单别名称")};
    // Selected first, then hidden by the typed filter: not what the user sees as chosen.
    WhenShown([](QDialog* d) {
        d->findChild<QTableWidget*>()->selectAll();
        d->findChild<QLineEdit*>()->setText(QStringLiteral("委外"));
    });
    EXPECT_EQ(chooser.ChooseRows(QStringLiteral("CMSMQ/16"), captions, rows, true), QVector<int>{1});
    WhenShown([](QDialog* d) {
        d->findChild<QTableWidget*>()->selectRow(0);
        d->findChild<QLineEdit*>()->setText(QStringLiteral("进口"));
    });
    EXPECT_TRUE(chooser.ChooseRows(QStringLiteral("CMSMQ/16"), captions, rows, false).isEmpty());
    WhenShown([](QDialog* d) { d->findChild<QTableWidget*>()->selectRow(2); });
    EXPECT_EQ(chooser.ChooseRows(QStringLiteral("CMSMQ/16"), captions, rows, false), QVector<int>{2});
}
