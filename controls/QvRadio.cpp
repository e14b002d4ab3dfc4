#include "controls/QvRadio.h"
#include "runtime/PropUtils.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kelm24 {

// TQvRadioButton ------------------------------------------------------------

TQvRadioButton::TQvRadioButton(QWidget* parent) : TEventedControl<QRadioButton>(parent)
{
    resize(113, 17);
    connect(this, &QRadioButton::clicked, this, [this] { TControlEvents::Fire(OnClick, this); });
}

int TQvRadioButton::CaptionIndent(int size)
{
    if (size <= 8) return 17;
    if (size <= 15) return 19;
    if (size <= 17) return 20;
    if (size <= 23) return 21;
    if (size <= 29) return 23;
    if (size <= 35) return 25;
    if (size <= 41) return 27;
    if (size <= 43) return 29;
    if (size <= 60) return 31;
    if (size <= 80) return 39;
    return 44;
}

void TQvRadioButton::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    const bool right = alignment_ == ctl::taLeftJustify;
    QRect box(right ? width() - indicator.width() : 0, (height() - indicator.height()) / 2, indicator.width(),
              indicator.height());
    option.rect = box;
    p.drawPrimitive(QStyle::PE_IndicatorRadioButton, option);

    const int indent = CaptionIndent(qMax(1, font().pointSize()));
    const QRect caption = right ? QRect(0, 0, width() - indent, height()) : QRect(indent, 0, width() - indent, height());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine, text());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = p.boundingRect(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

// TQvGroupButton ------------------------------------------------------------

TQvGroupButton::TQvGroupButton(TQvRadioGroup* group) : TQvRadioButton(group)
{
    setAutoExclusive(false);
    connect(this, &QRadioButton::clicked, group, [this, group] { group->ButtonClicked(this); });
}

void TQvGroupButton::keyPressEvent(QKeyEvent* e)
{
    auto* group = static_cast<TQvRadioGroup*>(parentWidget());
    if ((e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Space) && !group->CanModify()) {
        e->accept();
        return;
    }
    std::unique_ptr<QKeyEvent> replacement;
    if (!group->KeyDown(group, e, replacement)) {
        e->accept();
        return;
    }
    TQvRadioButton::keyPressEvent(replacement ? replacement.get() : e);
}

void TQvGroupButton::nextCheckState()
{
    if (static_cast<TQvRadioGroup*>(parentWidget())->CanModify()) setChecked(true);
}

// TQvRadioGroup -------------------------------------------------------------

TQvRadioGroup::TQvRadioGroup(QWidget* parent) : TEventedControl<QGroupBox>(parent) { resize(185, 105); }

void TQvRadioGroup::SetItems(const QStringList& v)
{
    items_ = v;
    while (buttons_.size() > v.size()) delete buttons_.takeLast();
    while (buttons_.size() < v.size()) {
        auto* button = new TQvGroupButton(this);
        MarkInnerPart(button);
        button->show();
        buttons_.append(button);
    }
    for (int i = 0; i < v.size(); ++i) buttons_[i]->SetCaption(v[i]);
    if (itemIndex_ >= v.size()) itemIndex_ = -1;
    for (int i = 0; i < buttons_.size(); ++i) buttons_[i]->setChecked(i == itemIndex_);
    ArrangeButtons();
}

void TQvRadioGroup::SetItemIndex(int v)
{
    if (v < -1 || v >= buttons_.size()) v = -1;
    const bool changed = v != itemIndex_;
    itemIndex_ = v;
    for (int i = 0; i < buttons_.size(); ++i) buttons_[i]->setChecked(i == v);
    if (changed) TControlEvents::Fire(OnChange, this);
}

void TQvRadioGroup::SetColumns(int v)
{
    columns_ = qBound(1, v, 16);
    ArrangeButtons();
}

void TQvRadioGroup::ArrangeButtons()
{
    if (buttons_.isEmpty()) return;
    const int count = int(buttons_.size());
    const int perColumn = (count + columns_ - 1) / columns_;
    const int buttonWidth = (width() - 10) / columns_;
    const int textHeight = QFontMetrics(font()).height();
    const int free = height() - textHeight - 5;
    const int buttonHeight = free / perColumn;
    const int topMargin = textHeight + 1 + (free % perColumn) / 2;
    for (int i = 0; i < count; ++i) {
        int left = (i / perColumn) * buttonWidth + 8;
        if (layoutDirection() == Qt::RightToLeft) left = width() - left - buttonWidth;
        buttons_[i]->setGeometry(left, (i % perColumn) * buttonHeight + topMargin, buttonWidth, buttonHeight);
    }
}

void TQvRadioGroup::ButtonClicked(TQvGroupButton* button)
{
    if (!CanModify()) {
        SetItemIndex(itemIndex_);  // the buttons show the index that stays
        return;
    }
    SetItemIndex(int(buttons_.indexOf(button)));
    TControlEvents::Fire(OnClick, this);
}

void TQvRadioGroup::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    ArrangeButtons();
}

void TQvRadioGroup::changeEvent(QEvent* e)
{
    QGroupBox::changeEvent(e);
    if (e->type() == QEvent::FontChange || e->type() == QEvent::LayoutDirectionChange) ArrangeButtons();
}

}  // namespace kelm24
