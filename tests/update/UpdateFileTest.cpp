// The update run: the registry switch, the host's answer, the download and
// unpack sequence with its Abort/Retry dialog, failures in Error and the log.
#include "platform/dialogs/Dialogs.h"
#include "tests/update/UpdatePeers.h"
#include "update/QVDownLoad.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

class UpdateRun : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file;  // the program library being brought up to date
    QByteArray savedRegistry = qgetenv("KELM24_REGISTRY"), savedTmp = qgetenv("TMPDIR");

    void SetUp() override
    {
        qputenv("KELM24_REGISTRY", QFile::encodeName(dir.filePath(QStringLiteral("registry.ini"))));
        qputenv("TMPDIR", QFile::encodeName(dir.filePath(QStringLiteral("tmp"))));
        QDir().mkpath(dir.filePath(QStringLiteral("tmp")));
        Switch(QStringLiteral("1"));
        file = dir.filePath(QStringLiteral("S_PKG/libPURS.so"));
        WriteFile(file, "old library");
        QFile f(file);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime().addDays(-2), QFileDevice::FileModificationTime);
        TDialogService::Reset();
    }
    void TearDown() override
    {
        TDialogService::Reset();
        TQVDownLoad::LibraryName = QStringLiteral("libQVDownLoad.so");
        qputenv("KELM24_REGISTRY", savedRegistry);
        qputenv("TMPDIR", savedTmp);
    }
    // The "GoAhead" value; a null text writes the key without it.
    void Switch(const QString& value)
    {
        QByteArray ini = "[Software\\HOLB\\Tamrik]\n";
        if (!value.isNull()) ini += "GoAhead=\"" + value.toUtf8() + "\"\n";
        WriteFile(dir.filePath(QStringLiteral("registry.ini")), ini);
    }
    static QString NewStamp()
    {
        return QDateTime::currentDateTime().addDays(-1).toString(QStringLiteral("yyyyMMddhhmmss"));
    }
    static QByteArray NewArchive() { return MakeZip({{QStringLiteral("libPURS.so"), "new library"}}); }
    static QString LogText()
    {
        const QString name = UpdateLogFolder() + QStringLiteral("/Alert_QVDownLoadNewFileU_") +
                             QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
        return QString::fromUtf8(ReadFile(name));
    }
};

}  // namespace

TEST(UpdateAnswer, ReadsTheTaggedAndTheQuotedForm)
{
    const TUpdateAnswer tagged = ParseUpdateAnswer(
        QStringLiteral("<File><Modify>20240102030405</Modify><Path>\\\\srv\\upd\\libpurs.so</Path></File>"));
    EXPECT_EQ(tagged.Stamp, QStringLiteral("20240102030405"));
    EXPECT_EQ(tagged.RemoteFolder, QStringLiteral("\\\\srv\\upd\\"));
    const TUpdateAnswer quoted =
        ParseUpdateAnswer(QStringLiteral("Modify = '2024/01/02 03:04:05' Path = 'http://h/upd/libpurs.so'"));
    EXPECT_EQ(quoted.Stamp, QStringLiteral("2024/01/02 03:04:05"));
    EXPECT_EQ(quoted.RemoteFolder, QStringLiteral("http://h/upd/"));
    const TUpdateAnswer none = ParseUpdateAnswer(QStringLiteral("no such file"));
    EXPECT_TRUE(none.Stamp.isEmpty());
    EXPECT_TRUE(none.RemoteFolder.isEmpty());
    EXPECT_TRUE(ParseUpdateAnswer(QStringLiteral("<Path>libpurs.so</Path>")).RemoteFolder.isEmpty());
}

TEST_F(UpdateRun, TheSwitchAllowsOnlyATrimmedOne)
{
    Switch(QStringLiteral(" 1 "));
    EXPECT_TRUE(UpgradeAllowed());
    for (const QString& off : {QStringLiteral("0"), QStringLiteral("11"), QStringLiteral(""), QString()}) {
        Switch(off);
        EXPECT_FALSE(UpgradeAllowed()) << off.toStdString();
    }
    WriteFile(dir.filePath(QStringLiteral("registry.ini")), "[Software\\Other]\nGoAhead=1\n");
    EXPECT_FALSE(UpgradeAllowed());
    EXPECT_TRUE(LogText().contains(QLatin1String("] Read Upgrader Registry Error: No UPGRADER_REGISTRY_PATH")));
}

TEST_F(UpdateRun, FetchesAndUnpacksANewerLibraryOverHttp)
{
    THttpPeer peer;
    peer.Serve(QStringLiteral("/Upd/libpurs.so.zip"), NewArchive());
    Switch(QStringLiteral(" 1 "));
    const QString answer = QStringLiteral("<Modify>%1</Modify><Path>%2</Path>")
                               .arg(NewStamp(), peer.Url(QStringLiteral("/Upd/libpurs.so")));
    QString error = QStringLiteral("stale");
    EXPECT_TRUE(UpdateFromAnswer(answer, file, error, true));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(ReadFile(file), "new library");
    EXPECT_EQ(peer.Requests(), QStringList{QStringLiteral("GET /Upd/libpurs.so.zip")});
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("tmp/libPURS.so.zip")))) << "the archive is removed";
    EXPECT_TRUE(TDialogService::History().isEmpty());

    // Now current: the same answer fetches nothing.
    EXPECT_TRUE(UpdateFromAnswer(answer, file, error, true));
    EXPECT_EQ(peer.Requests().size(), 1);
}

TEST_F(UpdateRun, TheQuotedAnswerAndABackslashFolderWorkLikeTheTaggedOne)
{
    WriteFile(dir.filePath(QStringLiteral("upd/libpurs.so.zip")), NewArchive());
    const QString folder = QUrl::fromLocalFile(dir.filePath(QStringLiteral("upd"))).toString();
    QString error;
    EXPECT_TRUE(UpdateFromAnswer(
        QStringLiteral("Modify = '%1' Path = '%2\\libpurs.so'").arg(NewStamp(), folder), file, error, false))
        << error.toStdString();
    EXPECT_EQ(ReadFile(file), "new library");
}

TEST_F(UpdateRun, AnOffSwitchOrNoNewerStampTakesTheFileAsCurrent)
{
    THttpPeer peer;
    const QString answer = QStringLiteral("<Modify>%1</Modify><Path>%2</Path>")
                               .arg(NewStamp(), peer.Url(QStringLiteral("/libpurs.so")));
    QString error;
    for (const QString& off : {QStringLiteral("0"), QString()}) {
        Switch(off);
        EXPECT_TRUE(UpdateFromAnswer(answer, file, error, true));
        EXPECT_TRUE(error.isEmpty());
    }
    Switch(QStringLiteral("1"));
    EXPECT_TRUE(UpdateFromAnswer(QString(), file, error, true)) << "the host knows no newer file";
    EXPECT_TRUE(peer.Requests().isEmpty());
    EXPECT_EQ(ReadFile(file), "old library");
}

TEST_F(UpdateRun, ANetworkFileFailsBeforeAnyDownload)
{
    THttpPeer peer;
    peer.Serve(QStringLiteral("/libpurs.so.zip"), NewArchive());
    QString error;
    for (const QString& share : {QStringLiteral("//srv/pkg/libPURS.so"), QStringLiteral("\\\\srv\\pkg\\libPURS.so")}) {
        EXPECT_FALSE(UpdateFile(NewStamp(), peer.Url(QStringLiteral("/")), share, true, error));
        EXPECT_EQ(error, QStringLiteral("Net File can't update![") + share + QLatin1Char(']'));
        EXPECT_TRUE(LogText().contains(error));
    }
    EXPECT_TRUE(peer.Requests().isEmpty());
    EXPECT_TRUE(TDialogService::History().isEmpty());
}

TEST_F(UpdateRun, RetryRepeatsOnlyTheDownload)
{
    THttpPeer peer;
    const QString remote = peer.Url(QStringLiteral("/upd/"));
    int asked = 0;
    TDialogService::SetMessageHandler([&](const TMessageRequest& request) {
        ++asked;
        EXPECT_EQ(request.Buttons, (TMsgDlgButtons{mbAbort, mbRetry}));
        EXPECT_EQ(request.DlgType, mtError);
        EXPECT_TRUE(request.Text.startsWith(QStringLiteral("DownLoad new file[") + file + QStringLiteral("] failed. ")))
            << request.Text.toStdString();
        // The archive appears, and the local file now looks current: a
        // repeated comparison would stop without fetching it.
        peer.Serve(QStringLiteral("/upd/libpurs.so.zip"), NewArchive());
        QFile f(file);
        f.open(QIODevice::ReadWrite);
        f.setFileTime(QDateTime::currentDateTime(), QFileDevice::FileModificationTime);
        return int(mrRetry);
    });
    QString error;
    EXPECT_TRUE(UpdateFile(NewStamp(), remote, file, true, error)) << error.toStdString();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(ReadFile(file), "new library");
    EXPECT_EQ(peer.Requests().size(), 2);
}

TEST_F(UpdateRun, AbortOrABatchRunFailsWithTheReason)
{
    THttpPeer peer;
    const QString expected = QStringLiteral("DownLoad new file[") + file + QStringLiteral("] failed. ");
    TDialogService::ScriptAnswers({mrAbort});
    QString error;
    EXPECT_FALSE(UpdateFile(NewStamp(), peer.Url(QStringLiteral("/upd")), file, true, error));
    EXPECT_TRUE(error.startsWith(expected) && error.contains(QLatin1String("404"))) << error.toStdString();
    EXPECT_EQ(TDialogService::History().size(), 1);
    EXPECT_EQ(TDialogService::History().value(0).Text, error);
    EXPECT_TRUE(LogText().contains(error));

    TDialogService::Reset();
    EXPECT_FALSE(UpdateFile(NewStamp(), peer.Url(QStringLiteral("/upd")), file, false, error));
    EXPECT_TRUE(error.startsWith(expected));
    EXPECT_TRUE(TDialogService::History().isEmpty()) << "a batch run asks nobody";
    EXPECT_EQ(peer.Requests().size(), 2);
    EXPECT_EQ(ReadFile(file), "old library");

    // An archive that cannot be unpacked fails at the next step.
    peer.Serve(QStringLiteral("/upd/libpurs.so.zip"), "not a zip");
    EXPECT_FALSE(UpdateFile(NewStamp(), peer.Url(QStringLiteral("/upd")), file, false, error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Unzip new file[") + file + QStringLiteral("] failed. ")))
        << error.toStdString();
    EXPECT_EQ(ReadFile(file), "old library");
}

TEST_F(UpdateRun, AMissingLibraryGivesTheNotFoundTexts)
{
    TQVDownLoad::LibraryName = QStringLiteral("libQVDownLoadMissing.so");
    QString error;
    EXPECT_FALSE(UpdateFile(NewStamp(), dir.path(), file, true, error));
    EXPECT_EQ(error, QStringLiteral("function QvDownLoad.CompareFileToDown not found!"));
    EXPECT_TRUE(LogText().contains(error));
    EXPECT_TRUE(TDialogService::History().isEmpty());

    const TQVDownLoad missing;
    EXPECT_FALSE(missing.Loaded());
    QString reason;
    EXPECT_FALSE(missing.QVDownLoadFileEx(QStringLiteral("a.zip"), dir.filePath(QStringLiteral("b.zip")), reason));
    EXPECT_EQ(reason, QStringLiteral("function QvDownLoad.QVDownLoadFile not found!"));
    EXPECT_FALSE(missing.UnZipFilesOrDir(QStringLiteral("a.zip"), dir.path(), reason));
    EXPECT_EQ(reason, QStringLiteral("function QvDownLoad.UnZipFilesOrDir not found!"));
}
