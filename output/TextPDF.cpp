#include "output/TextPDF.h"

#include "format/engine/QRPrinter.h"
#include "kelm24/Variant.h"

#include <QBuffer>
#include <QPageSize>
#include <QRegularExpression>
#include <map>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kelm24 {

namespace {

// Qt's writer embeds subsets of the fonts and tags the font descriptor's
// name ("QABCDE+Name") but not the fonts' /BaseFont, so readers do not see
// that the fonts are subsets. The tag is added there too; the cross-reference
// offsets behind each insertion move by its length.
QByteArray TagFontSubsets(const QByteArray& pdf)
{
    std::map<QByteArray, QByteArray> tags;  // font name -> tagged name
    static const QRegularExpression descriptor(QStringLiteral("/FontName /([A-Z]{6})\\+([^\\s/<>\\[\\]()]+)"));
    const QString latin = QString::fromLatin1(pdf);
    for (auto it = descriptor.globalMatch(latin); it.hasNext();) {
        const auto m = it.next();
        tags[m.captured(2).toLatin1()] = m.captured(1).toLatin1() + '+' + m.captured(2).toLatin1();
    }
    const qsizetype xref = pdf.lastIndexOf("\nxref\n");
    if (tags.empty() || xref < 0) return pdf;
    // Insertions: (position, text), in file order.
    std::vector<std::pair<qsizetype, QByteArray>> inserts;
    for (const auto& [name, tagged] : tags) {
        const QByteArray key = "/BaseFont /" + name;
        for (qsizetype at = pdf.indexOf(key); at >= 0 && at < xref; at = pdf.indexOf(key, at + 1)) {
            const qsizetype end = at + key.size();
            if (end < pdf.size() && !QChar::isSpace(uchar(pdf[end])) && pdf[end] != '/' && pdf[end] != '>') continue;
            inserts.emplace_back(at + 11, tagged.left(7));
        }
    }
    if (inserts.empty()) return pdf;
    std::sort(inserts.begin(), inserts.end());
    auto shift = [&inserts](qsizetype offset) {
        qsizetype d = 0;
        for (const auto& [at, text] : inserts)
            if (at < offset) d += text.size();
        return d;
    };
    QByteArray out;
    out.reserve(pdf.size() + qsizetype(inserts.size()) * 7);
    qsizetype from = 0;
    for (const auto& [at, text] : inserts) {
        out += pdf.mid(from, at - from);
        out += text;
        from = at;
    }
    out += pdf.mid(from, xref + 1 - from);
    // The table: "xref", sections "first count", entries "oooooooooo ggggg n".
    QList<QByteArray> lines = pdf.mid(xref + 1).split('\n');
    for (QByteArray& line : lines) {
        if (line.size() >= 18 && line[10] == ' ' && line[16] == ' ' && (line[17] == 'n')) {
            const qsizetype offset = line.left(10).toLongLong();
            line = QByteArray::number(offset + shift(offset)).rightJustified(10, '0') + line.mid(10);
        }
    }
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].trimmed() == "startxref") {
            lines[i + 1] = QByteArray::number(lines[i + 1].trimmed().toLongLong() + shift(xref + 1));
            break;
        }
    out += lines.join('\n');
    return out;
}

}  // namespace

int DocumentPageCount(const TQRPrinter& pages, bool halfPage)
{
    return halfPage ? pages.PageCount() * 2 : pages.PageCount();
}

void WriteTextPdf(const TQRPrinter& pages, const QString& FileName, int First, int Last, const TTextPdfOptions& options)
{
    const int count = DocumentPageCount(pages, options.HalfPage);
    if (First < 1 || Last > count || First > Last)
        throw Exception(QStringLiteral("No pages %1 to %2 to write (the report has %3)").arg(First).arg(Last).arg(count));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QSizeF sheetMM(pages.PaperWidthValue() / 10.0, pages.PaperLengthValue() / 10.0);
    const QSizeF pageMM(sheetMM.width(), options.HalfPage ? sheetMM.height() / 2 : sheetMM.height());
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(options.Title);
        writer.setCreator(QStringLiteral("Kelm24C"));
        writer.setResolution(600);
        writer.setPageSize(QPageSize(pageMM, QPageSize::Millimeter, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
        QPainter painter;
        if (!painter.begin(&writer)) throw Exception(QStringLiteral("Cannot write \"%1\"").arg(FileName));
        const double dotsPerMM = writer.resolution() / 25.4;
        const QSizeF sheet = sheetMM * dotsPerMM;
        for (int page = First; page <= Last; ++page) {
            if (page > First) writer.newPage();
            int sheetNo = page;
            double offset = 0;
            if (options.HalfPage) {
                sheetNo = (page + 1) / 2;
                if (page % 2 == 0) offset = -sheet.height() / 2;
            }
            pages.RenderPage(painter, sheetNo, QRectF(QPointF(0, offset), sheet));
        }
        painter.end();
    }
    buffer.close();
    const QByteArray pdf = TagFontSubsets(buffer.data());
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit())
        throw Exception(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, file.errorString()));
}

}  // namespace kelm24
