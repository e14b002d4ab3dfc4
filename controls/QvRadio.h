// TQvRadioButton paints its own caption beside the native indicator (at an
// indent that grows with the font); TQvRadioGroup is a radio group of
// TQvGroupButtons laid out column by column.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QGroupBox>
#include <QRadioButton>

namespace kelm24 {

class TQvRadioButton : public TEventedControl<QRadioButton> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
public:
    explicit TQvRadioButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& v)
    {
        setText(v);
        update();
    }
    bool Checked() const { return isChecked(); }
    void SetChecked(bool v) { setChecked(v); }
    ctl::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ctl::TAlignment v)
    {
        alignment_ = v;
        update();
    }
    // Pixels before the caption for a font of pointSize points.
    static int CaptionIndent(int pointSize);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    ctl::TAlignment alignment_ = ctl::taRightJustify;
};

class TQvRadioGroup;

class TQvGroupButton : public TQvRadioButton {
    Q_OBJECT
public:
    explicit TQvGroupButton(TQvRadioGroup* group);

protected:
    // Keys go to the group; Backspace and Space are swallowed when the group
    // may not be modified.
    void keyPressEvent(QKeyEvent* e) override;
    void nextCheckState() override;
};

class TQvRadioGroup : public TEventedControl<QGroupBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE SetItemIndex)
    Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
public:
    explicit TQvRadioGroup(QWidget* parent = nullptr);
    QString Caption() const { return title(); }
    void SetCaption(const QString& v) { setTitle(v); }
    QStringList Items() const { return items_; }
    // Rebuilds the buttons; the index stays when it is still valid.
    void SetItems(const QStringList& v);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    int Columns() const { return columns_; }
    void SetColumns(int v);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    virtual bool CanModify() const { return !readOnly_; }
    const QList<TQvGroupButton*>& Buttons() const { return buttons_; }
    // Places the buttons: rows = ceil(count / columns), column width =
    // (width - 10) / columns, row height = (height - caption height - 5) / rows,
    // first column at x = 8, the spare height split above.
    void ArrangeButtons();

    TNotifyEvent OnChange;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    friend class TQvGroupButton;
    void ButtonClicked(TQvGroupButton* button);
    QStringList items_;
    QList<TQvGroupButton*> buttons_;
    int itemIndex_ = -1;
    int columns_ = 1;
    bool readOnly_ = false;
};

// The standard radio group of the forms.
class TRadioGroup : public TQvRadioGroup {
    Q_OBJECT
public:
    using TQvRadioGroup::TQvRadioGroup;
};

}  // namespace kelm24
