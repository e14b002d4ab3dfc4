#include "options/GeneConditionCF.h"

#include "controls/SelectPnl.h"
#include "options/BaseGene.h"
#include "options/FormParts.h"
#include "runtime/PropUtils.h"

namespace kelm24 {

namespace {

const QChar kFieldSep(3);
const QString kFormClass = QStringLiteral("TfrmGeneCondition");
const QString kFullDateRule = QStringLiteral("D");
// The required-field colour (pale yellow) of the name edit.
constexpr int kRequiredColour = 11534335;
constexpr int kMaxNameBytes = 20;

QString Flag(const TBitCheckBox* check) { return check->Checked() ? QStringLiteral("Y") : QStringLiteral("N"); }

TQvSpinEdit* MakeSpin(QWidget* parent, const char* name, int limit, int chars, int left, int top)
{
    auto* spin = MakeControl<TQvSpinEdit>(parent, name);
    spin->SetMinValue(-limit);
    spin->SetMaxValue(limit);
    spin->SetMaxLength(chars);
    spin->SetValue(0);
    spin->SetBounds(left, top, 16 + 9 * chars, 21);
    return spin;
}

TComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, int left, int top, int width)
{
    auto* combo = MakeControl<TComboBox>(parent, name);
    combo->SetStyle(TComboBox::csDropDownList);
    combo->SetItems(items);
    combo->SetItemIndex(0);
    combo->SetBounds(left, top, width, 21);
    return combo;
}

}  // namespace

Variant TfrmGeneCondition::RunSaveDialog(const QString& DateFields, TfrmBaseGene* OptionForm, int SkipTail)
{
    auto* dialog = TQVForm::Create<TfrmGeneCondition>(OptionForm, DateFields, SkipTail);
    QPointer<TfrmGeneCondition> alive(dialog);
    const int result = dialog->ShowModal();
    Variant answer = Variant::ArrayOf({QString(), QString(), QString()});
    if (alive && result == mrOk)
        answer = Variant::ArrayOf({dialog->SetName(), dialog->DateFieldList, dialog->Replace});
    delete alive.data();
    return answer;
}

TfrmGeneCondition::TfrmGeneCondition(TfrmBaseGene* OptionForm, const QString& DateFields, int TailToSkip)
    : TQVForm(OptionForm), DateFieldList(DateFields), SkipTail(TailToSkip), optionForm_(OptionForm)
{
    setObjectName(QStringLiteral("frmGeneCondition"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    SetKeyPreview(true);
    resize(420, 211);
    if (OptionForm) {
        setFont(OptionForm->font());
        SetCaption(OptionForm->Caption());
    }
    BuildComponents();
    // The owner's code pages apply to the dialog's texts and message boxes.
    if (TCodeConverter* own = OptionForm ? OptionForm->Converter() : nullptr) {
        auto* converter = new TCodeConverter(this, own->SystemCodePage, own->UICodePage, own->DBCodePage);
        converter->DesignType = own->DesignType;
        SetConverter(converter);
    }
}

void TfrmGeneCondition::FormCreate()
{
    TQVForm::FormCreate();
    ConvertForm();
    SetDateEnv();
    Replace = false;
}

TfrmGeneCondition::TRulePart TfrmGeneCondition::MakeRulePart(QWidget* Parent, int Top, const char* CheckName,
                                                             const QString& CheckCaption, const char* LabelName,
                                                             const QString& LabelCaption, const char* Count,
                                                             const char* Unit, const char* Mode, const char* Days,
                                                             const char* DayLabel)
{
    TRulePart part{};
    part.Check = MakeControl<TBitCheckBox>(Parent, CheckName);
    part.Check->SetCaption(CheckCaption);
    part.Check->SetBounds(4, Top + 2, 78, 17);
    MakeLabel(Parent, LabelName, LabelCaption, 82, Top + 4);
    part.Count = MakeSpin(Parent, Count, 99, 3, 160, Top);
    part.Unit = MakeCombo(Parent, Unit, {QStringLiteral("周"), QStringLiteral("月")}, 206, Top, 40);
    part.Mode = MakeCombo(Parent, Mode, {QStringLiteral("加/减"), QStringLiteral("第一天"), QStringLiteral("最后一天")}, 250,
                          Top, 76);
    part.Days = MakeSpin(Parent, Days, 999, 4, 330, Top);
    part.Days->SetHint(QStringLiteral("时间: 时"));
    MakeLabel(Parent, DayLabel, QStringLiteral("天"), 384, Top + 4);
    return part;
}

void TfrmGeneCondition::BuildComponents()
{
    edConName = MakeControl<TEdit>(this, "edConName");
    edConName->SetBounds(96, 12, 160, 21);
    edConName->SetColor(kRequiredColour);
    edConName->SetMaxLength(20);
    lblCondition = MakeControl<TDBLabel>(this, "lblCondition");
    lblCondition->SetCaption(QStringLiteral("         方案名"));
    lblCondition->SetFocusControl(edConName);

    gbDateFields = MakeControl<TGroupBox>(this, "gbDateFields");
    gbDateFields->SetCaption(QStringLiteral("日期字段"));
    gbDateFields->SetBounds(4, 40, 412, 124);
    lblPeriod13 = MakeLabel(gbDateFields, "lblPeriod13", QStringLiteral("      条件"), 8, 22);
    cbodatecondition = MakeControl<TComboBox>(gbDateFields, "cbodatecondition");
    cbodatecondition->SetStyle(TComboBox::csDropDownList);
    cbodatecondition->SetBounds(92, 18, 180, 21);

    pnEdit = MakeControl<TPanel>(gbDateFields, "pnEdit");
    pnEdit->SetBevelOuter(TPanel::bvNone);
    pnEdit->SetBounds(2, 44, 408, 76);
    const TRulePart edit = MakeRulePart(pnEdit, 4, "edSetDate", QStringLiteral("变动日期"), "lblPeriod15",
                                        QStringLiteral("=预定运行日"), "seSetDay1", "cboSetDay1", "cboSetDay2",
                                        "seSetDay2", "lblPeriod16");
    edSetDate = edit.Check, seSetDay1 = edit.Count, cboSetDay1 = edit.Unit, cboSetDay2 = edit.Mode;
    seSetDay2 = edit.Days;
    lblPeriod15 = pnEdit->findChild<TLabel*>(QStringLiteral("lblPeriod15"));
    lblPeriod16 = pnEdit->findChild<TLabel*>(QStringLiteral("lblPeriod16"));

    pnSp = MakeControl<TPanel>(gbDateFields, "pnSp");
    pnSp->SetBevelOuter(TPanel::bvNone);
    pnSp->SetBounds(2, 44, 408, 76);
    const TRulePart begin = MakeRulePart(pnSp, 4, "spDate_B", QStringLiteral("起始日期"), "lblPeriodB",
                                         QStringLiteral("        =预定运行日"), "seSetDay_B1", "cboSetDay_B1",
                                         "cboSetDay_B2", "seSetDay_B2", "lblPeriodB1");
    spDate_B = begin.Check, seSetDay_B1 = begin.Count, cboSetDay_B1 = begin.Unit, cboSetDay_B2 = begin.Mode;
    seSetDay_B2 = begin.Days;
    const TRulePart end = MakeRulePart(pnSp, 36, "spDate_E", QStringLiteral("截止日期"), "lblPeriodE",
                                       QStringLiteral("        =预定运行日"), "seSetDay_E1", "cboSetDay_E1",
                                       "cboSetDay_E2", "seSetDay_E2", "lblPeriodE1");
    spDate_E = end.Check, seSetDay_E1 = end.Count, cboSetDay_E1 = end.Unit, cboSetDay_E2 = end.Mode;
    seSetDay_E2 = end.Days;
    lblPeriodB = pnSp->findChild<TLabel*>(QStringLiteral("lblPeriodB"));
    lblPeriodB1 = pnSp->findChild<TLabel*>(QStringLiteral("lblPeriodB1"));
    lblPeriodE = pnSp->findChild<TLabel*>(QStringLiteral("lblPeriodE"));
    lblPeriodE1 = pnSp->findChild<TLabel*>(QStringLiteral("lblPeriodE1"));
    pnSp->setVisible(false);

    btnOk = MakeControl<TBitBtn>(this, "btnOk");
    btnOk->SetCaption(QStringLiteral("确定"));
    btnOk->SetHint(QStringLiteral("确定"));
    btnOk->SetBounds(250, 176, 75, 25);
    btnCancel = MakeControl<TBitBtn>(this, "btnCancel");
    btnCancel->SetCaption(QStringLiteral("取消"));
    btnCancel->SetHint(QStringLiteral("取消"));
    btnCancel->SetCancel(true);
    btnCancel->SetModalResult(mrCancel);
    btnCancel->SetBounds(334, 176, 75, 25);

    // Rule controls start disabled; the check boxes enable their parts.
    for (const TRulePart& part : {edit, begin, end}) {
        for (QWidget* w : std::initializer_list<QWidget*>{part.Count, part.Unit, part.Mode, part.Days}) w->setEnabled(false);
        BindPart(part);
    }
    gbDateFields->setEnabled(false);

    cbodatecondition->OnChange = TNotifyEvent{this, [this](QObject*) { cbodateconditionChange(); }};
    btnOk->OnClick = TNotifyEvent{this, [this](QObject*) { btnOkClick(); }};
    btnCancel->OnClick = TNotifyEvent{this, [this](QObject*) { SetModalResult(mrCancel); }};
}

void TfrmGeneCondition::BindPart(const TRulePart& Part)
{
    Part.Check->OnClick = TNotifyEvent{this, [this, Part](QObject*) {
                                           ApplyEnabling(Part, SelectedRuleType());
                                           WriteRuleBack();
                                       }};
    const TNotifyEvent entered{this, [this](QObject*) { InEdit = true; }};
    const TNotifyEvent changed{this, [this](QObject*) {
                                   if (InEdit) WriteRuleBack();
                               }};
    for (TQvSpinEdit* spin : {Part.Count, Part.Days}) {
        spin->OnEnter = entered;
        spin->OnChange = changed;
        spin->OnExit = TNotifyEvent{this, [this, spin](QObject*) { SpinEditExit(spin); }};
    }
    Part.Unit->OnEnter = entered;
    Part.Unit->OnChange = changed;
    Part.Mode->OnEnter = entered;
    // The days count only while the mode adds days.
    Part.Mode->OnChange = TNotifyEvent{this, [this, Part](QObject*) {
                                           ApplyEnabling(Part, SelectedRuleType());
                                           if (InEdit) WriteRuleBack();
                                       }};
}

// The field list ---------------------------------------------------------------

QWidget* TfrmGeneCondition::OwnerControl(const QString& Name) const
{
    if (!optionForm_ || Name.isEmpty()) return nullptr;
    for (QWidget* w : optionForm_->findChildren<QWidget*>())
        if (w->objectName().compare(Name, Qt::CaseInsensitive) == 0) return w;
    return nullptr;
}

QString TfrmGeneCondition::EditCaption(QWidget* Control, const Variant& Captions) const
{
    const QString name = Control->objectName();
    // The caption the form reports for this control: a [caption, name] pair.
    if (Captions.IsArray()) {
        for (int k = Captions.LowBound(); k <= Captions.HighBound(); ++k) {
            const Variant& pair = Captions[k];
            if (!pair.IsArray() || pair.Count() < 2) continue;
            if (RowText(pair, 1).compare(name, Qt::CaseInsensitive) == 0 && !RowText(pair, 0).isEmpty())
                return RowText(pair, 0);
        }
    }
    if (HasPropByName(Control, QStringLiteral("Caption"))) {
        const QString own = GetStrPropByName(Control, QStringLiteral("Caption"));
        if (!own.isEmpty()) return own;
    }
    for (TDBLabel* label : optionForm_->findChildren<TDBLabel*>())
        if (label->FocusControl() == Control && !label->Caption().isEmpty()) return label->Caption();
    return name;
}

void TfrmGeneCondition::SetDateEnv()
{
    for (TComboBox* combo : {cboSetDay1, cboSetDay2, cboSetDay_B1, cboSetDay_B2, cboSetDay_E1, cboSetDay_E2})
        combo->SetItemIndex(0);
    if (!optionForm_) return;
    optionForm_->DateRules.clear();

    Variant captions;
    if (optionForm_->OptionCount >= 1) {
        captions = Variant::CreateArray(1, optionForm_->OptionCount);
        try {
            if (!optionForm_->GetOptionCaptions(captions, optionForm_->OptionCount - optionForm_->OptionBase))
                captions = Variant();
        } catch (const std::exception&) {
            captions = Variant();  // no captions: the other sources name the fields
        }
    }

    QStringList items;
    QStringList names = DateFieldList.split(QLatin1Char(','));
    const int count = int(names.size()) - qMax(0, SkipTail);
    for (int i = 0; i < count; ++i) {
        const QString name = names[i].trimmed();
        QWidget* control = OwnerControl(name);
        if (!control) continue;
        QStringList rule;
        if (auto* panel = qobject_cast<TSelectPanel*>(control)) {
            items << (panel->Caption().isEmpty() ? control->objectName() : panel->Caption());
            rule << QStringLiteral("0") << control->objectName() << PartFields(BeginPart()) << PartFields(EndPart());
        } else if (qobject_cast<TEdit*>(control)) {
            items << EditCaption(control, captions);
            rule << QStringLiteral("1") << control->objectName() << PartFields(EditPart());
        } else {
            continue;
        }
        rule << kFullDateRule;
        optionForm_->DateRules << rule.join(kFieldSep);
    }

    cbodatecondition->SetItems(items);
    if (items.isEmpty()) {
        gbDateFields->setEnabled(false);
        return;
    }
    cbodatecondition->blockSignals(true);
    cbodatecondition->SetItemIndex(0);
    cbodatecondition->blockSignals(false);
    cbodateconditionChange();
    gbDateFields->setEnabled(true);
}

// Showing and writing a rule ------------------------------------------------------

QString TfrmGeneCondition::SelectedRuleType() const
{
    if (!optionForm_) return kFullDateRule;
    const QString rule = optionForm_->DateRules.value(cbodatecondition->ItemIndex());
    return rule.isEmpty() ? kFullDateRule : rule.split(kFieldSep).last();
}

void TfrmGeneCondition::LoadPart(const TRulePart& Part, const QStringList& Fields, int From, const QString& Type)
{
    Part.Check->SetChecked(Fields.value(From) == QLatin1String("Y"));
    ApplyEnabling(Part, Type);
    Part.Count->SetText(Fields.value(From + 1));
    Part.Unit->SetItemIndex(Fields.value(From + 2).toInt());
    Part.Mode->SetItemIndex(Fields.value(From + 3).toInt());
    Part.Days->SetText(Fields.value(From + 4));
    ApplyEnabling(Part, Type);
}

QStringList TfrmGeneCondition::PartFields(const TRulePart& Part) const
{
    return {Flag(Part.Check), Part.Count->Text(), QString::number(qMax(0, Part.Unit->ItemIndex())),
            QString::number(qMax(0, Part.Mode->ItemIndex())), Part.Days->Text()};
}

void TfrmGeneCondition::ApplyEnabling(const TRulePart& Part, const QString& Type)
{
    const bool on = Part.Check->Checked();
    const bool full = Type == kFullDateRule;
    Part.Count->SetEnabled(on);
    Part.Unit->SetEnabled(on && full);
    Part.Mode->SetEnabled(on && full);
    Part.Days->SetEnabled(on && full && Part.Mode->ItemIndex() == 0);
}

void TfrmGeneCondition::cbodateconditionChange()
{
    InEdit = false;
    if (!optionForm_) return;
    try {
        const int index = cbodatecondition->ItemIndex();
        if (index < 0 || index >= optionForm_->DateRules.size()) return;
        const QStringList fields = optionForm_->DateRules[index].split(kFieldSep);
        const QString type = fields.last();
        if (fields.value(0) == QLatin1String("1")) {
            pnSp->setVisible(false);
            pnEdit->setVisible(true);
            LoadPart(EditPart(), fields, 2, type);
        } else {
            pnSp->setVisible(true);
            pnEdit->setVisible(false);
            LoadPart(BeginPart(), fields, 2, type);
            LoadPart(EndPart(), fields, 7, type);
        }
        WriteRuleBack();
    } catch (const std::exception&) {
        // A damaged rule: the controls keep what they had.
    }
}

void TfrmGeneCondition::WriteRuleBack()
{
    if (!optionForm_) return;
    const int index = cbodatecondition->ItemIndex();
    if (index < 0 || index >= optionForm_->DateRules.size()) return;
    const QStringList old = optionForm_->DateRules[index].split(kFieldSep);
    QStringList rule{old.value(0), old.value(1)};
    if (old.value(0) == QLatin1String("1")) rule << PartFields(EditPart());
    else rule << PartFields(BeginPart()) << PartFields(EndPart());
    rule << old.last();
    optionForm_->DateRules[index] = rule.join(kFieldSep);
}

void TfrmGeneCondition::SpinEditExit(TQvSpinEdit* Edit)
{
    // An empty, non-numeric or zero text reads "0"; a number beyond the
    // edit's range is taken back to its nearest end.
    bool ok = false;
    const int value = Edit->Text().trimmed().toInt(&ok);
    const QString text = !ok || value == 0 ? QStringLiteral("0") : QString::number(Edit->Value());
    if (Edit->Text() != text) Edit->SetText(text);
}

// OK and keys ------------------------------------------------------------------------

void TfrmGeneCondition::btnOkClick()
{
    const QString name = SetName();
    if (name.isEmpty()) {
        ShowMsg(LangText(kFormClass, QStringLiteral("sEmptyProjName"), QStringLiteral("方案名不可空白!")), mtError, {mbOK});
        edConName->setFocus();
        return;
    }
    // The server keeps at most 20 bytes: a longer name would not be saved.
    // The text is the option form's own (the one a rename shows).
    if (optionForm_ && optionForm_->DataByteLength(name) > kMaxNameBytes) {
        ShowMsg(LangText(QStringLiteral("TfrmBaseGene"), QStringLiteral("sProjNameError"),
                         QStringLiteral("方案名长度不可大于20!")),
                mtError, {mbOK});
        edConName->setFocus();
        return;
    }
    Variant found;
    const bool exists =
        optionForm_ && optionForm_->HostQuery(QStringLiteral("GENES"), QStringLiteral("01"), false, found,
                                              Variant::ArrayOf({name, optionForm_->UserCode, optionForm_->ProgramCode}));
    if (exists) {
        const QString question = LangText(kFormClass, QStringLiteral("sReplaceProj"),
                                          QStringLiteral("此方案名已存在！是否将原来的方案替换为此方案?"));
        if (ShowMsg(question, mtConfirmation, {mbOK, mbCancel}) != mrOk) {
            edConName->setFocus();
            return;
        }
        Replace = true;
    }
    SetModalResult(mrOk);
}

void TfrmGeneCondition::FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Shift);
    if (Key == Qt::Key_Escape) {
        Key = 0;
        btnCancel->Click();
    } else if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        Key = 0;
        focusNextChild();
    }
}

}  // namespace kelm24
