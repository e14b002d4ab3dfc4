// Speed buttons: the flat glyph button, the one that takes its glyph from the
// shared glyph library by number, and the F2 button next to an edit.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QImage>
#include <QPointer>
#include <QToolButton>

namespace kelm24 {

// A button that never takes the focus; its glyph strip holds NumGlyphs cells
// (normal, disabled, clicked, down).
class TSpeedButton : public TEventedControl<QToolButton> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QImage Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
public:
    explicit TSpeedButton(QWidget* parent = nullptr);
    QString Caption() const { return text(); }
    void SetCaption(const QString& v) { setText(v); }
    bool Flat() const { return autoRaise(); }
    void SetFlat(bool v) { setAutoRaise(v); }
    QImage Glyph() const { return glyph_; }
    void SetGlyph(const QImage& v);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int v);
    bool Down() const { return isChecked(); }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    void Click() { click(); }

protected:
    virtual void DoClick();
    void nextCheckState() override;

private:
    void UpdateIcon();
    QImage glyph_;
    int numGlyphs_ = 1;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
};

// A speed button whose glyph is number GlyphIndex of the shared glyph library.
class TGSpeedButton : public TSpeedButton {
    Q_OBJECT
    Q_PROPERTY(int GlyphIndex READ GlyphIndex WRITE SetGlyphIndex)
    Q_PROPERTY(int HintIndex READ HintIndex WRITE SetHintIndex)
public:
    explicit TGSpeedButton(QWidget* parent = nullptr);
    int GlyphIndex() const { return glyphIndex_; }
    // 0 or a number above the library's highest clears the glyph; the caption
    // shows the number while no image is loaded; a library failure shows
    // "读取 BMP 发生错误".
    void SetGlyphIndex(int v);
    int HintIndex() const { return hintIndex_; }
    void SetHintIndex(int v) { hintIndex_ = v; }

private:
    int glyphIndex_ = 0;
    int hintIndex_ = 0;
    bool numberCaption_ = false;
};

// The button beside an edit that opens the host's pick window (F2).
class TF2Button : public TGSpeedButton {
    Q_OBJECT
    Q_PROPERTY(QWidget* F2Control READ F2Control WRITE SetF2Control)
    Q_PROPERTY(bool AutoAlign READ AutoAlign WRITE SetAutoAlign)
    Q_PROPERTY(int Gap READ Gap WRITE SetGap)
public:
    explicit TF2Button(QWidget* parent = nullptr);
    QWidget* F2Control() const { return f2Control_; }
    // Refuses a control another F2 button of the same parent already serves
    // ("不能同时有两个 F2Button 指到同一个 Edit.") and keeps the old one.
    void SetF2Control(QWidget* v);
    bool AutoAlign() const { return autoAlign_; }
    void SetAutoAlign(bool v);
    int Gap() const { return gap_; }
    void SetGap(int v);
    // Square, as high as the edit, at its top, Gap pixels right of it.
    void AlignToControl();

protected:
    void DoClick() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> f2Control_;
    bool autoAlign_ = true;
    int gap_ = 2;
};

}  // namespace kelm24
