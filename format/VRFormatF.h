// TfrmVRFormat: the document frame every voucher layout shares. One group per
// document: a head that repeats on every page of the document, detail rows,
// a blank-space band that fills the page, and a page foot with notes,
// sign-off lines and a continued-on-next-page mark. Pages are numbered per
// document (page 2 of 3 of each receipt), and totals, notes and sign-off
// lines appear on the last page of a document unless asked for every page.
// The bands and standard labels are the layout text
// ":/layouts/TfrmVRFormat.txt".
#pragma once

#include "format/ApprovalLines.h"
#include "format/VRBaseFmtF.h"

#include <QHash>

namespace kelm24 {

class TQRBand;
class TQRChildBand;
class TQRGroup;

class TfrmVRFormat : public TfrmVRBaseFmt, public TVRFormatLayout {
    Q_OBJECT

public:
    explicit TfrmVRFormat(QWidget* Owner = nullptr);
    ~TfrmVRFormat() override;
    static TVRFormatForm* CreateForm(QWidget* Owner);

    // --- components of the frame
    TQRGroup* QRGroup = nullptr;
    TQRBand* QRDetailBand = nullptr;
    TQRBand* QRGroupFooter = nullptr;
    TQRChildBand* GroupFooterChildBand = nullptr;
    TQRLabel *lblCompany = nullptr, *lblVoucherName = nullptr, *lblCreateDate1 = nullptr, *lblPageNo = nullptr,
             *lblTotalPage = nullptr, *lblPrintDate1 = nullptr, *lblPrintTime1 = nullptr, *lblSeq = nullptr,
             *lblNoData = nullptr, *lblNote1 = nullptr, *lblNote2 = nullptr, *lblNote3 = nullptr,
             *lblSignIn1 = nullptr, *lblSignIn2 = nullptr, *lblSignIn3 = nullptr, *lblCreateDate2 = nullptr,
             *lblNextPage = nullptr, *lblPrintDate2 = nullptr, *lblPrintTime2 = nullptr;

    // --- TVRFormatLayout
    void SetApprovalDocType(const QString& DocType) override;
    void SetApprovalLookup(bool On, const QString& ProgramCode, const QString& CompanyCode) override;
    void SetFrameText(int Index, const QString& Text) override;
    void SetEveryPageFlags(bool SignIn, bool Note, bool Total) override;
    void SetNoteLines(const QStringList& Lines) override;
    void SetSignInLines(const QStringList& Lines) override;

    // --- overrides
    void OnAsteriskPrint(QObject* Sender, QString& Value) override;
    void InitDataSets() override;

    // --- handlers, bound by name from the layout text
    Q_INVOKABLE void QuickRep1BeforePrint(QObject* Sender, bool& PrintReport);
    Q_INVOKABLE virtual void QRGroupBeforePrint(QObject* Sender, bool& PrintBand);
    Q_INVOKABLE virtual void QRDetailBandBeforePrint(QObject* Sender, bool& PrintBand);
    Q_INVOKABLE void QRDetailBandAfterPrint(QObject* Sender, bool BandPrinted);
    Q_INVOKABLE void QRGroupFooterBeforePrint(QObject* Sender, bool& PrintBand);
    Q_INVOKABLE void lblCreateDate1Print(QObject* Sender, QString& Value);
    Q_INVOKABLE virtual void QuickRep1StartPage(QObject* Sender);

    // --- state of a run (read by the layouts and the tests)
    const QStringList& GroupRowCounts() const { return groupRowCounts_; }
    int RowsPerPage() const { return rowsPerPage_; }
    int PageInGroup() const { return pageInGroup_; }
    int TotalPagesOfGroup() const { return totalPagesOfGroup_; }
    int RowsInGroup() const { return rowsInGroup_; }
    int RowsPrintedInGroup() const { return rowsPrintedInGroup_; }
    bool SignInEveryPage() const { return signInEveryPage_; }
    bool NoteEveryPage() const { return noteEveryPage_; }
    bool TotalEveryPage() const { return totalEveryPage_; }
    // The row the detail handler let print (false: moved to the next page).
    bool DetailPrinted() const { return detailPrinted_; }
    // The page labels show the same number: the document's last page.
    bool LastPageOfDocument() const;
    // A name=value system setting handed over by the option form.
    QString SysSetting(const QString& Name) const;
    TApprovalLines& Approval() { return approval_; }

protected:
    void FormCreate() override;
    // A row the layout leaves out (a head without lines) still counts as a
    // row of the document, so the footer does not wait for it on another page.
    void CountRowLeftOut() { ++rowsPrintedInGroup_; }
    // The text of a key of this frame (language package "TfrmVRFormat").
    QString FrameText(const QString& Key, const QString& Default) const;

private:
    void BindFrameComponents();
    // The designed enabled state of the sign-off, note, blank and continued labels.
    void RecordDesignedStates();
    void FillApprovalLines();

    QStringList groupRowCounts_;
    QHash<QString, int> groupCounts_;  // the same, for the look-up per page
    int rowsPerPage_ = 1;
    QString currentGroupKey_;
    int pageInGroup_ = 0, totalPagesOfGroup_ = 0, rowsInGroup_ = 0, rowsPrintedInGroup_ = 0;
    bool designedRecorded_ = false;
    bool designedSignIn_[3] = {true, true, true}, designedNote_[3] = {true, true, true};
    bool designedNoData_ = true, designedNextPage_ = true;
    bool signInEveryPage_ = false, noteEveryPage_ = false, totalEveryPage_ = false;
    QStringList signInTexts_, noteTexts_;
    bool detailPrinted_ = false;
    TApprovalLines approval_;
};

}  // namespace kelm24
