// Generated pages as files: one page as BMP, JPG, GIF, bitmap PDF or
// searchable PDF; all pages for the host; one recipient's documents for a
// send. Page files are written beside their name and renamed when complete,
// so a failure never leaves half a file.
#pragma once

#include "output/OutputForm.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace kelm24 {

class TPageOutput {
public:
    explicit TPageOutput(TOutputForm& form) : form_(form) {}

    // Document page Page as the bitmap of a page file at the form's
    // Resolution (margins cut unless skipped; a half sheet in the half-page
    // style). Null when the engine page does not exist.
    QImage PageBitmap(int Page) const;
    // Writes page Page to FileName + the extension of FileType and gives the
    // final name back. False (LastError says why) when the page does not
    // exist or the file cannot be written.
    bool RenderPageToFile(QString& FileName, int FileType, int Page);
    // All document pages for the host: Path + the page number padded to the
    // digits of the page count; the searchable PDF is one file Path + ".pdf".
    // Shows the conversion progress; stops at the first failure or Cancel.
    bool ExportPages(const QString& Path, int FileType);
    // One recipient's documents ("page,table;field;where;" entries): Base +
    // page for each; counts each document as printed; on failure or Cancel
    // deletes what it wrote. Files receives the names written.
    bool ConvertRecipientPages(const QString& Entries, const QString& Base, int FileType, QStringList& Files);

    QString LastError() const { return lastError_; }

    // The longest file name the picture conversion accepts.
    static constexpr int MaxFileNameLength = 250;

private:
    bool Fail(const QString& message);
    // The name fits and its folder exists.
    bool CheckTarget(const QString& FileName, int FileType);
    bool WriteBitmapFile(const QImage& bitmap, QString& FileName, int FileType);
    // Writes a bitmap as a page file (any thread); the reason when it fails.
    QString WriteBitmap(const QImage& bitmap, QString& FileName, int FileType, const QString& TempFolder) const;
    // The host export of the bitmap kinds, pages shared out to several threads.
    bool ExportBitmaps(const QString& Path, int FileType, int count);
    TOutputForm& form_;
    QString lastError_;
};

// A document entry of the send list.
struct TSendEntry {
    int Page = 0;
    QString Table, Field, Where;
};
// The entries of one recipient's document text.
QList<TSendEntry> ParseSendEntries(const QString& Entries);

// The temporary base name of page files: the temporary folder, else the
// installation's C_DATA/C_TEMP/ (created when missing), + program code + "_"
// + date and time (14 digits) + "_". Raises when no folder can be had.
QString TemporaryBaseName(const TOutputForm& form);

}  // namespace kelm24
