// The download library as the downloader loads it: transfers, unpacking,
// stamp comparison and the reason texts it hands back.
#include "platform/QVDownLoad/QVDownLoad.h"
#include "tests/update/UpdatePeers.h"
#include "update/QVDownLoad.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QUrl>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

QString Stamp(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyyMMddhhmmss"));
}

void SetModified(const QString& name, const QDateTime& time)
{
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime));
}

class DownLoadLibrary : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TQVDownLoad library;
    QString Path(const QString& name) const { return dir.filePath(name); }
};

}  // namespace

TEST_F(DownLoadLibrary, IsFoundBesideTheProgramWithEveryFunction)
{
    ASSERT_TRUE(library.Loaded());
    EXPECT_TRUE(library.LibraryPath().endsWith(QLatin1String("/libQVDownLoad.so")));
}

TEST_F(DownLoadLibrary, ComparesTheStampWithTheLocalFile)
{
    const QString file = Path(QStringLiteral("libPURS.so"));
    EXPECT_TRUE(library.CompareFileToDown(QStringLiteral("20200101120000"), file)) << "a missing file is replaced";
    WriteFile(file, "old");
    const QDateTime modified = QDateTime::currentDateTime().addDays(-1);
    SetModified(file, modified);
    EXPECT_TRUE(library.CompareFileToDown(Stamp(modified.addSecs(60)), file));
    EXPECT_FALSE(library.CompareFileToDown(Stamp(modified), file));
    EXPECT_FALSE(library.CompareFileToDown(Stamp(modified.addSecs(-3600)), file));
    EXPECT_TRUE(library.CompareFileToDown(modified.addDays(1).toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")), file));
    EXPECT_FALSE(library.CompareFileToDown(QString(), file)) << "no stamp, nothing to fetch";
    EXPECT_FALSE(library.CompareFileToDown(QStringLiteral("yesterday"), file));
    EXPECT_FALSE(library.CompareFileToDown(QStringLiteral("20201399000000"), file));
}

TEST_F(DownLoadLibrary, DownloadsOverHttpFileUrlsAndLocalPaths)
{
    THttpPeer peer;
    peer.Serve(QStringLiteral("/upd/libpurs.so.zip"), QByteArray(200000, 'z') + "end");
    QString reason;
    const QString local = Path(QStringLiteral("tmp/libPURS.so.zip"));
    ASSERT_TRUE(library.QVDownLoadFileEx(peer.Url(QStringLiteral("/upd/libpurs.so.zip")), local, reason)) << reason.toStdString();
    EXPECT_TRUE(reason.isEmpty());
    EXPECT_EQ(ReadFile(local), QByteArray(200000, 'z') + "end");
    EXPECT_EQ(peer.UserAgents(), QStringList{QStringLiteral("HOLB")});

    WriteFile(Path(QStringLiteral("share/a b.zip")), "from a file");
    const QString viaUrl = Path(QStringLiteral("url.zip"));
    ASSERT_TRUE(library.QVDownLoadFileEx(QUrl::fromLocalFile(Path(QStringLiteral("share/a b.zip"))).toString(
                                             QUrl::FullyEncoded),
                                         viaUrl, reason))
        << reason.toStdString();
    EXPECT_EQ(ReadFile(viaUrl), "from a file");
    const QString viaPath = Path(QStringLiteral("path.zip"));
    ASSERT_TRUE(library.QVDownLoadFileEx(Path(QStringLiteral("share/a b.zip")), viaPath, reason)) << reason.toStdString();
    EXPECT_EQ(ReadFile(viaPath), "from a file");
}

TEST_F(DownLoadLibrary, AFailedDownloadGivesAReasonAndLeavesTheOldZip)
{
    THttpPeer peer;
    const QString local = Path(QStringLiteral("libPURS.so.zip"));
    WriteFile(local, "previous");
    QString reason;
    EXPECT_FALSE(library.QVDownLoadFileEx(peer.Url(QStringLiteral("/none.zip")), local, reason));
    EXPECT_TRUE(reason.contains(QLatin1String("404"))) << reason.toStdString();
    EXPECT_EQ(ReadFile(local), "previous");
    EXPECT_FALSE(library.QVDownLoadFileEx(QUrl::fromLocalFile(Path(QStringLiteral("none.zip"))).toString(), local, reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(library.QVDownLoadFileEx(Path(QStringLiteral("none.zip")), local, reason));
    EXPECT_TRUE(reason.contains(QLatin1String("none.zip"))) << reason.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("libPURS.so.zip")})
        << "no partial file is left";
}

TEST_F(DownLoadLibrary, UnpacksAnArchiveOverTheOldFiles)
{
    const QString zip = Path(QStringLiteral("new.zip"));
    WriteFile(zip, MakeZip({{QStringLiteral("libPURS.so"), "new library"},
                            {QStringLiteral("res/"), {}},
                            {QStringLiteral("res/说明.txt"), "notes"}}));
    const QString target = Path(QStringLiteral("pkg"));
    WriteFile(target + QStringLiteral("/libPURS.so"), "old library, longer than the new one");
    QString reason;
    ASSERT_TRUE(library.UnZipFilesOrDir(zip, target, reason)) << reason.toStdString();
    EXPECT_EQ(ReadFile(target + QStringLiteral("/libPURS.so")), "new library");
    EXPECT_EQ(ReadFile(target + QStringLiteral("/res/说明.txt")), "notes");
    EXPECT_EQ(QDir(target).entryList(QDir::Files), QStringList{QStringLiteral("libPURS.so")});

    EXPECT_FALSE(library.UnZipFilesOrDir(Path(QStringLiteral("missing.zip")), target, reason));
    EXPECT_TRUE(reason.contains(QLatin1String("missing.zip"))) << reason.toStdString();
    WriteFile(Path(QStringLiteral("text.zip")), "not an archive");
    EXPECT_FALSE(library.UnZipFilesOrDir(Path(QStringLiteral("text.zip")), target, reason));
    EXPECT_FALSE(reason.isEmpty());
}

TEST_F(DownLoadLibrary, RefusesEntriesThatLeaveTheFolderBeforeWritingAnything)
{
    const QString target = Path(QStringLiteral("pkg"));
    QDir().mkpath(target);
    QString reason;
    for (const QString& bad : {QStringLiteral("../x"), QStringLiteral("a/../../x"), QStringLiteral("/tmp/x"),
                               QStringLiteral("..\\x")}) {
        const QString zip = Path(QStringLiteral("bad.zip"));
        WriteFile(zip, MakeZip({{QStringLiteral("first.txt"), "a"}, {bad, "escaped"}}));
        EXPECT_FALSE(library.UnZipFilesOrDir(zip, target, reason)) << bad.toStdString();
        EXPECT_TRUE(reason.contains(bad)) << reason.toStdString();
        EXPECT_TRUE(QDir(target).isEmpty()) << bad.toStdString();
        EXPECT_FALSE(QFile::exists(Path(QStringLiteral("x"))));
    }
    // A reason longer than the buffer is cut at a character, never overflows.
    const QString longName = QStringLiteral("../") + QString(300, QChar(0x4E2D));
    WriteFile(Path(QStringLiteral("long.zip")), MakeZip({{longName, "x"}}));
    EXPECT_FALSE(library.UnZipFilesOrDir(Path(QStringLiteral("long.zip")), target, reason));
    EXPECT_LE(reason.toUtf8().size(), QVDownLoadErrorSize - 1);
    EXPECT_TRUE(reason.startsWith(QLatin1String("Unsafe entry in archive: ../")));
    EXPECT_FALSE(reason.contains(QChar::ReplacementCharacter));
}

TEST_F(DownLoadLibrary, AnswersAnUpdateFolderLikeTheHost)
{
    void* handle = dlopen(QFile::encodeName(library.LibraryPath()).constData(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr);
    const auto getFileList = reinterpret_cast<TGetFileList>(dlsym(handle, "GetFileList"));
    const auto list = reinterpret_cast<TUnZipFilesList>(dlsym(handle, "UnZipFilesList"));
    ASSERT_TRUE(getFileList && list);
    const QString zip = Path(QStringLiteral("libpurs.so.zip"));
    WriteFile(zip, MakeZip({{QStringLiteral("libPURS.so"), "x"}, {QStringLiteral("doc/a.txt"), "y"}}));
    char answer[512];
    ASSERT_GT(getFileList(QFile::encodeName(dir.path()).constData(), "LibPURS.so", answer, sizeof answer), 0);
    const TUpdateAnswer parsed = ParseUpdateAnswer(QString::fromUtf8(answer));
    EXPECT_EQ(parsed.RemoteFolder, dir.path() + QLatin1Char('/'));
    EXPECT_EQ(parsed.Stamp, Stamp(QFileInfo(zip).lastModified()));
    EXPECT_EQ(getFileList(QFile::encodeName(dir.path()).constData(), "libINVS.so", answer, sizeof answer), 0);
    char names[64];
    EXPECT_EQ(list(QFile::encodeName(zip).constData(), names, sizeof names), 2);
    EXPECT_STREQ(names, "libPURS.so\ndoc/a.txt\n");
    EXPECT_EQ(list(QFile::encodeName(zip).constData(), names, 8), -1);
    dlclose(handle);
}
