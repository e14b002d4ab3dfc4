// Saved condition sets: the named contents of an option form, stored per user
// and program through the application server, listed in lstCondition, opened,
// deleted and renamed there. Which components are stored is the derived
// form's SavedSpecs; how each value is written and read back is decided here.
#include "format/engine/ClientDataSet.h"
#include "options/BaseGene.h"
#include "options/ConditionSetClient.h"
#include "options/FormParts.h"
#include "runtime/CodePage.h"
#include "runtime/DateText.h"
#include "runtime/PropUtils.h"

#include <QApplication>
#include <QDate>
#include <QGuiApplication>
#include <QLocale>
#include <QMetaEnum>

namespace kelm24 {

namespace {

const QChar kFieldSep(3);
const QString kLineEnd = QStringLiteral("\r\n");
const QString kFormClass = QStringLiteral("TfrmBaseGene");
const QString kConditionIndex = QStringLiteral("NCONDITION;CREATOR;PROGRAMME");
const int kMaxNameBytes = 20;

// One "component.property" entry of a saved-control list (SavedSpecs); empty parts when
// the entry is to be skipped.
struct TSpecEntry {
    QString Component, Property;
    bool Valid() const { return !Component.isEmpty() && !Property.isEmpty(); }
};

QList<TSpecEntry> ParseSpecs(const QString& specs)
{
    QList<TSpecEntry> entries;
    for (const QString& raw : specs.split(QLatin1Char(';'))) {
        const QString entry = raw.trimmed();
        const int dot = int(entry.indexOf(QLatin1Char('.')));
        if (dot < 0) {
            entries << TSpecEntry{};
            continue;
        }
        entries << TSpecEntry{entry.left(dot).trimmed(), entry.mid(dot + 1).trimmed()};
    }
    return entries;
}

// How a property's value is stored.
enum class TValueKind { Ordinal, Enumeration, Float, Text, Unsupported };

TValueKind KindOf(const QMetaProperty& p)
{
    if (p.metaType().id() == QMetaType::Bool) return TValueKind::Enumeration;
    if (p.isFlagType()) return TValueKind::Ordinal;  // sets are stored as their number
    if (p.isEnumType()) return TValueKind::Enumeration;
    switch (p.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar: return TValueKind::Ordinal;
    case QMetaType::Double:
    case QMetaType::Float: return TValueKind::Float;
    case QMetaType::QString: return TValueKind::Text;
    default: return TValueKind::Unsupported;
    }
}

// The user's locale without digit grouping, so that a stored float reads back.
QLocale FloatLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

qint64 ParseInteger(const QString& value, const QString& entry)
{
    bool ok = false;
    const qint64 n = value.trimmed().toLongLong(&ok);
    if (!ok) throw Exception(QStringLiteral("'%1' is not a valid integer value (%2)").arg(value, entry));
    return n;
}

// Hourglass cursor for the lifetime of the object.
class TBusyCursor {
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

// Code pages -----------------------------------------------------------------

QString TfrmBaseGene::ToDataCodePage(const QString& Text) const
{
    return Converter() ? Converter()->FromDisplay(Variant(Text)).ToString() : Text;
}

QString TfrmBaseGene::ToUICodePage(const QString& Text) const
{
    return Converter() ? Converter()->ToDisplay(Text) : Text;
}

int TfrmBaseGene::DataByteLength(const QString& Text) const
{
    // Names are stored in the database's Chinese code page (GB unless it is Big5).
    const bool big5 = Converter() && Converter()->DBCodePage == QLatin1String("950");
    return int(EncodeCodePage(ToDataCodePage(Text), big5 ? 950 : 936).size());
}

// Values of one entry --------------------------------------------------------

QString TfrmBaseGene::RuleDate(const QString& ControlName, const QString& Text, bool EndPart)
{
    const QString date = DateToInternal(Text);
    if (date.isEmpty()) return date;
    for (const QString& rule : DateRules) {
        const QStringList f = rule.split(kFieldSep);
        if (f.value(1).compare(ControlName, Qt::CaseInsensitive) != 0) continue;
        // Fields from 3 on (1-based): change flag, count, unit, mode, days;
        // a range rule has the end part five fields later.
        const int at = EndPart && f.value(0) == QLatin1String("0") ? 7 : 2;
        if (f.value(at) != QLatin1String("Y")) return date;
        const QString count = f.value(at + 1), unit = f.value(at + 2), mode = f.value(at + 3), days = f.value(at + 4);
        if (count.trimmed().toInt() == 0 && mode.trimmed().toInt() == 0 && days.trimmed().toInt() == 0) return date;
        const QString moved = PeriodDate(date, count, unit, mode, days);
        // A shift beyond the calendar keeps the date as entered rather than losing it.
        return moved.isEmpty() ? date : moved;
    }
    return date;
}

QString TfrmBaseGene::SavedValue(QObject* Component, const QString& PropName)
{
    const QString name = Component->objectName();
    if (auto* panel = qobject_cast<TSelectPanel*>(Component)) {
        // A date panel keeps internal dates, moved by its rule, so that the set
        // reads back in any date style.
        if (NameListed(DateFields, name))
            return QStringLiteral("sp_Range") + kFieldSep + RuleDate(name, panel->BeginText(), false) + kFieldSep +
                   RuleDate(name, panel->FinalText(), true);
        return panel->StoredText();
    }
    const QMetaProperty p = FindPublishedProperty(Component, PropName);
    if (!p.isValid()) {
        if (auto* combo = qobject_cast<TComboBox*>(Component)) return QString::number(combo->ItemIndex());
        return QString();
    }
    const QVariant v = p.read(Component);
    switch (KindOf(p)) {
    case TValueKind::Ordinal:
        return QString::number(p.metaType().id() == QMetaType::QChar ? qint64(v.toChar().unicode()) : v.toLongLong());
    case TValueKind::Enumeration:
        if (p.metaType().id() == QMetaType::Bool) return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        return QString::fromLatin1(p.enumerator().valueToKey(v.toInt()));
    case TValueKind::Float: return FloatLocale().toString(v.toDouble(), 'g', 15);
    case TValueKind::Text:
        if (NameListed(DateFields, name)) return RuleDate(name, v.toString(), false);
        if (NameListed(YearMonthFields, name)) return YearMonthToInternal(v.toString());
        return v.toString();
    case TValueKind::Unsupported: break;
    }
    return QString();
}

void TfrmBaseGene::RestoreSelectPanel(TSelectPanel* Panel, const QString& Value)
{
    const QStringList f = Value.split(kFieldSep);
    const QString style = f.value(0);
    if (style == QLatin1String("sp_Range") && NameListed(DateFields, Panel->objectName())) {
        Panel->SetEditMask(DateMask());
        Panel->SetBeginText(f.value(1).isEmpty() ? QString() : DateDisplay(f.value(1)));
        Panel->SetFinalText(f.value(2).isEmpty() ? QString() : DateDisplay(f.value(2)));
        return;
    }
    if (style == QLatin1String("sp_Range") || style == QLatin1String("sp_Discrete") ||
        style == QLatin1String("sp_UserChoice"))
        Panel->RestoreStoredText(Value);
}

bool TfrmBaseGene::RestoreValue(QObject* Component, const QString& PropName, const QString& Value)
{
    const QString entry = Component->objectName() + QLatin1Char('.') + PropName;
    const QMetaProperty p = FindPublishedProperty(Component, PropName);
    if (!p.isValid()) {
        auto* combo = qobject_cast<TComboBox*>(Component);
        if (combo && !Value.isEmpty()) combo->SetItemIndex(int(ParseInteger(Value, entry)));
        return true;
    }
    const TValueKind kind = KindOf(p);
    if (kind == TValueKind::Unsupported) return false;
    // An empty line stored nothing (the component was missing when the set
    // was saved); only a text property takes it as its value.
    if (Value.isEmpty() && kind != TValueKind::Text) return true;
    switch (kind) {
    case TValueKind::Ordinal:
        if (p.metaType().id() == QMetaType::QChar) p.write(Component, QChar(char16_t(ParseInteger(Value, entry))));
        else if (p.isFlagType()) p.write(Component, int(ParseInteger(Value, entry)));
        else p.write(Component, QVariant(ParseInteger(Value, entry)));
        break;
    case TValueKind::Enumeration: {
        const QString key = Value.trimmed();
        if (p.metaType().id() == QMetaType::Bool) {
            if (key.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) p.write(Component, true);
            else if (key.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) p.write(Component, false);
            else throw Exception(QStringLiteral("'%1' is not a valid boolean value (%2)").arg(Value, entry));
            break;
        }
        bool ok = false;
        const int n = p.enumerator().keyToValue(key.toLatin1().constData(), &ok);
        if (!ok) throw Exception(QStringLiteral("'%1' is not a valid value of %2").arg(Value, entry));
        p.write(Component, n);
        break;
    }
    case TValueKind::Float: {
        bool ok = false;
        const double d = FloatLocale().toDouble(Value.trimmed(), &ok);
        if (!ok) throw Exception(QStringLiteral("'%1' is not a valid floating point value (%2)").arg(Value, entry));
        p.write(Component, d);
        break;
    }
    case TValueKind::Text: {
        const QString name = Component->objectName();
        if (NameListed(DateFields, name)) {
            SetStrPropByName(Component, QStringLiteral("EditMask"), DateMask());
            p.write(Component, Value.isEmpty() ? QString() : DateDisplay(Value));
        } else if (NameListed(YearMonthFields, name)) {
            SetStrPropByName(Component, QStringLiteral("EditMask"), YearMonthMask());
            p.write(Component, Value.isEmpty() ? QString() : YearMonthDisplay(Value));
        } else {
            p.write(Component, Value);
        }
        break;
    }
    case TValueKind::Unsupported: break;
    }
    return true;
}

// The three operations ---------------------------------------------------------

TConditionSetClient TfrmBaseGene::ConditionSetClient() const
{
    return TConditionSetClient(AppServer, UserCode, ProgramCode, [this](const QString& Text) { return ToDataCodePage(Text); });
}

bool TfrmBaseGene::SaveConditionSet(const QString& Specs, const QString& Name, bool Replace)
{
    try {
        QString values;
        for (const TSpecEntry& e : ParseSpecs(Specs)) {
            QObject* component = e.Valid() ? FindControl(e.Component) : nullptr;
            if (component) values += SavedValue(component, e.Property);
            values += kLineEnd;
        }
        ConditionSetClient().Insert(Name, Specs, values, Replace);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool TfrmBaseGene::RestoreConditionSet(const QString& Specs, const QString& Values)
{
    const QStringList lines = Values.split(kLineEnd);
    const QList<TSpecEntry> entries = ParseSpecs(Specs);
    try {
        for (int i = 0; i < entries.size(); ++i) {
            const TSpecEntry& e = entries[i];
            QWidget* control = e.Valid() ? FindControl(e.Component) : nullptr;
            if (!control) continue;
            const QString value = lines.value(i);
            BeforeRestoreValue(control, value);
            if (auto* panel = qobject_cast<TSelectPanel*>(control)) RestoreSelectPanel(panel, value);
            // A kind that cannot be stored was saved as an empty line: skipped
            // so that the entries after it are still restored.
            else if (!RestoreValue(control, e.Property, value)) continue;
            AfterRestoreValue(control, value);
        }
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

bool TfrmBaseGene::LoadConditionSets()
{
    if (!AppServer.IsObject()) return false;
    TBusyCursor busy;
    lstCondition->BeginUpdate();
    const TListView::TViewStyle style = lstCondition->ViewStyle();
    lstCondition->SetViewStyle(TListView::vsList);
    try {
        lstCondition->Clear();
        ConditionSetClient().Load();
        ClientDataSet1->SetRemoteServer(AppServer);
        if (ClientDataSet1->ProviderName().isEmpty()) ClientDataSet1->SetProviderName(QStringLiteral("pvdConSave"));
        if (ClientDataSet1->IndexFieldNames().isEmpty()) ClientDataSet1->SetIndexFieldNames(kConditionIndex);
        ClientDataSet1->Close();
        ClientDataSet1->Open();
        for (ClientDataSet1->First(); !ClientDataSet1->Eof(); ClientDataSet1->Next()) {
            const QString stored = ClientDataSet1->FieldByName(QStringLiteral("CREATE_DATE")).AsString().trimmed();
            const QDate date = QDate::fromString(stored, QStringLiteral("yyyyMMdd"));
            TListItem* item =
                lstCondition->AddItem(ToUICodePage(ClientDataSet1->FieldByName(QStringLiteral("NCONDITION")).AsString()),
                                      {date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : stored});
            item->SetImageIndex(0);
        }
    } catch (...) {
        lstCondition->SetViewStyle(style);
        lstCondition->EndUpdate();
        throw;
    }
    lstCondition->SetViewStyle(style);
    lstCondition->EndUpdate();
    return true;
}

// Handlers ---------------------------------------------------------------------

namespace {
// A handler's failure is shown as the framework shows an exception that
// leaves an event handler; it must not travel into the window system's loop.
template <class F>
void Guarded(TfrmBaseGene* form, F&& run)
{
    try {
        run();
    } catch (const std::exception& e) {
        const auto* k = dynamic_cast<const Exception*>(&e);
        form->ShowMsg(k ? k->Message() : QString::fromLocal8Bit(e.what()), mtError, {mbOK});
    }
}
}  // namespace

void TfrmBaseGene::btnInsertClick()
{
    // Leaving the active field runs its check, which may set ValidationFailed.
    // The focus move runs it when the window has the focus; only when the move
    // left the field unnoticed (no focus change delivered) is it run here, so
    // that the field's own exit handler runs once.
    QWidget* active = QApplication::focusWidget();
    bool left = false;
    const QMetaObject::Connection watch =
        connect(qApp, &QApplication::focusChanged, this, [active, &left](QWidget* old, QWidget*) {
            if (active && old == active) left = true;
        });
    pnlCondition->setFocus();
    disconnect(watch);
    if (!left) RunActiveExit();
}

void TfrmBaseGene::btnOpenClick()
{
    Guarded(this, [this] {
        TListItem* item = lstCondition->Item(lstCondition->ItemIndex());
        if (!item || !ClientDataSet1->Active()) return;
        ClientDataSet1->SetIndexFieldNames(kConditionIndex);
        if (!ClientDataSet1->FindKey({ToDataCodePage(item->Caption()), UserCode, ProgramCode})) return;
        bool restored = false;
        {
            TBusyCursor busy;
            const QString values = ToUICodePage(ClientDataSet1->FieldByName(QStringLiteral("VCONDITION")).AsString());
            restored = RestoreConditionSet(ClientDataSet1->FieldByName(QStringLiteral("SCONDITION")).AsString(), values);
        }
        if (!restored) ShowMessageRef(QStringLiteral("R"), QStringLiteral("200235"), {}, -1);
        AfterConditionSetOpened();
    });
}

void TfrmBaseGene::btnDeleteClick()
{
    Guarded(this, [this] {
        TListItem* item = lstCondition->Item(lstCondition->ItemIndex());
        if (!item) return;
        const QString name = item->Caption();
        const QString question = LangText(kFormClass, QStringLiteral("sDeleteProj"), QStringLiteral("确实要删除此方案吗？"));
        if (ShowMsg(question + name, mtConfirmation, {mbYes, mbNo}) != mrYes) return;
        ConditionSetClient().Delete(name);
        LoadConditionSets();
    });
}

void TfrmBaseGene::lstConditionEdited(TListItem* Item, QString& S)
{
    if (!Item) return;
    const QString old = Item->Caption();
    auto refuse = [&](const char* key, const QString& text) {
        ShowMsg(LangText(kFormClass, QString::fromLatin1(key), text), mtError, {mbOK});
        S = old;
    };
    if (S.trimmed().isEmpty()) return refuse("sProjNameEmpty", QStringLiteral("方案名不可空白!"));
    if (DataByteLength(S) > kMaxNameBytes) return refuse("sProjNameError", QStringLiteral("方案名长度不可大于20!"));
    for (const TListItem* other : lstCondition->AllItems())
        if (other != Item && other->Caption() == S) return refuse("sProjNameExist", QStringLiteral("此方案名称已经存在！"));
    if (S == old) return;
    Guarded(this, [&] {
        QString answer;
        try {
            answer = ConditionSetClient().Rename(old, S);
        } catch (...) {
            S = old;  // the server has not renamed it
            throw;
        }
        if (!answer.isEmpty()) {
            refuse("sFailedRename", QStringLiteral("更改方案名失败!"));
            throw Exception(answer);
        }
        // The list's rows follow the server: the record takes the new name.
        if (!ClientDataSet1->Active()) return;
        ClientDataSet1->SetIndexFieldNames(kConditionIndex);
        if (!ClientDataSet1->FindKey({ToDataCodePage(old), UserCode, ProgramCode})) return;
        ClientDataSet1->Edit();
        ClientDataSet1->FieldByName(QStringLiteral("NCONDITION")).SetAsString(ToDataCodePage(S));
        ClientDataSet1->Post();
    });
}

// View styles --------------------------------------------------------------------

namespace {
void SetConditionView(TListView* list, TListView::TViewStyle style, const QList<TMenuItem*>& items)
{
    list->BeginUpdate();
    list->SetViewStyle(style);
    list->EndUpdate();
    for (int i = 0; i < items.size(); ++i)
        if (items[i]) items[i]->SetChecked(i == int(style));
}
}  // namespace

void TfrmBaseGene::ViewIconExecute()
{
    SetConditionView(lstCondition, TListView::vsIcon, {ViewIcon, ViewSmallIcon, ViewList, ViewReport});
}

void TfrmBaseGene::ViewSmallIconExecute()
{
    SetConditionView(lstCondition, TListView::vsSmallIcon, {ViewIcon, ViewSmallIcon, ViewList, ViewReport});
}

void TfrmBaseGene::ViewListExecute()
{
    SetConditionView(lstCondition, TListView::vsList, {ViewIcon, ViewSmallIcon, ViewList, ViewReport});
}

void TfrmBaseGene::ViewReportExecute()
{
    SetConditionView(lstCondition, TListView::vsReport, {ViewIcon, ViewSmallIcon, ViewList, ViewReport});
}

void TfrmBaseGene::ToolButton1Click()
{
    static const char* const kViews[] = {"ViewIcon", "ViewSmallIcon", "ViewList", "ViewReport"};
    const int step = (ToolButton1->Tag() + 1) % 4;
    ToolButton1->SetTag(step);
    QMetaObject::invokeMethod(this, (QByteArray(kViews[step]) + "Execute").constData());
}

}  // namespace kelm24
