// TPrintPDF: writes a PDF 1.4 file whose page shows bitmaps. The page is a
// picture (the fourteen standard fonts are declared, never used) and nothing
// is compressed. The file is assembled in memory and written in one piece;
// image samples pass through one temporary file each ("~tmpim" + n in the
// current directory).
#pragma once

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <vector>

namespace kelm24 {

struct TPDFFont {
    int Face = 4;
    int Size = 12;
};

class TPrintPDF : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString TITLE READ Title WRITE SetTitle)
    Q_PROPERTY(int PageNumber READ PageNumber)
    Q_PROPERTY(int PageWidth READ PageWidth WRITE SetPageWidth)
    Q_PROPERTY(int PageHeight READ PageHeight WRITE SetPageHeight)
    Q_PROPERTY(int LineWidth READ LineWidth WRITE SetLineWidth)
    Q_PROPERTY(QString Author READ Author WRITE SetAuthor)
    Q_PROPERTY(QString Creator READ Creator WRITE SetCreator)
    Q_PROPERTY(QString Keywords READ Keywords WRITE SetKeywords)
    Q_PROPERTY(QString Subject READ Subject WRITE SetSubject)
    Q_PROPERTY(QString Producer READ Producer WRITE SetProducer)
    Q_PROPERTY(bool Compress READ Compress WRITE SetCompress)

public:
    explicit TPrintPDF(QObject* owner = nullptr);
    ~TPrintPDF() override;

    QString FileName() const { return fileName_; }
    void SetFileName(const QString& v) { fileName_ = v; }
    QString Title() const { return title_; }
    void SetTitle(const QString& v) { title_ = v; }
    int PageNumber() const { return pageNumber_; }
    int PageWidth() const { return pageWidth_; }
    void SetPageWidth(int v) { pageWidth_ = v; }
    int PageHeight() const { return pageHeight_; }
    void SetPageHeight(int v) { pageHeight_ = v; }
    int LineWidth() const { return lineWidth_; }
    void SetLineWidth(int v) { lineWidth_ = v; }
    QString Author() const { return author_; }
    void SetAuthor(const QString& v) { author_ = v; }
    QString Creator() const { return creator_; }
    void SetCreator(const QString& v) { creator_ = v; }
    QString Keywords() const { return keywords_; }
    void SetKeywords(const QString& v) { keywords_ = v; }
    QString Subject() const { return subject_; }
    void SetSubject(const QString& v) { subject_ = v; }
    QString Producer() const { return producer_; }
    void SetProducer(const QString& v) { producer_ = v; }
    // Where the image files go; empty: the current directory. Writers that
    // run at the same time each need their own, or they share "~tmpim1".
    QString TempFolder() const { return tempFolder_; }
    void SetTempFolder(const QString& v) { tempFolder_ = v; }
    // Kept for callers that set it; no stream is ever compressed.
    bool Compress() const { return compress_; }
    void SetCompress(bool v) { compress_ = v; }
    TPDFFont Font;

    // Resets the writer and starts the file: header, information object,
    // the start of page 1's content stream.
    void StartDocument();
    // Places the bitmap with its top-left corner at (X, Y) (PDF units from
    // the page's top-left), scaled to reach the page's right and bottom edges:
    // drawn at (0, 0) it fills the page exactly. Its samples go to the image's
    // temporary file. Raises a kelm24::Exception when that cannot be written.
    void DrawPageImage(int x, int y, const QImage& bitmap);
    // Writes the remaining objects, the cross-reference table and the
    // trailer, saves the file and deletes the temporary image files. Raises a
    // kelm24::Exception when the file cannot be written.
    void FinishDocument();

    // Escapes a text as a PDF literal string, parentheses included: "\", "("
    // and ")" get a backslash, control characters octal escapes, and a text
    // with characters beyond ASCII is written as UTF-16 with its byte order mark.
    static QByteArray PdfString(const QString& text);

private:
    void Line(const QByteArray& text);
    void BeginObject(int number);
    void EndObject();
    QString TempImageFile(int n) const;

    QString fileName_, title_, tempFolder_;
    int pageNumber_ = 1;
    int pageWidth_ = 612, pageHeight_ = 792, lineWidth_ = 1;
    QString author_ = QStringLiteral("Varnek"), creator_ = QStringLiteral("Varnek"), keywords_, subject_,
            producer_ = QStringLiteral("Varnek");
    bool compress_ = false;

    // Writer state.
    QByteArray out_;               // the whole file
    QByteArray content_;           // content lines of the page
    std::vector<qint64> offsets_;  // entry i: offset of object i + 1
    int objectCount_ = 0;
    int imageCount_ = 0;
    std::vector<QSize> imageSizes_;
};

}  // namespace kelm24
