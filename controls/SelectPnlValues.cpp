// The values of a select panel: the exit check with its swap rules, reading
// dates, the list rows (duplicates, sorting, sizing), the condition value,
// the stored text and picked data.
#include "controls/SelectPnl.h"
#include "runtime/DateText.h"

#include <QAbstractItemView>
#include <QCollator>
#include <QDate>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QRegularExpression>

namespace kelm24 {

namespace {

const QChar kFieldSep(3);
const QChar kRowEnd(4);
const QChar kColumnSep(1);
const QChar kRangeMark(4);
const QChar kListMark(5);

// An integer from text; 0 when it is not one.
int IntOrZero(const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}

// The text as a number in a normal form ("007.50" is "7.5", "+.5" is
// "0.5"), rewritten digit by digit so that no digit of the value is lost; a
// number in another form (an exponent) stays as typed, and so does a text that
// is not a number (its value is 0).
QString NormalisedNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    bool ok = false;
    value = QLocale::c().toDouble(t, &ok);
    if (!ok) {
        value = 0;
        return text;
    }
    static const QRegularExpression plain(QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?$"));
    const QRegularExpressionMatch m = plain.match(t);
    if (!m.hasMatch()) return t;
    QString whole = m.captured(2), fraction = m.captured(3);
    while (whole.size() > 1 && whole.startsWith(QLatin1Char('0'))) whole.remove(0, 1);
    if (whole.isEmpty()) whole = QStringLiteral("0");
    while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
    const bool zero = whole == QLatin1String("0") && fraction.isEmpty();
    const QString sign = m.captured(1) == QLatin1String("-") && !zero ? QStringLiteral("-") : QString();
    return sign + whole + (fraction.isEmpty() ? QString() : QLatin1Char('.') + fraction);
}

// A year, month and day as the number YYYYMMDD; 0 when they make no date.
// Wide numbers: a year read near the end of the integer range is moved by
// 1911 without overflowing.
int EncodeDate(qint64 year, qint64 month, qint64 day)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return 0;
    const QString date8 = QString::asprintf("%04d%02d%02d", int(year), int(month), int(day));
    return IsValidDate8(date8) ? date8.toInt() : 0;
}

// The text of a cell of the pick result: an array's element, a value's text.
QString CellText(const Variant& v)
{
    try {
        return v.IsEmpty() || v.IsNull() ? QString() : v.ToString();
    } catch (const EVariantError&) {
        return QString();
    }
}

// The columns of one pick-result row (a 1-D array, or one value).
QStringList RowTexts(const Variant& row)
{
    QStringList out;
    if (!row.IsArray()) {
        out << CellText(row);
        return out;
    }
    for (int i = row.LowBound(); i <= row.HighBound(); ++i) out << CellText(row[i]);
    return out;
}

// The rows of a pick result: a 1-D array of rows, or a 2-D array (rows x columns).
QList<QStringList> ResultRows(const Variant& result)
{
    QList<QStringList> rows;
    if (!result.IsArray()) return rows;
    if (result.DimCount() == 2) {
        for (int r = result.LowBound(1); r <= result.HighBound(1); ++r) {
            QStringList row;
            for (int c = result.LowBound(2); c <= result.HighBound(2); ++c) row << CellText(result.At(r, c));
            rows << row;
        }
        return rows;
    }
    for (int i = result.LowBound(); i <= result.HighBound(); ++i) rows << RowTexts(result[i]);
    return rows;
}

}  // namespace

// Exit check ----------------------------------------------------------------

int TSelectPanel::ReadDate(const QString& input) const
{
    QString text = input.trimmed();
    if (text.isEmpty() || text == blankText_ || text == blankText_.trimmed()) return 0;
    const QString sign = dateSign_.isEmpty() ? QStringLiteral("/") : dateSign_;
    const int separators = int(text.count(sign));
    if (separators == 1) {
        // A year and a month: the first day of the month.
        QStringList parts = text.split(sign);
        if (dateType_ == dt_MMDDYYYY) parts.insert(1, QStringLiteral("01"));
        else if (dateType_ == dt_DDMMYYYY) parts.prepend(QStringLiteral("01"));
        else parts.append(QStringLiteral("01"));
        text = parts.join(sign);
    } else if (separators != 2) {
        return 0;
    }
    const QStringList parts = text.split(sign);
    int n[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        n[i] = parts[i].trimmed().toInt(&ok);
        if (!ok) return 0;
    }
    switch (dateType_) {
    case dt_MMDDYYYY: return EncodeDate(n[2], n[0], n[1]);
    case dt_DDMMYYYY: return EncodeDate(n[2], n[1], n[0]);
    case dt_YYMMDD:
    case dt_YYYMMDD: return EncodeDate(qint64(n[0]) + 1911, n[1], n[2]);
    default: return EncodeDate(n[0], n[1], n[2]);
    }
}

bool TSelectPanel::ShouldSwap(QString& begin, QString& end) const
{
    auto isBlank = [this](const QString& t) { return t == blankText_ || (!blankText_.isEmpty() && t == blankText_.trimmed()); };
    auto isDiscard = [this](const QString& t) { return useDiscard_ && t.trimmed() == discard_; };
    switch (valueType_) {
    case vt_Number: return IntOrZero(end) < IntOrZero(begin);
    case vt_Date:
        if (!autoChangeDateSite_) return false;
        if (isBlank(begin) || isBlank(end) || isDiscard(begin) || isDiscard(end)) return false;
        if (dateType_ == dt_NoneCare) return QString::compare(begin, end) > 0;
        return ReadDate(begin) > ReadDate(end);
    case vt_String:
    case vt_Time:
        if (isBlank(begin) || isBlank(end) || isDiscard(begin) || isDiscard(end)) return false;
        return QString::compare(begin, end) > 0;
    case vt_Float: {
        double b = 0, e = 0;
        begin = NormalisedNumber(begin, b);
        end = NormalisedNumber(end, e);
        return e < b;
    }
    case vt_OtherMask: return false;
    }
    return false;
}

void TSelectPanel::DoExit()
{
    QString begin = edBegin->Text(), end = edFinal->Text();
    const bool keepBlanks = EditMask().startsWith(QLatin1Char('!'));
    if (!keepBlanks) {
        begin = begin.trimmed();
        end = end.trimmed();
        // A masked edit renders its own blanks; only plain texts are written back.
        if (!edBegin->IsMasked() && begin != edBegin->Text()) edBegin->SetText(begin);
        if (!edFinal->IsMasked() && end != edFinal->Text()) edFinal->SetText(end);
    }
    if (!begin.isEmpty() && !end.isEmpty()) {
        QString b = begin, e = end;
        const bool swap = ShouldSwap(b, e);
        if (valueType_ == vt_Float) {
            edBegin->SetText(b);
            edFinal->SetText(e);
        }
        if (swap) {
            edBegin->SetText(e);
            edFinal->SetText(b);
        }
    }
    TControlEvents::Fire(OnExit, this);
}

// Values --------------------------------------------------------------------

QList<QStringList> TSelectPanel::Rows() const
{
    QList<QStringList> rows;
    for (const TListItem* item : lstValues->AllItems()) rows << (QStringList{item->Caption()} + item->SubItems());
    return rows;
}

Variant TSelectPanel::Value() const
{
    if (IsRangeMode()) return Variant::ArrayOf({QString(kRangeMark), BeginText(), FinalText()});
    const QList<QStringList> rows = Rows();
    Variant value = Variant::CreateArray(0, int(rows.size()));
    value[0] = QString(kListMark);
    for (int i = 0; i < rows.size(); ++i) {
        std::vector<Variant> row;
        for (const QString& cell : rows[i]) row.emplace_back(cell);
        value[i + 1] = Variant::ArrayOf(row);
    }
    return value;
}

QString TSelectPanel::EncodeListText(const QList<QStringList>& rows)
{
    QString text;
    for (const QStringList& row : rows) {
        text += row.value(0);
        for (int i = 1; i < row.size(); ++i) text += kColumnSep + row[i];
        text += kRowEnd;
    }
    return text;
}

QList<QStringList> TSelectPanel::DecodeListText(const QString& text)
{
    QList<QStringList> rows;
    for (const QString& part : text.split(kRowEnd)) {
        if (part.isEmpty()) continue;
        rows << part.split(kColumnSep);
    }
    return rows;
}

QString TSelectPanel::StoredText() const
{
    const QString range = BeginText() + kFieldSep + FinalText();
    const QString list = EncodeListText(Rows());
    switch (style_) {
    case sp_Range: return QStringLiteral("sp_Range") + kFieldSep + range;
    case sp_Discrete: return QStringLiteral("sp_Discrete") + kFieldSep + list;
    case sp_UserChoice:
        return QStringLiteral("sp_UserChoice") + kFieldSep +
               (userChoice_ ? QStringLiteral("True") + kFieldSep + range : QStringLiteral("False") + kFieldSep + list);
    }
    return QString();
}

void TSelectPanel::RestoreStoredText(const QString& text)
{
    const QStringList fields = text.split(kFieldSep);
    const QString kind = fields.value(0);
    auto restoreList = [this](const QString& listText) {
        QList<QStringList> rows;
        try {
            rows = DecodeListText(listText);
        } catch (...) {
            throw Exception(QStringLiteral("parse spSaveValue error"));
        }
        lstValues->Clear();
        lstValues->AddRows(rows);
    };
    if (kind == QLatin1String("sp_Range")) {
        SetBeginText(fields.value(1));
        SetFinalText(fields.value(2));
    } else if (kind == QLatin1String("sp_Discrete")) {
        restoreList(fields.value(1));
    } else if (kind == QLatin1String("sp_UserChoice")) {
        const bool range = fields.value(1) == QLatin1String("True");
        SetUserChoice(range);
        if (!range) {
            restoreList(fields.value(2));
        } else {
            SetBeginText(fields.value(2));
            SetFinalText(fields.value(3));
        }
    }
}

void TSelectPanel::AddPickedRows(const Variant& result, bool allColumns)
{
    QList<QStringList> rows;
    for (const QStringList& row : ResultRows(result)) {
        if (useDiscard_) rows << QStringList{row.join(discard_)};
        else rows << (allColumns ? row : row.mid(0, 4));
    }
    lstValues->AddRows(rows);
}

void TSelectPanel::SetPickedText(TRabMaskEdit* edit, const Variant& result)
{
    if (!result.IsArray()) {
        edit->SetText(CellText(result));
        return;
    }
    const QList<QStringList> rows = ResultRows(result);
    if (rows.isEmpty()) return;
    edit->SetText(useDiscard_ ? rows[0].join(discard_) : rows[0].value(0));
}

bool TSelectPanel::PickFromHost(const TF2WindowObject& window, Variant args, QWidget* part, bool allColumns)
{
    auto* edit = part == edBegin || part == edFinal ? static_cast<TRabMaskEdit*>(part) : nullptr;
    if (!window.Assigned() || (!edit && part != lstValues)) return false;
    if (args.IsArray() && args.HighBound() >= 3) args[3] = Variant(edit == nullptr);
    const Variant answer = window.F2GetData(args);
    if (answer.IsEmpty() || answer.IsNull() || (answer.IsArray() && answer.Count() == 0)) return false;
    if (edit) SetPickedText(edit, answer);
    else AddPickedRows(answer, allColumns);
    return true;
}

// TRabListView --------------------------------------------------------------

TRabListView::TRabListView(QWidget* parent) : TListView(parent)
{
    SetViewStyle(vsReport);
    SetMultiSelect(true);
    SetRowSelect(true);
    SetReadOnly(true);
    SetShowColumnHeaders(false);
    SetHideSelection(false);
    OnColumnClick = [this](QObject*, TListColumn* column) { SortByColumn(column->Index()); };
    for (QAbstractItemView* v : findChildren<QAbstractItemView*>()) v->viewport()->installEventFilter(this);
}

void TRabListView::AddRow(const QStringList& values) { AddRows({values}); }

void TRabListView::AddRows(const QList<QStringList>& rows)
{
    // Sorting, padding, duplicate removal and sizing run once for the whole
    // batch: the outcome is that of adding the rows one by one, without the
    // work growing with the square of the rows.
    BeginUpdate();
    for (const QStringList& values : rows) {
        if (values.isEmpty()) continue;
        while (ColumnCount() < values.size())
            AddColumn(QStringLiteral("Data") + QString::number(ColumnCount() + 1))->SetAutoSize(ColumnsAutoSize);
        AddItem(values[0], values.mid(1, ColumnCount() - 1));
    }
    EndUpdate();
    const int subCount = ColumnCount() - 1;
    for (TListItem* item : AllItems()) {
        QStringList subs = item->SubItems();
        if (subs.size() >= subCount) continue;
        while (subs.size() < subCount) subs << QString();
        item->SetSubItems(subs);
    }
    RemoveDuplicates();
    if (ColumnsAutoSize) SizeColumns();
}

void TRabListView::RemoveDuplicates()
{
    if (CheckDuplicate == 0) return;
    const bool ignoreCase = CheckDuplicate == 2;
    for (int i = ItemCount() - 1; i >= 1; --i) {
        QString a = Item(i)->Caption(), b = Item(i - 1)->Caption();
        if (ignoreCase) {
            a = a.toUpper();
            b = b.toUpper();
        }
        if (a == b) DeleteItem(i);
    }
}

void TRabListView::SizeColumns()
{
    const QFontMetrics fm(font());
    const int unit = fm.horizontalAdvance(QLatin1Char('W'));
    for (int c = 0; c < ColumnCount(); ++c) {
        int longest = int(Column(c)->Caption().size());
        int widest = fm.horizontalAdvance(Column(c)->Caption());
        for (const TListItem* item : AllItems()) {
            longest = qMax(longest, int(item->ColumnText(c).size()));
            widest = qMax(widest, fm.horizontalAdvance(item->ColumnText(c)));
        }
        // "W" units, but never narrower than the widest text with the cell's margins
        // (a narrow font would cut the texts).
        int width = qMax(longest * unit, widest + 12);
        if (c == 0 && ShownImages()) width += 24;
        Column(c)->SetAutoSize(false);
        Column(c)->SetWidth(width);
    }
}

void TRabListView::SortByColumn(int column)
{
    if (column == sortColumn_) {
        descending_ = !descending_;
    } else {
        sortColumn_ = column;
        descending_ = false;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const int sortColumn = sortColumn_;
    const bool descending = descending_;
    SortItems([&](const TListItem* a, const TListItem* b) {
        int r = collator.compare(a->ColumnText(sortColumn), b->ColumnText(sortColumn));
        if (r == 0) r = collator.compare(a->Caption(), b->Caption());
        if (r == 0) r = collator.compare(a->ColumnText(1), b->ColumnText(1));
        return descending ? -r : r;
    });
}

bool TRabListView::eventFilter(QObject* watched, QEvent* event)
{
    // A left click first takes the focus and acts only when it was taken.
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        watched != this) {
        QWidget* view = CurrentView();
        if (!view->hasFocus()) {
            view->setFocus(Qt::MouseFocusReason);
            if (!view->hasFocus()) return true;
        }
    }
    return TListView::eventFilter(watched, event);
}

}  // namespace kelm24
