// Sending documents: e-mail to a real SMTP server on loopback (started and
// stopped by the test), fax jobs in spool folders, and the send log.
#include "OutputTestSupport.h"
#include "output/PageOutput.h"
#include "output/SendOut.h"
#include "tests/TestCertificates.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSettings>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

// The test's mail server: a Python aiosmtpd process writing one JSON file per message.
class TSmtpSink {
public:
    // With a user, the server requires that login; with a certificate and
    // key, STARTTLS before it.
    explicit TSmtpSink(const QString& user = QString(), const QString& password = QString(), const QString& certificate = QString(),
                       const QString& key = QString())
    {
        QStringList args{QStringLiteral(KELM24_TEST_SOURCE_DIR "/smtp_sink.py")};
        if (!certificate.isEmpty()) args << QStringLiteral("--tls") << certificate << key;
        args << dir.path();
        if (!user.isEmpty()) args << user << password;
        // Debian's own interpreter: the one python3-aiosmtpd installs into.
        process.start(QStringLiteral("/usr/bin/python3"), args);
        if (!process.waitForStarted(10000)) return;
        for (int i = 0; i < 100 && port == 0; ++i) {
            process.waitForReadyRead(200);
            const QString line = QString::fromUtf8(process.readAllStandardOutput());
            const auto m = QRegularExpression("READY (\\d+)").match(line);
            if (m.hasMatch()) port = m.captured(1).toInt();
        }
    }
    ~TSmtpSink()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000)) process.kill(), process.waitForFinished(2000);
    }
    QList<QJsonObject> Messages() const
    {
        QList<QJsonObject> result;
        for (const QString& name : QDir(dir.path()).entryList({"*.json"}, QDir::Files, QDir::Name)) {
            QFile f(QDir(dir.path()).filePath(name));
            f.open(QIODevice::ReadOnly);
            result << QJsonDocument::fromJson(f.readAll()).object();
        }
        return result;
    }
    QTemporaryDir dir;
    QProcess process;
    int port = 0;
};

void WriteSettings(const QString& file, const QString& text)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

// The value column TA00n of a send-log statement, in order TA001..TA006.
QStringList LogValues(const QString& statement)
{
    const auto open = statement.indexOf("VALUES(");
    QStringList values;
    const QString list = statement.mid(open + 7);
    static const QRegularExpression literal("'((?:[^']|'')*)'");
    for (auto it = literal.globalMatch(list); it.hasNext();) values << it.next().captured(1).replace("''", "'");
    return values;
}

}  // namespace

TEST(SendByMail, EachRecipientGetsOneMessageWithOneAttachmentPerDocument)
{
    TSmtpSink smtp;
    ASSERT_GT(smtp.port, 0) << "the test mail server did not start";
    TTestOutputForm form;
    FillReceiptPages(form.pages, 4);
    form.Resolution = 60;
    QTemporaryDir install;
    form.ClientPath = install.path() + "/";
    form.SettingsFile = install.filePath("CorvaneC.ini");
    WriteSettings(form.SettingsFile, QStringLiteral("[Mail]\nServer=127.0.0.1\nPort=%1\nSender=erp@demo.test\n").arg(smtp.port));
    form.SendList = QStringList{
        "V001=buyer@supplier.test|0755-1|1,$$PURTG;TG045;TG001='A';3,$$PURTG;TG045;TG001='C';",
        "V003=|0755-3|4,$$PURTG;TG045;TG001='D';",
        "V002= second@supplier.test |  |2,$$PURTG;TG045;TG001='B';",
        "O'Brien=reject@supplier.test||2,$$PURTG;TG045;TG001='B';"};
    ASSERT_TRUE(TSendOutput(form).SendDocuments(1, ftGIF, QString()));
    EXPECT_EQ(form.PrintMode, 2);

    const QList<QJsonObject> messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 2);
    const QJsonObject first = messages[0], second = messages[1];
    EXPECT_EQ(first["rcpt"].toArray().first().toString(), "buyer@supplier.test");
    EXPECT_EQ(first["mail_from"].toString(), "erp@demo.test");
    EXPECT_EQ(first["subject"].toString(), QStringLiteral("Velmor-ERP 采购进货单"));
    const QJsonArray attachments = first["attachments"].toArray();
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_TRUE(attachments[0].toObject()["name"].toString().endsWith("_1.gif"));
    EXPECT_TRUE(attachments[1].toObject()["name"].toString().endsWith("_3.gif"));
    EXPECT_EQ(attachments[0].toObject()["type"].toString(), "image/gif");
    // The bytes are the page file as the output writes it.
    QTemporaryDir again;
    QString name = again.filePath("p3");
    ASSERT_TRUE(TPageOutput(form).RenderPageToFile(name, ftGIF, 3));
    QFile page(name);
    page.open(QIODevice::ReadOnly);
    EXPECT_EQ(QByteArray::fromBase64(attachments[1].toObject()["data"].toString().toLatin1()), page.readAll());
    EXPECT_EQ(second["rcpt"].toArray().first().toString(), "second@supplier.test");
    EXPECT_EQ(second["attachments"].toArray().size(), 1);

    // One log row per recipient, each telling its own outcome.
    ASSERT_EQ(form.statements.size(), 4);
    const QStringList row1 = LogValues(form.statements[0]), row2 = LogValues(form.statements[1]),
                      row3 = LogValues(form.statements[2]), row4 = LogValues(form.statements[3]);
    EXPECT_EQ(row1.mid(0, 3), QStringList({"DEMO", "DS", "G1"}));
    EXPECT_EQ(row1.mid(5, 4), QStringList({"PURR05", "V001", "Y", "Send e-Mail Complete !"}));
    EXPECT_EQ(row2.mid(5, 4), QStringList({"PURR05", "V003", "N", "Not assign e-Mail address!"}));
    EXPECT_EQ(row3.mid(5, 4), QStringList({"PURR05", "V002", "Y", "Send e-Mail Complete !"}));
    EXPECT_EQ(row4.mid(5, 4), QStringList({"PURR05", "O'Brien", "N", "Send e-Mail error!"}));
    EXPECT_TRUE(form.statements[3].contains("'O''Brien'"));
    EXPECT_TRUE(QRegularExpression("^\\d{8}$").match(row1[3]).hasMatch());
    EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d$").match(row1[9]).hasMatch());
    // Each converted document was counted (not those of the recipient without address).
    EXPECT_EQ(form.counted.size(), 4);
    // The page files were deleted after each message.
    const QString base = TemporaryBaseName(form);
    EXPECT_TRUE(QDir(QFileInfo(base).path()).entryList({"PURR05_*.gif"}, QDir::Files).isEmpty());
}

TEST(SendByMail, AnUnreachableServerIsLoggedPromptly)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 2);
    form.Resolution = 40;
    QTemporaryDir install;
    form.ClientPath = install.path() + "/";
    form.SettingsFile = install.filePath("CorvaneC.ini");
    // A port nothing listens on: the connection is refused at once.
    WriteSettings(form.SettingsFile, "[Mail]\nServer=127.0.0.1\nPort=1\nSender=erp@demo.test\nTimeout=5\n");
    form.SendList = QStringList{"V001=a@b.test||1,T;F;W;", "V002=c@d.test||2,T;F;W;"};
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(TSendOutput(form).SendDocuments(1, ftJPG, QString()));
    EXPECT_LT(timer.elapsed(), 20000);
    ASSERT_EQ(form.statements.size(), 2);
    for (const QString& s : form.statements) {
        EXPECT_EQ(LogValues(s)[7], "N");
        EXPECT_EQ(LogValues(s)[8], "Send e-Mail error!");
    }
}

// One receipt page to one recipient by e-mail, with the client settings a
// test writes.
struct TOneRecipientMail {
    TOneRecipientMail()
    {
        FillReceiptPages(form.pages, 1);
        form.Resolution = 40;
        form.ClientPath = install.path() + "/";
        form.SettingsFile = install.filePath("CorvaneC.ini");
        form.SendList = QStringList{"V001=a@b.test||1,T;F;W;"};
    }
    // Sends under these settings; answers the message of the log line.
    QString Send(const QString& settings)
    {
        WriteSettings(form.SettingsFile, settings);
        form.statements.clear();
        EXPECT_TRUE(TSendOutput(form).SendDocuments(1, ftGIF, QString()));
        return form.statements.size() == 1 ? LogValues(form.statements[0]).value(8) : QStringLiteral("no log line");
    }
    TTestOutputForm form;
    QTemporaryDir install;
};

TEST(SendByMail, TheSettingsLoginIsUsedAndAWrongOneFails)
{
    TSmtpSink smtp(QStringLiteral("erp"), QStringLiteral("s3cret"));
    ASSERT_GT(smtp.port, 0) << "the test mail server did not start";
    TOneRecipientMail mail;
    const QString settings = QStringLiteral("[Mail]\nServer=127.0.0.1\nPort=%1\nSender=erp@demo.test\nUser=erp\nPassword=%2\n");
    EXPECT_EQ(mail.Send(settings.arg(smtp.port).arg("s3cret")), "Send e-Mail Complete !");
    ASSERT_EQ(smtp.Messages().size(), 1);
    EXPECT_EQ(smtp.Messages()[0]["login"].toString(), "erp");
    EXPECT_EQ(mail.Send(settings.arg(smtp.port).arg("wrong")), "Send e-Mail error!");
    EXPECT_EQ(smtp.Messages().size(), 1);
}

// A server that requires STARTTLS gets the login only inside TLS, from a
// client that trusts the authority the settings name; without STARTTLS, or
// trusting another authority, nothing is sent and the log says so.
TEST(SendByMail, StartTlsIsUsedWithTheSettingsAuthority)
{
    TTestCertificates certificates;
    TSmtpSink smtp(QStringLiteral("erp"), QStringLiteral("s3cret"), certificates.Certificate(), certificates.Key());
    ASSERT_GT(smtp.port, 0) << "the test mail server did not start";
    TOneRecipientMail mail;
    ASSERT_TRUE(QFile::copy(certificates.Ca(), mail.install.filePath("mail-ca.pem")));
    const QString settings =
        QStringLiteral("[Mail]\nServer=127.0.0.1\nPort=%1\nSender=erp@demo.test\nUser=erp\nPassword=s3cret\nStartTLS=%2\nCAFile=%3\n");
    // The authority's file is named relative to the settings file.
    EXPECT_EQ(mail.Send(settings.arg(smtp.port).arg("1", "mail-ca.pem")), "Send e-Mail Complete !");
    ASSERT_EQ(smtp.Messages().size(), 1);
    EXPECT_EQ(smtp.Messages()[0]["login"].toString(), "erp");
    EXPECT_EQ(smtp.Messages()[0]["attachments"].toArray().size(), 1);

    EXPECT_EQ(mail.Send(settings.arg(smtp.port).arg("0", "mail-ca.pem")), "Send e-Mail error!");
    EXPECT_EQ(mail.Send(settings.arg(smtp.port).arg("1", certificates.OtherCa())), "Send e-Mail error!");
    EXPECT_EQ(smtp.Messages().size(), 1);
}

TEST(SendDocuments, RegeneratesMissingPagesAndNeedsASendList)
{
    TTestOutputForm form;
    form.hasPages = false;
    EXPECT_FALSE(TSendOutput(form).SendDocuments(1, ftGIF, QString()));  // pages regenerated, but nothing to send
    EXPECT_EQ(form.regenerations, 1);
    form.hasPages = false;
    form.canRegenerate = false;
    form.SendList = QStringList{"V001=a@b.test||1,T;F;W;"};
    EXPECT_FALSE(TSendOutput(form).SendDocuments(1, ftGIF, QString()));
    EXPECT_TRUE(form.statements.isEmpty());
}

TEST(SendByFax, JobsGoToTheChosenServersSpoolFolder)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 3);
    QTemporaryDir install;
    form.ClientPath = install.path() + "/";
    form.SettingsFile = install.filePath("CorvaneC.ini");
    WriteSettings(form.SettingsFile, QStringLiteral("[Fax]\nCount=2\nName1=总部传真\nAddress1=10.1.1.9\nSpool1=C_DATA/FAXHQ\n"
                                                    "Name2=本机\nAddress2=127.0.0.1\nSpool2=%1/local\n")
                                         .arg(install.path()));
    TSendOutput send(form);
    const QStringList captions = send.FaxServerCaptions();
    EXPECT_EQ(captions, QStringList({QStringLiteral("总部传真(10.1.1.9)"), QStringLiteral("本机(127.0.0.1)")}));
    // In fax mode the e-mail field is ignored: a line without a fax number fails.
    form.SendList = QStringList{"V001=buyer@supplier.test| 0755-1234 |1,$$PURTG;TG045;TG001='A';3,$$PURTG;TG045;TG001='C';",
                                "V002=second@supplier.test||2,$$PURTG;TG045;TG001='B';"};
    ASSERT_TRUE(send.SendDocuments(2, ftJPG, captions[1]));
    EXPECT_EQ(form.Resolution, 96);
    // "127.0.0.1" connects with the empty name: the local server's folder.
    const QDir local(install.filePath("local"));
    const QStringList jobs = local.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    ASSERT_EQ(jobs.size(), 1) << jobs.join(",").toStdString();
    const QDir job(local.filePath(jobs[0]));
    EXPECT_EQ(job.entryList(QDir::Files, QDir::Name), QStringList({"job.ini", "page001.jpg", "page002.jpg"}));
    QSettings ini(job.filePath("job.ini"), QSettings::IniFormat);
    EXPECT_EQ(ini.value("Job/Number").toString(), "0755-1234");
    EXPECT_EQ(ini.value("Job/Recipient").toString(), "V001");
    EXPECT_EQ(ini.value("Job/User").toString(), "DS");
    // The faxed pages are the pages at fax resolution (200 dpi).
    const QImage faxed(job.filePath("page002.jpg"));
    EXPECT_EQ(faxed.size(), QSize(qRound(2159 / 254.0 * 200), qRound(2794 / 254.0 * 200)));
    EXPECT_FALSE(QDir(install.filePath("C_DATA/FAXHQ")).exists());
    ASSERT_EQ(form.statements.size(), 2);
    EXPECT_EQ(LogValues(form.statements[0]).mid(6, 3), QStringList({"V001", "Y", "Send Fax Complete !"}));
    EXPECT_EQ(LogValues(form.statements[1]).mid(6, 3), QStringList({"V002", "N", "Not assign fax number!"}));

    // The other server by its address; its relative spool lies in the installation.
    form.statements.clear();
    ASSERT_TRUE(send.SendDocuments(2, ftJPG, captions[0]));
    EXPECT_EQ(QDir(install.filePath("C_DATA/FAXHQ")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    // An unknown server sends nothing and says so.
    form.statements.clear();
    ASSERT_TRUE(send.SendDocuments(2, ftJPG, "Gone(192.0.2.1)"));
    EXPECT_EQ(LogValues(form.statements[0]).mid(6, 3), QStringList({"V001", "N", "Send Fax error!"}));
}

TEST(SendLog, ValuesAreQuotedAsTheyStand)
{
    TTestOutputForm form;
    form.CompanyCode = "D'X";
    TSendOutput send(form);
    const QString s = send.SendLogStatement("K'1|it's done; DROP TABLE X", QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)));
    EXPECT_EQ(s, "INSERT INTO $$ADMTA (COMPANY,CREATOR,USR_GROUP,CREATE_DATE,FLAG,TA001,TA002,TA003,TA004,TA005,TA006) "
                 "VALUES('D''X','DS','G1','20260305','1','PURR05','K''1','Y','it''s done; DROP TABLE X','14:07:09','20260305')");
    form.SendFailed = true;
    EXPECT_TRUE(send.SendLogStatement("K|m", QDateTime::currentDateTime()).contains("'K','N','m'"));
}
