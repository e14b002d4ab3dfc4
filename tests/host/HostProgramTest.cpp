#include "tests/appserver/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTcpServer>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

struct TRun {
    int Code = -1;
    QString Out, Err;
};

TRun Host(const QStringList& args, const QString& registry = {}, const QString& credentialFile = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    if (!registry.isEmpty()) env.insert(QStringLiteral("KELM24_REGISTRY"), registry);
    if (!credentialFile.isEmpty()) env.insert(QStringLiteral("KELM24_APPSERVER_PASSFILE"), credentialFile);
    p.setProcessEnvironment(env);
    p.start(QDir(test::BinDir()).filePath(QStringLiteral("kelm24-host")), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A registry file naming the installation, its client settings saying where the server is.
QString WriteRegistry(const test::TSampleInstall& install, const QByteArray& clientIni)
{
    QDir(install.Dir()).mkpath(QStringLiteral("client"));
    QFile client(QDir(install.Dir()).filePath(QStringLiteral("client/CorvaneC.ini")));
    if (!client.open(QIODevice::WriteOnly)) return {};
    client.write(clientIni);
    client.close();
    const QString registry = QDir(install.Dir()).filePath(QStringLiteral("registry.ini"));
    QFile reg(registry);
    if (!reg.open(QIODevice::WriteOnly)) return {};
    reg.write(QStringLiteral("[Software\\QVS\\Corvane]\nClientPath=%1/client\nServerPath=%1\n[Software\\Classes\\KELM24S.Class1]\nInprocServer=%2\n")
                  .arg(install.Dir(), QDir(test::BinDir()).filePath(QStringLiteral("libKelm24S.so")))
                  .toUtf8());
    return registry;
}

QByteArray ServerAt(const QString& address, qint64 port)
{
    return QStringLiteral("[Server Information]\nComputerName=%1\nServerPort=%2\n").arg(address).arg(port).toUtf8();
}

}  // namespace

TEST(HostProgram, HelpAndBadArguments)
{
    TRun help = Host({QStringLiteral("--help")});
    EXPECT_EQ(help.Code, 0);
    EXPECT_TRUE(help.Out.contains(QStringLiteral("export"))) << help.Out.toStdString();
    TRun bad = Host({QStringLiteral("frobnicate")});
    EXPECT_EQ(bad.Code, 2);
    EXPECT_TRUE(bad.Err.contains(QStringLiteral("unknown verb \"frobnicate\"")));
    EXPECT_EQ(Host({QStringLiteral("--nope")}).Code, 2);
    EXPECT_EQ(Host({QStringLiteral("export"), QStringLiteral("--type"), QStringLiteral("3401")}).Code, 2) << "no --out";
    EXPECT_EQ(Host({QStringLiteral("export"), QStringLiteral("--type"), QStringLiteral("3401"), QStringLiteral("--out"),
                    QStringLiteral("/tmp/x"), QStringLiteral("--format"), QStringLiteral("tiff")}).Code, 2);
    // A receipt number alone names no receipt: it would print the form's conditions instead.
    TRun numberAlone = Host({QStringLiteral("print"), QStringLiteral("--number"), QStringLiteral("20240101001")});
    EXPECT_EQ(numberAlone.Code, 2);
    EXPECT_TRUE(numberAlone.Err.contains(QStringLiteral("--number needs --type"))) << numberAlone.Err.toStdString();
    for (const char* wait : {"0", "-5", "soon", "99999999999"}) {
        TRun badWait = Host({QStringLiteral("--timeout"), QString::fromLatin1(wait)});
        EXPECT_EQ(badWait.Code, 2) << wait;
        EXPECT_TRUE(badWait.Err.contains(QStringLiteral("--timeout"))) << badWait.Err.toStdString();
    }
}

TEST(HostProgram, UnusableInstallationOrServerEndsWithAClearMessage)
{
    test::TSampleInstall install;
    // No registry file at all.
    TRun noRegistry = Host({}, QDir(install.Dir()).filePath(QStringLiteral("missing.ini")));
    EXPECT_EQ(noRegistry.Code, 1);
    EXPECT_TRUE(noRegistry.Err.contains(QStringLiteral("missing.ini"))) << noRegistry.Err.toStdString();

    // A port no TCP connection can use.
    for (qint64 port : {0LL, 70000LL}) {
        TRun badPort = Host({}, WriteRegistry(install, ServerAt(QStringLiteral("localhost"), port)));
        EXPECT_EQ(badPort.Code, 1) << port;
        EXPECT_TRUE(badPort.Err.contains(QStringLiteral("ServerPort"))) << badPort.Err.toStdString();
    }

    // Nobody listens: the refusal is reported.
    quint16 closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    TRun refused = Host({}, WriteRegistry(install, ServerAt(QStringLiteral("localhost"), closedPort)));
    EXPECT_EQ(refused.Code, 1);
    EXPECT_TRUE(refused.Err.contains(QStringLiteral("无法连接应用服务器"))) << refused.Err.toStdString();

    // A server that takes the connection and never answers: the wait ends at --timeout.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QElapsedTimer clock;
    clock.start();
    TRun mute = Host({QStringLiteral("--timeout"), QStringLiteral("2")}, WriteRegistry(install, ServerAt(QStringLiteral("localhost"), silent.serverPort())));
    EXPECT_EQ(mute.Code, 1);
    EXPECT_LT(clock.elapsed(), 30000);
    EXPECT_FALSE(mute.Err.isEmpty());
}

TEST(HostProgram, RunsAgainstAnInstallationAndReportsWhatIsMissing)
{
    test::TSampleInstall install;
    const QString registry =
        WriteRegistry(install, ServerAt(QStringLiteral("127.0.0.1"), 211) + "[CodePage]\nUICodePage=936\nDBCodePage=936\n");
    ASSERT_FALSE(registry.isEmpty());

    TRun run = Host({}, registry);
    EXPECT_EQ(run.Code, 0) << run.Out.toStdString() << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("loaded "))) << run.Out.toStdString();
    // The receipt option form is created (256), started, and goes with the controller (304).
    EXPECT_TRUE(run.Out.contains(QStringLiteral("notify 256\nInitForm 0\n"))) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("form Leader DEMO KELM24 进货单打印"))) << run.Out.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("version 20011207")));
    EXPECT_TRUE(run.Out.contains(QStringLiteral("notify 304")));

    // Without a screen the dialog is only pictured; it is shown (272), hidden (288) and freed (304).
    TRun modal = Host({QStringLiteral("dialog")}, registry);
    EXPECT_EQ(modal.Code, 2);
    EXPECT_TRUE(modal.Err.contains(QStringLiteral("--grab"))) << modal.Err.toStdString();
    const QString picture = QDir(install.Dir()).filePath(QStringLiteral("dialog.png"));
    TRun grabbed = Host({QStringLiteral("dialog"), QStringLiteral("--grab"), picture}, registry);
    EXPECT_EQ(grabbed.Code, 0) << grabbed.Err.toStdString();
    EXPECT_TRUE(grabbed.Out.contains(QStringLiteral("notify 272\nnotify 288\nnotify 304"))) << grabbed.Out.toStdString();
    const QImage image(picture);
    EXPECT_GE(image.width(), 600);
    EXPECT_GE(image.height(), 300);

    // The receipt layout is part of the plug-in: a preview of one receipt
    // (command 6) generates its pages.
    TRun preview = Host({QStringLiteral("preview"), QStringLiteral("--type"), QStringLiteral("3401"), QStringLiteral("--number"),
                         QStringLiteral("20231228002")}, registry);
    EXPECT_EQ(preview.Code, 0) << preview.Err.toStdString();
    EXPECT_TRUE((preview.Out + preview.Err).contains(QStringLiteral("frmKelm24Fmt: 2 pages generated for preview")))
        << preview.Out.toStdString() << preview.Err.toStdString();

    // A user the installation does not know is refused with the server's message.
    TRun stranger = Host({QStringLiteral("--user"), QStringLiteral("Nobody")}, registry);
    EXPECT_EQ(stranger.Code, 1);
    EXPECT_TRUE(stranger.Err.contains(QStringLiteral("用户 Nobody 不存在"))) << stranger.Err.toStdString();
}

TEST(HostProgram, SignsInToTheServerOverTheNetworkWithTheUsersCredentialFile)
{
    test::TSampleInstall install;
    test::TServerProcess server(install.IniFile());
    const QString registry = WriteRegistry(install, ServerAt(QStringLiteral("localhost"), server.Port()) +
                                                        "[CodePage]\nUICodePage=936\nDBCodePage=936\n");
    // The sample installation's credential file holds each user's password.
    TRun run = Host({}, registry, QDir(install.Dir()).filePath(QStringLiteral("client.pass")));
    EXPECT_EQ(run.Code, 0) << run.Out.toStdString() << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("form Leader DEMO KELM24 进货单打印"))) << run.Out.toStdString();

    // Without a credential the server answers nothing, and says why.
    TRun stranger = Host({}, registry, QDir(install.Dir()).filePath(QStringLiteral("missing.pass")));
    EXPECT_EQ(stranger.Code, 1);
    EXPECT_TRUE(stranger.Err.contains(QStringLiteral("登录"))) << stranger.Err.toStdString();
    EXPECT_TRUE(stranger.Err.contains(QStringLiteral("missing.pass"))) << stranger.Err.toStdString();
}

TEST(HostProgram, ReachesATlsServerTheClientSettingsNameAndRefusesAnUntrustedOne)
{
    test::TSampleInstall install;
    test::TTestCertificates certificates;
    test::TServerProcess server(install.IniFile(), {QStringLiteral("--tls-cert"), certificates.Certificate(), QStringLiteral("--tls-key"),
                                                    certificates.Key()});
    const QString credentials = QDir(install.Dir()).filePath(QStringLiteral("client.pass"));
    auto settings = [&](const QString& caFile) {
        return ServerAt(QStringLiteral("localhost"), server.Port()) + "ServerTLS=1\nServerCAFile=" + caFile.toUtf8() +
               "\n[CodePage]\nUICodePage=936\nDBCodePage=936\n";
    };
    TRun run = Host({}, WriteRegistry(install, settings(certificates.Ca())), credentials);
    EXPECT_EQ(run.Code, 0) << run.Out.toStdString() << run.Err.toStdString();
    EXPECT_TRUE(run.Out.contains(QStringLiteral("form Leader DEMO KELM24 进货单打印"))) << run.Out.toStdString();

    TRun untrusted = Host({}, WriteRegistry(install, settings(certificates.OtherCa())), credentials);
    EXPECT_EQ(untrusted.Code, 1);
    EXPECT_TRUE(untrusted.Err.contains(QStringLiteral("证书未通过验证"))) << untrusted.Err.toStdString();
}
