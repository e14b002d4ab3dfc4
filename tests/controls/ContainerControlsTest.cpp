#include "controls/ComCtrls.h"
#include "controls/GlyphLibrary.h"
#include "controls/Menus.h"
#include "tests/controls/ControlTestSupport.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::F2Form;
using kelm24::test::ShowActive;

TEST(PageControl, UserChangesAskOnChangingAndHiddenTabsAreSkipped)
{
    F2Form form;
    TExtPageControl pages(&form);
    pages.resize(300, 200);
    TTabSheet one(&pages), two(&pages), three(&pages);
    one.SetCaption("基本选项");
    two.SetCaption("高级选项");
    three.SetCaption("系统选项");
    EXPECT_EQ(pages.PageCount(), 3);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    QObject* page = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(&pages, "Pages", Q_RETURN_ARG(QObject*, page), Q_ARG(int, 2)));
    EXPECT_EQ(page->property("Caption").toString(), "系统选项");

    two.SetTabVisible(false);
    EXPECT_EQ(three.TabIndex(), 1);
    EXPECT_EQ(two.TabIndex(), -1);
    EXPECT_EQ(three.PageIndex(), 2);

    bool allow = false;
    int asked = 0, changes = 0;
    pages.OnChanging = [&](QObject*, bool& a) {
        ++asked;
        a = allow;
    };
    pages.OnChange = {nullptr, [&](QObject*) { ++changes; }};
    ASSERT_TRUE(ShowActive(&form));
    const QRect tab = pages.TabBar()->tabRect(2);
    QTest::mouseClick(pages.TabBar(), Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_FALSE(pages.SelectNextPage(true));
    allow = true;
    QTest::mouseClick(pages.TabBar(), Qt::LeftButton, {}, tab.center());
    EXPECT_EQ(pages.ActivePage(), &three);
    EXPECT_EQ(pages.TabIndex(), 1);
    EXPECT_EQ(changes, 1);
    // Ctrl+Tab order skips the hidden page and wraps.
    EXPECT_TRUE(pages.SelectNextPage(true));
    EXPECT_EQ(pages.ActivePage(), &one);
    EXPECT_TRUE(pages.SelectNextPage(false));
    EXPECT_EQ(pages.ActivePage(), &three);
    // Setting the page in code asks nobody.
    asked = 0;
    pages.SetActivePageIndex(0);
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(one.isVisible());
    EXPECT_FALSE(three.isVisible());
}

TEST(PageControl, ExtTabsAreDrawnByTheControlOrItsHandler)
{
    QWidget form;
    TExtPageControl pages(&form);
    pages.resize(240, 80);
    TTabSheet a(&pages), b(&pages), c(&pages);
    a.SetCaption("One");
    b.SetCaption("Two");
    c.SetCaption("Three");
    b.SetTabVisible(false);
    pages.SetActivePage(&c);
    form.show();
    const QImage shot = pages.TabBar()->grab().toImage();
    const QRect active = pages.TabBar()->tabRect(2);
    // The active tab is filled with the active-caption colour inside a 2-pixel margin.
    EXPECT_EQ(QColor(shot.pixel(active.left() + 3, active.top() + 3)), ColorFromTColor(clActiveCaption));
    EXPECT_NE(QColor(shot.pixel(active.left() + 1, active.top() + 1)), ColorFromTColor(clActiveCaption));
    const QRect other = pages.TabBar()->tabRect(0);
    EXPECT_EQ(QColor(shot.pixel(other.left() + 1, other.top() + 3)), ColorFromTColor(clInactiveCaption));

    QList<std::pair<int, bool>> drawn;
    pages.OnDrawTab = [&](TExtPageControl* control, int tabIndex, const QRect& r, bool isActive) {
        drawn.append({tabIndex, isActive});
        control->Canvas()->fillRect(r, Qt::green);
    };
    pages.TabBar()->grab();
    EXPECT_EQ(drawn, (QList<std::pair<int, bool>>{{0, false}, {1, true}}));
}

TEST(Menus, RadioItemsOfAGroupExcludeEachOther)
{
    TPopupMenu menu;
    TMenuItem* big = menu.AddItem("ViewIcon", "大型图标(&G)");
    TMenuItem* small = menu.AddItem("ViewSmallIcon", "小型图标(&M)");
    TMenuItem* other = menu.AddItem("Other", "其他");
    for (TMenuItem* item : {big, small}) item->SetRadioItem(true);
    big->SetChecked(true);
    int clicks = 0;
    small->OnClick = {nullptr, [&](QObject*) { ++clicks; }};
    small->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(small->Checked());
    EXPECT_FALSE(big->Checked());
    EXPECT_FALSE(other->Checked());
    EXPECT_EQ(menu.findChild<TMenuItem*>("ViewIcon"), big);
    EXPECT_TRUE(big->setProperty("Caption", "Large icons"));
    EXPECT_EQ(big->text(), "Large icons");
    EXPECT_EQ(menu.Items().size(), 3);
}

// A "-" caption is a separator line; the menu draws no dash beside it (the
// caption stays "-" for layouts and language packages).
TEST(Menus, DashCaptionsAreSeparatorLinesWithoutText)
{
    TPopupMenu menu;
    menu.AddItem("First", "对齐格线");
    TMenuItem* line = menu.AddItem("N1", "-");
    menu.AddItem("Last", "删除(&Del)");
    EXPECT_TRUE(line->isSeparator());
    EXPECT_EQ(line->Caption(), "-");
    EXPECT_TRUE(line->text().isEmpty());
    menu.popup(QPoint(0, 0));
    const QImage shot = menu.grab().toImage();
    menu.hide();
    // The separator's row, left of where a line would start: no dark pixel.
    const QRect row = menu.actionGeometry(line);
    int dark = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = 0; x < 16 && x < shot.width(); ++x)
            if (qGray(shot.pixel(x, y)) < 100) ++dark;
    EXPECT_EQ(dark, 0);
    line->SetCaption("Line");
    EXPECT_FALSE(line->isSeparator());
    EXPECT_EQ(line->text(), "Line");
}

TEST(ToolBar, ButtonsInOrderWithImagesOfTheBar)
{
    QWidget form;
    form.resize(300, 100);
    TToolBar bar(&form);
    TImageList images;
    images.Add(LoadGlyph(1));
    images.Add(LoadGlyph(2));
    bar.SetImages(&images);
    bar.SetFlat(true);
    bar.SetButtonWidth(25);
    bar.SetButtonHeight(24);
    TToolButton save(&bar), open(&bar), sep(&bar), view(&bar);
    save.SetImageIndex(0);
    save.SetCaption("保存(&S)");
    open.SetImageIndex(1);
    sep.SetStyle(TToolButton::tbsSeparator);
    TPopupMenu menu;
    view.SetStyle(TToolButton::tbsDropDown);
    view.SetDropdownMenu(&menu);
    bar.ArrangeButtons();
    EXPECT_EQ(save.geometry(), QRect(0, 2, 25, 24));
    EXPECT_EQ(open.x(), 25);
    EXPECT_EQ(sep.width(), 8);
    EXPECT_EQ(view.x(), 58);
    EXPECT_FALSE(save.icon().isNull());
    EXPECT_EQ(save.toolButtonStyle(), Qt::ToolButtonIconOnly);
    bar.SetShowCaptions(true);
    EXPECT_EQ(save.toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_FALSE(sep.isEnabled());
    EXPECT_EQ(view.DropdownMenu(), &menu);
    EXPECT_EQ(bar.width(), 300);  // docked at the top of its form
}

TEST(StatusBar, PanelsAndSimpleText)
{
    TStatusBar bar;
    bar.resize(300, 19);
    TStatusPanel* first = bar.AddPanel(120);
    bar.AddPanel(50);
    first->SetText("第 1 页");
    QObject* panel = nullptr;
    ASSERT_TRUE(QMetaObject::invokeMethod(&bar, "Panels", Q_RETURN_ARG(QObject*, panel), Q_ARG(int, 1)));
    panel->setProperty("Text", "共 3 页");
    EXPECT_EQ(bar.Panel(1)->Text(), "共 3 页");
    bar.SetSimplePanel(true);
    bar.setProperty("SimpleText", "Ready");
    EXPECT_EQ(bar.SimpleText(), "Ready");
    EXPECT_FALSE(bar.grab().isNull());
}
