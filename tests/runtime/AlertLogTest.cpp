#include "TestInstall.h"
#include "platform/registry/SystemInfo.h"
#include "kelm24/Variant.h"
#include "runtime/AlertLog.h"

#include <QDate>
#include <QRegularExpression>

using namespace kelm24;
using kelm24::test::TestInstall;

namespace {

QString ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QStringLiteral("<missing>");
}

QString Today(const char* pattern)
{
    return QDate::currentDate().toString(QString::fromLatin1(pattern));
}

}  // namespace

TEST(AlertLog, CreatesTheFolderAndAppendsLinesInOrder)
{
    TestInstall install;
    install.StandardRegistry();
    ASSERT_FALSE(QDir(install.Client() + "Log").exists());
    EXPECT_TRUE(WriteLog("VRBASE", QStringLiteral("第一行"), "D"));
    EXPECT_TRUE(WriteLog("VRBASE", "second", "D"));
    const QString text = ReadAll(install.Client() + "Log/Alert_VRBASE_" + Today("yyyyMMdd") + ".log");
    const QStringList lines = text.split("\r\n");
    ASSERT_EQ(lines.size(), 3) << text.toStdString();
    EXPECT_TRUE(lines[2].isEmpty());  // every line ends with CR LF
    const QRegularExpression stamp(QStringLiteral("^\\[\\d{4}/\\d{2}/\\d{2} \\d{2}:\\d{2}:\\d{2}:\\d{3}\\] "));
    EXPECT_TRUE(stamp.match(lines[0]).hasMatch()) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("] 第一行")));
    EXPECT_TRUE(lines[1].endsWith("] second"));
    EXPECT_TRUE(lines[0].startsWith("[" + Today("yyyy/MM/dd")));
}

TEST(AlertLog, FileNamesByPeriodAndName)
{
    TestInstall install;
    install.StandardRegistry();
    const QString folder = install.Client() + "Log/";
    EXPECT_EQ(AlertLogFolder() + "/", folder);
    const QDate day(2024, 3, 5);
    EXPECT_EQ(AlertLogFileName("VRBASE", "D", day), folder + "Alert_VRBASE_20240305.log");
    EXPECT_EQ(AlertLogFileName("trace.txt", "M", day), folder + "Alert_trace.txt_202403");
    EXPECT_EQ(AlertLogFileName("x", "Y", day), folder + "Alert_x_2024.log");
    EXPECT_EQ(AlertLogFileName("x", "d", day), folder + "Alert_x_20240305.log");  // lower case is not "D"
    EXPECT_EQ(AlertLogFileName("x", "", day), folder + "Alert_x_20240305.log");
    EXPECT_TRUE(WriteLog("trace.txt", "m", "M"));
    EXPECT_TRUE(QFile::exists(folder + "Alert_trace.txt_" + Today("yyyyMM")));
}

TEST(AlertLog, WithoutInstallationTheProgramFolderIsUsed)
{
    TestInstall install;  // no registry file
    EXPECT_EQ(AlertLogFolder(), HostProgramFolder() + "/Log");
}

TEST(AlertLog, UnwritablePlacesReturnFalseWithoutRaising)
{
    TestInstall install;
    install.StandardRegistry();
    install.Write("client/Log", "a file where the folder should be");
    EXPECT_FALSE(WriteLog("VRBASE", "x", "D"));

    TestInstall second;
    second.StandardRegistry();
    QDir().mkpath(second.Client() + "Log/Alert_VRBASE_" + Today("yyyyMMdd") + ".log");  // a folder in the file's place
    EXPECT_FALSE(WriteLog("VRBASE", "x", "D"));

    // A folder whose path runs through a file cannot be made, not even by the
    // superuser; the file stays as it was.
    TestInstall third;
    third.Write("client/blocker", "a file");
    EXPECT_FALSE(WriteLogIn(third.Client() + "blocker/deeper/Log", "VRBASE", "x", "D"));
    EXPECT_EQ(ReadAll(third.Client() + "blocker"), "a file");
}

TEST(AlertLog, ErrorReportDescribesTheException)
{
    TestInstall install;
    install.StandardRegistry();
    const EVariantError error(QStringLiteral("Could not convert"));
    WriteErrorReport(&error, "  ", "  ");
    const QString text = ReadAll(install.Client() + "Log/Alert_ZOLTAGenerator_" + Today("yyyyMMdd") + ".log");
    const QStringList lines = text.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << text.toStdString();
    EXPECT_TRUE(lines[0].endsWith("] --------------------------------------------------------------------"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("] 讯息信息:")));
    EXPECT_TRUE(lines[2].endsWith("] Exception is EVariantError"));
    EXPECT_EQ(lines[3], "Message 01: Could not convert");
    EXPECT_TRUE(lines[4].endsWith("] ErrorMessage Count: 1"));
}
