// Drawing of the aligned string grid's cells and its in-place editors: a line
// edit (with the grid's edit mask and, for an edit-button cell, a button), a
// multi-line editor, or a drop-down list for a cell with a list.
#pragma once

#include <QLineEdit>
#include <QPointer>
#include <QStyledItemDelegate>

namespace kelm24 {

class TStringAlignGrid;

// The single-line in-place editor.
class TNewInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TNewInplaceEdit(QWidget* parent) : QLineEdit(parent) {}
};

class TGridDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TGridDelegate(TStringAlignGrid* grid);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void destroyEditor(QWidget* editor, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    QWidget* Editor() const { return editor_; }
    QString EditorText() const;
    void Commit() { if (editor_) emit commitData(editor_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TStringAlignGrid* grid_;
    mutable QPointer<QWidget> editor_;
    mutable QModelIndex editIndex_;
};

}  // namespace kelm24
