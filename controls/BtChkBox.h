// TBitCheckBox: a focusable check box painted from bitmaps (checked,
// unchecked, grayed), with the three-state cycle of the system.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QImage>
#include <QWidget>

namespace kelm24 {

class TBitCheckBox : public TEventedControl<QWidget> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    // Any number is a value of the type (a damaged stored number is then no
    // undefined value); SetState refuses those outside the three states.
    enum TCheckBoxState : int { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    // taRightJustify: glyph left, caption right; taLeftJustify: glyph at the right edge.
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QImage CheckedGlyph READ CheckedGlyph WRITE SetCheckedGlyph)
    Q_PROPERTY(QImage UncheckedGlyph READ UncheckedGlyph WRITE SetUncheckedGlyph)
    Q_PROPERTY(QImage GrayedGlyph READ GrayedGlyph WRITE SetGrayedGlyph)
    Q_PROPERTY(int CheckedNumGlyphs READ CheckedNumGlyphs WRITE SetCheckedNumGlyphs)
    Q_PROPERTY(int UncheckedNumGlyphs READ UncheckedNumGlyphs WRITE SetUncheckedNumGlyphs)
    Q_PROPERTY(int GrayedNumGlyphs READ GrayedNumGlyphs WRITE SetGrayedNumGlyphs)
public:
    explicit TBitCheckBox(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState v);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    ctl::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ctl::TAlignment v);

    // An assigned glyph replaces the built-in bitmap; a null image restores it.
    QImage CheckedGlyph() const { return glyphs_[cbChecked].image; }
    void SetCheckedGlyph(const QImage& v) { SetGlyph(cbChecked, v); }
    QImage UncheckedGlyph() const { return glyphs_[cbUnchecked].image; }
    void SetUncheckedGlyph(const QImage& v) { SetGlyph(cbUnchecked, v); }
    QImage GrayedGlyph() const { return glyphs_[cbGrayed].image; }
    void SetGrayedGlyph(const QImage& v) { SetGlyph(cbGrayed, v); }
    int CheckedNumGlyphs() const { return glyphs_[cbChecked].num; }
    void SetCheckedNumGlyphs(int v) { SetNumGlyphs(cbChecked, v); }
    int UncheckedNumGlyphs() const { return glyphs_[cbUnchecked].num; }
    void SetUncheckedNumGlyphs(int v) { SetNumGlyphs(cbUnchecked, v); }
    int GrayedNumGlyphs() const { return glyphs_[cbGrayed].num; }
    void SetGrayedNumGlyphs(int v) { SetNumGlyphs(cbGrayed, v); }

    // A user's click: unchecked, then grayed (when allowed) or checked;
    // checked to unchecked; grayed to checked. Then OnClick.
    void Toggle();

    // The built-in bitmaps "CHECKED", "UNCHECKED", "GRAYED".
    static QImage DefaultGlyph(TCheckBoxState state);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    struct Glyph {
        QImage image;
        int num = 1;
    };
    void SetGlyph(TCheckBoxState s, const QImage& v);
    void SetNumGlyphs(TCheckBoxState s, int v);
    void UpdateShortcut();
    // The cell to paint for the current state and enabled flag.
    QImage CurrentCell() const;

    QString caption_;
    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    ctl::TAlignment alignment_ = ctl::taRightJustify;
    Glyph glyphs_[3];
    int shortcutId_ = 0;
};

}  // namespace kelm24
