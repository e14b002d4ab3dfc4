#include "TestInstall.h"
#include "runtime/AlertLog.h"
#include "runtime/CorvaneIni.h"
#include "runtime/IniFile.h"

#include <QDate>

using namespace kelm24;
using kelm24::test::TestInstall;

namespace {

const QString ClientIniWithChinese = QStringLiteral(
    "[Client Components]\nLangType=CHS\n[ProductVersion]\nVersion=进货单 V8.1\n"
    "[Server Information]\nComputerName=10.0.0.5\n[UserDefine]\nCreateGifBeforeSendEF=\"否\"\n");

class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale) : saved_(qgetenv("LC_ALL")) { qputenv("LC_ALL", locale); }
    ~ScopedLocale() { qputenv("LC_ALL", saved_); }

private:
    QByteArray saved_;
};

}  // namespace

TEST(ClientSettings, MissingRegistryFileGivesE000015AndDefaults)
{
    TestInstall install;  // no registry file written
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000015");
    EXPECT_TRUE(ini.IniFileName.isEmpty());
    EXPECT_EQ(ini.SystemCodePage, "437");
    EXPECT_EQ(ini.UICodePage, "437");
    EXPECT_EQ(ini.DBCodePage, "936");
    EXPECT_EQ(ini.UIConvertMode, 0);
    EXPECT_EQ(ini.DBConvertMode, 0);
    EXPECT_TRUE(ini.Servers.IsEmpty());
    TCorvaneIniS server;
    EXPECT_EQ(server.ErrorCode, "E;000015");
}

TEST(ClientSettings, RegistryWithoutTheKeyGivesE000015)
{
    TestInstall install;
    install.Registry(QStringLiteral("ClientPath=/x\n"), QStringLiteral("Software\\QVS\\Other"));
    EXPECT_EQ(TCorvaneIniC().ErrorCode, "E;000015");
}

TEST(ClientSettings, ChineseValuesReadTheSameInGbAndUtf8)
{
    for (int encoding = 0; encoding < 3; ++encoding) {
        TestInstall install;
        install.StandardRegistry();
        if (encoding == 0) install.WriteGb(QStringLiteral("client/CorvaneC.ini"), ClientIniWithChinese);
        if (encoding == 1) install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"), ClientIniWithChinese);
        if (encoding == 2) install.Write(QStringLiteral("client/CorvaneC.ini"), "\xEF\xBB\xBF" + ClientIniWithChinese.toUtf8());
        TCorvaneIniC ini;
        SCOPED_TRACE(encoding);
        EXPECT_TRUE(ini.ErrorCode.isEmpty());
        EXPECT_EQ(ini.IniFileName, install.Client() + "CorvaneC.ini");
        EXPECT_EQ(ini.ProductVersion, QStringLiteral("进货单 V8.1"));
        EXPECT_EQ(ini.CreateGifBeforeSendEF, QStringLiteral("否"));
        EXPECT_EQ(ini.LangType, "CHS");
        EXPECT_EQ(ini.Servers.At(0, 0).ToString(), "10.0.0.5");
    }
}

TEST(ClientSettings, DefaultsWhenTheFileIsMissing)
{
    TestInstall install;
    install.StandardRegistry();
    TCorvaneIniC ini;
    EXPECT_TRUE(ini.ErrorCode.isEmpty());
    EXPECT_EQ(ini.ClientPath, install.Client());
    EXPECT_EQ(ini.LangType, "ENG");
    EXPECT_EQ(ini.CreateGifBeforeSendEF, "Y");
    EXPECT_EQ(ini.AutoCheckNewMsg, "1");
    EXPECT_EQ(ini.LoginCheck, "0");
    EXPECT_FALSE(ini.SupportCallBack);
    EXPECT_EQ(ini.WorkDLLPaths, QStringList{install.Client() + "C_PKG/"});
    ASSERT_TRUE(ini.Servers.IsArray());
    EXPECT_EQ(ini.Servers.At(0, 0).ToString(), "127.0.0.1");
    EXPECT_EQ(ini.Servers.At(1, 0).ToInt(), 211);
    EXPECT_FALSE(ini.ServerTls);
    EXPECT_TRUE(ini.ServerCaFile.isEmpty());
}

TEST(ClientSettings, ServerListHasOneColumnPerAddress)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"),
                      QStringLiteral("[Server Information]\nComputerName= 10.0.0.1;erp-b ; \nServerPort=3000\nServerTLS=1\n"
                                     "ServerCAFile=certs\\ca.pem\n"));
    TCorvaneIniC ini;
    // The CA file is the client folder's, whichever slash the file uses.
    EXPECT_TRUE(ini.ServerTls);
    EXPECT_EQ(ini.ServerCaFile, install.Client() + "certs/ca.pem");
    ASSERT_TRUE(ini.Servers.IsArray());
    EXPECT_EQ(ini.Servers.Count(1), 2);
    EXPECT_EQ(ini.Servers.Count(2), 2);
    EXPECT_EQ(ini.Servers.At(0, 0).ToString(), "10.0.0.1");
    EXPECT_EQ(ini.Servers.At(0, 1).ToString(), "erp-b ");  // parts are kept as read
    EXPECT_EQ(ini.Servers.At(1, 0).ToInt(), 3000);
    EXPECT_EQ(ini.Servers.At(1, 1).ToInt(), 3000);
}

TEST(ClientSettings, BlankServerAddressGivesE000016)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"), QStringLiteral("[Server Information]\nComputerName= ; \n"));
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ErrorCode, "E;000016");
    EXPECT_TRUE(ini.Servers.IsEmpty());
}

TEST(ClientSettings, EmptyClientPathReadsNothingAndSetsNoError)
{
    TestInstall install;
    install.Registry(QStringLiteral("ServerPath=") + install.Server() + "\n");
    TCorvaneIniC ini;
    EXPECT_TRUE(ini.ErrorCode.isEmpty());
    EXPECT_TRUE(ini.IniFileName.isEmpty());
    EXPECT_TRUE(ini.Servers.IsEmpty());
    EXPECT_EQ(GetClientPath(), install.Server());  // the log folder falls back to the server's
}

TEST(ClientSettings, PerUserProfileFallsBackToTheBaseFolder)
{
    TestInstall install;
    install.StandardRegistry(QStringLiteral("ProfileType=1\n"));
    install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"), QStringLiteral("[Client Components]\nLangType=BASE\n"));
    {
        TCorvaneIniC ini;
        EXPECT_EQ(ini.ProfileType, "1");
        EXPECT_FALSE(ini.ProfileUser.isEmpty());
        EXPECT_EQ(ini.ProfilePath, install.Client());
        EXPECT_EQ(ini.IniFileName, install.Client() + "CorvaneC.ini");
        EXPECT_EQ(ini.LangType, "BASE");
    }
    TCorvaneIniC probe;
    const QString own = QStringLiteral("client/Profile/") + probe.ProfileUser + "/CorvaneC.ini";
    install.WriteUtf8(own, QStringLiteral("[Client Components]\nLangType=MINE\n"));
    TCorvaneIniC ini;
    EXPECT_EQ(ini.ProfilePath, install.Client() + "Profile/" + ini.ProfileUser + "/");
    EXPECT_EQ(ini.LangType, "MINE");
}

TEST(ClientSettings, PackageFoldersResolveAgainstTheBaseFolder)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"),
                      QStringLiteral("[WorkDLLPath]\nA=pkg\nB=\\pkg\nC=E:\\pkg\nD=\\\\host\\share\\pkg\\\nE=sub/dir\n"));
    TCorvaneIniC ini;
    const QString base = install.Client();
    EXPECT_EQ(ini.WorkDLLPaths, (QStringList{base + "pkg/", base + "pkg/", "E:/pkg/", "//host/share/pkg/", base + "sub/dir/"}));
}

TEST(ClientSettings, ConvertModesFollowTheCodePages)
{
    struct Case {
        const char* locale;
        const char* ui;  // nullptr: no [CodePage] section
        const char* db;
        const char* systemPage;
        int uiMode, dbMode;
    };
    const Case cases[] = {
        {"zh_TW.BIG5", "936", nullptr, "950", 4, 0},
        {"zh_CN.GBK", "936", "950", "936", 0, 1},
        {"zh_CN.GB18030", "950", "936", "936", 2, 2},
        {"zh_TW.Big5", nullptr, nullptr, "950", 2, 2},
        {"C.UTF-8", nullptr, nullptr, "437", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        TestInstall install;
        ScopedLocale locale(c.locale);
        install.StandardRegistry();
        QString text;
        if (c.ui) text = QStringLiteral("[CodePage]\nUICodePage=%1\n").arg(c.ui);
        if (c.db) text += QStringLiteral("DBCodePage=%1\n").arg(c.db);
        install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"), text);
        TCorvaneIniC ini;
        EXPECT_EQ(ini.SystemCodePage, c.systemPage);
        EXPECT_EQ(ini.UIConvertMode, c.uiMode);
        EXPECT_EQ(ini.DBConvertMode, c.dbMode);
    }
}

TEST(ClientSettings, SystemCodePage1252CountsAs437)
{
    TestInstall install;
    install.Write(QStringLiteral("registry.ini"),
                  ("[Software\\QVS\\Corvane]\nClientPath=" + install.Client().toUtf8() +
                   "\n[SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage]\nACP=1252\n"));
    TCorvaneIniC ini;
    EXPECT_EQ(ini.SystemCodePage, "437");
    EXPECT_EQ(ini.UICodePage, "437");
    EXPECT_EQ(ini.UIConvertMode, 0);
    EXPECT_EQ(ini.DBConvertMode, 0);
}

TEST(ClientSettings, SupportCallBackAcceptsTheTrueWords)
{
    for (const auto& [value, expected] : {std::pair{"yes", true}, {"Y", true}, {"true", true}, {"1", true}, {"2", false}, {"no", false}}) {
        TestInstall install;
        install.StandardRegistry();
        install.WriteUtf8(QStringLiteral("client/CorvaneC.ini"), QStringLiteral("[Server Information]\nSupportCallBack=%1\n").arg(value));
        EXPECT_EQ(TCorvaneIniC().SupportCallBack, expected) << value;
    }
}

TEST(ServerSettings, DatabaseSettingsWithDefaultsAndPasswords)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8(QStringLiteral("server/CorvaneS.ini"),
                      QStringLiteral("[DBE Setting]\nMainDBType=oracle\nMainServerName=dbhost\nXXXXXX=%1\nTempPassword=%2\n"
                                     "EctPassword=b958\nOtherSystemControlAddress=ctl2\n"
                                     "[DBPasswordCtrl]\nComputerName= app1 \nSupportCallBack=TRUE\n")
                          .arg(ScramblePassword(QStringLiteral("密码pw")), ScramblePassword(QString())));
    TCorvaneIniS ini;
    EXPECT_TRUE(ini.ErrorCode.isEmpty());
    EXPECT_EQ(ini.IniFileName, install.Server() + "CorvaneS.ini");
    const Variant& db = ini.DBSettings;
    EXPECT_EQ(db.At(0, 0).ToString(), "Pratel");
    EXPECT_EQ(db.At(0, 2).ToString(), QStringLiteral("密码pw"));
    EXPECT_EQ(db.At(0, 6).ToInt(), 300);
    EXPECT_EQ(db.At(0, 7).ToInt(), 3000);
    EXPECT_EQ(db.At(1, 0).ToString(), "PratelTemp");
    EXPECT_EQ(db.At(1, 2).ToString(), "");  // the scrambled empty marker
    EXPECT_EQ(db.At(1, 3).ToString(), "PARADOX");
    EXPECT_EQ(db.At(1, 5).ToString(), "PostgreSQL");
    EXPECT_EQ(db.At(2, 0).ToString(), "app1");
    EXPECT_EQ(db.At(2, 1).ToInt(), 211);
    EXPECT_EQ(db.At(2, 2).ToInt(), 1024);
    EXPECT_EQ(db.At(2, 3).ToString(), "Chinese_Taiwan_Stroke_BIN");
    EXPECT_EQ(db.At(3, 0).ToString(), "EDIDATA");
    EXPECT_EQ(db.At(3, 2).ToString(), "b958");  // taken as stored
    EXPECT_TRUE(db.At(2, 4).IsEmpty());
    EXPECT_EQ(ini.MainDBKind, 1);
    EXPECT_EQ(ini.SystemControlAddress, "dbhost");
    EXPECT_EQ(ini.OtherSystemControlAddress, "ctl2");
    EXPECT_TRUE(ini.SupportCallBack);
    QStringList paths;
    ini.GetWorkDLLPaths(paths);
    EXPECT_EQ(paths, QStringList{install.Server() + "S_PKG/"});
}

TEST(ServerSettings, PasswordScrambling)
{
    TestInstall install;
    install.StandardRegistry();
    EXPECT_EQ(ScramblePassword(QStringLiteral("sa")), "b958");  // 0x73 rotated right 1, 0x61 right 2
    EXPECT_EQ(DescramblePassword(QStringLiteral("b958")), "sa");
    EXPECT_EQ(DescramblePassword(QStringLiteral("b9583")), "sa");  // a lone last digit is ignored
    EXPECT_EQ(DescramblePassword(QString()), "");
    const QString longer = QStringLiteral("a longer password 12345");
    EXPECT_EQ(DescramblePassword(ScramblePassword(longer)), longer);
    EXPECT_EQ(DescramblePassword(ScramblePassword(QString())), "");
    // Every pair must be two hexadecimal digits: a blank or a sign is no part of one.
    for (const char* stored : {"b9 5", "b95 ", "b9+8", "b9-8", "0xb958"})
        EXPECT_EQ(DescramblePassword(QString::fromLatin1(stored)), "QV_Say_Password_Error") << stored;
}

TEST(ServerSettings, BadPasswordGivesTheErrorTextAndAReport)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8(QStringLiteral("server/CorvaneS.ini"), QStringLiteral("[DBE Setting]\nXXXXXX=b9zz\nMainDBType=Db2\n"));
    TCorvaneIniS ini;
    EXPECT_EQ(ini.DBSettings.At(0, 2).ToString(), "QV_Say_Password_Error");
    EXPECT_EQ(ini.MainDBKind, 2);
    QFile report(install.Client() + "Log/Alert_ZOLTAGenerator_" + QDate::currentDate().toString("yyyyMMdd") + ".log");
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(report.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("---------------------------------- on " + ScramblePassword("DecodeSQLSa") +
                                  " ----------------------------------"));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("] Programer Message: 解析 Sa 时发生错误!")));
}

TEST(ServerSettings, EmptyServerPathKeepsDefaults)
{
    TestInstall install;
    install.Registry(QStringLiteral("ClientPath=") + install.Client() + "\n");
    TCorvaneIniS ini;
    EXPECT_TRUE(ini.ErrorCode.isEmpty());
    EXPECT_EQ(ini.DBSettings.At(0, 3).ToString(), "MSSQL");
    EXPECT_TRUE(ini.WorkDLLPaths.isEmpty());
}

TEST(UserDefSettings, LookupFormatEscapesEqualSigns)
{
    TestInstall install;
    install.StandardRegistry();
    EXPECT_EQ(TUserDefIni().LookupFormat("KELM24", "A"), "<New>");  // no file
    install.WriteGb(QStringLiteral("client/UserDef.ini"),
                    QStringLiteral("[VoucherFormatDef]\nKELM24_A$EQUAL$B=样式一\nKELM24_X=\n[Other]\nKELM24_Y=no\n"));
    TUserDefIni userDef;
    EXPECT_EQ(userDef.FileName, install.Client() + "UserDef.ini");
    EXPECT_EQ(userDef.LookupFormat("KELM24", "A=B"), QStringLiteral("样式一"));
    EXPECT_EQ(userDef.LookupFormat("KELM24", "X"), "");
    EXPECT_EQ(userDef.LookupFormat("KELM24", "Y"), "<New>");
}

TEST(IniFileReading, KeysSectionsAndValues)
{
    TestInstall install;
    install.WriteUtf8("a.ini", "; comment\n[One]\nKey = \" spaced \"\nkey=second\nNum=0x1F\nBad=12a\n[ONE]\nOther=x\n[Two]\nFlag=1\n");
    TIniFile ini(install.Path("a.ini"));
    EXPECT_TRUE(ini.Exists());
    EXPECT_EQ(ini.ReadString("one", "KEY", "d"), " spaced ");  // first key wins, quotes removed
    EXPECT_EQ(ini.ReadInteger("One", "Num", 0), 31);
    EXPECT_EQ(ini.ReadInteger("One", "Bad", 7), 7);
    EXPECT_EQ(ini.ReadString("One", "Other", ""), "x");  // a repeated section adds to the first
    EXPECT_TRUE(ini.ReadBool("Two", "Flag", false));
    EXPECT_EQ(ini.ReadSection("one"), (QStringList{"Key", "Num", "Bad", "Other"}));
    EXPECT_EQ(ini.ReadString("Missing", "Key", "dflt"), "dflt");
    TIniFile none(install.Path("none.ini"));
    EXPECT_FALSE(none.Exists());
    EXPECT_EQ(none.ReadString("One", "Key", "d"), "d");
}
