#include "controls/Grids.h"

#include <QHeaderView>

namespace kelm24 {

// TGridModel ----------------------------------------------------------------

TGridModel::TGridModel(TStringGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

int TGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }
int TGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : cols_; }

QVariant TGridModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole) return Cell(index.column(), index.row());
    return {};
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid()) return false;
    SetCell(index.column(), index.row(), value.toString());
    return true;
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    if (grid_->IsFixedCell(index.column(), index.row())) return Qt::ItemIsEnabled;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (grid_->CanEditCell(index.column(), index.row())) f |= Qt::ItemIsEditable;
    return f;
}

QString TGridModel::Cell(int col, int row) const
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return QString();
    return cells_[row][col];
}

void TGridModel::SetCell(int col, int row, const QString& text)
{
    if (row < 0 || row >= rows_ || col < 0 || col >= cols_) return;
    cells_[row][col] = text;
    CellChanged(col, row);
}

void TGridModel::Resize(int cols, int rows)
{
    cols = qMax(0, cols);
    rows = qMax(0, rows);
    if (rows < rows_) {
        beginRemoveRows(QModelIndex(), rows, rows_ - 1);
        cells_.resize(rows);
        rows_ = rows;
        endRemoveRows();
    }
    if (cols < cols_) {
        beginRemoveColumns(QModelIndex(), cols, cols_ - 1);
        for (auto& r : cells_) r.resize(cols);
        cols_ = cols;
        endRemoveColumns();
    }
    if (cols > cols_) {
        beginInsertColumns(QModelIndex(), cols_, cols - 1);
        for (auto& r : cells_) r.resize(cols);
        cols_ = cols;
        endInsertColumns();
    }
    if (rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        cells_.resize(rows);
        for (int r = rows_; r < rows; ++r) cells_[r].resize(cols_);
        rows_ = rows;
        endInsertRows();
    }
}

void TGridModel::MoveRow(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rows_ || to >= rows_) return;
    cells_.move(from, to);
    AllChanged();
}

void TGridModel::MoveColumn(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= cols_ || to >= cols_) return;
    for (auto& r : cells_) r.move(from, to);
    AllChanged();
}

void TGridModel::CellChanged(int col, int row) { emit dataChanged(index(row, col), index(row, col)); }

void TGridModel::AllChanged()
{
    if (rows_ && cols_) emit dataChanged(index(0, 0), index(rows_ - 1, cols_ - 1));
}

// TStringGrid ---------------------------------------------------------------

TStringGrid::TStringGrid(QWidget* parent) : TEventedControl<QTableView>(parent)
{
    model_ = new TGridModel(this);
    setModel(model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(defaultColWidth_);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight_);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    resize(320, 120);
    model_->Resize(5, 5);
    SetCurrentCell(1, 1);
}

void TStringGrid::SetColCount(int v)
{
    model_->Resize(qMax(1, v), RowCount());
    fixedCols_ = qMin(fixedCols_, ColCount() - 1);
    ColumnCountChanged();
}

void TStringGrid::SetRowCount(int v)
{
    model_->Resize(ColCount(), qMax(1, v));
    fixedRows_ = qMin(fixedRows_, RowCount() - 1);
    RowCountChanged();
}

void TStringGrid::SetFixedCols(int v)
{
    fixedCols_ = qBound(0, v, ColCount() - 1);
    model_->AllChanged();
    if (Col() < fixedCols_) SetCol(fixedCols_);
}

void TStringGrid::SetFixedRows(int v)
{
    fixedRows_ = qBound(0, v, RowCount() - 1);
    model_->AllChanged();
    if (Row() < fixedRows_) SetRow(fixedRows_);
}

void TStringGrid::SetDefaultColWidth(int v)
{
    defaultColWidth_ = v;
    horizontalHeader()->setDefaultSectionSize(v);
    for (int c = 0; c < ColCount(); ++c) setColumnWidth(c, v);
}

void TStringGrid::SetDefaultRowHeight(int v)
{
    defaultRowHeight_ = v;
    verticalHeader()->setDefaultSectionSize(v);
    for (int r = 0; r < RowCount(); ++r) setRowHeight(r, v);
}

int TStringGrid::Col() const { return currentIndex().isValid() ? currentIndex().column() : fixedCols_; }
int TStringGrid::Row() const { return currentIndex().isValid() ? currentIndex().row() : fixedRows_; }
void TStringGrid::SetCol(int v) { SetCurrentCell(v, Row()); }
void TStringGrid::SetRow(int v) { SetCurrentCell(Col(), v); }

void TStringGrid::SetCurrentCell(int col, int row)
{
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return;
    setCurrentIndex(model_->index(row, col));
}

bool TStringGrid::CanEditCell(int, int) const { return false; }

void TStringGrid::MoveRow(int from, int to) { model_->MoveRow(from, to); }
void TStringGrid::MoveColumn(int from, int to) { model_->MoveColumn(from, to); }

}  // namespace kelm24
