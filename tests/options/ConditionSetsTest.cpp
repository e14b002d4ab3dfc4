// Saved condition sets against the in-process application server over a
// sample company database: saving, the list, opening with every stored value
// kind, delete, rename and the view styles.
#include "format/engine/ClientDataSet.h"
#include "tests/options/OptionFormFixture.h"

#include <QDate>
#include <QLocale>

using namespace kelm24;
using kelm24::test::OptionFormFixture;

namespace {

const QChar F(3);    // field separator of a stored value
const QChar R(4);    // end of a list row
const QChar C(1);    // column separator of a list row

// A control with a float and a string-list property, kinds the standard
// controls do not publish.
class TRateBox : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double Rate MEMBER Rate)
    Q_PROPERTY(QStringList Words MEMBER Words)
public:
    using QWidget::QWidget;
    double Rate = 0;
    QStringList Words;
};

// The application server as the form sees it, counting the members called.
class TCallCounter : public IAutomationObject {
public:
    explicit TCallCounter(Variant inner) : inner_(std::move(inner)) {}
    Variant Invoke(const QString& member, VariantArgs& args) override
    {
        calls << member;
        return inner_.Call(member, args);
    }
    Variant GetProperty(const QString& name) override { return inner_.Get(name); }
    void SetProperty(const QString& name, const Variant& value) override { inner_.Set(name, value); }
    QStringList calls;

private:
    Variant inner_;
};

class TfrmKelm24Sets : public TfrmBaseGene {
public:
    explicit TfrmKelm24Sets(QWidget* owner = nullptr) : TfrmBaseGene(owner)
    {
        setObjectName(QStringLiteral("frmKelm24"));
        edCode = Add<TEdit>("edCode");
        edDate = Add<TMaskEdit>("edDate");
        cboKind = Add<TComboBox>("cboKind");
        cboKind->SetStyle(TComboBox::csDropDownList);
        cboKind->SetItems({QStringLiteral("全部"), QStringLiteral("已审核"), QStringLiteral("未审核")});
        chkPrice = Add<TCheckBox>("chkPrice");
        chkPrice->SetAllowGrayed(true);
        rate = Add<TRateBox>("rate");
        splRange = Add<TSelectPanel>("splRange");
        splList = Add<TSelectPanel>("splList");
        splList->SetStyle(TSelectPanel::sp_Discrete);
        splChoice = Add<TSelectPanel>("splChoice");
        splChoice->SetStyle(TSelectPanel::sp_UserChoice);
        splDate = Add<TSelectPanel>("splDate");
    }
    void SetProgramInfo() override
    {
        TfrmBaseGene::SetProgramInfo();
        SetOptionCount(1);
    }
    bool AfterConditionSetOpened() override
    {
        ++opened;
        return true;
    }
    void AfterRestoreValue(QWidget* control, const QString&) override { restored << control->objectName(); }

    template <class T>
    T* Add(const char* name)
    {
        T* c = new T(tsOption1);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    }

    TEdit* edCode;
    TMaskEdit* edDate;
    TComboBox* cboKind;
    TCheckBox* chkPrice;
    TRateBox* rate;
    TSelectPanel *splRange, *splList, *splChoice, *splDate;
    int opened = 0;
    QStringList restored;
};

class ConditionSetsTest : public OptionFormFixture {
protected:
    void SetUp() override
    {
        form = StartForm<TfrmKelm24Sets>();
        ASSERT_TRUE(started);
        ASSERT_TRUE(form->AppServer.IsObject());
        // The report forms open the session; a plain option form is given one.
        TAppServerObject(form->AppServer)
            .Connect(form->ProgramCode, form->UserCode, form->CompanyCode, form->DatabaseName, QStringLiteral("PURTG"));
        form->DateFields = QStringLiteral("edDate,splDate,edPrintDate");
        counter = std::make_shared<TCallCounter>(form->AppServer);
        form->AppServer = Variant(std::shared_ptr<IAutomationObject>(counter));
        ASSERT_TRUE(form->LoadConditionSets());
        shown.clear();
        // Message boxes of a Chinese interface carry six trailing blanks.
        TDialogService::SetMessageHandler([this](const TMessageRequest& r) {
            shown << r.Text.trimmed();
            return answer;
        });
    }
    ~ConditionSetsTest() override
    {
        delete form;
        Settle();
    }

    // Selects the listed set of that name; false when it is not listed.
    bool Select(const QString& name)
    {
        for (TListItem* item : form->lstCondition->AllItems())
            if (item->Caption() == name) {
                form->lstCondition->SetItemIndex(item->Index());
                return true;
            }
        return false;
    }
    QStringList Names() const
    {
        QStringList names;
        for (const TListItem* item : form->lstCondition->AllItems()) names << item->Caption();
        return names;
    }
    // The stored values of a set, line by line, as the server holds them.
    QStringList StoredLines(const QString& name)
    {
        TClientDataSet* ds = form->ClientDataSet1;
        form->LoadConditionSets();
        if (!ds->FindKey({name, form->UserCode, form->ProgramCode})) return {QStringLiteral("<missing>")};
        return ds->FieldByName(QStringLiteral("VCONDITION")).AsString().split(QStringLiteral("\r\n"));
    }
    void Insert(const QString& name, const QString& specs, const QString& values)
    {
        const Variant reply = form->AppServer.Call(
            member::InsertConTable, {Variant::ArrayOf({name, form->UserCode, QStringLiteral("20240105"), form->ProgramCode,
                                                       specs, values, false})});
        ASSERT_EQ(reply.ToString(), QString());
    }
    QString Message(const char* type, const char* id)
    {
        return manager->Message(QString::fromLatin1(type), QString::fromLatin1(id));
    }

    TfrmKelm24Sets* form = nullptr;
    std::shared_ptr<TCallCounter> counter;
};

}  // namespace

TEST_F(ConditionSetsTest, SavedSetIsListedWithItsDateAndOpensEveryValueKindAgain)
{
    const QString specs = QStringLiteral(
        "edCode.Text; cboKind.ItemIndex ;cboKind.NoSuchProperty;chkPrice.Checked;chkPrice.State;edCode.MaxLength;"
        "rate.Rate;edDate.Text;splRange.Style;splList.Style;splChoice.Style;splDate.Style;chkPrice.Alignment;"
        "edCode.Alignment");
    form->edCode->SetText(QStringLiteral("供应商 A"));
    form->edCode->SetMaxLength(12);
    form->cboKind->SetItemIndex(2);
    form->chkPrice->SetState(TCheckBox::cbGrayed);
    form->rate->Rate = 1234.5;
    form->edDate->SetText(form->DateDisplay(QStringLiteral("20240115")));
    form->splRange->SetBeginText(QStringLiteral("A01"));
    form->splRange->SetFinalText(QStringLiteral("Z99"));
    form->splList->AddRow({QStringLiteral("3401"), QStringLiteral("采购单")});
    form->splList->AddRow({QStringLiteral("3402"), QStringLiteral("进货单")});
    form->splChoice->SetUserChoice(true);
    form->splChoice->SetBeginText(QStringLiteral("b"));
    form->splChoice->SetFinalText(QStringLiteral("e"));
    form->splDate->SetBeginText(form->DateDisplay(QStringLiteral("20240101")));
    form->splDate->SetFinalText(QString());
    form->chkPrice->SetAlignment(ctl::taLeftJustify);
    form->edCode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ASSERT_TRUE(form->SaveConditionSet(specs, QStringLiteral("每月进货"), false));
    ASSERT_TRUE(form->LoadConditionSets());
    ASSERT_EQ(Names(), QStringList{QStringLiteral("每月进货")});
    TListItem* item = form->lstCondition->Item(0);
    EXPECT_EQ(item->SubItems(), QStringList{QLocale().toString(QDate::currentDate(), QLocale::ShortFormat)});
    EXPECT_EQ(item->ImageIndex(), 0);
    EXPECT_EQ(form->lstCondition->ViewStyle(), TListView::vsIcon);  // the view style survives the load

    const QStringList lines = StoredLines(QStringLiteral("每月进货"));
    ASSERT_EQ(lines.size(), 15);  // 14 entries, each ended by CR LF
    EXPECT_EQ(lines[0], QStringLiteral("供应商 A"));
    EXPECT_EQ(lines[1], QStringLiteral("2"));
    EXPECT_EQ(lines[2], QStringLiteral("2"));  // a combo box without the property stores ItemIndex
    EXPECT_EQ(lines[3], QStringLiteral("False"));
    EXPECT_EQ(lines[4], QStringLiteral("cbGrayed"));
    EXPECT_EQ(lines[5], QStringLiteral("12"));
    EXPECT_EQ(QLocale().toDouble(lines[6]), 1234.5);
    EXPECT_EQ(lines[7], QStringLiteral("20240115"));  // a date field stores the internal date
    EXPECT_EQ(lines[8], QStringLiteral("sp_Range") + F + "A01" + F + "Z99");
    EXPECT_EQ(lines[9], QStringLiteral("sp_Discrete") + F + "3401" + C + "采购单" + R + "3402" + C + "进货单" + R);
    EXPECT_EQ(lines[10], QStringLiteral("sp_UserChoice") + F + "True" + F + "b" + F + "e");
    EXPECT_EQ(lines[11], QStringLiteral("sp_Range") + F + "20240101" + F);
    EXPECT_EQ(lines[12], QStringLiteral("taLeftJustify"));
    EXPECT_EQ(lines[13], QString::number(int(Qt::AlignRight | Qt::AlignVCenter)));  // a set as its number
    EXPECT_EQ(lines[14], QString());

    // Everything edited away, then the set opened again.
    form->edCode->SetText(QStringLiteral("x"));
    form->edCode->SetMaxLength(0);
    form->cboKind->SetItemIndex(0);
    form->chkPrice->SetChecked(true);
    form->rate->Rate = 0;
    form->edDate->SetText(QString());
    form->splRange->SetBeginText(QString());
    form->splList->lstValues->Clear();
    form->splChoice->SetUserChoice(false);
    form->splChoice->SetBeginText(QString());
    form->splDate->SetBeginText(QString());
    form->chkPrice->SetAlignment(ctl::taRightJustify);
    form->edCode->setAlignment(Qt::AlignLeft);
    ASSERT_TRUE(Select(QStringLiteral("每月进货")));
    form->btnOpenClick();
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->opened, 1);
    EXPECT_EQ(form->edCode->Text(), QStringLiteral("供应商 A"));
    EXPECT_EQ(form->edCode->MaxLength(), 12);
    EXPECT_EQ(form->cboKind->ItemIndex(), 2);
    EXPECT_EQ(form->chkPrice->State(), TCheckBox::cbGrayed);
    EXPECT_EQ(form->rate->Rate, 1234.5);
    EXPECT_EQ(form->edDate->EditMask(), form->DateMask());
    EXPECT_EQ(form->edDate->Text(), form->DateDisplay(QStringLiteral("20240115")));
    EXPECT_EQ(form->splRange->BeginText(), QStringLiteral("A01"));
    EXPECT_EQ(form->splRange->FinalText(), QStringLiteral("Z99"));
    EXPECT_EQ(form->splList->Rows().size(), 2);
    EXPECT_EQ(form->splList->Rows().value(1), (QStringList{QStringLiteral("3402"), QStringLiteral("进货单")}));
    EXPECT_TRUE(form->splChoice->UserChoice());
    EXPECT_EQ(form->splChoice->BeginText(), QStringLiteral("b"));
    EXPECT_EQ(form->splChoice->FinalText(), QStringLiteral("e"));
    EXPECT_EQ(form->splDate->EditMask(), form->DateMask());
    EXPECT_EQ(form->splDate->BeginText(), form->DateDisplay(QStringLiteral("20240101")));
    EXPECT_EQ(form->chkPrice->Alignment(), ctl::taLeftJustify);
    EXPECT_EQ(form->edCode->alignment(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(form->restored.size(), 14);

    // The same name again is refused unless it replaces the set.
    form->edCode->SetText(QStringLiteral("新的"));
    EXPECT_FALSE(form->SaveConditionSet(specs, QStringLiteral("每月进货"), false));
    EXPECT_EQ(StoredLines(QStringLiteral("每月进货")).value(0), QStringLiteral("供应商 A"));
    EXPECT_TRUE(form->SaveConditionSet(specs, QStringLiteral("每月进货"), true));
    EXPECT_EQ(StoredLines(QStringLiteral("每月进货")).value(0), QStringLiteral("新的"));
}

TEST_F(ConditionSetsTest, MissingControlsAndUnstorableKindsKeepTheFollowingEntriesInLine)
{
    form->edCode->SetText(QStringLiteral("first"));
    form->chkPrice->SetChecked(true);
    form->rate->Words = {QStringLiteral("w")};
    const QString specs = QStringLiteral("edCode.Text;ghost.Text;broken;.Text;rate.Words;chkPrice.Checked");
    ASSERT_TRUE(form->SaveConditionSet(specs, QStringLiteral("旧方案"), false));
    EXPECT_EQ(StoredLines(QStringLiteral("旧方案")),
              (QStringList{QStringLiteral("first"), "", "", "", "", QStringLiteral("True"), ""}));

    form->edCode->SetText(QString());
    form->chkPrice->SetChecked(false);
    form->rate->Words.clear();
    ASSERT_TRUE(Select(QStringLiteral("旧方案")));
    form->btnOpenClick();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(form->edCode->Text(), QStringLiteral("first"));
    EXPECT_TRUE(form->chkPrice->Checked());  // after the missing control and the string list
    EXPECT_TRUE(form->rate->Words.isEmpty());

    // A control added since the set was saved finds an empty line: an
    // ordinal value keeps what it has, a text takes the empty text.
    form->edCode->SetMaxLength(7);
    EXPECT_TRUE(form->RestoreConditionSet(QStringLiteral("edCode.MaxLength;cboKind.ItemIndex;edCode.Text"),
                                          QStringLiteral("\r\n\r\n\r\n")));
    EXPECT_EQ(form->edCode->MaxLength(), 7);
    EXPECT_EQ(form->edCode->Text(), QString());
}

TEST_F(ConditionSetsTest, SelectPanelsRestoreByTheirStoredStyle)
{
    // A list choice rebuilds the list and leaves the range edits alone.
    form->splChoice->SetUserChoice(true);
    form->splChoice->SetBeginText(QStringLiteral("keep-b"));
    form->splChoice->SetFinalText(QStringLiteral("keep-e"));
    EXPECT_TRUE(form->RestoreConditionSet(
        QStringLiteral("splChoice.Style"), QStringLiteral("sp_UserChoice") + F + "False" + F + "a" + C + "1" + R + "b" + R + "\r\n"));
    EXPECT_FALSE(form->splChoice->UserChoice());
    EXPECT_EQ(form->splChoice->Rows().size(), 2);
    EXPECT_EQ(form->splChoice->Rows().value(0).value(0), QStringLiteral("a"));
    EXPECT_EQ(form->splChoice->BeginText(), QStringLiteral("keep-b"));
    EXPECT_EQ(form->splChoice->FinalText(), QStringLiteral("keep-e"));

    // The stored style chooses the branch; the panel's own style stays.
    EXPECT_TRUE(form->RestoreConditionSet(QStringLiteral("splList.Style"),
                                          QStringLiteral("sp_Range") + F + "x" + F + "y" + "\r\n"));
    EXPECT_EQ(form->splList->Style(), TSelectPanel::sp_Discrete);
    EXPECT_EQ(form->splList->BeginText(), QStringLiteral("x"));
    // An unknown style is skipped, and so is a date panel's empty end.
    form->splRange->SetBeginText(QStringLiteral("same"));
    EXPECT_TRUE(form->RestoreConditionSet(QStringLiteral("splRange.Style;splDate.Style"),
                                          QStringLiteral("sp_Other") + F + "z\r\nsp_Range" + F + "20240301" + F + "\r\n"));
    EXPECT_EQ(form->splRange->BeginText(), QStringLiteral("same"));
    EXPECT_EQ(form->splDate->BeginText(), form->DateDisplay(QStringLiteral("20240301")));
    EXPECT_EQ(form->DateToInternal(form->splDate->FinalText()), QString());
}

TEST_F(ConditionSetsTest, DateRulesMoveTheSavedDateOnlyWhenTheyChangeIt)
{
    form->edDate->SetText(form->DateDisplay(QStringLiteral("20240115")));
    form->splDate->SetBeginText(form->DateDisplay(QStringLiteral("20240115")));
    form->splDate->SetFinalText(form->DateDisplay(QStringLiteral("20240131")));
    const QString specs = QStringLiteral("edDate.Text;splDate.Style");
    auto saved = [&](const QString& name) {
        EXPECT_TRUE(form->SaveConditionSet(specs, name, false));
        return StoredLines(name);
    };
    // Ticked but all zero: the date as entered.
    form->DateRules = {QStringList{"1", "edDate", "Y", "0", "0", "0", "0", "D"}.join(F),
                       QStringList{"0", "splDate", "Y", "0", "1", "0", "0", "N", "0", "0", "0", "0", "D"}.join(F)};
    EXPECT_EQ(saved(QStringLiteral("r0")).mid(0, 2),
              (QStringList{"20240115", QStringLiteral("sp_Range") + F + "20240115" + F + "20240131"}));
    // One month on, last day; the range's begin moves by its begin part
    // (back a week to Sunday), its end by its end part (3 days on).
    form->DateRules = {QStringList{"1", "EDDATE", "Y", "1", "1", "2", "0", "D"}.join(F),
                       QStringList{"0", "splDate", "Y", "-1", "0", "1", "0", "Y", "0", "1", "0", "3", "D"}.join(F)};
    EXPECT_EQ(saved(QStringLiteral("r1")).mid(0, 2),
              (QStringList{"20240229", QStringLiteral("sp_Range") + F + "20240107" + F + "20240203"}));
    // Unticked rules and empty dates leave things as they are.
    form->DateRules = {QStringList{"1", "edDate", "N", "5", "1", "2", "0", "D"}.join(F)};
    form->splDate->SetBeginText(QString());
    EXPECT_EQ(saved(QStringLiteral("r2")).mid(0, 2),
              (QStringList{"20240115", QStringLiteral("sp_Range") + F + "" + F + "20240131"}));
}

TEST_F(ConditionSetsTest, AFailedRestoreShowsItsMessageAndKeepsWhatWasRestored)
{
    Insert(QStringLiteral("坏的"), QStringLiteral("edCode.Text;chkPrice.Checked;cboKind.ItemIndex"),
           QStringLiteral("restored\r\nMaybe\r\n1\r\n"));
    Insert(QStringLiteral("坏列表"), QStringLiteral("cboKind.ItemIndex;rate.Rate"), QStringLiteral("1\r\nabc\r\n"));
    ASSERT_TRUE(form->LoadConditionSets());
    form->cboKind->SetItemIndex(0);
    ASSERT_TRUE(Select(QStringLiteral("坏的")));
    form->btnOpenClick();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(Message("R", "200235"))) << shown[0].toStdString();
    EXPECT_EQ(form->edCode->Text(), QStringLiteral("restored"));
    EXPECT_EQ(form->cboKind->ItemIndex(), 0);  // after the failure nothing more
    EXPECT_EQ(form->opened, 1);

    shown.clear();
    ASSERT_TRUE(Select(QStringLiteral("坏列表")));
    form->btnOpenClick();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(form->cboKind->ItemIndex(), 1);

    // Nothing selected: nothing happens.
    shown.clear();
    form->lstCondition->SetItemIndex(-1);
    form->btnOpenClick();
    EXPECT_TRUE(shown.isEmpty());
    EXPECT_EQ(form->opened, 2);
}

TEST_F(ConditionSetsTest, DeleteAsksFirstAndRemovesTheSetOnYes)
{
    Insert(QStringLiteral("删我"), QStringLiteral("edCode.Text"), QStringLiteral("a\r\n"));
    Insert(QStringLiteral("留下"), QStringLiteral("edCode.Text"), QStringLiteral("b\r\n"));
    ASSERT_TRUE(form->LoadConditionSets());
    ASSERT_TRUE(Select(QStringLiteral("删我")));
    answer = mrNo;
    form->btnDeleteClick();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("确实要删除此方案吗？删我"));
    EXPECT_EQ(Names().size(), 2);
    EXPECT_FALSE(counter->calls.contains(member::DeleteConTable));

    answer = mrYes;
    form->btnDeleteClick();
    EXPECT_EQ(Names(), QStringList{QStringLiteral("留下")});
    EXPECT_EQ(StoredLines(QStringLiteral("删我")), QStringList{QStringLiteral("<missing>")});

    // A set deleted elsewhere meanwhile: the server's text is shown.
    ASSERT_TRUE(Select(QStringLiteral("留下")));
    ASSERT_EQ(form->AppServer.Call(member::DeleteConTable, {Variant::ArrayOf({QStringLiteral("留下"), form->UserCode,
                                                                               form->ProgramCode})})
                  .ToString(),
              QString());
    shown.clear();
    form->btnDeleteClick();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].contains(QStringLiteral("留下"))) << shown[1].toStdString();
}

TEST_F(ConditionSetsTest, RenameChecksLengthInDataBytesDuplicatesAndTheServer)
{
    Insert(QStringLiteral("甲"), QStringLiteral("edCode.Text"), QStringLiteral("from-jia\r\n"));
    Insert(QStringLiteral("乙"), QStringLiteral("edCode.Text"), QStringLiteral("from-yi\r\n"));
    ASSERT_TRUE(form->LoadConditionSets());
    ASSERT_TRUE(Select(QStringLiteral("甲")));
    TListItem* item = form->lstCondition->Item(form->lstCondition->ItemIndex());
    counter->calls.clear();

    auto edit = [&](const QString& text) {
        QString s = text;
        form->lstConditionEdited(item, s);
        return s;
    };
    // 21 bytes: refused, the caption stays.
    EXPECT_EQ(edit(QStringLiteral("一二三四五六七八九十A")), QStringLiteral("甲"));
    EXPECT_EQ(shown.value(0), QStringLiteral("方案名长度不可大于20!"));
    EXPECT_EQ(edit(QStringLiteral("   ")), QStringLiteral("甲"));
    EXPECT_EQ(shown.value(1), QStringLiteral("方案名不可空白!"));
    EXPECT_EQ(edit(QStringLiteral("乙")), QStringLiteral("甲"));
    EXPECT_EQ(shown.value(2), QStringLiteral("此方案名称已经存在！"));
    EXPECT_EQ(edit(QStringLiteral("甲")), QStringLiteral("甲"));  // the same text: no server call
    EXPECT_TRUE(counter->calls.isEmpty()) << counter->calls.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(shown.size(), 3);

    // 20 bytes: renamed on the server and in the open data set.
    const QString ten = QStringLiteral("一二三四五六七八九十");
    EXPECT_EQ(edit(ten), ten);
    EXPECT_EQ(shown.size(), 3);
    EXPECT_EQ(counter->calls, QStringList{member::ChangeConName});
    item->SetCaption(ten);
    ASSERT_TRUE(Select(ten));
    form->btnOpenClick();  // found in the data set without a reload
    EXPECT_EQ(form->edCode->Text(), QStringLiteral("from-jia"));
    EXPECT_EQ(StoredLines(ten).value(0), QStringLiteral("from-jia"));  // reloads the list
    ASSERT_TRUE(Select(ten));
    item = form->lstCondition->Item(form->lstCondition->ItemIndex());

    // A name the server already holds (saved elsewhere): the rename fails.
    Insert(QStringLiteral("丙"), QStringLiteral("edCode.Text"), QStringLiteral("c\r\n"));
    shown.clear();
    EXPECT_EQ(edit(QStringLiteral("丙")), ten);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], QStringLiteral("更改方案名失败!"));
    EXPECT_EQ(shown[1], QStringLiteral("此方案名称已经存在！"));
}

TEST_F(ConditionSetsTest, ViewStylesStepAndTheListNeedsAServer)
{
    const TListView::TViewStyle order[] = {TListView::vsSmallIcon, TListView::vsList, TListView::vsReport,
                                           TListView::vsIcon};
    TMenuItem* items[] = {form->ViewSmallIcon, form->ViewList, form->ViewReport, form->ViewIcon};
    for (int i = 0; i < 4; ++i) {
        form->ToolButton1Click();
        EXPECT_EQ(form->lstCondition->ViewStyle(), order[i]);
        EXPECT_EQ(form->ToolButton1->Tag(), (i + 1) % 4);
        for (TMenuItem* m : items) EXPECT_EQ(m->Checked(), m == items[i]) << m->objectName().toStdString();
    }
    form->ViewReportExecute();
    EXPECT_TRUE(form->ViewReport->Checked());
    EXPECT_FALSE(form->ViewIcon->Checked());

    Insert(QStringLiteral("一"), QStringLiteral("edCode.Text"), QStringLiteral("a\r\n"));
    ASSERT_TRUE(form->LoadConditionSets());
    form->AppServer = Variant();
    EXPECT_FALSE(form->LoadConditionSets());
    EXPECT_EQ(Names(), QStringList{QStringLiteral("一")});
    EXPECT_FALSE(form->SaveConditionSet(QStringLiteral("edCode.Text"), QStringLiteral("二"), false));
}

TEST_F(ConditionSetsTest, SavingFirstChecksTheActiveFieldAndStopsWhenItFails)
{
    form->show();
    QApplication::setActiveWindow(form);
    form->edCode->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), form->edCode);
    int checks = 0;
    bool fail = true;
    // As the form's date check does: a failed field takes the focus back.
    form->edCode->OnExit = TNotifyEvent{this, [&](QObject*) {
                                            ++checks;
                                            form->ValidationFailed = fail;
                                            if (fail) form->edCode->setFocus();
                                        }};
    form->btnInsertClick();
    EXPECT_GE(checks, 1);
    EXPECT_TRUE(form->ValidationFailed);
    EXPECT_EQ(QApplication::focusWidget(), form->edCode);  // the focus stays on the failed field

    fail = false;
    form->btnInsertClick();
    QApplication::processEvents();
    EXPECT_FALSE(form->ValidationFailed);
    EXPECT_NE(QApplication::focusWidget(), form->edCode);
}

TEST_F(ConditionSetsTest, SavingRunsTheActiveFieldsExitOnce)
{
    form->show();
    QApplication::setActiveWindow(form);
    int ownExits = 0;
    form->edDate->OnExit = TNotifyEvent{this, [&](QObject*) { ++ownExits; }};
    form->SetDateFields(QStringLiteral("edDate"));
    form->edDate->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), form->edDate);
    form->edDate->SetText(QStringLiteral("2024/05/31"));

    form->btnInsertClick();
    QApplication::processEvents();
    EXPECT_FALSE(form->ValidationFailed);
    EXPECT_EQ(ownExits, 1);  // the field's own exit handler is not run a second time
    EXPECT_EQ(QApplication::focusWidget(), form->pnlCondition);
}

#include "ConditionSetsTest.moc"
