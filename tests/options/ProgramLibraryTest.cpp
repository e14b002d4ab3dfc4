// Finding and loading a program's server library without a form: which copy
// is used, what an update that refuses a copy does, and what is reported.
#include "options/ProgramLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(ProgramLibraryRunner, TheFirstUsableCopyWinsElseThePackageFolderIsNamed)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString a = dir.path() + QStringLiteral("/A_PKG/"), s = dir.path() + QStringLiteral("/S_PKG/"),
                  b = dir.path() + QStringLiteral("/B/");
    QDir().mkpath(s);
    WriteFile(a + QStringLiteral("libX.so"), "a");
    WriteFile(b + QStringLiteral("libX.so"), "b");
    QStringList reports;
    TProgramLibraryRunner runner;
    runner.FileName = QStringLiteral("libX.so");
    runner.Folders = {a, s, b};
    runner.Report = [&reports](const QString& text) { reports << text; };
    EXPECT_EQ(runner.Locate(), a + QStringLiteral("libX.so"));

    // An update that refuses the first copy passes on to the next folder holding one.
    runner.Update = [&a](const QString& file, QString& error) {
        if (!file.startsWith(a)) return true;
        error = QStringLiteral("stale copy");
        return false;
    };
    EXPECT_EQ(runner.Locate(), b + QStringLiteral("libX.so"));
    EXPECT_EQ(reports, QStringList{QStringLiteral("stale copy")});

    // Nowhere: the package folder is where the update may place it, and the failure names it.
    reports.clear();
    runner.FileName = QStringLiteral("libY.so");
    QString offered;
    runner.Update = [&offered](const QString& file, QString&) {
        offered = file;
        return true;
    };
    EXPECT_EQ(runner.Locate(), QString());
    EXPECT_EQ(offered, s + QStringLiteral("libY.so"));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(s + QStringLiteral("libY.so"))) << reports[0].toStdString();
}

TEST(ProgramLibraryRunner, NoFoldersOrAFileThatIsNoLibraryRunNothingAndSayWhy)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList reports;
    TProgramLibraryRunner runner;
    runner.FileName = QStringLiteral("libZ.so");
    runner.Report = [&reports](const QString& text) { reports << text; };
    EXPECT_FALSE(runner.Run(Variant()));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].contains(QStringLiteral("libZ.so")));

    reports.clear();
    WriteFile(dir.path() + QStringLiteral("/libZ.so"), "not a shared object");
    runner.Folders = {dir.path()};
    EXPECT_FALSE(runner.Run(Variant()));
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].startsWith(QStringLiteral("Load Library"))) << reports[0].toStdString();
}
