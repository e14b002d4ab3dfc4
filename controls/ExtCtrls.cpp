#include "controls/ExtCtrls.h"

#include <QMouseEvent>
#include <QPainter>

namespace kelm24 {

// TPanel --------------------------------------------------------------------

TPanel::TPanel(QWidget* parent) : TEventedControl<QFrame>(parent)
{
    resize(185, 41);
    UpdateMargins();
}

void TPanel::SetCaption(const QString& v)
{
    caption_ = v;
    update();
}

void TPanel::SetBevelOuter(TBevelCut v)
{
    outer_ = v;
    UpdateMargins();
}

void TPanel::SetBevelInner(TBevelCut v)
{
    inner_ = v;
    UpdateMargins();
}

void TPanel::SetBevelWidth(int v)
{
    bevelWidth_ = qMax(1, v);
    UpdateMargins();
}

void TPanel::SetBorderWidth(int v)
{
    borderWidth_ = qMax(0, v);
    UpdateMargins();
}

void TPanel::SetAlignment(ctl::TAlignment v)
{
    alignment_ = v;
    update();
}

int TPanel::FrameSize() const
{
    return (outer_ != bvNone ? bevelWidth_ : 0) + (inner_ != bvNone ? bevelWidth_ : 0) + borderWidth_;
}

void TPanel::UpdateMargins()
{
    const int f = FrameSize();
    setContentsMargins(f, f, f, f);
    RealignControls(this);
    update();
}

void TPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!parentColor_) p.fillRect(rect(), ColorFromTColor(Color()));
    QRect r = rect();
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
        const QColor topLeft = cut == bvLowered ? dark : light, bottomRight = cut == bvLowered ? light : dark;
        for (int i = 0; i < bevelWidth_; ++i) {
            if (cut != bvSpace) {
                p.setPen(topLeft);
                p.drawLine(r.topLeft(), r.topRight());
                p.drawLine(r.topLeft(), r.bottomLeft());
                p.setPen(bottomRight);
                p.drawLine(r.bottomLeft(), r.bottomRight());
                p.drawLine(r.topRight(), r.bottomRight());
            }
            r.adjust(1, 1, -1, -1);
        }
    };
    bevel(outer_);
    r.adjust(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
    bevel(inner_);
    if (caption_.isEmpty()) return;
    const int h = alignment_ == ctl::taLeftJustify ? Qt::AlignLeft : alignment_ == ctl::taRightJustify ? Qt::AlignRight : Qt::AlignHCenter;
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, h | Qt::AlignVCenter | Qt::TextShowMnemonic, caption_);
}

// TGroupBox -----------------------------------------------------------------

TGroupBox::TGroupBox(QWidget* parent) : TEventedControl<QGroupBox>(parent) { resize(185, 105); }

// TSplitter -----------------------------------------------------------------

TSplitter::TSplitter(QWidget* parent) : QWidget(parent)
{
    resize(3, 100);
    SetAlign(ctl::alLeft);
    setCursor(Qt::SplitHCursor);
}

QWidget* TSplitter::ResizedControl() const
{
    if (!parentWidget()) return nullptr;
    const ctl::TAlign side = Align();
    const QRect g = geometry();
    for (QObject* child : parentWidget()->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w == this || w->isHidden() || ControlAlign(w) != side) continue;
        const QRect o = w->geometry();
        if ((side == ctl::alLeft && o.right() + 1 == g.left()) || (side == ctl::alRight && o.left() == g.right() + 1) ||
            (side == ctl::alTop && o.bottom() + 1 == g.top()) || (side == ctl::alBottom && o.top() == g.bottom() + 1))
            return w;
    }
    return nullptr;
}

void TSplitter::mousePressEvent(QMouseEvent* e)
{
    QWidget* target = ResizedControl();
    if (e->button() != Qt::LeftButton || !target) return;
    pressPos_ = e->globalPosition().toPoint();
    const bool horizontal = Align() == ctl::alLeft || Align() == ctl::alRight;
    startSize_ = horizontal ? target->width() : target->height();
}

void TSplitter::mouseMoveEvent(QMouseEvent* e)
{
    QWidget* target = ResizedControl();
    if (startSize_ < 0 || !target) return;
    const QPoint delta = e->globalPosition().toPoint() - pressPos_;
    int size = startSize_;
    switch (Align()) {
    case ctl::alLeft: size += delta.x(); break;
    case ctl::alRight: size -= delta.x(); break;
    case ctl::alTop: size += delta.y(); break;
    case ctl::alBottom: size -= delta.y(); break;
    default: return;
    }
    size = qMax(minSize_, size);
    if (Align() == ctl::alLeft || Align() == ctl::alRight) target->resize(size, target->height());
    else target->resize(target->width(), size);
    RealignControls(parentWidget());
}

void TSplitter::mouseReleaseEvent(QMouseEvent*)
{
    if (startSize_ >= 0) TControlEvents::Fire(OnMoved, this);
    startSize_ = -1;
}

void TSplitter::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Button));
    if (beveled_) {
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

}  // namespace kelm24
