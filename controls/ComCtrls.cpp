#include "controls/ComCtrls.h"
#include "runtime/PropUtils.h"

#include "controls/Menus.h"

#include <QChildEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace kelm24 {

// The tab row of a page control: asks the control before a user's change and
// lets it draw the tabs.
class TPageTabBar : public QTabBar {
public:
    explicit TPageTabBar(TPageControl* owner) : QTabBar(owner), owner_(owner) { setDrawBase(true); }

protected:
    void mousePressEvent(QMouseEvent* e) override
    {
        const int index = tabAt(e->position().toPoint());
        if (e->button() == Qt::LeftButton && index >= 0 && index != currentIndex() && !owner_->CanChange()) return;
        QTabBar::mousePressEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if ((e->key() == Qt::Key_Left || e->key() == Qt::Key_Right) && !owner_->CanChange()) return;
        QTabBar::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override { e->ignore(); }
    QSize tabSizeHint(int index) const override
    {
        QSize s = QTabBar::tabSizeHint(index);
        if (owner_->TabWidth() > 0) s.setWidth(owner_->TabWidth());
        if (owner_->TabHeight() > 0) s.setHeight(owner_->TabHeight());
        return s;
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (!owner_->OwnerDrawsTabs()) {
            QTabBar::paintEvent(e);
            return;
        }
        QPainter p(this);
        int tabIndex = 0;
        for (int i = 0; i < count(); ++i) {
            if (!isTabVisible(i)) continue;
            owner_->DrawTab(p, tabIndex++, tabRect(i), i == currentIndex());
        }
    }

private:
    TPageControl* owner_;
};

// TTabSheet -----------------------------------------------------------------

TTabSheet::TTabSheet(TPageControl* pageControl) : TEventedControl<QWidget>(nullptr) { SetPageControl(pageControl); }

TTabSheet::~TTabSheet()
{
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* v)
{
    if (v == pageControl_) return;
    if (pageControl_) pageControl_->RemovePage(this);
    pageControl_ = v;
    if (v) v->AddPage(this);
}

void TTabSheet::SetCaption(const QString& v)
{
    caption_ = v;
    if (pageControl_) pageControl_->PageChanged(this);
}

void TTabSheet::SetTabVisible(bool v)
{
    tabVisible_ = v;
    if (pageControl_) pageControl_->PageChanged(this);
}

int TTabSheet::PageIndex() const { return pageControl_ ? int(pageControl_->pages_.indexOf(const_cast<TTabSheet*>(this))) : -1; }

int TTabSheet::TabIndex() const
{
    if (!pageControl_ || !tabVisible_) return -1;
    int index = 0;
    for (TTabSheet* page : pageControl_->pages_) {
        if (page == this) return index;
        if (page->tabVisible_) ++index;
    }
    return -1;
}

void TTabSheet::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    TControlEvents::Fire(OnShow, this);
}

void TTabSheet::hideEvent(QHideEvent* e)
{
    QWidget::hideEvent(e);
    TControlEvents::Fire(OnHide, this);
}

// TPageControl --------------------------------------------------------------

TPageControl::TPageControl(QWidget* parent) : TEventedControl<QWidget>(parent)
{
    resize(289, 193);
    tabBar_ = new TPageTabBar(this);
    MarkInnerPart(tabBar_);
    stack_ = new QStackedWidget(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tabBar_);
    layout->addWidget(stack_, 1);
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0 && index < PageCount()) stack_->setCurrentWidget(pages_[index]);
        if (!changingInCode_) TControlEvents::Fire(OnChange, this);
    });
}

TPageControl::~TPageControl()
{
    tabBar_->disconnect(this);
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

QTabBar* TPageControl::TabBar() const { return tabBar_; }

void TPageControl::AddPage(TTabSheet* page)
{
    pages_.append(page);
    stack_->addWidget(page);
    changingInCode_ = true;
    tabBar_->setTabVisible(tabBar_->addTab(page->Caption()), page->TabVisible());
    changingInCode_ = false;
}

void TPageControl::RemovePage(TTabSheet* page)
{
    const int index = int(pages_.indexOf(page));
    if (index < 0) return;
    changingInCode_ = true;
    pages_.removeAt(index);
    tabBar_->removeTab(index);
    stack_->removeWidget(page);
    changingInCode_ = false;
}

void TPageControl::PageChanged(TTabSheet* page)
{
    const int index = int(pages_.indexOf(page));
    if (index < 0) return;
    tabBar_->setTabText(index, page->Caption());
    tabBar_->setTabVisible(index, page->TabVisible());
}

void TPageControl::SetActivePage(TTabSheet* page) { SetActivePageIndex(int(pages_.indexOf(page))); }

int TPageControl::ActivePageIndex() const { return PageCount() ? tabBar_->currentIndex() : -1; }

void TPageControl::SetActivePageIndex(int v)
{
    if (v < 0 || v >= PageCount()) return;
    changingInCode_ = true;
    tabBar_->setCurrentIndex(v);
    stack_->setCurrentWidget(pages_[v]);
    changingInCode_ = false;
}

int TPageControl::TabIndex() const { return ActivePage() ? ActivePage()->TabIndex() : -1; }

void TPageControl::SetTabIndex(int v)
{
    for (TTabSheet* page : pages_)
        if (page->TabIndex() == v) {
            SetActivePage(page);
            return;
        }
}

void TPageControl::SetTabWidth(int v)
{
    tabWidth_ = v;
    tabBar_->update();
    tabBar_->updateGeometry();
}

void TPageControl::SetTabHeight(int v)
{
    tabHeight_ = v;
    tabBar_->updateGeometry();
}

bool TPageControl::CanChange()
{
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    return allow;
}

bool TPageControl::SelectNextPage(bool forward)
{
    const int count = PageCount();
    if (count < 2) return false;
    int index = ActivePageIndex();
    for (int step = 0; step < count; ++step) {
        index = (index + (forward ? 1 : -1) + count) % count;
        if (pages_[index]->TabVisible()) break;
    }
    if (index == ActivePageIndex() || !CanChange()) return false;
    SetActivePageIndex(index);
    TControlEvents::Fire(OnChange, this);
    return true;
}

void TPageControl::DrawTab(QPainter&, int, const QRect&, bool) {}

// TExtPageControl -----------------------------------------------------------

TExtPageControl::TExtPageControl(QWidget* parent) : TPageControl(parent) {}

void TExtPageControl::DrawTab(QPainter& painter, int tabIndex, const QRect& rect, bool active)
{
    if (OnDrawTab) {
        canvas_ = &painter;
        OnDrawTab(this, tabIndex, rect, active);
        canvas_ = nullptr;
        return;
    }
    QRect r = active ? rect.adjusted(2, 2, -2, -2) : rect.adjusted(0, 2, 0, 0);
    QFont f = font();
    f.setBold(active);
    painter.setFont(f);
    painter.fillRect(r, ColorFromTColor(active ? clActiveCaption : clInactiveCaption));
    painter.setPen(ColorFromTColor(active ? clCaptionText : clInactiveCaptionText));
    QString caption;
    int visible = 0;
    for (int i = 0; i < PageCount(); ++i) {
        if (!Page(i)->TabVisible()) continue;
        if (visible++ == tabIndex) caption = Page(i)->Caption();
    }
    painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, caption);
}

// TToolButton ---------------------------------------------------------------

TToolButton::TToolButton(TToolBar* toolBar) : TEventedControl<QToolButton>(toolBar)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QToolButton::clicked, this, [this] { TControlEvents::Fire(OnClick, this); });
    UpdateLook();
}

TToolBar* TToolButton::ToolBar() const { return qobject_cast<TToolBar*>(parentWidget()); }

void TToolButton::SetCaption(const QString& v)
{
    caption_ = v;
    UpdateLook();
}

void TToolButton::SetImageIndex(int v)
{
    imageIndex_ = v;
    UpdateLook();
}

void TToolButton::SetStyle(TToolButtonStyle v)
{
    style_ = v;
    setCheckable(v == tbsCheck);
    setPopupMode(v == tbsDropDown ? QToolButton::MenuButtonPopup : QToolButton::DelayedPopup);
    UpdateLook();
    if (ToolBar()) ToolBar()->ArrangeButtons();
}

TPopupMenu* TToolButton::DropdownMenu() const { return qobject_cast<TPopupMenu*>(menu()); }

void TToolButton::SetDropdownMenu(TPopupMenu* v) { setMenu(v); }

void TToolButton::UpdateLook()
{
    const TToolBar* bar = ToolBar();
    const bool separator = style_ == tbsSeparator || style_ == tbsDivider;
    if (separator) setEnabled(false);
    const QImage image = bar && bar->Images() ? bar->Images()->Image(imageIndex_) : QImage();
    setIcon(image.isNull() || separator ? QIcon() : QIcon(QPixmap::fromImage(image)));
    if (!image.isNull()) setIconSize(image.size());
    setText(separator ? QString() : caption_);
    setAutoRaise(bar && bar->Flat());
    const bool captions = bar && bar->ShowCaptions();
    setToolButtonStyle(captions ? (image.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonTextUnderIcon)
                                : (image.isNull() ? Qt::ToolButtonTextOnly : Qt::ToolButtonIconOnly));
}

// TToolBar ------------------------------------------------------------------

TToolBar::TToolBar(QWidget* parent) : TEventedControl<QWidget>(parent)
{
    resize(150, 29);
    SetAlign(ctl::alTop);
}

void TToolBar::SetFlat(bool v)
{
    flat_ = v;
    ArrangeButtons();
}

void TToolBar::SetButtonWidth(int v)
{
    buttonWidth_ = v;
    ArrangeButtons();
}

void TToolBar::SetButtonHeight(int v)
{
    buttonHeight_ = v;
    ArrangeButtons();
}

void TToolBar::SetShowCaptions(bool v)
{
    showCaptions_ = v;
    ArrangeButtons();
}

void TToolBar::SetImages(TImageList* v)
{
    images_ = v;
    ArrangeButtons();
}

QList<TToolButton*> TToolBar::Buttons() const { return findChildren<TToolButton*>(Qt::FindDirectChildrenOnly); }

void TToolBar::ArrangeButtons()
{
    int x = 0;
    for (TToolButton* b : Buttons()) {
        b->UpdateLook();
        if (b->isHidden()) continue;
        const bool separator = b->Style() == TToolButton::tbsSeparator || b->Style() == TToolButton::tbsDivider;
        const int w = separator ? 8 : b->Style() == TToolButton::tbsDropDown ? buttonWidth_ + 12 : buttonWidth_;
        b->setGeometry(x, 2, w, buttonHeight_);
        x += w;
    }
}

void TToolBar::childEvent(QChildEvent* e)
{
    QWidget::childEvent(e);
    if (e->type() == QEvent::ChildAdded || e->type() == QEvent::ChildRemoved) ArrangeButtons();
}

// TStatusBar ----------------------------------------------------------------

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent)
{
    resize(200, 19);
    SetAlign(ctl::alBottom);
}

void TStatusBar::SetSimplePanel(bool v)
{
    simplePanel_ = v;
    update();
}

void TStatusBar::SetSimpleText(const QString& v)
{
    simpleText_ = v;
    update();
}

TStatusPanel* TStatusBar::AddPanel(int width)
{
    auto* panel = new TStatusPanel(this);
    panel->SetWidth(width);
    panels_.append(panel);
    return panel;
}

void TStatusBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    auto cell = [&](const QRect& r, const QString& text) {
        p.setPen(palette().color(QPalette::Dark));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.setPen(palette().color(QPalette::WindowText));
        p.drawText(r.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    };
    if (simplePanel_ || panels_.isEmpty()) {
        cell(rect().adjusted(0, 2, 0, 0), simpleText_);
        return;
    }
    int x = 0;
    for (int i = 0; i < panels_.size(); ++i) {
        // The last panel takes the rest of the bar.
        const int w = i + 1 == panels_.size() ? width() - x : panels_[i]->Width();
        cell(QRect(x, 2, w - 2, height() - 2), panels_[i]->Text());
        x += w;
    }
}

}  // namespace kelm24
