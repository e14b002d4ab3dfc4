#include "demo/SampleCompany.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"
#include "appserver/PasswordFile.h"
#include "platform/socketconn/CredentialFile.h"
#include "platform/socketconn/SocketConnection.h"
#include "platform/socketconn/WireFormat.h"
#include "tests/appserver/TestSupport.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace kelm24;

TEST(WireFormat, VariantsKeepTypeBoundsAndNulls)
{
    Variant grid = Variant::CreateArray(1, 2, 0, 1);
    grid.At(1, 0) = QStringLiteral("甲");
    grid.At(2, 1) = 2.5;
    Variant bounded = Variant::CreateArray(1, 3);
    bounded[2] = Variant::Null();
    TWireRequest r{TWireOp::Call, QStringLiteral("GetBlobField"),
                   {Variant(), Variant::Null(), 7, int64_t(1) << 40, true, 0.1, QStringLiteral("进货单"), Variant::FromDate(45000.25),
                    Variant::ArrayOf({1, Variant::ArrayOf({QStringLiteral("x")})}), grid, bounded, Variant::CreateArray(0, -1)},
                   QStringLiteral("v")};
    TWireRequest back = DecodeRequest(EncodeRequest(r));
    ASSERT_EQ(back.Args.size(), r.Args.size());
    EXPECT_EQ(back.Name, r.Name);
    const VarType types[] = {VarType::Empty, VarType::Null, VarType::Integer, VarType::Int64, VarType::Boolean, VarType::Double,
                             VarType::String, VarType::Date, VarType::Array, VarType::Array, VarType::Array, VarType::Array};
    for (size_t i = 0; i < r.Args.size(); ++i) EXPECT_EQ(back.Args[i].Type(), types[i]) << i;
    EXPECT_EQ(back.Args[3].ToInt64(), int64_t(1) << 40);
    EXPECT_EQ(back.Args[6].ToString(), QStringLiteral("进货单"));
    EXPECT_DOUBLE_EQ(back.Args[7].ToDate(), 45000.25);
    EXPECT_EQ(back.Args[8][1][0].ToString(), QStringLiteral("x"));
    EXPECT_EQ(back.Args[9].LowBound(1), 1);
    EXPECT_EQ(back.Args[9].HighBound(2), 1);
    EXPECT_EQ(back.Args[9].At(1, 0).ToString(), QStringLiteral("甲"));
    EXPECT_DOUBLE_EQ(back.Args[9].At(2, 1).ToDouble(), 2.5);
    EXPECT_EQ(back.Args[10].LowBound(), 1);
    EXPECT_TRUE(back.Args[10][2].IsNull());
    EXPECT_EQ(back.Args[11].Count(), 0);

    TWireAnswer a{true, Variant(), {}, QStringLiteral("用户 X 不存在")};
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(a)).Error, a.Error);
    EXPECT_THROW(EncodeRequest({TWireOp::Call, QStringLiteral("x"), {Variant(std::make_shared<TAutomationObject>(QStringLiteral("T")))}, {}}),
                 Exception);
}

TEST(WireFormat, MalformedBytesRaiseInsteadOfCrashing)
{
    const QByteArray good = EncodeRequest({TWireOp::Call, QStringLiteral("SQLType"), {1, QStringLiteral("x")}, {}});
    EXPECT_NO_THROW(DecodeRequest(good));
    for (int cut = 0; cut < good.size(); ++cut) EXPECT_THROW(DecodeRequest(good.left(cut)), Exception) << cut;
    EXPECT_THROW(DecodeRequest(good + QByteArray(1, '\0')), Exception);
    EXPECT_THROW(DecodeRequest(QByteArray::fromHex("9f01")), Exception);            // indefinite array
    EXPECT_THROW(DecodeRequest(QByteArray::fromHex("9bffffffffffffffff")), Exception);  // array longer than the message
    EXPECT_THROW(DecodeRequest(QByteArray::fromHex("8409")), Exception);            // op out of range
    QByteArray deep(200, '\x81');  // arrays nested far too deep
    EXPECT_THROW(DecodeRequest(QByteArray::fromHex("84016178") + deep + QByteArray(1, '\x01')), Exception);
    // A bounded array whose bounds do not fit its elements.
    EXPECT_THROW(DecodeRequest(QByteArray::fromHex("8401617881d9fdeb8282010a8100f7")), Exception);
    // Every value costs one byte on the wire but a whole variant in memory: a
    // request of millions of values would take gigabytes, so it is refused
    // before they are built. The same count of values in an answer is rows.
    const quint32 many = 3u << 20;
    QByteArray header = QByteArray::fromHex("840161789a");
    header.append(FrameHeader(many));
    QByteArray flood = header + QByteArray(many, '\xf7') + QByteArray(1, '\xf7');
    try {
        DecodeRequest(flood);
        ADD_FAILURE() << "a request of three million values was built";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("过多"))) << e.Message().toStdString();
    }
    QByteArray rows = QByteArray::fromHex("8400") + QByteArray::fromHex("9a") + FrameHeader(many) + QByteArray(many, '\xf6') +
                      QByteArray::fromHex("8060");
    EXPECT_EQ(DecodeAnswer(rows).Result.Count(), static_cast<int>(many));
}

namespace {

class SocketServerTest : public ::testing::Test {
protected:
    void SetUp() override { server = test::StartServerThread(install.Settings(), 4096, 2000); }
    void TearDown() override { test::StopServerThread(server); }

    TSocketConnection Connection(const QString& user = TSampleCompany::LeaderUser)
    {
        TSocketConnection c;
        c.User = user;
        c.Port = test::ServerThreadPort(*server);
        c.ServerName = QStringLiteral("KELM24S.Class1");
        c.TimeoutMs = 20000;
        return c;
    }
    // Sends raw bytes; answers the decoded answer frame, or an empty error when none came.
    TWireAnswer Raw(QTcpSocket& s, const QByteArray& bytes)
    {
        s.write(bytes);
        s.waitForBytesWritten(2000);
        QByteArray in;
        while (in.size() < kWireHeaderSize || in.size() < kWireHeaderSize + FrameLength(in.constData())) {
            if (s.bytesAvailable() == 0 && !s.waitForReadyRead(5000)) return {true, Variant(), {}, QString()};
            in += s.readAll();
        }
        return DecodeAnswer(in.mid(kWireHeaderSize));
    }
    bool ClosedByPeer(QTcpSocket& s)
    {
        if (s.state() == QAbstractSocket::UnconnectedState) return true;
        s.waitForReadyRead(3000);
        return s.state() == QAbstractSocket::UnconnectedState || s.waitForDisconnected(3000);
    }
    QByteArray Frame(const QByteArray& payload) { return FrameHeader(payload.size()) + payload; }

    test::TSampleInstall install;
    std::unique_ptr<test::TServerThread> server;
};

}  // namespace

TEST_F(SocketServerTest, MembersAnswerOverTheConnectionWithArgumentsAndErrors)
{
    TSocketConnection c = Connection();
    c.Open();
    TAppServerObject as(c.AppServer());
    try {
        as.Connect(QStringLiteral("KELM24"), QStringLiteral("Nobody"), QStringLiteral("DEMO"), {}, {});
        ADD_FAILURE() << "no error came back";
    } catch (const Exception& e) {
        // The connection signed in as Leader: it opens Leader's session only.
        EXPECT_TRUE(e.Message().contains(QStringLiteral("不能打开用户 Nobody 的会话"))) << e.Message().toStdString();
    }
    as.Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, QStringLiteral("DEMO"), QStringLiteral("DEMO"), QStringLiteral("PURTG"));
    EXPECT_EQ(as.SQLType(), 0);
    EXPECT_EQ(as.PowerData()[1].ToString().split(QLatin1Char(','))[0], QStringLiteral("王建国"));
    const Variant lines = Variant::ArrayOf({QStringLiteral("object a: TQRLabel"), QStringLiteral("end")});
    ASSERT_EQ(as.RunInsUpdSQL(false, lines, Variant::ArrayOf({QStringLiteral("DEMO"), QStringLiteral("Leader"), QStringLiteral("PUR"),
                                                              QStringLiteral("TfrmKelm24Fmt"), QStringLiteral("A"), QString(), QString()}), 0), 1);
    Variant answer;  // written back through the by-reference argument
    ASSERT_EQ(as.GetBlobField(Variant::ArrayOf({QStringLiteral("TfrmKelm24Fmt"), QStringLiteral("A")}), answer), 1);
    EXPECT_EQ(answer[1][0].ToString(), QStringLiteral("object a: TQRLabel"));
    EXPECT_THROW(c.AppServer().Call(QStringLiteral("NoSuchMember")), Exception);
    EXPECT_EQ(as.SQLType(), 0) << "an error answer keeps the connection";
    c.Close();
    EXPECT_THROW(as.SQLType(), Exception);
}

TEST_F(SocketServerTest, BadFramesGetAnErrorAndTheServerGoesOn)
{
    {  // calls before the object is opened
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(test::ServerThreadPort(*server)));
        ASSERT_TRUE(s.waitForConnected(3000));
        TWireAnswer a = Raw(s, Frame(EncodeRequest({TWireOp::SignIn, TSampleCompany::LeaderUser, {},
                                                    test::TestPassword(TSampleCompany::LeaderUser)})));
        ASSERT_FALSE(a.Raised) << a.Error.toStdString();
        a = Raw(s, Frame(EncodeRequest({TWireOp::Call, QStringLiteral("SQLType"), {}, {}})));
        EXPECT_TRUE(a.Raised);
        EXPECT_TRUE(a.Error.contains(QStringLiteral("打开")));
        a = Raw(s, Frame(EncodeRequest({TWireOp::Open, QStringLiteral("Excel.Application"), {}, {}})));
        EXPECT_TRUE(a.Error.contains(QStringLiteral("Excel.Application")));
        a = Raw(s, Frame(EncodeRequest({TWireOp::Open, QStringLiteral("KELM24S.Class1"), {}, {}})));
        EXPECT_FALSE(a.Raised) << a.Error.toStdString();
        // Garbage in a frame of proper length: an error, then the connection closes.
        a = Raw(s, Frame(QByteArray("\xff\xfe garbage", 10)));
        EXPECT_TRUE(a.Raised);
        EXPECT_TRUE(a.Error.contains(QStringLiteral("格式错误")));
        EXPECT_TRUE(ClosedByPeer(s));
    }
    {  // a frame over the limit is refused before it is read
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(test::ServerThreadPort(*server)));
        ASSERT_TRUE(s.waitForConnected(3000));
        TWireAnswer a = Raw(s, FrameHeader(1 << 30));
        EXPECT_TRUE(a.Error.contains(QStringLiteral("请求过大")));
        EXPECT_TRUE(ClosedByPeer(s));
    }
    {  // half a frame, then silence: the server gives up on it after its frame time
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(test::ServerThreadPort(*server)));
        ASSERT_TRUE(s.waitForConnected(3000));
        s.write(FrameHeader(100) + QByteArray(10, 'x'));
        s.waitForBytesWritten(1000);
        TSocketConnection other = Connection(TSampleCompany::AdminUser);  // meanwhile another client is served
        other.Open();
        TAppServerObject(other.AppServer()).Connect(QStringLiteral("KELM24"), QStringLiteral("DS"), QStringLiteral("DEMO"), {}, {});
        EXPECT_TRUE(ClosedByPeer(s));
    }
    {  // a client that leaves in the middle of a request
        QTcpSocket s;
        s.connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(test::ServerThreadPort(*server)));
        ASSERT_TRUE(s.waitForConnected(3000));
        s.write(FrameHeader(50) + QByteArray(5, 'x'));
        s.waitForBytesWritten(1000);
        s.abort();
    }
    TSocketConnection c = Connection(TSampleCompany::AdminUser);
    c.Open();
    TAppServerObject as(c.AppServer());
    as.Connect(QStringLiteral("KELM24"), QStringLiteral("DS"), QStringLiteral("DEMO"), {}, {});
    EXPECT_EQ(as.RunFreeSQL(QStringLiteral("SELECT * FROM ADMMQ")), 1);
}

TEST_F(SocketServerTest, SeveralClientsAtOnce)
{
    std::atomic<int> rows{0}, failures{0};
    std::vector<std::unique_ptr<QThread>> clients;
    const int port = test::ServerThreadPort(*server);
    const QString number =
        TDataLayer(install.Settings()).Select(QStringLiteral("SELECT MIN(TG002) FROM PURTG WHERE TG001='3401' AND TG002 NOT LIKE '%''%'"))[0][0].toString();
    for (int k = 0; k < 4; ++k) {
        clients.emplace_back(QThread::create([&, k] {
            try {
                TSocketConnection c;
                c.Port = port;
                c.ServerName = QStringLiteral("KELM24S.Class1");
                c.User = k % 2 ? QStringLiteral("DS") : QStringLiteral("Leader");
                c.Open();
                TAppServerObject as(c.AppServer());
                as.Connect(QStringLiteral("KELM24"), k % 2 ? QStringLiteral("DS") : QStringLiteral("Leader"), QStringLiteral("DEMO"), {}, {});
                for (int i = 0; i < 5; ++i) {
                    Variant packet = c.AppServer().Call(member::AS_GetRecords, {QStringLiteral("Provider1"),
                                                                                QStringLiteral("SELECT TH001, TH002, TH003 FROM $$PURTH PURTH"), Variant()});
                    rows += packet[1].Count();
                    as.UpdatePrintCount(QStringLiteral("$$PURTG"), QStringLiteral("TG012"),
                                        QStringLiteral("TG001='3401' and TG002='%1'").arg(number));
                }
            } catch (const Exception&) {
                ++failures;
            }
        }));
        clients.back()->start();
    }
    for (auto& t : clients) t->wait();
    EXPECT_EQ(failures, 0);
    TDataLayer direct(install.Settings());
    const int lines = direct.Select(QStringLiteral("SELECT COUNT(*) FROM PURTH"))[0][0].toInt();
    EXPECT_EQ(rows, 4 * 5 * lines);
}

TEST(SocketServerLimits, ClientsBeyondTheLimitAreTurnedAwayAndLaterOnesServed)
{
    test::TSampleInstall install;
    auto server = test::StartServerThread(install.Settings(), 4096, 2000, 2);
    auto open = [&] {
        auto c = std::make_unique<TSocketConnection>();
        c->Port = test::ServerThreadPort(*server);
        c->ServerName = QStringLiteral("KELM24S.Class1");
        c->User = TSampleCompany::AdminUser;
        c->TimeoutMs = 5000;
        c->Open();
        return c;
    };
    auto first = open();
    std::vector<std::unique_ptr<QTcpSocket>> silent;  // connected, never a word
    silent.push_back(std::make_unique<QTcpSocket>());
    silent.back()->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(test::ServerThreadPort(*server)));
    ASSERT_TRUE(silent.back()->waitForConnected(3000));
    for (int i = 0; i < 20 && test::ServerThreadSessions(*server) < 2; ++i) QThread::msleep(50);
    ASSERT_EQ(test::ServerThreadSessions(*server), 2);
    // Further clients get an answer that says why, and take no thread.
    for (int k = 0; k < 3; ++k) {
        try {
            open();
            ADD_FAILURE() << "a client beyond the limit was served";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Message().contains(QStringLiteral("过多"))) << e.Message().toStdString();
        }
    }
    EXPECT_EQ(test::ServerThreadSessions(*server), 2);
    // The first client is still served; once the silent one leaves, a new one is.
    TAppServerObject(first->AppServer()).Connect(QStringLiteral("KELM24"), QStringLiteral("DS"), QStringLiteral("DEMO"), {}, {});
    silent.clear();
    for (int i = 0; i < 40 && test::ServerThreadSessions(*server) > 1; ++i) QThread::msleep(50);
    auto next = open();
    EXPECT_TRUE(
        TAppServerObject(next->AppServer()).Connect(QStringLiteral("KELM24"), QStringLiteral("DS"), QStringLiteral("DEMO"), {}, {}).ToBool());
    test::StopServerThread(server);
}

TEST(SocketConnection, ClearErrorsForNoServerSilenceAndLostConnection)
{
    TSocketConnection nobody;
    nobody.Port = test::FreePort();
    try {
        nobody.Open();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("无法连接应用服务器")));
    }
    // A name that stands for no address is named.
    TSocketConnection unknown;
    unknown.Address = QStringLiteral("no-such-host.invalid");
    unknown.Port = nobody.Port;
    try {
        unknown.Open();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("无法连接应用服务器 no-such-host.invalid"))) << e.Message().toStdString();
    }

    // A peer that accepts and never answers: the call times out.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    TSocketConnection c;
    c.Port = silent.serverPort();
    c.TimeoutMs = 600;
    try {
        c.Open();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("没有回答"))) << e.Message().toStdString();
    }
    EXPECT_FALSE(c.Connected());

    // A peer that hangs up once the request is in.
    std::atomic<int> port{0};
    std::unique_ptr<QThread> closer(QThread::create([&port] {
        QTcpServer hangup;
        hangup.listen(QHostAddress::LocalHost, 0);
        port = hangup.serverPort();
        if (!hangup.waitForNewConnection(5000)) return;
        QTcpSocket* s = hangup.nextPendingConnection();
        s->waitForReadyRead(5000);
        s->abort();
        delete s;
    }));
    closer->start();
    while (port == 0) QThread::msleep(5);
    TSocketConnection lost;
    lost.Port = port;
    lost.TimeoutMs = 5000;
    try {
        lost.Open();
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("中断"))) << e.Message().toStdString();
    }
    closer->wait();
}

namespace {

// A raw connection to the test server.
std::unique_ptr<QTcpSocket> RawSocket(int port)
{
    auto s = std::make_unique<QTcpSocket>();
    s->connectToHost(QStringLiteral("127.0.0.1"), static_cast<quint16>(port));
    s->waitForConnected(3000);
    return s;
}

bool DroppedWithin(QTcpSocket& s, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (s.state() == QAbstractSocket::UnconnectedState) return true;
        s.waitForReadyRead(100);
        s.readAll();
    }
    return s.state() == QAbstractSocket::UnconnectedState;
}

QByteArray SignInFrame(const QString& user, const QString& password)
{
    const QByteArray payload = EncodeRequest({TWireOp::SignIn, user, {}, password});
    return FrameHeader(payload.size()) + payload;
}

}  // namespace

TEST_F(SocketServerTest, NothingAnswersBeforeSignInAndGuessersAreCutOff)
{
    auto s = RawSocket(test::ServerThreadPort(*server));
    ASSERT_EQ(s->state(), QAbstractSocket::ConnectedState);
    for (const TWireRequest& r : {TWireRequest{TWireOp::Open, QStringLiteral("KELM24S.Class1"), {}, {}},
                                  TWireRequest{TWireOp::Get, QStringLiteral("SQLType"), {}, {}}}) {
        TWireAnswer a = Raw(*s, Frame(EncodeRequest(r)));
        EXPECT_TRUE(a.Raised);
        EXPECT_TRUE(a.Error.contains(QStringLiteral("请先以用户和密码登录"))) << a.Error.toStdString();
    }
    // Three wrong guesses and the connection ends.
    for (int k = 0; k < 3; ++k) {
        TWireAnswer a = Raw(*s, SignInFrame(TSampleCompany::AdminUser, QStringLiteral("guess%1").arg(k)));
        EXPECT_TRUE(a.Error.contains(QStringLiteral("密码不对"))) << a.Error.toStdString();
    }
    EXPECT_TRUE(ClosedByPeer(*s));

    // The array whose bounds span the integer range, sent before any sign-in:
    // an error answer, and the server goes on.
    auto bomb = RawSocket(test::ServerThreadPort(*server));
    const QByteArray payload = QByteArray::fromHex("8401617881d9fdeb82843a3fffffff1a3fffffff002080f7");
    TWireAnswer a = Raw(*bomb, Frame(payload));
    EXPECT_TRUE(a.Raised);
    EXPECT_TRUE(a.Error.contains(QStringLiteral("格式错误"))) << a.Error.toStdString();
    TSocketConnection c = Connection();
    c.Open();
    EXPECT_TRUE(TAppServerObject(c.AppServer())
                    .Connect(QStringLiteral("KELM24"), TSampleCompany::LeaderUser, QStringLiteral("DEMO"), {}, {})
                    .ToBool());
}

TEST(SocketServerLimits, StalledHeadersAndSilentStrangersAreDroppedIdleClientsLater)
{
    test::TSampleInstall install;
    TListenLimits limits;
    limits.FrameTimeoutMs = 800;
    limits.IdleTimeoutMs = 2500;
    auto server = test::StartServerThread(install.Settings(), limits);
    const int port = test::ServerThreadPort(*server);
    auto stalled = RawSocket(port);  // two bytes of a header, then nothing
    stalled->write(QByteArray(2, '\0'));
    stalled->waitForBytesWritten(1000);
    auto silent = RawSocket(port);   // never a byte
    auto member = RawSocket(port);   // signed in, then quiet
    member->write(SignInFrame(TSampleCompany::LeaderUser, test::TestPassword(TSampleCompany::LeaderUser)));
    member->waitForBytesWritten(1000);
    EXPECT_TRUE(DroppedWithin(*stalled, 4000));
    EXPECT_TRUE(DroppedWithin(*silent, 4000));
    EXPECT_EQ(member->state(), QAbstractSocket::ConnectedState) << "a signed-in client may stay quiet for the idle time";
    EXPECT_TRUE(DroppedWithin(*member, 6000));
    test::StopServerThread(server);
}

TEST(SocketServerLimits, OneAddressCannotTakeEveryPlace)
{
    test::TSampleInstall install;
    TListenLimits limits;
    limits.MaxSessions = 10;
    limits.MaxSessionsPerPeer = 2;
    auto server = test::StartServerThread(install.Settings(), limits);
    auto first = RawSocket(test::ServerThreadPort(*server));
    auto second = RawSocket(test::ServerThreadPort(*server));
    for (int i = 0; i < 40 && test::ServerThreadSessions(*server) < 2; ++i) QThread::msleep(50);
    TSocketConnection c;
    c.Port = test::ServerThreadPort(*server);
    c.ServerName = QStringLiteral("KELM24S.Class1");
    c.TimeoutMs = 5000;
    try {
        c.Open();
        ADD_FAILURE() << "a third client of one address was served";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("来自 127.0.0.1 的连接过多"))) << e.Message().toStdString();
    }
    test::StopServerThread(server);
}

TEST(SocketServerLimits, ListensOnlyOnTheMachinesOwnAddresses)
{
    test::TSampleInstall install;
    TSocketServer server(install.Settings());
    try {
        server.Start(QStringLiteral("0.0.0.0"), 0);
        ADD_FAILURE() << "listened on every address";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("TLS"))) << e.Message().toStdString();
    }
    EXPECT_FALSE(server.isListening());
}

TEST(SignIn, PasswordHashesAreSaltedAndCheckedWhole)
{
    QTemporaryDir dir;
    TPasswordFile users(dir.filePath(QStringLiteral("users")));
    EXPECT_FALSE(users.Verify(QStringLiteral("Clerk"), QStringLiteral("x"))) << "no file, no users";
    users.Set(QStringLiteral("Clerk"), QStringLiteral("s3cret:pass"), 10);
    users.Set(QStringLiteral("DS"), QStringLiteral("other"), 10);
    users.Set(QStringLiteral("clerk"), QStringLiteral("changed"), 10);  // replaces, without case
    EXPECT_TRUE(users.Verify(QStringLiteral("CLERK"), QStringLiteral("changed")));
    EXPECT_FALSE(users.Verify(QStringLiteral("Clerk"), QStringLiteral("s3cret:pass")));
    EXPECT_FALSE(users.Verify(QStringLiteral("Clerk"), QStringLiteral("Changed")));
    EXPECT_FALSE(users.Verify(QStringLiteral("Clerk"), QString()));
    EXPECT_FALSE(users.Verify(QStringLiteral("Nobody"), QStringLiteral("changed")));
    EXPECT_TRUE(users.Verify(QStringLiteral("DS"), QStringLiteral("other")));

    QFile file(users.Path());
    EXPECT_EQ(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_FALSE(text.contains(QStringLiteral("changed")));
    EXPECT_EQ(text.count(QStringLiteral("$scrypt$ln=10,r=8,p=1$")), 2);

    const QString a = TPasswordFile::Hash(QStringLiteral("same"), 10), b = TPasswordFile::Hash(QStringLiteral("same"), 10);
    EXPECT_NE(a, b) << "each hash has a salt of its own";
    EXPECT_TRUE(TPasswordFile::Matches(a, QStringLiteral("same")));
    // A hash that asks for unbounded work, or is cut short, matches nothing.
    EXPECT_FALSE(TPasswordFile::Matches(QString(a).replace(QStringLiteral("ln=10"), QStringLiteral("ln=40")), QStringLiteral("same")));
    EXPECT_FALSE(TPasswordFile::Matches(a.left(a.size() - 8), QStringLiteral("same")));
    EXPECT_FALSE(TPasswordFile::Matches(QStringLiteral("same"), QStringLiteral("same")));
    EXPECT_THROW(users.Set(QStringLiteral("a:b"), QStringLiteral("x"), 10), Exception);
    EXPECT_THROW(users.Set(QStringLiteral("Clerk"), QString(), 10), Exception);
}

TEST(SignIn, CredentialFileIsFoundByAddressPortAndUserAndKeptPrivate)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pass"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# address:port:user:password\n"
               "10.0.0.9:211:Leader:elsewhere\n"
               "127.0.0.1:2110:Leader:with\\:colon\\\\\n"
               "*:*:Clerk:anywhere\n");
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const TCredentialFile credentials(path);
    std::optional<TCredential> found = credentials.Find(QStringLiteral("127.0.0.1"), 2110);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->User, QStringLiteral("Leader"));
    EXPECT_EQ(found->Password, QStringLiteral("with:colon\\"));
    found = credentials.Find(QStringLiteral("127.0.0.1"), 2110, QStringLiteral("clerk"));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Password, QStringLiteral("anywhere"));
    EXPECT_EQ(credentials.Find(QStringLiteral("127.0.0.1"), 211)->User, QStringLiteral("Clerk"));
    EXPECT_FALSE(TCredentialFile(dir.filePath(QStringLiteral("none"))).Find(QStringLiteral("127.0.0.1"), 211));

    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    try {
        credentials.Find(QStringLiteral("127.0.0.1"), 2110);
        ADD_FAILURE() << "a file others can read was used";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().contains(QStringLiteral("chmod 600"))) << e.Message().toStdString();
    }
}
