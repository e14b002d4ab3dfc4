// Page control and tab sheets (TExtPageControl draws its own tabs), tool bar
// and tool buttons, status bar.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"
#include "controls/ImgList.h"

#include <QPointer>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>
#include <functional>

class QStackedWidget;

namespace kelm24 {

class TPageControl;
class TPopupMenu;

class TTabSheet : public TEventedControl<QWidget> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool TabVisible READ TabVisible WRITE SetTabVisible)
    Q_PROPERTY(int PageIndex READ PageIndex)
    Q_PROPERTY(int TabIndex READ TabIndex)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
public:
    // A sheet of pageControl (or of none yet).
    explicit TTabSheet(TPageControl* pageControl = nullptr);
    ~TTabSheet() override;
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    int PageIndex() const;
    // The index among the visible tabs, -1 when the tab is hidden.
    int TabIndex() const;
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    TPageControl* PageControl() const { return pageControl_; }
    void SetPageControl(TPageControl* v);

    TNotifyEvent OnShow, OnHide;

protected:
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    friend class TPageControl;
    QPointer<TPageControl> pageControl_;
    QString caption_;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

class TPageTabBar;

class TPageControl : public TEventedControl<QWidget> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(int ActivePageIndex READ ActivePageIndex WRITE SetActivePageIndex)
    Q_PROPERTY(int TabIndex READ TabIndex WRITE SetTabIndex)
    Q_PROPERTY(int PageCount READ PageCount)
    Q_PROPERTY(int TabWidth READ TabWidth WRITE SetTabWidth)
    Q_PROPERTY(int TabHeight READ TabHeight WRITE SetTabHeight)
public:
    explicit TPageControl(QWidget* parent = nullptr);
    ~TPageControl() override;

    int PageCount() const { return int(pages_.size()); }
    TTabSheet* Page(int index) const { return index >= 0 && index < PageCount() ? pages_[index] : nullptr; }
    Q_INVOKABLE QObject* Pages(int index) const { return Page(index); }
    TTabSheet* ActivePage() const { return Page(ActivePageIndex()); }
    // Setting the page in code asks nobody.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int v);
    // Index among the visible tabs.
    int TabIndex() const;
    void SetTabIndex(int v);
    int TabWidth() const { return tabWidth_; }
    void SetTabWidth(int v);
    int TabHeight() const { return tabHeight_; }
    void SetTabHeight(int v);
    // The next (or previous) page with a visible tab, as Ctrl+Tab moves;
    // OnChanging may refuse. Answers whether the page changed.
    bool SelectNextPage(bool forward);
    // Asks OnChanging whether the active page may change.
    bool CanChange();
    QTabBar* TabBar() const;

    TNotifyEvent OnChange;
    std::function<void(QObject* Sender, bool& AllowChange)> OnChanging;

protected:
    friend class TPageTabBar;
    friend class TTabSheet;
    // Draws one tab; the default is the style's tab.
    virtual bool OwnerDrawsTabs() const { return false; }
    virtual void DrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active);
    void AddPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void PageChanged(TTabSheet* page);

private:
    QList<TTabSheet*> pages_;
    TPageTabBar* tabBar_;
    QStackedWidget* stack_;
    int tabWidth_ = 0, tabHeight_ = 0;
    bool changingInCode_ = false;
};

// A page control whose tabs are drawn by the control (or by OnDrawTab):
// the active tab bold on the active-caption colour, the others lower on the
// inactive-caption colour, captions centred on one line.
class TExtPageControl : public TPageControl {
    Q_OBJECT
public:
    explicit TExtPageControl(QWidget* parent = nullptr);

    std::function<void(TExtPageControl* Control, int TabIndex, const QRect& Rect, bool Active)> OnDrawTab;
    // The painter of the current OnDrawTab call.
    QPainter* Canvas() const { return canvas_; }

protected:
    bool OwnerDrawsTabs() const override { return true; }
    void DrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active) override;

private:
    QPainter* canvas_ = nullptr;
};

class TToolBar;

class TToolButton : public TEventedControl<QToolButton> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
public:
    enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
    Q_ENUM(TToolButtonStyle)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
    Q_PROPERTY(TToolButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
public:
    explicit TToolButton(TToolBar* toolBar = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TToolButtonStyle Style() const { return style_; }
    void SetStyle(TToolButtonStyle v);
    bool Down() const { return isChecked(); }
    void SetDown(bool v) { setChecked(v); }
    TPopupMenu* DropdownMenu() const;
    void SetDropdownMenu(TPopupMenu* v);
    void Click() { click(); }
    // Takes the tool bar's images and caption settings.
    void UpdateLook();

private:
    TToolBar* ToolBar() const;
    QString caption_;
    int imageIndex_ = -1;
    TToolButtonStyle style_ = tbsButton;
};

class TToolBar : public TEventedControl<QWidget> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(int ButtonWidth READ ButtonWidth WRITE SetButtonWidth)
    Q_PROPERTY(int ButtonHeight READ ButtonHeight WRITE SetButtonHeight)
    Q_PROPERTY(bool ShowCaptions READ ShowCaptions WRITE SetShowCaptions)
public:
    explicit TToolBar(QWidget* parent = nullptr);
    bool Flat() const { return flat_; }
    void SetFlat(bool v);
    int ButtonWidth() const { return buttonWidth_; }
    void SetButtonWidth(int v);
    int ButtonHeight() const { return buttonHeight_; }
    void SetButtonHeight(int v);
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool v);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* v);
    QList<TToolButton*> Buttons() const;
    // Places the buttons left to right in the order they were made.
    void ArrangeButtons();

protected:
    void childEvent(QChildEvent* e) override;

private:
    bool flat_ = false, showCaptions_ = false;
    int buttonWidth_ = 23, buttonHeight_ = 22;
    QPointer<TImageList> images_;
};

class TStatusPanel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
public:
    explicit TStatusPanel(QWidget* bar) : QObject(bar), bar_(bar) {}
    QString Text() const { return text_; }
    void SetText(const QString& v)
    {
        text_ = v;
        bar_->update();
    }
    int Width() const { return width_; }
    void SetWidth(int v)
    {
        width_ = v;
        bar_->update();
    }

private:
    QWidget* bar_;
    QString text_;
    int width_ = 50;
};

class TStatusBar : public QWidget {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(bool SimplePanel READ SimplePanel WRITE SetSimplePanel)
    Q_PROPERTY(QString SimpleText READ SimpleText WRITE SetSimpleText)
    Q_PROPERTY(int PanelCount READ PanelCount)
public:
    explicit TStatusBar(QWidget* parent = nullptr);
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool v);
    QString SimpleText() const { return simpleText_; }
    void SetSimpleText(const QString& v);
    int PanelCount() const { return int(panels_.size()); }
    Q_INVOKABLE QObject* Panels(int index) const { return Panel(index); }
    TStatusPanel* Panel(int index) const { return index >= 0 && index < PanelCount() ? panels_[index] : nullptr; }
    TStatusPanel* AddPanel(int width);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    bool simplePanel_ = false;
    QString simpleText_;
    QList<TStatusPanel*> panels_;
};

}  // namespace kelm24
