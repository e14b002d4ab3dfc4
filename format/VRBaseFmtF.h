// TfrmVRBaseFmt: the form that carries a printable report layout. It holds
// the report with its bands and fields, the client data sets that feed it,
// the designer's popup menu and the capital-numeral table; it stores a
// redesigned layout under a style name through the application server (a
// local file when the database refuses) and applies it again when it is
// created; and it owns the print-time formatters every data text can use.
//
// The components are not built in C++: the form's design is the layout text
// ":/layouts/TfrmVRBaseFmt.txt", and a derived class adds its own text
// (":/layouts/<class>.txt") with "inherited" lines for what it changes and
// "object" lines for what it adds.
//
// Seams for the other parts of a layout's life:
// - the run-time designer (DreamDesigner1) and the SQL builder (SQLReBuilder)
//   are made by SetupDesigner(); until a layout has them the builder is not
//   in use and the builder operations answer so;
// - the preview window: the preview run generates the pages and hands them to
//   ShowPreviewWindow();
// - sending and exporting pages: ExportPages() and the send operations.
#pragma once

#include "format/LayoutText.h"
#include "frame/VRFormatForm.h"
#include "options/QVForm.h"

#include <QPointer>
#include <QSet>
#include <memory>

namespace kelm24 {

class TClientDataSet;
class TMemo;
class TMenuItem;
class TPopupMenu;
class TQRLabel;
class TQRPrinter;
class TQuickRep;
class TfrmVRBaseOpt;
class TDreamDesigner;
class TVRSQLBuilder;
class TFormatOutput;
class TfrmVRPreview;

// A data source: what designer-added barcodes take their data set from.
class TDataSource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* DataSet READ DataSet WRITE SetDataSet)

public:
    explicit TDataSource(QObject* parent = nullptr) : QObject(parent) {}
    QObject* DataSet() const { return dataSet_.data(); }
    void SetDataSet(QObject* dataSet) { dataSet_ = dataSet; }

private:
    QPointer<QObject> dataSet_;
};

// The style that names no stored layout.
inline const QString NewStyleName = QStringLiteral("<New>");

class TfrmVRBaseFmt : public TQVForm, public TVRFormatForm {
    Q_OBJECT
    // What the layout file writer stores as "object" (designer-added).
    Q_PROPERTY(QStringList DesignerAddedNames READ DesignerAddedNames STORED false)

public:
    explicit TfrmVRBaseFmt(QWidget* Owner = nullptr);
    ~TfrmVRBaseFmt() override;
    // The format-class factory of this class (RegisterFormatClass).
    static TVRFormatForm* CreateForm(QWidget* Owner);

    // --- components (found by name after the design text is read)
    TQuickRep* QuickRep1 = nullptr;
    TQRLabel* qrLostFocus = nullptr;
    TClientDataSet* ClientDataSet1 = nullptr;
    TClientDataSet* ClientDataSet2 = nullptr;
    TDataSource* dsBarCode = nullptr;
    QObject* SQLReBuilder = nullptr;    // the designer part's TVRSQLBuilder
    QObject* DreamDesigner1 = nullptr;  // the designer part's TDreamDesigner
    TPopupMenu* PopupMenu1 = nullptr;
    TMenuItem *ShowObjectInsp1 = nullptr, *mnuDOCtoEMF = nullptr, *nuAlignToGrid = nullptr,
              *nuBringToFront = nullptr, *nuSendToBack = nullptr, *nuAlignSelected = nullptr, *nuSize = nullptr,
              *sss1 = nullptr, *miDel = nullptr, *nuSave = nullptr, *nuSaveAs = nullptr, *nuSaveLoc = nullptr,
              *nuLoadLoc = nullptr;
    TMemo* memoChCapital = nullptr;

    // --- own state
    QString ClientPath;        // client installation folder, ends with "/"
    int UILanguage = 0;        // the converter's UIConvertMode
    int DataConversion = 0;    // the converter's DBConvertMode
    int PageCounter = 0;       // pages of this run (RegisterDocument)
    QStringList SendList;      // recipients and their pages of this run
    QStringList DesignerAdded; // components added with the designer
    bool Saving = false, Saved = false;
    int MaxStyleNameLength = 0;
    QStringList NumeralTable;  // the twenty capital-numeral texts
    QString BackgroundFile;    // the background picture file last looked for
    // The pages of the last preview run (for the preview window and tests).
    int GeneratedPages = 0;
    // Whether the option form switched the SQL builder on for this run.
    bool SQLBuilderOn = true;
    // The application server when the owner is no option form (tools, tests).
    Variant LocalAppServer;
    QStringList DesignerAddedNames() const;

    // The option form that owns this layout; null when the owner is another window.
    TfrmVRBaseOpt* OptionForm() const;
    // The owner's application server (a refreshed copy) and its user group.
    Variant AppServer() const;
    QString UserGroup() const;

    // --- TVRFormatForm
    QWidget* Window() override { return this; }
    bool SQLBuilderInUse() override;
    void SetSQLBuilderOn(bool On) override;
    void HideBuilderFields() override;
    void Preview() override;
    void Print() override;
    bool PrepareReport() override;
    bool ExportPages(const QString& Path, int FileType) override;
    int UsedPrinterIndex() override;
    void PageInfo(int& PaperSize, double& Width, double& Length, int& Units) override;
    void StartDesigner() override;
    void CloseDesigner() override;

    // --- virtual operations, in slot order
    Q_INVOKABLE virtual void OnAsteriskPrint(QObject* Sender, QString& Value);
    void InitDataSets() override;
    int OpenReportData(const QString& SQL) override;
    Q_INVOKABLE virtual void ConvertPrintText(QObject* Sender, QString& Value);
    virtual void AmountToChinese(const QString& Amount, QString& Text);
    virtual void DigitGroupToChinese(const QString& Digits, QString& Text);
    virtual void GetStoredOptions(QString& Text);
    virtual void PrepareDesign() {}
    bool BuildExtendedSQL(const QString& Select, const QString& From, const QString& OrderBy, const QString& GroupBy,
                          const QString& Where, const QString& Join) override;
    bool IsExtendedSQLEmpty() override;
    void ApplyExtendedSQL(const QString& Select, const QString& From, int DesignerFlag, const QString& OrderBy,
                          const QString& GroupBy, const QString& Where, const QString& Join) override;
    void InitDesignInfo(const QString& Program, const QString& User, const QString& MainTable,
                        const QString& Database, const QString& Company) override;
    void RunTessivar() override;
    virtual void SetupNewBarcode(const QString& Field, const QString& Hint, QString& Name, QObject* Control);
    virtual void SetupNewDataText(const QString& Field, const QString& Hint, QString& Name, QObject* Control);
    virtual void SetupNewLabel(QString& Name, QObject* Control);
    virtual void GetFieldList(QWidget* Form, QString& Text);
    void ExtendSQL(const QString& SQL, QString& Result) override;
    Q_INVOKABLE virtual void BindOnPrint(QObject* Control);

    // --- print-time formatters (bound by name from layout texts)
    Q_INVOKABLE void OnDatePrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void OnPercentPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void OnChinesePrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void OnDictionaryPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void OnBarCodeInvalidChar(QObject* Sender, QString& Replacement);

    // --- documents of a run
    // Adds the current document's page to the send list.
    void RegisterDocument(const QString& Table, const QString& Where);
    // Counts one more print of the rows (never in preview).
    void UpdatePrintCount(const Variant& Args);

    // --- stored layouts
    // The designer's requests: load the stored changes (at creation) and
    // save them (design ends, nuSave). Handled is always set.
    void LoadChanges(bool& Handled);
    void SaveChanges(bool& Handled);
    // Stores the layout under Style; false when it was not stored (Saving
    // is cleared then).
    bool StoreLayout(const QString& Style);
    // Applies a layout text over the form; false (after the message) when it
    // cannot be read, the form then keeps what it had.
    bool ApplyLayoutText(const QString& Text);
    // The stored layout text of the form as it is now (differences from the
    // design, needed lines, designer-added components as "object").
    QStringList LayoutLines();
    // The local layout file of a style, and the background picture file.
    QString LocalLayoutFile(const QString& Style) const;
    QString BackgroundPictureFile() const;
    // Loads the background picture when the interface language has one.
    void LoadBackgroundPicture();
    // Asks for a style name; false when none was accepted.
    bool AskStyleName(const QString& CaptionKey, const QString& CaptionDefault, const QString& PromptKey,
                      const QString& PromptDefault, QString& Name);
    // The longest style name the database takes (counter "SimpleSql").
    int QueryMaxStyleNameLength();

    // --- designer popup menu (storage items; the others are the designer's)
    Q_INVOKABLE void nuSaveClick(QObject* Sender = nullptr);
    Q_INVOKABLE void nuSaveAsClick(QObject* Sender = nullptr);
    Q_INVOKABLE void nuSaveLocClick(QObject* Sender = nullptr);
    Q_INVOKABLE void nuLoadLocClick(QObject* Sender = nullptr);

    // A message of this form: the text of Key (Default when the language
    // package has none), converted for display, through the converter's
    // message dialog.
    int FormMessage(const QString& Key, const QString& Default, TMsgDlgType Type, TMsgDlgButtons Buttons,
                    const QString& Argument = QString());
    QString FormText(const QString& Key, const QString& Default);

    // The printer object of the report.
    TQRPrinter* ReportPrinter() const;

    // --- the designer's events and the designer items of the popup menu
    // (VRBaseFmtDesign.cpp)
    TDreamDesigner* Designer() const;
    TVRSQLBuilder* Builder() const;
    void DreamDesigner1DragOver(QObject* Source, QWidget* Target, const QPoint& Point, bool& Accept);
    void DreamDesigner1DragDrop(QObject* Source, QWidget* Target, const QPoint& Point);
    void DreamDesigner1DeleteComponent(QWidget* Component);
    void DreamDesigner1ShowProperty(QWidget* Component);
    void DreamDesigner1ActiveChanged();
    void PopupMenu1Popup();
    void mnuDOCtoEMFClick();
    void miDelClick();
    // --- output of the generated pages (format/VRBaseFmtOutput.cpp)
    // The output operations' view of this form, brought up to date.
    TFormatOutput& Output();
    // Page Page as a file: FileName + the extension of FileType (0 BMP,
    // 1 JPG, 2 GIF, 3 PDF, 4 searchable PDF); the final name comes back.
    bool RenderPageToFile(QString& FileName, int FileType, int Page);
    // Sends the documents of the send list: Kind 1 e-mail, 2 fax (the server
    // between "(" and ")" of ServerCaption); each recipient gets a log row.
    bool SendDocuments(int Kind, int FileType, const QString& ServerCaption);
    // The preview window of the generated pages, set up and in the
    // interface's language, not yet shown.
    std::unique_ptr<TfrmVRPreview> CreatePreviewWindow();
    // Text is name "|" message.
    void WriteSendLog(const QString& Text);

protected:
    void FormCreate() override;
    void FormClose(TCloseAction& Action) override;
    void FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift) override;

    // Creates the designer and the SQL builder (the designer part fills it).
    virtual void SetupDesigner();
    // Starts design mode once the form is prepared (the designer part fills it).
    virtual void StartDesignMode();
    // Shows the generated pages (the preview window part fills it); headless
    // the pages stay generated and nothing is shown.
    virtual void ShowPreviewWindow();
    // Generates the pages with the progress window; other windows are
    // disabled meanwhile and the active one is given back. False when
    // cancelled or refused.
    bool GeneratePages();
    // Applies the design texts of the class chain.
    void ApplyDesign();
    // Finds the components of the design by name.
    void BindComponents();
    // Runs the stored-layout load asked for at creation, if it has not run yet.
    void EnsureLayoutLoaded();
    // Data texts without a print handler of their own print converted.
    void BindConvertPrintText();
    // The number a designer-added component's name ends with.
    virtual int NextComponentNumber();
    // Whether the designer is in design mode (the designer part answers).
    virtual bool DesignerActive();

private:
    // Reads a stored text for display into the form; messages on failure.
    bool ReadStoredText(const QString& Text, const QString& Caption);
    void WriteLocalLayout(const QString& Style);

    std::unique_ptr<TFormatOutput> output_;
    bool loadPending_ = false;
    qint64 lastLayoutBytes_ = 0;
    int componentNumber_ = 0;
};

}  // namespace kelm24
