#include "format/VRBaseFmtF.h"

#include "format/VRBaseFmtOutput.h"

#include "controls/Menus.h"
#include "controls/QvRadio.h"
#include "controls/StdCtrls.h"
#include "format/PrintFormatters.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/DataSetTexts.h"
#include "format/engine/QRControls.h"
#include "format/engine/QVQRControls.h"
#include "format/engine/QuickRep.h"
#include "kelm24/HostObjects.h"
#include "options/VRBaseOptF.h"
#include "platform/socketconn/SocketConnection.h"
#include "runtime/CodePage.h"
#include "runtime/CorvaneIni.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLibrary>
#include <QTimer>

namespace kelm24 {

namespace {

const QString FormClass = QStringLiteral("TfrmVRBaseFmt");

void RegisterFormLayoutClasses()
{
    static bool done = false;
    if (done) return;
    done = true;
    RegisterReportLayoutClasses();
    RegisterLayoutClass<TDataSource>(QStringLiteral("TDataSource"));
}

// While pages generate, the other windows of the application take no input;
// the window that was active gets the focus back afterwards.
class TOtherWindowsDisabled {
public:
    explicit TOtherWindowsDisabled(QWidget* self) : active_(QApplication::activeWindow())
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w == self || !w->isVisible() || !w->isEnabled()) continue;
            w->setEnabled(false);
            disabled_ << w;
        }
    }
    ~TOtherWindowsDisabled()
    {
        for (const QPointer<QWidget>& w : disabled_)
            if (w) w->setEnabled(true);
        if (active_) active_->activateWindow();
    }
    TOtherWindowsDisabled(const TOtherWindowsDisabled&) = delete;
    TOtherWindowsDisabled& operator=(const TOtherWindowsDisabled&) = delete;

private:
    QList<QPointer<QWidget>> disabled_;
    QPointer<QWidget> active_;
};

QString ElementText(const Variant& array, int index)
{
    if (!array.IsArray() || index > array.HighBound() - array.LowBound()) return {};
    const Variant& v = array[array.LowBound() + index];
    return v.IsNull() || v.IsEmpty() ? QString() : v.ToString();
}

}  // namespace

TfrmVRBaseFmt::TfrmVRBaseFmt(QWidget* Owner) : TQVForm(Owner)
{
    RegisterFormLayoutClasses();
    setObjectName(QStringLiteral("frmVRBaseFmt"));
}

TfrmVRBaseFmt::~TfrmVRBaseFmt() = default;

TVRFormatForm* TfrmVRBaseFmt::CreateForm(QWidget* Owner)
{
    return TQVForm::Create<TfrmVRBaseFmt>(Owner);
}

TfrmVRBaseOpt* TfrmVRBaseFmt::OptionForm() const
{
    return qobject_cast<TfrmVRBaseOpt*>(parentWidget());
}

Variant TfrmVRBaseFmt::AppServer() const
{
    if (const TfrmVRBaseOpt* owner = OptionForm()) return owner->AppServer;
    return LocalAppServer;
}

QStringList TfrmVRBaseFmt::DesignerAddedNames() const { return DesignerAdded; }

// ------------------------------------------------------------------ creation

void TfrmVRBaseFmt::ApplyDesign()
{
    const QStringList chain = DesignClassChain(this);
    if (chain.isEmpty()) throw Exception(QStringLiteral("%1 has no design").arg(LayoutClassName(this)));
    // The form's name is its class name without the "T" (frmKelm24Fmt).
    setObjectName(chain.last().mid(1));
    QStringList classes;
    for (const QString& name : chain) {
        classes << name;
        TLayoutReadOptions options;
        options.HandlerOwner = this;
        options.RootClasses = classes;
        try {
            ReadLayoutText(this, DesignTextOf(name), options);
        } catch (const ELayoutError& e) {
            throw Exception(QStringLiteral("the design of %1, %2").arg(name, QString::fromUtf8(e.what())));
        }
    }
}

void TfrmVRBaseFmt::BindComponents()
{
    QuickRep1 = findChild<TQuickRep*>(QStringLiteral("QuickRep1"));
    qrLostFocus = findChild<TQRLabel*>(QStringLiteral("qrLostFocus"));
    ClientDataSet1 = findChild<TClientDataSet*>(QStringLiteral("ClientDataSet1"));
    ClientDataSet2 = findChild<TClientDataSet*>(QStringLiteral("ClientDataSet2"));
    dsBarCode = findChild<TDataSource*>(QStringLiteral("dsBarCode"));
    PopupMenu1 = findChild<TPopupMenu*>(QStringLiteral("PopupMenu1"));
    memoChCapital = findChild<TMemo*>(QStringLiteral("memoChCapital"));
    auto item = [this](const char* name) { return findChild<TMenuItem*>(QString::fromLatin1(name)); };
    ShowObjectInsp1 = item("ShowObjectInsp1");
    mnuDOCtoEMF = item("mnuDOCtoEMF");
    nuAlignToGrid = item("nuAlignToGrid");
    nuBringToFront = item("nuBringToFront");
    nuSendToBack = item("nuSendToBack");
    nuAlignSelected = item("nuAlignSelected");
    nuSize = item("nuSize");
    sss1 = item("sss1");
    miDel = item("miDel");
    nuSave = item("nuSave");
    nuSaveAs = item("nuSaveAs");
    nuSaveLoc = item("nuSaveLoc");
    nuLoadLoc = item("nuLoadLoc");
    if (!QuickRep1 || !ClientDataSet1 || !ClientDataSet2 || !dsBarCode || !PopupMenu1 || !memoChCapital || !nuSave ||
        !nuSaveAs || !nuSaveLoc || !nuLoadLoc)
        throw Exception(QStringLiteral("the design of %1 lacks a component of the format form").arg(LayoutClassName(this)));
    nuSave->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    nuSaveAs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
}

void TfrmVRBaseFmt::FormCreate()
{
    TQVForm::FormCreate();
    ApplyDesign();
    BindComponents();
    // The storage keys (Ctrl+S, Ctrl+N, Ctrl+Alt+L) work wherever the focus is.
    SetKeyPreview(true);
    if (parentWidget() && Converter()) {
        // A layout its form made takes the interface's face with the
        // conversion (its controls exist only now, after the design text).
        ApplyInterfaceFont();
        ConvertForm();
        UILanguage = Converter()->UIConvertMode;
        DataConversion = Converter()->DBConvertMode;
    }
    // A layout prints without being shown, so its language packages are
    // applied now, and not again when the designer shows it: a stored
    // layout's own texts, read later, stay as the user made them.
    ApplyLangChain(this, true);
    ApplyLanguageOnShow = false;
    // The data sets' labels and texts in the display code page.
    LocalizeClientDataSets(this, DisplayConversion());
    ClientDataSet1->Close();
    SendList.clear();
    DesignerAdded.clear();
    ClientPath = TCorvaneIniC().ClientPath;
    if (!ClientPath.isEmpty() && !ClientPath.endsWith(QLatin1Char('/'))) ClientPath += QLatin1Char('/');
    SendMode = 0;
    Resolution = 96;
    NumeralTable.clear();
    const QStringList lines = memoChCapital->Lines();
    for (int i = 0; i < 20; ++i) NumeralTable << (i == 15 ? lines.value(i).trimmed() : lines.value(i));
    SetupDesigner();
    // The stored layout is asked for once the event that creates the form is
    // over: the option form hands the style name over right after creating
    // the form and lets pending events run before it opens the data.
    loadPending_ = true;
    QTimer::singleShot(0, this, [this] { EnsureLayoutLoaded(); });
}

void TfrmVRBaseFmt::EnsureLayoutLoaded()
{
    if (!loadPending_) return;
    loadPending_ = false;
    bool handled = false;
    LoadChanges(handled);
}

void TfrmVRBaseFmt::FormClose(TCloseAction& Action)
{
    TQVForm::FormClose(Action);
    if (Saving) Action = caFree;
}

void TfrmVRBaseFmt::FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    TQVForm::FormKeyDown(Sender, Key, Shift);
    const Qt::KeyboardModifiers mods = Shift & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    if (Key == Qt::Key_L && mods == (Qt::ControlModifier | Qt::AltModifier)) {
        Key = 0;
        nuLoadLocClick();
    } else if (Key == Qt::Key_S && mods == Qt::ControlModifier) {
        Key = 0;
        nuSaveClick();
    } else if (Key == Qt::Key_N && mods == Qt::ControlModifier) {
        Key = 0;
        nuSaveAsClick();
    }
}

// ------------------------------------------------------------------ messages

QString TfrmVRBaseFmt::FormText(const QString& Key, const QString& Default)
{
    return LangText(FormClass, Key, Default);
}

int TfrmVRBaseFmt::FormMessage(const QString& Key, const QString& Default, TMsgDlgType Type, TMsgDlgButtons Buttons,
                               const QString& Argument)
{
    QString text = FormText(Key, Default);
    if (text.contains(QLatin1String("%s"))) text.replace(QLatin1String("%s"), Argument);
    else if (text.contains(QLatin1String("%d"))) text.replace(QLatin1String("%d"), Argument);
    else text += Argument;
    if (Converter()) return Converter()->MessageDialog(text, Type, Buttons);
    TMessageRequest request;
    request.Text = text;
    request.DlgType = Type;
    request.Buttons = Buttons;
    request.Owner = this;
    return TDialogService::MessageBox(request);
}

// ------------------------------------------------------------------ data

void TfrmVRBaseFmt::InitDataSets()
{
    EnsureLayoutLoaded();
    if (TfrmVRBaseOpt* owner = OptionForm()) {
        // The connection's server object stands for the owner's server.
        if (owner->MainMidas && owner->MainMidas->Connected()) owner->AppServer = owner->MainMidas->AppServer();
    }
    const Variant server = AppServer();
    ClientDataSet1->SetRemoteServer(server);
    ClientDataSet1->SetProviderName(QStringLiteral("Provider1"));
    ClientDataSet2->SetRemoteServer(server);
    ClientDataSet2->SetProviderName(QStringLiteral("Provider2"));
    if (DataConversion != 0) BindConvertPrintText();
    dsBarCode->SetDataSet(ClientDataSet1);
}

void TfrmVRBaseFmt::BindConvertPrintText()
{
    for (TQRDBText* text : findChildren<TQRDBText*>()) {
        auto* idText = qobject_cast<TQRDBIDText*>(text);
        const bool take = idText ? idText->Items().isEmpty() : !text->OnPrint;
        if (take) BindLayoutEvent(text, QStringLiteral("OnPrint"), this, QStringLiteral("ConvertPrintText"));
    }
}

int TfrmVRBaseFmt::OpenReportData(const QString& SQL)
{
    Q_UNUSED(SQL);
    return 0;
}

void TfrmVRBaseFmt::RegisterDocument(const QString& Table, const QString& Where)
{
    TfrmVRBaseOpt* owner = OptionForm();
    QString key, address;
    if (owner && !owner->SendKeyField.isEmpty()) {
        key = ClientDataSet1->FieldByName(owner->SendKeyField).AsString();
        address = owner->SendAddressField.isEmpty() ? QString()
                                                    : ClientDataSet1->FieldByName(owner->SendAddressField).AsString();
    } else {
        key = address = owner ? owner->edtFaxEmailData->Text() : QString();
    }
    QString email, fax;
    if (SendMode == 1) email = address;
    else if (SendMode == 2) fax = address;
    else return;
    const QString field = owner ? owner->SendStatusField : QString();
    const QString page = QString::number(PageCounter) + QLatin1Char(',') + Table + QLatin1Char(';') + field +
                         QLatin1Char(';') + Where + QLatin1Char(';');
    for (QString& line : SendList) {
        if (line.section(QLatin1Char('='), 0, 0) == key) {
            line += page;
            return;
        }
    }
    SendList << key + QLatin1Char('=') + email + QLatin1Char('|') + fax + QLatin1Char('|') + page;
}

void TfrmVRBaseFmt::UpdatePrintCount(const Variant& Args)
{
    if (PrintMode == 0) return;
    const TAppServerObject server(AppServer());
    if (!server.Assigned()) return;
    server.UpdatePrintCount(ElementText(Args, 0), ElementText(Args, 1), ElementText(Args, 2));
}

void TfrmVRBaseFmt::HideBuilderFields()
{
    for (const QString& name : DesignerAdded) {
        QObject* c = findChild<QObject*>(name);
        if (auto* barcode = qobject_cast<TQvQRDBBarcode*>(c)) {
            barcode->SetDataSetObject(nullptr);
            barcode->hide();
        } else if (qobject_cast<TQVQRDBText*>(c) || qobject_cast<TQRLabel*>(c)) {
            qobject_cast<QWidget*>(c)->hide();
        }
    }
}

// ------------------------------------------------------------------ SQL builder

// The builder operations are in VRBaseFmtDesign.cpp.

void TfrmVRBaseFmt::GetStoredOptions(QString& Text)
{
    Text.clear();
    const TfrmVRBaseOpt* owner = OptionForm();
    if (!SQLBuilderInUse() || !owner || owner->StyleConditionControls.isEmpty()) return;
    QStringList lines;
    for (const QString& entry : owner->StyleConditionControls.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QObject* control = owner->findChild<QObject*>(entry.section(QLatin1Char(':'), 0, 0));
        if (!control) continue;
        QString value;
        if (auto* combo = qobject_cast<const QComboBox*>(control)) value = QString::number(combo->currentIndex());
        else if (auto* group = qobject_cast<const TQvRadioGroup*>(control)) value = QString::number(group->ItemIndex());
        else if (control->property("Checked").isValid()) value = control->property("Checked").toBool() ? QStringLiteral("1") : QStringLiteral("0");
        if (!value.isEmpty()) lines << entry + QLatin1Char('=') + value;
    }
    Text = lines.join(QLatin1String("\r\n"));
}

void TfrmVRBaseFmt::GetFieldList(QWidget* Form, QString& Text)
{
    Text.clear();
    if (!Form) return;
    for (const TQRDBText* field : Form->findChildren<TQRDBText*>())
        Text += QChar(3) + field->DataField() + QChar(3) + field->Hint();
}

// ------------------------------------------------------------------ designer-added fields

void TfrmVRBaseFmt::SetupNewBarcode(const QString& Field, const QString& Hint, QString& Name, QObject* Control)
{
    auto* barcode = qobject_cast<TQvQRDBBarcode*>(Control);
    if (!barcode) return;
    barcode->SetDataSetObject(dsBarCode->DataSet());
    barcode->SetDataField(Field);
    barcode->SetHint(Hint);
    Name = Converter() ? Converter()->ToDisplay(QStringLiteral("ExBc") + Field + QString::number(NextComponentNumber()))
                       : QStringLiteral("ExBc") + Field + QString::number(NextComponentNumber());
    barcode->setObjectName(Name);
    barcode->SetText(QStringLiteral("1234"));
    barcode->SetTextShow(1);
    barcode->SetTextPosition(tpBottomCenter);
    barcode->SetAutoSize(true);
    barcode->SetAutoWidth(true);
    barcode->SetHeight(105);
    BindLayoutEvent(barcode, QStringLiteral("OnInvalidChar"), this, QStringLiteral("OnBarCodeInvalidChar"));
}

void TfrmVRBaseFmt::SetupNewDataText(const QString& Field, const QString& Hint, QString& Name, QObject* Control)
{
    auto* text = qobject_cast<TQVQRDBText*>(Control);
    if (!text) return;
    text->SetDataSetObject(QuickRep1->DataSetObject());
    text->SetDataField(Field);
    text->SetHint(Hint);
    const QString name = QStringLiteral("ExTxt") + Field + QString::number(NextComponentNumber());
    Name = Converter() ? Converter()->ToDisplay(name) : name;
    text->setObjectName(Name);
    text->SetWidth(100);
    text->SetAutoSize(false);
    text->SetTextType(0);
    BindLayoutEvent(text, QStringLiteral("OnTextTypeChange"), this, QStringLiteral("BindOnPrint"));
}

void TfrmVRBaseFmt::SetupNewLabel(QString& Name, QObject* Control)
{
    auto* label = qobject_cast<TQRLabel*>(Control);
    if (!label) return;
    const QString caption = FormText(QStringLiteral("NewLabel"), QStringLiteral("新建标签"));
    label->SetCaption(caption);
    label->SetHint(caption);
    const QString name = QStringLiteral("ExLbl") + QString::number(NextComponentNumber());
    Name = Converter() ? Converter()->ToDisplay(name) : name;
    label->setObjectName(Name);
    label->SetWidth(100);
    label->SetAutoSize(false);
}

// ------------------------------------------------------------------ runs

TQRPrinter* TfrmVRBaseFmt::ReportPrinter() const { return QuickRep1 ? QuickRep1->QRPrinter() : nullptr; }

bool TfrmVRBaseFmt::GeneratePages()
{
    EnsureLayoutLoaded();
    PageCounter = 0;
    SendList.clear();
    bool done = false;
    {
        TOtherWindowsDisabled disabled(this);
        done = QuickRep1->Prepare();
    }
    GeneratedPages = ReportPrinter()->PageCount();
    return done;
}

bool TfrmVRBaseFmt::PrepareReport() { return GeneratePages(); }

void TfrmVRBaseFmt::Preview()
{
    QuickRep1->SetReportTitle(Converter() ? Converter()->ToDisplay(ReportTitle) : ReportTitle);
    if (!GeneratePages()) return;
    if (QuickRep1->Headless()) {
        qInfo("%s: %d pages generated for preview", qPrintable(objectName()), GeneratedPages);
        return;
    }
    ShowPreviewWindow();
}

void TfrmVRBaseFmt::Print()
{
    EnsureLayoutLoaded();
    QuickRep1->SetReportTitle(Converter() ? Converter()->ToDisplay(ReportTitle) : ReportTitle);
    ReportPrinter()->SetPrinterIndex(PrinterIndex);
    PageCounter = 0;
    SendList.clear();
    TOtherWindowsDisabled disabled(this);
    QuickRep1->Print();
    GeneratedPages = ReportPrinter()->PageCount();
}

int TfrmVRBaseFmt::UsedPrinterIndex() { return ReportPrinter() ? ReportPrinter()->PrinterIndex() : PrinterIndex; }

void TfrmVRBaseFmt::PageInfo(int& PaperSize, double& Width, double& Length, int& Units)
{
    EnsureLayoutLoaded();
    const TQRPage* page = QuickRep1->Page();
    PaperSize = page->PaperSize();
    Width = page->Width();
    Length = page->Length();
    Units = page->Units();
}

void TfrmVRBaseFmt::StartDesigner()
{
    EnsureLayoutLoaded();
    PrepareDesign();
    if (!TDialogService::Headless()) showMaximized();
    StartDesignMode();
    MaxStyleNameLength = QueryMaxStyleNameLength();
}

void TfrmVRBaseFmt::CloseDesigner() { hide(); }

int TfrmVRBaseFmt::QueryMaxStyleNameLength()
{
    if (!Counter.IsObject()) return 0;
    try {
        Variant args = Variant::ArrayOf(
            {QStringLiteral("select col.length from syscolumns col inner join sysobjects obj on obj.id=col.id where "
                            "obj.name = 'WARRANT' AND col.name ='NT002'"),
             QStringLiteral("length")});
        const Variant answer = TCounterObject(Counter).GetCounter(counterfn::SimpleSql, args, CompanyCode, DatabaseName);
        if (!answer.IsArray() || answer.Count() == 0) return 0;
        const Variant row = answer[answer.LowBound()];
        if (!row.IsArray() || row.Count() == 0) return 0;
        return row[row.LowBound()].ToInt();
    } catch (const std::exception&) {
        return 0;
    }
}

// ------------------------------------------------------------------ print-time formatters

void TfrmVRBaseFmt::OnAsteriskPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Value);
}

void TfrmVRBaseFmt::ConvertPrintText(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    try {
        if (Converter()) Value = Converter()->Convert(DataConversion, Variant(Value)).ToString();
    } catch (const std::exception&) {
    }
}

void TfrmVRBaseFmt::AmountToChinese(const QString& Amount, QString& Text)
{
    const QString negative = memoChCapital ? memoChCapital->Lines().value(20) : QString();
    Text = AmountText(NumeralTable, negative, Amount, [this](const QString& digits) {
        QString words;
        DigitGroupToChinese(digits, words);
        return words;
    });
}

void TfrmVRBaseFmt::DigitGroupToChinese(const QString& Digits, QString& Text)
{
    Text = DigitGroupText(NumeralTable, Digits);
}

void TfrmVRBaseFmt::BindOnPrint(QObject* Control)
{
    if (!Control) return;
    auto* text = qobject_cast<TQVQRDBText*>(Control);
    if (!text) throw Exception(QStringLiteral("BindOnPrint takes a TQVQRDBText, not a %1").arg(LayoutClassName(Control)));
    static const QStringList handlers{QString(), QStringLiteral("OnDatePrint"), QStringLiteral("OnPercentPrint"),
                                      QStringLiteral("OnChinesePrint"), QStringLiteral("OnAsteriskPrint"),
                                      QStringLiteral("OnDictionaryPrint")};
    const int type = text->TextType();
    if (type < 0 || type >= handlers.size()) return;
    BindLayoutEvent(text, QStringLiteral("OnPrint"), this, handlers[type]);
}

void TfrmVRBaseFmt::OnDatePrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    try {
        Value = DatePrintText(Value, DateType, DateSeparator);
    } catch (const std::exception&) {
    }
}

void TfrmVRBaseFmt::OnPercentPrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    try {
        Value = PercentPrintText(Value);
    } catch (const std::exception&) {
    }
}

void TfrmVRBaseFmt::OnChinesePrint(QObject* Sender, QString& Value)
{
    Q_UNUSED(Sender);
    try {
        QString words;
        AmountToChinese(Value, words);
        Value = words;
    } catch (const std::exception&) {
    }
}

void TfrmVRBaseFmt::OnDictionaryPrint(QObject* Sender, QString& Value)
{
    try {
        if (auto* text = qobject_cast<TQVQRDBText*>(Sender)) Value = DictionaryPrintText(Value, text->DictText());
    } catch (const std::exception&) {
    }
}

void TfrmVRBaseFmt::OnBarCodeInvalidChar(QObject* Sender, QString& Replacement)
{
    try {
        if (auto* barcode = qobject_cast<TQvQRBarcode*>(Sender)) Replacement = BarcodeReplacement(barcode->BarType());
    } catch (const std::exception&) {
    }
}

}  // namespace kelm24
