#include "controls/QvsEdit.h"
#include "runtime/PropUtils.h"

#include "controls/F2Message.h"

#include <QEvent>

namespace kelm24 {

// TQvDBEdit -----------------------------------------------------------------

TQvDBEdit::TQvDBEdit(QWidget* parent) : TEdit(parent)
{
    label_ = new TLabel(parent);
    label_->setObjectName(QStringLiteral("EditLabel"));
    MarkInnerPart(label_);
    label_->SetFocusControl(this);
    PlaceParts();
}

TQvDBEdit::~TQvDBEdit() { delete label_; }

void TQvDBEdit::SetCaption(const QString& v)
{
    if (!label_) return;
    label_->SetCaption(v);
    PlaceParts();
}

void TQvDBEdit::SetLabelPosition(TLabelPosition v)
{
    labelPosition_ = v;
    PlaceParts();
}

void TQvDBEdit::SetLabelSpacing(int v)
{
    if (v < 0) return;
    labelSpacing_ = v;
    PlaceParts();
}

void TQvDBEdit::PlaceParts()
{
    if (!label_) return;
    if (label_->parentWidget() != parentWidget()) {
        label_->setParent(parentWidget());
        label_->setVisible(parentWidget() && !isHidden());
    }
    const QRect r = geometry();
    const QSize s = label_->size();
    switch (labelPosition_) {
    case lpAbove: label_->move(r.left(), r.top() - s.height() - labelSpacing_); break;
    case lpBelow: label_->move(r.left(), r.bottom() + 1 + labelSpacing_); break;
    case lpLeft: label_->move(r.left() - s.width() - labelSpacing_, r.top() + (r.height() - s.height()) / 2); break;
    case lpRight: label_->move(r.right() + 1 + labelSpacing_, r.top() + (r.height() - s.height()) / 2); break;
    }
}

void TQvDBEdit::moveEvent(QMoveEvent* e)
{
    TEdit::moveEvent(e);
    PlaceParts();
}

void TQvDBEdit::resizeEvent(QResizeEvent* e)
{
    TEdit::resizeEvent(e);
    PlaceParts();
}

void TQvDBEdit::changeEvent(QEvent* e)
{
    TEdit::changeEvent(e);
    if (e->type() != QEvent::EnabledChange) return;
    if (label_) label_->setEnabled(isEnabled());
    if (auto* self = qobject_cast<TQvBtnDBEdit*>(this); self && self->F2Button())
        self->F2Button()->setEnabled(isEnabled());
}

bool TQvDBEdit::event(QEvent* e)
{
    const bool result = TEdit::event(e);
    switch (e->type()) {
    case QEvent::ParentChange: PlaceParts(); break;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        if (label_) label_->setVisible(!isHidden());
        if (auto* self = qobject_cast<TQvBtnDBEdit*>(this); self && self->F2Button())
            self->F2Button()->setVisible(!isHidden());
        break;
    default: break;
    }
    return result;
}

// TQvBtnDBEdit --------------------------------------------------------------

TQvBtnDBEdit::TQvBtnDBEdit(QWidget* parent) : TQvDBEdit(parent)
{
    button_ = new TGSpeedButton(parent);
    MarkInnerPart(button_);
    button_->setObjectName(QStringLiteral("F2Button"));
    button_->SetFlat(true);
    button_->SetGlyphIndex(8);
    button_->OnClick = {this, [this](QObject*) { ButtonClick(); }};
    PlaceParts();
}

TQvBtnDBEdit::~TQvBtnDBEdit() { delete button_; }

void TQvBtnDBEdit::SetButtonSpacing(int v)
{
    buttonSpacing_ = v;
    PlaceParts();
}

void TQvBtnDBEdit::SetButtonHint(const QString& v)
{
    if (button_) button_->SetHint(v);
}

void TQvBtnDBEdit::SetGlyphIndex(int v)
{
    if (button_) button_->SetGlyphIndex(v);
}

void TQvBtnDBEdit::PlaceParts()
{
    TQvDBEdit::PlaceParts();
    if (!button_) return;
    if (button_->parentWidget() != parentWidget()) {
        button_->setParent(parentWidget());
        button_->setVisible(parentWidget() && !isHidden());
    }
    const QRect r = geometry();
    button_->setGeometry(r.right() + 1 + buttonSpacing_, r.top(), r.height(), r.height());
}

void TQvBtnDBEdit::ButtonClick()
{
    if (OnDialog) {
        OnDialog(this);
        return;
    }
    setFocus(Qt::OtherFocusReason);
    SendF2Message(this);
}

}  // namespace kelm24
