// Readers of the installation's configuration: the registry key
// "Software\QVS\Corvane" and the settings files CorvaneC.ini (client) and
// CorvaneS.ini (server). Each reader reads everything in its constructor and
// then only answers; callers test ErrorCode. Nothing here writes anything.
// Folders are native paths ending with "/"; configuration values may use
// either "\" or "/".
#pragma once

#include "kelm24/Variant.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace kelm24 {

class TIniFile;

inline const QString CorvaneRegistryKey = QStringLiteral("Software\\QVS\\Corvane");
inline const QString ErrRegistryKey = QStringLiteral("E;000015");   // registry key cannot be opened
inline const QString ErrNoServerAddress = QStringLiteral("E;000016");

// What the client and server readers have in common.
class TCorvaneIni {
public:
    virtual ~TCorvaneIni() = default;

    QString ErrorCode;
    QString ProfileType = QStringLiteral("0");
    QString ProfileUser = QStringLiteral("Default");
    QString ProfilePath;
    QString IniFileName;
    QString SystemCodePage;  // "936", "950" or "437"
    QString UICodePage;
    QString DBCodePage = QStringLiteral("936");
    uint8_t UIConvertMode = 0;  // 0 none, 2 Big5 interface, 4 GB interface on a Big5 system
    uint8_t DBConvertMode = 0;  // 0 none, 1 GB interface and Big5 data, 2 the reverse
    bool SupportCallBack = false;
    QString ProductVersion;
    QStringList WorkDLLPaths;  // package folders, one per line

protected:
    TCorvaneIni();
    // Opens the registry key and reads the base folder value; false (with
    // ErrorCode set) when the key cannot be opened.
    bool ReadRegistry(const QString& baseValueName, QString& baseFolder);
    // Settles ProfilePath and IniFileName for fileName under baseFolder.
    void LocateFile(const QString& baseFolder, const QString& fileName);
    void ReadCodePages(const TIniFile& ini);
    void ReadWorkDLLPaths(const TIniFile& ini, const QString& baseFolder, const QString& defaultFolder);
    void ComputeConvertModes();
};

class TCorvaneIniC : public TCorvaneIni {
public:
    TCorvaneIniC();

    QString ClientPath;
    QString LangType = QStringLiteral("ENG");
    // Two rows (0 address, 1 port), one column per configured address;
    // Empty when no address was read.
    Variant Servers;
    // [Server Information] ServerTLS=1: the application server is reached
    // over TLS, its certificate checked against ServerCAFile (PEM, relative
    // to the client folder; empty: the system's authorities).
    bool ServerTls = false;
    QString ServerCaFile;
    QString CreateGifBeforeSendEF = QStringLiteral("Y");
    QString AutoCheckNewMsg = QStringLiteral("1");
    QString CheckInterval = QStringLiteral("1");
    QString PopupMsg = QStringLiteral("1");
    QString LoginCheck = QStringLiteral("0");

private:
    bool ReadServers(const TIniFile& ini);
};

class TCorvaneIniS : public TCorvaneIni {
public:
    TCorvaneIniS();

    QString ServerPath;
    // Rows 0 to 3, columns 0 to 7: main database, temporary database,
    // application server and collation, EDI database.
    Variant DBSettings;
    uint8_t MainDBKind = 0;  // 1 ORACLE, 2 DB2, 0 any other
    QString SystemControlAddress;
    QString OtherSystemControlAddress;

    void GetWorkDLLPaths(QStringList& List) const { List = WorkDLLPaths; }

private:
    void ReadDBSettings(const TIniFile& ini);
};

// The layout styles users chose per program and key (UserDef.ini, section
// [VoucherFormatDef]).
class TUserDefIni {
public:
    TUserDefIni();

    // The style stored under ProgramCode + "_" + Key ("=" in Key written as
    // "$EQUAL$"), or "<New>" when there is none.
    QString LookupFormat(const QString& ProgramCode, const QString& Key) const;

    QString FileName;
    QStringList Lines;  // name=value
};

// The registry's "ClientPath", else its "ServerPath", else empty (native form).
QString GetClientPath();
// The registry's "ServerPath" (native form), empty when missing.
QString GetServerPath();

// Stored database passwords: hexadecimal byte pairs, byte i rotated right by
// (i mod 8) bits; the empty password is stored as a marker text.
inline const QString NoPasswordMarker = QStringLiteral("QV_Say_NoPassWord_ThePassWordIsEmpty");
inline const QString PasswordErrorText = QStringLiteral("QV_Say_Password_Error");
QString ScramblePassword(const QString& plain);
// The plain password; PasswordErrorText (and an error report) when the
// stored text is not hexadecimal.
QString DescramblePassword(const QString& stored);

// The conversion modes of a system, interface and database code page.
void ConvertModesOf(const QString& SystemCodePage, const QString& UICodePage, const QString& DBCodePage,
                    uint8_t& UIConvertMode, uint8_t& DBConvertMode);

// A configured folder in native form: "\" becomes "/", and a "/" is added
// at the end of a non-empty folder.
QString NativeFolder(const QString& folder);

}  // namespace kelm24
