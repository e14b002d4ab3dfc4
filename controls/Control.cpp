#include "controls/Control.h"

#include <QEvent>
#include <QVector>
#include <algorithm>

namespace kelm24 {

namespace {

const char* const kAlignProperty = "_kelm24_Align";
const char* const kTagProperty = "_kelm24_Tag";

// Watches a docked control (parent changes, showing, hiding) and its parent
// (resizes) and lays the parent's docked children out again.
class TAlignWatcher : public QObject {
public:
    // One watcher for the library's life; it goes with the library, so a
    // host that unloads the plug-in keeps no object whose code is gone.
    static TAlignWatcher* Instance()
    {
        static TAlignWatcher watcher;
        return &watcher;
    }
    void Watch(QWidget* control)
    {
        control->removeEventFilter(this);
        control->installEventFilter(this);
        if (QWidget* parent = control->parentWidget()) {
            parent->removeEventFilter(this);
            parent->installEventFilter(this);
            RealignControls(parent);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(watched);
        if (!w) return false;
        switch (event->type()) {
        case QEvent::Resize: RealignControls(w); break;
        case QEvent::ParentChange:
            if (ControlAlign(w) != ctl::alNone) Watch(w);
            break;
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
            if (ControlAlign(w) != ctl::alNone && w->parentWidget()) RealignControls(w->parentWidget());
            break;
        default: break;
        }
        return false;
    }
};

}  // namespace

QString ControlClassName(const QObject* object)
{
    QString name = QString::fromLatin1(object->metaObject()->className());
    const int colon = name.lastIndexOf(QLatin1Char(':'));
    return colon >= 0 ? name.mid(colon + 1) : name;
}

QString StripAccelerator(const QString& caption)
{
    QString out;
    out.reserve(caption.size());
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

ctl::TAlign ControlAlign(const QWidget* control)
{
    return ctl::TAlign(control->property(kAlignProperty).toInt());
}

void SetControlAlign(QWidget* control, ctl::TAlign align)
{
    if (ControlAlign(control) == align) return;
    control->setProperty(kAlignProperty, int(align));
    if (align != ctl::alNone) TAlignWatcher::Instance()->Watch(control);
    else if (control->parentWidget()) RealignControls(control->parentWidget());
}

void RealignControls(QWidget* parent)
{
    QRect area = parent->contentsRect();
    QVector<QWidget*> docked[6];
    for (QObject* child : parent->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow() || w->isHidden()) continue;
        const ctl::TAlign a = ControlAlign(w);
        if (a != ctl::alNone) docked[a].append(w);
    }
    // Within one side, the control nearer to that edge comes first.
    std::stable_sort(docked[ctl::alTop].begin(), docked[ctl::alTop].end(),
                     [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    std::stable_sort(docked[ctl::alBottom].begin(), docked[ctl::alBottom].end(),
                     [](QWidget* a, QWidget* b) { return a->y() + a->height() > b->y() + b->height(); });
    std::stable_sort(docked[ctl::alLeft].begin(), docked[ctl::alLeft].end(),
                     [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    std::stable_sort(docked[ctl::alRight].begin(), docked[ctl::alRight].end(),
                     [](QWidget* a, QWidget* b) { return a->x() + a->width() > b->x() + b->width(); });
    for (QWidget* w : docked[ctl::alTop]) {
        w->setGeometry(area.left(), area.top(), area.width(), w->height());
        area.setTop(area.top() + w->height());
    }
    for (QWidget* w : docked[ctl::alBottom]) {
        w->setGeometry(area.left(), area.bottom() + 1 - w->height(), area.width(), w->height());
        area.setBottom(area.bottom() - w->height());
    }
    for (QWidget* w : docked[ctl::alLeft]) {
        w->setGeometry(area.left(), area.top(), w->width(), std::max(0, area.height()));
        area.setLeft(area.left() + w->width());
    }
    for (QWidget* w : docked[ctl::alRight]) {
        w->setGeometry(area.right() + 1 - w->width(), area.top(), w->width(), std::max(0, area.height()));
        area.setRight(area.right() - w->width());
    }
    for (QWidget* w : docked[ctl::alClient])
        w->setGeometry(area.left(), area.top(), std::max(0, area.width()), std::max(0, area.height()));
}

void SetControlEnabled(QWidget* control, bool enabled)
{
    control->setEnabled(enabled);
    if (control->property("_kelm24_EnablesChildren").toBool())
        for (QWidget* child : control->findChildren<QWidget*>()) child->setEnabled(enabled);
}

void SetEnablesChildren(QWidget* control, bool recursive) { control->setProperty("_kelm24_EnablesChildren", recursive); }

int ControlTag(const QWidget* control) { return control->property(kTagProperty).toInt(); }
void SetControlTag(QWidget* control, int tag) { control->setProperty(kTagProperty, tag); }

}  // namespace kelm24
