// TfrmVRBaseOpt: the option form of every printable voucher report. On top of
// the plain conditions it offers the saved layout styles, the date display
// type, the Fax/Email sending options and the buttons Print, Preview, Design,
// Printer setup and Paper format; and it runs the report: the SQL from its
// parts with the user's row permissions, a format form of the report's
// layout class, the hand-over of the print options, then preview, print,
// export or design.
#pragma once

#include "controls/QvRadio.h"
#include "frame/VRFormatForm.h"
#include "options/BaseGene.h"
#include "options/ReportSQL.h"

namespace kelm24 {

class TfrmVRBaseOpt : public TfrmBaseGene {
    Q_OBJECT

public:
    explicit TfrmVRBaseOpt(QWidget* Owner = nullptr);
    ~TfrmVRBaseOpt() override;

    // --- components
    TLabel *lblFormStyleName, *lblDateType;
    TComboBox *cboFormStyleName, *cboDateType;
    TF2Button* btnDelFormStype;
    TTabSheet* tsFEP;
    TRadioGroup* rgSendType;
    TLabel *lblSendStatus, *lblSendWay, *lblFaxEmail;
    TComboBox *cboSendStatus, *cboSendWay;
    TEdit* edtFaxEmailData;
    TMemo *moPaperSize, *moUnits;
    TBitBtn *btnPreview, *btnDesign, *btnPrintSetup, *btnPaperSize;

    // --- state
    QString FormatClassName;          // the format form class of a run
    TVRFormatForm* DesignForm = nullptr;
    QStringList CompanyInfo;
    QString MainTable;
    int PrinterIndex = -1;
    TReportSQL SQL;                   // the six parts of a run
    bool SQLBuilderEnabled = true;
    int SQLType = 0;
    Variant PowerData;
    bool RowFilterOn = true;
    bool UseSQLBuilder = true;
    QString ClientPath, ProfilePath, RTBuilderDataPath;
    QString SendWayDefs;
    int SendMode = 0;
    QString SendKeyField, SendAddressField, SendStatusField, SendStatusCondition;
    QString HostStyleName;
    QString StyleConditionControls;

    // --- the option form as the controller sees it
    bool InitFromHost(const Variant& Params) override;
    bool ExecuteReport(bool APreview) override;
    bool ExecuteForHost(const Variant& AParams, bool APreview) override;
    bool ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                       const QString& AExtra) override;
    void CloseDesigner() override;

    // --- virtual operations added, in slot order
    virtual void InitFormatOptions();
    virtual void BuildSavedControlList();
    virtual void BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL);
    virtual void PassPrintOptions(TVRFormatForm* AFormat);
    virtual void ComposeSQL(QString& ASQL);
    virtual void PrepareSQLOnly() {}

    // Stores the layout class and reloads the style list.
    void SetFormatClass(const QString& ClassName);
    // The stored styles of the layout class whose conditions fit this form.
    QStringList MatchingStyles();
    // The style list of the layout class, as far as the styles match this form.
    void LoadStyleList();
    // Whether a style's condition text fits the form's current values.
    bool StyleMatches(const QString& ConditionText) const;
    void DeleteStyle();
    // One report run's format form, owned for the run's length: OpenFormatForm
    // makes and opens it, and it is freed when the run object goes, however
    // the run ends.
    class TFormatRun {
    public:
        explicit TFormatRun(TfrmVRBaseOpt& Owner) : owner_(Owner) {}
        ~TFormatRun() { owner_.FreeFormat(form_); }
        TFormatRun(const TFormatRun&) = delete;
        TFormatRun& operator=(const TFormatRun&) = delete;
        TVRFormatForm* Form() const { return form_; }

    private:
        friend class TfrmVRBaseOpt;
        TfrmVRBaseOpt& owner_;
        TVRFormatForm* form_ = nullptr;
    };
    // 1 data opened (the run holds the format form), 0 no rows, -1 failure.
    // The run's settings and the host's objects a format form takes over.
    void HandOverRunMembers(TVRFormatForm* Format);
    int OpenFormatForm(const QString& ASQL, TFormatRun& Run);
    // The style text as it is stored.
    QString StoredStyleName() const;

    // Saving a condition set: after the base check the save dialog asks for
    // the name and the date rules; the set is stored and the list reloaded.
    void btnInsertClick() override;

    void rgSendTypeClick();
    void cboSendWayChange();
    void btnPreviewClick();
    void btnDesignClick();
    void btnPrintSetupClick();
    void btnPaperSizeClick();

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormDestroy() override;
    void FormKeyPress(QWidget* Sender, QChar& Key) override;
    void SetProgramInfo() override;
    bool GetOptionValues(Variant& Values, int Count) override;
    bool GetOptionCaptions(Variant& Captions, int Count) override;
    void PrintSettingsLoaded() override;
    void btnOkClick() override;
    void tsOption2Show() override;

    // The statement of a host run with the host's conditions (AParams) and
    // the style the user chose for the host's key; false when it cannot be made.
    bool PrepareHostRun(const Variant& AParams, QString& Statement);
    // Preview or print on the run's opened format form.
    bool RunOnFormat(TVRFormatForm* Format, bool APreview);
    void FreeFormat(TVRFormatForm*& Format);
    // Frees a layout once the event being handled is over (it may be its own).
    void ReleaseFormat(TVRFormatForm* Format);
    // A run that failed on its layout: the reason is collected and shown.
    void ShowRunFailure(const QString& Text);
    // Whether the host's module list lets the Fax/Email page show.
    bool FaxEmailModuleEnabled() const;
    void SelectStyle(const QString& Name);

private:
    // A message of this form in the interface's language: the package text of
    // Key, else Default; Arg fills its "%s".
    QString FormText(const char* Key, const QString& Default, const QString& Arg = QString());
    void BuildReportComponents();
};

}  // namespace kelm24
