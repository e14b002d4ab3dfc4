#include "controls/DBLabel.h"

#include "controls/ControlMessages.h"

#include <QEvent>

namespace kelm24 {

TDBLabel::TDBLabel(QWidget* parent) : TLabel(parent) { SetCaption(QStringLiteral("挂靠标签")); }

void TDBLabel::SetFocusControl(QWidget* v)
{
    if (v == FocusControl()) return;
    if (v) {
        QWidget* form = v->window();
        for (TDBLabel* other : form->findChildren<TDBLabel*>()) {
            if (other != this && other->FocusControl() == v) {
                ShowControlMessage(this, QStringLiteral("不能同时有两个 DBLabel 指到同一个 Control."));
                return;
            }
        }
    }
    if (FocusControl()) FocusControl()->removeEventFilter(this);
    TLabel::SetFocusControl(v);
    if (v) {
        v->installEventFilter(this);
        TakeFieldCaption();
        AlignToControl();
    }
}

void TDBLabel::SetCaption(const QString& v)
{
    TLabel::SetCaption(v);
    AlignToControl();
}

void TDBLabel::SetAutoAlign(bool v)
{
    autoAlign_ = v;
    AlignToControl();
}

void TDBLabel::SetPos(TLabelPos v)
{
    pos_ = v;
    AlignToControl();
}

void TDBLabel::SetGap(int v)
{
    gap_ = v;
    AlignToControl();
}

void TDBLabel::SetAutoCaption(bool v)
{
    autoCaption_ = v;
    TakeFieldCaption();
}

QString TDBLabel::FieldDisplayLabel(const QWidget* control)
{
    if (!control) return QString();
    auto* source = control->property("DataSource").value<QObject*>();
    const QString field = control->property("DataField").toString();
    if (!source || field.isEmpty()) return QString();
    QString label;
    if (!QMetaObject::invokeMethod(source, "DisplayLabel", Qt::DirectConnection, Q_RETURN_ARG(QString, label),
                                   Q_ARG(QString, field)))
        return QString();
    return label;
}

void TDBLabel::TakeFieldCaption()
{
    if (!autoCaption_) return;
    const QString label = FieldDisplayLabel(FocusControl());
    if (!label.isEmpty()) SetCaption(label);
}

void TDBLabel::AlignToControl()
{
    QWidget* c = FocusControl();
    if (!autoAlign_ || !c || c->parentWidget() != parentWidget()) return;
    const QRect r = c->geometry();
    int left = 0, top = 0;
    switch (pos_) {
    case psTop:
        left = r.left();
        top = r.top() - gap_ - height();
        break;
    case psBottom:
        left = r.left();
        top = r.bottom() + 1 + gap_;
        break;
    case psLeft:
    case psRight:
        left = pos_ == psLeft ? r.left() - gap_ - width() : r.right() + 1 + gap_;
        top = r.height() == height() ? r.top() : r.top() + r.height() / 2 - height() / 2;
        break;
    }
    move(qMax(0, left), qMax(0, top));
}

bool TDBLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FocusControl() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        AlignToControl();
    return TLabel::eventFilter(watched, event);
}

}  // namespace kelm24
