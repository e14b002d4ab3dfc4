#include "options/Kelm24OptF.h"

#include "options/FormParts.h"

namespace kelm24 {

namespace {

const QString DetailLayout = QStringLiteral("TfrmKelm24Fmt");
const QString SummaryLayout = QStringLiteral("TfrmKelm24Fmt_1");
const QString TypeCaption = QStringLiteral("选择进货单别");
// Receipt types are of document system "34" (purchase) and kind "28" (receipt).
const QString ReceiptSystem = QStringLiteral("34");
const QString ReceiptKind = QStringLiteral("28");

// The layout texts that print prices and amounts.
const QStringList DetailPriceTexts = {
    "txtTH018", "txtTH019", "txtTH020", "txtTH024", "txtTH019T", "txtTG017", "txtTG020", "txtTG028",
    "txtTG019T", "txtTG019", "txtTG018", "txtTH045", "txtTH046", "txtTH047", "txtTH048", "txtTG031",
    "txtTG032", "txtTG031T", "txtTG041", "txtTH052", "txtTG017A", "txtTG018A", "txtTG028A", "txtTG031A",
    "txtTG032A", "txtTG019A", "txtTG041A", "txtTG020A", "txtTG019TA", "txtTG031TA"};
const QStringList SummaryPriceTexts = {
    "txtTH018", "txtTH019", "txtTH020", "txtTH024", "txtTH019T", "txtTG017", "txtTG020", "txtTG028", "txtTG019T",
    "txtTG019", "txtTG018", "txtTG031", "txtTG032", "txtTG031T", "txtTG041", "txtTG017A", "txtTG018A", "txtTG028A",
    "txtTG031A", "txtTG032A", "txtTG019A", "txtTG041A", "txtTG020A", "txtTG019TA", "txtTG031TA"};

const QStringList CapitalWords = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖", "仟",
                                  "佰", "拾", "角", "分", " ", "万", "亿", "元", "整", "负", "人民币合计"};

TBitCheckBox* MakeCheck(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* check = MakeControl<TBitCheckBox>(parent, name);
    check->SetCaption(caption);
    check->SetBounds(left, top, 130, 20);
    return check;
}

TSelectPanel* MakePanel(QWidget* parent, const char* name, const QString& caption, TSelectPanel::TSelectStyle style,
                        int top)
{
    auto* panel = MakeControl<TSelectPanel>(parent, name);
    panel->SetCaption(caption);
    panel->SetStyle(style);
    panel->SetBounds(8, top, 330, 64);
    return panel;
}

void ClearDataField(TVRFormatForm* format, const QString& name)
{
    if (QObject* text = format->FindComponent(name)) text->setProperty("DataField", QString());
}

}  // namespace

TfrmKelm24::TfrmKelm24(QWidget* Owner) : TfrmVROpt(Owner)
{
    setObjectName(QStringLiteral("frmKelm24"));
    BuildReceiptComponents();
}

TfrmKelm24::~TfrmKelm24()
{
    BeginDestroy(this);
}

TVROptForm* TfrmKelm24::CreateForm(QWidget* Owner)
{
    return Create<TfrmKelm24>(Owner);
}

void TfrmKelm24::BuildReceiptComponents()
{
    lblTG001 = MakeLabel(tsOption1, "lblTG001", TypeCaption, 8, 12);
    edtTG001 = MakeControl<TEdit>(tsOption1, "edtTG001");
    edtTG001->SetMaxLength(4);
    edtTG001->SetHint(QStringLiteral("[F2]单别信息查询"));
    edtTG001->SetBounds(100, 8, 60, 21);
    btnTG001 = MakeControl<TF2Button>(tsOption1, "btnTG001");
    btnTG001->SetHint(QStringLiteral("单别信息查询"));
    btnTG001->SetF2Control(edtTG001);
    txtTG001 = MakeLabel(tsOption1, "txtTG001", QString(), 190, 12);
    splTG002 = MakePanel(tsOption1, "splTG002", QStringLiteral("选择进货单号"), TSelectPanel::sp_UserChoice, 36);
    splTG002->edBegin->SetMaxLength(11);
    splTG002->edFinal->SetMaxLength(11);
    splTG002->resize(330, 96);
    splTG003 = MakePanel(tsOption1, "splTG003", QStringLiteral("选择进货日期"), TSelectPanel::sp_Range, 136);
    splTG003->setVisible(false);
    splTG014 = MakePanel(tsOption1, "splTG014", QStringLiteral("选择单据日期"), TSelectPanel::sp_Range, 136);
    Memo1 = MakeControl<TMemo>(tsOption1, "Memo1");
    Memo1->SetLines({QStringLiteral("取样包装数量")});
    Memo1->setVisible(false);
    me99 = MakeControl<TMemo>(tsOption1, "me99");
    me99->SetLines(CapitalWords);
    me99->setVisible(false);

    tsOption3 = new TTabSheet(pgOption);
    tsOption3->setObjectName(QStringLiteral("tsOption3"));
    tsOption3->SetCaption(QStringLiteral("高级选项"));
    // The advanced page follows the basic one.
    for (TTabSheet* later : {tsOption2, tsFEP}) {
        const bool visible = later->TabVisible();
        later->SetPageControl(nullptr);
        later->SetPageControl(pgOption);
        later->SetTabVisible(visible);
    }
    lblTG013 = MakeLabel(tsOption3, "lblTG013", QStringLiteral("选择审核状态"), 8, 12);
    cboTG013 = MakeControl<TComboBox>(tsOption3, "cboTG013");
    cboTG013->SetStyle(TComboBox::csDropDownList);
    cboTG013->SetItems({QStringLiteral("已审核"), QStringLiteral("未审核"), QStringLiteral("作废"), QStringLiteral("全部")});
    cboTG013->SetItemIndex(0);
    cboTG013->SetBounds(100, 8, 100, 21);
    lblPrintSts = MakeLabel(tsOption3, "lblPrintSts", QStringLiteral("选择打印状态"), 8, 40);
    cboPrintSts = MakeControl<TComboBox>(tsOption3, "cboPrintSts");
    cboPrintSts->SetStyle(TComboBox::csDropDownList);
    cboPrintSts->SetItems({QStringLiteral("已打印"), QStringLiteral("未打印"), QStringLiteral("全部")});
    cboPrintSts->SetItemIndex(1);
    cboPrintSts->SetBounds(100, 36, 100, 21);
    chkPriceRight = MakeCheck(tsOption3, "chkPriceRight", QStringLiteral("打印单价金额"), 8, 68);
    chkNewPage = MakeCheck(tsOption3, "chkNewPage", QStringLiteral("按仓库分页"), 8, 92);
    chk01 = MakeCheck(tsOption3, "chk01", QStringLiteral("汇总打印"), 8, 116);
    grp02 = MakeControl<TGroupBox>(tsOption3, "grp02");
    grp02->SetCaption(QStringLiteral("选择汇总依据"));
    grp02->SetBounds(220, 8, 200, 200);
    const char* keyNames[] = {"chk02", "chk03", "chk04", "chk05", "chk06", "chk07", "chk08"};
    const QStringList keyCaptions = {QStringLiteral("进货单别"), QStringLiteral("进货单号"), QStringLiteral("品号"),
                                     QStringLiteral("单位"),     QStringLiteral("仓库"),     QStringLiteral("单位成本"),
                                     QStringLiteral("批号")};
    TBitCheckBox** keys[] = {&chk02, &chk03, &chk04, &chk05, &chk06, &chk07, &chk08};
    for (int i = 0; i < 7; ++i) *keys[i] = MakeCheck(grp02, keyNames[i], keyCaptions[i], 10, 22 + i * 24);

    cboSendWay->SetItems({QStringLiteral("FAX To 供应商"), QStringLiteral("Email To 供应商"),
                          QStringLiteral("FAX To 自定义对象"), QStringLiteral("Email To 自定义对象")});
    edtTG001->OnEnter = TNotifyEvent{this, [this](QObject*) { edtTG001Enter(); }};
    edtTG001->OnExit = TNotifyEvent{this, [this](QObject*) { edtTG001Exit(); }};
    chk01->OnClick = TNotifyEvent{this, [this](QObject*) { chk01Click(); }};
}

void TfrmKelm24::FormCreate()
{
    TfrmVROpt::FormCreate();
    VersionText = QStringLiteral("20011207");
    Shown = false;
    chk01Click();
}

void TfrmKelm24::SetProgramInfo()
{
    TfrmVROpt::SetProgramInfo();
    StyleConditionControls = QStringLiteral("chk01:TBitCheckBox");
    DocTypeSystem = ReceiptSystem;
    MainTable = QStringLiteral("PURTG");
    SetOptionCount(6);
    SendWayDefs = QStringLiteral("FAX,TG005,PURMA010;EMAIL,TG005,PURMA011;FAX,,;EMAIL,,;");
    SendStatusField = QStringLiteral("TG045");
    SetRequiredControls(QStringLiteral("edtTG001"));
    SetDateFields(QStringLiteral("splTG003,splTG014"));
    PageEndControls << splTG014 << chk01;
    Sys069 = SysSetting(QStringLiteral("SYS069"));
    SetFormatClass(chk01->Checked() ? SummaryLayout : DetailLayout);
}

void TfrmKelm24::FormShow()
{
    TfrmVROpt::FormShow();
    Shown = true;
}

// ------------------------------------------------------------------ document type

void TfrmKelm24::ClearNumbers()
{
    splTG002->lstValues->Clear();
    splTG002->SetBeginText(QString());
    splTG002->SetFinalText(QString());
}

void TfrmKelm24::edtTG001Enter()
{
    enteredType_ = edtTG001->Text();
}

void TfrmKelm24::edtTG001Exit()
{
    // Each leave checks anew: a type refused before holds nothing back once
    // the edit is emptied or a valid type is typed.
    ValidationFailed = false;
    const QString type = edtTG001->Text().trimmed();
    if (type.isEmpty()) {
        txtTG001->SetCaption(QString());
        ClearNumbers();
        enteredType_.clear();
        return;
    }
    if (type == enteredType_) return;
    if (!CheckDocType(type)) {
        ValidationFailed = true;
        edtTG001->setFocus();
        enteredType_.clear();
        return;
    }
    enteredType_ = edtTG001->Text();
}

bool TfrmKelm24::CheckDocType(const QString& Type)
{
    Variant row;
    bool ok = false;
    if (HostQuery(QStringLiteral("CMSMQ"), QStringLiteral("29"), false, row,
                  Variant::ArrayOf({Type, ReceiptSystem, ReceiptKind}))) {
        DocTypeSystem = RowText(row, 1);
        Variant settings;
        ApplyDocTypeSettings(Type, false, settings);
        if (settings.IsEmpty()) {
            edtTG001->SetText(QString());
            txtTG001->SetCaption(QString());
        } else {
            txtTG001->SetCaption(settings.IsArray() ? RowText(settings, 0) : QString());
            ok = true;
        }
    } else {
        ShowMessageRef(QStringLiteral("E"), QStringLiteral("100007"), {}, -1);
        edtTG001->SetText(QString());
        txtTG001->SetCaption(QString());
    }
    ClearNumbers();
    return ok;
}

// ------------------------------------------------------------------ summary switch

void TfrmKelm24::chk01Click()
{
    const bool summary = chk01->Checked();
    chkNewPage->SetEnabled(!summary);
    if (summary) chkNewPage->SetChecked(false);
    grp02->SetEnabled(summary);
    for (TBitCheckBox* key : {chk06, chk07, chk08}) key->SetEnabled(summary);
    for (TBitCheckBox* key : {chk02, chk03, chk04, chk05}) key->SetChecked(summary);
    if (!summary) {
        for (TBitCheckBox* key : {chk06, chk07, chk08}) key->SetChecked(false);
    }
    PageEndControls.clear();
    // The receipt-date panel is hidden: Enter on the document dates ends the page.
    PageEndControls << splTG014 << (summary ? static_cast<QWidget*>(chk08) : static_cast<QWidget*>(chk01));
    SetFormatClass(summary ? SummaryLayout : DetailLayout);
}

// ------------------------------------------------------------------ conditions

bool TfrmKelm24::GetOptionValues(Variant& Values, int Count)
{
    if (!TfrmVROpt::GetOptionValues(Values, Count)) return false;
    if (edtTG001->Text().trimmed().isEmpty()) {
        ShowMessageRef(QStringLiteral("E"), QStringLiteral("000003"), {TypeCaption}, 0);
        pgOption->SetActivePage(tsOption1);
        edtTG001->setFocus();
        return false;
    }
    Values[1] = TKelm24Query::TypeCondition(edtTG001->Text().trimmed());
    SelectPanelValue(splTG002, Values, 2);
    DateRangeValue(splTG003->BeginText(), splTG003->FinalText(), Values, 3);
    Values[4] = TKelm24Query::ApprovalCondition(cboTG013->Text());
    Values[5] = TKelm24Query::PrintStatusCondition(cboPrintSts->Text());
    DateRangeValue(splTG014->BeginText(), splTG014->FinalText(), Values, 6);
    return true;
}

bool TfrmKelm24::GetOptionCaptions(Variant& Captions, int Count)
{
    if (!TfrmVROpt::GetOptionCaptions(Captions, Count)) return false;
    const char* names[] = {"TG001", "TG002", "TG003", "TG013", "PrintSts", "TG014"};
    for (int i = 0; i < 6; ++i) Captions[i + 1] = QString::fromLatin1(names[i]);
    return true;
}

void TfrmKelm24::PrintSettingsLoaded()
{
    TfrmVROpt::PrintSettingsLoaded();
    chkPriceRight->SetEnabled(PricesAllowed);
    chkPriceRight->SetChecked(PricesAllowed);
}

// ------------------------------------------------------------------ statement

void TfrmKelm24::BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL)
{
    TfrmVROpt::BuildReportSQL(AMode, AParams, ASQL);
    TKelm24QueryInput input;
    input.SQLType = SQLType;
    input.Summary = chk01->Checked();
    input.KeyWarehouse = chk06->Checked();
    input.KeyUnitCost = chk07->Checked();
    input.KeyLot = chk08->Checked();
    input.NewPage = chkNewPage->Checked();
    input.Sys003 = SysSetting(QStringLiteral("Sys003"));
    input.PrintStatus = cboPrintSts->Text();
    input.SendMode = SendMode;
    input.OptionCount = OptionCount;
    input.MainTable = MainTable;
    input.SendStatusField = SendStatusField;
    input.PowerData = PowerData;
    Query = TKelm24Query(input);
    Query.BuildReportSQL(AMode, AParams, ASQL);
    SQL = Query.SQL;
}

void TfrmKelm24::ComposeSQL(QString& ASQL)
{
    Query.Input.SendMode = SendMode;
    Query.ComposeSQL(ASQL);
    SQL = Query.SQL;
}

void TfrmKelm24::PassPrintOptions(TVRFormatForm* AFormat)
{
    TfrmVROpt::PassPrintOptions(AFormat);
    const QString currency = SysSetting(QStringLiteral("Sys003"));
    if (QObject* label = AFormat->FindComponent(QStringLiteral("lblCMSMA003"))) label->setProperty("Caption", currency);
    if (chk01->Checked()) {
        if (!chkPriceRight->Checked()) {
            for (const QString& name : SummaryPriceTexts) ClearDataField(AFormat, name);
        }
        if (!chk06->Checked()) {
            ClearDataField(AFormat, QStringLiteral("txtTH009"));
            ClearDataField(AFormat, QStringLiteral("txtCMSMC002"));
        }
        if (!chk07->Checked()) ClearDataField(AFormat, QStringLiteral("txtTH018"));
        if (!chk08->Checked()) ClearDataField(AFormat, QStringLiteral("txtTH010"));
        return;
    }
    if (QObject* group = AFormat->FindComponent(QStringLiteral("QRGroup"))) {
        group->setProperty("Expression", chkNewPage->Checked()
                                             ? QStringLiteral("clientdataset1.TG001+clientdataset1.TG002+clientdataset1.TH009")
                                             : QStringLiteral("clientdataset1.TG001+clientdataset1.TG002"));
    }
    if (!chkPriceRight->Checked()) {
        for (const QString& name : DetailPriceTexts) ClearDataField(AFormat, name);
    }
}

// ------------------------------------------------------------------ pick windows

void TfrmKelm24::DoF2Key(int Key, QWidget* Control)
{
    if (Control == edtTG001) {
        // The report form's own F2 handling comes first.
        TfrmVROpt::DoF2Key(Key, Control);
        edtTG001->setFocus();
        Variant picked;
        F2GetData(QStringLiteral("CMSMQ"), QStringLiteral("16"), Variant::ArrayOf({ReceiptSystem, ReceiptKind}), false,
                  Variant(edtTG001->Text()), picked);
        const Variant row = FirstRow(picked);
        if (!row.IsArray() || RowText(row, 0).isEmpty()) return;
        edtTG001->SetText(RowText(row, 0));
        txtTG001->SetCaption(RowText(row, 1));
        enteredType_ = edtTG001->Text();
        ValidationFailed = !CheckDocType(edtTG001->Text());
        if (ValidationFailed) enteredType_.clear();
        return;
    }
    if (Control == splTG002->edBegin || Control == splTG002->edFinal) {
        auto* edit = static_cast<TRabMaskEdit*>(Control);
        PickForSelectPanel(edit, QStringLiteral("PURTG"), false, Variant(edit->Text()),
                           Variant::ArrayOf({edtTG001->Text().trimmed()}), QStringLiteral("61"));
        return;
    }
    for (TSelectPanel* panel : {splTG003, splTG014}) {
        const bool dateEdit = Control == panel->edBegin || Control == panel->edFinal;
        const bool inner = panel == splTG014 && Control && panel->isAncestorOf(Control);
        if (!dateEdit && !inner) continue;
        auto* edit = qobject_cast<TRabMaskEdit*>(Control);
        if (!edit) edit = panel->edBegin;
        QString picked;
        PickDate(edit->Text(), picked);
        if (!picked.isEmpty()) edit->SetText(picked);
        return;
    }
    TfrmVROpt::DoF2Key(Key, Control);
}

// ------------------------------------------------------------------ condition sets

void TfrmKelm24::BeforeRestoreValue(QWidget* Control, const QString& Value)
{
    TfrmVROpt::BeforeRestoreValue(Control, Value);
    TControlEvents::Fire(edtTG001->OnEnter, edtTG001);
}

void TfrmKelm24::AfterRestoreValue(QWidget* Control, const QString& Value)
{
    TfrmVROpt::AfterRestoreValue(Control, Value);
    TControlEvents::Fire(edtTG001->OnExit, edtTG001);
    TControlEvents::Fire(chk01->OnClick, chk01);
}

}  // namespace kelm24
