// The standard controls of the forms: thin Qt widgets that publish the
// system's property names (Text, Caption, Checked, ItemIndex, Items, Lines,
// Style ...) so that look-up by name, condition sets and language packages
// reach them through Qt's meta-object system.
#pragma once

#include <QPointer>

#include "controls/Control.h"
#include "controls/EditMask.h"
#include "controls/Events.h"

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kelm24 {

class TEdit : public TEventedControl<QLineEdit> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
public:
    explicit TEdit(QWidget* parent = nullptr);
    virtual QString Text() const { return text(); }
    virtual void SetText(const QString& v) { setText(v); }
    // 0 = no limit.
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool v) { setReadOnly(v); }

    TNotifyEvent OnChange;

protected:
    // Change notifications are not passed on while this is set.
    bool changeSuppressed_ = false;
    virtual void Change();

private:
    int maxLength_ = 0;
};

// An edit with the system's edit mask; Text is read with blanks as spaces.
class TMaskEdit : public TEdit {
    Q_OBJECT
    Q_PROPERTY(QString EditMask READ EditMask WRITE SetEditMask)
    Q_PROPERTY(QString EditText READ EditText)
public:
    explicit TMaskEdit(QWidget* parent = nullptr);
    QString EditMask() const { return editMask_; }
    virtual void SetEditMask(const QString& v);
    const TEditMask& Mask() const { return mask_; }
    bool IsMasked() const { return mask_.IsMasked(); }
    // What the empty mask renders as.
    QString BlankText() const { return mask_.BlankText(); }
    QString EditText() const { return displayText(); }
    QString Text() const override;
    void SetText(const QString& v) override;

private:
    QString editMask_;
    TEditMask mask_;
};

class TMemo : public TEventedControl<QPlainTextEdit> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
public:
    explicit TMemo(QWidget* parent = nullptr);
    QStringList Lines() const;
    void SetLines(const QStringList& v);
    QString Text() const { return toPlainText(); }
    void SetText(const QString& v) { setPlainText(v); }
    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool v) { setReadOnly(v); }
    bool WordWrap() const { return lineWrapMode() != NoWrap; }
    void SetWordWrap(bool v) { setLineWrapMode(v ? WidgetWidth : NoWrap); }
    // The line of the caret, from 0.
    int CaretLine() const { return textCursor().blockNumber(); }

    TNotifyEvent OnChange;
};

class TLabel : public QLabel {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QWidget* FocusControl READ FocusControl WRITE SetFocusControl)
public:
    explicit TLabel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    virtual void SetCaption(const QString& v);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    ctl::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ctl::TAlignment v);
    bool WordWrap() const { return wordWrap(); }
    void SetWordWrap(bool v) { setWordWrap(v); }
    bool Transparent() const { return !autoFillBackground(); }
    void SetTransparent(bool v) { setAutoFillBackground(!v); }
    QWidget* FocusControl() const { return focusControl_; }
    virtual void SetFocusControl(QWidget* v);

    TNotifyEvent OnClick, OnDblClick;

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    // Size to the caption when AutoSize is on.
    void AdjustBounds();

private:
    QString caption_;
    bool autoSize_ = true;
    ctl::TAlignment alignment_ = ctl::taLeftJustify;
    QPointer<QWidget> focusControl_;  // cleared when the control goes
};

class TButton : public TEventedControl<QPushButton> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
public:
    explicit TButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& v) { setText(v); }
    bool Default() const { return isDefault(); }
    void SetDefault(bool v) { setDefault(v); }
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }
    // Runs the click as a user's click would.
    void Click() { click(); }

private:
    bool cancel_ = false;
    int modalResult_ = 0;
};

// A button with a glyph strip: NumGlyphs cells side by side, cell 0 normal,
// cell 1 disabled.
class TBitBtn : public TButton {
    Q_OBJECT
    Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
public:
    explicit TBitBtn(QWidget* parent = nullptr);
    QImage Glyph() const { return glyph_; }
    void SetGlyph(const QImage& v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);

private:
    void UpdateIcon();
    QImage glyph_;
    int numGlyphs_ = 1;
};

class TCheckBox : public TEventedControl<QCheckBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    // taRightJustify: caption right of the box; taLeftJustify: left of it.
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
public:
    explicit TCheckBox(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& v) { setText(v); }
    bool Checked() const { return checkState() == Qt::Checked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    TCheckBoxState State() const;
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const { return isTristate(); }
    void SetAllowGrayed(bool v) { setTristate(v); }
    ctl::TAlignment Alignment() const { return layoutDirection() == Qt::RightToLeft ? ctl::taLeftJustify : ctl::taRightJustify; }
    void SetAlignment(ctl::TAlignment v) { setLayoutDirection(v == ctl::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight); }

protected:
    void nextCheckState() override;
};

// A combo box: csDropDown (editable) or csDropDownList (choose only).
class TComboBox : public TEventedControl<QComboBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
    Q_ENUM(TComboBoxStyle)

private:
    Q_PROPERTY(TComboBoxStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE SetDropDownCount)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
public:
    explicit TComboBox(QWidget* parent = nullptr);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle v);
    QStringList Items() const;
    // Replaces the items; the selected index stays when it is still valid.
    void SetItems(const QStringList& v);
    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int v);
    QString Text() const { return currentText(); }
    void SetText(const QString& v);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int v);
    int DropDownCount() const { return maxVisibleItems(); }
    void SetDropDownCount(int v) { setMaxVisibleItems(v); }
    bool Sorted() const { return sorted_; }
    void SetSorted(bool v);

    TNotifyEvent OnChange, OnDropDown, OnSelect;

    void showPopup() override;

private:
    TComboBoxStyle style_ = csDropDown;
    int maxLength_ = 0;
    bool sorted_ = false;
};

}  // namespace kelm24
