#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/ReceiptQuery.h"
#include "tests/AllowSkip.h"
#include "tests/appserver/TestSupport.h"

#include <atomic>
#include <cmath>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

const int kReceipts = 60;

// What the receipt form asks for: type 3401, the first ten numbers, all statuses.
QString Statement(TDataLayer& data)
{
    QVector<TSqlRow> numbers =
        data.Select(QStringLiteral("SELECT TG002 FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%' ORDER BY TG002"));
    return test::ReceiptDetailStatement(QStringLiteral("3401"), numbers.first()[0].toString(),
                                        numbers[std::min<int>(9, static_cast<int>(numbers.size()) - 1)][0].toString(), false, false);
}

TDataPacket RunReceiptQuery(const Variant& server, const QString& sql)
{
    TAppServerObject(server).Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode,
                                     QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    return TDataPacket::FromVariant(server.Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()}));
}

// Averages are summed in different orders (binary doubles on SQLite, exact
// numerics on PostgreSQL): they agree to far more digits than a receipt prints.
bool SameAverage(const Variant& a, const Variant& b)
{
    if (a.Type() != VarType::Double || b.Type() != VarType::Double) return false;
    return std::abs(a.ToDouble() - b.ToDouble()) <= 1e-9 * std::max(1.0, std::abs(a.ToDouble()));
}

void ExpectSamePacket(const TDataPacket& a, const TDataPacket& b)
{
    ASSERT_EQ(a.Fields.size(), b.Fields.size());
    for (int i = 0; i < a.Fields.size(); ++i) {
        EXPECT_EQ(a.Fields[i].Name, b.Fields[i].Name);
        EXPECT_EQ(a.Fields[i].Type, b.Fields[i].Type) << a.Fields[i].Name.toStdString();
    }
    ASSERT_EQ(a.Rows.size(), b.Rows.size());
    for (size_t r = 0; r < a.Rows.size(); ++r)
        for (int c = 0; c < a.Fields.size(); ++c)
            EXPECT_TRUE((a.Rows[r][c] == b.Rows[r][c] && a.Rows[r][c].Type() == b.Rows[r][c].Type()) ||
                        (a.Rows[r][c].IsNull() && b.Rows[r][c].IsNull()) || SameAverage(a.Rows[r][c], b.Rows[r][c]))
                << "row " << r << " field " << a.Fields[c].Name.toStdString() << ": "
                << a.Rows[r][c].ToString().toStdString() << " / " << b.Rows[r][c].ToString().toStdString();
}

// Rows of a grouped statement come in engine order within one document:
// compare them sorted, and sums of doubles up to rounding.
void ExpectSameRowsInAnyOrder(TDataPacket a, TDataPacket b)
{
    ASSERT_EQ(a.Fields.size(), b.Fields.size());
    for (int i = 0; i < a.Fields.size(); ++i) EXPECT_EQ(a.Fields[i].Name, b.Fields[i].Name);
    ASSERT_EQ(a.Rows.size(), b.Rows.size());
    auto key = [](const std::vector<Variant>& row) {
        QStringList parts;
        for (const Variant& v : row) parts << (v.IsNull() ? QStringLiteral("<null>") : v.IsNumeric() ? QString::number(v.ToDouble(), 'f', 4) : v.ToString());
        return parts.join(QLatin1Char('|'));
    };
    auto byKey = [&](const std::vector<Variant>& x, const std::vector<Variant>& y) { return key(x) < key(y); };
    std::sort(a.Rows.begin(), a.Rows.end(), byKey);
    std::sort(b.Rows.begin(), b.Rows.end(), byKey);
    for (size_t r = 0; r < a.Rows.size(); ++r)
        for (int c = 0; c < a.Fields.size(); ++c) {
            const Variant &x = a.Rows[r][c], &y = b.Rows[r][c];
            if (x.IsNumeric() && y.IsNumeric()) EXPECT_NEAR(x.ToDouble(), y.ToDouble(), 1e-6) << a.Fields[c].Name.toStdString();
            else EXPECT_TRUE(x == y || (x.IsNull() && y.IsNull())) << "row " << r << " field " << a.Fields[c].Name.toStdString();
        }
}

class EndToEnd : public ::testing::Test {
protected:
    test::TSampleInstall install{kReceipts};
    TDataLayer direct{install.Settings()};
    QString sql = Statement(direct);
    int ExpectedRows()
    {
        return direct.Select(QStringLiteral("SELECT COUNT(*) FROM PURTG LEFT JOIN PURTH ON TG001=TH001 AND TG002=TH002 "
                                            "WHERE TG001='3401' AND TG002 IN (SELECT TG002 FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%' "
                                            "ORDER BY TG002 LIMIT 10)"))[0][0].toInt();
    }
};

}  // namespace

TEST_F(EndToEnd, ReceiptQueryOverTcpMatchesTheInProcessObject)
{
    test::TServerProcess process(install.IniFile());
    TSocketConnection c;
    c.Port = process.Port();
    c.ServerName = TSampleCompany::ProgramCode + QStringLiteral("S.Class1");
    c.Open();
    TDataPacket remote = RunReceiptQuery(c.AppServer(), sql);
    EXPECT_EQ(static_cast<int>(remote.Rows.size()), ExpectedRows());
    ASSERT_GT(remote.Rows.size(), 10u);

    Variant local(std::make_shared<TAppServer>(install.Settings()));
    ExpectSamePacket(remote, RunReceiptQuery(local, sql));

    c.Close();
    process.Stop();
    EXPECT_EQ(process.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.Process().exitCode(), 0) << process.Process().readAllStandardError().toStdString();
}

// A stop while a client's statement runs ends the statement, the session and
// the program cleanly, well before the statement's own time limit.
static void ExpectCleanStopWhileAStatementRuns(const QString& iniFile)
{
    test::TServerProcess process(iniFile, {QStringLiteral("--statement-timeout"), QStringLiteral("600")});
    std::atomic<bool> running{false};
    QString error;
    std::unique_ptr<QThread> client(QThread::create([&] {
        TSocketConnection c;
        c.Port = process.Port();
        c.ServerName = QStringLiteral("KELM24S.Class1");
        c.User = TSampleCompany::ClerkUser;
        c.TimeoutMs = 600000;
        try {
            c.Open();
            TAppServerObject(c.AppServer())
                .Connect(TSampleCompany::ProgramCode, TSampleCompany::ClerkUser, TSampleCompany::CompanyCode, QString(), QString());
            running = true;
            c.AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"),
                                                       QStringLiteral("SELECT COUNT(*) FROM PURTH A, PURTH B, PURTH C, PURTH D, PURTH E"),
                                                       Variant()});
        } catch (const Exception& e) {
            error = e.Message();
        }
    }));
    client->start();
    while (!running && !client->isFinished()) QThread::msleep(20);
    QThread::msleep(500);  // the statement is under way
    process.Stop();  // kills after 15 s: a server that waits for the statement fails here
    client->wait();
    EXPECT_EQ(process.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.Process().exitCode(), 0) << process.Process().readAllStandardError().toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("应用服务器正在停止"))) << "the endless statement ended with: " << error.toStdString();
    EXPECT_TRUE(process.Process().readAllStandardOutput().contains("stopped"));
}

TEST(ServerProcess, StopsCleanlyWhileAClientStatementRuns)
{
    test::TSampleInstall install(20, 5);
    ExpectCleanStopWhileAStatementRuns(install.IniFile());
}

// On PostgreSQL the statement waits inside the engine's client library: the
// stop reaches it as a cancel request.
TEST(ServerProcess, StopsCleanlyWhileAPostgreSqlStatementRuns)
{
    test::TPgCluster pg;
    if (!pg.Skip().isEmpty()) KELM24_SKIP_OR_FAIL(pg.Skip().toStdString());
    const TServerSettings settings = [&] {
        TServerSettings s = pg.CreateDatabase(QStringLiteral("kelm24stop"));
        TDataLayer data(s, true);
        TSampleOptions options;
        options.Receipts = 20;
        options.LinesPerReceipt = 5;
        TSampleCompany(options).Write(data);
        s.ListenPort = 0;
        return s;
    }();
    QTemporaryDir dir;
    ExpectCleanStopWhileAStatementRuns(test::WriteServerIni(dir.path(), settings));
}

TEST_F(EndToEnd, ServerClassFoundThroughTheRegistryFile)
{
    const QString registry = QDir(install.Dir()).filePath(QStringLiteral("registry.ini"));
    QFile file(registry);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[Software\\QVS\\Corvane]\nServerPath=%1\n\n[Software\\Classes\\KELM24S.Class1]\nInprocServer=%2\n\n"
                              "[Software\\Classes\\BROKENS.Class1]\nInprocServer=missing/libBroken.so\n")
                   .arg(install.Dir(), QDir(test::BinDir()).filePath(QStringLiteral("libKelm24S.so")))
                   .toUtf8());
    file.close();
    qputenv("KELM24_REGISTRY", registry.toLocal8Bit());

    EXPECT_TRUE(IsOleClassRegistered(QStringLiteral("kelm24s.class1")));
    Variant server = CreateOleObject(QStringLiteral("KELM24S.Class1"));
    TDataPacket rows = RunReceiptQuery(server, sql);
    EXPECT_EQ(static_cast<int>(rows.Rows.size()), ExpectedRows());
    // Each creation is a session of its own.
    EXPECT_THROW(TAppServerObject(CreateOleObject(QStringLiteral("KELM24S.Class1"))).SQLType(), Exception);

    try {
        CreateOleObject(QStringLiteral("BROKENS.Class1"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("libBroken.so"))) << e.Message().toStdString();
    }
    try {
        CreateOleObject(QStringLiteral("NOPES.Class1"));
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid class string: NOPES.Class1"));
    }
    qunsetenv("KELM24_REGISTRY");
}

TEST_F(EndToEnd, PostgreSqlGivesTheSameAnswers)
{
    test::TPgCluster pg;
    if (!pg.Skip().isEmpty()) KELM24_SKIP_OR_FAIL(pg.Skip().toStdString());
    TServerSettings settings = pg.CreateDatabase(QStringLiteral("kelm24demo"));
    {
        TDataLayer data(settings, true);
        TSampleOptions options;
        options.Receipts = kReceipts;
        TSampleCompany(options).Write(data);
    }
    {
        // Texts are read the standard way even where the database says
        // otherwise: a backslash never ends a literal the checks have seen.
        TDataLayer data(settings);
        data.Exec(QStringLiteral("ALTER DATABASE kelm24demo SET standard_conforming_strings = off"));
    }
    EXPECT_EQ(TDataLayer(settings).Select(QStringLiteral("SELECT current_setting('standard_conforming_strings')"))[0][0].toString(), QStringLiteral("on"));
    QTemporaryDir dir;
    settings.ListenPort = 0;
    test::TServerProcess process(test::WriteServerIni(dir.path(), settings));
    TSocketConnection c;
    c.Port = process.Port();
    c.ServerName = QStringLiteral("KELM24S.Class1");
    c.Open();
    TDataPacket fromPostgres = RunReceiptQuery(c.AppServer(), sql);
    EXPECT_EQ(static_cast<int>(fromPostgres.Rows.size()), ExpectedRows());
    ExpectSamePacket(fromPostgres, RunReceiptQuery(Variant(std::make_shared<TAppServer>(install.Settings())), sql));

    // The summary statement groups the same on PostgreSQL, whose GROUP BY is strict.
    const QVector<TSqlRow> numbers = direct.Select(QStringLiteral("SELECT MIN(TG002), MAX(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'"));
    for (const test::TSummaryKeys keys : {test::TSummaryKeys{}, test::TSummaryKeys{true, true, true}}) {
        const QString summary = test::ReceiptSummaryStatement(QStringLiteral("3401"), numbers[0][0].toString(), numbers[0][1].toString(), keys);
        TDataPacket pgRows = RunReceiptQuery(c.AppServer(), summary);
        EXPECT_GT(pgRows.Rows.size(), 10u);
        ExpectSameRowsInAnyOrder(pgRows, RunReceiptQuery(Variant(std::make_shared<TAppServer>(install.Settings())), summary));
    }

    // Literals, counts and averages come back typed as on SQLite.
    const QString computed = QStringLiteral(
        "SELECT TG001, COUNT(*) AS N, SUM(TG012) AS PRINTS, AVG(TG017) AS MEANAMOUNT, 1.5 AS RATE, 2 AS TWO, "
        "'x' AS MARK, NULL AS BLANKCOL FROM $$PURTG PURTG GROUP BY TG001 ORDER BY TG001");
    ExpectSamePacket(RunReceiptQuery(c.AppServer(), computed),
                     RunReceiptQuery(Variant(std::make_shared<TAppServer>(install.Settings())), computed));

    // The server's own statements work there too.
    TAppServerObject as(c.AppServer());
    EXPECT_EQ(as.InsertConTable(Variant::ArrayOf({QStringLiteral("全部"), TSampleCompany::LeaderUser, QStringLiteral("20240601"),
                                                  TSampleCompany::ProgramCode, QString(), QString(), false})), QString());
    EXPECT_EQ(as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"),
                                  QStringLiteral("TG001='3401'  and TG002='%1' ").arg(numbers[0][0].toString())),
              1);
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='3402'")), 1);
}
