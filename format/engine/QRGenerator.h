// Page generation of a TQuickRep: walks the data set and prints the bands
// into the printer object's pages.
#pragma once

#include "format/engine/QRControls.h"
#include "kelm24/Variant.h"

#include <QPainter>
#include <memory>
#include <optional>
#include <vector>

class QProgressDialog;

namespace kelm24 {

class TClientDataSet;
class TQRBand;
class TQRGroup;
class TQRPrinter;
class TQuickRep;

class TQRGenerator {
public:
    explicit TQRGenerator(TQuickRep& report);
    ~TQRGenerator();
    // False when BeforePrint refused the run or it was cancelled.
    bool Run();

private:
    enum class DetailResult { Printed, Skipped, SteppedBack };

    void CollectBands();
    void SetUpGeometry();
    std::vector<Variant> GroupKeys();
    void Generate();
    void NewPage();
    void FinishPage(bool last);
    void CloseSheet();
    bool PrintBand(TQRBand* band);
    bool AskBeforePrint(TQRBand* band);
    void Output(TQRBand* band);
    DetailResult PrintDetail(TQRBand* detail);
    void PrintGroupHeader(TQRGroup* group);
    void PrintGroupFooter(TQRGroup* group);
    void PrintPageEnd();
    // Space kept free below a band for what must still fit on the page.
    double Reserve(const TQRBand* band) const;
    bool IsPageEndChain(const TQRBand* band) const;
    void ShowProgress(int row);

    TQuickRep& rep_;
    TQRPrinter& printer_;
    TClientDataSet* dataSet_ = nullptr;
    QPainter painter_;
    TQRPrintContext ctx_;

    // Bands by role.
    std::vector<TQRBand*> all_;
    TQRBand* title_ = nullptr;
    TQRBand* pageHeader_ = nullptr;
    TQRBand* columnHeader_ = nullptr;
    TQRBand* detail_ = nullptr;
    TQRBand* pageFooter_ = nullptr;
    TQRBand* summary_ = nullptr;
    std::vector<TQRGroup*> groups_;
    bool extension_ = false;

    // Geometry in design pixels.
    double logicalHeight_ = 0, left_ = 0, width_ = 0, topMargin_ = 0, bottomMargin_ = 0;
    bool halfPage_ = false;

    // Page state.
    bool sheetOpen_ = false;
    int halfInSheet_ = 0;  // 1 top half, 2 bottom half
    double y_ = 0, bottom_ = 0;
    int detailsOnPage_ = 0;
    bool bodyPrinted_ = false;   // anything besides page and column headers on the page
    bool groupContent_ = false;  // group, detail or footer bands on the page
    bool pageFinished_ = false;  // the page end band has printed
    bool midGroup_ = false;      // inside the group whose header starts pages

    std::unique_ptr<QProgressDialog> progress_;
};

}  // namespace kelm24
