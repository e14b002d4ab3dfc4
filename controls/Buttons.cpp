#include "controls/Buttons.h"

#include "controls/ControlMessages.h"
#include "controls/F2Message.h"
#include "controls/GlyphLibrary.h"
#include "kelm24/Variant.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>

namespace kelm24 {

bool SendF2Message(QWidget* control)
{
    if (!control) return false;
    TF2MessageEvent event(control);
    event.setAccepted(false);
    QApplication::sendEvent(control->window(), &event);
    return event.isAccepted();
}

// TSpeedButton --------------------------------------------------------------

TSpeedButton::TSpeedButton(QWidget* parent) : TEventedControl<QToolButton>(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    resize(23, 22);
    connect(this, &QToolButton::clicked, this, [this] { DoClick(); });
}

void TSpeedButton::DoClick() { TControlEvents::Fire(OnClick, this); }

void TSpeedButton::SetGlyph(const QImage& v)
{
    glyph_ = v;
    numGlyphs_ = GlyphCellCount(v);
    UpdateIcon();
}

void TSpeedButton::SetNumGlyphs(int v)
{
    numGlyphs_ = qBound(1, v, 4);
    UpdateIcon();
}

void TSpeedButton::UpdateIcon()
{
    if (glyph_.isNull()) {
        setIcon(QIcon());
        setToolButtonStyle(Qt::ToolButtonTextOnly);
        return;
    }
    setIcon(GlyphStripIcon(glyph_, numGlyphs_));
    setIconSize(QSize(glyph_.width() / numGlyphs_, glyph_.height()));
    setToolButtonStyle(text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::SetDown(bool v)
{
    if (v && !isCheckable()) setCheckable(true);
    setChecked(v);
}

void TSpeedButton::SetGroupIndex(int v)
{
    groupIndex_ = v;
    setCheckable(v != 0);
}

void TSpeedButton::nextCheckState()
{
    if (groupIndex_ == 0) return;
    // A grouped button stays down until another of its group goes down.
    if (isChecked() && !allowAllUp_) return;
    setChecked(!isChecked());
    if (!isChecked() || !parentWidget()) return;
    for (TSpeedButton* other : parentWidget()->findChildren<TSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->groupIndex_ == groupIndex_) other->setChecked(false);
}

// TGSpeedButton -------------------------------------------------------------

TGSpeedButton::TGSpeedButton(QWidget* parent) : TSpeedButton(parent) {}

void TGSpeedButton::SetGlyphIndex(int v)
{
    glyphIndex_ = v;
    QImage image;
    try {
        image = LoadGlyph(v);
    } catch (const Exception& e) {
        ShowControlMessage(this, e.Message());
    }
    if (image.isNull() && v != 0) {
        SetCaption(QString::number(v));
        numberCaption_ = true;
    } else if (numberCaption_) {
        SetCaption(QString());
        numberCaption_ = false;
    }
    SetGlyph(image);
}

// TF2Button -----------------------------------------------------------------

TF2Button::TF2Button(QWidget* parent) : TGSpeedButton(parent)
{
    SetFlat(true);
    SetGlyphIndex(8);
}

void TF2Button::SetF2Control(QWidget* v)
{
    if (v == f2Control_) return;
    if (v && parentWidget()) {
        for (TF2Button* other : parentWidget()->findChildren<TF2Button*>(Qt::FindDirectChildrenOnly)) {
            if (other != this && other->F2Control() == v) {
                ShowControlMessage(this, QStringLiteral("不能同时有两个 F2Button 指到同一个 Edit."));
                return;
            }
        }
    }
    if (f2Control_) f2Control_->removeEventFilter(this);
    f2Control_ = v;
    if (v) {
        v->installEventFilter(this);
        AlignToControl();
    }
}

void TF2Button::SetAutoAlign(bool v)
{
    autoAlign_ = v;
    AlignToControl();
}

void TF2Button::SetGap(int v)
{
    gap_ = v;
    AlignToControl();
}

void TF2Button::AlignToControl()
{
    if (!autoAlign_ || !f2Control_ || f2Control_->parentWidget() != parentWidget()) return;
    const QRect r = f2Control_->geometry();
    setGeometry(r.right() + 1 + gap_, r.top(), r.height(), r.height());
}

bool TF2Button::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == f2Control_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        AlignToControl();
    return TGSpeedButton::eventFilter(watched, event);
}

void TF2Button::DoClick()
{
    TGSpeedButton::DoClick();
    QWidget* control = f2Control_;
    if (!control || !control->isEnabled()) return;
    control->setFocus(Qt::OtherFocusReason);
    if (control->hasFocus()) SendF2Message(control);
}

}  // namespace kelm24
