// TStringAlignGrid: a string grid whose alignment, word wrap, colours, fonts,
// edit permission, texts, hints and cell controls can be set per cell, per
// column, per row and per fixed column or fixed row, with its own in-place
// editor and rules for the cell that follows an edit.
#pragma once

#include "controls/Grids.h"

#include <QBrush>
#include <QFont>
#include <QMap>
#include <QPair>
#include <optional>

namespace kelm24 {

// A brush as stored: colour and style.
struct TGridBrush {
    TColor Color = clWindow;
    int Style = 0;  // 0 solid, 1 clear
    bool operator==(const TGridBrush&) const = default;
};

// A font as stored: colour, height (pixels; negative as the system writes
// character heights), name, pitch, style set (1 bold, 2 italic, 4 underline,
// 8 strike-out).
struct TGridFont {
    TColor Color = clWindowText;
    int Height = -12;
    QString Name;
    int Pitch = 0;
    int Style = 0;
    bool operator==(const TGridFont&) const = default;
    QFont ToFont(const QFont& base) const;
};

// A control shown in a cell: kind 1 an edit button, kind 2 a drop-down list.
struct TControlInfo {
    int Kind = 0;
    QString Caption;
    QStringList Items;
    bool ItemsFlag = false;
    QString Text1, Text2;
    bool operator==(const TControlInfo&) const = default;
};

// What is set for one cell, column, row, fixed column or fixed row.
struct TCellProperties {
    int Alignment = 3;  // TStringAlignGrid::alDefault
    int Wordwrap = 3;   // TStringAlignGrid::ww_default
    int EditFlag = 0;   // 0 as the grid, 1 editable, 2 read-only
    std::optional<TGridBrush> Brush, SelectedBrush;
    std::optional<TGridFont> Font, SelectedFont;
    QString Text;
    std::optional<TControlInfo> Control;
    bool IsEmpty() const;
    bool operator==(const TCellProperties&) const = default;
};

class TGridDelegate;

class TStringAlignGrid : public TStringGrid {
    Q_OBJECT
public:
    enum TMyAlign { alRight, alLeft, alCenter, alDefault };
    Q_ENUM(TMyAlign)
    enum T_Wordwrap { ww_none, ww_wordwrap, ww_ellipsis, ww_default };
    Q_ENUM(T_Wordwrap)
    enum T_nextcell { nc_rightdown, nc_downright, nc_leftdown, nc_downleft, nc_leftup, nc_upleft, nc_rightup, nc_upright };
    Q_ENUM(T_nextcell)
    enum T_lastcell { lc_newcolrow, lc_stop, lc_first, lc_exit };
    Q_ENUM(T_lastcell)
    // The five tables of records.
    enum TPropTable { ptCell, ptCol, ptRow, ptFixedCol, ptFixedRow };

private:
    Q_PROPERTY(TMyAlign Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(T_Wordwrap Wordwrap READ Wordwrap WRITE SetWordwrap)
    Q_PROPERTY(bool Editable READ Editable WRITE SetEditable)
    Q_PROPERTY(QString EditMask READ EditMask WRITE SetEditMask)
    Q_PROPERTY(int FixedColor READ FixedColor WRITE SetFixedColor)
    Q_PROPERTY(int SelectedCellColor READ SelectedCellColor WRITE SetSelectedCellColor)
    Q_PROPERTY(int SelectedFontColor READ SelectedFontColor WRITE SetSelectedFontColor)
    Q_PROPERTY(int GridLineColor READ GridLineColor WRITE SetGridLineColor)
    Q_PROPERTY(int GridLineWidth READ GridLineWidth WRITE SetGridLineWidth)
    Q_PROPERTY(bool ShowCellHints READ ShowCellHints WRITE SetShowCellHints)
    Q_PROPERTY(bool SelectEditText READ SelectEditText WRITE SetSelectEditText)
    Q_PROPERTY(bool EditMultiline READ EditMultiline WRITE SetEditMultiline)
    Q_PROPERTY(bool AutoEditNextCell READ AutoEditNextCell WRITE SetAutoEditNextCell)
    Q_PROPERTY(T_nextcell NextCellEdit READ NextCellEdit WRITE SetNextCellEdit)
    Q_PROPERTY(T_nextcell NextCellTab READ NextCellTab WRITE SetNextCellTab)
    Q_PROPERTY(T_lastcell AfterLastCellEdit READ AfterLastCellEdit WRITE SetAfterLastCellEdit)
    Q_PROPERTY(T_lastcell AfterLastCellTab READ AfterLastCellTab WRITE SetAfterLastCellTab)
    Q_PROPERTY(bool DrawSelection READ DrawSelection WRITE SetDrawSelection)
    Q_PROPERTY(bool AutoAdjustLastCol READ AutoAdjustLastCol WRITE SetAutoAdjustLastCol)
    Q_PROPERTY(bool RedrawWhileScroll READ RedrawWhileScroll WRITE SetRedrawWhileScroll)
    Q_PROPERTY(int ImeMode READ ImeMode WRITE SetImeMode)
    Q_PROPERTY(QString ImeName READ ImeName WRITE SetImeName)

public:
    explicit TStringAlignGrid(QWidget* parent = nullptr);
    ~TStringAlignGrid() override;

    TMyAlign Alignment() const { return alignment_; }
    void SetAlignment(TMyAlign v);
    T_Wordwrap Wordwrap() const { return wordwrap_; }
    void SetWordwrap(T_Wordwrap v);
    bool Editable() const { return editable_; }
    void SetEditable(bool v);
    QString EditMask() const { return editMask_; }
    void SetEditMask(const QString& v) { editMask_ = v; }
    int FixedColor() const { return fixedColor_; }
    void SetFixedColor(int v);
    int SelectedCellColor() const { return selectedCellColor_; }
    void SetSelectedCellColor(int v);
    int SelectedFontColor() const { return selectedFontColor_; }
    void SetSelectedFontColor(int v);
    int GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(int v);
    int GridLineWidth() const { return gridLineWidth_; }
    void SetGridLineWidth(int v);
    bool ShowCellHints() const { return showCellHints_; }
    void SetShowCellHints(bool v) { showCellHints_ = v; }
    bool SelectEditText() const { return selectEditText_; }
    void SetSelectEditText(bool v) { selectEditText_ = v; }
    bool EditMultiline() const { return editMultiline_; }
    void SetEditMultiline(bool v) { editMultiline_ = v; }
    bool AutoEditNextCell() const { return autoEditNextCell_; }
    void SetAutoEditNextCell(bool v) { autoEditNextCell_ = v; }
    T_nextcell NextCellEdit() const { return nextCellEdit_; }
    void SetNextCellEdit(T_nextcell v) { nextCellEdit_ = v; }
    T_nextcell NextCellTab() const { return nextCellTab_; }
    void SetNextCellTab(T_nextcell v) { nextCellTab_ = v; }
    T_lastcell AfterLastCellEdit() const { return afterLastCellEdit_; }
    void SetAfterLastCellEdit(T_lastcell v) { afterLastCellEdit_ = v; }
    T_lastcell AfterLastCellTab() const { return afterLastCellTab_; }
    void SetAfterLastCellTab(T_lastcell v) { afterLastCellTab_ = v; }
    bool DrawSelection() const { return drawSelection_; }
    void SetDrawSelection(bool v);
    bool AutoAdjustLastCol() const { return autoAdjustLastCol_; }
    void SetAutoAdjustLastCol(bool v);
    bool RedrawWhileScroll() const { return redrawWhileScroll_; }
    void SetRedrawWhileScroll(bool v) { redrawWhileScroll_ = v; }
    int ImeMode() const { return imeMode_; }
    void SetImeMode(int v) { imeMode_ = v; }
    QString ImeName() const { return imeName_; }
    void SetImeName(const QString& v) { imeName_ = v; }

    // Records. Index is (col, row) for ptCell, else the column or row.
    TCellProperties Props(TPropTable table, int col, int row = 0) const;
    void SetProps(TPropTable table, int col, int row, const TCellProperties& props);
    // Setters of single fields, for cells and for columns and rows.
    void SetAlignCell(int col, int row, TMyAlign a);
    void SetAlignCol(int col, TMyAlign a);
    void SetAlignRow(int row, TMyAlign a);
    void SetFixedAlignCol(int col, TMyAlign a);
    void SetFixedAlignRow(int row, TMyAlign a);
    void SetWordwrapCell(int col, int row, T_Wordwrap w);
    void SetWordwrapCol(int col, T_Wordwrap w);
    void SetWordwrapRow(int row, T_Wordwrap w);
    void SetColorCell(int col, int row, TColor c);
    void SetColorCol(int col, TColor c);
    void SetColorRow(int row, TColor c);
    void SetFontCell(int col, int row, const TGridFont& f);
    void SetEditCell(int col, int row, bool editable);
    void SetEditCol(int col, bool editable);
    void SetEditRow(int row, bool editable);
    void SetControlCell(int col, int row, const TControlInfo& info);

    // Hints: a cell without its own uses the grid's Hint.
    QString HintCell(int col, int row) const;
    void SetHintCell(int col, int row, const QString& hint);
    // The cell's own hint (empty when it has none), by name for code conversion.
    Q_INVOKABLE QString CellHints(int col, int row) const { return HintCell(col, row); }
    Q_INVOKABLE void SetCellHints(int col, int row, const QString& hint) { SetHintCell(col, row, hint); }

    // Resolution for cell (col, row): the cell, then its column (fixed
    // column for fixed cells), then its row (fixed row), then the grid.
    TMyAlign ResolvedAlignment(int col, int row) const;
    T_Wordwrap ResolvedWordwrap(int col, int row) const;
    QColor ResolvedColor(int col, int row, bool selected) const;
    QFont ResolvedFont(int col, int row, bool selected, QColor* textColor) const;
    std::optional<TControlInfo> ResolvedControl(int col, int row) const;

    // Per column and per row, as language packages reach them: Columns(n)
    // answers an object whose Caption is the text of fixed row 0 in column n.
    Q_INVOKABLE QObject* Columns(int col);

    void MoveRow(int from, int to) override;
    void MoveColumn(int from, int to) override;
    void ExchangeRows(int a, int b);
    // Sorts the non-fixed rows by OnCompareRow (or the texts of column byCol).
    void SortRows(int byCol);
    // Sorts the non-fixed columns by OnCompareCol (or the texts of row byRow).
    void SortColumns(int byRow);

    // Stored with the form: the names written, and reading of these and the
    // older names. Writing a name with nothing to store gives empty data.
    static QStringList WrittenPropertyNames();
    static QStringList ReadPropertyNames();
    QByteArray WriteProperty(const QString& name) const;
    bool ReadProperty(const QString& name, const QByteArray& data);
    // All written properties in one block.
    QByteArray SaveProperties() const;
    void LoadProperties(const QByteArray& data);

    // The in-place editor.
    bool EditorOpen() const;
    void OpenEditor();
    // Takes the editor's text (after OnValidateEdit); false when refused.
    bool CommitEditor();
    void CancelEditor();
    // Moves to the next cell by a direction and last-cell rule; false when it
    // stays (lc_stop) or leaves the grid (lc_exit).
    bool GotoNextCell(T_nextcell direction, T_lastcell afterLast);

    std::function<void(QObject* Sender, int ACol, int ARow, QString& HintStr, bool& CanShow)> OnShowHintCell;
    std::function<void(QObject* Sender, int ACol, int ARow)> OnBeforeEdit, OnAfterEdit, OnCancelEdit;
    std::function<void(QObject* Sender, int ACol, int ARow, bool& Result)> OnValidateEdit;
    // Answers <0, 0 or >0 for the two rows (columns) compared by ColRow.
    std::function<int(QObject* Sender, int ColRow, int Compare1, int Compare2)> OnCompareRow, OnCompareCol;
    TNotifyEvent OnColWidthsChanged, OnRowHeightsChanged;
    std::function<void(QObject* Sender, int ACol)> OnFixedColClick;
    std::function<void(QObject* Sender, int ARow)> OnFixedRowClick;
    std::function<void(QObject* Sender, int ACol, int ARow)> OnEditButtonClick, OnComboBoxClick;
    std::function<void(QObject* Sender, int ACol, int ARow, const QRect& ARect, bool Selected, QFont& AFont,
                       QColor& AFontColor, QBrush& ABrush)>
        OnCalcCellColors;

protected:
    bool CanEditCell(int col, int row) const override;
    void ColumnCountChanged() override;
    void RowCountChanged() override;
    bool viewportEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class TGridDelegate;
    using CellKey = QPair<int, int>;
    QMap<int, TCellProperties>& LineTable(TPropTable table);
    const QMap<int, TCellProperties>* LineTableOf(TPropTable table) const;
    // The three records that apply to a cell, most specific first (absent ones null).
    void RecordsOf(int col, int row, const TCellProperties* out[3]) const;
    void Store(TPropTable table, int col, int row, const std::function<void(TCellProperties&)>& change);
    void AdjustLastCol();
    void EndEditBeforeMove();
    void Repaint();

    TMyAlign alignment_ = alLeft;
    T_Wordwrap wordwrap_ = ww_none;
    bool editable_ = true;
    QString editMask_;
    int fixedColor_ = clBtnFace;
    int selectedCellColor_ = clActiveCaption;
    int selectedFontColor_ = clWhite;
    int gridLineColor_ = clSilver;
    int gridLineWidth_ = 1;
    bool showCellHints_ = true, selectEditText_ = true, editMultiline_ = false, autoEditNextCell_ = false;
    T_nextcell nextCellEdit_ = nc_rightdown, nextCellTab_ = nc_rightdown;
    T_lastcell afterLastCellEdit_ = lc_newcolrow, afterLastCellTab_ = lc_first;
    bool drawSelection_ = true, autoAdjustLastCol_ = false, redrawWhileScroll_ = false;
    int imeMode_ = 0;
    QString imeName_;

    QMap<CellKey, TCellProperties> cellProps_;
    QMap<int, TCellProperties> colProps_, rowProps_, fixedColProps_, fixedRowProps_;
    QMap<CellKey, QString> hints_;
    QList<QObject*> columnObjects_;
    TGridDelegate* delegate_;
    bool editorOpen_ = false;
    bool committing_ = false;
};

}  // namespace kelm24
