#include "controls/BtChkBox.h"

#include "controls/GlyphLibrary.h"

#include <QKeySequence>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace kelm24 {

TBitCheckBox::TBitCheckBox(QWidget* parent) : TEventedControl<QWidget>(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    resize(97, 17);
}

QImage TBitCheckBox::DefaultGlyph(TCheckBoxState state)
{
    static QImage images[3];
    QImage& image = images[state];
    if (!image.isNull()) return image;
    image = QImage(13, 13, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setPen(QColor(28, 81, 128));
    p.setBrush(state == cbGrayed ? QColor(220, 220, 220) : Qt::white);
    p.drawRect(0, 0, 12, 12);
    if (state == cbChecked) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(33, 161, 33), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(3, 6.5), QPointF(5.5, 9), QPointF(10, 3.5)}));
    } else if (state == cbGrayed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(3, 3, 7, 7);
    }
    return image;
}

void TBitCheckBox::SetCaption(const QString& v)
{
    caption_ = v;
    UpdateShortcut();
    update();
}

void TBitCheckBox::SetState(TCheckBoxState v)
{
    if (state_ == v || v < cbUnchecked || v > cbGrayed) return;
    state_ = v;
    update();
}

void TBitCheckBox::SetAlignment(ctl::TAlignment v)
{
    alignment_ = v;
    update();
}

void TBitCheckBox::SetGlyph(TCheckBoxState s, const QImage& v)
{
    glyphs_[s].image = v;
    glyphs_[s].num = GlyphCellCount(v);
    update();
}

void TBitCheckBox::SetNumGlyphs(TCheckBoxState s, int v)
{
    glyphs_[s].num = qMax(1, v);
    update();
}

void TBitCheckBox::Toggle()
{
    SetState(TCheckBoxState(NextCheckState(state_, allowGrayed_)));
    TControlEvents::Fire(OnClick, this);
}

QImage TBitCheckBox::CurrentCell() const
{
    const Glyph& g = glyphs_[state_];
    if (g.image.isNull()) return DefaultGlyph(state_);
    const int cell = g.image.width() / g.num;
    // The second cell is the disabled look when the bitmap has one.
    const int index = !isEnabled() && g.num >= 2 ? 1 : 0;
    return g.image.copy(index * cell, 0, cell, g.image.height());
}

void TBitCheckBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), ColorFromTColor(Color()));
    const QImage glyph = CurrentCell();
    const int gy = (height() - glyph.height()) / 2;
    const bool glyphRight = alignment_ == ctl::taLeftJustify;
    const int gx = glyphRight ? width() - glyph.width() : 0;
    p.drawImage(gx, gy, glyph);

    const QString text = caption_;
    const QFontMetrics fm(font());
    const int textWidth = fm.horizontalAdvance(StripAccelerator(text));
    const int tx = glyphRight ? gx - 4 - textWidth : glyph.width() + 4;
    QRect textRect(tx, (height() - fm.height()) / 2, textWidth, fm.height());
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (!isEnabled()) {
        // Embossed: a light copy one pixel down and right, the grey text on top.
        p.setPen(palette().color(QPalette::Light));
        p.drawText(textRect.translated(1, 1), flags, text);
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    } else {
        p.setPen(palette().color(QPalette::WindowText));
    }
    p.drawText(textRect, flags, text);
    if (hasFocus() && !text.isEmpty()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = textRect.adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
    }
}

void TBitCheckBox::mouseReleaseEvent(QMouseEvent* e)
{
    TEventedControl<QWidget>::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) Toggle();
}

void TBitCheckBox::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && e->modifiers() == Qt::NoModifier) {
        std::unique_ptr<QKeyEvent> replacement;
        if (KeyDown(this, e, replacement)) Toggle();
        e->accept();
        return;
    }
    TEventedControl<QWidget>::keyPressEvent(e);
}

bool TBitCheckBox::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && static_cast<QShortcutEvent*>(e)->shortcutId() == shortcutId_) {
        setFocus(Qt::ShortcutFocusReason);
        Toggle();
        return true;
    }
    return TEventedControl<QWidget>::event(e);
}

void TBitCheckBox::changeEvent(QEvent* e)
{
    TEventedControl<QWidget>::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) update();
}

void TBitCheckBox::UpdateShortcut()
{
    if (shortcutId_) releaseShortcut(shortcutId_);
    shortcutId_ = 0;
    const QKeySequence mnemonic = QKeySequence::mnemonic(caption_);
    if (!mnemonic.isEmpty()) shortcutId_ = grabShortcut(mnemonic);
}

}  // namespace kelm24
