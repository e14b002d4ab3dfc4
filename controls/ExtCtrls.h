// Container controls: panel, group box and splitter.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QFrame>
#include <QGroupBox>

namespace kelm24 {

class TPanel : public TEventedControl<QFrame> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TBevelCut BevelOuter READ BevelOuter WRITE SetBevelOuter)
    Q_PROPERTY(TBevelCut BevelInner READ BevelInner WRITE SetBevelInner)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(kelm24::ctl::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
public:
    explicit TPanel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    TBevelCut BevelOuter() const { return outer_; }
    void SetBevelOuter(TBevelCut v);
    TBevelCut BevelInner() const { return inner_; }
    void SetBevelInner(TBevelCut v);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int v);
    ctl::TAlignment Alignment() const { return alignment_; }
    void SetAlignment(ctl::TAlignment v);
    // Shows the parent through instead of filling with Color.
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool v)
    {
        parentColor_ = v;
        update();
    }
    // Pixels the bevels and border take on each side.
    int FrameSize() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void UpdateMargins();
    QString caption_;
    TBevelCut outer_ = bvRaised, inner_ = bvNone;
    int bevelWidth_ = 1, borderWidth_ = 0;
    ctl::TAlignment alignment_ = ctl::taCenter;
    bool parentColor_ = false;
};

class TGroupBox : public TEventedControl<QGroupBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
public:
    explicit TGroupBox(QWidget* parent = nullptr);
    QString Caption() const { return title(); }
    void SetCaption(const QString& v) { setTitle(v); }
};

// A bar that resizes the docked control before it (same Align side).
class TSplitter : public QWidget {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(int MinSize READ MinSize WRITE SetMinSize)
    Q_PROPERTY(bool Beveled READ Beveled WRITE SetBeveled)
public:
    explicit TSplitter(QWidget* parent = nullptr);
    int MinSize() const { return minSize_; }
    void SetMinSize(int v) { minSize_ = v; }
    bool Beveled() const { return beveled_; }
    void SetBeveled(bool v)
    {
        beveled_ = v;
        update();
    }
    // The control this splitter resizes, or null.
    QWidget* ResizedControl() const;

    TNotifyEvent OnMoved;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int minSize_ = 30;
    bool beveled_ = false;
    QPoint pressPos_;
    int startSize_ = -1;
};

}  // namespace kelm24
