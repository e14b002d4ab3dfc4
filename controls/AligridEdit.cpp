// The in-place editor of the aligned string grid and the cell that follows
// an edit or a Tab.
#include "controls/Aligrid.h"
#include "controls/AligridDelegate.h"

#include <QKeyEvent>

namespace kelm24 {

namespace {

struct TStep {
    int dx, dy;    // the move within a line
    bool byRow;    // lines are rows (move along columns first)
};

TStep StepOf(TStringAlignGrid::T_nextcell d)
{
    switch (d) {
    case TStringAlignGrid::nc_rightdown: return {1, 1, true};
    case TStringAlignGrid::nc_downright: return {1, 1, false};
    case TStringAlignGrid::nc_leftdown: return {-1, 1, true};
    case TStringAlignGrid::nc_downleft: return {-1, 1, false};
    case TStringAlignGrid::nc_leftup: return {-1, -1, true};
    case TStringAlignGrid::nc_upleft: return {-1, -1, false};
    case TStringAlignGrid::nc_rightup: return {1, -1, true};
    case TStringAlignGrid::nc_upright: return {1, -1, false};
    }
    return {1, 1, true};
}

}  // namespace

bool TStringAlignGrid::EditorOpen() const { return delegate_->Editor() != nullptr; }

void TStringAlignGrid::OpenEditor()
{
    if (EditorOpen()) return;
    const QModelIndex index = currentIndex();
    if (index.isValid() && CanEditCell(index.column(), index.row())) QTableView::edit(index);
}

bool TStringAlignGrid::CommitEditor()
{
    QWidget* editor = delegate_->Editor();
    if (!editor) return true;
    const QModelIndex index = currentIndex();
    bool ok = true;
    if (OnValidateEdit) OnValidateEdit(this, index.column(), index.row(), ok);
    if (!ok) return false;
    committing_ = true;
    delegate_->Commit();
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    committing_ = false;
    if (OnAfterEdit) OnAfterEdit(this, index.column(), index.row());
    setFocus(Qt::OtherFocusReason);
    return true;
}

void TStringAlignGrid::CancelEditor()
{
    QWidget* editor = delegate_->Editor();
    if (!editor) return;
    const QModelIndex index = currentIndex();
    closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    if (OnCancelEdit) OnCancelEdit(this, index.column(), index.row());
    setFocus(Qt::OtherFocusReason);
}

void TStringAlignGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Leaving the editor by a click elsewhere keeps what was typed.
    if (!committing_ && hint != QAbstractItemDelegate::RevertModelCache && editor == delegate_->Editor()) {
        delegate_->Commit();
        const QModelIndex index = currentIndex();
        TStringGrid::closeEditor(editor, QAbstractItemDelegate::NoHint);
        if (OnAfterEdit) OnAfterEdit(this, index.column(), index.row());
        return;
    }
    TStringGrid::closeEditor(editor, hint);
}

bool TStringAlignGrid::GotoNextCell(T_nextcell direction, T_lastcell afterLast)
{
    const TStep s = StepOf(direction);
    const int firstCol = FixedCols(), lastCol = ColCount() - 1;
    const int firstRow = FixedRows(), lastRow = RowCount() - 1;
    int col = Col(), row = Row();
    // The along-the-line coordinate and the line coordinate.
    int& along = s.byRow ? col : row;
    int& line = s.byRow ? row : col;
    const int alongStep = s.byRow ? s.dx : s.dy, lineStep = s.byRow ? s.dy : s.dx;
    const int alongFirst = s.byRow ? firstCol : firstRow, alongLast = s.byRow ? lastCol : lastRow;
    const int lineFirst = s.byRow ? firstRow : firstCol, lineLast = s.byRow ? lastRow : lastCol;
    const int alongStart = alongStep > 0 ? alongFirst : alongLast;
    const int lineStart = lineStep > 0 ? lineFirst : lineLast;

    along += alongStep;
    if (along >= alongFirst && along <= alongLast) {
        SetCurrentCell(col, row);
        return true;
    }
    along = alongStart;
    line += lineStep;
    if (line >= lineFirst && line <= lineLast) {
        SetCurrentCell(col, row);
        return true;
    }
    // Past the last cell.
    switch (afterLast) {
    case lc_newcolrow: {
        if (s.byRow) {
            SetRowCount(RowCount() + 1);
            if (lineStep < 0) MoveRow(RowCount() - 1, firstRow);
            line = lineStep > 0 ? RowCount() - 1 : firstRow;
        } else {
            SetColCount(ColCount() + 1);
            if (lineStep < 0) MoveColumn(ColCount() - 1, firstCol);
            line = lineStep > 0 ? ColCount() - 1 : firstCol;
        }
        SetCurrentCell(col, row);
        return true;
    }
    case lc_first:
        line = lineStart;
        SetCurrentCell(col, row);
        return true;
    case lc_exit:
        // The widget's own focus chain: the view's would send the grid Tab again.
        QWidget::focusNextPrevChild(alongStep > 0);
        return false;
    case lc_stop: return false;
    }
    return false;
}

void TStringAlignGrid::keyPressEvent(QKeyEvent* e)
{
    if (!EditorOpen()) {
        switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (CanEditCell(Col(), Row())) OpenEditor();
            else GotoNextCell(nextCellEdit_, afterLastCellEdit_);
            e->accept();
            return;
        case Qt::Key_Tab:
            GotoNextCell(nextCellTab_, afterLastCellTab_);
            e->accept();
            return;
        default: break;
        }
    }
    TStringGrid::keyPressEvent(e);
}

}  // namespace kelm24
