// TStringGrid: a grid of texts whose first FixedCols columns and FixedRows
// rows are fixed (captions), with the system's grid properties (ColCount,
// RowCount, Col, Row, Cells ...). Cells are kept in the grid's own model and
// drawn by a delegate that derived grids tune.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QAbstractTableModel>
#include <QTableView>
#include <QVector>

namespace kelm24 {

class TStringGrid;

// The cell texts of a grid, row by row.
class TGridModel : public QAbstractTableModel {
public:
    explicit TGridModel(TStringGrid* grid);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    void Resize(int cols, int rows);
    void MoveRow(int from, int to);
    void MoveColumn(int from, int to);
    void CellChanged(int col, int row);
    void AllChanged();

private:
    TStringGrid* grid_;
    int cols_ = 0, rows_ = 0;
    QVector<QVector<QString>> cells_;  // [row][col]
};

class TStringGrid : public TEventedControl<QTableView> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(int ColCount READ ColCount WRITE SetColCount)
    Q_PROPERTY(int RowCount READ RowCount WRITE SetRowCount)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int DefaultColWidth READ DefaultColWidth WRITE SetDefaultColWidth)
    Q_PROPERTY(int DefaultRowHeight READ DefaultRowHeight WRITE SetDefaultRowHeight)
    Q_PROPERTY(int Col READ Col WRITE SetCol)
    Q_PROPERTY(int Row READ Row WRITE SetRow)
public:
    explicit TStringGrid(QWidget* parent = nullptr);

    int ColCount() const { return model_->columnCount(); }
    void SetColCount(int v);
    int RowCount() const { return model_->rowCount(); }
    void SetRowCount(int v);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int v);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int v);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int v);
    // The current cell.
    int Col() const;
    void SetCol(int v);
    int Row() const;
    void SetRow(int v);
    void SetCurrentCell(int col, int row);

    Q_INVOKABLE QString Cells(int col, int row) const { return model_->Cell(col, row); }
    Q_INVOKABLE void SetCells(int col, int row, const QString& text) { model_->SetCell(col, row, text); }
    int ColWidths(int col) const { return columnWidth(col); }
    void SetColWidths(int col, int width) { setColumnWidth(col, width); }
    int RowHeights(int row) const { return rowHeight(row); }
    void SetRowHeights(int row, int height) { setRowHeight(row, height); }
    bool IsFixedCell(int col, int row) const { return col < fixedCols_ || row < fixedRows_; }

    // Moves a row or column, its texts with it; derived grids move what
    // they keep per row and column too.
    virtual void MoveRow(int from, int to);
    virtual void MoveColumn(int from, int to);

    TGridModel* Model() const { return model_; }

protected:
    // Whether the user may edit the cell (the model asks).
    friend class TGridModel;
    virtual bool CanEditCell(int col, int row) const;
    virtual void ColumnCountChanged() {}
    virtual void RowCountChanged() {}

private:
    TGridModel* model_;
    int fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
};

}  // namespace kelm24
