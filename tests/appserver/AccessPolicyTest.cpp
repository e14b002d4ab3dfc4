// A print-only user attacks the application server as a hostile client
// would: over the wire, against a live server on SQLite and on PostgreSQL.
// Every refusal is checked against the database itself afterwards.
#include "appserver/AppServer.h"
#include "tests/AllowSkip.h"
#include "appserver/DataLayer.h"
#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/TestSupport.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QThread>
#include <atomic>

using namespace kelm24;

namespace {

std::string EngineName(const ::testing::TestParamInfo<TSqlEngine>& info)
{
    return info.param == TSqlEngine::SQLite ? "SQLite" : "PostgreSQL";
}

// A fingerprint of every row of a table: unchanged means untouched.
QByteArray Fingerprint(TDataLayer& data, const QString& table)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const TTableDef* def = TSchema::Company().Table(table);
    QStringList columns;
    for (const TColumnDef& c : def->Columns) columns << c.Name;
    const QVector<TSqlRow> rows =
        data.Select(QStringLiteral("SELECT %1 FROM %2 ORDER BY %1").arg(columns.join(QLatin1Char(',')), table));
    for (const TSqlRow& row : rows)
        for (const QVariant& v : row) hash.addData((v.isNull() ? QStringLiteral("<null>") : v.toString()).toUtf8() + '\x1f');
    return hash.result().toHex() + QByteArray::number(rows.size());
}

const QStringList kGuardedTables = {QStringLiteral("ADMMF"), QStringLiteral("ADMMG"), QStringLiteral("ADMMR"),
                                    QStringLiteral("GENES"), QStringLiteral("WARRANT"), QStringLiteral("PURTG"),
                                    QStringLiteral("PURTH"), QStringLiteral("CMSMF"), QStringLiteral("ADMTA")};

// The sample company on the engine of the test, served by a socket server of
// the test's own. One PostgreSQL cluster serves the whole test program.
class ServerUnderAttack : public ::testing::TestWithParam<TSqlEngine> {
protected:
    static void TearDownTestSuite() { cluster_.reset(); }

    void SetUp() override
    {
        if (GetParam() == TSqlEngine::SQLite) {
            sqlite_ = std::make_unique<test::TSampleInstall>(60);
            settings_ = sqlite_->Settings();
        } else {
            if (!cluster_) cluster_ = std::make_unique<test::TPgCluster>();
            if (!cluster_->Skip().isEmpty())
                KELM24_SKIP_OR_FAIL("no PostgreSQL cluster for the test: " + cluster_->Skip().toStdString());
            static int serial = 0;
            TServerSettings pg = cluster_->CreateDatabase(QStringLiteral("attack%1").arg(++serial));
            {
                TDataLayer data(pg, true);
                TSampleOptions options;
                options.Receipts = 60;
                TSampleCompany(options).Write(data);
            }
            pg.ListenPort = 0;
            settings_ = TServerSettings::FromIniFile(test::WriteServerIni(pgDir_.path(), pg));
        }
        direct_ = std::make_unique<TDataLayer>(settings_);
    }
    void TearDown() override
    {
        test::StopServerThread(server_);
        direct_.reset();
    }

    void Serve(const TListenLimits& limits = {}) { server_ = test::StartServerThread(settings_, limits); }

    // A signed-in connection with the user's session open.
    std::unique_ptr<TSocketConnection> Session(const QString& user)
    {
        auto c = std::make_unique<TSocketConnection>();
        c->Port = test::ServerThreadPort(*server_);
        c->ServerName = QStringLiteral("KELM24S.Class1");
        c->User = user;
        c->TimeoutMs = 30000;
        c->Open();
        TAppServerObject(c->AppServer())
            .Connect(TSampleCompany::ProgramCode, user, TSampleCompany::CompanyCode, QStringLiteral("DEMO"), QStringLiteral("PURTG"));
        return c;
    }
    QMap<QString, QByteArray> Fingerprints()
    {
        QMap<QString, QByteArray> out;
        for (const QString& t : kGuardedTables) out.insert(t, Fingerprint(*direct_, t));
        return out;
    }
    static QString Raised(const std::function<void()>& run)
    {
        try {
            run();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    QVariant One(const QString& sql, const TSqlRow& binds = {}) { return direct_->Select(sql, binds)[0][0]; }

    static std::unique_ptr<test::TPgCluster> cluster_;
    std::unique_ptr<test::TSampleInstall> sqlite_;
    QTemporaryDir pgDir_;
    TServerSettings settings_;
    std::unique_ptr<TDataLayer> direct_;
    std::unique_ptr<test::TServerThread> server_;
};

std::unique_ptr<test::TPgCluster> ServerUnderAttack::cluster_;

}  // namespace

TEST_P(ServerUnderAttack, FreeStatementsCannotRaiseRightsNorWriteOthersRows)
{
    Serve();
    auto clerk = Session(TSampleCompany::ClerkUser);
    TAppServerObject as(clerk->AppServer());
    const QMap<QString, QByteArray> before = Fingerprints();
    const QStringList attacks = {
        // Conflict clauses and CAST(.. AS word) terms once hid the written table.
        QStringLiteral("UPDATE OR REPLACE $$ADMMF SET MF005='Y' WHERE MF001='Clerk' AND CAST(MF001 AS TEXT)='Clerk'"),
        QStringLiteral("UPDATE OR IGNORE ADMMG SET MG003='YYYYYYYY' WHERE CAST(MG001 AS VARCHAR)='Clerk'"),
        QStringLiteral("UPDATE OR ROLLBACK ADMMR SET MR005='1=1' WHERE CAST(MR001 AS CHAR)='Clerk'"),
        QStringLiteral("UPDATE ADMMF SET MF005='Y' WHERE MF001='Clerk'"),
        QStringLiteral("INSERT INTO ADMMG (MG001, MG002, MG003) VALUES ('Clerk', 'KELM24', 'YYYYYYYY')"),
        QStringLiteral("DELETE FROM ADMMR WHERE MR001='Clerk'"),
        QStringLiteral("UPDATE GENES SET SCONDITION='x' WHERE CREATOR='DS'"),
        // Documents, layouts and masters are read, never written, by free statements.
        QStringLiteral("UPDATE PURTG SET TG003='19000101' WHERE TG001='3401'"),
        QStringLiteral("DELETE FROM PURTH WHERE CAST(TH001 AS TEXT)='3401'"),
        QStringLiteral("UPDATE WARRANT SET FLAG='Clerk/x'"),
        QStringLiteral("UPDATE CMSMF SET MF003=9"),
        QStringLiteral("DELETE FROM ADMTA"),
    };
    for (const QString& sql : attacks) {
        EXPECT_EQ(as.RunFreeSQL(sql), -1) << sql.toStdString();
        EXPECT_FALSE(clerk->AppServer().Get(QStringLiteral("LastError")).ToString().isEmpty()) << sql.toStdString();
    }
    EXPECT_EQ(Fingerprints(), before);
    EXPECT_EQ(One(QStringLiteral("SELECT MF005 FROM ADMMF WHERE MF001='Clerk'")).toString(), QStringLiteral("N"));

    // What the plug-in sends still runs: the approval look-up and the send log.
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT * FROM $$ADMMQ WHERE MQ002='3402'")), 1);
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral(
                  "INSERT INTO $$ADMTA (COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG,TA001,TA002,TA003,TA004,TA005,TA006) "
                  "VALUES('DEMO','Clerk','PUR','20240601','1','KELM24','S0001','Y','Send e-Mail Complete !','10:20:30','20240601')")),
              1);
    EXPECT_EQ(One(QStringLiteral("SELECT COUNT(*) FROM ADMTA")).toInt(), 1);
}

TEST_P(ServerUnderAttack, CatalogueRightsAndOthersSetsAreNotReadable)
{
    Serve();
    auto clerk = Session(TSampleCompany::ClerkUser);
    auto records = [&](const QString& sql) {
        return Raised([&] { clerk->AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, Variant()}); });
    };
    const bool sqlite = GetParam() == TSqlEngine::SQLite;
    QStringList refused = {
        QStringLiteral("SELECT * FROM PURTG NATURAL JOIN %1 AS PURMA").arg(sqlite ? "sqlite_master" : "pg_catalog.pg_authid"),
        QStringLiteral("SELECT * FROM %1 AS PURTG").arg(sqlite ? "pragma_database_list" : "pg_settings"),
        QStringLiteral("SELECT MF001, MF003 FROM ADMMF"),
        QStringLiteral("SELECT * FROM ADMMF"),
        QStringLiteral("SELECT MG003 FROM ADMMG"),
        QStringLiteral("SELECT SCONDITION FROM GENES WHERE CREATOR='DS'"),
        QStringLiteral("SELECT NT004 FROM WARRANT"),
        // PostgreSQL lets every role call set_config: the server's role or an
        // endless statement would be one call away.
        QStringLiteral("SELECT set_config('role', current_user, false) FROM CMSMQ"),
        QStringLiteral("SELECT set_config('statement_timeout', '0', false) FROM CMSMQ"),
        QStringLiteral("SELECT pg_advisory_lock(1) FROM CMSMQ"),
    };
    for (const QString& sql : refused) EXPECT_FALSE(records(sql).isEmpty()) << sql.toStdString();
    // The user names a receipt shows stay readable.
    EXPECT_EQ(records(QStringLiteral("SELECT MF001, MF002 FROM $$ADMMF ADMMF")), QString());
    EXPECT_EQ(records(QStringLiteral("SELECT TG001, TG002 FROM $$PURTG PURTG LEFT JOIN $$ADMMF AS AA ON AA.MF001 = PURTG.CREATOR")),
              QString());
}

TEST_P(ServerUnderAttack, ConditionSetsAreListedToTheirOwnUserAlone)
{
    Serve();
    auto save = [](TSocketConnection& c, const QString& name, const QString& user) {
        return c.AppServer()
            .Call(member::InsertConTable, {Variant::ArrayOf({name, user, QStringLiteral("20240601"), TSampleCompany::ProgramCode,
                                                             QStringLiteral("specs"), QStringLiteral("values"), false})})
            .ToString();
    };
    auto leader = Session(TSampleCompany::LeaderUser);
    auto clerk = Session(TSampleCompany::ClerkUser);
    ASSERT_EQ(save(*leader, QStringLiteral("LeaderPlan"), TSampleCompany::LeaderUser), QString());
    ASSERT_EQ(save(*clerk, QStringLiteral("ClerkPlan"), TSampleCompany::ClerkUser), QString());
    auto names = [](TSocketConnection& c, const QString& sql, const Variant& params = Variant()) {
        const TDataPacket packet = TDataPacket::FromVariant(c.AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"), sql, params}));
        QStringList out;
        for (const auto& row : packet.Rows) out << row[0].ToString().trimmed();
        return out;
    };
    // Listing, counting or naming another user finds the session's own sets only.
    EXPECT_EQ(names(*clerk, QStringLiteral("SELECT NCONDITION, CREATOR FROM GENES ORDER BY NCONDITION")), QStringList{QStringLiteral("ClerkPlan")});
    EXPECT_EQ(names(*clerk, QStringLiteral("SELECT COUNT(*) FROM GENES WHERE CREATOR='Leader'")), QStringList{QStringLiteral("0")});
    EXPECT_EQ(names(*clerk, QStringLiteral("SELECT G.NCONDITION FROM $$GENES G LEFT JOIN $$ADMMF F ON F.MF001 = G.CREATOR")),
              QStringList{QStringLiteral("ClerkPlan")});
    EXPECT_EQ(clerk->AppServer().Call(member::RunFreeSQL, {QStringLiteral("SELECT * FROM GENES")}).ToInt(), 1);
    EXPECT_EQ(names(*leader, QStringLiteral("SELECT NCONDITION FROM GENES")), QStringList{QStringLiteral("LeaderPlan")});
    // The save dialog's look-up still finds the user's own name, and a set saved a moment ago.
    const QString lookUp = QStringLiteral("SELECT NCONDITION, CREATE_DATE FROM GENES WHERE NCONDITION=:K0 AND CREATOR=:K1 AND PROGRAMME=:K2");
    auto key = [](const QString& name, const QString& user) {
        return Variant::ArrayOf({Variant::ArrayOf({QStringLiteral("K0"), name}), Variant::ArrayOf({QStringLiteral("K1"), user}),
                                 Variant::ArrayOf({QStringLiteral("K2"), TSampleCompany::ProgramCode})});
    };
    EXPECT_EQ(names(*clerk, lookUp, key(QStringLiteral("ClerkPlan"), TSampleCompany::ClerkUser)).size(), 1);
    EXPECT_EQ(names(*clerk, lookUp, key(QStringLiteral("LeaderPlan"), TSampleCompany::LeaderUser)).size(), 0);
    ASSERT_EQ(save(*clerk, QStringLiteral("ClerkPlan2"), TSampleCompany::ClerkUser), QString());
    EXPECT_EQ(names(*clerk, lookUp, key(QStringLiteral("ClerkPlan2"), TSampleCompany::ClerkUser)).size(), 1);
    // The contents of a set never come through a statement.
    EXPECT_FALSE(Raised([&] { names(*clerk, QStringLiteral("SELECT SCONDITION FROM GENES")); }).isEmpty());

    // Below the statement check: the stored table, named outright or hidden
    // behind a common table of the same name, is the engine's to refuse.
    TDataLayer data(settings_);
    data.SetSessionUser(TSampleCompany::ClerkUser);
    const QString stored = data.StoredTable(QStringLiteral("GENES"));
    for (const QString& sql : {QStringLiteral("SELECT NCONDITION FROM %1").arg(stored),
                               QStringLiteral("WITH GENES AS (SELECT NCONDITION, CREATOR FROM %1) SELECT NCONDITION FROM GENES").arg(stored),
                               QStringLiteral("SELECT NCONDITION FROM GENES UNION SELECT NCONDITION FROM %1").arg(stored)}) {
        const QString error = Raised([&] { data.QueryPacket(sql); });
        EXPECT_FALSE(error.isEmpty()) << sql.toStdString();
    }
    EXPECT_FALSE(Raised([&] {
                     data.ExecClient(QStringLiteral("INSERT INTO GENES (NCONDITION, CREATOR) VALUES ('x', 'Clerk')"), TClientMember::FreeSql);
                 }).isEmpty());
    EXPECT_EQ(data.QueryPacket(QStringLiteral("SELECT NCONDITION FROM GENES"))[1].Count(), 2);
    EXPECT_EQ(One(QStringLiteral("SELECT COUNT(*) FROM GENES")).toInt(), 3) << "every user's sets are still stored";
}

TEST_P(ServerUnderAttack, PrintCountTouchesTheCountOfOneDocumentOnly)
{
    Serve();
    auto clerk = Session(TSampleCompany::ClerkUser);
    TAppServerObject as(clerk->AppServer());
    const QString number = One(QStringLiteral("SELECT MIN(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'")).toString();
    const QString key = QStringLiteral("TG001='3401'  and TG002='%1' ").arg(number);
    const QMap<QString, QByteArray> before = Fingerprints();
    struct TAttack {
        const char* table;
        const char* column;
        QString condition;
    };
    const std::vector<TAttack> attacks = {
        {"$$PURTG", "TG012", QStringLiteral("1=1")},
        {"$$PURTG", "TG012", QStringLiteral("TG001='3401'")},
        {"$$PURTG", "TG012", QStringLiteral("TG001='3401' OR 1=1")},
        {"$$PURTG", "TG012", key + QStringLiteral(";")},
        {"$$PURTG", "TG012", QStringLiteral("TG001='3401' AND TG002=(VALUES('%1'))").arg(number)},
        {"$$PURTG", "TG012", QStringLiteral("TG001='3401' AND TG002 IN (SELECT TG002 FROM PURTG)")},
        {"$$PURTG", "TG012", QStringLiteral("TG001='3401' AND TG002='%1' AND TG002='%1'").arg(number)},
        {"$$PURTG", "TG012", QStringLiteral("TG001=TG001 AND TG002=TG002")},
        {"$$PURTG", "TG003", key},
        {"$$PURTG", "TG001", key},
        {"$$CMSMF", "MF003", QStringLiteral("MF001='RMB'")},
        {"$$WARRANT", "NT005", QStringLiteral("NT001='TfrmKelm24Fmt' AND NT002='x'")},
        {"$$ADMMF", "MF005", QStringLiteral("MF001='Clerk'")},
    };
    for (const TAttack& a : attacks)
        EXPECT_FALSE(Raised([&] {
                         as.UpdatePrintCount(QString::fromLatin1(a.table), QString::fromLatin1(a.column), a.condition);
                     }).isEmpty())
            << a.table << " " << a.column << " " << a.condition.toStdString();
    EXPECT_EQ(Fingerprints(), before);

    // The layout's own condition counts one print, and a send, of one receipt.
    EXPECT_EQ(as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"), key), 1);
    EXPECT_EQ(as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG045"), QStringLiteral("PURTG.TG002='%1' AND TG001=3401").arg(number)), 1);
    EXPECT_EQ(One(QStringLiteral("SELECT COUNT(*) FROM PURTG WHERE TG045 = 1")).toInt(), 1);
}

TEST_P(ServerUnderAttack, AnAnswerOverTheLimitIsAnErrorWhileOthersAreServed)
{
    settings_.MaxAnswerBytes = 20000;
    Serve();
    auto greedy = Session(TSampleCompany::LeaderUser);
    std::atomic<int> served{0};
    std::unique_ptr<QThread> other(QThread::create([&] {
        auto modest = Session(TSampleCompany::AdminUser);
        for (int i = 0; i < 5; ++i) {
            Variant packet = modest->AppServer().Call(member::AS_GetRecords,
                                                      {QStringLiteral("Provider1"), QStringLiteral("SELECT MQ001 FROM CMSMQ"), Variant()});
            if (packet[1].Count() > 0) ++served;
        }
    }));
    other->start();
    const QString error = Raised([&] {
        greedy->AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"), QStringLiteral("SELECT * FROM PURTH"), Variant()});
    });
    other->wait();
    EXPECT_TRUE(error.contains(QStringLiteral("上限"))) << error.toStdString();
    EXPECT_EQ(served, 5);
    // The greedy client keeps its connection and its session.
    EXPECT_EQ(TAppServerObject(greedy->AppServer()).SQLType(), 0);
}

// Below the members: statements the member checks never see are still held
// by the engine to the member's grants and time.
TEST_P(ServerUnderAttack, TheEngineHoldsClientStatementsToTheirGrantsAndTime)
{
    settings_.StatementTimeoutMs = 300;
    settings_.MaxAnswerBytes = 4000;
    TDataLayer data(settings_);
    const bool sqlite = GetParam() == TSqlEngine::SQLite;
    const QMap<QString, QByteArray> before = Fingerprints();
    QStringList refused = {QStringLiteral("UPDATE ADMMF SET MF005='Y'"), QStringLiteral("DELETE FROM PURTG"),
                           QStringLiteral("INSERT INTO ADMMR (MR001, MR002, MR003) VALUES ('x','y','z')"),
                           QStringLiteral("SELECT MF003 FROM ADMMF")};
    if (sqlite)
        refused << QStringLiteral("SELECT sql FROM sqlite_master") << QStringLiteral("PRAGMA writable_schema=1")
                << QStringLiteral("ATTACH DATABASE ':memory:' AS other") << QStringLiteral("SELECT load_extension('libx')")
                << QStringLiteral("SELECT zeroblob(1000000000)") << QStringLiteral("CREATE TABLE X (A)")
                << QStringLiteral("DROP TABLE ADMTA");
    else
        refused << QStringLiteral("SELECT pg_read_file('/etc/passwd')") << QStringLiteral("SELECT rolname FROM pg_authid")
                << QStringLiteral("CREATE TABLE X (A INTEGER)") << QStringLiteral("DROP TABLE ADMTA");
    for (const QString& sql : refused) {
        for (TClientMember m : {TClientMember::Query, TClientMember::FreeSql, TClientMember::PrintCount})
            EXPECT_FALSE(Raised([&] { data.ExecClient(sql, m); }).isEmpty()) << sql.toStdString();
    }
    EXPECT_EQ(Fingerprints(), before);
    // The connection is the server's own again afterwards.
    EXPECT_EQ(data.Exec(QStringLiteral("UPDATE ADMMF SET MF002=MF002 WHERE MF001=?"), {TSampleCompany::ClerkUser}), 1);

    if (sqlite) {
        EXPECT_FALSE(Raised([&] {
                         data.ExecClient(QStringLiteral("WITH RECURSIVE C(X) AS (SELECT 1 UNION ALL SELECT X+1 FROM C) SELECT COUNT(*) FROM C"),
                                         TClientMember::Query);
                     }).isEmpty());
    }
    const QString endless = sqlite ? QStringLiteral("SELECT COUNT(*) FROM PURTH A, PURTH B, PURTH C, PURTH D")
                                   : QStringLiteral("SELECT pg_sleep(5)");
    const QString timedOut = Raised([&] { data.ExecClient(endless, TClientMember::Query); });
    EXPECT_TRUE(timedOut.contains(QStringLiteral("超过"))) << timedOut.toStdString();
    const QString tooLarge = Raised([&] { data.QueryPacket(QStringLiteral("SELECT * FROM PURTH")); });
    EXPECT_TRUE(tooLarge.contains(QStringLiteral("上限"))) << tooLarge.toStdString();
    EXPECT_EQ(data.QueryPacket(QStringLiteral("SELECT MQ001 FROM CMSMQ"))[1].Count(),
              One(QStringLiteral("SELECT COUNT(*) FROM CMSMQ")).toInt());

    if (!sqlite) {
        // The roles hold their grants and nothing else: no attribute, no membership.
        for (TClientMember m : {TClientMember::Query, TClientMember::FreeSql, TClientMember::PrintCount}) {
            const TSqlRow role = direct_->Select(
                QStringLiteral("SELECT rolsuper OR rolcreaterole OR rolcreatedb OR rolcanlogin OR rolreplication OR rolbypassrls, "
                               "(SELECT COUNT(*) FROM pg_auth_members a WHERE a.member = r.oid) FROM pg_roles r WHERE rolname=?"),
                {TAccessPolicy::RoleName(m)})[0];
            EXPECT_FALSE(role[0].toBool()) << TAccessPolicy::RoleName(m).toStdString();
            EXPECT_EQ(role[1].toInt(), 0) << TAccessPolicy::RoleName(m).toStdString();
        }
        // A role someone gave the server's files is not used, and says why.
        const QString role = TAccessPolicy::RoleName(TClientMember::Query);
        direct_->Exec(QStringLiteral("GRANT pg_read_server_files TO %1").arg(role));
        const TServerSettings other = cluster_->CreateDatabase(QStringLiteral("rolecheck"));
        TDataLayer(other, true).CreateSchema();
        const QString error = Raised([&] {
            TDataLayer fresh(other);
            fresh.ExecClient(QStringLiteral("SELECT COUNT(*) FROM CMSMQ"), TClientMember::Query);
        });
        direct_->Exec(QStringLiteral("REVOKE pg_read_server_files FROM %1").arg(role));
        EXPECT_TRUE(error.contains(QStringLiteral("pg_read_server_files"))) << error.toStdString();
    }
}

TEST_P(ServerUnderAttack, ASessionOpensOnlyForTheUserThatSignedIn)
{
    Serve();
    const int port = test::ServerThreadPort(*server_);
    auto open = [&](const QString& user, const QString& password) {
        TSocketConnection c;
        c.Port = port;
        c.ServerName = QStringLiteral("KELM24S.Class1");
        c.User = user;
        c.Password = password;
        c.TimeoutMs = 10000;
        return Raised([&] { c.Open(); });
    };
    EXPECT_TRUE(open(TSampleCompany::AdminUser, QStringLiteral("guess")).contains(QStringLiteral("密码不对")));
    EXPECT_TRUE(open(QStringLiteral("Nobody"), QStringLiteral("guess")).contains(QStringLiteral("密码不对")));
    EXPECT_EQ(open(TSampleCompany::ClerkUser, test::TestPassword(TSampleCompany::ClerkUser)), QString());

    // Signed in as the clerk, a connection cannot open the super user's session.
    TSocketConnection clerk;
    clerk.Port = port;
    clerk.ServerName = QStringLiteral("KELM24S.Class1");
    clerk.User = TSampleCompany::ClerkUser;
    clerk.Open();
    TAppServerObject as(clerk.AppServer());
    const QString error = Raised([&] {
        as.Connect(TSampleCompany::ProgramCode, TSampleCompany::AdminUser, TSampleCompany::CompanyCode, QString(), QString());
    });
    EXPECT_TRUE(error.contains(QStringLiteral("不能打开用户 DS 的会话"))) << error.toStdString();
    EXPECT_THROW(as.PowerData(), Exception);
    EXPECT_TRUE(as.Connect(TSampleCompany::ProgramCode, TSampleCompany::ClerkUser, TSampleCompany::CompanyCode, QString(), QString())
                    .ToBool());
    EXPECT_EQ(as.PowerData()[1].ToString().split(QLatin1Char(','))[1], QStringLiteral("N"));
}

TEST_P(ServerUnderAttack, LayoutsAreWrittenOnlyWithTheDesignAndDeleteRights)
{
    Serve();
    const QString cls = QStringLiteral("TfrmKelm24Fmt"), style = QStringLiteral("宽版格式");
    const Variant lines = Variant::ArrayOf({QStringLiteral("object a: TQRLabel"), QStringLiteral("end")});
    auto leader = Session(TSampleCompany::LeaderUser);
    TAppServerObject designer(leader->AppServer());
    ASSERT_EQ(designer.RunInsUpdSQL(false, lines, Variant::ArrayOf({QStringLiteral("X"), QStringLiteral("Someone"), QString(), cls, style,
                                                                    QString(), QString()}), 1),
              1);
    // Stored as the session's, whatever owner the client named.
    EXPECT_EQ(One(QStringLiteral("SELECT CREATOR FROM WARRANT WHERE NT002=?"), {style}).toString(), TSampleCompany::LeaderUser);

    auto clerk = Session(TSampleCompany::ClerkUser);  // print only
    TAppServerObject as(clerk->AppServer());
    const QMap<QString, QByteArray> before = Fingerprints();
    EXPECT_TRUE(Raised([&] { as.RunUpdFlagSQL(Variant::ArrayOf({0, QStringLiteral("0"), cls, style})); }).contains(QStringLiteral("权限")));
    EXPECT_TRUE(Raised([&] {
                    as.RunInsUpdSQL(true, lines, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Clerk"), QString(),
                                                                   QStringLiteral("1"), cls, style, QString()}), 1);
                }).contains(QStringLiteral("权限")));
    EXPECT_TRUE(Raised([&] { as.RunDeleteSQL(Variant::ArrayOf({cls, style})); }).contains(QStringLiteral("权限")));
    EXPECT_EQ(Fingerprints(), before);
    Variant answer;  // reading a layout stays open to every session
    EXPECT_EQ(as.GetBlobField(Variant::ArrayOf({cls, style}), answer), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerUnderAttack, ::testing::Values(TSqlEngine::SQLite, TSqlEngine::PostgreSQL), EngineName);
