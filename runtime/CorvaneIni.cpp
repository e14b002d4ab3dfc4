#include "runtime/CorvaneIni.h"

#include "platform/registry/Registry.h"
#include "platform/registry/SystemInfo.h"
#include "runtime/AlertLog.h"
#include "runtime/CodePage.h"
#include "runtime/IniFile.h"

#include <QDir>
#include <QFileInfo>

namespace kelm24 {

namespace {

const QString SecCodePage = QStringLiteral("CodePage");
const QString SecServerInfo = QStringLiteral("Server Information");
const QString SecDBE = QStringLiteral("DBE Setting");
const QString SecPasswordCtrl = QStringLiteral("DBPasswordCtrl");
const QString SecTaskCenter = QStringLiteral("TaskMessageCenter Setting");

bool IsTrueText(const QString& value)
{
    const QString v = value.toUpper();
    return v == QLatin1String("1") || v == QLatin1String("Y") || v == QLatin1String("YES") ||
           v == QLatin1String("TRUE");
}

// A drive ("E:") or a network share ("\\host\share") makes a folder stand on
// its own; anything else is taken relative to the installation folder.
QString ResolveAgainstBase(const QString& value, const QString& baseFolder)
{
    const QString folder = NativeFolder(value);
    const bool drive = folder.size() >= 2 && folder.at(1) == QLatin1Char(':') && folder.at(0).isLetter();
    if (drive || folder.startsWith(QLatin1String("//"))) return folder;
    if (folder.startsWith(QLatin1Char('/'))) return baseFolder + folder.mid(1);
    return baseFolder + folder;
}

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

uint8_t RotateLeft(uint8_t b, int n)
{
    n %= 8;
    return n == 0 ? b : static_cast<uint8_t>((b << n) | (b >> (8 - n)));
}

}  // namespace

QString NativeFolder(const QString& folder)
{
    QString native = folder;
    native.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!native.isEmpty() && !native.endsWith(QLatin1Char('/'))) native += QLatin1Char('/');
    return native;
}

QString GetServerPath()
{
    QString path = ReadRegistryString(CorvaneRegistryKey, QStringLiteral("ServerPath"));
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString GetClientPath()
{
    QString path = ReadRegistryString(CorvaneRegistryKey, QStringLiteral("ClientPath"));
    if (path.isEmpty()) return GetServerPath();
    return path.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// ---------------------------------------------------------------- passwords

QString ScramblePassword(const QString& plain)
{
    const QByteArray bytes = EncodeCodePage(plain.isEmpty() ? NoPasswordMarker : plain, 936);
    QString out;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        const int n = static_cast<int>((i + 1) % 8);
        out += QString::asprintf("%.2x", RotateLeft(b, 8 - n));  // rotate right by n
    }
    return out;
}

QString DescramblePassword(const QString& stored)
{
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < stored.size(); i += 2) {
        bool ok = false;
        const QString pair = stored.mid(i, 2);
        const uint value = pair.toUInt(&ok, 16);
        // toUInt would also take a blank or a sign; a pair is two hex digits.
        if (!ok || !IsHexDigit(pair.at(0)) || !IsHexDigit(pair.at(1))) {
            WriteErrorReport(nullptr, ScramblePassword(QStringLiteral("DecodeSQLSa")),
                             QStringLiteral("解析 Sa 时发生错误!"));
            return PasswordErrorText;
        }
        bytes += static_cast<char>(RotateLeft(static_cast<uint8_t>(value), static_cast<int>((i / 2 + 1) % 8)));
    }
    const QString plain = DecodeCodePage(bytes, 936);
    return plain == NoPasswordMarker ? QString() : plain;
}

// ---------------------------------------------------------------- common part

TCorvaneIni::TCorvaneIni() : SystemCodePage(SystemAnsiCodePage())
{
    if (SystemCodePage != QLatin1String("936") && SystemCodePage != QLatin1String("950"))
        SystemCodePage = QStringLiteral("437");
    UICodePage = SystemCodePage;
    ComputeConvertModes();
}

bool TCorvaneIni::ReadRegistry(const QString& baseValueName, QString& baseFolder)
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(CorvaneRegistryKey)) {
        ErrorCode = ErrRegistryKey;
        return false;
    }
    baseFolder = NativeFolder(registry.ReadString(baseValueName));
    const QString profileType = registry.ReadString(QStringLiteral("ProfileType"));
    if (!profileType.isEmpty()) ProfileType = profileType;
    return true;
}

void TCorvaneIni::LocateFile(const QString& baseFolder, const QString& fileName)
{
    ProfilePath = baseFolder;
    if (!ProfileType.isEmpty() && ProfileType != QLatin1String("0")) {
        ProfileUser = WindowsUserName().left(32);
        ProfilePath = baseFolder + QStringLiteral("Profile/") + ProfileUser + QLatin1Char('/');
    }
    IniFileName = ProfilePath + fileName;
    if (!QFileInfo::exists(IniFileName)) {
        ProfilePath = baseFolder;
        IniFileName = baseFolder + fileName;
    }
}

void TCorvaneIni::ReadCodePages(const TIniFile& ini)
{
    UICodePage = ini.ReadString(SecCodePage, QStringLiteral("UICodePage"), UICodePage);
    DBCodePage = ini.ReadString(SecCodePage, QStringLiteral("DBCodePage"), DBCodePage);
    ProductVersion = ini.ReadString(QStringLiteral("ProductVersion"), QStringLiteral("Version"), ProductVersion);
    ComputeConvertModes();
}

void TCorvaneIni::ReadWorkDLLPaths(const TIniFile& ini, const QString& baseFolder, const QString& defaultFolder)
{
    WorkDLLPaths.clear();
    const QStringList lines = ini.ReadSectionValues(QStringLiteral("WorkDLLPath"));
    if (lines.isEmpty()) {
        WorkDLLPaths << baseFolder + defaultFolder;
        return;
    }
    for (const QString& line : lines) WorkDLLPaths << ResolveAgainstBase(line.mid(line.indexOf(QLatin1Char('=')) + 1), baseFolder);
}

void TCorvaneIni::ComputeConvertModes()
{
    ConvertModesOf(SystemCodePage, UICodePage, DBCodePage, UIConvertMode, DBConvertMode);
}

void ConvertModesOf(const QString& SystemCodePage, const QString& UICodePage, const QString& DBCodePage,
                    uint8_t& UIConvertMode, uint8_t& DBConvertMode)
{
    const auto is = [](const QString& page, const char* value) { return page == QLatin1String(value); };
    UIConvertMode = is(UICodePage, "950") ? 2 : (is(UICodePage, "936") && is(SystemCodePage, "950")) ? 4 : 0;
    DBConvertMode = (is(UICodePage, "950") && is(DBCodePage, "936"))   ? 2
                    : (is(UICodePage, "936") && is(DBCodePage, "950")) ? 1
                                                                        : 0;
}

// ---------------------------------------------------------------- client

TCorvaneIniC::TCorvaneIniC()
{
    if (!ReadRegistry(QStringLiteral("ClientPath"), ClientPath) || ClientPath.isEmpty()) return;
    LocateFile(ClientPath, QStringLiteral("CorvaneC.ini"));
    const TIniFile ini(IniFileName);
    ReadCodePages(ini);
    SupportCallBack = IsTrueText(ini.ReadString(SecServerInfo, QStringLiteral("SupportCallBack"), QStringLiteral("0")));
    LangType = ini.ReadString(QStringLiteral("Client Components"), QStringLiteral("LangType"), LangType);
    CreateGifBeforeSendEF = ini.ReadString(QStringLiteral("UserDefine"), QStringLiteral("CreateGifBeforeSendEF"), CreateGifBeforeSendEF);
    AutoCheckNewMsg = ini.ReadString(SecTaskCenter, QStringLiteral("AutoCheckNewMsg"), AutoCheckNewMsg);
    CheckInterval = ini.ReadString(SecTaskCenter, QStringLiteral("CheckInterval"), CheckInterval);
    PopupMsg = ini.ReadString(SecTaskCenter, QStringLiteral("PopupMsg"), PopupMsg);
    LoginCheck = ini.ReadString(SecTaskCenter, QStringLiteral("LoginCheck"), LoginCheck);
    ReadWorkDLLPaths(ini, ClientPath, QStringLiteral("C_PKG/"));
    ReadServers(ini);
}

bool TCorvaneIniC::ReadServers(const TIniFile& ini)
{
    QString names = ini.ReadString(SecServerInfo, QStringLiteral("ComputerName"), QStringLiteral("127.0.0.1")).trimmed();
    if (names.endsWith(QLatin1Char(';'))) names.chop(1);
    if (names.isEmpty()) {
        ErrorCode = ErrNoServerAddress;
        return false;
    }
    const int port = ini.ReadInteger(SecServerInfo, QStringLiteral("ServerPort"), 211);
    ServerTls = IsTrueText(ini.ReadString(SecServerInfo, QStringLiteral("ServerTLS"), QStringLiteral("0")));
    QString caFile = ini.ReadString(SecServerInfo, QStringLiteral("ServerCAFile"), QString()).trimmed();
    caFile.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!caFile.isEmpty()) ServerCaFile = QDir(ClientPath).absoluteFilePath(caFile);
    const QStringList parts = names.split(QLatin1Char(';'));
    Servers = Variant::CreateArray(0, 1, 0, static_cast<int>(parts.size()) - 1);
    for (int i = 0; i < parts.size(); ++i) {
        Servers.At(0, i) = parts[i];
        Servers.At(1, i) = port;
    }
    return true;
}

// ---------------------------------------------------------------- server

TCorvaneIniS::TCorvaneIniS()
{
    // Without a server folder there is no file to read: every value keeps
    // its default, as with a missing file.
    if (ReadRegistry(QStringLiteral("ServerPath"), ServerPath) && !ServerPath.isEmpty())
        LocateFile(ServerPath, QStringLiteral("CorvaneS.ini"));
    if (!ErrorCode.isEmpty()) return;
    const TIniFile ini(IniFileName);
    ReadCodePages(ini);
    SupportCallBack = IsTrueText(ini.ReadString(SecPasswordCtrl, QStringLiteral("SupportCallBack"), QStringLiteral("0")));
    if (!ServerPath.isEmpty()) ReadWorkDLLPaths(ini, ServerPath, QStringLiteral("S_PKG/"));
    ReadDBSettings(ini);
}

void TCorvaneIniS::ReadDBSettings(const TIniFile& ini)
{
    DBSettings = Variant::CreateArray(0, 3, 0, 7);
    const auto text = [&](const QString& key, const QString& def) { return ini.ReadString(SecDBE, key, def); };
    const auto number = [&](const QString& section, const QString& key, int def) {
        return ini.ReadInteger(section, key, def);
    };
    const auto password = [&](const QString& key) { return DescramblePassword(text(key, QString())); };

    DBSettings.At(0, 0) = text(QStringLiteral("MainAlias"), QStringLiteral("Pratel"));
    DBSettings.At(0, 1) = text(QStringLiteral("MainUserName"), QStringLiteral("sa"));
    DBSettings.At(0, 2) = password(QStringLiteral("XXXXXX"));
    DBSettings.At(0, 3) = text(QStringLiteral("MainDBType"), QStringLiteral("MSSQL"));
    DBSettings.At(0, 4) = text(QStringLiteral("MainDBName"), QString());
    DBSettings.At(0, 5) = text(QStringLiteral("MainServerName"), QString());
    DBSettings.At(0, 6) = number(SecDBE, QStringLiteral("MainConnectionTimeOut"), 300);
    DBSettings.At(0, 7) = number(SecDBE, QStringLiteral("MainCommandTimeOut"), 3000);

    DBSettings.At(1, 0) = text(QStringLiteral("TempAlias"), QStringLiteral("PratelTemp"));
    DBSettings.At(1, 1) = text(QStringLiteral("TempUserName"), QStringLiteral("sa"));
    DBSettings.At(1, 2) = password(QStringLiteral("TempPassword"));
    DBSettings.At(1, 3) = text(QStringLiteral("TempDBType"), QStringLiteral("PARADOX"));
    DBSettings.At(1, 4) = text(QStringLiteral("TempDBName"), QString());
    DBSettings.At(1, 5) = text(QStringLiteral("TempDriverName"), QStringLiteral("PostgreSQL"));
    DBSettings.At(1, 6) = number(SecDBE, QStringLiteral("TempConnectionTimeOut"), 300);
    DBSettings.At(1, 7) = number(SecDBE, QStringLiteral("TempCommandTimeOut"), 3000);

    DBSettings.At(2, 0) = ini.ReadString(SecPasswordCtrl, QStringLiteral("ComputerName"), QString()).trimmed();
    DBSettings.At(2, 1) = number(SecPasswordCtrl, QStringLiteral("ServerPort"), 211);
    DBSettings.At(2, 2) = number(SecPasswordCtrl, QStringLiteral("ClientSocketPort"), 1024);
    DBSettings.At(2, 3) = text(QStringLiteral("DataBaseCodeOrder"), QStringLiteral("Chinese_Taiwan_Stroke_BIN"));

    DBSettings.At(3, 0) = text(QStringLiteral("EctAlias"), QStringLiteral("EDIDATA"));
    DBSettings.At(3, 1) = text(QStringLiteral("EctUserName"), QStringLiteral("sa"));
    DBSettings.At(3, 2) = text(QStringLiteral("EctPassword"), QString());

    const QString dbType = DBSettings.At(0, 3).ToString();
    MainDBKind = dbType.compare(QLatin1String("ORACLE"), Qt::CaseInsensitive) == 0 ? 1
                 : dbType.compare(QLatin1String("DB2"), Qt::CaseInsensitive) == 0  ? 2
                                                                                    : 0;
    const QString mainServer = DBSettings.At(0, 5).ToString();
    SystemControlAddress = text(QStringLiteral("SystemControlAddress"), QString());
    if (SystemControlAddress.trimmed().isEmpty()) SystemControlAddress = mainServer;
    OtherSystemControlAddress = text(QStringLiteral("OtherSystemControlAddress"), QString());
    if (OtherSystemControlAddress.trimmed().isEmpty()) OtherSystemControlAddress = mainServer;
}

// ---------------------------------------------------------------- UserDef.ini

TUserDefIni::TUserDefIni()
{
    const TCorvaneIniC client;
    FileName = client.ClientPath + QStringLiteral("UserDef.ini");
    if (client.ClientPath.isEmpty()) return;  // no installation: nothing relative to the working folder
    const TIniFile ini(FileName);
    if (ini.Exists()) Lines = ini.ReadSectionValues(QStringLiteral("VoucherFormatDef"));
}

QString TUserDefIni::LookupFormat(const QString& ProgramCode, const QString& Key) const
{
    const QString name = ProgramCode + QLatin1Char('_') + QString(Key).replace(QLatin1Char('='), QLatin1String("$EQUAL$"));
    for (const QString& line : Lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (line.left(eq).compare(name, Qt::CaseInsensitive) == 0) return line.mid(eq + 1);
    }
    return QStringLiteral("<New>");
}

}  // namespace kelm24
