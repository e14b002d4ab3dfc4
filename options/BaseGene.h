// TfrmBaseGene: the dialog in which a user states the conditions of a report
// run, and the frame every option form of the plug-in derives from: two option
// pages, OK and Cancel, the saved condition sets on the left, the keys of the
// dialog family, the start-up with the host (parameters, host objects,
// application-server connection), the condition arrays that go back to the
// host, messages by reference with their error collection, field checks and
// the F2 pick windows.
//
// The implementation is spread over BaseGene.cpp (the form, start-up,
// condition result, keys), BaseGeneMessages.cpp (messages and look-ups),
// BaseGeneServices.cpp (field checks, pick windows, program libraries) and
// ConditionSets.cpp (saved condition sets). Date texts follow
// TDateTextRules (runtime/DateTextRules.h) and program libraries run through
// TProgramLibraryRunner (options/ProgramLibrary.h).
#pragma once

#include "controls/Buttons.h"
#include "controls/ComCtrls.h"
#include "controls/DBLabel.h"
#include "controls/ExtCtrls.h"
#include "controls/ListView.h"
#include "controls/Menus.h"
#include "controls/SelectPnl.h"
#include "controls/StdCtrls.h"
#include "kelm24/HostObjects.h"
#include "frame/VROptForm.h"
#include "options/ConditionSetClient.h"
#include "options/QVForm.h"
#include "runtime/DateTextRules.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <memory>

namespace kelm24 {

class TClientDataSet;
class TSocketConnection;

// Message references: type letter, ";", six-digit id, up to ten arguments.
namespace msgref {
inline const QString InvalidDate = QStringLiteral("E;000005");
inline const QString NoAppServer = QStringLiteral("E;000006");
inline const QString CollectFailed = QStringLiteral("E;000030");
inline const QString WrongProgram = QStringLiteral("E;000036");
inline const QString RequiredEmpty = QStringLiteral("E;000037");
inline const QString FewHostParams = QStringLiteral("E;000038");
inline const QString BadHostList = QStringLiteral("W;000014");
}  // namespace msgref

class TfrmBaseGene : public TQVForm, public TVROptForm {
    Q_OBJECT
    Q_PROPERTY(bool WantLog READ WantLog WRITE SetWantLog)

public:
    explicit TfrmBaseGene(QWidget* Owner = nullptr);
    ~TfrmBaseGene() override;
    // The option-form class of this form.
    static TVROptForm* CreateForm(QWidget* Owner);

    // --- the option form as the controller sees it
    QWidget* Window() override { return this; }
    void SetModulePath(const QString& Path) override;
    bool InitFromHost(const Variant& Params) override;
    void ApplyHostCommand(const Variant& Command) override;
    // A plain condition form prints nothing: the report forms override these.
    bool ExecuteReport(bool APreview) override;
    bool ExecuteForHost(const Variant& AParams, bool APreview) override;
    bool ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                       const QString& AExtra) override;
    void CloseDesigner() override {}
    int ShowModal() override;

    void SetHostParams(const Variant& Params);
    void SetOptionCount(int N);
    void ApplyPowerData(const Variant& Data);
    // Whether the module is a shared library (else a stand-alone program).
    bool ModuleIsLibrary() const;
    // The program code a module's file name gives.
    static QString ProgramCodeFromModule(const QString& ModulePath);

    bool WantLog() const { return wantLog_; }
    void SetWantLog(bool v) { wantLog_ = v; }

    // --- components
    TPanel* pnlCondition;
    TLabel* lblCondition;
    TImageList *ImageList1, *ImageList2;
    TToolBar* ToolBar1;
    TToolButton *btnInsert, *btnOpen, *btnDelete, *ToolButton1;
    TListView* lstCondition;
    TSplitter* Splitter1;
    TExtPageControl* pgOption;
    TTabSheet *tsOption1, *tsOption2;
    TDBLabel* lblToday;
    TMaskEdit* edPrintDate;
    TF2Button* btnPrintDate;
    TPanel* Panel1;
    TBitBtn *btnOk, *btnCancel;
    TPopupMenu *muOperation, *mnList;
    TMenuItem *nuOpen, *nuDelete, *ViewIcon, *ViewSmallIcon, *ViewList, *ViewReport;
    TClientDataSet* ClientDataSet1;
    std::unique_ptr<TSocketConnection> MainMidas;

    // --- published events the form points at its own handlers
    TNotifyEvent OnDateFieldEnter, OnDateFieldExit, OnRequiredExit;

    // --- state (the derived forms and the controller read and write these)
    Variant F2Window, Validator, Counter, AppServer;
    QString DatabaseName;
    qintptr HostWindow = 0;
    Variant HostExtra;
    QString CaptionName;
    QString ServerProgId;
    QString ProgramKind;
    QString ModulePath;
    int ProductId = 3, VersionType = 0;
    QString SystemTitle;
    QStringList SysInfo;  // name=value
    int EnvCount = 9;
    int OptionCount = 0, OptionBase = 1;
    int HostFeatures = 0;  // bit values: 4 = create the host F2 window
    QList<QPointer<QWidget>> PageEndControls;
    Variant ConditionResult;
    QString ErrorCodes, ErrorTexts;
    Variant HostCommand;
    bool HostListOk = true, AutoRunPending = false;
    QString DateFields, YearMonthFields;
    QString RequiredControls;
    QString SavedSpecs;
    QStringList DateRules;
    bool ValidationFailed = false;
    QPointer<QWidget> LastFocused;
    bool InExitCheck = false;
    bool SystemPageDone = false;
    bool LocalServer = false;
    bool CollectingCaptions = false;
    bool SimpleMode = true;
    // The user as the application server's PowerData describes it.
    QString UserName, UserGroup, UserDepartment;
    bool SuperUser = false;
    // One character per right, "Y" or "N": 2 design, 3 delete a style, 6 print, 8 prices.
    QString UserRights;
    // Characters 7 and 8 of the rights are not "N" (a missing character counts as allowed);
    // the pick windows receive both.
    bool Rights7Allowed = true, PricesAllowed = true;
    QString PermissionText;  // sent as the validator's BaseLimited

    // --- virtual operations, in slot order
    virtual void ArrangeSystemPage();
    virtual bool BuildConditionResult();
    virtual void SetProgramInfo();
    virtual void PickPhrase(QWidget* Control);
    virtual void SetRequiredControls(const QString& Names);
    virtual bool RunProgramLibrary(const QString& Mode, const QStringList& Texts, const Variant& Value,
                                   int Number, const QString& Text);
    virtual void LocalizeDataSets();
    virtual void ReadHostProduct();
    virtual void SpareHookA() {}
    virtual bool GetOptionValues(Variant& Values, int Count);
    virtual bool ApplyHostListAlt(const Variant& List);
    virtual void SpareHookB() {}
    virtual bool GetEnvSettings(Variant& Env, int Count);
    virtual bool GetOptionCaptions(Variant& Captions, int Count);
    virtual void PrintSettingsLoaded() {}
    virtual void F2GetData(const QString& Table, const QString& QueryId, const Variant& Keys, bool Flag,
                           const Variant& Extra, Variant& Data);
    virtual void AfterServerConnect(TSocketConnection* Connection);
    virtual bool SaveConditionSet(const QString& Specs, const QString& Name, bool Replace);
    virtual bool RestoreConditionSet(const QString& Specs, const QString& Values);
    virtual bool LoadConditionSets();
    virtual bool AfterConditionSetOpened() { return true; }
    virtual bool AutoExecute(int Mode);
    virtual void BeforeRestoreValue(QWidget* Control, const QString& Value);
    virtual void AfterRestoreValue(QWidget* Control, const QString& Value);

    // --- dynamic operations
    virtual void DoF2Key(int Key, QWidget* Control);
    virtual void CreateHostServices();
    virtual void CreateF2Window();

    // --- start-up pieces
    bool CheckHostList(const Variant& List);
    // Prepares the server connection; false when it failed (E;000006 reported).
    bool ConnectServer();
    void BindAppServer();
    void ShowHelp();
    QString CaptionText() const;

    // ===== services: messages (BaseGeneServices.cpp)
    QString GetMessageText(const QString& Type, const QString& ID);
    int ShowMessageRef(const QString& Type, const QString& ID, const QList<Variant>& Args, int ArgHigh,
                       TMsgDlgButtons Buttons = {});
    int ShowDialog(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
    void ReportError(const QString& Ref);
    void ReportException(const QString& Text);

    // ===== services: look-ups
    void GetSysSetting(const QString& Name, QString& Value);
    QString SysSetting(const QString& Name);
    int DateType();
    QString DateSeparator();
    bool HostQuery(const QString& Table, const QString& QueryId, bool Flag, Variant& Result, const Variant& Keys);
    // The program master row: ProgramName, WantLog, CaptionName and the caption.
    void ReadProgramMaster();
    void GetCounter(const QString& Name, const Variant& Src, Variant& Result);

    // ===== services: date text, after the form's date type and separator
    TDateTextRules DateTextRules();
    QString DateToInternal(const QString& Text, bool Fill = false, const QString& Default = QString());
    QString YearMonthToInternal(const QString& Text);
    QString DateMask();
    QString YearMonthMask();
    QString BlankDateText();
    QString BlankYearMonthText();
    QString DateDisplay(const QString& Date8);
    QString YearMonthDisplay(const QString& YearMonth6);
    // The year part of the masks: "9999" for types 1 to 3, "99" for 4, "999" for 5.
    QString YearMaskPart();

    // ===== services: field checks
    bool CheckDateControl(QWidget* Control, bool Entering);
    bool CheckYearMonthControl(QWidget* Control, bool Entering);
    void SetDateFields(const QString& Names);
    void DateFieldEnter(QObject* Sender);
    void DateFieldExit(QObject* Sender);
    void RequiredExit(QObject* Sender);
    // The first missing required entry is reported and focused; true when none is missing.
    bool CheckRequired();
    void SaveColours();
    void RestoreColours();
    // The date (or year-month) check of a select panel, mask edit or edit.
    bool CheckDateText(QWidget* Control, bool Entering, bool YearMonth);
    // Entering or leaving a date field: its check, then its own handler when the check passed.
    void DateFieldCheck(QObject* Sender, bool Entering);
    // Puts the own OnEnter/OnExit of the listed controls back (Bind false) or
    // stores them and points the controls at OnDateFieldEnter/OnDateFieldExit.
    void BindDateFields(const QString& Names, bool Bind);
    // Stores the own OnClick of the command buttons and points them at
    // OnRequiredExit (Bind true), or puts them back.
    void BindRequiredButtons(bool Bind);
    // The required colour of a control (Part chooses a select panel's parts:
    // 1 begin edit, 2 end edit, 3 list, 0 all three) set, or the saved one restored.
    void ColourRequiredControl(const QString& Name, int Part, bool Required);
    // Whether the named required control holds nothing.
    bool RequiredControlEmpty(const QString& Name);
    // Goes with the form's members: the controls' re-bound handlers hold a
    // guarded pointer to it, so a focus change while the window is torn down
    // reaches nothing.
    QObject ServicesAlive;
    // Set while a date field's exit check runs: the focus it sends back to a
    // failed field leaves other fields unchecked (two wrong dates would send it
    // back and forth for ever).
    bool InDateExit = false;
    // A form event as a control's handler, inert once the form is gone.
    TNotifyEvent GuardedEvent(const TNotifyEvent& Event) const;

    // ===== services: pick windows
    void PickDate(const QString& Text, QString& Result);
    void PickForSelectPanel(QWidget* Control, const QString& Table, bool Flag, const Variant& Extra,
                            const Variant& Keys, const QString& QueryId);
    void SelectPanelValue(TSelectPanel* Panel, Variant& Values, int Index);
    void DateRangeValue(const QString& Text1, const QString& Text2, Variant& Values, int Index);

    // ===== services: program libraries
    // The file of a program's server library: "lib" + code + "S.so".
    static QString ProgramLibraryFile(const QString& Code);
    // Brings a program library up to date before it is loaded: the host's
    // file-list answer and the local file; false with Error when the update
    // failed. Unset (no downloader in this build), the file is used as it is.
    using TLibraryUpdater = std::function<bool(const QString& Answer, const QString& LocalFile, QString& Error)>;
    static inline TLibraryUpdater LibraryUpdater;
    // The argument array of the server controller's set-up operation.
    Variant ProgramLibraryArgs(const QString& Mode, const QStringList& Texts, const Variant& Value, int Number,
                               const QString& Text);

    // ===== condition sets (ConditionSets.cpp)
    // The sets of this user and program on the application server.
    TConditionSetClient ConditionSetClient() const;
    // Base part of saving: runs the exit check of the active field; a derived
    // form runs the save dialog when ValidationFailed stays false.
    virtual void btnInsertClick();
    void btnOpenClick();
    void btnDeleteClick();
    void lstConditionEdited(TListItem* Item, QString& S);
    void ToolButton1Click();
    Q_INVOKABLE void ViewIconExecute();
    Q_INVOKABLE void ViewSmallIconExecute();
    Q_INVOKABLE void ViewListExecute();
    Q_INVOKABLE void ViewReportExecute();
    // The stored text of one component's property, and taking it back; false
    // from RestoreValue when the property's kind cannot be stored.
    QString SavedValue(QObject* Component, const QString& PropName);
    bool RestoreValue(QObject* Component, const QString& PropName, const QString& Value);
    void RestoreSelectPanel(TSelectPanel* Panel, const QString& Value);
    // The internal date of a date field's text after the field's rule in
    // DateRules (the end part of a range rule when EndPart).
    QString RuleDate(const QString& ControlName, const QString& Text, bool EndPart);
    // A text in the data code page, its length there in bytes, and back.
    QString ToDataCodePage(const QString& Text) const;
    QString ToUICodePage(const QString& Text) const;
    int DataByteLength(const QString& Text) const;

protected:
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction& Action) override;
    void FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift) override;
    // The form's own cleanup, run first when the form goes (OnDestroy).
    virtual void FormDestroy();

    virtual void btnOkClick() {}
    virtual void btnCancelClick();
    virtual void pgOptionChange();
    virtual void pgOptionChanging(bool& AllowChange);
    virtual void tsOption2Show();

    // Places the buttons of Panel1 from the right edge, Cancel last.
    virtual void ArrangeButtons();

    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

    // Enter on a control: true when the key was used (and is to be swallowed).
    bool HandleEnter(QWidget* Control);
    bool IsPageEndControl(QWidget* Control) const;
    // Focus to the first enabled control of the active page.
    void FocusFirstControl();
    // Runs the exit handling of the focused control (page changes, saving).
    void RunActiveExit();
    // A control of this form by name, or null.
    QWidget* FindControl(const QString& Name) const;

    // Handlers saved by SetDateFields and SetRequiredControls, keyed
    // "<name>.OnEnter", "<name>.OnExit", "<name>.OnClick".
    QHash<QString, TNotifyEvent> BoundEvents;
    // Initial colours, "<name>" or "<panel>.edBegin" / ".edFinal" / ".ListBox".
    QHash<QString, int> SavedColoursList;
    // Required entries: control name, flag, part.
    struct TRequiredEntry {
        QString Name, Flag;
        int Part = 0;
    };
    QList<TRequiredEntry> RequiredEntries;

private:
    void BuildComponents();
    void RepaintHostWindow();
    bool wantLog_ = false;
};

}  // namespace kelm24
