// The searchable PDF: generated pages replayed through Qt's PDF writer, so
// text stays text (fonts embedded as subsets, searchable and copyable) and
// lines stay vectors. One file holds any number of pages.
#pragma once

#include <QString>

namespace kelm24 {

class TQRPrinter;

struct TTextPdfOptions {
    QString Title;
    bool HalfPage = false;  // document pages are the halves of each sheet
};

// Writes document pages first..last (1-based; in the half-page style two per
// sheet) into FileName. The file appears complete or not at all. Raises a
// kelm24::Exception with the reason when it cannot be written or a page does
// not exist.
void WriteTextPdf(const TQRPrinter& pages, const QString& FileName, int First, int Last,
                  const TTextPdfOptions& options = {});

// Document pages the printer holds: sheets, or twice that in the half-page style.
int DocumentPageCount(const TQRPrinter& pages, bool halfPage);

}  // namespace kelm24
