// The services of the base option form that every report dialog uses the
// same way: the ERP's date and year-month texts, the automatic checks of date
// and required fields (done by re-binding the fields' own events), the host's
// F2 pick windows and running another program's server library.
#include "options/BaseGene.h"
#include "options/FormParts.h"
#include "options/ProgramLibrary.h"

#include "controls/QvSpin.h"
#include "runtime/CorvaneIni.h"
#include "runtime/DateText.h"
#include "runtime/PropUtils.h"

#include <QApplication>
#include <QDate>
#include <QScopeGuard>

namespace kelm24 {

namespace {

const QString kClassName = QStringLiteral("TfrmBaseGene");
const QString kOnEnter = QStringLiteral(".OnEnter");
const QString kOnExit = QStringLiteral(".OnExit");
const QString kOnClick = QStringLiteral(".OnClick");
// The command buttons whose click first checks the required controls.
const QStringList kRequiredButtons = {QStringLiteral("btnOk"), QStringLiteral("btnQuery"),
                                      QStringLiteral("btnDesign"), QStringLiteral("btnPeriod")};
const QString kBtnPeriod = QStringLiteral("btnPeriod");

QStringList SplitNames(const QString& List)
{
    QStringList names;
    for (const QString& part : List.split(QLatin1Char(','))) {
        const QString name = part.trimmed();
        if (!name.isEmpty()) names << name;
    }
    return names;
}


// "nnn" as a whole number; false for anything else.
bool ReadInt(const QString& Text, int& Value)
{
    bool ok = false;
    Value = Text.trimmed().toInt(&ok);
    return ok;
}

QString Today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")); }

// The text of an edit of the check, read the way the edit shows it.
QString EditText(QWidget* Edit)
{
    if (auto* mask = qobject_cast<TMaskEdit*>(Edit)) return mask->Text();
    if (auto* edit = qobject_cast<TEdit*>(Edit)) return edit->Text();
    return GetStrPropByName(Edit, QStringLiteral("Text"));
}

bool CanTakeFocus(QWidget* Control)
{
    return Control && Control->isEnabled() && Control->focusPolicy() != Qt::NoFocus &&
           (Control->isVisible() || !Control->window()->isVisible());
}

// The select panel Control is an inner part of, with the part it stands for
// (a pick button stands for its edit or list); null when it is none.
TSelectPanel* PanelOfPart(QWidget* Control, QWidget*& Part)
{
    for (QWidget* w = Control ? Control->parentWidget() : nullptr; w; w = w->parentWidget()) {
        auto* panel = qobject_cast<TSelectPanel*>(w);
        if (!panel) continue;
        if (Control == panel->edBegin || Control == panel->btnBegin) Part = panel->edBegin;
        else if (Control == panel->edFinal || Control == panel->btnFinal) Part = panel->edFinal;
        else if (Control == panel->lstValues || Control == panel->btnListPick || panel->lstValues->isAncestorOf(Control))
            Part = panel->lstValues;
        else return nullptr;
        return panel;
    }
    return nullptr;
}

// A pick answer that holds nothing.
bool NothingPicked(const Variant& Data)
{
    return Data.IsEmpty() || Data.IsNull() || (Data.IsArray() && Data.Count() == 0);
}

}  // namespace

// ---------------------------------------------------------------- date text

TDateTextRules TfrmBaseGene::DateTextRules() { return TDateTextRules(DateType(), DateSeparator()); }
QString TfrmBaseGene::YearMaskPart() { return DateTextRules().YearMaskPart(); }
QString TfrmBaseGene::DateMask() { return DateTextRules().DateMask(); }
QString TfrmBaseGene::YearMonthMask() { return DateTextRules().YearMonthMask(); }
QString TfrmBaseGene::BlankDateText() { return DateTextRules().BlankDateText(); }
QString TfrmBaseGene::BlankYearMonthText() { return DateTextRules().BlankYearMonthText(); }
QString TfrmBaseGene::DateDisplay(const QString& Date8) { return DateTextRules().DateDisplay(Date8); }
QString TfrmBaseGene::YearMonthDisplay(const QString& YearMonth6) { return DateTextRules().YearMonthDisplay(YearMonth6); }
QString TfrmBaseGene::YearMonthToInternal(const QString& Text) { return DateTextRules().YearMonthToInternal(Text); }
QString TfrmBaseGene::DateToInternal(const QString& Text, bool Fill, const QString& Default)
{
    return DateTextRules().DateToInternal(Text, Fill, Default);
}

// ---------------------------------------------------------------- field checks

bool TfrmBaseGene::CheckDateControl(QWidget* Control, bool Entering)
{
    return CheckDateText(Control, Entering, false);
}

bool TfrmBaseGene::CheckYearMonthControl(QWidget* Control, bool Entering)
{
    return CheckDateText(Control, Entering, true);
}

bool TfrmBaseGene::CheckDateText(QWidget* Control, bool Entering, bool YearMonth)
{
    auto* panel = qobject_cast<TSelectPanel*>(Control);
    auto* mask = qobject_cast<TMaskEdit*>(Control);
    auto* edit = qobject_cast<TEdit*>(Control);
    if (!panel && !edit) {
        const QString text = YearMonth ? LangText(kClassName, QStringLiteral("sYMPramError"),
                                                   QStringLiteral("判断年月的函数第一个参数错误, 只能传下列三种物件:"))
                                        : LangText(kClassName, QStringLiteral("sDatePramError"),
                                                   QStringLiteral("判断日期的函数第一个参数错误, 只能传下列三种物件:"));
        ShowMsg(text + QStringLiteral("\nTSelectPanel, TMaskedit, TEdit"), mtCustom, {mbOK});
        return false;
    }
    if (Entering) {
        const QString editMask = YearMonth ? YearMonthMask() : DateMask();
        if (panel) {
            if (panel->EditMask() != editMask) panel->SetEditMask(editMask);
        } else if (mask) {
            mask->SetEditMask(editMask);
        } else if (edit->Text().trimmed().isEmpty()) {
            // A plain edit shows the blank layout only when it is empty: a
            // date already typed stays.
            edit->SetText(YearMonth ? BlankYearMonthText() : BlankDateText());
        }
        return true;
    }
    QList<QWidget*> edits;
    if (panel) edits << panel->edBegin << panel->edFinal;
    else edits << edit;
    QWidget* firstBad = nullptr;
    for (QWidget* e : edits) {
        const QString text = EditText(e);
        // A year-month mask's literal alone is an empty field.
        if (YearMonth && text.trimmed() == DateSeparator()) continue;
        const QString date = YearMonth ? YearMonthToInternal(text) + QStringLiteral("01") : DateToInternal(text);
        const bool empty = YearMonth ? date.size() == 2 : date.isEmpty();
        if (!empty && !IsValidDate8(date)) {
            firstBad = e;
            break;
        }
    }
    if (!firstBad) return true;
    ReportError(msgref::InvalidDate);
    firstBad->setFocus();
    return false;
}

TNotifyEvent TfrmBaseGene::GuardedEvent(const TNotifyEvent& Event) const
{
    if (!Event) return Event;
    return TNotifyEvent{Event.Data,
                        [alive = QPointer<const QObject>(&ServicesAlive), code = Event.Code](QObject* Sender) {
                            if (alive) code(Sender);
                        }};
}

void TfrmBaseGene::BindDateFields(const QString& Names, bool Bind)
{
    for (const QString& name : SplitNames(Names)) {
        QWidget* control = FindControl(name);
        auto* events = dynamic_cast<TControlEvents*>(control);
        if (!events) continue;
        const QString enterKey = name + kOnEnter, exitKey = name + kOnExit;
        if (!Bind) {
            if (BoundEvents.contains(enterKey)) events->OnEnter = BoundEvents.take(enterKey);
            if (BoundEvents.contains(exitKey)) events->OnExit = BoundEvents.take(exitKey);
            continue;
        }
        // A control bound already keeps its stored handler: storing the
        // form's own event as the "own" one would call it again and again.
        if (!BoundEvents.contains(enterKey)) BoundEvents.insert(enterKey, events->OnEnter);
        if (!BoundEvents.contains(exitKey)) BoundEvents.insert(exitKey, events->OnExit);
        events->OnEnter = GuardedEvent(OnDateFieldEnter);
        events->OnExit = GuardedEvent(OnDateFieldExit);
        if (auto* panel = qobject_cast<TSelectPanel*>(control)) {
            panel->SetValueType(TSelectPanel::vt_Date);
            panel->SetDateSign(DateSeparator());
            const int type = DateType();
            panel->SetDateType(type >= 1 && type <= 5 ? TSelectPanel::TDateType(type) : TSelectPanel::dt_NoneCare);
        }
    }
}

void TfrmBaseGene::SetDateFields(const QString& Names)
{
    if (Names == DateFields) return;
    BindDateFields(DateFields, false);
    QString list = Names;
    if (!NameListed(Names, QStringLiteral("edPrintDate"))) {
        // The new names go in front of the current ones; a name in both
        // lists is kept once.
        QStringList joined = SplitNames(Names);
        for (const QString& name : SplitNames(DateFields))
            if (!joined.contains(name, Qt::CaseInsensitive)) joined << name;
        list = joined.join(QLatin1Char(','));
    }
    DateFields = list;
    BindDateFields(DateFields, true);
}

void TfrmBaseGene::DateFieldEnter(QObject* Sender)
{
    DateFieldCheck(Sender, true);
}

void TfrmBaseGene::DateFieldExit(QObject* Sender)
{
    // Leaving for Cancel checks nothing: the user is abandoning the dialog.
    if (btnCancel && (QApplication::focusWidget() == btnCancel || focusWidget() == btnCancel)) return;
    if (InDateExit) return;
    DateFieldCheck(Sender, false);
}

void TfrmBaseGene::DateFieldCheck(QObject* Sender, bool Entering)
{
    auto* control = qobject_cast<QWidget*>(Sender);
    if (!control || Destroying()) return;
    ValidationFailed = false;
    const QString name = control->objectName();
    {
        // A failed leave sends the focus back, which leaves the field the user
        // went to: that one is not checked now.
        const bool wasInExit = InDateExit;
        InDateExit = InDateExit || !Entering;
        const auto done = qScopeGuard([this, wasInExit] { InDateExit = wasInExit; });
        if (NameListed(DateFields, name) && !CheckDateControl(control, Entering)) ValidationFailed = true;
        if (NameListed(YearMonthFields, name) && !CheckYearMonthControl(control, Entering)) ValidationFailed = true;
    }
    if (ValidationFailed) return;
    const TNotifyEvent own = BoundEvents.value(name + (Entering ? kOnEnter : kOnExit));
    if (own) own(Sender);
}

void TfrmBaseGene::ColourRequiredControl(const QString& Name, int Part, bool Required)
{
    QWidget* control = FindControl(Name);
    if (!control) return;
    QList<QPair<QString, QWidget*>> parts;
    if (auto* panel = qobject_cast<TSelectPanel*>(control)) {
        const int part = Part >= 0 && Part <= 3 ? Part : 0;
        if (part == 0 || part == 1) parts.append({Name + QStringLiteral(".edBegin"), panel->edBegin});
        if (part == 0 || part == 2) parts.append({Name + QStringLiteral(".edFinal"), panel->edFinal});
        if (part == 0 || part == 3) parts.append({Name + QStringLiteral(".ListBox"), panel->lstValues});
    } else {
        parts.append({Name, control});
    }
    for (const auto& [key, widget] : parts) {
        if (Required) {
            // A control created after the colours were saved keeps its own.
            if (!SavedColoursList.contains(key)) SavedColoursList.insert(key, ControlColor(widget));
            SetControlColor(widget, clRequiredField);
        } else if (SavedColoursList.contains(key)) {
            SetControlColor(widget, SavedColoursList.value(key));
        }
    }
}

void TfrmBaseGene::BindRequiredButtons(bool Bind)
{
    for (const QString& name : kRequiredButtons) {
        auto* events = dynamic_cast<TControlEvents*>(FindControl(name));
        if (!events) continue;
        const QString key = name + kOnClick;
        if (!Bind) {
            if (BoundEvents.contains(key)) events->OnClick = BoundEvents.take(key);
            continue;
        }
        if (!BoundEvents.contains(key)) BoundEvents.insert(key, events->OnClick);
        events->OnClick = GuardedEvent(OnRequiredExit);
    }
}

void TfrmBaseGene::SetRequiredControls(const QString& Names)
{
    for (const TRequiredEntry& entry : RequiredEntries) ColourRequiredControl(entry.Name, entry.Part, false);
    BindRequiredButtons(false);
    RequiredEntries.clear();
    RequiredControls = Names;
    for (const QString& item : SplitNames(Names)) {
        const QStringList fields = item.split(QLatin1Char(';'));
        TRequiredEntry entry;
        entry.Name = fields.value(0).trimmed();
        entry.Flag = fields.value(1).trimmed();
        int part = 0;
        entry.Part = ReadInt(fields.value(2), part) && part >= 0 && part <= 3 ? part : 0;
        if (entry.Name.isEmpty()) continue;
        RequiredEntries.append(entry);
        ColourRequiredControl(entry.Name, entry.Part, true);
    }
    BindRequiredButtons(true);
}

bool TfrmBaseGene::RequiredControlEmpty(const QString& Name)
{
    QWidget* control = FindControl(Name);
    if (!control) return false;
    if (auto* panel = qobject_cast<TSelectPanel*>(control)) {
        if (!panel->IsRangeMode()) return panel->ItemCount() == 0;
        const auto empty = [panel](TMaskEdit* e) {
            const QString t = e->Text();
            return t.trimmed().isEmpty() || (e->IsMasked() && t == panel->BlankText());
        };
        return empty(panel->edBegin) || empty(panel->edFinal);
    }
    if (auto* mask = qobject_cast<TMaskEdit*>(control)) {
        const QString t = mask->Text();
        return t.trimmed().isEmpty() || (mask->IsMasked() && mask->Mask().SaveLiterals() && t == mask->BlankText());
    }
    return GetStrPropByName(control, QStringLiteral("Text")).trimmed().isEmpty();
}

bool TfrmBaseGene::CheckRequired()
{
    for (const TRequiredEntry& entry : RequiredEntries) {
        int flag = 0;
        if (entry.Flag.compare(QLatin1String("N"), Qt::CaseInsensitive) == 0) continue;
        if (ReadInt(entry.Flag, flag) && flag != -1) continue;
        if (!RequiredControlEmpty(entry.Name)) continue;
        ReportError(msgref::RequiredEmpty);
        QWidget* control = FindControl(entry.Name);
        for (QWidget* w = control; w; w = w->parentWidget()) {
            auto* sheet = qobject_cast<TTabSheet*>(w);
            if (sheet && sheet->PageControl()) {
                sheet->PageControl()->SetActivePage(sheet);
                break;
            }
        }
        if (control->isEnabled()) {
            if (auto* panel = qobject_cast<TSelectPanel*>(control)) panel->SetFocus();
            else control->setFocus();
        }
        return false;
    }
    return true;
}

void TfrmBaseGene::RequiredExit(QObject* Sender)
{
    const QString name = Sender ? Sender->objectName() : QString();
    QWidget* period = FindControl(kBtnPeriod);
    const bool periodDown = period && GetOrdPropByName(period, QStringLiteral("Down")) != 0;
    const bool alwaysChecked = name.compare(QLatin1String("btnQuery"), Qt::CaseInsensitive) == 0 ||
                               name.compare(QLatin1String("btnDesign"), Qt::CaseInsensitive) == 0;
    const bool check = alwaysChecked || !period || Sender == btnOk || periodDown;
    if (check && !CheckRequired()) {
        if (period && pgOption && pgOption->PageCount() > 0 &&
            pgOption->ActivePageIndex() != pgOption->PageCount() - 1) {
            SetOrdPropByName(period, QStringLiteral("Down"), 0);
            pgOption->Page(pgOption->PageCount() - 1)->SetTabVisible(false);
        }
        return;
    }
    const TNotifyEvent own = BoundEvents.value(name + kOnClick);
    if (own) own(Sender);
}

void TfrmBaseGene::SaveColours()
{
    std::function<void(QWidget*)> walk = [&](QWidget* parent) {
        for (QObject* child : parent->children()) {
            auto* w = qobject_cast<QWidget*>(child);
            if (!w || w->isWindow()) continue;
            const QString name = w->objectName();
            if (auto* panel = qobject_cast<TSelectPanel*>(w)) {
                if (name.isEmpty()) continue;
                SavedColoursList.insert(name, ControlColor(panel));
                SavedColoursList.insert(name + QStringLiteral(".edBegin"), ControlColor(panel->edBegin));
                SavedColoursList.insert(name + QStringLiteral(".edFinal"), ControlColor(panel->edFinal));
                SavedColoursList.insert(name + QStringLiteral(".ListBox"), ControlColor(panel->lstValues));
                continue;  // the panel's parts are kept under the panel's name
            }
            if (IsInnerPart(w, this)) continue;
            if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_"))) SavedColoursList.insert(name, ControlColor(w));
            if (!qobject_cast<TSpinEdit*>(w)) walk(w);
        }
    };
    walk(this);
}

void TfrmBaseGene::RestoreColours()
{
    for (auto it = SavedColoursList.cbegin(); it != SavedColoursList.cend(); ++it) {
        const QString& key = it.key();
        const int dot = key.indexOf(QLatin1Char('.'));
        QWidget* control = FindControl(dot < 0 ? key : key.left(dot));
        if (!control) continue;
        auto* panel = qobject_cast<TSelectPanel*>(control);
        if (dot < 0) SetControlColor(control, it.value());
        else if (!panel) continue;
        else if (key.endsWith(QLatin1String(".edBegin"))) SetControlColor(panel->edBegin, it.value());
        else if (key.endsWith(QLatin1String(".edFinal"))) SetControlColor(panel->edFinal, it.value());
        else if (key.endsWith(QLatin1String(".ListBox"))) SetControlColor(panel->lstValues, it.value());
    }
}

// ---------------------------------------------------------------- pick windows

void TfrmBaseGene::DoF2Key(int Key, QWidget* Control)
{
    (void)Key;
    if (!Control) return;
    if (CanTakeFocus(Control)) Control->setFocus();
    if (Control == edPrintDate) {
        QString picked;
        PickDate(edPrintDate->Text(), picked);
        // Without a pick window there is no answer: the date stays.
        if (!picked.isEmpty()) edPrintDate->SetText(picked);
    }
}

void TfrmBaseGene::PickDate(const QString& Text, QString& Result)
{
    Result.clear();
    if (!F2Window.IsObject()) return;
    // The calendar opens on the date in the field when it holds one.
    const QString current = DateToInternal(Text);
    const QString start = current.size() == 8 && IsValidDate8(current) ? current : Today();
    QString answer;
    try {
        answer = TF2WindowObject(F2Window).ShowInputDay(DateType() > 3, start, DatabaseName);
    } catch (const std::exception&) {
        answer.clear();
    }
    Result = answer.trimmed().isEmpty() ? Text : DateDisplay(answer.trimmed());
}

void TfrmBaseGene::F2GetData(const QString& Table, const QString& QueryId, const Variant& Keys, bool Flag,
                             const Variant& Extra, Variant& Data)
{
    Data = Variant();
    if (!F2Window.IsObject()) return;
    TCodeConverter* converter = Converter();
    Variant args = Variant::CreateArray(0, pickarg::Count - 1);
    args[pickarg::Table] = Table;
    args[pickarg::QueryId] = QueryId;
    args[pickarg::Keys] = converter ? converter->FromDisplay(Keys) : Keys;
    args[pickarg::MultiSelect] = Flag;
    args[pickarg::TypedText] = converter ? converter->FromDisplay(Extra) : Extra;
    args[pickarg::CompanyCode] = CompanyCode;
    args[pickarg::DatabaseName] = DatabaseName;
    args[pickarg::WindowHandle] = int(winId());
    args[pickarg::Reserved8] = 1;
    args[pickarg::Reserved9] = false;
    args[pickarg::ProductId] = ProductId;
    args[pickarg::Reserved11] = QString();
    args[pickarg::Reserved12] = QString();
    args[pickarg::Reserved13] = QString();
    args[pickarg::PermissionText] = PermissionText;
    args[pickarg::Rights7Allowed] = Rights7Allowed;
    args[pickarg::PricesAllowed] = PricesAllowed;
    args[pickarg::HostObject] = HostObject;
    args[pickarg::UserCode] = UserCode;
    try {
        Data = TF2WindowObject(F2Window).F2GetData(args);
    } catch (const std::exception&) {
        Data = Variant();
        return;
    }
    if (FormConverted() && converter) Data = converter->ToDisplay(Data);
}

void TfrmBaseGene::PickForSelectPanel(QWidget* Control, const QString& Table, bool Flag, const Variant& Extra,
                                      const Variant& Keys, const QString& QueryId)
{
    QWidget* part = nullptr;
    TSelectPanel* panel = PanelOfPart(Control, part);
    if (!panel) {
        ShowMsg(LangText(kClassName, QStringLiteral("sBBM"),
                         QStringLiteral("同学, 你吗帮帮忙, 这个 Procedure 是专门给TSelectPanel元件用的!")),
                mtError, {mbOK});
        return;
    }
    const bool list = part == panel->lstValues;
    Variant picked;
    F2GetData(Table, QueryId, Keys, list, Extra, picked);
    if (NothingPicked(picked)) return;
    // Flag asks for every column of the picked rows instead of the first four.
    if (list) panel->AddPickedRows(picked, Flag);
    else panel->SetPickedText(static_cast<TRabMaskEdit*>(part), picked);
}

void TfrmBaseGene::SelectPanelValue(TSelectPanel* Panel, Variant& Values, int Index)
{
    Values[Index] = Panel->Value();
}

void TfrmBaseGene::DateRangeValue(const QString& Text1, const QString& Text2, Variant& Values, int Index)
{
    QString d1 = DateToInternal(Text1), d2 = DateToInternal(Text2);
    if (!d1.isEmpty() && !d2.isEmpty() && d1.compare(d2, Qt::CaseInsensitive) > 0) std::swap(d1, d2);
    Values[Index] = Variant::ArrayOf({QString(QChar(4)), d1, d2});
}

// ---------------------------------------------------------------- program libraries

QString TfrmBaseGene::ProgramLibraryFile(const QString& Code)
{
    return QStringLiteral("lib") + Code + QStringLiteral("S.so");
}

Variant TfrmBaseGene::ProgramLibraryArgs(const QString& Mode, const QStringList& Texts, const Variant& Value,
                                         int Number, const QString& Text)
{
    const QString mode = Mode.toUpper();
    if (mode == QLatin1String("B"))
        return Variant::ArrayOf({ProgramCode, Texts.value(1), Texts.value(2), Value, Texts.value(3), Text, ProductId});
    return Variant::ArrayOf({ProgramCode, Texts.value(0), Texts.value(1), Texts.value(2), Texts.value(3), Value,
                             Number, mode, Text, ProductId, CollectingCaptions, UICodePage()});
}

bool TfrmBaseGene::RunProgramLibrary(const QString& Mode, const QStringList& Texts, const Variant& Value,
                                     int Number, const QString& Text)
{
    QCoreApplication::processEvents();
    TProgramLibraryRunner runner;
    runner.FileName = ProgramLibraryFile(ProgramCode);
    runner.Folders = TCorvaneIniS().WorkDLLPaths;
    runner.Report = [this](const QString& Reason) { ReportException(Reason); };
    // Asks the host which version is current and lets the downloader fetch it.
    runner.Update = [this, fileName = runner.FileName](const QString& LocalFile, QString& Error) {
        QString answer;
        try {
            answer = THostObject(HostObject).GetFileList(fileName);
        } catch (const std::exception&) {
            answer.clear();
        }
        return !LibraryUpdater || LibraryUpdater(answer, LocalFile, Error);
    };
    return runner.Run(ProgramLibraryArgs(Mode, Texts, Value, Number, Text));
}

}  // namespace kelm24
