#include "format/engine/QRPage.h"

namespace kelm24 {

const QStringList& QRPaperNames()
{
    static const QStringList names{"Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement",
                                   "Executive", "A3", "A4", "A4Small", "A5", "B4", "B5", "Folio", "Quarto",
                                   "qr10X14", "qr11X17", "Note", "Env9", "Env10", "Env11", "Env12", "Env14",
                                   "CSheet", "DSheet", "ESheet", "Custom"};
    return names;
}

const QStringList& QRUnitNames()
{
    static const QStringList names{"MM", "Inches", "Pixels", "Characters", "Native"};
    return names;
}

QSizeF QRPaperSizeMM(int paperSize)
{
    static const QSizeF sizes[] = {
        {210, 297},        {215.9, 279.4},   {215.9, 279.4}, {279.4, 431.8}, {431.8, 279.4}, {215.9, 355.6},
        {139.7, 215.9},    {184.15, 266.7},  {297, 420},     {210, 297},     {210, 297},     {148, 210},
        {250, 353},        {182, 257},       {215.9, 330.2}, {215, 275},     {254, 355.6},   {279.4, 431.8},
        {215.9, 279.4},    {98.4, 225.4},    {104.8, 241.3}, {114.3, 263.5}, {120.7, 279.4}, {127, 292.1},
        {431.8, 558.8},    {558.8, 863.6},   {863.6, 1117.6}};
    if (paperSize < 0 || paperSize >= static_cast<int>(std::size(sizes))) return sizes[qrpLetter];
    return sizes[paperSize];
}

TQRPage::TQRPage(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("Page")); }

void TQRPage::SetPaperSize(int size)
{
    if (size < 0 || size > qrpCustom) size = qrpLetter;
    if (size == qrpCustom && paperSize_ != qrpCustom) customMM_ = QRPaperSizeMM(paperSize_);
    paperSize_ = size;
}

QSizeF TQRPage::SheetMM() const
{
    QSizeF s = paperSize_ == qrpCustom ? customMM_ : QRPaperSizeMM(paperSize_);
    if (orientation_ == qroLandscape) s.transpose();
    return s;
}

void TQRPage::SetWidth(double v)
{
    // Setting a size makes the paper custom, as the size no longer is the named one.
    SetPaperSize(qrpCustom);
    if (orientation_ == qroLandscape) customMM_.setHeight(ToMM(v));
    else customMM_.setWidth(ToMM(v));
}

void TQRPage::SetLength(double v)
{
    SetPaperSize(qrpCustom);
    if (orientation_ == qroLandscape) customMM_.setWidth(ToMM(v));
    else customMM_.setHeight(ToMM(v));
}

double TQRPage::Value(int index) const
{
    switch (index) {
    case 0: return BottomMargin();
    case 1: return Width();
    case 2: return TopMargin();
    case 3: return Length();
    case 4: return LeftMargin();
    case 5: return RightMargin();
    default: return 0;
    }
}

double TQRPage::ToMM(double v) const
{
    switch (units_) {
    case qruInches: return v * 25.4;
    case qruPixels: return v / QRPixelsPerMM;
    case qruCharacters: return v * 2.54;
    case qruNative: return v / 10;
    default: return v;
    }
}

double TQRPage::FromMM(double mm) const
{
    switch (units_) {
    case qruInches: return mm / 25.4;
    case qruPixels: return mm * QRPixelsPerMM;
    case qruCharacters: return mm / 2.54;
    case qruNative: return mm * 10;
    default: return mm;
    }
}

}  // namespace kelm24
