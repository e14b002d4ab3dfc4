#include "controls/Aligrid.h"

#include "controls/AligridDelegate.h"

#include <QCollator>
#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>
#include <algorithm>
#include <numeric>

namespace kelm24 {

namespace {

// The object Columns(n) answers: the column's caption (its text in fixed
// row 0), width and alignment.
class TGridColumn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(kelm24::TStringAlignGrid::TMyAlign Alignment READ Alignment WRITE SetAlignment)
public:
    TGridColumn(TStringAlignGrid* grid, int col) : QObject(grid), grid_(grid), col_(col) {}
    QString Caption() const { return grid_->Cells(col_, 0); }
    void SetCaption(const QString& v) { grid_->SetCells(col_, 0, v); }
    int Width() const { return grid_->ColWidths(col_); }
    void SetWidth(int v) { grid_->SetColWidths(col_, v); }
    TStringAlignGrid::TMyAlign Alignment() const
    {
        return TStringAlignGrid::TMyAlign(grid_->Props(TStringAlignGrid::ptCol, col_).Alignment);
    }
    void SetAlignment(TStringAlignGrid::TMyAlign v) { grid_->SetAlignCol(col_, v); }

private:
    TStringAlignGrid* grid_;
    int col_;
};

constexpr qint64 kMaxFontPixels = 1000;

// The new place of index when the item at from moves to to.
int MovedIndex(int i, int from, int to)
{
    if (i == from) return to;
    if (from < to && i > from && i <= to) return i - 1;
    if (to < from && i >= to && i < from) return i + 1;
    return i;
}

template <class Map, class KeyFn>
Map Remapped(const Map& map, KeyFn newKey)
{
    Map out;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) out.insert(newKey(it.key()), it.value());
    return out;
}

// Drops the entries whose key keep refuses.
template <class Map, class Keep>
void RemoveUnless(Map& map, Keep keep)
{
    for (auto it = map.begin(); it != map.end();) it = keep(it.key()) ? std::next(it) : map.erase(it);
}

}  // namespace

bool TCellProperties::IsEmpty() const { return *this == TCellProperties(); }

QFont TGridFont::ToFont(const QFont& base) const
{
    QFont f = base;
    if (!Name.isEmpty()) f.setFamily(Name);
    // Wide arithmetic and a bound: a damaged stored height (the lowest
    // integer, a billion pixels) gives a large font, not an overflow.
    const qint64 pixels = qAbs(qint64(Height));
    if (pixels != 0) f.setPixelSize(int(qMin<qint64>(pixels, kMaxFontPixels)));
    f.setBold(Style & 1);
    f.setItalic(Style & 2);
    f.setUnderline(Style & 4);
    f.setStrikeOut(Style & 8);
    if (Pitch == 1) f.setFixedPitch(true);
    return f;
}

TStringAlignGrid::TStringAlignGrid(QWidget* parent) : TStringGrid(parent)
{
    delegate_ = new TGridDelegate(this);
    setItemDelegate(delegate_);
    setShowGrid(false);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] {
        TControlEvents::Fire(OnColWidthsChanged, this);
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this, [this] {
        TControlEvents::Fire(OnRowHeightsChanged, this);
    });
}

TStringAlignGrid::~TStringAlignGrid()
{
    horizontalHeader()->disconnect(this);
    verticalHeader()->disconnect(this);
}

// Grid-wide settings ---------------------------------------------------------

void TStringAlignGrid::Repaint() { viewport()->update(); }

void TStringAlignGrid::SetAlignment(TMyAlign v)
{
    alignment_ = v;
    Repaint();
}

void TStringAlignGrid::SetWordwrap(T_Wordwrap v)
{
    wordwrap_ = v;
    Repaint();
}

void TStringAlignGrid::SetEditable(bool v)
{
    editable_ = v;
    Model()->AllChanged();
}

void TStringAlignGrid::SetFixedColor(int v)
{
    fixedColor_ = v;
    Repaint();
}

void TStringAlignGrid::SetSelectedCellColor(int v)
{
    selectedCellColor_ = v;
    Repaint();
}

void TStringAlignGrid::SetSelectedFontColor(int v)
{
    selectedFontColor_ = v;
    Repaint();
}

void TStringAlignGrid::SetGridLineColor(int v)
{
    gridLineColor_ = v;
    Repaint();
}

void TStringAlignGrid::SetGridLineWidth(int v)
{
    gridLineWidth_ = qMax(0, v);
    Repaint();
}

void TStringAlignGrid::SetDrawSelection(bool v)
{
    drawSelection_ = v;
    Repaint();
}

void TStringAlignGrid::SetAutoAdjustLastCol(bool v)
{
    autoAdjustLastCol_ = v;
    AdjustLastCol();
}

void TStringAlignGrid::AdjustLastCol()
{
    if (!autoAdjustLastCol_ || ColCount() == 0) return;
    int others = 0;
    for (int c = 0; c < ColCount() - 1; ++c) others += ColWidths(c);
    const int rest = viewport()->width() - others;
    if (rest > 0) SetColWidths(ColCount() - 1, rest);
}

void TStringAlignGrid::resizeEvent(QResizeEvent* e)
{
    TStringGrid::resizeEvent(e);
    AdjustLastCol();
}

// Columns and rows that go take their records and hints along, so that a
// column or row added again later starts plain.
void TStringAlignGrid::ColumnCountChanged()
{
    while (columnObjects_.size() > ColCount()) delete columnObjects_.takeLast();
    const int cols = ColCount();
    auto inside = [cols](int c) { return c < cols; };
    RemoveUnless(colProps_, inside);
    RemoveUnless(fixedColProps_, inside);
    RemoveUnless(cellProps_, [cols](CellKey k) { return k.first < cols; });
    RemoveUnless(hints_, [cols](CellKey k) { return k.first < cols; });
    AdjustLastCol();
}

void TStringAlignGrid::RowCountChanged()
{
    const int rows = RowCount();
    auto inside = [rows](int r) { return r < rows; };
    RemoveUnless(rowProps_, inside);
    RemoveUnless(fixedRowProps_, inside);
    RemoveUnless(cellProps_, [rows](CellKey k) { return k.second < rows; });
    RemoveUnless(hints_, [rows](CellKey k) { return k.second < rows; });
}

QObject* TStringAlignGrid::Columns(int col)
{
    if (col < 0 || col >= ColCount()) return nullptr;
    while (columnObjects_.size() <= col) columnObjects_.append(new TGridColumn(this, int(columnObjects_.size())));
    return columnObjects_[col];
}

// Records --------------------------------------------------------------------

QMap<int, TCellProperties>& TStringAlignGrid::LineTable(TPropTable table)
{
    return *const_cast<QMap<int, TCellProperties>*>(LineTableOf(table));
}

const QMap<int, TCellProperties>* TStringAlignGrid::LineTableOf(TPropTable table) const
{
    switch (table) {
    case ptCol: return &colProps_;
    case ptRow: return &rowProps_;
    case ptFixedCol: return &fixedColProps_;
    case ptFixedRow: return &fixedRowProps_;
    default: return nullptr;
    }
}

TCellProperties TStringAlignGrid::Props(TPropTable table, int col, int row) const
{
    if (table == ptCell) return cellProps_.value({col, row});
    return LineTableOf(table)->value(table == ptRow || table == ptFixedRow ? row : col);
}

void TStringAlignGrid::SetProps(TPropTable table, int col, int row, const TCellProperties& props)
{
    Store(table, col, row, [&](TCellProperties& p) { p = props; });
}

void TStringAlignGrid::Store(TPropTable table, int col, int row, const std::function<void(TCellProperties&)>& change)
{
    if (table == ptCell) {
        TCellProperties p = cellProps_.value({col, row});
        change(p);
        if (p.IsEmpty()) cellProps_.remove({col, row});
        else cellProps_.insert({col, row}, p);
    } else {
        auto& map = LineTable(table);
        const int key = table == ptRow || table == ptFixedRow ? row : col;
        TCellProperties p = map.value(key);
        change(p);
        if (p.IsEmpty()) map.remove(key);
        else map.insert(key, p);
    }
    Model()->AllChanged();
}

void TStringAlignGrid::SetAlignCell(int col, int row, TMyAlign a)
{
    Store(ptCell, col, row, [a](TCellProperties& p) { p.Alignment = a; });
}
void TStringAlignGrid::SetAlignCol(int col, TMyAlign a)
{
    Store(ptCol, col, 0, [a](TCellProperties& p) { p.Alignment = a; });
}
void TStringAlignGrid::SetAlignRow(int row, TMyAlign a)
{
    Store(ptRow, 0, row, [a](TCellProperties& p) { p.Alignment = a; });
}
void TStringAlignGrid::SetFixedAlignCol(int col, TMyAlign a)
{
    Store(ptFixedCol, col, 0, [a](TCellProperties& p) { p.Alignment = a; });
}
void TStringAlignGrid::SetFixedAlignRow(int row, TMyAlign a)
{
    Store(ptFixedRow, 0, row, [a](TCellProperties& p) { p.Alignment = a; });
}
void TStringAlignGrid::SetWordwrapCell(int col, int row, T_Wordwrap w)
{
    Store(ptCell, col, row, [w](TCellProperties& p) { p.Wordwrap = w; });
}
void TStringAlignGrid::SetWordwrapCol(int col, T_Wordwrap w)
{
    Store(ptCol, col, 0, [w](TCellProperties& p) { p.Wordwrap = w; });
}
void TStringAlignGrid::SetWordwrapRow(int row, T_Wordwrap w)
{
    Store(ptRow, 0, row, [w](TCellProperties& p) { p.Wordwrap = w; });
}
void TStringAlignGrid::SetColorCell(int col, int row, TColor c)
{
    Store(ptCell, col, row, [c](TCellProperties& p) { p.Brush = TGridBrush{c, 0}; });
}
void TStringAlignGrid::SetColorCol(int col, TColor c)
{
    Store(ptCol, col, 0, [c](TCellProperties& p) { p.Brush = TGridBrush{c, 0}; });
}
void TStringAlignGrid::SetColorRow(int row, TColor c)
{
    Store(ptRow, 0, row, [c](TCellProperties& p) { p.Brush = TGridBrush{c, 0}; });
}
void TStringAlignGrid::SetFontCell(int col, int row, const TGridFont& f)
{
    Store(ptCell, col, row, [&f](TCellProperties& p) { p.Font = f; });
}
void TStringAlignGrid::SetEditCell(int col, int row, bool editable)
{
    Store(ptCell, col, row, [editable](TCellProperties& p) { p.EditFlag = editable ? 1 : 2; });
}
void TStringAlignGrid::SetEditCol(int col, bool editable)
{
    Store(ptCol, col, 0, [editable](TCellProperties& p) { p.EditFlag = editable ? 1 : 2; });
}
void TStringAlignGrid::SetEditRow(int row, bool editable)
{
    Store(ptRow, 0, row, [editable](TCellProperties& p) { p.EditFlag = editable ? 1 : 2; });
}
void TStringAlignGrid::SetControlCell(int col, int row, const TControlInfo& info)
{
    Store(ptCell, col, row, [&info](TCellProperties& p) {
        if (info.Kind == 0) p.Control.reset();
        else p.Control = info;
    });
}

QString TStringAlignGrid::HintCell(int col, int row) const { return hints_.value({col, row}); }

void TStringAlignGrid::SetHintCell(int col, int row, const QString& hint)
{
    if (hint.isEmpty()) hints_.remove({col, row});
    else hints_.insert({col, row}, hint);
}

// Resolution -------------------------------------------------------------------

void TStringAlignGrid::RecordsOf(int col, int row, const TCellProperties* out[3]) const
{
    const bool fixed = IsFixedCell(col, row);
    auto find = [](const QMap<int, TCellProperties>& map, int key) -> const TCellProperties* {
        auto it = map.constFind(key);
        return it == map.constEnd() ? nullptr : &*it;
    };
    auto cell = cellProps_.constFind({col, row});
    out[0] = cell == cellProps_.constEnd() ? nullptr : &*cell;
    out[1] = find(fixed ? fixedColProps_ : colProps_, col);
    out[2] = find(fixed ? fixedRowProps_ : rowProps_, row);
}

TStringAlignGrid::TMyAlign TStringAlignGrid::ResolvedAlignment(int col, int row) const
{
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    for (const TCellProperties* p : records)
        if (p && p->Alignment != alDefault) return TMyAlign(p->Alignment);
    return alignment_ == alDefault ? alLeft : alignment_;
}

TStringAlignGrid::T_Wordwrap TStringAlignGrid::ResolvedWordwrap(int col, int row) const
{
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    for (const TCellProperties* p : records)
        if (p && p->Wordwrap != ww_default) return T_Wordwrap(p->Wordwrap);
    return wordwrap_ == ww_default ? ww_none : wordwrap_;
}

QColor TStringAlignGrid::ResolvedColor(int col, int row, bool selected) const
{
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    if (selected) {
        for (const TCellProperties* p : records)
            if (p && p->SelectedBrush) return ColorFromTColor(p->SelectedBrush->Color);
        return ColorFromTColor(selectedCellColor_);
    }
    for (const TCellProperties* p : records)
        if (p && p->Brush) return ColorFromTColor(p->Brush->Color);
    return ColorFromTColor(IsFixedCell(col, row) ? fixedColor_ : Color());
}

QFont TStringAlignGrid::ResolvedFont(int col, int row, bool selected, QColor* textColor) const
{
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    std::optional<TGridFont> TCellProperties::* field = selected ? &TCellProperties::SelectedFont : &TCellProperties::Font;
    for (const TCellProperties* p : records) {
        if (p && (p->*field)) {
            if (textColor) *textColor = ColorFromTColor((p->*field)->Color);
            return (p->*field)->ToFont(font());
        }
    }
    if (textColor) *textColor = selected ? ColorFromTColor(selectedFontColor_) : palette().color(QPalette::Text);
    return font();
}

std::optional<TControlInfo> TStringAlignGrid::ResolvedControl(int col, int row) const
{
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    for (const TCellProperties* p : records)
        if (p && p->Control) return p->Control;
    return std::nullopt;
}

bool TStringAlignGrid::CanEditCell(int col, int row) const
{
    if (IsFixedCell(col, row)) return false;
    const TCellProperties* records[3];
    RecordsOf(col, row, records);
    for (const TCellProperties* p : records)
        if (p && p->EditFlag != 0) return p->EditFlag == 1;
    return editable_;
}

// Moving and sorting -------------------------------------------------------------

void TStringAlignGrid::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= RowCount() || to >= RowCount()) return;
    EndEditBeforeMove();
    TStringGrid::MoveRow(from, to);
    auto moved = [=](int r) { return MovedIndex(r, from, to); };
    rowProps_ = Remapped(rowProps_, moved);
    fixedRowProps_ = Remapped(fixedRowProps_, moved);
    auto movedCell = [=](CellKey k) { return CellKey(k.first, moved(k.second)); };
    cellProps_ = Remapped(cellProps_, movedCell);
    hints_ = Remapped(hints_, movedCell);
    Repaint();
}

void TStringAlignGrid::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= ColCount() || to >= ColCount()) return;
    EndEditBeforeMove();
    TStringGrid::MoveColumn(from, to);
    auto moved = [=](int c) { return MovedIndex(c, from, to); };
    colProps_ = Remapped(colProps_, moved);
    fixedColProps_ = Remapped(fixedColProps_, moved);
    auto movedCell = [=](CellKey k) { return CellKey(moved(k.first), k.second); };
    cellProps_ = Remapped(cellProps_, movedCell);
    hints_ = Remapped(hints_, movedCell);
    Repaint();
}

// The editor belongs to a place in the grid, not to the texts that move:
// what was typed goes into its cell first (or is dropped when refused).
void TStringAlignGrid::EndEditBeforeMove()
{
    if (!EditorOpen()) return;
    if (!CommitEditor()) CancelEditor();
}

void TStringAlignGrid::ExchangeRows(int a, int b)
{
    // Both rows must exist: the second move alone would rotate the rows between.
    if (a == b || a < 0 || b < 0 || a >= RowCount() || b >= RowCount()) return;
    const int lo = qMin(a, b), hi = qMax(a, b);
    MoveRow(lo, hi);
    MoveRow(hi - 1, lo);
}

void TStringAlignGrid::SortRows(int byCol)
{
    QList<int> order(RowCount() - FixedRows());
    std::iota(order.begin(), order.end(), FixedRows());
    QCollator collator;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int r = OnCompareRow ? OnCompareRow(this, byCol, a, b) : collator.compare(Cells(byCol, a), Cells(byCol, b));
        return r < 0;
    });
    // Bring each row to its place in turn; the rows below keep their order.
    for (int target = 0; target < order.size(); ++target) {
        const int from = int(order[target]);
        MoveRow(from, FixedRows() + target);
        for (int k = target + 1; k < order.size(); ++k)
            if (order[k] < from) ++order[k];
    }
}

void TStringAlignGrid::SortColumns(int byRow)
{
    QList<int> order(ColCount() - FixedCols());
    std::iota(order.begin(), order.end(), FixedCols());
    QCollator collator;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int r = OnCompareCol ? OnCompareCol(this, byRow, a, b) : collator.compare(Cells(a, byRow), Cells(b, byRow));
        return r < 0;
    });
    for (int target = 0; target < order.size(); ++target) {
        const int from = int(order[target]);
        MoveColumn(from, FixedCols() + target);
        for (int k = target + 1; k < order.size(); ++k)
            if (order[k] < from) ++order[k];
    }
}

// Events ---------------------------------------------------------------------------

bool TStringAlignGrid::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QModelIndex index = indexAt(help->pos());
        QString hint = toolTip();
        bool canShow = true;
        if (index.isValid()) {
            if (showCellHints_ && hints_.contains({index.column(), index.row()}))
                hint = hints_.value({index.column(), index.row()});
            if (OnShowHintCell) OnShowHintCell(this, index.column(), index.row(), hint, canShow);
        }
        if (canShow && !hint.isEmpty()) QToolTip::showText(help->globalPos(), hint, viewport());
        else QToolTip::hideText();
        return true;
    }
    return TStringGrid::viewportEvent(e);
}

void TStringAlignGrid::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex index = indexAt(e->position().toPoint());
    if (index.isValid() && e->button() == Qt::LeftButton && IsFixedCell(index.column(), index.row())) {
        if (index.row() < FixedRows() && index.column() >= FixedCols() && OnFixedColClick)
            OnFixedColClick(this, index.column());
        else if (index.column() < FixedCols() && index.row() >= FixedRows() && OnFixedRowClick)
            OnFixedRowClick(this, index.row());
        return;
    }
    TStringGrid::mousePressEvent(e);
}

}  // namespace kelm24

#include "Aligrid.moc"
