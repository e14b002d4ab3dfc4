// The PDF writer: the byte layout of the file, what PDF tools make of it,
// and its failures.
#include "format/engine/ClientDataSet.h"
#include "format/engine/QRControls.h"
#include "format/engine/QuickRep.h"
#include "output/libPDF.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs a tool; answers its exit code (-1 when it could not start).
int RunTool(const QString& program, const QStringList& args, QByteArray* output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(60000)) return -1;
    if (output) *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QString WritePdf(const QDir& dir, const QString& name, const QImage& bitmap, const QString& title = QString())
{
    TPrintPDF pdf;
    pdf.SetFileName(dir.filePath(name));
    pdf.SetTitle(title);
    pdf.SetPageWidth(bitmap.width());
    pdf.SetPageHeight(bitmap.height());
    pdf.SetCompress(true);
    pdf.StartDocument();
    pdf.DrawPageImage(0, 0, bitmap);
    pdf.FinishDocument();
    return pdf.FileName();
}

// Runs the writer with the temporary image files in dir.
struct InDir {
    explicit InDir(const QString& dir) : old(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~InDir() { QDir::setCurrent(old); }
    QString old;
};

}  // namespace

TEST(PrintPDF, FiveByTwoBitmapGivesTheFileLayoutByteForByte)
{
    QTemporaryDir dir;
    InDir in(dir.path());
    QImage bitmap(5, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) bitmap.setPixel(x, y, qRgb(x * 50, y * 200, 7));
    const QByteArray file = ReadAll(WritePdf(QDir(dir.path()), "five.pdf", bitmap));
    ASSERT_FALSE(file.isEmpty());
    EXPECT_TRUE(file.startsWith("%PDF-1.4\r\n1 0 obj\r\n<<\r\n/Producer (Varnek)\r\n/Author (Varnek)\r\n/CreationDate (D:"));
    for (const char* line : {"/Creator (Varnek)\r\n/Keywords ()\r\n/Subject ()\r\n/Title ()\r\n/ModDate ()\r\n>>\r\nendobj\r\n",
                             "2 0 obj\r\n<< /Length 3 0 R\r\n >>\r\nstream\r\nq\r\n5 0 0 2 0 0 cm\r\n/Im1 Do\r\nQ\r\nendstream\r\nendobj\r\n"
                             "3 0 obj\r\n31\r\nendobj\r\n4 0 obj\r\n<< /Type /Outlines\r\n/Count 0\r\n>>\r\nendobj\r\n",
                             "5 0 obj\r\n<< /Type /Font\r\n/Subtype /Type1\r\n/Name /F1\r\n/BaseFont /Helvetica\r\n"
                             "/Encoding /WinAnsiEncoding\r\n>>\r\nendobj\r\n",
                             "18 0 obj\r\n<< /Type /Font\r\n/Subtype /Type1\r\n/Name /F14\r\n/BaseFont /ZapfDingbats\r\n",
                             "19 0 obj\r\n<< /Type /Pages\r\n/Kids [\r\n22 0 R\r\n]\r\n/Count 1\r\n>>\r\nendobj\r\n",
                             "20 0 obj\r\n<< /ProcSet [ /PDF /Text /ImageC]\r\n/XObject << \r\n/Im1 21 0 R\r\n>>\r\n/Font << \r\n/F1 5 0 R \r\n",
                             "/F14 18 0 R \r\n>>\r\n>>\r\nendobj\r\n",
                             "21 0 obj\r\n<< /Type /XObject\r\n/Subtype /Image\r\n/Width 5\r\n/Height 2\r\n/ColorSpace /DeviceRGB\r\n"
                             "/BitsPerComponent 8\r\n/Length 30\r\n/Name /Im1\r\n>>\r\nstream\r\n",
                             "22 0 obj\r\n<< /Type /Page\r\n/Parent 19 0 R\r\n/MediaBox [ 0 0 5 2]\r\n/Contents 2 0 R\r\n"
                             "/Resources 20 0 R\r\n>>\r\nendobj\r\n",
                             "23 0 obj\r\n<< /Type /Catalog\r\n/Pages 19 0 R\r\n/Outlines 4 0 R\r\n>>\r\nendobj\r\n"
                             "xref\r\n0 24\r\n0000000000 65535 f\r\n0000000010 00000 n\r\n",
                             "trailer\r\n<< /Size 24\r\n/Root 23 0 R\r\n/Info 1 0 R\r\n>>\r\nstartxref\r\n"})
        EXPECT_TRUE(file.contains(line)) << line;
    EXPECT_TRUE(file.endsWith("%%EOF\r\n"));
    // 30 samples, red-green-blue, rows from the top, then CR LF endstream.
    const qsizetype samples = file.indexOf("/Name /Im1\r\n>>\r\nstream\r\n") + 24;
    QByteArray expected;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x) {
            expected += char(x * 50);
            expected += char(y * 200);
            expected += char(7);
        }
    EXPECT_EQ(file.mid(samples, 30), expected);
    EXPECT_EQ(file.mid(samples + 30, 21), QByteArray("\r\nendstream\r\nendobj\r\n"));
    // Every cross-reference entry points at its object; startxref at "xref".
    const qsizetype xref = file.lastIndexOf("xref\r\n0 24");
    for (int i = 1; i <= 23; ++i) {
        const QByteArray entry = file.mid(xref + 12 + 20 * i, 20);
        ASSERT_TRUE(entry.endsWith(" 00000 n\r\n")) << i;
        const qint64 offset = entry.left(10).toLongLong();
        EXPECT_TRUE(file.mid(offset).startsWith(QByteArray::number(i) + " 0 obj\r\n")) << i;
    }
    const qsizetype start = file.lastIndexOf("startxref\r\n") + 11;
    EXPECT_EQ(file.mid(start, file.indexOf("\r\n", start) - start).toLongLong(), xref);
    // The temporary image file is gone.
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath("~tmpim1")));
}

TEST(PrintPDF, InformationTextsAreEscapedAsPdfStrings)
{
    EXPECT_EQ(TPrintPDF::PdfString(""), "()");
    EXPECT_EQ(TPrintPDF::PdfString("a(b)\\c"), "(a\\(b\\)\\\\c)");
    EXPECT_EQ(TPrintPDF::PdfString("tab\there"), "(tab\\011here)");
    // Beyond ASCII: UTF-16 with its byte order mark, bytes escaped where needed.
    EXPECT_EQ(TPrintPDF::PdfString("单"), QByteArray("(\\376\\377SU)"));  // U+5355

    QTemporaryDir dir;
    InDir in(dir.path());
    TPrintPDF pdf;
    pdf.SetFileName(dir.filePath("info.pdf"));
    pdf.SetTitle("采购进货单 (2024)");
    pdf.SetSubject("a)b");
    pdf.SetAuthor("x\\");
    pdf.StartDocument();
    pdf.DrawPageImage(0, 0, QImage(4, 4, QImage::Format_RGB32));
    pdf.FinishDocument();
    QByteArray out;
    ASSERT_EQ(RunTool("qpdf", {"--check", pdf.FileName()}, &out), 0) << out.toStdString();
    ASSERT_EQ(RunTool("pdfinfo", {pdf.FileName()}, &out), 0);
    EXPECT_TRUE(out.contains("采购进货单 (2024)")) << out.toStdString();
    EXPECT_TRUE(out.contains("a)b"));
}

TEST(PrintPDF, AReportPageExportedAsPdfPassesQpdfAndRendersAsThePage)
{
    QWidget form;
    auto* rep = new TQuickRep(&form);
    rep->Page()->SetPaperSize(qrpCustom);
    rep->Page()->SetWidth(100);
    rep->Page()->SetLength(60);
    auto* band = new TQRBand(rep, rbTitle);
    band->setGeometry(0, 0, 300, 150);
    auto* label = new TQRLabel(band);
    label->SetCaption("采购进货单 PDF 输出");
    label->setFont(QFont("宋体", 14));
    label->setGeometry(10, 10, 280, 30);
    auto* box = new TQRShape(band);
    box->setGeometry(10, 60, 250, 60);
    box->SetPenWidth(3);
    ASSERT_TRUE(rep->Prepare());
    const QImage page = rep->QRPrinter()->PageImage(1, 96).convertToFormat(QImage::Format_RGB32);

    QTemporaryDir dir;
    InDir in(dir.path());
    const QString file = WritePdf(QDir(dir.path()), "page.pdf", page);
    QByteArray out;
    ASSERT_EQ(RunTool("qpdf", {"--check", file}, &out), 0) << out.toStdString();
    EXPECT_TRUE(out.contains("No syntax or stream encoding errors")) << out.toStdString();
    // The embedded picture is the page, pixel for pixel.
    ASSERT_EQ(RunTool("pdfimages", {"-png", file, dir.filePath("img")}), 0);
    EXPECT_EQ(QImage(dir.filePath("img-000.png")).convertToFormat(QImage::Format_RGB32), page);
    // One PDF unit per pixel: at 72 dpi the rendering has the bitmap's size and
    // its pixels (the rasteriser resamples the image: edges may differ a little).
    ASSERT_EQ(RunTool("pdftoppm", {"-r", "72", "-png", "-singlefile", file, dir.filePath("back")}), 0);
    const QImage back = QImage(dir.filePath("back.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(back.size(), page.size());
    qint64 far = 0;
    double sum = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const int d = std::abs(qGray(back.pixel(x, y)) - qGray(page.pixel(x, y)));
            sum += d;
            if (d > 96) ++far;
        }
    EXPECT_LT(far, page.width() * page.height() / 60) << far;
    EXPECT_LT(sum / (page.width() * page.height()), 4.0);
}

TEST(PrintPDF, AnImageDrawnAtACornerReachesTheRightAndBottomEdges)
{
    QTemporaryDir dir;
    InDir in(dir.path());
    TPrintPDF pdf;
    pdf.SetFileName(dir.filePath("corner.pdf"));
    pdf.StartDocument();  // 612 x 792
    pdf.DrawPageImage(12, 92, QImage(10, 10, QImage::Format_RGB32));
    pdf.FinishDocument();
    const QByteArray file = ReadAll(pdf.FileName());
    EXPECT_TRUE(file.contains("q\r\n600 0 0 700 12 0 cm\r\n/Im1 Do\r\nQ\r\n"));
    QByteArray out;
    EXPECT_EQ(RunTool("qpdf", {"--check", pdf.FileName()}, &out), 0) << out.toStdString();
}

TEST(PrintPDF, WriteFailuresRaiseAndLeaveNoTemporaryFiles)
{
    QTemporaryDir dir;
    InDir in(dir.path());
    TPrintPDF pdf;
    pdf.SetFileName(dir.filePath("no/such/folder/x.pdf"));
    pdf.StartDocument();
    pdf.DrawPageImage(0, 0, QImage(3, 3, QImage::Format_RGB32));
    EXPECT_TRUE(QFile::exists(dir.filePath("~tmpim1")));
    EXPECT_THROW(pdf.FinishDocument(), Exception);
    EXPECT_FALSE(QFile::exists(dir.filePath("~tmpim1")));

    // No writable current folder: the image's temporary file cannot be made.
    QDir(dir.path()).mkdir("ro");
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    QDir::setCurrent(dir.filePath("ro"));
    if (!QFile(dir.filePath("ro/probe")).open(QIODevice::WriteOnly)) {  // root writes anyway
        TPrintPDF ro;
        ro.StartDocument();
        EXPECT_THROW(ro.DrawPageImage(0, 0, QImage(3, 3, QImage::Format_RGB32)), Exception);
    }
    QDir::setCurrent(dir.path());
}

TEST(PrintPDF, EmptyBitmapsAndFailedWritesAreRefusedWithoutLeavingFiles)
{
    QTemporaryDir dir;
    InDir in(dir.path());
    // A page image without pixels makes no valid image object.
    TPrintPDF empty;
    empty.SetFileName(dir.filePath("empty.pdf"));
    empty.StartDocument();
    EXPECT_THROW(empty.DrawPageImage(0, 0, QImage()), Exception);
    EXPECT_FALSE(QFile::exists(dir.filePath("~tmpim1")));

    // A write that fails part-way (the file size limit stands in for a full
    // disk) raises, and neither a truncated file nor a damaged old one stays.
    const QString target = dir.filePath("page.pdf");
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("previous export");
    }
    QImage bitmap(200, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    TPrintPDF pdf;
    pdf.SetFileName(target);
    pdf.SetPageWidth(200);
    pdf.SetPageHeight(100);
    pdf.StartDocument();
    pdf.DrawPageImage(0, 0, bitmap);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    bool raised = false;
    try {
        pdf.FinishDocument();
    } catch (const Exception&) {
        raised = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadAll(target), "previous export");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"page.pdf"});
}
