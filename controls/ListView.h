// TListView: items with a caption and sub-items, shown as large icons, small
// icons, a list or a report with columns; in-place caption editing. Items and
// columns are objects with published properties, reachable by index through
// the invokables Items(n) and Columns(n).
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"
#include "controls/ImgList.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>
#include <functional>

class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QStackedLayout;
class QTreeView;

namespace kelm24 {

class TListView;
class TListItemModel;

class TListItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList SubItems READ SubItems WRITE SetSubItems)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(bool Selected READ Selected WRITE SetSelected)
    Q_PROPERTY(int Index READ Index)
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    QStringList SubItems() const { return subItems_; }
    void SetSubItems(const QStringList& v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    bool Selected() const;
    void SetSelected(bool v);
    int Index() const;
    TListView* ListView() const { return view_; }
    // The text of column k: 0 = caption, k = sub-item k - 1, missing = empty.
    QString ColumnText(int column) const;

    QVariant Data;

private:
    friend class TListView;
    explicit TListItem(TListView* view);
    void Changed();
    TListView* view_;
    QString caption_;
    QStringList subItems_;
    int imageIndex_ = -1;
};

class TListColumn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(int Index READ Index)
public:
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    int Width() const { return width_; }
    void SetWidth(int v);
    ctl::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ctl::TAlignment v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    int Index() const;

private:
    friend class TListView;
    explicit TListColumn(TListView* view);
    void Changed();
    TListView* view_;
    QString caption_;
    int width_ = 50;
    ctl::TAlignment alignment_ = ctl::taLeftJustify;
    bool autoSize_ = false;
};

class TListView : public TEventedControl<QWidget> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
    Q_ENUM(TViewStyle)

private:
    Q_PROPERTY(TViewStyle ViewStyle READ ViewStyle WRITE SetViewStyle)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool MultiSelect READ MultiSelect WRITE SetMultiSelect)
    Q_PROPERTY(bool RowSelect READ RowSelect WRITE SetRowSelect)
    Q_PROPERTY(bool ShowColumnHeaders READ ShowColumnHeaders WRITE SetShowColumnHeaders)
    Q_PROPERTY(bool ColumnClick READ ColumnClick WRITE SetColumnClick)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(bool SortedByText READ SortedByText WRITE SetSortedByText)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int ItemCount READ ItemCount)
    Q_PROPERTY(int ColumnCount READ ColumnCount)
    Q_PROPERTY(int SelCount READ SelCount)
public:
    explicit TListView(QWidget* parent = nullptr);
    ~TListView() override;

    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    bool MultiSelect() const { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool v);
    bool ShowColumnHeaders() const { return showHeaders_; }
    void SetShowColumnHeaders(bool v);
    bool ColumnClick() const { return columnClick_; }
    void SetColumnClick(bool v);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool v);
    // Items kept in order of their captions.
    bool SortedByText() const { return sortedByText_; }
    void SetSortedByText(bool v);
    // The first selected item, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int v);
    int ItemCount() const { return int(items_.size()); }
    int ColumnCount() const { return int(columns_.size()); }
    int SelCount() const;

    Q_INVOKABLE QObject* Items(int index) const { return Item(index); }
    Q_INVOKABLE QObject* Columns(int index) const { return Column(index); }
    TListItem* Item(int index) const { return index >= 0 && index < ItemCount() ? items_[index] : nullptr; }
    TListColumn* Column(int index) const { return index >= 0 && index < ColumnCount() ? columns_[index] : nullptr; }
    const QList<TListItem*>& AllItems() const { return items_; }

    TListItem* AddItem(const QString& caption, const QStringList& subItems = {});
    void DeleteItem(int index);
    // Deletes every selected item.
    void DeleteSelected();
    void Clear();
    TListColumn* AddColumn(const QString& caption, int width = 50);
    void ClearColumns();
    QList<TListItem*> SelectedItems() const;

    TImageList* LargeImages() const { return largeImages_; }
    void SetLargeImages(TImageList* v);
    TImageList* SmallImages() const { return smallImages_; }
    void SetSmallImages(TImageList* v);
    // The images that the current view style shows.
    TImageList* ShownImages() const;

    // Orders the items; compare answers <0, 0 or >0 as for Item1 before Item2.
    void SortItems(const std::function<int(const TListItem*, const TListItem*)>& compare);
    // Starts in-place editing of an item's caption.
    void EditCaption(int index);
    void BeginUpdate();
    void EndUpdate();
    QAbstractItemView* CurrentView() const;

    std::function<void(QObject* Sender, TListColumn* Column)> OnColumnClick;
    std::function<void(QObject* Sender, TListItem* Item, bool& AllowEdit)> OnEditing;
    std::function<void(QObject* Sender, TListItem* Item, QString& S)> OnEdited;
    std::function<void(QObject* Sender, TListItem* Item, bool Selected)> OnSelectItem;
    TNotifyEvent OnChange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusInEvent(QFocusEvent* e) override;

private:
    friend class TListItem;
    friend class TListColumn;
    friend class TListItemModel;
    void ItemChanged(TListItem* item);
    void ColumnsChanged();
    void ApplyColumnWidths();
    void ApplyViewOptions();
    void SortByTextIfNeeded();
    bool AcceptEdit(TListItem* item, QString& text);

    QList<TListItem*> items_;
    QList<TListColumn*> columns_;
    TListItemModel* model_;
    QItemSelectionModel* selection_;
    QStackedLayout* stack_;
    QTreeView* report_;
    QListView* list_;
    QPointer<TImageList> largeImages_, smallImages_;
    TViewStyle viewStyle_ = vsIcon;
    bool readOnly_ = false, multiSelect_ = false, rowSelect_ = false, showHeaders_ = true, columnClick_ = true,
         hideSelection_ = true, sortedByText_ = false;
    int updating_ = 0;
};

}  // namespace kelm24
