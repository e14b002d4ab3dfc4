#include "controls/ListView.h"
#include "runtime/PropUtils.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QListView>
#include <QPixmap>
#include <QStackedLayout>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <algorithm>

namespace kelm24 {

// The model both views show: one row per item, column 0 the caption, column
// k sub-item k - 1.
class TListItemModel : public QAbstractTableModel {
public:
    explicit TListItemModel(TListView* view) : QAbstractTableModel(view), view_(view) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : view_->ItemCount(); }
    int columnCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : qMax(1, view_->ColumnCount());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        const TListItem* item = view_->Item(index.row());
        if (!item) return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole: return item->ColumnText(index.column());
        case Qt::DecorationRole:
            if (index.column() == 0 && view_->ShownImages()) {
                const QImage image = view_->ShownImages()->Image(item->ImageIndex());
                if (!image.isNull()) return QPixmap::fromImage(image);
            }
            return {};
        case Qt::TextAlignmentRole:
            if (const TListColumn* column = view_->Column(index.column())) {
                const int h = column->Alignment() == ctl::taRightJustify ? Qt::AlignRight
                              : column->Alignment() == ctl::taCenter     ? Qt::AlignHCenter
                                                                         : Qt::AlignLeft;
                return QVariant(h | Qt::AlignVCenter);
            }
            return {};
        default: return {};
        }
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        TListItem* item = view_->Item(index.row());
        if (!item || index.column() != 0 || role != Qt::EditRole) return false;
        QString text = value.toString();
        if (!view_->AcceptEdit(item, text)) return false;
        item->SetCaption(text);
        return true;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
        const TListColumn* column = view_->Column(section);
        return column ? column->Caption() : QString();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (index.column() == 0 && !view_->ReadOnly()) f |= Qt::ItemIsEditable;
        return f;
    }
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    void RowChanged(int row)
    {
        emit dataChanged(index(row, 0), index(row, columnCount(QModelIndex()) - 1));
    }
    void HeadersChanged() { emit headerDataChanged(Qt::Horizontal, 0, columnCount(QModelIndex()) - 1); }
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endResetModel;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;

private:
    TListView* view_;
};

namespace {

// Asks OnEditing before an editor opens.
class TCaptionDelegate : public QStyledItemDelegate {
public:
    explicit TCaptionDelegate(TListView* view) : QStyledItemDelegate(view), view_(view) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool allow = true;
        if (view_->OnEditing) view_->OnEditing(view_, view_->Item(index.row()), allow);
        return allow ? QStyledItemDelegate::createEditor(parent, option, index) : nullptr;
    }

private:
    TListView* view_;
};

}  // namespace

// TListItem -----------------------------------------------------------------

TListItem::TListItem(TListView* view) : QObject(view), view_(view) {}

void TListItem::SetCaption(const QString& v)
{
    caption_ = v;
    Changed();
    view_->SortByTextIfNeeded();
}

void TListItem::SetSubItems(const QStringList& v)
{
    subItems_ = v;
    Changed();
}

void TListItem::SetImageIndex(int v)
{
    imageIndex_ = v;
    Changed();
}

bool TListItem::Selected() const
{
    return view_->selection_->isRowSelected(Index(), QModelIndex());
}

void TListItem::SetSelected(bool v)
{
    const QModelIndex index = view_->model_->index(Index(), 0);
    auto flags = (v ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) | QItemSelectionModel::Rows;
    if (v && !view_->multiSelect_) flags |= QItemSelectionModel::Clear;
    view_->selection_->select(index, flags);
    if (v) view_->selection_->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

int TListItem::Index() const { return int(view_->items_.indexOf(const_cast<TListItem*>(this))); }

QString TListItem::ColumnText(int column) const
{
    if (column == 0) return caption_;
    return column - 1 < subItems_.size() ? subItems_[column - 1] : QString();
}

void TListItem::Changed() { view_->ItemChanged(this); }

// TListColumn ---------------------------------------------------------------

TListColumn::TListColumn(TListView* view) : QObject(view), view_(view) {}

void TListColumn::SetCaption(const QString& v)
{
    caption_ = v;
    Changed();
}

void TListColumn::SetWidth(int v)
{
    width_ = v;
    Changed();
}

void TListColumn::SetAlignment(ctl::TAlignment v)
{
    alignment_ = v;
    Changed();
}

void TListColumn::SetAutoSize(bool v)
{
    autoSize_ = v;
    Changed();
}

int TListColumn::Index() const { return int(view_->columns_.indexOf(const_cast<TListColumn*>(this))); }

void TListColumn::Changed() { view_->ColumnsChanged(); }

// TListView -----------------------------------------------------------------

TListView::TListView(QWidget* parent) : TEventedControl<QWidget>(parent)
{
    resize(250, 150);
    model_ = new TListItemModel(this);
    selection_ = new QItemSelectionModel(model_, this);
    report_ = new QTreeView(this);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setModel(model_);
    report_->setSelectionModel(selection_);
    report_->header()->setSectionsMovable(false);
    list_ = new QListView(this);
    MarkInnerPart(report_);
    MarkInnerPart(list_);
    list_->setModel(model_);
    list_->setSelectionModel(selection_);
    list_->setResizeMode(QListView::Adjust);
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(list_)}) {
        v->setItemDelegate(new TCaptionDelegate(this));
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
    }
    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(list_);
    stack_->addWidget(report_);
    connect(report_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (columnClick_ && OnColumnClick && Column(section)) OnColumnClick(this, Column(section));
    });
    connect(selection_, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                if (!OnSelectItem) return;
                for (const QModelIndex& i : deselected.indexes())
                    if (i.column() == 0) OnSelectItem(this, Item(i.row()), false);
                for (const QModelIndex& i : selected.indexes())
                    if (i.column() == 0) OnSelectItem(this, Item(i.row()), true);
            });
    SetViewStyle(vsIcon);
    ApplyViewOptions();
}

TListView::~TListView()
{
    // The views and the selection go after this object; their signals must not reach it.
    selection_->disconnect(this);
    report_->header()->disconnect(this);
}

void TListView::SetViewStyle(TViewStyle v)
{
    viewStyle_ = v;
    if (v == vsReport) {
        stack_->setCurrentWidget(report_);
    } else {
        list_->setViewMode(v == vsIcon ? QListView::IconMode : QListView::ListMode);
        list_->setFlow(v == vsList ? QListView::TopToBottom : QListView::LeftToRight);
        list_->setWrapping(true);
        list_->setMovement(QListView::Static);
        const TImageList* images = ShownImages();
        list_->setIconSize(images ? QSize(images->Width(), images->Height()) : QSize(16, 16));
        if (v == vsIcon) list_->setGridSize(QSize(qMax(76, list_->iconSize().width() + 40), list_->iconSize().height() + 36));
        else list_->setGridSize(QSize());
        stack_->setCurrentWidget(list_);
    }
    setFocusProxy(CurrentView());
    model_->Reset();
}

QAbstractItemView* TListView::CurrentView() const
{
    return viewStyle_ == vsReport ? static_cast<QAbstractItemView*>(report_) : static_cast<QAbstractItemView*>(list_);
}

void TListView::SetReadOnly(bool v)
{
    readOnly_ = v;
    ApplyViewOptions();
}

void TListView::SetMultiSelect(bool v)
{
    multiSelect_ = v;
    ApplyViewOptions();
}

void TListView::SetRowSelect(bool v)
{
    rowSelect_ = v;
    ApplyViewOptions();
}

void TListView::SetShowColumnHeaders(bool v)
{
    showHeaders_ = v;
    report_->setHeaderHidden(!v);
}

void TListView::SetColumnClick(bool v)
{
    columnClick_ = v;
    report_->header()->setSectionsClickable(v);
}

void TListView::SetHideSelection(bool v)
{
    hideSelection_ = v;
    ApplyViewOptions();
}

void TListView::ApplyViewOptions()
{
    for (QAbstractItemView* v : {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(list_)}) {
        v->setSelectionMode(multiSelect_ ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(readOnly_ ? QAbstractItemView::NoEditTriggers
                                     : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
        // Without the focus the selection is drawn only when it is not hidden.
        QPalette pal = v->palette();
        pal.setColor(QPalette::Inactive, QPalette::Highlight,
                     hideSelection_ ? pal.color(QPalette::Inactive, QPalette::Base)
                                    : pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     hideSelection_ ? pal.color(QPalette::Inactive, QPalette::Text)
                                    : pal.color(QPalette::Active, QPalette::HighlightedText));
        v->setPalette(pal);
    }
    report_->setAllColumnsShowFocus(rowSelect_);
}

void TListView::SetSortedByText(bool v)
{
    sortedByText_ = v;
    SortByTextIfNeeded();
}

int TListView::ItemIndex() const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (selection_->isRowSelected(i, QModelIndex())) return i;
    return -1;
}

void TListView::SetItemIndex(int v)
{
    selection_->clearSelection();
    if (TListItem* item = Item(v)) item->SetSelected(true);
}

int TListView::SelCount() const { return int(selection_->selectedRows().size()); }

QList<TListItem*> TListView::SelectedItems() const
{
    QList<TListItem*> out;
    for (int i = 0; i < ItemCount(); ++i)
        if (selection_->isRowSelected(i, QModelIndex())) out.append(items_[i]);
    return out;
}

TListItem* TListView::AddItem(const QString& caption, const QStringList& subItems)
{
    auto* item = new TListItem(this);
    item->caption_ = caption;
    item->subItems_ = subItems;
    model_->beginInsertRows(QModelIndex(), ItemCount(), ItemCount());
    items_.append(item);
    model_->endInsertRows();
    SortByTextIfNeeded();
    TControlEvents::Fire(OnChange, this);
    return item;
}

void TListView::DeleteItem(int index)
{
    if (!Item(index)) return;
    model_->beginRemoveRows(QModelIndex(), index, index);
    TListItem* item = items_.takeAt(index);
    model_->endRemoveRows();
    delete item;
    TControlEvents::Fire(OnChange, this);
}

void TListView::DeleteSelected()
{
    for (int i = ItemCount() - 1; i >= 0; --i)
        if (selection_->isRowSelected(i, QModelIndex())) DeleteItem(i);
}

void TListView::Clear()
{
    if (items_.isEmpty()) return;
    selection_->clear();
    model_->beginResetModel();
    qDeleteAll(items_);
    items_.clear();
    model_->endResetModel();
    TControlEvents::Fire(OnChange, this);
}

TListColumn* TListView::AddColumn(const QString& caption, int width)
{
    auto* column = new TListColumn(this);
    column->caption_ = caption;
    column->width_ = width;
    columns_.append(column);
    model_->Reset();
    ApplyColumnWidths();
    return column;
}

void TListView::ClearColumns()
{
    qDeleteAll(columns_);
    columns_.clear();
    model_->Reset();
}

void TListView::SetLargeImages(TImageList* v)
{
    largeImages_ = v;
    SetViewStyle(viewStyle_);
}

void TListView::SetSmallImages(TImageList* v)
{
    smallImages_ = v;
    SetViewStyle(viewStyle_);
}

TImageList* TListView::ShownImages() const { return viewStyle_ == vsIcon ? largeImages_ : smallImages_; }

void TListView::SortItems(const std::function<int(const TListItem*, const TListItem*)>& compare)
{
    const QList<TListItem*> selected = SelectedItems();
    TListItem* current = Item(selection_->currentIndex().row());
    std::stable_sort(items_.begin(), items_.end(),
                     [&](const TListItem* a, const TListItem* b) { return compare(a, b) < 0; });
    model_->Reset();
    for (TListItem* item : selected)
        selection_->select(model_->index(item->Index(), 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (current) selection_->setCurrentIndex(model_->index(current->Index(), 0), QItemSelectionModel::NoUpdate);
}

void TListView::SortByTextIfNeeded()
{
    if (!sortedByText_ || updating_) return;
    // Locale order without regard to case, case only breaking ties: captions
    // that are equal, with or without regard to case, stand together.
    QCollator folded, exact;
    folded.setCaseSensitivity(Qt::CaseInsensitive);
    auto compare = [&](const TListItem* a, const TListItem* b) {
        const int r = folded.compare(a->caption_, b->caption_);
        return r != 0 ? r : exact.compare(a->caption_, b->caption_);
    };
    const bool sorted = std::is_sorted(items_.begin(), items_.end(),
                                       [&](const TListItem* a, const TListItem* b) { return compare(a, b) < 0; });
    if (!sorted) SortItems(compare);
}

void TListView::EditCaption(int index)
{
    if (!Item(index)) return;
    CurrentView()->edit(model_->index(index, 0));
}

void TListView::BeginUpdate()
{
    ++updating_;
    setUpdatesEnabled(false);
}

void TListView::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0) {
        setUpdatesEnabled(true);
        SortByTextIfNeeded();
    }
}

bool TListView::AcceptEdit(TListItem* item, QString& text)
{
    const QString before = item->Caption();
    if (OnEdited) OnEdited(this, item, text);
    return text != before;
}

void TListView::ItemChanged(TListItem* item)
{
    const int row = item->Index();
    if (row >= 0) model_->RowChanged(row);
}

void TListView::ColumnsChanged()
{
    model_->HeadersChanged();
    ApplyColumnWidths();
}

void TListView::ApplyColumnWidths()
{
    QHeaderView* header = report_->header();
    for (int i = 0; i < ColumnCount() && i < header->count(); ++i) {
        if (columns_[i]->AutoSize()) {
            header->setSectionResizeMode(i, QHeaderView::ResizeToContents);
        } else {
            header->setSectionResizeMode(i, QHeaderView::Interactive);
            header->resizeSection(i, columns_[i]->Width());
        }
    }
    header->setStretchLastSection(false);
}

void TListView::focusInEvent(QFocusEvent* e)
{
    QWidget::focusInEvent(e);
    CurrentView()->setFocus(e->reason());
}

bool TListView::eventFilter(QObject* watched, QEvent* event)
{
    const bool isView = watched == report_ || watched == list_;
    switch (event->type()) {
    case QEvent::FocusIn:
        if (isView && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) Fire(OnEnter, this);
        break;
    case QEvent::FocusOut:
        if (isView && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) Fire(OnExit, this);
        break;
    case QEvent::KeyPress:
        if (isView) {
            std::unique_ptr<QKeyEvent> replacement;
            if (!KeyDown(this, static_cast<QKeyEvent*>(event), replacement)) return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (!isView) Fire(OnDblClick, this);
        break;
    case QEvent::MouseButtonRelease:
        if (!isView && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) Fire(OnClick, this);
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace kelm24
