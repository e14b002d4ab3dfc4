// TSelectPanel: the condition control of the option forms. The user gives a
// range (a from and a to value) or a list of picked values, or chooses between
// the two with a check box. The panel keeps the values; the form reads them
// (Value, StoredText), checks them and turns them into SQL.
#pragma once

#include "controls/BtChkBox.h"
#include "controls/Buttons.h"
#include "controls/ExtCtrls.h"
#include "controls/ListView.h"
#include "controls/StdCtrls.h"
#include "kelm24/HostObjects.h"
#include "kelm24/Variant.h"

#include <QGroupBox>

namespace kelm24 {

class TSelectPanel;

// The mask edit of the two range values; its change notification can be
// held back while the panel changes the mask.
class TRabMaskEdit : public TMaskEdit {
    Q_OBJECT
public:
    explicit TRabMaskEdit(QWidget* parent = nullptr);
    bool ChangeSuppressed() const { return changeSuppressed_; }
    void SetChangeSuppressed(bool v) { changeSuppressed_ = v; }
};

// The list of picked values: rows of a caption and sub-items.
class TRabListView : public TListView {
    Q_OBJECT
public:
    explicit TRabListView(QWidget* parent = nullptr);
    // Adds one row: more values than columns add columns "Data" + number; the
    // first value is the caption, the next ones sub-items; all rows are padded
    // to the same number of sub-items; duplicates go; columns are sized.
    void AddRow(const QStringList& values);
    // Adds many rows with the same outcome as one AddRow each.
    void AddRows(const QList<QStringList>& rows);
    // Drops a row whose caption equals the one before it (in sorted order).
    void RemoveDuplicates();
    // Every column as wide as its longest text times the width of "W", at
    // least as wide as its widest text.
    void SizeColumns();
    // A click on a column header: sort by it, or reverse on the sort column.
    void SortByColumn(int column);
    int SortColumn() const { return sortColumn_; }
    bool SortDescending() const { return descending_; }

    // 0 none, 1 exact, 2 without regard to case (TSelectPanel::TCheckDuplicate).
    int CheckDuplicate = 0;
    bool ColumnsAutoSize = true;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int sortColumn_ = -1;
    bool descending_ = false;
};

class TSelectPanel : public TEventedControl<QGroupBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TSelectStyle { sp_Range, sp_Discrete, sp_UserChoice };
    Q_ENUM(TSelectStyle)
    enum TValueType { vt_String, vt_Number, vt_Date, vt_Time, vt_Float, vt_OtherMask };
    Q_ENUM(TValueType)
    enum TDateType { dt_NoneCare, dt_YYYYMMDD, dt_MMDDYYYY, dt_DDMMYYYY, dt_YYMMDD, dt_YYYMMDD };
    Q_ENUM(TDateType)
    enum TCheckDuplicate { cd_None, cd_CheckCase, cd_CaseInsensitive };
    Q_ENUM(TCheckDuplicate)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TSelectStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool UserChoice READ UserChoice WRITE SetUserChoice)
    Q_PROPERTY(TValueType ValueType READ ValueType WRITE SetValueType)
    Q_PROPERTY(TDateType DateType READ DateType WRITE SetDateType)
    Q_PROPERTY(QString DateSign READ DateSign WRITE SetDateSign)
    Q_PROPERTY(bool AutoChangeDateSite READ AutoChangeDateSite WRITE SetAutoChangeDateSite)
    Q_PROPERTY(QStringList BeginWords READ BeginWords WRITE SetBeginWords)
    Q_PROPERTY(QStringList FinalWords READ FinalWords WRITE SetFinalWords)
    Q_PROPERTY(QString HintWord READ HintWord WRITE SetHintWord)
    Q_PROPERTY(QStringList ChildHints READ ChildHints WRITE SetChildHints)
    Q_PROPERTY(QString EditMask READ EditMask WRITE SetEditMask)
    Q_PROPERTY(bool CanOpenWin READ CanOpenWin WRITE SetCanOpenWin)
    Q_PROPERTY(int GlyphIndex READ GlyphIndex WRITE SetGlyphIndex)
    Q_PROPERTY(bool UseVertical READ UseVertical WRITE SetUseVertical)
    Q_PROPERTY(int OtherWidth READ OtherWidth WRITE SetOtherWidth)
    Q_PROPERTY(int OtherHeight READ OtherHeight WRITE SetOtherHeight)
    Q_PROPERTY(TCheckDuplicate CheckDuplicate READ CheckDuplicate WRITE SetCheckDuplicate)
    Q_PROPERTY(bool SortListBox READ SortListBox WRITE SetSortListBox)
    Q_PROPERTY(QString Discard READ Discard WRITE SetDiscard)
    Q_PROPERTY(bool UseDiscard READ UseDiscard WRITE SetUseDiscard)
    Q_PROPERTY(QStringList ColumnCaptions READ ColumnCaptions WRITE SetColumnCaptions)
    Q_PROPERTY(bool ShowColumnHeader READ ShowColumnHeader WRITE SetShowColumnHeader)
    Q_PROPERTY(bool ColumnsAutoSize READ ColumnsAutoSize WRITE SetColumnsAutoSize)
    Q_PROPERTY(bool HideSelection READ HideSelection WRITE SetHideSelection)
    Q_PROPERTY(QString BeginText READ BeginText WRITE SetBeginText)
    Q_PROPERTY(QString FinalText READ FinalText WRITE SetFinalText)
    Q_PROPERTY(QString StoredText READ StoredText WRITE RestoreStoredText)
    Q_PROPERTY(int ItemCount READ ItemCount)
    Q_PROPERTY(int ColumnCount READ ColumnCount)
public:
    explicit TSelectPanel(QWidget* parent = nullptr);
    ~TSelectPanel() override;

    QString Caption() const { return title(); }
    void SetCaption(const QString& v);
    TSelectStyle Style() const { return style_; }
    // Asks OnStyleChanging, shows the parts of the new style, exchanges the
    // panel's size with OtherWidth/OtherHeight when switching between the
    // horizontal range and another layout, lays out, then OnStyleChange.
    void SetStyle(TSelectStyle v);
    bool UserChoice() const { return userChoice_; }
    // Only with sp_UserChoice: sets the check box and acts as its click.
    void SetUserChoice(bool v);
    TValueType ValueType() const { return valueType_; }
    void SetValueType(TValueType v) { valueType_ = v; }
    TDateType DateType() const { return dateType_; }
    void SetDateType(TDateType v) { dateType_ = v; }
    QString DateSign() const { return dateSign_; }
    void SetDateSign(const QString& v) { dateSign_ = v; }
    bool AutoChangeDateSite() const { return autoChangeDateSite_; }
    void SetAutoChangeDateSite(bool v) { autoChangeDateSite_ = v; }
    QStringList BeginWords() const { return beginWords_; }
    void SetBeginWords(const QStringList& v);
    QStringList FinalWords() const { return finalWords_; }
    void SetFinalWords(const QStringList& v);
    QString HintWord() const { return hintWord_; }
    void SetHintWord(const QString& v);
    QStringList ChildHints() const { return childHints_; }
    // Hints of the inner controls by position; a shorter list leaves the
    // later controls' hints as they are.
    void SetChildHints(const QStringList& v);
    QString EditMask() const { return edBegin->EditMask(); }
    void SetEditMask(const QString& v);
    // The text the empty mask renders as.
    QString BlankText() const { return blankText_; }
    bool CanOpenWin() const { return canOpenWin_; }
    void SetCanOpenWin(bool v);
    int GlyphIndex() const { return glyphIndex_; }
    void SetGlyphIndex(int v);
    bool UseVertical() const { return useVertical_; }
    // Changes only while Style is sp_Range.
    void SetUseVertical(bool v);
    int OtherWidth() const { return otherWidth_; }
    void SetOtherWidth(int v) { otherWidth_ = v; }
    int OtherHeight() const { return otherHeight_; }
    void SetOtherHeight(int v) { otherHeight_ = v; }
    TCheckDuplicate CheckDuplicate() const { return TCheckDuplicate(lstValues->CheckDuplicate); }
    void SetCheckDuplicate(TCheckDuplicate v);
    bool SortListBox() const { return lstValues->SortedByText(); }
    void SetSortListBox(bool v) { lstValues->SetSortedByText(v); }
    QString Discard() const { return discard_; }
    void SetDiscard(const QString& v) { discard_ = v; }
    bool UseDiscard() const { return useDiscard_; }
    void SetUseDiscard(bool v) { useDiscard_ = v; }
    QStringList ColumnCaptions() const;
    // Rebuilds the list's columns with automatic width.
    void SetColumnCaptions(const QStringList& v);
    bool ShowColumnHeader() const { return lstValues->ShowColumnHeaders(); }
    void SetShowColumnHeader(bool v) { lstValues->SetShowColumnHeaders(v); }
    bool ColumnsAutoSize() const { return lstValues->ColumnsAutoSize; }
    void SetColumnsAutoSize(bool v) { lstValues->ColumnsAutoSize = v; }
    bool HideSelection() const { return lstValues->HideSelection(); }
    void SetHideSelection(bool v) { lstValues->SetHideSelection(v); }
    QString BeginText() const { return edBegin->Text(); }
    void SetBeginText(const QString& v) { edBegin->SetText(v); }
    QString FinalText() const { return edFinal->Text(); }
    void SetFinalText(const QString& v) { edFinal->SetText(v); }
    int ItemCount() const { return lstValues->ItemCount(); }
    int ColumnCount() const { return lstValues->ColumnCount(); }
    Q_INVOKABLE QObject* Items(int index) const { return lstValues->Items(index); }
    Q_INVOKABLE QObject* Columns(int index) const { return lstValues->Columns(index); }

    // Range mode: Style sp_Range, or sp_UserChoice with the check box ticked.
    bool IsRangeMode() const;
    // While loading a stored form the size exchange of a style change is skipped.
    void SetLoading(bool v) { loading_ = v; }

    // The condition value: [byte 4, begin, end] in range mode, else
    // [byte 5, row 1, ...] with each row [caption, sub-item 1, ...].
    Variant Value() const;
    // The style with its values, fields separated by byte 3, list rows by
    // byte 4, a row's columns by byte 1.
    QString StoredText() const;
    // Takes the values of a stored text back (the style stays); the first
    // field chooses. Raises "parse spSaveValue error" for a list that cannot
    // be read.
    void RestoreStoredText(const QString& text);
    static QString EncodeListText(const QList<QStringList>& rows);
    static QList<QStringList> DecodeListText(const QString& text);

    // Adds a row to the list.
    void AddRow(const QStringList& values) { lstValues->AddRow(values); }
    QList<QStringList> Rows() const;
    // Picked data from the host's pick window: for the list, the rows of the
    // result (joined with Discard when UseDiscard; else the first four
    // columns unless allColumns); for a range edit, its text.
    void AddPickedRows(const Variant& result, bool allColumns = false);
    void SetPickedText(TRabMaskEdit* edit, const Variant& result);
    // Asks the host's pick window for part (edBegin, edFinal or lstValues)
    // with the pick argument array; its element 3 (multi-select) is set for
    // the list only. The answer is taken by the rules above; false when the
    // window is missing or nothing was picked.
    bool PickFromHost(const TF2WindowObject& window, Variant args, QWidget* part, bool allColumns = false);

    // The check when the focus leaves the panel: trims, then swaps a reversed
    // range by the rules of the value type. Then OnExit.
    void DoExit();
    // Reads a date text by DateSign and DateType as yyyymmdd; 0 when unreadable.
    int ReadDate(const QString& text) const;
    // Focuses the begin edit, or the list in list mode.
    void SetFocus();

    // The inner controls.
    TBitCheckBox* chkUserChoice;
    TPanel* pnlRange;
    TLabel *lblBegin, *lblFinal;
    TRabMaskEdit *edBegin, *edFinal;
    TF2Button *btnBegin, *btnFinal;
    TPanel* pnlList;
    TRabListView* lstValues;
    TF2Button* btnListPick;
    TGSpeedButton *btnDeleteOne, *btnClearAll;

    std::function<void(TSelectPanel* SenderParent, QWidget* Sender)> OnOpenWinClick;
    TNotifyEvent OnClearClick, OnTypeClick;
    std::function<void(QObject* Sender, bool& Accept)> OnDeleteClick;
    std::function<void(QObject* Sender, TSelectStyle NowStyle, TSelectStyle NewStyle, bool& Accept)> OnStyleChanging;
    std::function<void(QObject* Sender, TSelectStyle OldStyle, TSelectStyle NewStyle)> OnStyleChange;
    std::function<void(QObject* Sender, TListItem* Item, int Index, bool IsSelect)> OnItemSelect;
    TNotifyEvent OnItemChange;

    // Lays the parts out for the current style and size.
    void ArrangeParts();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void ShowParts();
    void CheckBoxClicked();
    void PickClicked(QWidget* control);
    void ForwardEvents(QWidget* inner, bool asSender);
    void FocusChanged(QWidget* old, QWidget* now);
    bool ShouldSwap(QString& begin, QString& end) const;
    void ApplyHints();
    int CaptionHeight() const;

    TSelectStyle style_ = sp_Range;
    bool userChoice_ = true;
    TValueType valueType_ = vt_String;
    TDateType dateType_ = dt_NoneCare;
    QString dateSign_ = QStringLiteral("/");
    bool autoChangeDateSite_ = true;
    QStringList beginWords_, finalWords_, childHints_;
    QString hintWord_;
    QString blankText_;
    bool canOpenWin_ = true;
    int glyphIndex_ = 8;
    bool useVertical_ = false;
    int otherWidth_ = 200, otherHeight_ = 105;
    QString discard_;
    bool useDiscard_ = false;
    bool loading_ = false;
};

}  // namespace kelm24
