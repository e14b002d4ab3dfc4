// TfrmVROpt: the option form of the voucher reports of a document type. It
// adds a page footer and a sign-off block of up to three lines each, chosen by
// a code of the footer/sign-off master (CMSMS), switches that print both and
// the totals on every page, and the document-type settings that preset all of
// these and the layout style.
#pragma once

#include "options/VRBaseOptF.h"

namespace kelm24 {

class TfrmVROpt : public TfrmVRBaseOpt {
    Q_OBJECT

public:
    explicit TfrmVROpt(QWidget* Owner = nullptr);
    ~TfrmVROpt() override;

    TGroupBox *grpNote, *grpSignIn;
    TLabel *lblNoteID, *lblNote1, *lblNote2, *lblNote3;
    TLabel *lblSignInID, *lblSignIn1, *lblSignIn2, *lblSignIn3;
    TEdit *edtNoteID, *edtNote1, *edtNote2, *edtNote3;
    TEdit *edtSignInID, *edtSignIn1, *edtSignIn2, *edtSignIn3;
    TF2Button *btnNote, *btnSignIn;
    TCheckBox *chkNoteEPPrint, *chkSignInEPPrint, *chkTotalPrint;

    QString DocTypeCode;
    QString DocTypeSystem;
    QString VoucherName;
    bool HostRun = false, HostExport = false;

    bool ExecuteForHost(const Variant& AParams, bool APreview) override;
    bool ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                       const QString& AExtra) override;
    void PassPrintOptions(TVRFormatForm* AFormat) override;
    void DoF2Key(int Key, QWidget* Control) override;

    // Presets footer, sign-off, switches and style from the document type.
    // Row stays Empty when a given type is not found.
    void ApplyDocTypeSettings(const QString& DocType, bool ShowMessages, Variant& Row);
    bool LoadFooter(const QString& Code, bool ShowMessages);
    bool LoadSignOff(const QString& Code, bool ShowMessages);

protected:
    void SetProgramInfo() override;
    void FormShow() override;
    void tsOption2Show() override;

private:
    struct TTextBlock {
        TGroupBox* Group;
        TEdit* Code;
        TEdit* Lines[3];
        TF2Button* Button;
        TCheckBox* EveryPage;
        const char* Kind;      // "1" footer, "2" sign-off
        const char* MessageId; // the R message naming the block
    };
    TTextBlock Footer() const;
    TTextBlock SignOff() const;
    bool LoadBlock(const TTextBlock& Block, const QString& Code, bool ShowMessages);
    void SetBlockEditable(const TTextBlock& Block, bool Editable);
    void ClearBlock(const TTextBlock& Block);
    void PickBlock(const TTextBlock& Block);
    void CodeExit(const TTextBlock& Block);
    void BuildVoucherComponents();
    QString enteredCode_;  // the code edit's text on entering it
};

}  // namespace kelm24
