// Page settings of a report: paper by the engine's paper-size numbers, units,
// width, length, margins and orientation.
#pragma once

#include <QObject>
#include <QSizeF>
#include <QStringList>

namespace kelm24 {

// Paper-size numbers, in the order of the option forms' paper names.
enum TQRPaperSize {
    qrpDefault, qrpLetter, qrpLetterSmall, qrpTabloid, qrpLedger, qrpLegal, qrpStatement, qrpExecutive, qrpA3,
    qrpA4, qrpA4Small, qrpA5, qrpB4, qrpB5, qrpFolio, qrpQuarto, qrp10X14, qrp11X17, qrpNote, qrpEnv9, qrpEnv10,
    qrpEnv11, qrpEnv12, qrpEnv14, qrpCSheet, qrpDSheet, qrpESheet, qrpCustom
};
// Unit numbers: millimetres, inches, screen pixels, characters (1/10 inch),
// native (0.1 mm).
enum TQRUnit { qruMM, qruInches, qruPixels, qruCharacters, qruNative };
enum TQROrientation { qroPortrait, qroLandscape };

// The 28 paper names and 5 unit names, indexed by the numbers above.
const QStringList& QRPaperNames();
const QStringList& QRUnitNames();
// Portrait size of a paper in millimetres (Custom and unknown: Letter).
QSizeF QRPaperSizeMM(int paperSize);
// Design pixels (screen pixels at 96 per inch) per millimetre.
constexpr double QRPixelsPerMM = 96.0 / 25.4;

class TQRPage : public QObject {
    Q_OBJECT
    Q_PROPERTY(int PaperSize READ PaperSize WRITE SetPaperSize)
    Q_PROPERTY(int Units READ Units WRITE SetUnits)
    Q_PROPERTY(int Orientation READ Orientation WRITE SetOrientation)
    Q_PROPERTY(double Width READ Width WRITE SetWidth)
    Q_PROPERTY(double Length READ Length WRITE SetLength)
    Q_PROPERTY(double TopMargin READ TopMargin WRITE SetTopMargin)
    Q_PROPERTY(double BottomMargin READ BottomMargin WRITE SetBottomMargin)
    Q_PROPERTY(double LeftMargin READ LeftMargin WRITE SetLeftMargin)
    Q_PROPERTY(double RightMargin READ RightMargin WRITE SetRightMargin)

public:
    explicit TQRPage(QObject* parent = nullptr);

    int PaperSize() const { return paperSize_; }
    // Choosing a paper takes its size; Custom keeps the width and length set.
    void SetPaperSize(int size);
    int Units() const { return units_; }
    void SetUnits(int units) { units_ = units; }
    int Orientation() const { return orientation_; }
    void SetOrientation(int o) { orientation_ = o; }

    // Values in the page's units. Width and Length are the sheet as it lies
    // (after orientation).
    double Width() const { return FromMM(SheetMM().width()); }
    double Length() const { return FromMM(SheetMM().height()); }
    void SetWidth(double v);
    void SetLength(double v);
    double TopMargin() const { return FromMM(topMM_); }
    double BottomMargin() const { return FromMM(bottomMM_); }
    double LeftMargin() const { return FromMM(leftMM_); }
    double RightMargin() const { return FromMM(rightMM_); }
    void SetTopMargin(double v) { topMM_ = ToMM(v); }
    void SetBottomMargin(double v) { bottomMM_ = ToMM(v); }
    void SetLeftMargin(double v) { leftMM_ = ToMM(v); }
    void SetRightMargin(double v) { rightMM_ = ToMM(v); }

    // The page values by index, in the page's units: 0 bottom margin,
    // 1 width, 2 top margin, 3 length, 4 left margin, 5 right margin.
    double Value(int index) const;

    // The sheet in millimetres (orientation applied) and its margins.
    QSizeF SheetMM() const;
    double TopMM() const { return topMM_; }
    double BottomMM() const { return bottomMM_; }
    double LeftMM() const { return leftMM_; }
    double RightMM() const { return rightMM_; }

    double ToMM(double value) const;
    double FromMM(double mm) const;

private:
    int paperSize_ = qrpLetter;
    int units_ = qruMM;
    int orientation_ = qroPortrait;
    QSizeF customMM_{215.9, 279.4};  // portrait
    double topMM_ = 10, bottomMM_ = 10, leftMM_ = 10, rightMM_ = 10;
};

}  // namespace kelm24
