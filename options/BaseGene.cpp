#include "options/BaseGene.h"

#include "options/FormParts.h"

#include "controls/F2Message.h"
#include "controls/GlyphLibrary.h"
#include "controls/Grids.h"
#include "i18n/WidgetText.h"
#include "format/engine/ClientDataSet.h"
#include "format/engine/DataSetTexts.h"
#include "runtime/ModulePath.h"
#include "platform/socketconn/SocketConnection.h"
#include "runtime/CorvaneIni.h"
#include "runtime/DateText.h"
#include "runtime/TextUtils.h"

#include <QAbstractItemView>
#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QScreen>
#include <QShowEvent>
#include <QUrl>

namespace kelm24 {

namespace {

TToolButton* MakeToolButton(TToolBar* bar, const char* name, const QString& caption, const QString& hint, int image)
{
    auto* b = new TToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetImageIndex(image);
    return b;
}

// Stand-alone builds start with these parameters: a user and twice a company.
const QString StandAloneUser = QStringLiteral("DS");
const QString StandAloneCompany = QStringLiteral("DEMO");

}  // namespace

TfrmBaseGene::TfrmBaseGene(QWidget* Owner) : TQVForm(Owner)
{
    setObjectName(QStringLiteral("frmBaseGene"));
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(13);
    setFont(f);
    resize(509, 355);
    SetKeyPreview(true);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    BuildComponents();
    OnDestroy = TNotifyEvent{this, [this](QObject*) { FormDestroy(); }};
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) LastFocused = now;
    });
}

TfrmBaseGene::~TfrmBaseGene()
{
    BeginDestroy(this);
}

TVROptForm* TfrmBaseGene::CreateForm(QWidget* Owner)
{
    return Create<TfrmBaseGene>(Owner);
}

void TfrmBaseGene::BuildComponents()
{
    Panel1 = MakeControl<TPanel>(this, "Panel1");
    Panel1->SetAlign(ctl::alBottom);
    Panel1->SetHeight(43);
    Panel1->SetBevelOuter(TPanel::bvNone);
    btnOk = MakeControl<TBitBtn>(Panel1, "btnOk");
    btnOk->SetCaption(QStringLiteral("确定"));
    btnOk->SetHint(QStringLiteral("确定"));
    btnCancel = MakeControl<TBitBtn>(Panel1, "btnCancel");
    btnCancel->SetCaption(QStringLiteral("取消"));
    btnCancel->SetHint(QStringLiteral("取消"));
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    for (TBitBtn* b : {btnOk, btnCancel}) b->resize(75, 25);

    pnlCondition = MakeControl<TPanel>(this, "pnlCondition");
    pnlCondition->SetAlign(ctl::alLeft);
    pnlCondition->SetWidth(151);
    pnlCondition->SetBevelOuter(TPanel::bvNone);
    lblCondition = MakeControl<TLabel>(pnlCondition, "lblCondition");
    lblCondition->SetCaption(QStringLiteral(" 条件方案"));
    lblCondition->SetAlign(ctl::alTop);
    ImageList1 = new TImageList(this);
    ImageList1->setObjectName(QStringLiteral("ImageList1"));
    ImageList2 = new TImageList(this);
    ImageList2->setObjectName(QStringLiteral("ImageList2"));
    ImageList2->SetWidth(24);
    ImageList2->SetHeight(24);
    // Image 0 marks a condition set; 1 to 4 are the tool buttons' pictures.
    try {
        for (int glyph : {8, 1, 2, 3, 7}) {
            const QImage strip = LoadGlyph(glyph);
            const QImage cell = strip.copy(0, 0, strip.height(), strip.height());
            ImageList1->Add(cell);
            ImageList2->Add(cell);
        }
    } catch (const Exception&) {
        // Without the glyph library the buttons show their captions.
    }
    ToolBar1 = MakeControl<TToolBar>(pnlCondition, "ToolBar1");
    ToolBar1->SetAlign(ctl::alTop);
    ToolBar1->SetFlat(true);
    ToolBar1->SetButtonWidth(25);
    ToolBar1->SetButtonHeight(24);
    ToolBar1->SetImages(ImageList1);
    btnInsert = MakeToolButton(ToolBar1, "btnInsert", QStringLiteral("保存(&S)"), QStringLiteral("保存"), 1);
    btnOpen = MakeToolButton(ToolBar1, "btnOpen", QStringLiteral("开启(&O)"), QStringLiteral("开启"), 2);
    btnDelete = MakeToolButton(ToolBar1, "btnDelete", QStringLiteral("删除(&D)"), QStringLiteral("删除"), 3);
    ToolButton1 = MakeToolButton(ToolBar1, "ToolButton1", QString(), QString(), 4);
    ToolButton1->SetStyle(TToolButton::tbsDropDown);
    lstCondition = MakeControl<TListView>(pnlCondition, "lstCondition");
    lstCondition->SetAlign(ctl::alClient);
    lstCondition->SetSortedByText(true);
    lstCondition->SetColumnClick(false);
    lstCondition->SetLargeImages(ImageList2);
    lstCondition->SetSmallImages(ImageList1);

    muOperation = new TPopupMenu(this);
    muOperation->setObjectName(QStringLiteral("muOperation"));
    nuOpen = muOperation->AddItem(QStringLiteral("nuOpen"), QStringLiteral("开启(&O)"));
    nuDelete = muOperation->AddItem(QStringLiteral("nuDelete"), QStringLiteral("删除(&D)"));
    muOperation->AttachTo(lstCondition);
    mnList = new TPopupMenu(this);
    mnList->setObjectName(QStringLiteral("mnList"));
    ViewIcon = mnList->AddItem(QStringLiteral("ViewIcon"), QStringLiteral("大型图标(&G)"));
    ViewSmallIcon = mnList->AddItem(QStringLiteral("ViewSmallIcon"), QStringLiteral("小型图标(&M)"));
    ViewList = mnList->AddItem(QStringLiteral("ViewList"), QStringLiteral("清单(&L)"));
    ViewReport = mnList->AddItem(QStringLiteral("ViewReport"), QStringLiteral("详细信息(&D)"));
    for (TMenuItem* item : {ViewIcon, ViewSmallIcon, ViewList, ViewReport}) item->SetRadioItem(true);
    ViewIcon->SetChecked(true);
    ToolButton1->SetDropdownMenu(mnList);

    Splitter1 = MakeControl<TSplitter>(this, "Splitter1");
    Splitter1->SetAlign(ctl::alLeft);
    Splitter1->SetWidth(3);

    pgOption = MakeControl<TExtPageControl>(this, "pgOption");
    pgOption->SetAlign(ctl::alClient);
    pgOption->SetHint(QStringLiteral("请输入选项条件"));
    tsOption1 = new TTabSheet(pgOption);
    tsOption1->setObjectName(QStringLiteral("tsOption1"));
    tsOption1->SetCaption(QStringLiteral("基本选项"));
    tsOption2 = new TTabSheet(pgOption);
    tsOption2->setObjectName(QStringLiteral("tsOption2"));
    tsOption2->SetCaption(QStringLiteral("系统选项"));
    edPrintDate = MakeControl<TMaskEdit>(tsOption2, "edPrintDate");
    edPrintDate->SetHint(QStringLiteral("[F2]日期快手"));
    edPrintDate->SetBounds(60, 8, 85, 21);
    lblToday = MakeControl<TDBLabel>(tsOption2, "lblToday");
    lblToday->SetCaption(QStringLiteral("制表日期"));
    lblToday->SetFocusControl(edPrintDate);
    btnPrintDate = MakeControl<TF2Button>(tsOption2, "btnPrintDate");
    btnPrintDate->SetF2Control(edPrintDate);
    btnPrintDate->SetFlat(true);
    btnPrintDate->SetHint(QStringLiteral("日期快手"));
    try {
        btnPrintDate->SetGlyphIndex(9);
    } catch (const Exception&) {
        // No glyph library: the button shows no picture.
    }

    ClientDataSet1 = new TClientDataSet(this, QStringLiteral("ClientDataSet1"));
    ClientDataSet1->SetProviderName(QStringLiteral("pvdConSave"));
    MainMidas = std::make_unique<TSocketConnection>();

    // The handlers of the frame.
    btnOk->OnClick = TNotifyEvent{this, [this](QObject*) { btnOkClick(); }};
    btnCancel->OnClick = TNotifyEvent{this, [this](QObject*) { btnCancelClick(); }};
    connect(btnInsert, &QToolButton::clicked, this, [this] { btnInsertClick(); });
    connect(btnOpen, &QToolButton::clicked, this, [this] { btnOpenClick(); });
    connect(btnDelete, &QToolButton::clicked, this, [this] { btnDeleteClick(); });
    connect(ToolButton1, &QToolButton::clicked, this, [this] { ToolButton1Click(); });
    nuOpen->OnClick = TNotifyEvent{this, [this](QObject*) { btnOpenClick(); }};
    nuDelete->OnClick = TNotifyEvent{this, [this](QObject*) { btnDeleteClick(); }};
    ViewIcon->OnClick = TNotifyEvent{this, [this](QObject*) { ViewIconExecute(); }};
    ViewSmallIcon->OnClick = TNotifyEvent{this, [this](QObject*) { ViewSmallIconExecute(); }};
    ViewList->OnClick = TNotifyEvent{this, [this](QObject*) { ViewListExecute(); }};
    ViewReport->OnClick = TNotifyEvent{this, [this](QObject*) { ViewReportExecute(); }};
    lstCondition->OnDblClick = TNotifyEvent{this, [this](QObject*) { btnOpenClick(); }};
    lstCondition->OnEdited = [this](QObject*, TListItem* item, QString& s) { lstConditionEdited(item, s); };
    pgOption->OnChange = TNotifyEvent{this, [this](QObject*) { pgOptionChange(); }};
    pgOption->OnChanging = [this](QObject*, bool& allow) { pgOptionChanging(allow); };
    tsOption2->OnShow = TNotifyEvent{this, [this](QObject*) { tsOption2Show(); }};
    RealignControls(this);
}

void TfrmBaseGene::FormCreate()
{
    TQVForm::FormCreate();
    VersionText = QStringLiteral("870401-0.00.00");
    for (TEdit* edit : findChildren<TEdit*>()) edit->SetText(QString());
    OnDateFieldEnter = TNotifyEvent{this, [this](QObject* s) { DateFieldEnter(s); }};
    OnDateFieldExit = TNotifyEvent{this, [this](QObject* s) { DateFieldExit(s); }};
    OnRequiredExit = TNotifyEvent{this, [this](QObject* s) { RequiredExit(s); }};
    ValidationFailed = false;
    SystemPageDone = false;
    LastFocused = this;
    SimpleMode = true;
    LocalizeDataSets();
    DateRules.clear();
}

bool TfrmBaseGene::ModuleIsLibrary() const
{
    const QString suffix = QFileInfo(ModulePath).suffix();
    return suffix.compare(QLatin1String("so"), Qt::CaseInsensitive) == 0 ||
           suffix.compare(QLatin1String("dll"), Qt::CaseInsensitive) == 0;
}

QString TfrmBaseGene::ProgramCodeFromModule(const QString& ModulePath)
{
    const QFileInfo info(ModulePath);
    QString name = info.completeBaseName();
    const QString suffix = info.suffix().toLower();
    const bool library = suffix == QLatin1String("so") || suffix == QLatin1String("dll");
    // Shared libraries carry the platform's "lib" prefix: libKelm24C.so is Kelm24C.
    if (suffix == QLatin1String("so") && name.startsWith(QLatin1String("lib"))) name = name.mid(3);
    const int keep = std::max(6, int(name.size()) - (library ? 1 : 2));
    return name.left(keep).toUpper();
}

void TfrmBaseGene::SetModulePath(const QString& Path)
{
    ModulePath = Path;
    if (ModuleIsLibrary()) return;
    InitFromHost(Variant::ArrayOf({StandAloneUser, StandAloneCompany, StandAloneCompany}));
}

void TfrmBaseGene::SetHostParams(const Variant& Params)
{
    UserCode = Params[Params.LowBound()].ToString();
    CompanyCode = Params[Params.LowBound() + 1].ToString();
    DatabaseName = Params[Params.LowBound() + 2].ToString();
}

void TfrmBaseGene::SetOptionCount(int N)
{
    OptionCount = OptionCount <= OptionBase ? N + OptionBase : N;
}

bool TfrmBaseGene::InitFromHost(const Variant& Params)
{
    if (!CompanyCode.isEmpty()) return false;
    SysInfo.clear();
    PageEndControls.clear();
    SavedColoursList.clear();
    BoundEvents.clear();
    F2Window = Validator = Counter = Variant();
    OptionBase = 1;
    ErrorCodes.clear();
    ErrorTexts.clear();
    edPrintDate->SetText(QString());
    HostCommand = Variant::Null();
    HostListOk = true;
    AutoRunPending = false;
    try {
        const int count = Params.IsArray() ? Params.Count() : 0;
        if (count < 3) throw Exception(QStringLiteral("主程序传入的参数不足"));
        const int low = Params.LowBound();
        HostWindow = count > 3 ? qintptr(Params[low + 3].ToInt64()) : 0;
        if (count > 4) HostExtra = Params[low + 4];
        else ReportError(msgref::FewHostParams);
        hide();
        SetHostParams(Params);
        ReadHostProduct();
        const QString formPart = objectName().mid(3, 3);
        if (formPart.compare(ProgramCode.left(3), Qt::CaseInsensitive) != 0) {
            ReportError(msgref::WrongProgram);
            return false;
        }
        if (!ConnectServer()) {
            ReportError(msgref::NoAppServer);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        return false;
    }
}

bool TfrmBaseGene::ConnectServer()
{
    MainMidas->Close();
    if (!ErrorCodes.isEmpty()) {
        // Start-up has failed already: the user sees what was collected.
        ShowDialog(ErrorTexts, mtError, {mbOK});
        return false;
    }
    try {
        const TCorvaneIniC settings;
        const Variant& servers = settings.Servers;
        if (!servers.IsArray() || servers.DimCount() != 2)
            throw Exception(QStringLiteral("没有设定应用服务器的地址"));
        const int col = servers.LowBound(2);
        MainMidas->Address = servers.At(servers.LowBound(1), col).ToString().trimmed();
        MainMidas->Port = servers.At(servers.LowBound(1) + 1, col).ToInt();
        MainMidas->ServerName = ServerProgId;
        // Over the network the connection signs in as the host's user, with
        // that user's credential file.
        MainMidas->User = UserCode;
        MainMidas->Tls = settings.ServerTls;
        MainMidas->TlsCaFile = settings.ServerCaFile;
        AfterServerConnect(MainMidas.get());
        if (!MainMidas->ServerName.isEmpty()) BindAppServer();
        return true;
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
        return false;
    }
}

void TfrmBaseGene::BindAppServer()
{
    AppServer = Variant();
    MainMidas->Close();
    LocalServer = IsLocalAddress(MainMidas->Address);
    if (LocalServer) {
        AppServer = CreateOleObject(MainMidas->ServerName);
    } else {
        MainMidas->Open();
        AppServer = MainMidas->AppServer();
    }
    ClientDataSet1->SetRemoteServer(AppServer);
}

void TfrmBaseGene::AfterServerConnect(TSocketConnection* Connection)
{
    Q_UNUSED(Connection);
}

void TfrmBaseGene::ReadHostProduct()
{
    SaveColours();
    CreateHostServices();
    const THostObject host(HostObject);
    try {
        VersionType = host.VersionType();
    } catch (const std::exception&) {
        VersionType = 0;
    }
    try {
        ProductId = host.ProductID();
    } catch (const std::exception&) {
        ProductId = 3;
    }
    SetProgramInfo();
    ServerProgId = AppServerProgId(ProgramCode);
    ReadProgramMaster();
    CreateF2Window();
}

void TfrmBaseGene::SetProgramInfo()
{
    SetDateFields(QStringLiteral("edPrintDate"));
    ProgramKind = QStringLiteral("R");
    EnvCount = 9;
    HostFeatures = 0;
    ProgramCode = ProgramCodeFromModule(ModulePath);
    OptionCount = 0;
}

void TfrmBaseGene::LocalizeDataSets()
{
    LocalizeClientDataSets(this, DisplayConversion());
}

void TfrmBaseGene::PickPhrase(QWidget* Control)
{
    const TF2WindowObject window(F2Window);
    if (!window.Assigned() || !Control) return;
    QString phrase;
    try {
        phrase = window.GetPhrase(UserCode, DatabaseName, int(winId()));
    } catch (const std::exception&) {
        return;
    }
    if (Converter() && SystemCodePage() != UICodePage()) phrase = Converter()->ToDisplay(phrase);
    if (!phrase.isEmpty()) WriteTextProperty(Control, QStringLiteral("Text"), phrase);
}

QString TfrmBaseGene::CaptionText() const
{
    QString caption = CaptionName;
    if (ProductId == 5) {
        caption += const_cast<TfrmBaseGene*>(this)->LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sPublicVer"),
                                                             QStringLiteral("-普及版"));
    }
    return caption + QStringLiteral("[") + SystemTitle + QStringLiteral("]");
}

bool TfrmBaseGene::BuildConditionResult()
{
    if (EnvCount <= 0 || (OptionCount <= 0 && !AutoRunPending)) {
        ShowMessageRef(QStringLiteral("I"), QStringLiteral("000003"), {QString()}, 0);
        return false;
    }
    Variant env = Variant::CreateArray(1, EnvCount);
    Variant captions = Variant::CreateArray(1, std::max(OptionCount, 0));
    Variant values = Variant::CreateArray(1, std::max(OptionCount, 0));
    // Checks one collected array: its size and that no element is empty.
    auto checked = [this](const Variant& array, int size, const QString& key, const QString& fallback) {
        const QString what = LangText(QStringLiteral("TfrmBaseGene"), key, fallback);
        if (array.HighBound() != size) {
            ShowMessageRef(QStringLiteral("W"), QStringLiteral("000002"), {what, size, array.HighBound()}, 2);
            return false;
        }
        for (int i = 1; i <= size; ++i) {
            if (array[i].IsEmpty()) {
                ShowMessageRef(QStringLiteral("W"), QStringLiteral("000003"), {what, size, i}, 2);
                return false;
            }
        }
        return true;
    };
    if (!GetOptionCaptions(captions, OptionCount - OptionBase)) return false;
    if (!checked(captions, OptionCount, QStringLiteral("sOption"), QStringLiteral("选择条件文字"))) return false;
    if (!GetOptionValues(values, OptionCount - OptionBase)) return false;
    if (!checked(values, OptionCount, QStringLiteral("sOptionInf"), QStringLiteral("选择条件信息"))) return false;
    if (!GetEnvSettings(env, EnvCount)) return false;
    if (!checked(env, EnvCount, QStringLiteral("sEnvSetting"), QStringLiteral("环境设置"))) return false;
    const bool convert = Converter() != nullptr;
    ConditionResult = Variant::ArrayOf(
        {env, convert ? Converter()->FromDisplay(captions) : captions, convert ? Converter()->FromDisplay(values) : values});
    return true;
}

bool TfrmBaseGene::GetOptionValues(Variant& Values, int Count)
{
    try {
        const QString text = edPrintDate->Text().trimmed();
        const QString sep = DateSeparator();
        QString value;
        if (!text.isEmpty() && !text.startsWith(sep) && !text.endsWith(sep)) value = DateToInternal(text);
        Values[OptionBase + Count] = value;
        return true;
    } catch (const std::exception&) {
        ReportError(msgref::CollectFailed);
        return false;
    }
}

bool TfrmBaseGene::GetOptionCaptions(Variant& Captions, int Count)
{
    CollectingCaptions = true;
    try {
        Captions[OptionBase + Count] = Variant::ArrayOf({lblToday->Caption(), QStringLiteral("edPrintDate")});
        return true;
    } catch (const std::exception&) {
        ReportError(msgref::CollectFailed + QStringLiteral(";") + GetMessageText(QStringLiteral("I"), QStringLiteral("000011")));
        return false;
    }
}

bool TfrmBaseGene::GetEnvSettings(Variant& Env, int Count)
{
    Q_UNUSED(Count);
    Env[1] = ProgramCode.toUpper();
    Env[2] = EnvCount;
    Env[3] = OptionCount;
    Env[4] = CompanyCode;
    Env[5] = UserCode;
    Env[6] = DatabaseName;
    Env[7] = Variant::FromDate(DateToValue(QDate::currentDate()) +
                               QTime::currentTime().msecsSinceStartOfDay() / 86400000.0);
    Env[8] = ServerProgId;
    Env[9] = ProgramKind.toUpper();
    return true;
}

bool TfrmBaseGene::ApplyHostListAlt(const Variant& List)
{
    Q_UNUSED(List);
    return false;
}

bool TfrmBaseGene::AutoExecute(int Mode)
{
    Q_UNUSED(Mode);
    return true;
}

void TfrmBaseGene::BeforeRestoreValue(QWidget* Control, const QString& Value)
{
    Q_UNUSED(Control);
    Q_UNUSED(Value);
}

void TfrmBaseGene::AfterRestoreValue(QWidget* Control, const QString& Value)
{
    Q_UNUSED(Control);
    Q_UNUSED(Value);
}

void TfrmBaseGene::ApplyPowerData(const Variant& Data)
{
    auto element = [&Data](int i) {
        return Data.IsArray() && i >= Data.LowBound() && i <= Data.HighBound() ? Data[i] : Variant();
    };
    const QStringList fields = element(1).IsText() ? element(1).ToString().split(QLatin1Char(',')) : QStringList();
    auto field = [&fields](int i) { return i < fields.size() ? fields[i] : QString(); };
    // Element 1 is "name,super user,Y,rights,group,department"; group and
    // department are read from elements 2 and 3, which hold them whole.
    UserName = field(0);
    SuperUser = field(1) == QLatin1String("Y");
    UserRights = field(3);
    Rights7Allowed = UserRights.size() < 7 || UserRights.at(6) != QLatin1Char('N');
    PricesAllowed = UserRights.size() < 8 || UserRights.at(7) != QLatin1Char('N');
    auto text = [&element](int i) {
        const Variant v = element(i);
        return v.IsEmpty() || v.IsNull() || v.IsArray() ? QString() : v.ToString();
    };
    UserGroup = text(2);
    UserDepartment = text(3);
    PermissionText = element(5).IsArray() ? PackList(text(4), element(5)) : QString();
    PrintSettingsLoaded();
}

void TfrmBaseGene::ApplyHostCommand(const Variant& Command)
{
    const Variant c = Command.IsArray() && Command.HighBound() >= 1 ? Command[Command.LowBound() + 1] : Command;
    HostCommand = c;
    const int mode = c.IsArray() ? c[c.LowBound()].ToInt() : 0;
    SimpleMode = mode == 0 || mode == 1;
    bool applied = false;
    if (c.IsArray() && c.HighBound() >= c.LowBound() + 1) {
        const Variant part = c[c.LowBound() + 1];
        if (part.IsArray() && part.Count() > 0) {
            HostListOk = part[part.LowBound()].ToBool();
            const Variant list = part.HighBound() > part.LowBound() ? part[part.LowBound() + 1] : Variant();
            if (list.IsArray() && list.Count() > 0) {
                applied = HostListOk ? CheckHostList(list) : ApplyHostListAlt(list);
                AutoRunPending = applied && mode != 0;
            }
        }
    }
    if (!FormConverted()) {
        ConvertForm();
        if (SystemCodePage() == QLatin1String("950") && Converter()) {
            CaptionName = Converter()->GBToBig5(CaptionName);
            SetCaption(CaptionText());
        }
    }
    if (mode > 2 && applied) AutoExecute(mode);
    else if (AutoRunPending) btnOk->Click();
}

bool TfrmBaseGene::CheckHostList(const Variant& List)
{
    const Variant items = List.IsArray() && List.Count() > 0 ? List[List.LowBound()] : Variant();
    if (!items.IsArray()) return true;
    for (int i = items.LowBound(); i <= items.HighBound(); ++i) {
        bool ok = false;
        try {
            const Variant item = items[i];
            QWidget* control = FindControl(item[item.LowBound() + 1].ToString());
            if (control) {
                ok = qobject_cast<TSelectPanel*>(control) || qobject_cast<QComboBox*>(control);
                for (const char* property : {"ItemIndex", "Checked", "Text", "Lines"}) {
                    if (!ok && control->metaObject()->indexOfProperty(property) >= 0) ok = true;
                }
            }
        } catch (const std::exception&) {
            ok = false;
        }
        if (!ok) {
            ReportError(msgref::BadHostList);
            return false;
        }
    }
    return true;
}

QWidget* TfrmBaseGene::FindControl(const QString& Name) const
{
    return Name.isEmpty() ? nullptr : findChild<QWidget*>(Name);
}

void TfrmBaseGene::ShowHelp()
{
    const QString p = ProgramCode;
    QChar c = p.size() > 3 ? p.at(3).toUpper() : QChar();
    QString text;
    if (c == QLatin1Char('A') || c == QLatin1Char('M')) {
        text = c == QLatin1Char('A') ? QStringLiteral("6") : QStringLiteral("8");
        c = p.size() > 4 ? p.at(4).toUpper() : QChar();
    } else {
        text = QStringLiteral("1");
    }
    if (c == QLatin1Char('B')) text += QLatin1Char('3');
    else if (c == QLatin1Char('R')) text += QLatin1Char('2');
    else return;  // no help for this program
    text += p.right(2) + QStringLiteral("0000");
    try {
        THostObject(HostObject).CallHelp(p.left(3), text);
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
    }
}

// A plain condition form has no report to run: the report option forms
// override the runs.
bool TfrmBaseGene::ExecuteReport(bool APreview)
{
    Q_UNUSED(APreview);
    ReportException(QStringLiteral("%1 没有可运行的报表").arg(ControlClassName(this)));
    return false;
}

bool TfrmBaseGene::ExecuteForHost(const Variant& AParams, bool APreview)
{
    Q_UNUSED(AParams);
    return ExecuteReport(APreview);
}

bool TfrmBaseGene::ExportForHost(const Variant& AParams, int AFileType, const QString& APath, int AResolution,
                                 const QString& AExtra)
{
    Q_UNUSED(AParams);
    Q_UNUSED(AFileType);
    Q_UNUSED(APath);
    Q_UNUSED(AResolution);
    Q_UNUSED(AExtra);
    return ExecuteReport(false);
}

// ------------------------------------------------------------------ life

int TfrmBaseGene::ShowModal()
{
    return TQVForm::ShowModal();
}

void TfrmBaseGene::FormShow()
{
    TQVForm::FormShow();
    SetCaption(CaptionText());
    pgOption->SetActivePageIndex(0);
    pgOptionChange();
    ConvertForm();
    lstCondition->ClearColumns();
    TListColumn* name = lstCondition->AddColumn(LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sProjectName"),
                                                         QStringLiteral("方案名称")));
    name->SetAutoSize(true);
    name->SetAlignment(ctl::taRightJustify);
    TListColumn* created = lstCondition->AddColumn(
        LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sCreateTime"), QStringLiteral("创建时间")));
    created->SetAutoSize(true);
    created->SetAlignment(ctl::taLeftJustify);
    try {
        LoadConditionSets();
    } catch (const std::exception& e) {
        ReportException(QString::fromUtf8(e.what()));
    }
}

void TfrmBaseGene::showEvent(QShowEvent* e)
{
    TQVForm::showEvent(e);
    // The show is announced once every level of the form has shown itself.
    if (!e->spontaneous()) DoShow();
}

void TfrmBaseGene::FormClose(TCloseAction& Action)
{
    Action = caFree;
}

void TfrmBaseGene::btnCancelClick()
{
    if (InModalLoop()) SetModalResult(mrCancel);
    Close();
}

void TfrmBaseGene::FormDestroy()
{
    SysInfo.clear();
    PageEndControls.clear();
    SavedColoursList.clear();
    BoundEvents.clear();
    F2Window = Validator = Counter = Variant();
    if (!LocalServer) MainMidas->Close();
    AppServer = Variant();
    ClientDataSet1->SetRemoteServer(Variant());
    HostObject = Variant();
}

bool TfrmBaseGene::event(QEvent* e)
{
    if (e->type() == TF2MessageEvent::Type()) {
        DoF2Key(Qt::Key_F2, static_cast<TF2MessageEvent*>(e)->Control());
        return true;
    }
    if (e->type() == QEvent::DeferredDelete) {
        // A released form: its OnDestroy runs while it is still whole.
        BeginDestroy(this);
    }
    if (e->type() == QEvent::Hide && !e->spontaneous()) DoHide();
    return TQVForm::event(e);
}

void TfrmBaseGene::moveEvent(QMoveEvent* e)
{
    TQVForm::moveEvent(e);
    RepaintHostWindow();
}

void TfrmBaseGene::resizeEvent(QResizeEvent* e)
{
    TQVForm::resizeEvent(e);
    RealignControls(this);
    ArrangeButtons();
    RepaintHostWindow();
}

void TfrmBaseGene::ArrangeButtons()
{
    QList<QWidget*> buttons;
    for (QObject* child : Panel1->children()) {
        auto* button = qobject_cast<TButton*>(child);
        if (button && button != btnCancel && !button->isHidden()) buttons << button;
    }
    buttons << btnCancel;
    int x = Panel1->width() - 8;
    for (auto it = buttons.rbegin(); it != buttons.rend(); ++it) {
        x -= (*it)->width();
        (*it)->move(x, 9);
        x -= 6;
    }
}

void TfrmBaseGene::RepaintHostWindow()
{
    if (HostWindow == 0) return;
    if (QWidget* host = QWidget::find(WId(HostWindow))) host->update();
}

// ------------------------------------------------------------------ pages

void TfrmBaseGene::FocusFirstControl()
{
    TTabSheet* page = pgOption->ActivePage();
    if (!page) return;
    QWidget* w = page;
    do {
        w = w->nextInFocusChain();
        if (!page->isAncestorOf(w)) continue;
        if (!w->isEnabled() || !w->isVisibleTo(page) || !(w->focusPolicy() & Qt::TabFocus)) continue;
        for (QWidget* p = w->parentWidget(); p && p != page; p = p->parentWidget()) {
            if (auto* panel = qobject_cast<TSelectPanel*>(p)) {
                panel->SetFocus();
                return;
            }
        }
        w->setFocus(Qt::TabFocusReason);
        return;
    } while (w != page);
}

void TfrmBaseGene::pgOptionChange()
{
    FocusFirstControl();
}

void TfrmBaseGene::RunActiveExit()
{
    QWidget* focused = QApplication::focusWidget();
    if (!focused || focused->window() != this) return;
    for (QWidget* p = focused; p && p != this; p = p->parentWidget()) {
        if (auto* panel = qobject_cast<TSelectPanel*>(p)) {
            panel->DoExit();
            return;
        }
    }
    if (auto* events = dynamic_cast<TControlEvents*>(focused)) TControlEvents::Fire(events->OnExit, focused);
}

void TfrmBaseGene::pgOptionChanging(bool& AllowChange)
{
    InExitCheck = true;
    RunActiveExit();
    InExitCheck = false;
    AllowChange = !ValidationFailed;
}

void TfrmBaseGene::tsOption2Show()
{
    if (SystemPageDone) return;
    SystemPageDone = true;
    ArrangeSystemPage();
}

void TfrmBaseGene::ArrangeSystemPage()
{
    QFont f = font();
    f.setPointSize(9);
    tsOption2->setFont(f);
    resize(std::max(width(), 315), std::max(height(), 110));
    lblToday->move(8, 12);
    lblToday->SetAutoSize(true);
    edPrintDate->SetBounds(60, 8, 85, edPrintDate->height());
    btnPrintDate->AlignToControl();
}

// ------------------------------------------------------------------ keys

bool TfrmBaseGene::IsPageEndControl(QWidget* Control) const
{
    for (const QPointer<QWidget>& listed : PageEndControls) {
        if (!listed) continue;
        if (listed == Control) return true;
        if (auto* panel = qobject_cast<TSelectPanel*>(listed.data())) {
            if (Control == panel->edBegin || Control == panel->edFinal) return true;
        } else if (qobject_cast<QAbstractButton*>(Control) && listed->isAncestorOf(Control) &&
                   qobject_cast<QGroupBox*>(listed.data())) {
            return true;  // a button of a listed radio group
        }
    }
    return false;
}

bool TfrmBaseGene::HandleEnter(QWidget* Control)
{
    // Editors inside a list (a condition set being renamed) keep their Enter.
    TStringGrid* grid = nullptr;
    for (QWidget* p = Control; p && p != this; p = p->parentWidget()) {
        if ((grid = qobject_cast<TStringGrid*>(p))) break;
        if (p != Control && qobject_cast<QAbstractItemView*>(p)) return false;
    }
    if (grid) {
        int col = grid->Col(), row = grid->Row();
        if (col + 1 < grid->ColCount()) {
            ++col;
        } else {
            if (row + 1 >= grid->RowCount()) grid->SetRowCount(grid->RowCount() + 1);
            ++row;
            col = grid->FixedCols();
        }
        grid->SetCurrentCell(col, row);
        grid->setFocus();
        return true;
    }
    if (auto* memo = qobject_cast<TMemo*>(Control)) {
        if (memo->CaretLine() < 2) return false;  // a line break in the memo
    }
    if (IsPageEndControl(Control)) {
        const int index = pgOption->ActivePageIndex();
        int last = -1;
        for (int i = 0; i < pgOption->PageCount(); ++i) {
            if (pgOption->Page(i)->TabVisible()) last = i;
        }
        if (index < last) pgOption->SelectNextPage(true);
        return true;
    }
    focusNextChild();
    return true;
}

void TfrmBaseGene::FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    const bool ctrl = Shift & Qt::ControlModifier;
    const bool shift = Shift & Qt::ShiftModifier;
    switch (Key) {
    case Qt::Key_Escape:
        Key = 0;
        btnCancelClick();
        return;
    case Qt::Key_F1:
        Key = 0;
        ShowHelp();
        return;
    case Qt::Key_F2:
        Key = 0;
        DoF2Key(Qt::Key_F2, Sender == this ? nullptr : Sender);
        return;
    case Qt::Key_V:
        if (ctrl && (Shift & Qt::AltModifier)) {
            Key = 0;
            if (!TDialogService::Headless())
                QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(ModulePath).absolutePath()));
        }
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (ctrl) {
            const bool forward = !(shift || Key == Qt::Key_Backtab);
            Key = 0;
            pgOption->SelectNextPage(forward);
        }
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (ctrl) {
            const bool forward = Key == Qt::Key_PageDown;
            Key = 0;
            pgOption->SelectNextPage(forward);
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (HandleEnter(Sender)) Key = 0;
        return;
    default:
        return;
    }
}

}  // namespace kelm24
