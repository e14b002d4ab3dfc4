// Page files: host export names, bitmap and searchable PDF, margins, the
// recipient conversion, and bad targets (long names, full or read-only
// folders) that must give a reason and leave no file behind.
#include "OutputTestSupport.h"
#include "tests/AllowSkip.h"
#include "output/PageOutput.h"
#include "output/SendDialogs.h"
#include "output/TextPDF.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

QStringList FilesIn(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    return names;
}

// A small file system of its own (tmpfs), so a full or read-only folder is
// real even for the super-user. Unmounted at the end.
class TSmallVolume {
public:
    TSmallVolume(const QString& options)
    {
        const int rc = QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", options, "tmpfs", dir.path()});
        mounted = rc == 0;
    }
    ~TSmallVolume()
    {
        if (mounted) QProcess::execute(QStringLiteral("umount"), {dir.path()});
    }
    QTemporaryDir dir;
    bool mounted = false;
};

// The mean absolute difference of the grey values of two equally sized images.
double MeanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8), y = b.convertToFormat(QImage::Format_Grayscale8);
    if (x.size() != y.size()) return 255;
    double sum = 0;
    for (int row = 0; row < x.height(); ++row)
        for (int col = 0; col < x.width(); ++col) sum += std::abs(int(x.constScanLine(row)[col]) - int(y.constScanLine(row)[col]));
    return sum / (double(x.width()) * x.height());
}

}  // namespace

TEST(PageOutput, HostExportPadsNumbersToTheDigitsOfThePageCount)
{
    for (const auto& [pages, expected] : std::vector<std::pair<int, QStringList>>{
             {12, {"R01.jpg", "R02.jpg", "R03.jpg", "R04.jpg", "R05.jpg", "R06.jpg", "R07.jpg", "R08.jpg", "R09.jpg",
                   "R10.jpg", "R11.jpg", "R12.jpg"}},
             {9, {"R1.jpg", "R2.jpg", "R3.jpg", "R4.jpg", "R5.jpg", "R6.jpg", "R7.jpg", "R8.jpg", "R9.jpg"}}}) {
        TTestOutputForm form;
        form.Resolution = 40;  // small files: only the names matter here
        FillReceiptPages(form.pages, pages);
        QTemporaryDir dir;
        TPageOutput output(form);
        ASSERT_TRUE(output.ExportPages(dir.filePath("R"), ftJPG)) << output.LastError().toStdString();
        EXPECT_EQ(FilesIn(dir.path()), expected);
        EXPECT_TRUE(form.window->isEnabled());
    }
}

TEST(PageOutput, EachPictureKindIsTheRenderedPage)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 2);
    QTemporaryDir dir;
    TPageOutput output(form);
    const QImage expected = output.PageBitmap(2);
    ASSERT_EQ(expected.size(), QSize(816, 1056));
    for (int type : {ftBMP, ftJPG, ftGIF}) {
        QString name = dir.filePath(QStringLiteral("p%1").arg(type));
        ASSERT_TRUE(output.RenderPageToFile(name, type, 2)) << output.LastError().toStdString();
        const QImage written(name);
        ASSERT_FALSE(written.isNull()) << name.toStdString();
        EXPECT_LT(DifferingShare(Softened(written), Softened(expected), 40), 0.01) << name.toStdString();
    }
    QString missing = dir.filePath("none");
    EXPECT_FALSE(output.RenderPageToFile(missing, ftBMP, 3));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.bmp")));
}

TEST(PageOutput, MarginsAreCutWhenTheExportFlagsAreCleared)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 1);
    form.LeftMarginMM = 10;
    form.TopMarginMM = 5;
    TPageOutput output(form);
    const QImage whole = output.PageBitmap(1);
    form.SkipLeftShift = form.SkipTopShift = false;
    const QImage shifted = output.PageBitmap(1);
    ASSERT_EQ(shifted.size(), whole.size());
    const int left = qRound(10 / 25.4 * 96), top = qRound(5 / 25.4 * 96);
    const QImage a = whole.copy(left, top, 600, 700), b = shifted.copy(0, 0, 600, 700);
    EXPECT_LT(DifferingShare(a, b, 60), 0.002);
    EXPECT_GT(DifferingShare(whole.copy(0, 0, 600, 700), b, 60), 0.01);  // it did move
}

TEST(PageOutput, HalfPageFilesAreTheHalvesOfTheirSheet)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 2);
    form.HalfPage = true;
    TPageOutput output(form);
    const QImage upper = output.PageBitmap(3), lower = output.PageBitmap(4);
    ASSERT_EQ(upper.height(), 528);
    ASSERT_EQ(lower.height(), 528);
    const QImage sheet = form.pages.PageImage(2, 96);
    EXPECT_LT(DifferingShare(upper, sheet.copy(0, 0, 816, 528), 60), 0.002);
    EXPECT_LT(DifferingShare(lower, sheet.copy(0, 528, 816, 528), 60), 0.002);
    EXPECT_TRUE(output.PageBitmap(5).isNull());
}

TEST(PageOutput, BitmapPdfIsOnePageWithOneImageOfTheBitmapsSize)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 1);
    QTemporaryDir dir;
    TPageOutput output(form);
    QString name = dir.filePath("page");
    ASSERT_TRUE(output.RenderPageToFile(name, ftPDF, 1));
    EXPECT_EQ(name, dir.filePath("page.pdf"));
    const QString info = RunTool("pdfinfo", {name});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\b"))) << info.toStdString();
    EXPECT_TRUE(info.contains("816 x 1056 pts")) << info.toStdString();
    EXPECT_TRUE(RunTool("pdftotext", {name, "-"}).trimmed().isEmpty());
    EXPECT_TRUE(RunTool("pdfimages", {"-list", name}).contains(QRegularExpression("816\\s+1056\\s+rgb")));
}

TEST(PageOutput, TextPdfKeepsTheTextWithEmbeddedFontSubsets)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 5);
    QTemporaryDir dir;
    TPageOutput output(form);
    ASSERT_TRUE(output.ExportPages(dir.filePath("all"), ftTextPDF)) << output.LastError().toStdString();
    const QString file = dir.filePath("all.pdf");
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"all.pdf"});
    EXPECT_TRUE(RunTool("pdfinfo", {file}).contains(QRegularExpression("Pages:\\s+5\\b")));
    EXPECT_TRUE(RunTool("pdfinfo", {file}).contains("612 x 792 pts"));
    const QString text = RunTool("pdftotext", {"-layout", file, "-"});
    EXPECT_TRUE(text.contains(QStringLiteral("采购进货单 Receipt 4"))) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("螺丝钉 M7")));
    // Every font embedded and subset ("emb sub" = "yes yes").
    const QStringList fonts = RunTool("pdffonts", {file}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    for (const QString& line : fonts) EXPECT_TRUE(line.contains(QRegularExpression("yes\\s+yes"))) << line.toStdString();
    EXPECT_LT(QFileInfo(file).size() / 5, 16 * 1024);
    // The tagged font names moved the cross-reference offsets: still a sound file.
    EXPECT_TRUE(RunTool("qpdf", {"--check", file}).contains("No syntax or stream encoding errors"));
    // Kind 3 becomes the searchable PDF when the settings prefer it.
    form.PreferTextPdf = true;
    QString one = dir.filePath("one");
    ASSERT_TRUE(output.RenderPageToFile(one, ftPDF, 2));
    EXPECT_TRUE(RunTool("pdftotext", {one, "-"}).contains(QStringLiteral("Receipt 2")));
}

TEST(PageOutput, TextPdfKeepsThePrePrintedFormsTitlesAsTextAndStaysSmall)
{
    // The receipt's pre-printed form under every page: its titles are text of
    // the file, not outlines repeated on every page.
    TTestOutputForm form;
    FillReceiptPages(form.pages, 3);
    TQRBackground background;
    const QString svg = qEnvironmentVariable("KELM24_SOURCE_DIR", KELM24_TEST_SOURCE_DIR) + QStringLiteral("/format/backgrounds/CHS_KELM24F.svg");
    ASSERT_TRUE(background.Load(svg)) << svg.toStdString();
    form.pages.SetBackground(background);
    QTemporaryDir dir;
    TPageOutput output(form);
    ASSERT_TRUE(output.ExportPages(dir.filePath("form"), ftTextPDF)) << output.LastError().toStdString();
    const QString file = dir.filePath("form.pdf");
    const QString page3 = RunTool("pdftotext", {"-f", "3", "-l", "3", file, "-"});
    for (const char* title : {"制表日期", "供应商单号", "验收数量", "采购单号"})
        EXPECT_TRUE(page3.contains(QString::fromUtf8(title))) << title;
    EXPECT_TRUE(page3.contains(QStringLiteral("Receipt 3")));
    EXPECT_LT(QFileInfo(file).size() / 3, 16 * 1024);
}

TEST(PageOutput, HalfPageTextPdfHasTwoPagesPerSheet)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 2);
    form.HalfPage = true;
    QTemporaryDir dir;
    TPageOutput output(form);
    ASSERT_TRUE(output.ExportPages(dir.filePath("half"), ftTextPDF));
    const QString file = dir.filePath("half.pdf");
    EXPECT_TRUE(RunTool("pdfinfo", {file}).contains(QRegularExpression("Pages:\\s+4\\b")));
    const QString page4 = RunTool("pdftotext", {"-f", "4", "-l", "4", file, "-"});
    EXPECT_TRUE(page4.contains(QStringLiteral("Lower half 2"))) << page4.toStdString();
    EXPECT_FALSE(page4.contains(QStringLiteral("Receipt 2")));
}

TEST(PageOutput, NamesPastTheLimitAreRefusedWithAReason)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 1);
    QTemporaryDir dir;
    TPageOutput output(form);
    QString name = dir.filePath(QString(260 - dir.path().size(), QLatin1Char('n')));
    ASSERT_GT(name.size(), 250);
    for (int type : {ftBMP, ftJPG, ftPDF, ftTextPDF}) {
        QString n = name;
        EXPECT_FALSE(output.RenderPageToFile(n, type, 1));
        EXPECT_TRUE(output.LastError().contains("250")) << output.LastError().toStdString();
    }
    EXPECT_TRUE(FilesIn(dir.path()).isEmpty());
    QString inMissingFolder = dir.filePath("no/such/folder/p");
    EXPECT_FALSE(output.RenderPageToFile(inMissingFolder, ftBMP, 1));
    EXPECT_TRUE(output.LastError().contains("does not exist"));
}

TEST(PageOutput, AFullOrReadOnlyFolderLeavesNoFileBehind)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 3);
    {
        TSmallVolume full(QStringLiteral("size=200k"));
        // Mounting needs root, as CI has.
        if (!full.mounted) KELM24_SKIP_OR_FAIL("mounting a small tmpfs failed");
        TPageOutput output(form);
        for (int type : {ftBMP, ftPDF, ftJPG, ftTextPDF}) {
            QString name = full.dir.filePath(QStringLiteral("big%1").arg(type));
            // Fill the volume first so even a small file cannot fit.
            QFile filler(full.dir.filePath("filler"));
            ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
            while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {}
            filler.close();
            EXPECT_FALSE(output.RenderPageToFile(name, type, 1)) << type;
            EXPECT_FALSE(output.LastError().isEmpty());
            QFile::remove(full.dir.filePath("filler"));
        }
        EXPECT_TRUE(FilesIn(full.dir.path()).isEmpty()) << FilesIn(full.dir.path()).join(",").toStdString();
    }
    {
        TSmallVolume readOnly(QStringLiteral("ro,size=1m"));
        ASSERT_TRUE(readOnly.mounted);
        TPageOutput output(form);
        EXPECT_FALSE(output.ExportPages(readOnly.dir.filePath("R"), ftBMP));
        EXPECT_FALSE(output.LastError().isEmpty());
        EXPECT_FALSE(output.ExportPages(readOnly.dir.filePath("R"), ftTextPDF));
        EXPECT_TRUE(FilesIn(readOnly.dir.path()).isEmpty());
    }
}

TEST(PageOutput, RecipientPagesAreCountedAndRemovedAgainOnFailure)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 3);
    form.Resolution = 50;
    QTemporaryDir dir;
    TPageOutput output(form);
    QStringList files;
    ASSERT_TRUE(output.ConvertRecipientPages("1,$$PURTG;TG045;TG001='A';3,$$PURTG;TG045;TG001='C';", dir.filePath("b_"),
                                             ftGIF, files));
    EXPECT_EQ(files, QStringList({dir.filePath("b_1.gif"), dir.filePath("b_3.gif")}));
    EXPECT_EQ(form.counted, QStringList({"$$PURTG|TG045|TG001='A'", "$$PURTG|TG045|TG001='C'"}));
    // A document whose page is gone fails the recipient and removes its files.
    QStringList failed;
    EXPECT_FALSE(output.ConvertRecipientPages("2,$$PURTG;TG045;TG001='B';9,$$PURTG;TG045;TG001='Z';", dir.filePath("c_"),
                                              ftGIF, failed));
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("c_2.gif")));
    // A document without a key condition is not counted.
    QStringList plain;
    form.counted.clear();
    ASSERT_TRUE(output.ConvertRecipientPages("2,;;;", dir.filePath("d_"), ftJPG, plain));
    EXPECT_TRUE(form.counted.isEmpty());
}

TEST(PageOutput, SendEntriesSplitIntoTheirParts)
{
    const QList<TSendEntry> entries = ParseSendEntries("4,$$PURTG;TG045;TG001='A' AND TG002='1';12,T;F;W;");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].Page, 4);
    EXPECT_EQ(entries[0].Table, "$$PURTG");
    EXPECT_EQ(entries[0].Field, "TG045");
    EXPECT_EQ(entries[0].Where, "TG001='A' AND TG002='1'");
    EXPECT_EQ(entries[1].Page, 12);
    TTestOutputForm form;
    const QString base = TemporaryBaseName(form);
    EXPECT_TRUE(QRegularExpression("/PURR05_\\d{14}_$").match(base).hasMatch()) << base.toStdString();
}

TEST(PageOutput, ParallelBitmapPdfExportPutsEachPageInItsOwnFile)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 12);
    form.Resolution = 48;
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());  // image files of a writer without its own folder would land here
    TPageOutput output(form);
    const bool done = output.ExportPages(dir.filePath("R"), ftPDF);
    QDir::setCurrent(old);
    ASSERT_TRUE(done) << output.LastError().toStdString();
    QStringList expected;
    for (int i = 1; i <= 12; ++i) expected << QStringLiteral("R%1.pdf").arg(i, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(FilesIn(dir.path()), expected);  // and no image files left over
    for (int page : {1, 7, 12}) {
        const QString file = dir.filePath(QStringLiteral("R%1.pdf").arg(page, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(RunTool("qpdf", {"--check", file}).contains("No syntax or stream encoding errors"), true);
        // The page's one image, as stored: the samples of the page's bitmap.
        ASSERT_EQ(QProcess::execute("pdfimages", {"-png", file, dir.filePath("shot")}), 0);
        const QImage shot(dir.filePath("shot-000.png"));
        const QImage same = output.PageBitmap(page), other = output.PageBitmap(page == 1 ? 2 : page - 1);
        ASSERT_EQ(shot.size(), same.size());
        EXPECT_EQ(MeanDifference(shot, same), 0.0) << page;
        EXPECT_GT(MeanDifference(shot, other), 0.0) << page;
        QFile::remove(dir.filePath("shot-000.png"));
    }
}

TEST(PageOutput, CancelInTheProgressDialogStopsTheExport)
{
    TTestOutputForm form;
    FillReceiptPages(form.pages, 60);
    QTemporaryDir dir;
    TPageOutput output(form);
    QString caption, state;
    // Cancel as the user would, in the conversion dialog, once it shows.
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<TfrmVRConvPic*>(w); dialog && dialog->isVisible()) {
                caption = dialog->windowTitle();
                state = dialog->lblState->text();
                dialog->btnCancel->click();
            }
    });
    EXPECT_FALSE(output.ExportPages(dir.filePath("R"), ftBMP));
    EXPECT_EQ(output.LastError(), "Cancelled");
    EXPECT_TRUE(form.AbortRequested);
    EXPECT_EQ(caption, QStringLiteral("转图档中"));
    EXPECT_TRUE(state.endsWith("/60")) << state.toStdString();
    EXPECT_LT(FilesIn(dir.path()).size(), 60);
    // Every file that is there is complete.
    for (const QString& name : FilesIn(dir.path())) EXPECT_FALSE(QImage(dir.filePath(name)).isNull()) << name.toStdString();
    EXPECT_TRUE(form.window->isEnabled());
    // The next export starts afresh.
    TTestOutputForm small;
    FillReceiptPages(small.pages, 2);
    small.AbortRequested = true;
    QTemporaryDir other;
    EXPECT_TRUE(TPageOutput(small).ExportPages(other.filePath("R"), ftJPG));
}
