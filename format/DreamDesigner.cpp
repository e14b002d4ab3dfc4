#include "format/DreamDesigner.h"

#include "format/DesignerInspector.h"
#include "kelm24/Variant.h"

#include <QApplication>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWidget>
#include <algorithm>

namespace kelm24 {

// Drawn over the form in design mode: the grid on the containers, the
// selection with its handles, the rubber band. Mouse events pass through it.
class TDesignerOverlay : public QWidget {
public:
    explicit TDesignerOverlay(TDreamDesigner* Designer) : QWidget(Designer->Form()), designer_(Designer)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setObjectName(QString());
        setGeometry(Designer->Form()->rect());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const int grid = designer_->GridSize() * 2;
        p.setPen(QColor(160, 160, 160));
        for (QWidget* w : designer_->Form()->findChildren<QWidget*>()) {
            if (!designer_->IsContainer(w) || !w->isVisible()) continue;
            const QRect r = designer_->FormRect(w);
            for (int y = r.top(); y < r.bottom(); y += grid)
                for (int x = r.left(); x < r.right(); x += grid) p.drawPoint(x, y);
        }
        const QList<QWidget*> selection = designer_->Selection();
        const bool single = selection.size() == 1;
        for (QWidget* w : selection) {
            const QRect r = designer_->FormRect(w);
            p.setPen(QPen(Qt::darkBlue, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(r.adjusted(0, 0, -1, -1));
            p.setPen(Qt::NoPen);
            p.setBrush(single ? Qt::black : Qt::gray);
            for (int h = 0; h < 8; ++h)
                if (designer_->HandleAllowed(w, h)) p.drawRect(TDreamDesigner::HandleRect(r, h));
        }
        if (!designer_->rubber_.isNull()) {
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(designer_->rubber_);
        }
    }

private:
    TDreamDesigner* designer_;
};

namespace {

QList<TDreamDesigner::TDialogAnswer>& DialogScript()
{
    static QList<TDreamDesigner::TDialogAnswer> script;
    return script;
}

}  // namespace

TDreamDesigner::TDreamDesigner(QWidget* Form) : QObject(Form), form_(Form)
{
    setObjectName(QStringLiteral("DreamDesigner1"));
    qApp->installEventFilter(this);
}

TDreamDesigner::~TDreamDesigner()
{
    qApp->removeEventFilter(this);
    delete inspector_.data();
}

void TDreamDesigner::Allow(TDesignerAction Action, bool On)
{
    if (On)
        allowed_ |= 1 << Action;
    else
        allowed_ &= ~(1 << Action);
}

void TDreamDesigner::RegisterClass(const QMetaObject* Class, TComponentFactory Create, bool Container)
{
    classes_.append({Class, std::move(Create), Container});
}

bool TDreamDesigner::IsComponent(const QWidget* Widget) const
{
    if (!Widget || Widget == form_ || Widget == overlay_) return false;
    for (const TComponentClass& c : classes_)
        if (Widget->metaObject()->inherits(c.Class)) return true;
    return false;
}

bool TDreamDesigner::IsContainer(const QWidget* Widget) const
{
    if (!Widget) return false;
    for (const TComponentClass& c : classes_)
        if (c.Container && Widget->metaObject()->inherits(c.Class)) return true;
    return false;
}

QWidget* TDreamDesigner::ComponentAt(QWidget* Widget) const
{
    for (QWidget* w = Widget; w && w != form_; w = w->parentWidget())
        if (IsComponent(w)) return w;
    return nullptr;
}

void TDreamDesigner::RegisterPropertyEnum(const QString& PropertyName, const QStringList& ValueNames)
{
    enums_.insert(PropertyName.toUpper(), ValueNames);
}

void TDreamDesigner::RegisterPropertyCheck(const QString& PropertyName, TPropertyCheck Check)
{
    checks_.insert(PropertyName.toUpper(), std::move(Check));
}

bool TDreamDesigner::InForm(const QObject* Object) const
{
    const QWidget* w = qobject_cast<const QWidget*>(Object);
    return w && form_ && (w == form_ || form_->isAncestorOf(w));
}

// ----------------------------------------------------------------- design mode

void TDreamDesigner::Start()
{
    if (active_) return;
    active_ = true;
    if (!overlay_) overlay_ = new TDesignerOverlay(this);
    overlay_->setGeometry(form_->rect());
    overlay_->raise();
    overlay_->show();
    SetDropsAccepted(true);
    form_->setFocusPolicy(Qt::StrongFocus);
    form_->setFocus();
    if (OnActiveChanged) OnActiveChanged();
}

void TDreamDesigner::Stop()
{
    if (!active_ || stopping_) return;
    stopping_ = true;
    QPointer<TDreamDesigner> self(this);
    if (storeChanges_ && OnSaveChanges) {
        bool handled = false;
        OnSaveChanges(handled);
        if (!self) return;
    }
    drag_ = Drag::None;
    selection_.clear();
    if (overlay_) overlay_->hide();
    if (inspector_) inspector_->hide();
    SetDropsAccepted(false);
    active_ = false;
    stopping_ = false;
    // The form may let itself go from here: nothing of this runs afterwards.
    if (OnActiveChanged) OnActiveChanged();
}

void TDreamDesigner::LoadChanges()
{
    if (!storeChanges_ || !OnLoadChanges) return;
    bool handled = false;
    OnLoadChanges(handled);
}

void TDreamDesigner::SetDropsAccepted(bool On)
{
    if (On) {
        QList<QWidget*> widgets = form_->findChildren<QWidget*>();
        widgets.prepend(form_);
        for (QWidget* w : widgets) {
            if (w == overlay_ || w->acceptDrops()) continue;
            w->setAcceptDrops(true);
            dropTargets_.append(w);
        }
    } else {
        for (const QPointer<QWidget>& w : dropTargets_)
            if (w) w->setAcceptDrops(false);
        dropTargets_.clear();
    }
}

// ------------------------------------------------------------------- selection

QList<QWidget*> TDreamDesigner::Selection() const
{
    QList<QWidget*> out;
    for (const QPointer<QWidget>& w : selection_)
        if (w) out.append(w);
    return out;
}

bool TDreamDesigner::IsSelected(const QWidget* Component) const
{
    for (const QPointer<QWidget>& w : selection_)
        if (w == Component) return true;
    return false;
}

void TDreamDesigner::Select(QWidget* Component, bool Add)
{
    if (!Component || !Allowed(daSelect)) return;
    if (!Add) selection_.clear();
    if (!IsSelected(Component)) selection_.append(Component);
    SelectionChanged();
}

void TDreamDesigner::Unselect(QWidget* Component)
{
    selection_.removeIf([Component](const QPointer<QWidget>& w) { return !w || w == Component; });
    SelectionChanged();
}

void TDreamDesigner::ClearSelection()
{
    if (selection_.isEmpty()) return;
    selection_.clear();
    SelectionChanged();
}

void TDreamDesigner::SelectInRect(QWidget* Parent, const QRect& Rect, bool Add)
{
    if (!Add) selection_.clear();
    QWidget* parent = Parent ? Parent : form_;
    const QList<QWidget*> widgets = parent->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (!IsComponent(w) || !w->isVisible() || IsSelected(w)) continue;
        // Within a container its own components; on the form the containers
        // (or components that sit in none).
        if (Parent ? w->parentWidget() != Parent : (ComponentAt(w->parentWidget()) != nullptr)) continue;
        const QRect r = Parent ? w->geometry() : FormRect(w);
        if (r.intersects(Rect)) selection_.append(w);
    }
    SelectionChanged();
}

void TDreamDesigner::SelectionChanged()
{
    QWidget* first = Selection().value(0);
    if (first && OnShowProperty) OnShowProperty(first);
    if (inspector_ && inspector_->isVisible()) inspector_->SetComponent(first);
    UpdateOverlay();
    if (OnSelectionChanged) OnSelectionChanged();
}

void TDreamDesigner::UpdateOverlay()
{
    if (!overlay_ || !active_) return;
    overlay_->setGeometry(form_->rect());
    overlay_->raise();
    overlay_->update();
}

QRect TDreamDesigner::FormRect(const QWidget* Component) const
{
    return QRect(Component->mapTo(form_, QPoint(0, 0)), Component->size());
}

int TDreamDesigner::Snap(int Value) const
{
    if (!snap_) return Value;
    return static_cast<int>(std::lround(static_cast<double>(Value) / grid_)) * grid_;
}

// ------------------------------------------------------------------ operations

namespace {

// A geometry kept inside the parent: no part of it may leave the parent.
QRect KeptInside(const QWidget* Component, QRect r)
{
    const QWidget* parent = Component->parentWidget();
    if (!parent) return r;
    r.setWidth(std::min(std::max(1, r.width()), std::max(1, parent->width())));
    r.setHeight(std::min(std::max(1, r.height()), std::max(1, parent->height())));
    r.moveLeft(std::clamp(r.left(), 0, std::max(0, parent->width() - r.width())));
    r.moveTop(std::clamp(r.top(), 0, std::max(0, parent->height() - r.height())));
    return r;
}

}  // namespace

void TDreamDesigner::MoveSelection(int Dx, int Dy)
{
    if (!Allowed(daMove)) return;
    for (QWidget* w : Selection()) {
        if (IsContainer(w)) continue;
        w->setGeometry(KeptInside(w, w->geometry().translated(Dx, Dy)));
    }
    UpdateOverlay();
    if (inspector_) inspector_->Refresh();
}

void TDreamDesigner::ResizeSelection(int Dw, int Dh)
{
    if (!Allowed(daResize)) return;
    for (QWidget* w : Selection()) {
        QRect r = w->geometry();
        if (IsContainer(w)) {
            w->resize(w->width(), std::max(1, r.height() + Dh));
            continue;
        }
        r.setSize(QSize(std::max(1, r.width() + Dw), std::max(1, r.height() + Dh)));
        w->setGeometry(KeptInside(w, r));
    }
    UpdateOverlay();
    if (inspector_) inspector_->Refresh();
}

void TDreamDesigner::AlignToGrid()
{
    for (QWidget* w : Selection()) {
        if (IsContainer(w)) continue;
        const auto round = [this](int v) { return static_cast<int>(std::lround(static_cast<double>(v) / grid_)) * grid_; };
        w->setGeometry(KeptInside(w, QRect(round(w->x()), round(w->y()), w->width(), w->height())));
    }
    UpdateOverlay();
}

void TDreamDesigner::BringToFront()
{
    for (QWidget* w : Selection()) w->raise();
    UpdateOverlay();
}

void TDreamDesigner::SendToBack()
{
    for (QWidget* w : Selection()) w->lower();
    UpdateOverlay();
}

void TDreamDesigner::AlignSelection(TDesignerAlign Horizontal, TDesignerAlign Vertical)
{
    QList<QWidget*> items = Selection();
    items.removeIf([this](QWidget* w) { return IsContainer(w); });
    if (items.isEmpty()) return;
    // Worked out in the form's coordinates, so components on different bands line up too.
    const QRect ref = FormRect(items.first());
    const auto place = [this, &items, &ref](bool horizontal, TDesignerAlign mode) {
        if (mode == alNone) return;
        if (mode == alSpaceEqually) {
            if (items.size() < 3) return;
            QList<QWidget*> sorted = items;
            std::sort(sorted.begin(), sorted.end(), [&](QWidget* a, QWidget* b) {
                return horizontal ? FormRect(a).left() < FormRect(b).left() : FormRect(a).top() < FormRect(b).top();
            });
            const QRect first = FormRect(sorted.first()), last = FormRect(sorted.last());
            const double step = horizontal ? double(last.left() - first.left()) / (sorted.size() - 1)
                                           : double(last.top() - first.top()) / (sorted.size() - 1);
            for (int i = 1; i + 1 < sorted.size(); ++i) {
                QWidget* w = sorted[i];
                QPoint at = FormRect(w).topLeft();
                (horizontal ? at.rx() : at.ry()) = (horizontal ? first.left() : first.top()) + static_cast<int>(std::lround(step * i));
                w->setGeometry(KeptInside(w, QRect(w->parentWidget()->mapFrom(form_, at), w->size())));
            }
            return;
        }
        for (QWidget* w : items) {
            const QRect r = FormRect(w);
            QPoint at = r.topLeft();
            int& v = horizontal ? at.rx() : at.ry();
            const int size = horizontal ? r.width() : r.height();
            switch (mode) {
            case alLeftTop: v = horizontal ? ref.left() : ref.top(); break;
            case alCenter: v = (horizontal ? ref.center().x() : ref.center().y()) - size / 2; break;
            case alRightBottom: v = (horizontal ? ref.right() : ref.bottom()) - size + 1; break;
            case alCenterInParent: {
                const QRect p = FormRect(w->parentWidget());
                v = (horizontal ? p.left() + (p.width() - size) / 2 : p.top() + (p.height() - size) / 2);
                break;
            }
            default: break;
            }
            w->setGeometry(KeptInside(w, QRect(w->parentWidget()->mapFrom(form_, at), w->size())));
        }
    };
    place(true, Horizontal);
    place(false, Vertical);
    UpdateOverlay();
    if (inspector_) inspector_->Refresh();
}

void TDreamDesigner::SizeSelection(TDesignerSize WidthMode, int Width, TDesignerSize HeightMode, int Height)
{
    QList<QWidget*> items = Selection();
    items.removeIf([this](QWidget* w) { return IsContainer(w); });
    if (items.isEmpty()) return;
    int minW = INT_MAX, maxW = 0, minH = INT_MAX, maxH = 0;
    for (QWidget* w : items) {
        minW = std::min(minW, w->width());
        maxW = std::max(maxW, w->width());
        minH = std::min(minH, w->height());
        maxH = std::max(maxH, w->height());
    }
    const auto sized = [](TDesignerSize mode, int value, int smallest, int largest, int current) {
        switch (mode) {
        case szShrinkToSmallest: return smallest;
        case szGrowToLargest: return largest;
        case szValue: return std::max(1, value);
        default: return current;
        }
    };
    for (QWidget* w : items) {
        const QRect r(w->pos(), QSize(sized(WidthMode, Width, minW, maxW, w->width()), sized(HeightMode, Height, minH, maxH, w->height())));
        w->setGeometry(KeptInside(w, r));
    }
    UpdateOverlay();
    if (inspector_) inspector_->Refresh();
}

void TDreamDesigner::ScaleSelection(int Percent)
{
    if (Percent <= 0) return;
    const auto scaled = [Percent](int v) { return static_cast<int>(std::lround(v * Percent / 100.0)); };
    for (QWidget* w : Selection()) {
        if (IsContainer(w)) continue;
        const QRect r = w->geometry();
        w->setGeometry(KeptInside(w, QRect(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height()))));
    }
    UpdateOverlay();
    if (inspector_) inspector_->Refresh();
}

void TDreamDesigner::ScriptDialogAnswer(const TDialogAnswer& Answer) { DialogScript().append(Answer); }

bool TDreamDesigner::TakeDialogAnswer(TDialogAnswer& Answer)
{
    if (DialogScript().isEmpty()) return false;
    Answer = DialogScript().takeFirst();
    return true;
}

bool TDreamDesigner::ShowAlignDialog()
{
    QList<int> answer;
    if (!RunAlignDialog(form_, answer) || answer.size() < 2) return false;
    AlignSelection(static_cast<TDesignerAlign>(answer[0]), static_cast<TDesignerAlign>(answer[1]));
    return true;
}

bool TDreamDesigner::ShowSizeDialog()
{
    QList<int> answer;
    if (!RunSizeDialog(form_, answer) || answer.size() < 4) return false;
    SizeSelection(static_cast<TDesignerSize>(answer[0]), answer[1], static_cast<TDesignerSize>(answer[2]), answer[3]);
    return true;
}

bool TDreamDesigner::ShowScaleDialog()
{
    QList<int> answer;
    if (!RunScaleDialog(form_, answer) || answer.isEmpty()) return false;
    ScaleSelection(answer[0]);
    return true;
}

int TDreamDesigner::DeleteSelected()
{
    if (!Allowed(daDelete)) return 0;
    // The owner gives its word on each component (OnShowProperty sets the
    // delete action for the one shown): of a selection that mixes deletable
    // components with others only the deletable ones go.
    QList<QPointer<QWidget>> doomed;
    for (QWidget* w : Selection()) {
        if (OnShowProperty) OnShowProperty(w);
        if (Allowed(daDelete)) doomed << w;
    }
    QPointer<TDreamDesigner> self(this);
    int count = 0;
    for (const QPointer<QWidget>& guard : doomed) {
        if (!guard) continue;  // went with a container deleted before it
        if (OnDeleteComponent) OnDeleteComponent(guard);
        if (!self) return count;
        selection_.removeAll(guard);
        delete guard.data();
        ++count;
    }
    SelectionChanged();
    return count;
}

QWidget* TDreamDesigner::CreateComponent(const QString& ClassName, QWidget* Parent, const QRect& Geometry)
{
    for (const TComponentClass& c : classes_) {
        if (!c.Create || QString::fromLatin1(c.Class->className()).section(QLatin1String("::"), -1) != ClassName) continue;
        QWidget* w = c.Create(Parent);
        w->setGeometry(Geometry);
        w->show();
        if (active_ && !w->acceptDrops()) {
            w->setAcceptDrops(true);
            dropTargets_.append(w);
        }
        UpdateOverlay();
        return w;
    }
    throw Exception(QStringLiteral("Class %1 not found").arg(ClassName));
}

// ---------------------------------------------------------------- the inspector

TDesignerInspector* TDreamDesigner::Inspector()
{
    if (!inspector_) inspector_ = new TDesignerInspector(this);
    return inspector_;
}

void TDreamDesigner::ShowInspector()
{
    if (!Allowed(daShow)) return;
    QWidget* first = Selection().value(0);
    if (first && OnShowProperty) OnShowProperty(first);
    Inspector()->SetComponent(first);
    inspector_->show();
    inspector_->raise();
}

// ---------------------------------------------------------------- drag and drop

bool TDreamDesigner::DragOver(QObject* Source, QWidget* Target, const QPoint& Point)
{
    if (!active_ || (!Allowed(daInsert) && !Allowed(daMove))) return false;
    bool accept = false;
    if (OnDragOver) OnDragOver(Source, Target, Point, accept);
    return accept;
}

bool TDreamDesigner::DragDrop(QObject* Source, QWidget* Target, const QPoint& Point)
{
    if (!DragOver(Source, Target, Point)) return false;
    if (OnDragDrop) OnDragDrop(Source, Target, Point);
    UpdateOverlay();
    return true;
}

// ----------------------------------------------------------------- the gestures

QRect TDreamDesigner::HandleRect(const QRect& r, int Handle)
{
    const int s = 5;
    const int xs[3] = {r.left() - s / 2, r.center().x() - s / 2, r.right() - s / 2};
    const int ys[3] = {r.top() - s / 2, r.center().y() - s / 2, r.bottom() - s / 2};
    // 0 top-left, 1 top, 2 top-right, 3 right, 4 bottom-right, 5 bottom, 6 bottom-left, 7 left.
    static const int col[8] = {0, 1, 2, 2, 2, 1, 0, 0};
    static const int row[8] = {0, 0, 0, 1, 2, 2, 2, 1};
    return QRect(xs[col[Handle]], ys[row[Handle]], s, s);
}

bool TDreamDesigner::HandleAllowed(const QWidget* Component, int Handle) const
{
    return IsContainer(Component) ? Handle == 5 : true;
}

int TDreamDesigner::HandleAt(const QPoint& FormPoint, QWidget** Component) const
{
    const QList<QWidget*> selection = Selection();
    if (selection.size() != 1 || !Allowed(daResize)) return -1;
    const QRect r = FormRect(selection.first());
    for (int h = 0; h < 8; ++h) {
        if (HandleAllowed(selection.first(), h) && HandleRect(r, h).adjusted(-1, -1, 1, 1).contains(FormPoint)) {
            *Component = selection.first();
            return h;
        }
    }
    return -1;
}

bool TDreamDesigner::IsHotKey(const QKeyEvent* Event) const
{
    if (hotKey_ == 0) return false;
    const int key = hotKey_ & 0xFF;
    // Virtual keys F1..F24 are 0x70..0x87; letters and digits are themselves.
    int qtKey = key >= 0x70 && key <= 0x87 ? Qt::Key_F1 + (key - 0x70) : key;
    if (Event->key() != qtKey) return false;
    Qt::KeyboardModifiers wanted;
    if (hotKey_ & 0x2000) wanted |= Qt::ShiftModifier;
    if (hotKey_ & 0x4000) wanted |= Qt::ControlModifier;
    if (hotKey_ & 0x8000) wanted |= Qt::AltModifier;
    return (Event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) == wanted;
}

bool TDreamDesigner::eventFilter(QObject* Watched, QEvent* Event)
{
    const QEvent::Type type = Event->type();
    if (type == QEvent::KeyPress && (InForm(Watched) || Watched == form_->window())) {
        auto* key = static_cast<QKeyEvent*>(Event);
        if (IsHotKey(key)) {
            active_ ? Stop() : Start();
            return true;
        }
        return active_ && HandleKey(key);
    }
    if (!active_) return false;
    if (Watched == form_ && type == QEvent::Resize) UpdateOverlay();
    if (!InForm(Watched) || Watched == overlay_) return false;
    QWidget* receiver = static_cast<QWidget*>(Watched);
    // Scroll bars of the form keep working.
    for (QWidget* w = receiver; w && w != form_; w = w->parentWidget())
        if (qobject_cast<QScrollBar*>(w)) return false;
    switch (type) {
    case QEvent::MouseButtonPress: return HandleMousePress(receiver, static_cast<QMouseEvent*>(Event));
    case QEvent::MouseMove: return HandleMouseMove(static_cast<QMouseEvent*>(Event));
    case QEvent::MouseButtonRelease: return HandleMouseRelease(static_cast<QMouseEvent*>(Event));
    case QEvent::MouseButtonDblClick:
        ShowInspector();
        return true;
    case QEvent::ContextMenu: return true;
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(Event);
        QWidget* target = ComponentAt(receiver);
        if (!target) target = form_;
        const QPoint point = target->mapFrom(receiver, drop->position().toPoint());
        const bool ok = type == QEvent::Drop ? DragDrop(drop->source(), target, point) : DragOver(drop->source(), target, point);
        if (ok)
            drop->acceptProposedAction();
        else
            drop->ignore();
        return true;
    }
    default: return false;
    }
}

bool TDreamDesigner::HandleMousePress(QWidget* Receiver, QMouseEvent* Event)
{
    const QPoint global = Event->globalPosition().toPoint();
    const QPoint formPoint = form_->mapFromGlobal(global);
    const bool shift = Event->modifiers() & Qt::ShiftModifier;
    QWidget* component = ComponentAt(Receiver);
    pressGlobal_ = global;
    startGeometry_.clear();
    drag_ = Drag::None;

    if (Event->button() == Qt::RightButton) {
        if (component && !IsSelected(component)) Select(component);
        ShowContextMenu(component, global);
        return true;
    }
    if (Event->button() != Qt::LeftButton) return true;

    QWidget* handled = nullptr;
    const int handle = HandleAt(formPoint, &handled);
    if (handle >= 0) {
        drag_ = Drag::Resize;
        handle_ = handle;
        dragComponent_ = handled;
        startGeometry_.insert(handled, handled->geometry());
        return true;
    }
    if (!component) {
        if (!shift) ClearSelection();
        drag_ = Drag::PendingRubber;
        dragComponent_ = nullptr;
        return true;
    }
    if (shift) {
        IsSelected(component) ? Unselect(component) : Select(component, true);
    } else if (!IsSelected(component)) {
        Select(component);
    }
    if (IsContainer(component)) {
        drag_ = Drag::PendingRubber;
        dragComponent_ = component;
    } else if (!shift && Allowed(daMove)) {
        drag_ = Drag::Move;
        dragComponent_ = component;
        for (QWidget* w : Selection()) startGeometry_.insert(w, w->geometry());
    }
    return true;
}

bool TDreamDesigner::HandleMouseMove(QMouseEvent* Event)
{
    if (drag_ == Drag::None) return true;
    const QPoint global = Event->globalPosition().toPoint();
    const QPoint delta = global - pressGlobal_;
    switch (drag_) {
    case Drag::Move: {
        if (!dragComponent_ || !startGeometry_.contains(dragComponent_)) break;
        // The pressed component lands on the grid; the others move with it.
        const QRect lead = startGeometry_.value(dragComponent_);
        const int dx = Snap(lead.x() + delta.x()) - lead.x(), dy = Snap(lead.y() + delta.y()) - lead.y();
        for (auto it = startGeometry_.cbegin(); it != startGeometry_.cend(); ++it)
            if (IsSelected(it.key()) && !IsContainer(it.key())) it.key()->setGeometry(KeptInside(it.key(), it.value().translated(dx, dy)));
        UpdateOverlay();
        break;
    }
    case Drag::Resize: {
        if (!dragComponent_) break;
        QRect r = startGeometry_.value(dragComponent_);
        const int h = handle_;
        // Only an edge the mouse moved lands on the grid: widening a field
        // by its corner keeps the height the layout gave it.
        const bool movedX = delta.x() != 0, movedY = delta.y() != 0;
        if (movedX && (h == 0 || h == 6 || h == 7)) r.setLeft(Snap(r.left() + delta.x()));
        if (movedX && (h == 2 || h == 3 || h == 4)) r.setRight(Snap(r.right() + 1 + delta.x()) - 1);
        if (movedY && (h == 0 || h == 1 || h == 2)) r.setTop(Snap(r.top() + delta.y()));
        if (movedY && (h == 4 || h == 5 || h == 6)) r.setBottom(Snap(r.bottom() + 1 + delta.y()) - 1);
        r = r.normalized();
        if (IsContainer(dragComponent_))
            dragComponent_->resize(dragComponent_->width(), std::max(1, r.height()));
        else
            dragComponent_->setGeometry(KeptInside(dragComponent_, r));
        UpdateOverlay();
        break;
    }
    case Drag::PendingRubber:
        if (delta.manhattanLength() < QApplication::startDragDistance()) break;
        drag_ = Drag::Rubber;
        [[fallthrough]];
    case Drag::Rubber:
        rubber_ = QRect(form_->mapFromGlobal(pressGlobal_), form_->mapFromGlobal(global)).normalized();
        UpdateOverlay();
        break;
    default: break;
    }
    return true;
}

bool TDreamDesigner::HandleMouseRelease(QMouseEvent* Event)
{
    if (drag_ == Drag::Rubber) {
        const QRect inParent = dragComponent_ ? QRect(dragComponent_->mapFrom(form_, rubber_.topLeft()), rubber_.size()) : rubber_;
        SelectInRect(dragComponent_, inParent, Event->modifiers() & Qt::ShiftModifier);
    }
    if ((drag_ == Drag::Move || drag_ == Drag::Resize) && inspector_) inspector_->Refresh();
    drag_ = Drag::None;
    rubber_ = QRect();
    dragComponent_ = nullptr;
    startGeometry_.clear();
    UpdateOverlay();
    return true;
}

bool TDreamDesigner::HandleKey(QKeyEvent* Event)
{
    const QList<QWidget*> selection = Selection();
    const bool shift = Event->modifiers() & Qt::ShiftModifier;
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    int dx = 0, dy = 0;
    switch (Event->key()) {
    case Qt::Key_Left: dx = -1; break;
    case Qt::Key_Right: dx = 1; break;
    case Qt::Key_Up: dy = -1; break;
    case Qt::Key_Down: dy = 1; break;
    case Qt::Key_Delete:
        if (selection.isEmpty()) return false;
        DeleteSelected();
        return true;
    case Qt::Key_Escape:
        if (selection.isEmpty()) return false;
        if (QWidget* parent = ComponentAt(selection.first()->parentWidget())) Select(parent);
        return true;
    default: return false;
    }
    if (selection.isEmpty()) return false;
    if (shift) {
        ResizeSelection(dx, dy);
    } else {
        // Ctrl moves a whole grid step.
        const int step = ctrl ? grid_ : 1;
        MoveSelection(dx * step, dy * step);
    }
    return true;
}

void TDreamDesigner::ShowContextMenu(QWidget*, const QPoint& GlobalPos)
{
    if (popup_) popup_->popup(GlobalPos);
}

}  // namespace kelm24
