#include "demo/SampleCompany.h"
#include "kelm24/HostObjects.h"
#include "platform/socketconn/SocketConnection.h"
#include "tests/appserver/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class TlsTest : public ::testing::Test {
protected:
    TServerSettings TlsSettings() const
    {
        TServerSettings s = install.Settings();
        s.TlsCertificateFile = certificates.Certificate();
        s.TlsKeyFile = certificates.Key();
        return s;
    }
    std::unique_ptr<TSocketConnection> Client(int port, bool tls, const QString& caFile) const
    {
        auto c = std::make_unique<TSocketConnection>();
        c->Port = port;
        c->ServerName = QStringLiteral("KELM24S.Class1");
        c->User = TSampleCompany::ClerkUser;
        c->TimeoutMs = 10000;
        c->Tls = tls;
        c->TlsCaFile = caFile;
        return c;
    }
    // The message Open raises; empty when it opened.
    static QString OpenError(TSocketConnection& c)
    {
        try {
            c.Open();
        } catch (const Exception& e) {
            return e.Message();
        }
        return {};
    }
    static int Receipts(TSocketConnection& c)
    {
        TAppServerObject as(c.AppServer());
        as.Connect(QStringLiteral("KELM24"), TSampleCompany::ClerkUser, QStringLiteral("DEMO"), QStringLiteral("DEMO"), QStringLiteral("PURTG"));
        return c.AppServer().Call(QStringLiteral("RunFreeSQL"), {QStringLiteral("SELECT TG001, TG002 FROM PURTG")}).ToInt();
    }
    // kelm24-appserver with the arguments; answers its exit code and error output once it ends.
    static std::pair<int, QString> RunServer(const QStringList& args)
    {
        QProcess p;
        p.start(QDir(test::BinDir()).filePath(QStringLiteral("kelm24-appserver")), args);
        if (!p.waitForFinished(30000)) {
            p.kill();
            p.waitForFinished();
            return {-1, QStringLiteral("still running")};
        }
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }

    test::TSampleInstall install{12, 0};
    test::TTestCertificates certificates;
};

}  // namespace

TEST_F(TlsTest, TlsClientSignsInAndIsServedPlainAndUntrustedPeersAreRefused)
{
    TListenLimits limits;
    limits.MaxSessions = 2;
    auto server = test::StartServerThread(TlsSettings(), limits);
    ASSERT_TRUE(server->error.isEmpty()) << server->error.toStdString();
    const int port = test::ServerThreadPort(*server);

    auto c = Client(port, true, certificates.Ca());
    ASSERT_EQ(OpenError(*c), QString());
    EXPECT_EQ(Receipts(*c), 12);

    // A client that speaks plain frames is told to use TLS.
    auto plain = Client(port, false, {});
    const QString plainError = OpenError(*plain);
    EXPECT_TRUE(plainError.contains(QStringLiteral("只接受 TLS"))) << plainError.toStdString();

    // A client that trusts another authority refuses the server, naming why.
    auto wrongCa = Client(port, true, certificates.OtherCa());
    const QString untrusted = OpenError(*wrongCa);
    EXPECT_TRUE(untrusted.contains(QStringLiteral("证书未通过验证")) && untrusted.contains(certificates.OtherCa()))
        << untrusted.toStdString();
    // So does one that trusts only the system's authorities.
    auto systemCa = Client(port, true, {});
    EXPECT_TRUE(OpenError(*systemCa).contains(QStringLiteral("证书未通过验证")));
    // A CA file that holds no certificate is named before any connection.
    auto noCa = Client(port, true, certificates.Key());
    EXPECT_TRUE(OpenError(*noCa).contains(QStringLiteral("不含 PEM 格式的证书")));

    // A client beyond the limit gets the reason over TLS too. The refused
    // peers above leave their places once the server has seen them go.
    plain.reset();
    wrongCa.reset();
    systemCa.reset();
    noCa.reset();
    for (int i = 0; i < 200 && test::ServerThreadSessions(*server) > 1; ++i) QThread::msleep(50);
    ASSERT_EQ(test::ServerThreadSessions(*server), 1);
    auto second = Client(port, true, certificates.Ca());
    ASSERT_EQ(OpenError(*second), QString());
    auto third = Client(port, true, certificates.Ca());
    const QString turnedAway = OpenError(*third);
    EXPECT_TRUE(turnedAway.contains(QStringLiteral("过多"))) << turnedAway.toStdString();
    EXPECT_EQ(Receipts(*c), 12) << "the first client is still served";
    c->Close();
    second->Close();
    test::StopServerThread(server);

    // A TLS client that reaches a plain server says so instead of sending its password.
    auto plainServer = test::StartServerThread(install.Settings(), TListenLimits());
    auto tlsToPlain = Client(test::ServerThreadPort(*plainServer), true, certificates.Ca());
    const QString mismatch = OpenError(*tlsToPlain);
    EXPECT_TRUE(mismatch.contains(QStringLiteral("无法与应用服务器"))) << mismatch.toStdString();
    test::StopServerThread(plainServer);
}

TEST_F(TlsTest, OtherAddressesNeedACertificateAndAKeyThatBelongTogether)
{
    const QStringList base = {QStringLiteral("--config"), install.IniFile(), QStringLiteral("--listen"), QStringLiteral("0.0.0.0"),
                              QStringLiteral("--port"), QStringLiteral("0")};
    auto [code, error] = RunServer(base);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(error.contains(QStringLiteral("需要 TLS")) && error.contains(QStringLiteral("--tls-cert"))) << error.toStdString();

    // A key of another certificate, a key others can read, a missing file: each named.
    std::tie(code, error) = RunServer(base + QStringList{QStringLiteral("--tls-cert"), certificates.Certificate(), QStringLiteral("--tls-key"),
                                                         certificates.Path(QStringLiteral("other.key"))});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(error.contains(QStringLiteral("不相配"))) << error.toStdString();
    QFile::setPermissions(certificates.Key(), QFile::permissions(certificates.Key()) | QFileDevice::ReadOther);
    std::tie(code, error) = RunServer(base + QStringList{QStringLiteral("--tls-cert"), certificates.Certificate(), QStringLiteral("--tls-key"),
                                                         certificates.Key()});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(error.contains(QStringLiteral("chmod 600"))) << error.toStdString();
    QFile::setPermissions(certificates.Key(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    std::tie(code, error) = RunServer(base + QStringList{QStringLiteral("--tls-cert"), certificates.Path(QStringLiteral("none.pem")),
                                                         QStringLiteral("--tls-key"), certificates.Key()});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(error.contains(QStringLiteral("none.pem"))) << error.toStdString();

    // With both it serves every address, here reached through loopback, and stops cleanly.
    test::TServerProcess process(install.IniFile(), {QStringLiteral("--listen"), QStringLiteral("0.0.0.0"), QStringLiteral("--tls-cert"),
                                                     certificates.Certificate(), QStringLiteral("--tls-key"), certificates.Key()});
    auto c = Client(process.Port(), true, certificates.Ca());
    ASSERT_EQ(OpenError(*c), QString());
    EXPECT_EQ(Receipts(*c), 12);
    c->Close();
    process.Stop();
    EXPECT_EQ(process.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.Process().exitCode(), 0) << process.Process().readAllStandardError().toStdString();
}

TEST_F(TlsTest, TheSettingsFileNamesCertificateAndKeyBesideIt)
{
    QDir(install.Dir()).mkpath(QStringLiteral("tls"));
    ASSERT_TRUE(QFile::copy(certificates.Certificate(), QDir(install.Dir()).filePath(QStringLiteral("tls/server.pem"))));
    ASSERT_TRUE(QFile::copy(certificates.Key(), QDir(install.Dir()).filePath(QStringLiteral("tls/server.key"))));
    QFile ini(install.IniFile());
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("TlsCertificate=tls\\server.pem\nTlsKey=tls/server.key\n");  // the last section is [DBPasswordCtrl]
    ini.close();
    EXPECT_EQ(install.Settings().TlsKeyFile, QDir(install.Dir()).filePath(QStringLiteral("tls/server.key")));

    test::TServerProcess process(install.IniFile());
    auto c = Client(process.Port(), true, certificates.Ca());
    ASSERT_EQ(OpenError(*c), QString());
    EXPECT_EQ(Receipts(*c), 12);
    auto plain = Client(process.Port(), false, {});
    EXPECT_TRUE(OpenError(*plain).contains(QStringLiteral("只接受 TLS")));
}
