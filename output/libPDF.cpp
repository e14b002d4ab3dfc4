#include "output/libPDF.h"

#include "kelm24/Variant.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kelm24 {

namespace {

const char* const kFonts[] = {"Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
                              "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
                              "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
                              "Symbol",      "ZapfDingbats"};
constexpr int kFontCount = 14;

QByteArray Num(qint64 n) { return QByteArray::number(n); }

}  // namespace

TPrintPDF::TPrintPDF(QObject* owner) : QObject(owner) {}

TPrintPDF::~TPrintPDF() = default;

QByteArray TPrintPDF::PdfString(const QString& text)
{
    QByteArray bytes;
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() > 126) ascii = false;
    if (ascii) {
        bytes = text.toLatin1();
    } else {
        bytes = QByteArray("\xFE\xFF", 2);
        for (QChar c : text) {
            bytes += static_cast<char>(c.unicode() >> 8);
            bytes += static_cast<char>(c.unicode() & 0xFF);
        }
    }
    QByteArray out("(");
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (ch == '\\' || ch == '(' || ch == ')') {
            out += '\\';
            out += ch;
        } else if (b < 32 || b > 126) {
            out += '\\';
            out += QByteArray::number(b, 8).rightJustified(3, '0');
        } else {
            out += ch;
        }
    }
    out += ')';
    return out;
}

void TPrintPDF::Line(const QByteArray& text)
{
    out_ += text;
    out_ += "\r\n";
}

void TPrintPDF::BeginObject(int number)
{
    objectCount_ = number;
    Line(Num(number) + " 0 obj");
}

void TPrintPDF::EndObject()
{
    Line("endobj");
    offsets_.push_back(out_.size());
}

QString TPrintPDF::TempImageFile(int n) const
{
    const QDir folder = tempFolder_.isEmpty() ? QDir::current() : QDir(tempFolder_);
    return folder.filePath(QStringLiteral("~tmpim%1").arg(n));
}

void TPrintPDF::StartDocument()
{
    pageNumber_ = 1;
    out_.clear();
    content_.clear();
    offsets_.clear();
    objectCount_ = 0;
    imageCount_ = 0;
    imageSizes_.clear();

    Line("%PDF-1.4");
    offsets_.push_back(out_.size());

    BeginObject(1);
    Line("<<");
    Line("/Producer " + PdfString(producer_));
    Line("/Author " + PdfString(author_));
    Line("/CreationDate (D:" + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1() + ")");
    Line("/Creator " + PdfString(creator_));
    Line("/Keywords " + PdfString(keywords_));
    Line("/Subject " + PdfString(subject_));
    Line("/Title " + PdfString(title_));
    Line("/ModDate ()");
    Line(">>");
    EndObject();

    BeginObject(2);
    Line("<< /Length 3 0 R");
    Line(" >>");
    Line("stream");
}

void TPrintPDF::DrawPageImage(int x, int y, const QImage& bitmap)
{
    if (bitmap.width() <= 0 || bitmap.height() <= 0)
        throw Exception(QStringLiteral("Cannot export an empty picture to \"%1\"").arg(fileName_));
    const int n = ++imageCount_;
    const QImage rgb = bitmap.convertToFormat(QImage::Format_RGB888);
    const int w = rgb.width(), h = rgb.height();
    // The image spans from its corner to the page's right and bottom edges.
    const int drawWidth = pageWidth_ - x;
    const int drawHeight = pageHeight_ - y;
    const int yp = pageHeight_ - y - drawHeight;
    auto contentLine = [this](const QByteArray& line) { content_ += line + "\r\n"; };
    contentLine("q");
    contentLine(Num(drawWidth) + " 0 0 " + Num(drawHeight) + " " + Num(x) + " " + Num(yp) + " cm");
    contentLine("/Im" + Num(n) + " Do");
    contentLine("Q");

    QByteArray head;
    for (const QByteArray& line : {QByteArray("<< /Type /XObject"), QByteArray("/Subtype /Image"), "/Width " + Num(w),
                                   "/Height " + Num(h), QByteArray("/ColorSpace /DeviceRGB"),
                                   QByteArray("/BitsPerComponent 8"), "/Length " + Num(qint64(w) * 3 * h),
                                   "/Name /Im" + Num(n), QByteArray(">>"), QByteArray("stream")})
        head += line + "\r\n";
    QFile file(TempImageFile(n));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(file.fileName(), file.errorString()));
    bool ok = file.write(head) == head.size();
    for (int row = 0; row < h && ok; ++row)
        ok = file.write(reinterpret_cast<const char*>(rgb.constScanLine(row)), qint64(w) * 3) == qint64(w) * 3;
    if (!ok || !file.flush()) throw Exception(QStringLiteral("Cannot write file \"%1\". %2").arg(file.fileName(), file.errorString()));
    imageSizes_.push_back(QSize(w, h));
}

void TPrintPDF::FinishDocument()
{
    // Content stream of page 1 and its length.
    out_ += content_;
    Line("endstream");
    EndObject();
    BeginObject(3);
    Line(Num(content_.size()));
    EndObject();

    const int pages = 1;
    const int outlines = 2 * pages + 2;
    BeginObject(outlines);
    Line("<< /Type /Outlines");
    Line("/Count 0");
    Line(">>");
    EndObject();

    std::vector<int> fontObjects;
    for (int i = 0; i < kFontCount; ++i) {
        fontObjects.push_back(outlines + 1 + i);
        BeginObject(fontObjects.back());
        Line("<< /Type /Font");
        Line("/Subtype /Type1");
        Line("/Name /F" + Num(i + 1));
        Line(QByteArray("/BaseFont /") + kFonts[i]);
        Line("/Encoding /WinAnsiEncoding");
        Line(">>");
        EndObject();
    }

    const int tree = outlines + kFontCount + 1;
    const int resources = tree + 1;
    const int images = imageCount_;
    auto pageObject = [&](int k) { return tree + 1 + images + k; };
    BeginObject(tree);
    Line("<< /Type /Pages");
    Line("/Kids [");
    for (int k = 1; k <= pages; ++k) Line(Num(pageObject(k)) + " 0 R");
    Line("]");
    Line("/Count " + Num(pages));
    Line(">>");
    EndObject();

    BeginObject(resources);
    Line("<< /ProcSet [ /PDF /Text /ImageC]");
    Line("/XObject << ");
    for (int a = 1; a <= images; ++a) Line("/Im" + Num(a) + " " + Num(resources + a) + " 0 R");
    Line(">>");
    Line("/Font << ");
    for (int i = 0; i < kFontCount; ++i) Line("/F" + Num(i + 1) + " " + Num(fontObjects[i]) + " 0 R ");
    Line(">>");
    Line(">>");
    EndObject();

    for (int a = 1; a <= images; ++a) {
        QFile file(TempImageFile(a));
        if (!file.open(QIODevice::ReadOnly))
            throw Exception(QStringLiteral("Cannot open file \"%1\". %2").arg(file.fileName(), file.errorString()));
        BeginObject(resources + a);
        out_ += file.readAll();
        Line("\r\nendstream");
        EndObject();
    }

    for (int k = 1; k <= pages; ++k) {
        BeginObject(pageObject(k));
        Line("<< /Type /Page");
        Line("/Parent " + Num(tree) + " 0 R");
        Line("/MediaBox [ 0 0 " + Num(pageWidth_) + " " + Num(pageHeight_) + "]");
        Line("/Contents " + Num(2 * k) + " 0 R");
        Line("/Resources " + Num(resources) + " 0 R");
        Line(">>");
        EndObject();
    }

    const int catalog = pageObject(pages) + 1;
    BeginObject(catalog);
    Line("<< /Type /Catalog");
    Line("/Pages " + Num(tree) + " 0 R");
    Line("/Outlines " + Num(outlines) + " 0 R");
    Line(">>");
    EndObject();

    const qint64 xref = out_.size();
    const int size = objectCount_ + 1;
    Line("xref");
    Line("0 " + Num(size));
    Line("0000000000 65535 f");
    for (int i = 1; i < size; ++i) Line(QByteArray::number(offsets_[static_cast<size_t>(i - 1)]).rightJustified(10, '0') + " 00000 n");
    Line("trailer");
    Line("<< /Size " + Num(size));
    Line("/Root " + Num(catalog) + " 0 R");
    Line("/Info 1 0 R");
    Line(">>");
    Line("startxref");
    Line(Num(xref));
    Line("%%EOF");

    // Written beside the target and renamed over it once complete, so a failed
    // write leaves neither a truncated file nor a damaged earlier export.
    QSaveFile file(fileName_);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(out_) == out_.size() && file.commit();
    const QString error = file.errorString();
    if (!ok) file.cancelWriting();
    for (int a = 1; a <= images; ++a) QFile::remove(TempImageFile(a));
    if (!ok) throw Exception(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName_, error));
}

}  // namespace kelm24
