// What every control of the set publishes, under the system's names: Hint,
// Color, Left, Top, Width, Height, Visible, Enabled, Tag and Align. A control
// class puts KELM24_PUBLISHED_CONTROL right after Q_OBJECT.
#pragma once

#include "controls/Colors.h"

#include <QObject>
#include <QString>
#include <QWidget>

namespace kelm24 {
namespace ctl {
Q_NAMESPACE

// Where a control docks in its parent.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
Q_ENUM_NS(TAlign)

// Horizontal text alignment.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

}  // namespace ctl

// The class name as the system writes it ("TSelectPanel"), without namespace.
QString ControlClassName(const QObject* object);

// The text with accelerator marks taken out ("保存(&S)" shows "保存(S)"); "&&" is one "&".
QString StripAccelerator(const QString& caption);

// Docking: children with an Align other than alNone fill their parent's
// client area (top, bottom, left, right, then client), as the parent resizes.
ctl::TAlign ControlAlign(const QWidget* control);
void SetControlAlign(QWidget* control, ctl::TAlign align);
void RealignControls(QWidget* parent);

// Enables or disables a control; a control marked with
// SetEnablesChildren(true) does the same to every control inside it, so that
// enabling it again enables children that were disabled on their own.
void SetControlEnabled(QWidget* control, bool enabled);
void SetEnablesChildren(QWidget* control, bool recursive);

// The state after a user's click on a check box (0 unchecked, 1 checked,
// 2 grayed): unchecked, then grayed when allowed, else checked; checked to
// unchecked; grayed to checked.
inline int NextCheckState(int state, bool allowGrayed)
{
    if (state == 0) return allowGrayed ? 2 : 1;
    return state == 1 ? 0 : 1;
}

int ControlTag(const QWidget* control);
void SetControlTag(QWidget* control, int tag);

}  // namespace kelm24

#define KELM24_PUBLISHED_CONTROL                                                       \
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)                                   \
    Q_PROPERTY(int Color READ Color WRITE SetColor)                                    \
    Q_PROPERTY(int Left READ Left WRITE SetLeft)                                       \
    Q_PROPERTY(int Top READ Top WRITE SetTop)                                          \
    Q_PROPERTY(int Width READ Width WRITE SetWidth)                                    \
    Q_PROPERTY(int Height READ Height WRITE SetHeight)                                 \
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)                             \
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)                             \
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)                                          \
    Q_PROPERTY(kelm24::ctl::TAlign Align READ Align WRITE SetAlign)                    \
public:                                                                                \
    QString Hint() const { return toolTip(); }                                         \
    void SetHint(const QString& v) { setToolTip(v); }                                  \
    int Color() const { return kelm24::ControlColor(this); }                           \
    void SetColor(int v) { kelm24::SetControlColor(this, v); }                         \
    int Left() const { return x(); }                                                   \
    void SetLeft(int v) { move(v, y()); }                                              \
    int Top() const { return y(); }                                                    \
    void SetTop(int v) { move(x(), v); }                                               \
    int Width() const { return width(); }                                              \
    void SetWidth(int v) { resize(v, height()); }                                      \
    int Height() const { return height(); }                                            \
    void SetHeight(int v) { resize(width(), v); }                                      \
    void SetBounds(int l, int t, int w, int h) { setGeometry(l, t, w, h); }           \
    bool Visible() const { return !isHidden(); }                                       \
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }              \
    int Tag() const { return kelm24::ControlTag(this); }                               \
    void SetTag(int v) { kelm24::SetControlTag(this, v); }                             \
    kelm24::ctl::TAlign Align() const { return kelm24::ControlAlign(this); }           \
    void SetAlign(kelm24::ctl::TAlign v) { kelm24::SetControlAlign(this, v); }         \
    void SetVisible(bool v) { setVisible(v); }                                         \
    void SetEnabled(bool v) { kelm24::SetControlEnabled(this, v); }                    \
                                                                                       \
private:
