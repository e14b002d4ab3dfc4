#include "controls/AligridDelegate.h"

#include "controls/Aligrid.h"
#include "controls/EditMask.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStyle>

namespace kelm24 {

TGridDelegate::TGridDelegate(TStringAlignGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

void TGridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int col = index.column(), row = index.row();
    const bool fixed = grid_->IsFixedCell(col, row);
    const bool selected = !fixed && grid_->DrawSelection() && (option.state & QStyle::State_Selected);
    const QRect r = option.rect;
    QColor textColor;
    QFont font = grid_->ResolvedFont(col, row, selected, &textColor);
    QBrush brush(grid_->ResolvedColor(col, row, selected));
    if (grid_->OnCalcCellColors) grid_->OnCalcCellColors(grid_, col, row, r, selected, font, textColor, brush);

    painter->save();
    painter->fillRect(r, brush);
    if (fixed) {
        // A raised edge, as fixed cells have.
        painter->setPen(grid_->palette().color(QPalette::Light));
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
    }
    const int lineWidth = grid_->GridLineWidth();
    if (lineWidth > 0) {
        const QColor line = ColorFromTColor(grid_->GridLineColor());
        painter->fillRect(QRect(r.right() + 1 - lineWidth, r.top(), lineWidth, r.height()), line);
        painter->fillRect(QRect(r.left(), r.bottom() + 1 - lineWidth, r.width(), lineWidth), line);
    }

    QRect textRect = r.adjusted(2, 2, -2 - lineWidth, -2 - lineWidth);
    const std::optional<TControlInfo> control = grid_->ResolvedControl(col, row);
    if (control && (control->Kind == 1 || control->Kind == 2)) {
        // The button of the cell's control at its right.
        const int w = qMin(16, textRect.width());
        const QRect button(textRect.right() + 1 - w, textRect.top(), w, textRect.height());
        QStyleOptionButton opt;
        opt.rect = button;
        opt.state = QStyle::State_Enabled | QStyle::State_Raised;
        opt.text = control->Kind == 1 ? QStringLiteral("…") : QString();
        grid_->style()->drawControl(QStyle::CE_PushButton, &opt, painter, grid_);
        if (control->Kind == 2) {
            QStyleOption arrow;
            arrow.rect = button.adjusted(3, 3, -3, -3);
            arrow.palette = grid_->palette();
            grid_->style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, grid_);
        }
        textRect.setRight(button.left() - 2);
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    const TStringAlignGrid::TMyAlign align = grid_->ResolvedAlignment(col, row);
    const TStringAlignGrid::T_Wordwrap wrap = grid_->ResolvedWordwrap(col, row);
    int flags = align == TStringAlignGrid::alRight    ? Qt::AlignRight
                : align == TStringAlignGrid::alCenter ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
    painter->setFont(font);
    painter->setPen(textColor);
    painter->setClipRect(textRect);
    if (wrap == TStringAlignGrid::ww_wordwrap) {
        painter->drawText(textRect, flags | Qt::AlignTop | Qt::TextWordWrap, text);
    } else {
        const QString shown = wrap == TStringAlignGrid::ww_ellipsis
                                  ? QFontMetrics(font).elidedText(text, Qt::ElideRight, textRect.width())
                                  : text;
        painter->drawText(textRect, flags | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    }
    painter->restore();
}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const int col = index.column(), row = index.row();
    if (grid_->OnBeforeEdit) grid_->OnBeforeEdit(grid_, col, row);
    const std::optional<TControlInfo> control = grid_->ResolvedControl(col, row);
    QWidget* editor = nullptr;
    if (control && control->Kind == 2) {
        // The drop-down list of the cell.
        auto* list = new QComboBox(parent);
        list->setObjectName(QStringLiteral("TPopupListbox"));
        list->setEditable(true);
        list->addItems(control->Items);
        QObject::connect(list, &QComboBox::activated, grid_, [this, col, row] {
            if (grid_->OnComboBoxClick) grid_->OnComboBoxClick(grid_, col, row);
        });
        editor = list;
    } else if (grid_->EditMultiline()) {
        editor = new QPlainTextEdit(parent);
    } else {
        auto* edit = new TNewInplaceEdit(parent);
        const TEditMask mask(grid_->EditMask());
        if (mask.IsMasked()) edit->setInputMask(mask.QtInputMask());
        if (control && control->Kind == 1) {
            QAction* button = edit->addAction(grid_->style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                              QLineEdit::TrailingPosition);
            QObject::connect(button, &QAction::triggered, grid_, [this, col, row] {
                if (grid_->OnEditButtonClick) grid_->OnEditButtonClick(grid_, col, row);
            });
        }
        editor = edit;
    }
    editor->setFont(grid_->ResolvedFont(col, row, false, nullptr));
    editor->installEventFilter(const_cast<TGridDelegate*>(this));
    editor_ = editor;
    editIndex_ = index;
    return editor;
}

void TGridDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        list->setEditText(text);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(editor)) {
        memo->setPlainText(text);
        if (grid_->SelectEditText()) memo->selectAll();
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        if (grid_->SelectEditText()) edit->selectAll();
        else edit->end(false);
    }
}

QString TGridDelegate::EditorText() const
{
    if (auto* list = qobject_cast<QComboBox*>(editor_)) return list->currentText();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(editor_)) return memo->toPlainText();
    if (auto* edit = qobject_cast<QLineEdit*>(editor_)) return edit->text();
    return QString();
}

void TGridDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (editor != editor_) return;
    model->setData(index, EditorText(), Qt::EditRole);
}

void TGridDelegate::destroyEditor(QWidget* editor, const QModelIndex& index) const
{
    if (editor == editor_) editor_ = nullptr;
    QStyledItemDelegate::destroyEditor(editor, index);
}

void TGridDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const
{
    editor->setGeometry(option.rect.adjusted(0, 0, -grid_->GridLineWidth(), -grid_->GridLineWidth()));
}

bool TGridDelegate::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != editor_ || event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool multiline = qobject_cast<QPlainTextEdit*>(editor_) != nullptr;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // In a multi-line editor Enter is a line break; Ctrl+Enter ends the edit.
        if (multiline && !(key->modifiers() & Qt::ControlModifier)) return false;
        if (grid_->CommitEditor()) {
            const bool moved = grid_->GotoNextCell(grid_->NextCellEdit(), grid_->AfterLastCellEdit());
            if (moved && grid_->AutoEditNextCell()) grid_->OpenEditor();
        }
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (grid_->CommitEditor()) {
            const bool moved = grid_->GotoNextCell(grid_->NextCellTab(), grid_->AfterLastCellTab());
            if (moved && grid_->AutoEditNextCell()) grid_->OpenEditor();
        }
        return true;
    case Qt::Key_Escape:
        grid_->CancelEditor();
        return true;
    default: return false;
    }
}

}  // namespace kelm24
