#include "i18n/CodeConverter.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

// A control of our own set: published texts and a grid reached by name.
class TextPanel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER caption)
    Q_PROPERTY(QString BeginWord MEMBER beginWord)
    Q_PROPERTY(QStringList Panels MEMBER panels)
    Q_PROPERTY(int ColCount READ ColCount)
    Q_PROPERTY(int RowCount READ RowCount)

public:
    using QWidget::QWidget;
    int ColCount() const { return 2; }
    int RowCount() const { return 1; }
    Q_INVOKABLE QString Cells(int col, int) const { return cells[col]; }
    Q_INVOKABLE void SetCells(int col, int, const QString& text) { cells[col] = text; }

    QString caption = QStringLiteral("单据");
    QString beginWord = QStringLiteral("从");
    QStringList panels = {QStringLiteral("仓库"), QStringLiteral("数量")};
    QString cells[2] = {QStringLiteral("单价"), QStringLiteral("金额")};
};

}  // namespace

TEST(FormTexts, StandardWidgetsAndPublishedTexts)
{
    QWidget form;
    form.setWindowTitle(QStringLiteral("进货单"));
    form.setToolTip(QStringLiteral("打印进货单"));
    auto* layout = new QVBoxLayout(&form);
    auto* label = new QLabel(QStringLiteral("供应商"), &form);
    auto* button = new QPushButton(QStringLiteral("确定"), &form);
    button->setToolTip(QStringLiteral("审核"));
    auto* combo = new QComboBox(&form);
    combo->addItems({QStringLiteral("进货单"), QStringLiteral("发票")});
    combo->setCurrentIndex(1);
    auto* emptyCombo = new QComboBox(&form);
    emptyCombo->addItems({QStringLiteral("是"), QStringLiteral("否")});
    emptyCombo->setCurrentIndex(-1);
    auto* edit = new QLineEdit(QStringLiteral("备注"), &form);
    auto* list = new QListWidget(&form);
    list->addItems({QStringLiteral("仓库")});
    auto* tree = new QTreeWidget(&form);
    tree->setHeaderLabels({QStringLiteral("品号"), QStringLiteral("数量")});
    auto* node = new QTreeWidgetItem(tree, {QStringLiteral("单价"), QStringLiteral("金额")});
    new QTreeWidgetItem(node, {QStringLiteral("审核")});
    auto* tabs = new QTabWidget(&form);
    tabs->addTab(new QWidget, QStringLiteral("基本选项"));
    tabs->addTab(new QWidget, QStringLiteral("系统选项"));
    tabs->setCurrentIndex(1);
    auto* grid = new QTableWidget(1, 1, &form);
    grid->setHorizontalHeaderLabels({QStringLiteral("单据")});
    grid->setItem(0, 0, new QTableWidgetItem(QStringLiteral("进货")));
    grid->item(0, 0)->setToolTip(QStringLiteral("发票"));
    auto* box = new QGroupBox(QStringLiteral("选项"), &form);
    auto* menu = new QMenu(QStringLiteral("文件"), &form);
    QAction* action = menu->addAction(QStringLiteral("预览"));
    auto* panel = new TextPanel(&form);
    for (QWidget* w : std::initializer_list<QWidget*>{label, button, combo, emptyCombo, edit, list, tree, tabs, grid, box, panel})
        layout->addWidget(w);

    TCodeConverter converter(&form, "936", "950", "950");
    converter.ConvertFormTexts(&form);

    EXPECT_EQ(form.windowTitle(), QStringLiteral("进货单"));  // the caption only on a Big5 system
    EXPECT_EQ(form.toolTip(), QStringLiteral("列印進貨單"));
    EXPECT_EQ(label->text(), QStringLiteral("供應商"));
    EXPECT_EQ(button->text(), QStringLiteral("確定"));
    EXPECT_EQ(button->toolTip(), QStringLiteral("審核"));
    EXPECT_EQ(button->font().family(), "SimSun");
    EXPECT_EQ(combo->itemText(0), QStringLiteral("進貨單"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("發票"));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(emptyCombo->currentIndex(), 0);  // a drop-down gets a selection
    EXPECT_EQ(edit->text(), QStringLiteral("備註"));
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("倉庫"));
    EXPECT_EQ(tree->headerItem()->text(0), QStringLiteral("品號"));
    EXPECT_EQ(tree->headerItem()->text(1), QStringLiteral("數量"));
    EXPECT_EQ(node->text(1), QStringLiteral("金額"));
    EXPECT_EQ(node->child(0)->text(0), QStringLiteral("審核"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("基本選項"));
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("單據"));
    EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("進貨"));
    EXPECT_EQ(grid->item(0, 0)->toolTip(), QStringLiteral("發票"));
    EXPECT_EQ(box->title(), QStringLiteral("選項"));
    EXPECT_EQ(menu->title(), QStringLiteral("文件"));
    EXPECT_EQ(action->text(), QStringLiteral("預覽"));
    EXPECT_EQ(panel->caption, QStringLiteral("單據"));
    EXPECT_EQ(panel->beginWord, QStringLiteral("從"));
    EXPECT_EQ(panel->panels, (QStringList{QStringLiteral("倉庫"), QStringLiteral("數量")}));
    EXPECT_EQ(panel->cells[0], QStringLiteral("單價"));
    EXPECT_EQ(panel->cells[1], QStringLiteral("金額"));
}

TEST(FormTexts, ItemsHoldingLineBreaksStayOneItem)
{
    QWidget form;
    auto* combo = new QComboBox(&form);
    combo->addItems({QStringLiteral("进货单\n发票"), QStringLiteral("数量"), QString()});
    combo->setCurrentIndex(1);
    TCodeConverter converter(&form, "936", "950", "950");
    converter.ConvertFormTexts(&form);
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("進貨單\n發票"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("數量"));
    EXPECT_EQ(combo->itemText(2), "");
    EXPECT_EQ(combo->currentIndex(), 1);
}

TEST(FormTexts, TraditionalInterfaceBackToGbAndBig5System)
{
    QWidget form;
    form.setWindowTitle(QStringLiteral("进货单"));
    auto* label = new QLabel(QStringLiteral("進貨單"), &form);
    TCodeConverter toGb(&form, "950", "950", "950");  // UI mode 2 on a Big5 system
    toGb.ConvertFormTexts(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("進貨單"));
    EXPECT_EQ(label->text(), QStringLiteral("進貨單"));  // GB to Big5 leaves traditional text as it is

    TCodeConverter none(&form, "936", "936", "936");  // no translator: nothing happens
    label->setText(QStringLiteral("进货"));
    none.ConvertFormTexts(&form);
    EXPECT_EQ(label->text(), QStringLiteral("进货"));
}

#include "FormTextsTest.moc"
