// The control set on a small option form, as the option forms use it: code
// conversion of every visible text, language packages, and the property
// utilities reading and writing condition-set properties by name.
#include "TestInstall.h"
#include "controls/Aligrid.h"
#include "controls/BtChkBox.h"
#include "controls/ComCtrls.h"
#include "controls/DBLabel.h"
#include "controls/ListView.h"
#include "controls/QvRadio.h"
#include "controls/QvSpin.h"
#include "controls/QvsEdit.h"
#include "controls/SelectPnl.h"
#include "controls/StdCtrls.h"
#include "i18n/CodeConverter.h"
#include "i18n/QvLangController.h"
#include "runtime/PropUtils.h"

#include <gtest/gtest.h>

using namespace kelm24;
using kelm24::test::TestInstall;

namespace {

QString S(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename T>
T* Put(QWidget* parent, const char* name)
{
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

// An option form with one control of each kind, its texts in simplified Chinese.
struct ControlForm {
    QWidget form;
    TSelectPanel* panel = Put<TSelectPanel>(&form, "spSupplier");
    TStringAlignGrid* grid = Put<TStringAlignGrid>(&form, "grdLines");
    TListView* list = Put<TListView>(&form, "lvItems");
    TComboBox* combo = Put<TComboBox>(&form, "cboType");
    TQvRadioGroup* radios = Put<TQvRadioGroup>(&form, "rgKind");
    TPageControl* pages = Put<TPageControl>(&form, "pcOptions");
    TTabSheet* basic = new TTabSheet(pages);
    TTabSheet* system = new TTabSheet(pages);
    TStatusBar* status = Put<TStatusBar>(&form, "sbStatus");
    TMemo* memo = Put<TMemo>(&form, "memNote");
    TLabel* label = Put<TLabel>(&form, "lblSupplier");
    TDBLabel* dbLabel = Put<TDBLabel>(&form, "dblDate");
    TBitCheckBox* check = Put<TBitCheckBox>(&form, "chkAudit");
    TQvSpinEdit* spin = Put<TQvSpinEdit>(&form, "speCopies");
    TButton* ok = Put<TButton>(&form, "btnOk");
    TEdit* edit = Put<TEdit>(&form, "edRemark");
    TQvDBEdit* dbEdit = Put<TQvDBEdit>(&form, "edWarehouse");

    ControlForm()
    {
        form.setObjectName("TfrmControls");
        panel->SetCaption(S("供应商"));
        panel->SetStyle(TSelectPanel::sp_UserChoice);
        panel->SetUserChoice(false);
        panel->SetColumnCaptions({S("品号"), S("数量")});
        panel->AddRow({S("进货单"), S("发票")});
        panel->SetBeginText(S("仓库"));

        grid->SetColCount(2);
        grid->SetRowCount(2);
        grid->SetFixedRows(1);
        grid->SetCells(0, 0, S("品号"));
        grid->SetCells(1, 0, S("数量"));
        grid->SetCells(0, 1, S("进货"));
        grid->SetCells(1, 1, "12");
        grid->SetHintCell(0, 1, S("审核"));

        list->SetViewStyle(TListView::vsReport);
        list->AddColumn(S("单价"));
        list->AddColumn(S("金额"));
        list->AddItem(S("进货单"), {S("发票")});

        combo->SetStyle(TComboBox::csDropDownList);
        combo->SetItems({S("进货单"), S("发票")});
        combo->SetItemIndex(1);

        radios->SetCaption(S("单据"));
        radios->SetItems({S("进货"), S("发票")});
        radios->SetItemIndex(1);

        basic->setObjectName("tsBasic");
        basic->SetCaption(S("基本选项"));
        system->setObjectName("tsSystem");
        system->SetCaption(S("系统选项"));
        pages->SetActivePageIndex(1);

        status->AddPanel(80)->SetText(S("仓库"));
        status->AddPanel(80)->SetText(S("数量"));

        memo->SetLines({S("进货单"), S("审核")});
        label->SetCaption(S("供应商"));
        label->SetHint(S("打印进货单"));
        check->SetCaption(S("审核"));
        check->SetChecked(true);
        spin->SetValue(12);
        spin->SetHint(S("数量"));
        ok->SetCaption(S("确定"));
        edit->SetText(S("备注"));
        dbEdit->SetCaption(S("仓库"));
        dbEdit->SetText(S("进货"));
    }
};

QString ListCaption(const QObject* element) { return element ? element->property("Caption").toString() : "(none)"; }

}  // namespace

TEST(ControlForm, ConvertFormTextsReachesEveryVisibleTextAndBack)
{
    ControlForm f;
    {
        TCodeConverter toBig5(&f.form, "936", "950", "950");  // the interface in Big5
        ASSERT_EQ(toBig5.UIConvertMode, 2);
        toBig5.ConvertFormTexts(&f.form);
    }
    // The select panel: caption, words, hints of its parts, list columns and rows; the range edit is data.
    EXPECT_EQ(f.panel->Caption(), S("供應商"));
    EXPECT_EQ(f.panel->HintWord(), S("區間選擇"));
    EXPECT_EQ(f.panel->chkUserChoice->Caption(), S("區間選擇"));
    EXPECT_EQ(f.panel->ChildHints().value(0), S("使用者自訂輸入方式"));
    EXPECT_EQ(f.panel->chkUserChoice->Hint(), S("使用者自訂輸入方式"));
    EXPECT_EQ(f.panel->lstValues->Hint(), S("多選-己選擇的資訊"));
    EXPECT_EQ(f.panel->ColumnCaptions(), (QStringList{S("品號"), S("數量")}));
    ASSERT_EQ(f.panel->ItemCount(), 1);
    EXPECT_EQ(f.panel->lstValues->Item(0)->Caption(), S("進貨單"));
    EXPECT_EQ(f.panel->lstValues->Item(0)->SubItems(), QStringList{S("發票")});
    EXPECT_EQ(f.panel->BeginText(), S("仓库"));
    EXPECT_FALSE(f.panel->IsRangeMode());
    // The aligned grid: column captions (fixed row 0), cells and cell hints.
    EXPECT_EQ(f.grid->Cells(0, 0), S("品號"));
    EXPECT_EQ(ListCaption(f.grid->Columns(1)), S("數量"));
    EXPECT_EQ(f.grid->Cells(0, 1), S("進貨"));
    EXPECT_EQ(f.grid->Cells(1, 1), "12");
    EXPECT_EQ(f.grid->HintCell(0, 1), S("審核"));
    // The list view: columns, items and sub-items.
    EXPECT_EQ(f.list->Column(0)->Caption(), S("單價"));
    EXPECT_EQ(f.list->Column(1)->Caption(), S("金額"));
    EXPECT_EQ(f.list->Item(0)->Caption(), S("進貨單"));
    EXPECT_EQ(f.list->Item(0)->SubItems(), QStringList{S("發票")});
    // Lists keep their selection.
    EXPECT_EQ(f.combo->Items(), (QStringList{S("進貨單"), S("發票")}));
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(f.combo->Text(), S("發票"));
    EXPECT_EQ(f.radios->Caption(), S("單據"));
    EXPECT_EQ(f.radios->Items(), (QStringList{S("進貨"), S("發票")}));
    EXPECT_EQ(f.radios->ItemIndex(), 1);
    // Tabs follow their sheets; the active page stays.
    EXPECT_EQ(f.basic->Caption(), S("基本選項"));
    EXPECT_EQ(f.pages->TabBar()->tabText(0), S("基本選項"));
    EXPECT_EQ(f.pages->TabBar()->tabText(1), S("系統選項"));
    EXPECT_EQ(f.pages->ActivePageIndex(), 1);
    EXPECT_EQ(f.status->Panel(0)->Text(), S("倉庫"));
    EXPECT_EQ(f.status->Panel(1)->Text(), S("數量"));
    EXPECT_EQ(f.memo->Lines(), (QStringList{S("進貨單"), S("審核")}));
    EXPECT_EQ(f.label->Caption(), S("供應商"));
    EXPECT_EQ(f.label->Hint(), S("列印進貨單"));
    EXPECT_EQ(f.dbLabel->Caption(), S("掛靠標籤"));
    EXPECT_EQ(f.check->Caption(), S("審核"));
    EXPECT_TRUE(f.check->Checked());
    EXPECT_EQ(f.spin->Value(), 12);
    EXPECT_EQ(f.spin->Hint(), S("數量"));
    EXPECT_EQ(f.ok->Caption(), S("確定"));
    EXPECT_EQ(f.edit->Text(), S("備註"));
    EXPECT_EQ(f.dbEdit->Caption(), S("倉庫"));
    EXPECT_EQ(f.dbEdit->Text(), S("進貨"));

    // And back: a converter that reads the screen in Big5 and shows GB.
    TCodeConverter toGb(&f.form, "936", "950", "950");
    toGb.UIConvertMode = 1;
    toGb.ConvertFormTexts(&f.form);
    EXPECT_EQ(f.panel->Caption(), S("供应商"));
    EXPECT_EQ(f.panel->chkUserChoice->Caption(), S("区间选择"));
    EXPECT_EQ(f.panel->lstValues->Item(0)->SubItems(), QStringList{S("发票")});
    EXPECT_EQ(f.grid->Cells(1, 0), S("数量"));
    EXPECT_EQ(f.grid->HintCell(0, 1), S("审核"));
    EXPECT_EQ(f.list->Item(0)->Caption(), S("进货单"));
    EXPECT_EQ(f.combo->Text(), S("发票"));
    EXPECT_EQ(f.pages->TabBar()->tabText(1), S("系统选项"));
    EXPECT_EQ(f.status->Panel(0)->Text(), S("仓库"));
    EXPECT_EQ(f.memo->Lines(), (QStringList{S("进货单"), S("审核")}));
    EXPECT_EQ(f.dbLabel->Caption(), S("挂靠标签"));
    EXPECT_EQ(f.ok->Caption(), S("确定"));
}

namespace {

const char* const Package = R"(<?xml version="1.0" encoding="UTF-8"?>
<TfrmControls Caption="Controls">
  <spSupplier Caption="Supplier" HintWord="Range" BeginWords_1="From" ChildHints_0="Range or list"
              Columns_1.Caption="Qty" Items_0.Caption="Receipt"/>
  <edBegin Hint="an inner part is not a component of the form"/>
  <grdLines Columns_1.Caption="Quantity" Hint="Lines"/>
  <lvItems Columns_1.Caption="Amount" Items_0.Caption="First receipt"/>
  <cboType Items_1="Invoice"/>
  <rgKind Caption="Kind" Items_0="Receipt"/>
  <pcOptions Pages_1.Caption="System"/>
  <tsBasic Caption="Basic"/>
  <sbStatus Panels_1.Text="Quantity"/>
  <memNote Lines_1="Checked"/>
  <lblSupplier Caption="Supplier:" Hint="Who delivered"/>
  <dblDate Caption="Date" Gap="6"/>
  <chkAudit Caption="Checked" Hint="Only checked receipts"/>
  <speCopies Hint="Copies" MaxValue="9"/>
  <btnOk Caption="Print"/>
  <edWarehouse Caption="Warehouse"/>
  <EditLabel Caption="a labelled edit's label is its part"/>
</TfrmControls>
)";

}  // namespace

TEST(ControlForm, LanguagePackageReachesTheControlsByTheirPublishedNames)
{
    TestInstall install;
    install.StandardRegistry();
    install.WriteUtf8("client/CorvaneC.ini", "[CodePage]\nUICodePage=936\n");
    install.Write("client/MultiLanguage/CHS/TfrmControls.Lng", Package);
    ControlForm f;
    TQvLangController controller(&f.form);
    controller.SetLangPackageName("TfrmControls");
    controller.SetActive(true);
    ASSERT_TRUE(controller.Active());
    controller.ApplyTo(&f.form);

    EXPECT_EQ(f.panel->Caption(), "Supplier");
    EXPECT_EQ(f.panel->HintWord(), "Range");
    EXPECT_EQ(f.panel->chkUserChoice->Caption(), "Range");
    EXPECT_EQ(f.panel->BeginWords(), (QStringList{S("起"), "From"}));
    EXPECT_EQ(f.panel->lblBegin->Caption(), "From");
    EXPECT_EQ(f.panel->chkUserChoice->Hint(), "Range or list");
    EXPECT_EQ(f.panel->ColumnCaptions(), (QStringList{S("品号"), "Qty"}));
    EXPECT_EQ(f.panel->lstValues->Item(0)->Caption(), "Receipt");
    EXPECT_EQ(f.panel->edBegin->Hint(), S("区间选择-起始信息"));
    EXPECT_EQ(ListCaption(f.grid->Columns(1)), "Quantity");
    EXPECT_EQ(f.grid->Cells(1, 0), "Quantity");
    EXPECT_EQ(f.grid->Hint(), "Lines");
    EXPECT_EQ(f.list->Column(1)->Caption(), "Amount");
    EXPECT_EQ(f.list->Item(0)->Caption(), "First receipt");
    EXPECT_EQ(f.list->Item(0)->SubItems(), QStringList{S("发票")});
    EXPECT_EQ(f.combo->Items(), (QStringList{S("进货单"), "Invoice"}));
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(f.radios->Caption(), "Kind");
    EXPECT_EQ(f.radios->Items(), (QStringList{"Receipt", S("发票")}));
    EXPECT_EQ(f.radios->ItemIndex(), 1);
    EXPECT_EQ(f.system->Caption(), "System");
    EXPECT_EQ(f.pages->TabBar()->tabText(1), "System");
    EXPECT_EQ(f.pages->TabBar()->tabText(0), "Basic");
    EXPECT_EQ(f.status->Panel(1)->Text(), "Quantity");
    EXPECT_EQ(f.memo->Lines(), (QStringList{S("进货单"), "Checked"}));
    EXPECT_EQ(f.label->Caption(), "Supplier:");
    EXPECT_EQ(f.label->Hint(), "Who delivered");
    EXPECT_EQ(f.dbLabel->Caption(), "Date");
    EXPECT_EQ(f.dbLabel->Gap(), 6);
    EXPECT_EQ(f.check->Caption(), "Checked");
    EXPECT_EQ(f.check->Hint(), "Only checked receipts");
    EXPECT_EQ(f.spin->Hint(), "Copies");
    EXPECT_EQ(f.spin->MaxValue(), 9);
    EXPECT_EQ(f.ok->Caption(), "Print");
    EXPECT_EQ(f.dbEdit->Caption(), "Warehouse");
}

TEST(ControlForm, ConditionSetPropertiesByNameWithoutLetterCase)
{
    ControlForm f;
    // ".text" of edits
    EXPECT_TRUE(HasPropByName(f.edit, "text"));
    EXPECT_EQ(GetStrPropByName(f.edit, "TEXT"), S("备注"));
    SetStrPropByName(f.edit, "text", S("发票"));
    EXPECT_EQ(f.edit->Text(), S("发票"));
    SetStrPropByName(f.dbEdit, "text", "A01");
    EXPECT_EQ(f.dbEdit->Text(), "A01");
    EXPECT_EQ(f.dbEdit->Caption(), S("仓库"));
    SetStrPropByName(f.spin, "text", "7");
    EXPECT_EQ(f.spin->Value(), 7);
    EXPECT_EQ(GetStrPropByName(f.spin, "text"), "7");
    // ".itemindex" of combo boxes and radio groups
    EXPECT_EQ(GetOrdPropByName(f.combo, "itemindex"), 1);
    SetOrdPropByName(f.combo, "ITEMINDEX", 0);
    EXPECT_EQ(f.combo->Text(), S("进货单"));
    SetStrPropByName(f.radios, "itemIndex", "0");
    EXPECT_EQ(f.radios->ItemIndex(), 0);
    EXPECT_EQ(GetStrPropByName(f.radios, "itemindex"), "0");
    SetOrdPropByName(f.radios, "itemindex", 5);  // out of range: no selection
    EXPECT_EQ(f.radios->ItemIndex(), -1);
    // ".checked" of check boxes
    EXPECT_EQ(GetOrdPropByName(f.check, "checked"), 1);
    SetOrdPropByName(f.check, "CHECKED", 0);
    EXPECT_FALSE(f.check->Checked());
    SetStrPropByName(f.check, "checked", "true");
    EXPECT_TRUE(f.check->Checked());
    EXPECT_EQ(GetStrPropByName(f.check, "checked"), "true");
    // ".style" of select panels: the style's name, and its number
    EXPECT_TRUE(HasPropByName(f.panel, "style"));
    EXPECT_EQ(GetStrPropByName(f.panel, "style"), "sp_UserChoice");
    EXPECT_EQ(GetOrdPropByName(f.panel, "Style"), TSelectPanel::sp_UserChoice);
    SetStrPropByName(f.panel, "style", "sp_Discrete");
    EXPECT_EQ(f.panel->Style(), TSelectPanel::sp_Discrete);
    SetOrdPropByName(f.panel, "STYLE", TSelectPanel::sp_Range);
    EXPECT_EQ(f.panel->Style(), TSelectPanel::sp_Range);
    EXPECT_TRUE(f.panel->IsRangeMode());
    // The stored text of a panel by name, and other enumerations by name.
    SetStrPropByName(f.panel, "storedtext", QStringLiteral("sp_Range\x03" "A01\x03" "B01"));
    EXPECT_EQ(f.panel->BeginText(), "A01");
    EXPECT_EQ(f.panel->FinalText(), "B01");
    SetStrPropByName(f.combo, "style", "csDropDown");
    EXPECT_EQ(f.combo->Style(), TComboBox::csDropDown);
    EXPECT_EQ(GetStrPropByName(f.combo, "style"), "csDropDown");
    // Unknown names read empty and write nothing.
    EXPECT_FALSE(HasPropByName(f.panel, "nosuch"));
    EXPECT_EQ(GetStrPropByName(f.panel, "nosuch"), "");
    SetStrPropByName(f.check, "style", "x");
    EXPECT_TRUE(f.check->Checked());
}
