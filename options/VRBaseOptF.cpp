#include "options/VRBaseOptF.h"

#include "options/FormParts.h"
#include "options/GeneConditionCF.h"

#include "controls/BtChkBox.h"
#include "format/engine/QRPrinter.h"
#include "platform/socketconn/SocketConnection.h"
#include "runtime/AlertLog.h"
#include "runtime/CorvaneIni.h"
#include "runtime/DateText.h"
#include "runtime/IniFile.h"
#include "runtime/TextUtils.h"

#include <QApplication>
#include <QDate>
#include <QDir>

namespace kelm24 {

namespace {

const QString NewStyle = QStringLiteral("<New>");
// The send states as the system names them, in the order of cboSendStatus.
// The form goes by item index: a translated list keeps the order, not the words.
const QStringList SendStatusItems = {QStringLiteral("已传送"), QStringLiteral("未传送"), QStringLiteral("全部")};
enum { SendStatusSent, SendStatusNotSent, SendStatusAll };
constexpr int MaxStyleNameLength = 20;

const QStringList PaperNames = {
    "Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement", "Executive", "A3", "A4",
    "A4Small", "A5", "B4", "B5", "Folio", "Quarto", "qr10X14", "qr11X17", "Note", "Env9", "Env10", "Env11",
    "Env12", "Env14", "CSheet", "DSheet", "ESheet", "Custom"};
const QStringList UnitNames = {"MM", "Inches", "Pixels", "Characters", "Native"};

TBitBtn* MakeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = MakeControl<TBitBtn>(parent, name);
    button->SetCaption(caption);
    button->resize(75, 25);
    return button;
}

// The value a saved style compares for a control: the item index of a combo
// box or radio group, "1"/"0" for a check box; empty when there is none.
QString StyleValueOf(const QObject* control)
{
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return QString::number(combo->currentIndex());
    if (auto* group = qobject_cast<const TQvRadioGroup*>(control)) return QString::number(group->ItemIndex());
    const QVariant checked = control->property("Checked");
    if (checked.isValid()) return checked.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    return QString();
}

}  // namespace

TfrmVRBaseOpt::TfrmVRBaseOpt(QWidget* Owner) : TfrmBaseGene(Owner)
{
    setObjectName(QStringLiteral("frmVRBaseOpt"));
    BuildReportComponents();
}

TfrmVRBaseOpt::~TfrmVRBaseOpt()
{
    BeginDestroy(this);
}

void TfrmVRBaseOpt::BuildReportComponents()
{
    lblFormStyleName = MakeLabel(tsOption2, "lblFormStyleName", QStringLiteral("打印使用格式"), 180, 12);
    cboFormStyleName = MakeControl<TComboBox>(tsOption2, "cboFormStyleName");
    cboFormStyleName->SetStyle(TComboBox::csDropDown);
    cboFormStyleName->SetMaxLength(MaxStyleNameLength);
    cboFormStyleName->SetBounds(260, 8, 105, 21);
    btnDelFormStype = MakeControl<TF2Button>(tsOption2, "btnDelFormStype");
    btnDelFormStype->SetHint(QStringLiteral("删除格式"));
    btnDelFormStype->SetAutoAlign(false);
    lblDateType = MakeLabel(tsOption2, "lblDateType", QStringLiteral("日期类型"), 390, 12);
    cboDateType = MakeControl<TComboBox>(tsOption2, "cboDateType");
    cboDateType->SetStyle(TComboBox::csDropDownList);
    cboDateType->SetItems({QStringLiteral("公历 YYYYMMDD"), QStringLiteral("公历 MMDDYYYY"), QStringLiteral("公历 DDMMYYYY"),
                           QStringLiteral("民国年 YYMMDD"), QStringLiteral("民国年 YYYMMDD")});
    cboDateType->SetBounds(440, 8, 110, 21);

    tsFEP = new TTabSheet(pgOption);
    tsFEP->setObjectName(QStringLiteral("tsFEP"));
    tsFEP->SetCaption(QStringLiteral("Fax/Email选项"));
    rgSendType = MakeControl<TRadioGroup>(tsFEP, "rgSendType");
    rgSendType->SetCaption(QStringLiteral("选择传送方式"));
    rgSendType->SetColumns(2);
    rgSendType->SetItems({QStringLiteral("打印"), QStringLiteral("Fax/Email")});
    rgSendType->SetItemIndex(0);
    rgSendType->SetBounds(8, 8, 250, 45);
    lblSendStatus = MakeLabel(tsFEP, "lblSendStatus", QStringLiteral("选择FAX/Email传送状态"), 8, 64);
    cboSendStatus = MakeControl<TComboBox>(tsFEP, "cboSendStatus");
    cboSendStatus->SetStyle(TComboBox::csDropDownList);
    cboSendStatus->SetItems(SendStatusItems);
    cboSendStatus->SetBounds(160, 60, 130, 21);
    cboSendStatus->SetEnabled(false);
    lblSendWay = MakeLabel(tsFEP, "lblSendWay", QStringLiteral("选择FAX/Email传送方式"), 8, 92);
    cboSendWay = MakeControl<TComboBox>(tsFEP, "cboSendWay");
    cboSendWay->SetStyle(TComboBox::csDropDownList);
    cboSendWay->SetItems({QStringLiteral("FAX To 供应商"), QStringLiteral("Email To 供应商"), QStringLiteral("FAX To 客户"),
                          QStringLiteral("Email To 客户"), QStringLiteral("FAX To 自定义对象"),
                          QStringLiteral("Email To 自定义对象")});
    cboSendWay->SetBounds(160, 88, 130, 21);
    cboSendWay->SetEnabled(false);
    lblFaxEmail = MakeLabel(tsFEP, "lblFaxEmail", QStringLiteral("FAX NO"), 8, 120);
    edtFaxEmailData = MakeControl<TEdit>(tsFEP, "edtFaxEmailData");
    edtFaxEmailData->SetBounds(160, 116, 200, 21);

    moPaperSize = MakeControl<TMemo>(tsOption1, "moPaperSize");
    moPaperSize->SetLines(PaperNames);
    moPaperSize->setVisible(false);
    moUnits = MakeControl<TMemo>(tsOption1, "moUnits");
    moUnits->SetLines(UnitNames);
    moUnits->setVisible(false);

    btnOk->SetCaption(QStringLiteral("打印"));
    btnPreview = MakeButton(Panel1, "btnPreview", QStringLiteral("预览"));
    btnDesign = MakeButton(Panel1, "btnDesign", QStringLiteral("设计凭证"));
    btnPrintSetup = MakeButton(Panel1, "btnPrintSetup", QStringLiteral("设置打印机"));
    btnPaperSize = MakeButton(Panel1, "btnPaperSize", QStringLiteral("纸张格式"));
    // Tab order: Print, Preview, Design, Printer setup, Paper, Cancel.
    setTabOrder(btnOk, btnPreview);
    setTabOrder(btnPreview, btnDesign);
    setTabOrder(btnDesign, btnPrintSetup);
    setTabOrder(btnPrintSetup, btnPaperSize);
    setTabOrder(btnPaperSize, btnCancel);

    cboFormStyleName->OnDropDown = TNotifyEvent{this, [this](QObject*) { LoadStyleList(); }};
    btnDelFormStype->OnClick = TNotifyEvent{this, [this](QObject*) { DeleteStyle(); }};
    rgSendType->OnChange = TNotifyEvent{this, [this](QObject*) { rgSendTypeClick(); }};
    cboSendWay->OnChange = TNotifyEvent{this, [this](QObject*) { cboSendWayChange(); }};
    btnPreview->OnClick = TNotifyEvent{this, [this](QObject*) { btnPreviewClick(); }};
    btnDesign->OnClick = TNotifyEvent{this, [this](QObject*) { btnDesignClick(); }};
    btnPrintSetup->OnClick = TNotifyEvent{this, [this](QObject*) { btnPrintSetupClick(); }};
    btnPaperSize->OnClick = TNotifyEvent{this, [this](QObject*) { btnPaperSizeClick(); }};
}

void TfrmVRBaseOpt::FormCreate()
{
    CompanyInfo.clear();
    PrinterIndex = -1;
    SQLType = 0;
    TfrmBaseGene::FormCreate();
    const TCorvaneIniC settings;
    ClientPath = settings.ClientPath;
    ProfilePath = settings.ProfilePath;
    QString iniName = QDir::cleanPath(ProfilePath + QStringLiteral("/CorvaneC.ini"));
    const TIniFile ini(iniName);
    RTBuilderDataPath = ini.ReadString(QStringLiteral("Client Components"), QStringLiteral("RTBuilderDataPath"), QString()).trimmed();
    if (!RTBuilderDataPath.isEmpty() && !RTBuilderDataPath.endsWith(QLatin1Char('/')) &&
        !RTBuilderDataPath.endsWith(QLatin1Char('\\')))
        RTBuilderDataPath += QLatin1Char('/');
    SQLBuilderEnabled = ini.ReadBool(QStringLiteral("Client Components"), QStringLiteral("SQLBuilderEnabled"), true);
    RowFilterOn = true;
}

bool TfrmVRBaseOpt::InitFromHost(const Variant& Params)
{
    // The start works once; a second call changes nothing.
    if (!CompanyCode.isEmpty()) return false;
    const bool started = TfrmBaseGene::InitFromHost(Params);
    // A server that refuses the session raises to the controller, which
    // hands the reason to the host; the base form's start decides the answer.
    const TAppServerObject server(AppServer);
    if (server.Assigned()) {
        server.Connect(ProgramCode, UserCode, CompanyCode, DatabaseName, MainTable);
        ApplyPowerData(server.PowerData());
        SQLType = server.SQLType();
        PowerData = server.PowerData();
    }
    Variant row;
    if (HostQuery(QStringLiteral("CMSML"), QStringLiteral("01"), false, row, Variant::ArrayOf({CompanyCode})) &&
        row.IsArray()) {
        for (const Variant& v : row.Elements()) CompanyInfo << (v.IsEmpty() || v.IsNull() ? QString() : v.ToString());
    }
    if (!SQLBuilderEnabled) UseSQLBuilder = false;
    InitFormatOptions();
    return started;
}

void TfrmVRBaseOpt::SetProgramInfo()
{
    TfrmBaseGene::SetProgramInfo();
    HostFeatures = 1 | 2 | 4;
    const int type = DateType();
    cboDateType->SetItemIndex(type - 1);
    edPrintDate->SetText(FormatDateStyle(type, DateSeparator(), DateToValue(QDate::currentDate())));
    if (SysSetting(QStringLiteral("Sys026")) == QLatin1String("2")) {
        QStringList items = cboDateType->Items();
        const int index = cboDateType->ItemIndex();
        if (items.size() == 5) {
            items.removeAt(4);
            items.removeAt(3);
        }
        cboDateType->SetItems(items);
        cboDateType->SetItemIndex(index < items.size() ? index : -1);
    }
    ++OptionBase;
    SendWayDefs.clear();
    UseSQLBuilder = true;
}

bool TfrmVRBaseOpt::FaxEmailModuleEnabled() const
{
    if (!HostExtra.IsArray() || HostExtra.DimCount() != 2) return false;
    const int names = HostExtra.LowBound(1);
    for (int c = HostExtra.LowBound(2); c <= HostExtra.HighBound(2); ++c) {
        if (HostExtra.At(names, c).ToString().compare(QLatin1String("FEP"), Qt::CaseInsensitive) != 0) continue;
        if (names + 1 > HostExtra.HighBound(1)) return true;
        try {
            return HostExtra.At(names + 1, c).ToBool();
        } catch (const std::exception&) {
            return false;
        }
    }
    return true;
}

void TfrmVRBaseOpt::InitFormatOptions()
{
    Variant row;
    if (HostQuery(QStringLiteral("CMSMT"), QStringLiteral("01"), false, row, Variant::ArrayOf({ProgramCode})) &&
        row.IsArray() && row.HighBound() >= row.LowBound() + 12) {
        SelectStyle(row[row.LowBound() + 12].ToString());
    } else {
        cboFormStyleName->SetText(QString());
        cboFormStyleName->SetEnabled(true);
    }
    if (!FaxEmailModuleEnabled() || SysSetting(QStringLiteral("Sys042")) == QLatin1String("N")) {
        tsFEP->SetTabVisible(false);
        tsFEP->setVisible(false);
    }
    cboSendStatus->SetItemIndex(SendStatusAll);
    cboSendWay->SetItemIndex(0);
    cboSendWayChange();
}

void TfrmVRBaseOpt::SelectStyle(const QString& Name)
{
    const int index = cboFormStyleName->Items().indexOf(Name);
    if (index >= 0) cboFormStyleName->SetItemIndex(index);
}

QString TfrmVRBaseOpt::StoredStyleName() const
{
    const QString text = cboFormStyleName->Text();
    return Converter() ? Converter()->FromDisplay(Variant(text)).ToString() : text;
}

// ------------------------------------------------------------------ styles

void TfrmVRBaseOpt::SetFormatClass(const QString& ClassName)
{
    FormatClassName = ClassName;
    LoadStyleList();
}

bool TfrmVRBaseOpt::StyleMatches(const QString& ConditionText) const
{
    const QStringList lines = QString(ConditionText).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty()) continue;
        const int colon = line.indexOf(QLatin1Char(':'));
        const int eq = line.indexOf(QLatin1Char('='), colon + 1);
        if (colon <= 0 || eq < 0) return false;
        const QObject* control = findChild<QObject*>(line.left(colon));
        if (!control || StyleValueOf(control) != line.mid(eq + 1)) return false;
    }
    return true;
}

QStringList TfrmVRBaseOpt::MatchingStyles()
{
    QStringList styles;
    Variant rows;
    if (!HostQuery(QStringLiteral("WARRANT"), QStringLiteral("01"), true, rows, Variant::ArrayOf({FormatClassName})) ||
        !rows.IsArray())
        return styles;
    for (const Variant& row : rows.Elements()) {
        if (row.IsArray() && row.Count() > 0 && StyleMatches(RowText(row, 1))) styles << RowText(row, 0);
    }
    return styles;
}

void TfrmVRBaseOpt::LoadStyleList()
{
    const QString remembered = cboFormStyleName->Items().isEmpty() ? NewStyle : cboFormStyleName->Text();
    QStringList items;
    if (cboFormStyleName->isEnabled()) items << NewStyle;
    if (!FormatClassName.isEmpty()) items << MatchingStyles();
    cboFormStyleName->SetItems(items);
    const int index = items.indexOf(remembered);
    cboFormStyleName->SetItemIndex(index >= 0 ? index : (items.isEmpty() ? -1 : 0));
}

QString TfrmVRBaseOpt::FormText(const char* Key, const QString& Default, const QString& Arg)
{
    const QString text = LangText(QStringLiteral("TfrmVRBaseOpt"), QString::fromLatin1(Key), Default);
    return Arg.isNull() ? text : FormatText(text, {Variant(Arg)});
}

void TfrmVRBaseOpt::DeleteStyle()
{
    const QString name = cboFormStyleName->Text();
    if (name.toUpper() == QLatin1String("<NEW>")) return;
    if (!(name.isEmpty() && cboFormStyleName->Items().contains(QString()))) {
        if (ShowMsg(FormText("sDelStyleAsk", QStringLiteral("确认删除选中的凭证格式吗?")), mtWarning, {mbYes, mbNo}) != mrYes) return;
        Variant found;
        if (!HostQuery(QStringLiteral("WARRANT"), QStringLiteral("03"), false, found,
                       Variant::ArrayOf({FormatClassName, name}))) {
            ShowMsg(FormText("sStyleMissing", QStringLiteral("格式档不存在!")), mtError, {mbOK});
        } else if (!found.IsEmpty() && !found.IsNull()) {
            int deleted = 0;
            try {
                deleted = TAppServerObject(AppServer).RunDeleteSQL(
                    Variant::ArrayOf({FormatClassName, Variant(StoredStyleName()).ToString().trimmed()}));
            } catch (const std::exception& e) {
                ReportException(QString::fromUtf8(e.what()));
            }
            if (deleted > 0) ShowMsg(FormText("sStyleDeleted", QStringLiteral("删除成功!")), mtInformation, {mbOK});
            else ShowMsg(FormText("sStyleNotDeleted", QStringLiteral("删除失败!")), mtError, {mbOK});
        }
    }
    // The list is rebuilt with "<NEW>" first, whatever the combo's state.
    const QStringList items = QStringList{QStringLiteral("<NEW>")} + MatchingStyles();
    cboFormStyleName->SetItems(items);
    cboFormStyleName->SetItemIndex(0);
}

void TfrmVRBaseOpt::FormKeyPress(QWidget* Sender, QChar& Key)
{
    TfrmBaseGene::FormKeyPress(Sender, Key);
    const bool inStyleCombo = Sender == cboFormStyleName || cboFormStyleName->isAncestorOf(Sender);
    // Only characters count: backspace, Tab and the other control keys type nothing.
    if (!inStyleCombo || Key.unicode() < 0x20 || Key == QLatin1Char('.')) return;
    if (cboFormStyleName->Text().size() + 1 > MaxStyleNameLength) {
        ShowMessageRef(QStringLiteral("E"), QStringLiteral("100319"), {}, -1);
        Key = QChar();
    }
}

// ------------------------------------------------------------------ pages and permissions

void TfrmVRBaseOpt::BuildSavedControlList()
{
    SavedSpecs.clear();
    for (int p = 0; p < pgOption->PageCount(); ++p) {
        TTabSheet* page = pgOption->Page(p);
        if (page == tsFEP || page == tsOption2) continue;
        QWidget* w = page;
        while ((w = w->nextInFocusChain()) != page) {
            if (!page->isAncestorOf(w) || w->objectName().isEmpty() || !w->isVisibleTo(page)) continue;
            bool inner = false;
            for (QWidget* up = w->parentWidget(); up && up != page; up = up->parentWidget()) {
                if (qobject_cast<TSelectPanel*>(up) || qobject_cast<TQvRadioGroup*>(up) || up == rgSendType) inner = true;
            }
            if (inner || qobject_cast<TMemo*>(w)) continue;
            QString suffix;
            if (qobject_cast<TEdit*>(w)) suffix = QStringLiteral(".text");
            else if (qobject_cast<TComboBox*>(w) || qobject_cast<TQvRadioGroup*>(w)) suffix = QStringLiteral(".itemindex");
            else if (qobject_cast<TCheckBox*>(w) || qobject_cast<TBitCheckBox*>(w)) suffix = QStringLiteral(".checked");
            else if (qobject_cast<TSelectPanel*>(w)) suffix = QStringLiteral(".style");
            if (!suffix.isEmpty()) SavedSpecs += w->objectName() + suffix + QLatin1Char(';');
        }
        // Select panels and radio groups take the focus through their parts.
        for (QWidget* child : page->findChildren<QWidget*>()) {
            if (child->objectName().isEmpty() || !child->isVisibleTo(page)) continue;
            const bool panel = qobject_cast<TSelectPanel*>(child) != nullptr;
            const bool group = qobject_cast<TQvRadioGroup*>(child) != nullptr && child != rgSendType;
            if (!panel && !group) continue;
            const QString entry = child->objectName() + (panel ? QStringLiteral(".style;") : QStringLiteral(".itemindex;"));
            // Whole entries only: "spl1" is not listed by "xspl1".
            if (!(QLatin1Char(';') + SavedSpecs).contains(QLatin1Char(';') + entry)) SavedSpecs += entry;
        }
    }
    pnlCondition->setVisible(!SavedSpecs.isEmpty());
}

void TfrmVRBaseOpt::PrintSettingsLoaded()
{
    TfrmBaseGene::PrintSettingsLoaded();
    auto right = [this](int position) {
        return UserRights.size() >= position && UserRights.at(position - 1) == QLatin1Char('Y');
    };
    btnDesign->SetEnabled(right(2));
    btnDelFormStype->SetEnabled(right(3));
    btnOk->SetEnabled(right(6));
    btnPreview->SetEnabled(right(6));
    BuildSavedControlList();
}

void TfrmVRBaseOpt::btnInsertClick()
{
    TfrmBaseGene::btnInsertClick();
    if (ValidationFailed) return;
    // The print date, last in DateFields, gets no rule.
    const Variant answer = TfrmGeneCondition::RunSaveDialog(DateFields, this, 1);
    const QString name = answer[0].ToString();
    if (name.isEmpty()) return;
    try {
        // A set the server refused is said so, not passed over in silence.
        if (!SaveConditionSet(SavedSpecs, name, answer[2].ToBool()))
            ShowMsg(LangText(QStringLiteral("TfrmVRBaseOpt"), QStringLiteral("sSaveProjFailed"),
                             QStringLiteral("保存方案失败!")),
                    mtError, {mbOK});
        LoadConditionSets();
    } catch (const Exception& e) {
        ShowMsg(e.Message(), mtError, {mbOK});
    }
}

void TfrmVRBaseOpt::rgSendTypeClick()
{
    const bool send = rgSendType->ItemIndex() == 1;
    cboSendStatus->SetEnabled(send);
    cboSendWay->SetEnabled(send);
    cboSendStatus->SetItemIndex(send ? SendStatusNotSent : SendStatusAll);
    cboSendWayChange();
}

void TfrmVRBaseOpt::cboSendWayChange()
{
    const QStringList entries = SendWayDefs.split(QLatin1Char(';'));
    const int index = cboSendWay->ItemIndex();
    const QStringList fields = index >= 0 && index < entries.size() ? entries[index].split(QLatin1Char(',')) : QStringList();
    SendKeyField = fields.value(1);
    SendAddressField = fields.value(2);
    const QString kind = fields.value(0).trimmed();
    if (kind.compare(QLatin1String("FAX"), Qt::CaseInsensitive) == 0) {
        SendMode = 2;
        lblFaxEmail->SetCaption(QStringLiteral("Fax No"));
    } else if (kind.compare(QLatin1String("EMAIL"), Qt::CaseInsensitive) == 0) {
        SendMode = 1;
        lblFaxEmail->SetCaption(QStringLiteral("E-Mail"));
    }
    if (rgSendType->ItemIndex() == 0) SendMode = 0;
    const bool typed = SendAddressField.isEmpty() && SendMode != 0;
    edtFaxEmailData->SetEnabled(typed);
    edtFaxEmailData->SetColor(typed ? clRequiredField : clWhite);
    PageEndControls.removeAll(rgSendType);
    PageEndControls.removeAll(cboSendWay);
    PageEndControls.removeAll(edtFaxEmailData);
    if (SendMode == 0) PageEndControls << rgSendType;
    else if (!SendAddressField.isEmpty()) PageEndControls << cboSendWay;
    else PageEndControls << edtFaxEmailData;
}

bool TfrmVRBaseOpt::GetOptionValues(Variant& Values, int Count)
{
    if (!TfrmBaseGene::GetOptionValues(Values, Count)) return false;
    if (SendMode != 0 && SendAddressField.isEmpty() && edtFaxEmailData->Text().trimmed().isEmpty()) {
        pgOption->SetActivePage(tsFEP);
        ShowMessageRef(QStringLiteral("E"), QStringLiteral("000003"), {lblFaxEmail->Caption()}, 0);
        edtFaxEmailData->setFocus();
        ReportException(FormText("sFaxEmailEmpty", QStringLiteral("Fax/Email No 不可空白!")));
        return false;
    }
    Values[OptionBase + Count - 1] = SendStatusValue(SendStatusItems.value(cboSendStatus->ItemIndex()));
    return true;
}

bool TfrmVRBaseOpt::GetOptionCaptions(Variant& Captions, int Count)
{
    if (!TfrmBaseGene::GetOptionCaptions(Captions, Count)) return false;
    Captions[OptionBase + Count - 1] = SendStatusCaption();
    return true;
}

// ------------------------------------------------------------------ runs

void TfrmVRBaseOpt::BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL)
{
    Q_UNUSED(ASQL);
    SendStatusCondition = SendStatusFromValues(AMode, AParams, OptionCount);
}

void TfrmVRBaseOpt::ComposeSQL(QString& ASQL)
{
    Q_UNUSED(ASQL);
    SQL.ComposeSQL(SendMode, SendStatusField, SendStatusCondition, MainTable, PowerData);
}

void TfrmVRBaseOpt::PassPrintOptions(TVRFormatForm* AFormat)
{
    Q_UNUSED(AFormat);
}

void TfrmVRBaseOpt::FreeFormat(TVRFormatForm*& Format)
{
    if (!Format) return;
    delete Format;
    Format = nullptr;
}

void TfrmVRBaseOpt::HandOverRunMembers(TVRFormatForm* Format)
{
    Format->SendMode = SendMode;
    Format->ProgramCode = ProgramCode;
    Format->CompanyCode = CompanyCode;
    Format->DatabaseName = DatabaseName;
    Format->UserCode = UserCode;
    Format->DateType = cboDateType->ItemIndex() + 1;
    Format->DateSeparator = DateSeparator();
    Format->SysInfo = &SysInfo;
    Format->CompanyInfo = &CompanyInfo;
    const THostObject host(HostObject);
    Format->Validator = host.Assigned() ? host.Validator() : Variant();
    Format->Counter = host.Assigned() ? host.Counter() : Variant();
    const QString name = ProgramName.isEmpty() ? ProgramCode : ProgramName;
    Format->ReportTitle = (CompanyInfo.size() > 1 ? CompanyInfo[1] : QString()) + QStringLiteral(" - ") + name;
    Format->PrinterIndex = PrinterIndex;
}

int TfrmVRBaseOpt::OpenFormatForm(const QString& ASQL, TFormatRun& Run)
{
    FreeFormat(Run.form_);
    TVRFormatForm*& Format = Run.form_;
    const TVRFormatFormClass makeFormat = FindFormatClass(FormatClassName);
    if (!makeFormat) {
        ShowMsg(FormText("sNoFormatClass", QStringLiteral("报表格式 %s 不在本程序中, 无法运行!"), FormatClassName), mtError, {mbOK});
        return -1;
    }
    try {
        Format = makeFormat(this);
        Format->StyleName = StoredStyleName();
        WriteLog(QStringLiteral("VRBASE"), Format->StyleName, QStringLiteral("D"));
        QApplication::processEvents();
        HandOverRunMembers(Format);
        Format->InitDataSets();
        int result = 0;
        if (UseSQLBuilder) {
            QString extended;
            try {
                if (Format->SQLBuilderInUse()) {
                    if (Format->BuildExtendedSQL(SQL.SelectPart(), SQL.FromPart(), SQL.OrderByPart(), SQL.GroupByPart(),
                                                 SQL.WherePart(), SQL.JoinPart())) {
                        Format->ApplyExtendedSQL(SQL.SelectPart(), SQL.FromPart(), 0, SQL.OrderByPart(),
                                                 SQL.GroupByPart(), SQL.WherePart(), SQL.JoinPart());
                        Format->RunTessivar();
                    }
                    Format->ExtendSQL(ASQL, extended);
                }
                if (!extended.trimmed().isEmpty()) {
                    result = Format->OpenReportData(extended);
                    if (result == -1) {
                        ShowMsg(FormText("sExtFieldError", QStringLiteral("此格式在做扩展栏位时，出现错误，你可以重新设计此扩展栏位!")), mtError, {mbOK});
                        return -1;
                    }
                } else {
                    result = Format->OpenReportData(ASQL);
                }
            } catch (const std::exception&) {
                if (ShowMsg(FormText("sExtFieldAsk", QStringLiteral("此格式在做扩展栏位时，出现错误，你可以重新设计此扩展栏位，是否以不做扩展栏位方式运行？")),
                            mtWarning, {mbYes, mbNo}) != mrYes) {
                    return -1;
                }
                result = Format->OpenReportData(ASQL);
            }
        } else {
            if (!SQLBuilderEnabled) Format->HideBuilderFields();
            result = Format->OpenReportData(ASQL);
        }
        if (result == 1) {
            PassPrintOptions(Format);
            return 1;
        }
        if (result == -1) {
            ShowMessageRef(QStringLiteral("E"), QStringLiteral("000025"), {MainMidas->Address, MainMidas->Port}, 1);
        } else {
            ShowMessageRef(QStringLiteral("W"), QStringLiteral("000006"), {}, -1);
        }
        return result;
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        return -1;
    }
}

void TfrmVRBaseOpt::ReleaseFormat(TVRFormatForm* Format)
{
    if (auto* object = dynamic_cast<QObject*>(Format)) {
        if (auto* window = qobject_cast<QWidget*>(object)) window->hide();
        object->deleteLater();
    } else {
        delete Format;
    }
}

bool TfrmVRBaseOpt::RunOnFormat(TVRFormatForm* Format, bool APreview)
{
    // A preview or printer that fails ends the run with its message: the
    // runs start from button handlers, where nothing may escape, and the
    // layout goes either way.
    bool done = false;
    try {
        if (APreview) {
            Format->PrintMode = 0;
            Format->Preview();
        } else {
            Format->PrintMode = 1;
            Format->Print();
        }
        PrinterIndex = Format->UsedPrinterIndex();
        done = true;
    } catch (const std::exception& e) {
        ShowRunFailure(QString::fromUtf8(e.what()));
    }
    return done;
}

void TfrmVRBaseOpt::ShowRunFailure(const QString& Text)
{
    ReportException(Text);
    ShowDialog(Text, mtError, {mbOK});
}

bool TfrmVRBaseOpt::ExecuteReport(bool APreview)
{
    if (!BuildConditionResult()) return false;
    const Variant conditions = ConditionResult[2];
    QString statement;
    try {
        BuildReportSQL(0, conditions, statement);
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        ShowDialog(QString::fromUtf8(e.what()), mtError, {mbOK});
        return false;
    }
    ComposeSQL(statement);
    if (RowFilterOn) statement = ApplyFromFilter(statement, PowerData, DatabaseName);
    TFormatRun run(*this);
    if (OpenFormatForm(statement, run) != 1) return false;
    return RunOnFormat(run.Form(), APreview);
}

bool TfrmVRBaseOpt::PrepareHostRun(const Variant& AParams, QString& Statement)
{
    SetFormConverted(true);
    try {
        BuildReportSQL(1, AParams, Statement);
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        return false;
    }
    ComposeSQL(Statement);
    const QString key = AParams.IsArray() && AParams.Count() > 0 ? AParams[AParams.LowBound()].ToString() : QString();
    HostStyleName = TUserDefIni().LookupFormat(ProgramCode.toUpper(), key);
    if (HostStyleName != NewStyle) SelectStyle(Converter() ? Converter()->ToDisplay(HostStyleName) : HostStyleName);
    return true;
}

bool TfrmVRBaseOpt::ExecuteForHost(const Variant& AParams, bool APreview)
{
    QString statement;
    if (!PrepareHostRun(AParams, statement)) return false;
    TFormatRun run(*this);
    if (OpenFormatForm(statement, run) != 1) return false;
    return RunOnFormat(run.Form(), APreview);
}

bool TfrmVRBaseOpt::ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                                  const QString& AExtra)
{
    Q_UNUSED(AExtra);
    QString statement;
    if (!PrepareHostRun(AParams, statement)) return false;
    TFormatRun run(*this);
    if (OpenFormatForm(statement, run) != 1) return false;
    TVRFormatForm* format = run.Form();
    format->Resolution = AResolution;
    format->SkipLeftShift = format->SkipTopShift = false;
    bool done = false;
    try {
        done = format->PrepareReport() && format->ExportPages(APath, AFileType);
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        done = false;
    }
    return done;
}

void TfrmVRBaseOpt::btnOkClick()
{
    TfrmBaseGene::btnOkClick();
    ExecuteReport(false);
}

void TfrmVRBaseOpt::btnPreviewClick()
{
    ExecuteReport(true);
}

void TfrmVRBaseOpt::btnDesignClick()
{
    const TVRFormatFormClass makeFormat = FindFormatClass(FormatClassName);
    if (!makeFormat) {
        ShowMsg(FormText("sNoFormatDesign", QStringLiteral("报表格式 %s 不在本程序中, 无法设计!"), FormatClassName), mtError, {mbOK});
        return;
    }
    if (DesignForm) return;
    try {
        DesignForm = makeFormat(this);
        DesignForm->StyleName = StoredStyleName();
        // The designer asks the host's counter how long a style name may be
        // (without it every name would be refused as too long) and prints
        // its samples as a run does.
        HandOverRunMembers(DesignForm);
        if (UseSQLBuilder) {
            SQL.SetGroupByPart(QString());
            SQL.SetOrderByPart(QString());
            if (BuildConditionResult()) {
                QString statement;
                BuildReportSQL(0, ConditionResult[2], statement);
            }
            if (DesignForm->IsExtendedSQLEmpty())
                DesignForm->ApplyExtendedSQL(SQL.SelectPart(), SQL.FromPart(), 1, SQL.OrderByPart(), SQL.GroupByPart(),
                                             SQL.WherePart(), SQL.JoinPart());
            DesignForm->InitDesignInfo(ProgramCode, UserCode, MainTable, DatabaseName, CompanyCode);
        }
        DesignForm->SetSQLBuilderOn(UseSQLBuilder);
        setEnabled(false);
        // A disabled form disables its child windows too: the design form
        // is a window of its own and stays usable.
        if (auto* window = dynamic_cast<QWidget*>(DesignForm)) window->setEnabled(true);
        DesignForm->StartDesigner();
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        setEnabled(true);
        FreeFormat(DesignForm);
    }
}

void TfrmVRBaseOpt::CloseDesigner()
{
    setEnabled(true);
    if (DesignForm) {
        // The designer calls this from its own window's handler when it goes
        // inactive: the layout is let go after that handler, and forgotten
        // first, so a close that comes back here finds nothing to close.
        TVRFormatForm* design = DesignForm;
        DesignForm = nullptr;
        design->CloseDesigner();
        ReleaseFormat(design);
    }
    LoadStyleList();
    raise();
    activateWindow();
}

void TfrmVRBaseOpt::btnPrintSetupClick()
{
    TQRPrinter printer;
    printer.SetHeadless(TDialogService::Headless());
    printer.SetPrinterIndex(PrinterIndex);
    if (printer.PrintSetup()) PrinterIndex = printer.PrinterIndex();
}

void TfrmVRBaseOpt::btnPaperSizeClick()
{
    const TVRFormatFormClass makeFormat = FindFormatClass(FormatClassName);
    if (!makeFormat) {
        ShowMsg(FormText("sNoFormat", QStringLiteral("报表格式 %s 不在本程序中!"), FormatClassName), mtError, {mbOK});
        return;
    }
    try {
        THostObject(HostObject).SetFormCreateStyle(cboFormStyleName->Text());
    } catch (const std::exception&) {
    }
    TVRFormatForm* format = nullptr;
    int paper = 0, units = 0;
    double width = 0, length = 0;
    try {
        format = makeFormat(this);
        format->StyleName = StoredStyleName();
        QApplication::processEvents();
        format->PageInfo(paper, width, length, units);
    } catch (const std::exception& e) {
        // A layout that cannot be read says why, instead of leaving the click handler.
        FreeFormat(format);
        ShowRunFailure(QString::fromUtf8(e.what()));
        return;
    }
    ShowMessageRef(QStringLiteral("I"), QStringLiteral("000012"),
                   {moPaperSize->Lines().value(paper), QString::number(width), QString::number(length),
                    moUnits->Lines().value(units)},
                   3);
    FreeFormat(format);
}

// ------------------------------------------------------------------ life

void TfrmVRBaseOpt::FormShow()
{
    TfrmBaseGene::FormShow();
    pgOption->SetActivePageIndex(0);
    pgOptionChange();
    try {
        LoadConditionSets();
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
    }
    resize(std::max(width(), 655), height());
    lstCondition->setMinimumHeight(std::max(0, pgOption->height() - ToolBar1->height() - 30));
}

void TfrmVRBaseOpt::tsOption2Show()
{
    TfrmBaseGene::tsOption2Show();
    resize(std::max(width(), 708), height());
    btnDelFormStype->SetBounds(cboFormStyleName->x() + cboFormStyleName->width() + 2, cboFormStyleName->y(),
                               cboFormStyleName->height(), cboFormStyleName->height());
}

void TfrmVRBaseOpt::FormDestroy()
{
    if (DesignForm) FreeFormat(DesignForm);
    CompanyInfo.clear();
    TfrmBaseGene::FormDestroy();
}

}  // namespace kelm24
