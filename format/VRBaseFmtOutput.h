// The format form's side of the output operations: what the page files, the
// sends and the preview window need of TfrmVRBaseFmt, taken from the form
// before each operation and given back after it.
#pragma once

#include "output/OutputForm.h"

namespace kelm24 {

class TfrmVRBaseFmt;

class TFormatOutput : public TOutputForm {
public:
    explicit TFormatOutput(TfrmVRBaseFmt& form);

    QWidget* OutputWindow() override;
    TQRPrinter* ReportPages() override;
    bool RegeneratePages() override;
    void UpdatePrintCount(const Variant& Args) override;
    bool RunFreeSQL(const QString& Statement) override;
    QString ToDisplay(const QString& Text) override;
    void LocalizeWindow(QWidget* Window) override;

    // Takes the run's values from the form (identity, modes, page, send list).
    void Pull();
    // Gives the values an operation changes back to the form.
    void Push();

private:
    TfrmVRBaseFmt& form_;
};

}  // namespace kelm24
