// TfrmKelm24: the option form of the purchase-receipt report, the option form
// the plug-in registers. The user states the receipt type, receipt numbers and
// dates, approval and print status, and how to print: with or without prices,
// a new page per warehouse, or a summary by chosen keys (which also chooses
// the summary layout).
#pragma once

#include "controls/BtChkBox.h"
#include "options/Kelm24Query.h"
#include "options/VROptF.h"

namespace kelm24 {

class TfrmKelm24 : public TfrmVROpt {
    Q_OBJECT

public:
    explicit TfrmKelm24(QWidget* Owner = nullptr);
    ~TfrmKelm24() override;
    static TVROptForm* CreateForm(QWidget* Owner);

    // --- page "基本选项"
    TLabel *lblTG001, *txtTG001;
    TEdit* edtTG001;
    TF2Button* btnTG001;
    TSelectPanel *splTG002, *splTG003, *splTG014;
    TMemo *Memo1, *me99;
    // --- page "高级选项"
    TTabSheet* tsOption3;
    TLabel *lblTG013, *lblPrintSts;
    TComboBox *cboTG013, *cboPrintSts;
    TBitCheckBox *chkPriceRight, *chkNewPage, *chk01;
    TGroupBox* grp02;
    TBitCheckBox *chk02, *chk03, *chk04, *chk05, *chk06, *chk07, *chk08;

    bool Shown = false;   // the layouts ask whether the form has been shown
    QString Sys069;       // kept for the layout
    TKelm24Query Query;   // the statement of the last run

    // Checks the typed receipt type and applies its settings.
    bool CheckDocType(const QString& Type);
    void chk01Click();
    void edtTG001Enter();
    void edtTG001Exit();

    void BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL) override;
    void ComposeSQL(QString& ASQL) override;
    void PassPrintOptions(TVRFormatForm* AFormat) override;
    void DoF2Key(int Key, QWidget* Control) override;
    void BeforeRestoreValue(QWidget* Control, const QString& Value) override;
    void AfterRestoreValue(QWidget* Control, const QString& Value) override;

protected:
    void FormCreate() override;
    void FormShow() override;
    void SetProgramInfo() override;
    bool GetOptionValues(Variant& Values, int Count) override;
    bool GetOptionCaptions(Variant& Captions, int Count) override;
    void PrintSettingsLoaded() override;

private:
    void BuildReceiptComponents();
    void ClearNumbers();
    QString enteredType_;
};

}  // namespace kelm24
