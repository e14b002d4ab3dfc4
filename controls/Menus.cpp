#include "controls/Menus.h"

#include <QActionGroup>
#include <QContextMenuEvent>

namespace kelm24 {

TMenuItem::TMenuItem(QObject* owner) : QAction(owner)
{
    connect(this, &QAction::triggered, this, [this] {
        // A radio item goes on; an item of a group unchecks the others.
        if (radioItem_) SetChecked(true);
        TControlEvents::Fire(OnClick, this);
    });
}

void TMenuItem::SetChecked(bool v)
{
    setCheckable(v || radioItem_ || isCheckable());
    setChecked(v);
    if (!v || !radioItem_ || !parent()) return;
    for (TMenuItem* other : parent()->findChildren<TMenuItem*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) other->setChecked(false);
}

void TMenuItem::SetCaption(const QString& v)
{
    const bool line = v == QLatin1String("-");
    setSeparator(line);
    setText(line ? QString() : v);
}

void TMenuItem::SetRadioItem(bool v)
{
    radioItem_ = v;
    if (v) setCheckable(true);
}

TPopupMenu::TPopupMenu(QWidget* owner) : QMenu(owner)
{
    connect(this, &QMenu::aboutToShow, this, [this] { TControlEvents::Fire(OnPopup, this); });
}

TMenuItem* TPopupMenu::AddItem(const QString& name, const QString& caption)
{
    auto* item = new TMenuItem(this);
    item->setObjectName(name);
    item->SetCaption(caption);
    addAction(item);
    return item;
}

QList<TMenuItem*> TPopupMenu::Items() const
{
    QList<TMenuItem*> out;
    for (QAction* a : actions())
        if (auto* item = qobject_cast<TMenuItem*>(a)) out << item;
    return out;
}

void TPopupMenu::AttachTo(QWidget* control)
{
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this, [this, control](const QPoint& pos) {
        if (autoPopup_) popup(control->mapToGlobal(pos));
    });
}

}  // namespace kelm24
