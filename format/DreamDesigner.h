// TDreamDesigner: the run-time form designer. Put on a form, it lets the user
// rearrange the form's components while the form runs: select them by click,
// Shift-click or a rubber band, move them with the mouse or the arrow keys,
// resize them with the handles, snap them to a grid, align, size and scale
// them, bring them to front or send them to back, create and delete them, and
// edit their published properties in an inspector. Components are widgets of
// registered classes (on a report form: bands and report controls); a
// component always keeps its parent (a control stays on its band).
//
// Design mode starts and stops with the hot key (Ctrl+F12) or Start/Stop. The
// form hears of it through events named as the system names them.
#pragma once

#include <QHash>
#include <QMenu>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <functional>

class QWidget;
class QEvent;
class QMouseEvent;
class QKeyEvent;

namespace kelm24 {

class TDesignerOverlay;
class TDesignerInspector;

// The designer's dialogs (a scripted answer first, none when headless):
// true with the answer when confirmed.
bool RunAlignDialog(QWidget* Owner, QList<int>& Answer);
bool RunSizeDialog(QWidget* Owner, QList<int>& Answer);
bool RunScaleDialog(QWidget* Owner, QList<int>& Answer);

// Allowed actions, as set bits (1 << action).
enum TDesignerAction {
    daSelect = 0,   // select components
    daMove = 1,     // move them
    daDelete = 2,   // delete them
    daResize = 3,   // resize them
    daInsert = 4,   // create components (drops)
    daShow = 5,     // show the property inspector
    daEdit = 6      // change properties in the inspector
};

// How the align dialog lines the selection up (per direction).
enum TDesignerAlign { alNone, alLeftTop, alCenter, alRightBottom, alSpaceEqually, alCenterInParent };
// How the size dialog sizes the selection (per direction).
enum TDesignerSize { szNone, szShrinkToSmallest, szGrowToLargest, szValue };

class TDreamDesigner : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Active READ Active WRITE SetActive)
    Q_PROPERTY(int AllowedActions READ AllowedActions WRITE SetAllowedActions)
    Q_PROPERTY(bool SnapToGrid READ SnapToGrid WRITE SetSnapToGrid)
    Q_PROPERTY(int GridSize READ GridSize WRITE SetGridSize)
    Q_PROPERTY(int HotKey READ HotKey WRITE SetHotKey)
    Q_PROPERTY(bool ShowCaptions READ ShowCaptions WRITE SetShowCaptions)
    Q_PROPERTY(bool ShowHints READ ShowHints WRITE SetShowHints)
    Q_PROPERTY(bool StoreChanges READ StoreChanges WRITE SetStoreChanges)
    Q_PROPERTY(bool ShowEvents READ ShowEvents WRITE SetShowEvents)

public:
    // Form: the form whose components are designed (also the owner).
    explicit TDreamDesigner(QWidget* Form);
    ~TDreamDesigner() override;

    QWidget* Form() const { return form_; }

    // --- settings
    bool Active() const { return active_; }
    void SetActive(bool On) { On ? Start() : Stop(); }
    int AllowedActions() const { return allowed_; }
    void SetAllowedActions(int Bits) { allowed_ = Bits; }
    bool Allowed(TDesignerAction Action) const { return allowed_ & (1 << Action); }
    void Allow(TDesignerAction Action, bool On);
    bool SnapToGrid() const { return snap_; }
    void SetSnapToGrid(bool On) { snap_ = On; }
    int GridSize() const { return grid_; }
    void SetGridSize(int Pixels) { grid_ = qMax(1, Pixels); }
    // A shortcut value: modifier bits 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt
    // plus a virtual key (0x7B F12): Ctrl+F12 is 16507.
    int HotKey() const { return hotKey_; }
    void SetHotKey(int Value) { hotKey_ = Value; }
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool On) { showCaptions_ = On; }
    bool ShowHints() const { return showHints_; }
    void SetShowHints(bool On) { showHints_ = On; }
    // Changes are stored: the form is asked to load them when it is made and
    // to save them when design ends.
    bool StoreChanges() const { return storeChanges_; }
    void SetStoreChanges(bool On) { storeChanges_ = On; }
    // The inspector lists event properties too (off: events hidden).
    bool ShowEvents() const { return showEvents_; }
    void SetShowEvents(bool On) { showEvents_ = On; }
    // The menu of a right click in design mode.
    QMenu* PopupMenu() const { return popup_; }
    void SetPopupMenu(QMenu* Menu) { popup_ = Menu; }

    // --- classes of components
    using TComponentFactory = std::function<QWidget*(QWidget* Parent)>;
    // Widgets of this class (and classes derived from it) are components; a
    // factory lets CreateComponent make them by class name. A container (a
    // report band) holds components: it is selected by a click, a rubber band
    // drawn on it selects its components, and it keeps its place (only its
    // height changes, by the bottom handle).
    void RegisterClass(const QMetaObject* Class, TComponentFactory Create = {}, bool Container = false);
    bool IsComponent(const QWidget* Widget) const;
    bool IsContainer(const QWidget* Widget) const;
    // The component a widget belongs to (itself or its nearest component
    // ancestor below the form), or null.
    QWidget* ComponentAt(QWidget* Widget) const;
    // Names of Q_PROPERTY ints that hold an enumeration ("Alignment"), with
    // the names of their values in order: the inspector offers the names.
    void RegisterPropertyEnum(const QString& PropertyName, const QStringList& ValueNames);
    QStringList PropertyEnum(const QString& PropertyName) const { return enums_.value(PropertyName.toUpper()); }
    // A check of the text typed for a property, before it is set: answers
    // the message refusing it, or an empty text. The form knows what a
    // "DataSet" must name or an "Expression" must read as.
    using TPropertyCheck = std::function<QString(QObject* Component, const QString& Text)>;
    void RegisterPropertyCheck(const QString& PropertyName, TPropertyCheck Check);

    // --- design mode
    void Start();
    // Ends design mode: asks the form to save the changes first.
    void Stop();
    // Asks the form to load its stored changes (when StoreChanges).
    void LoadChanges();

    // --- selection
    QList<QWidget*> Selection() const;
    int SelectionCount() const { return static_cast<int>(Selection().size()); }
    bool IsSelected(const QWidget* Component) const;
    void Select(QWidget* Component, bool Add = false);
    void Unselect(QWidget* Component);
    void ClearSelection();
    // Selects every component of Parent that lies in Rect (Parent's coordinates).
    void SelectInRect(QWidget* Parent, const QRect& Rect, bool Add);

    // --- operations on the selection
    // Moves by (Dx, Dy), each component kept inside its parent.
    void MoveSelection(int Dx, int Dy);
    void ResizeSelection(int Dw, int Dh);
    void AlignToGrid();
    void BringToFront();
    void SendToBack();
    void AlignSelection(TDesignerAlign Horizontal, TDesignerAlign Vertical);
    void SizeSelection(TDesignerSize WidthMode, int Width, TDesignerSize HeightMode, int Height);
    // Positions and sizes times Percent / 100.
    void ScaleSelection(int Percent);
    // The designer's dialogs; then the selection is aligned, sized or scaled.
    // False when cancelled.
    bool ShowAlignDialog();
    bool ShowSizeDialog();
    bool ShowScaleDialog();
    // Answers the next align, size or scale dialog instead of a person (tests
    // and headless runs): align {horizontal, vertical}, size {width mode,
    // width, height mode, height}, scale {percent}. An empty list cancels.
    using TDialogAnswer = QList<int>;
    static void ScriptDialogAnswer(const TDialogAnswer& Answer);
    // The next scripted answer; false when none is waiting.
    static bool TakeDialogAnswer(TDialogAnswer& Answer);
    // Deletes the selected components (when deleting is allowed); answers
    // how many went.
    int DeleteSelected();

    // A new component of a registered class at Geometry in Parent (named
    // later by the caller); raises kelm24::Exception for an unknown class.
    QWidget* CreateComponent(const QString& ClassName, QWidget* Parent, const QRect& Geometry);

    // --- properties
    // The published properties the inspector lists for a component.
    QStringList PropertyNames(const QObject* Component) const;
    // A property as the inspector shows it.
    QString PropertyText(const QObject* Component, const QString& Name) const;
    // Sets a property from its text as typed in the inspector. A text that
    // is not a value of the property's type is refused with a message
    // (through the dialog service) and changes nothing.
    bool SetPropertyText(QObject* Component, const QString& Name, const QString& Text);
    // The property inspector (made on first use); Show brings it up on the
    // current selection when the allowed actions let it.
    TDesignerInspector* Inspector();
    void ShowInspector();

    // --- drag and drop onto the form in design mode
    // Source: the object the drag started from (a list view, a tool button).
    bool DragOver(QObject* Source, QWidget* Target, const QPoint& Point);
    bool DragDrop(QObject* Source, QWidget* Target, const QPoint& Point);

    // --- events
    std::function<void(bool& Handled)> OnLoadChanges;
    std::function<void(bool& Handled)> OnSaveChanges;
    std::function<void()> OnActiveChanged;
    // Target: the component (or the form) under the point; Point in Target's
    // coordinates.
    std::function<void(QObject* Source, QWidget* Target, const QPoint& Point, bool& Accept)> OnDragOver;
    std::function<void(QObject* Source, QWidget* Target, const QPoint& Point)> OnDragDrop;
    // Before a component is deleted.
    std::function<void(QWidget* Component)> OnDeleteComponent;
    // When a component's properties are about to be shown in the inspector.
    std::function<void(QWidget* Component)> OnShowProperty;
    // The selection changed.
    std::function<void()> OnSelectionChanged;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    friend class TDesignerOverlay;
    enum class Drag { None, Move, Resize, Rubber, PendingRubber };
    bool InForm(const QObject* Object) const;
    bool HandleMousePress(QWidget* Receiver, QMouseEvent* Event);
    bool HandleMouseMove(QMouseEvent* Event);
    bool HandleMouseRelease(QMouseEvent* Event);
    bool HandleKey(QKeyEvent* Event);
    bool IsHotKey(const QKeyEvent* Event) const;
    // Handle 0..7 of the single selected component under a form point, or -1.
    int HandleAt(const QPoint& FormPoint, QWidget** Component) const;
    QRect FormRect(const QWidget* Component) const;
    int Snap(int Value) const;
    static QRect HandleRect(const QRect& ComponentRect, int Handle);
    bool HandleAllowed(const QWidget* Component, int Handle) const;
    void SelectionChanged();
    void UpdateOverlay();
    void SetDropsAccepted(bool On);
    void ShowContextMenu(QWidget* Component, const QPoint& GlobalPos);

    QWidget* form_;
    bool active_ = false;
    bool stopping_ = false;
    int allowed_ = (1 << daSelect) | (1 << daMove) | (1 << daResize) | (1 << daShow) | (1 << daEdit);
    bool snap_ = true;
    int grid_ = 4;
    int hotKey_ = 16507;
    bool showCaptions_ = true, showHints_ = true, storeChanges_ = true, showEvents_ = false;
    QPointer<QMenu> popup_;
    struct TComponentClass {
        const QMetaObject* Class;
        TComponentFactory Create;
        bool Container;
    };
    QList<TComponentClass> classes_;
    QHash<QString, QStringList> enums_;
    QHash<QString, TPropertyCheck> checks_;
    QList<QPointer<QWidget>> selection_;
    QPointer<TDesignerOverlay> overlay_;
    QPointer<TDesignerInspector> inspector_;
    QList<QPointer<QWidget>> dropTargets_;

    // The mouse gesture under way.
    Drag drag_ = Drag::None;
    QPoint pressGlobal_;
    QPointer<QWidget> dragComponent_;  // resized component / rubber-band parent
    int handle_ = -1;
    QHash<QWidget*, QRect> startGeometry_;
    QRect rubber_;  // in the form's coordinates
};

}  // namespace kelm24
