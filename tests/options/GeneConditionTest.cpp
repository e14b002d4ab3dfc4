// The condition-set save dialog on the receipt form: the date field list, the
// rule controls, the name checks against the stored sets, and whole saves
// from the form's save button through the in-process application server.
#include "format/engine/ClientDataSet.h"
#include "options/GeneConditionCF.h"
#include "options/FormParts.h"
#include "options/Kelm24OptF.h"
#include "tests/options/OptionFormFixture.h"

#include <QTest>
#include <QTimer>

using namespace kelm24;
using kelm24::test::OptionFormFixture;

namespace {

const QChar F(3);

class GeneConditionTest : public OptionFormFixture {
protected:
    void SetUp() override
    {
        form = StartForm<TfrmKelm24>();
        ASSERT_TRUE(started) << form->ErrorTexts.toStdString();
        ASSERT_TRUE(form->LoadConditionSets());
        // Message boxes of a Chinese interface carry trailing blanks.
        TDialogService::SetMessageHandler([this](const TMessageRequest& r) {
            shown << r.Text.trimmed();
            return answer;
        });
    }
    ~GeneConditionTest() override
    {
        delete form;
        Settle();
    }

    TfrmGeneCondition* MakeDialog(const QString& dateFields, int skipTail = 1)
    {
        dialog = TQVForm::Create<TfrmGeneCondition>(form.data(), dateFields, skipTail);
        return dialog;
    }

    // Runs Script once the save dialog is up in its modal loop; a dialog the
    // script leaves open is cancelled so that nothing waits.
    void WhenDialogOpens(std::function<void(TfrmGeneCondition*)> script, int tries = 200)
    {
        QTimer::singleShot(0, form, [this, script, tries] {
            TfrmGeneCondition* open = form->findChild<TfrmGeneCondition*>();
            if (!open || !open->InModalLoop()) {
                if (tries > 0) WhenDialogOpens(script, tries - 1);
                else ADD_FAILURE() << "the save dialog did not open";
                return;
            }
            script(open);
            if (open->InModalLoop() && open->ModalResult() == 0) {
                ADD_FAILURE() << "the script left the dialog open";
                open->SetModalResult(mrCancel);
            }
        });
    }

    // A user's change of a rule control: entered, changed.
    static void Choose(TComboBox* combo, int index)
    {
        TControlEvents::Fire(combo->OnEnter, combo);
        combo->SetItemIndex(index);
    }
    static void Type(TQvSpinEdit* spin, const QString& text)
    {
        TControlEvents::Fire(spin->OnEnter, spin);
        spin->SetText(text);
        TControlEvents::Fire(spin->OnExit, spin);
    }

    // The stored values line of a component in the set's VCONDITION.
    QString StoredLine(const QString& setName, const QString& component)
    {
        TClientDataSet* sets = form->ClientDataSet1;
        if (!sets->FindKey({setName, form->UserCode, form->ProgramCode})) return QStringLiteral("<no set>");
        const QStringList specs = sets->FieldByName(QStringLiteral("SCONDITION")).AsString().split(QLatin1Char(';'));
        const QStringList lines = sets->FieldByName(QStringLiteral("VCONDITION")).AsString().split(QStringLiteral("\r\n"));
        for (int i = 0; i < specs.size(); ++i)
            if (specs[i].trimmed().startsWith(component + QLatin1Char('.'))) return lines.value(i);
        return QStringLiteral("<no entry>");
    }
    bool Listed(const QString& name) const
    {
        for (const TListItem* item : form->lstCondition->AllItems())
            if (item->Caption() == name) return true;
        return false;
    }

    QPointer<TfrmKelm24> form;
    QPointer<TfrmGeneCondition> dialog;
};

}  // namespace

TEST_F(GeneConditionTest, DateFieldsBecomeItemsWithUntickedRules)
{
    // Only the print date: nothing to attach a rule to.
    MakeDialog(QStringLiteral("edPrintDate"));
    EXPECT_FALSE(dialog->gbDateFields->isEnabled());
    EXPECT_EQ(dialog->cbodatecondition->Items(), QStringList());
    EXPECT_TRUE(form->DateRules.isEmpty());
    delete dialog;

    // The receipt form: both date panels, each a range rule, all unticked.
    ASSERT_EQ(form->DateFields, QStringLiteral("splTG003,splTG014,edPrintDate"));
    MakeDialog(form->DateFields);
    EXPECT_TRUE(dialog->gbDateFields->isEnabled());
    EXPECT_EQ(dialog->cbodatecondition->Items(), (QStringList{QStringLiteral("选择进货日期"), QStringLiteral("选择单据日期")}));
    EXPECT_EQ(dialog->cbodatecondition->ItemIndex(), 0);
    const QString unticked = QStringList{QStringLiteral("N"), QStringLiteral("0"), QStringLiteral("0"),
                                         QStringLiteral("0"), QStringLiteral("0")}
                                 .join(F);
    EXPECT_EQ(form->DateRules, (QStringList{QStringLiteral("0") + F + QStringLiteral("splTG003") + F + unticked + F +
                                                unticked + F + QStringLiteral("D"),
                                            QStringLiteral("0") + F + QStringLiteral("splTG014") + F + unticked + F +
                                                unticked + F + QStringLiteral("D")}));
    EXPECT_TRUE(dialog->pnSp->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->pnEdit->isVisibleTo(dialog));
    for (QWidget* w : std::initializer_list<QWidget*>{dialog->seSetDay_B1, dialog->cboSetDay_B1, dialog->cboSetDay_B2,
                                                      dialog->seSetDay_B2, dialog->seSetDay_E1, dialog->seSetDay_E2})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    delete dialog;

    // Edits are named from the form's caption pairs, a label that names them,
    // or their own name; other controls get no rule.
    auto* edDue = MakeControl<TEdit>(form->tsOption1, "edDue");
    auto* lblDue = MakeControl<TDBLabel>(form->tsOption1, "lblDue");
    lblDue->SetCaption(QStringLiteral("到期日"));
    lblDue->SetFocusControl(edDue);
    MakeControl<TEdit>(form->tsOption1, "edBare");
    MakeDialog(QStringLiteral("edPrintDate,edDue,chk01,edBare,edMissing,splTG014"));
    EXPECT_EQ(dialog->cbodatecondition->Items(),
              (QStringList{form->lblToday->Caption(), QStringLiteral("到期日"), QStringLiteral("edBare")}));
    ASSERT_EQ(form->DateRules.size(), 3);
    EXPECT_EQ(form->DateRules[1], QStringList({QStringLiteral("1"), QStringLiteral("edDue"), QStringLiteral("N"),
                                               QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"),
                                               QStringLiteral("0"), QStringLiteral("D")})
                                      .join(F));
    EXPECT_TRUE(dialog->pnEdit->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->pnSp->isVisibleTo(dialog));
}

TEST_F(GeneConditionTest, RuleControlsFollowTheirTickAndModeAndWriteBack)
{
    MakeDialog(form->DateFields + QStringLiteral(",edPrintDate"), 1);  // the print date as a rule field too
    dialog->cbodatecondition->SetItemIndex(2);
    ASSERT_TRUE(dialog->pnEdit->isVisibleTo(dialog));

    // Ticking enables the part; the days only while the mode adds days.
    dialog->edSetDate->Toggle();
    EXPECT_TRUE(dialog->seSetDay1->isEnabled());
    EXPECT_TRUE(dialog->cboSetDay1->isEnabled());
    EXPECT_TRUE(dialog->seSetDay2->isEnabled());
    Choose(dialog->cboSetDay2, 1);
    EXPECT_FALSE(dialog->seSetDay2->isEnabled());
    EXPECT_EQ(dialog->cboSetDay2->Text(), QStringLiteral("第一天"));
    Choose(dialog->cboSetDay2, 0);
    EXPECT_TRUE(dialog->seSetDay2->isEnabled());
    Type(dialog->seSetDay1, QStringLiteral("-2"));
    Type(dialog->seSetDay2, QStringLiteral("3"));
    EXPECT_EQ(form->DateRules[2], QStringList({QStringLiteral("1"), QStringLiteral("edPrintDate"), QStringLiteral("Y"),
                                               QStringLiteral("-2"), QStringLiteral("0"), QStringLiteral("0"),
                                               QStringLiteral("3"), QStringLiteral("D")})
                                      .join(F));

    // A cleared or non-numeric spin edit reads "0" when left; beyond its range it stops at the end.
    Type(dialog->seSetDay2, QString());
    EXPECT_EQ(dialog->seSetDay2->Text(), QStringLiteral("0"));
    Type(dialog->seSetDay2, QStringLiteral("x"));
    EXPECT_EQ(dialog->seSetDay2->Text(), QStringLiteral("0"));
    Type(dialog->seSetDay1, QStringLiteral("150"));
    EXPECT_EQ(dialog->seSetDay1->Text(), QStringLiteral("99"));
    EXPECT_TRUE(form->DateRules[2].contains(F + QStringLiteral("99") + F));

    // Unticking disables the part again and is written at once.
    dialog->edSetDate->Toggle();
    EXPECT_FALSE(dialog->seSetDay1->isEnabled());
    EXPECT_FALSE(dialog->seSetDay2->isEnabled());
    EXPECT_TRUE(form->DateRules[2].startsWith(QStringLiteral("1") + F + QStringLiteral("edPrintDate") + F + QStringLiteral("N")));

    // A field switch shows that field's rule and no change is written
    // before a control is entered.
    dialog->cbodatecondition->SetItemIndex(1);
    EXPECT_TRUE(dialog->pnSp->isVisibleTo(dialog));
    EXPECT_FALSE(dialog->InEdit);
    const QString before = form->DateRules[1];
    dialog->seSetDay_B1->SetText(QStringLiteral("7"));
    EXPECT_EQ(form->DateRules[1], before);
    dialog->spDate_E->Toggle();
    Choose(dialog->cboSetDay_E1, 1);
    Choose(dialog->cboSetDay_E2, 2);
    EXPECT_FALSE(dialog->seSetDay_E2->isEnabled());
    const QStringList range = form->DateRules[1].split(F);
    ASSERT_EQ(range.size(), 13);
    EXPECT_EQ(range.mid(7), (QStringList{QStringLiteral("Y"), QStringLiteral("0"), QStringLiteral("1"),
                                         QStringLiteral("2"), QStringLiteral("0"), QStringLiteral("D")}));
    // Back on the first field and again on this one: the rule is shown as kept.
    dialog->cbodatecondition->SetItemIndex(0);
    EXPECT_FALSE(dialog->spDate_E->Checked());
    dialog->cbodatecondition->SetItemIndex(1);
    EXPECT_TRUE(dialog->spDate_E->Checked());
    EXPECT_EQ(dialog->cboSetDay_E2->ItemIndex(), 2);
    EXPECT_FALSE(dialog->seSetDay_E2->isEnabled());
    EXPECT_TRUE(dialog->seSetDay_E1->isEnabled());
}

TEST_F(GeneConditionTest, NameChecksBeforeTheDialogCloses)
{
    ASSERT_TRUE(form->SaveConditionSet(form->SavedSpecs, QStringLiteral("月底"), false));

    // Empty and too long names are refused with the name focused.
    Variant result;
    WhenDialogOpens([this](TfrmGeneCondition* d) {
        QApplication::setActiveWindow(d);
        d->btnOk->Click();
        EXPECT_EQ(shown.value(0), QStringLiteral("方案名不可空白!"));
        EXPECT_EQ(d->focusWidget(), d->edConName);
        d->edConName->SetText(QStringLiteral("一二三四五六七八九十"));  // 20 bytes: fine, once 21
        d->edConName->SetText(d->edConName->Text() + QStringLiteral("1"));
        d->btnOk->Click();
        EXPECT_EQ(shown.value(1), QStringLiteral("方案名长度不可大于20!"));
        EXPECT_EQ(d->ModalResult(), 0);
        // An existing name: Cancel goes back to the name, OK replaces.
        d->edConName->SetText(QStringLiteral("  月底 "));
        answer = mrCancel;
        d->btnOk->Click();
        EXPECT_EQ(shown.value(2), QStringLiteral("此方案名已存在！是否将原来的方案替换为此方案?"));
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(d->ModalResult(), 0);
        EXPECT_FALSE(d->Replace);
        EXPECT_EQ(d->focusWidget(), d->edConName);
        answer = mrOk;
        d->btnOk->Click();
    });
    result = TfrmGeneCondition::RunSaveDialog(form->DateFields, form, 1);
    EXPECT_EQ(result[0].ToString(), QStringLiteral("月底"));
    EXPECT_EQ(result[1].ToString(), form->DateFields);
    EXPECT_TRUE(result[2].ToBool());
    EXPECT_EQ(shown.size(), 4) << "the second OK asks again: " << shown.join(QStringLiteral(" / ")).toStdString();
    Settle();
    EXPECT_EQ(form->findChild<TfrmGeneCondition*>(), nullptr) << "the dialog is freed";

    // A new name closes at once without Replace; Esc cancels with three empty texts.
    WhenDialogOpens([](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("新方案"));
        d->btnOk->Click();
    });
    result = TfrmGeneCondition::RunSaveDialog(form->DateFields, form, 1);
    EXPECT_EQ(result[0].ToString(), QStringLiteral("新方案"));
    EXPECT_FALSE(result[2].ToBool());
    WhenDialogOpens([](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("新方案"));
        QApplication::setActiveWindow(d);
        QTest::keyClick(d->edConName, Qt::Key_Escape);
    });
    result = TfrmGeneCondition::RunSaveDialog(form->DateFields, form, 1);
    EXPECT_EQ(result[0].ToString(), QString());
    EXPECT_EQ(result[1].ToString(), QString());
    EXPECT_EQ(result[2].ToString(), QString());
}

TEST_F(GeneConditionTest, EnterMovesToTheNextControl)
{
    WhenDialogOpens([](TfrmGeneCondition* d) {
        QApplication::setActiveWindow(d);
        d->edConName->setFocus();
        d->edConName->SetText(QStringLiteral("x"));
        QTest::keyClick(d->edConName, Qt::Key_Return);
        EXPECT_NE(QApplication::focusWidget(), d->edConName);
        EXPECT_EQ(d->ModalResult(), 0) << "Enter does not close the dialog";
        d->btnCancel->Click();
    });
    EXPECT_EQ(TfrmGeneCondition::RunSaveDialog(form->DateFields, form, 1)[0].ToString(), QString());
}

TEST_F(GeneConditionTest, SaveButtonStoresTheRuledDateAndTheSetOpensAgain)
{
    form->edtTG001->SetText(QStringLiteral("3401"));
    form->splTG014->SetBeginText(form->DateDisplay(QStringLiteral("20240115")));
    form->splTG014->SetFinalText(form->DateDisplay(QStringLiteral("20240131")));

    // Document dates: begin moved one month on, to that month's last day.
    WhenDialogOpens([](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("上月底"));
        d->cbodatecondition->SetItemIndex(1);
        d->spDate_B->Toggle();
        Type(d->seSetDay_B1, QStringLiteral("1"));
        Choose(d->cboSetDay_B1, 1);
        Choose(d->cboSetDay_B2, 2);
        d->btnOk->Click();
    });
    form->btnInsert->click();
    EXPECT_TRUE(shown.isEmpty()) << shown.join(QStringLiteral(" / ")).toStdString();
    ASSERT_TRUE(Listed(QStringLiteral("上月底")));
    EXPECT_EQ(StoredLine(QStringLiteral("上月底"), QStringLiteral("splTG014")),
              QStringLiteral("sp_Range") + F + QStringLiteral("20240229") + F + QStringLiteral("20240131"));
    EXPECT_EQ(StoredLine(QStringLiteral("上月底"), QStringLiteral("edtTG001")), QStringLiteral("3401"));

    // Opening the set puts the stored values back.
    form->edtTG001->SetText(QString());
    form->splTG014->SetBeginText(QString());
    form->splTG014->SetFinalText(QString());
    for (TListItem* item : form->lstCondition->AllItems())
        if (item->Caption() == QStringLiteral("上月底")) form->lstCondition->SetItemIndex(item->Index());
    form->btnOpenClick();
    EXPECT_EQ(form->edtTG001->Text(), QStringLiteral("3401"));
    EXPECT_EQ(form->splTG014->BeginText(), form->DateDisplay(QStringLiteral("20240229")));
    EXPECT_EQ(form->splTG014->FinalText(), form->DateDisplay(QStringLiteral("20240131")));

    // Saving again under the same name starts from unticked rules and
    // replaces the set after the confirmation.
    form->splTG014->SetBeginText(form->DateDisplay(QStringLiteral("20240301")));
    WhenDialogOpens([this](TfrmGeneCondition* d) {
        EXPECT_FALSE(form->DateRules.join(QString()).contains(QLatin1Char('Y')));
        d->edConName->SetText(QStringLiteral("上月底"));
        d->btnOk->Click();
    });
    form->btnInsert->click();
    EXPECT_EQ(shown.size(), 1);
    EXPECT_EQ(StoredLine(QStringLiteral("上月底"), QStringLiteral("splTG014")),
              QStringLiteral("sp_Range") + F + QStringLiteral("20240301") + F + QStringLiteral("20240131"));

    // Cancel saves nothing.
    const int sets = form->lstCondition->AllItems().size();
    WhenDialogOpens([](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("不存"));
        d->btnCancel->Click();
    });
    form->btnInsert->click();
    EXPECT_EQ(form->lstCondition->AllItems().size(), sets);
    EXPECT_FALSE(Listed(QStringLiteral("不存")));
}

TEST_F(GeneConditionTest, ARefusedSaveIsReported)
{
    // Without a server session the set cannot be stored: the user hears of it.
    form->AppServer = Variant();
    WhenDialogOpens([](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("无服务"));
        d->btnOk->Click();
    });
    form->btnInsert->click();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], QStringLiteral("保存方案失败!"));
}

TEST_F(GeneConditionTest, AFormFreedWhileItsSaveDialogIsOpenEndsTheDialog)
{
    // Should the loop never end, the test program stops instead of waiting forever.
    bool ended = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&ended] {
        if (ended) return;
        ADD_FAILURE() << "the save dialog's modal loop outlived its form";
        std::fflush(nullptr);
        std::_Exit(1);
    });
    watchdog.start(10000);
    // The host frees the option form while the dialog is up.
    std::function<void()> freeForm = [this, &freeForm] {
        TfrmGeneCondition* open = form ? form->findChild<TfrmGeneCondition*>() : nullptr;
        if (!open || !open->InModalLoop()) {
            QTimer::singleShot(5, qApp, freeForm);
            return;
        }
        delete form.data();
    };
    QTimer::singleShot(0, qApp, freeForm);
    const Variant result = TfrmGeneCondition::RunSaveDialog(form->DateFields, form.data(), 1);
    ended = true;
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(result[0].ToString(), QString());
}

TEST_F(GeneConditionTest, ATooLongNameIsRefusedWithTheLanguageTextOfTheRenameCheck)
{
    // The set-name texts are the option form's: a language package of the
    // form translates the dialog's refusal as it does the rename's.
    ASSERT_TRUE(QDir(install.Dir()).mkpath(QStringLiteral("client/MultiLanguage/CHS")));
    QFile package(QDir(install.Dir()).filePath(QStringLiteral("client/MultiLanguage/CHS/TfrmBaseGene.Lng")));
    ASSERT_TRUE(package.open(QIODevice::WriteOnly));
    package.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TfrmBaseGene>\n  <Messages>\n"
                                 "    <sProjNameError Msg=\"方案名称超过二十个字节!\"/>\n  </Messages>\n</TfrmBaseGene>\n")
                      .toUtf8());
    package.close();
    WhenDialogOpens([this](TfrmGeneCondition* d) {
        d->edConName->SetText(QStringLiteral("一二三四五六七八九十1"));
        d->btnOk->Click();
        EXPECT_EQ(shown.value(0), QStringLiteral("方案名称超过二十个字节!"));
        EXPECT_EQ(d->ModalResult(), 0);
        d->SetModalResult(mrCancel);
    });
    const Variant result = TfrmGeneCondition::RunSaveDialog(form->DateFields, form, 1);
    EXPECT_EQ(result[0].ToString(), QString());

    // Renaming a listed set to a long name says the same.
    ASSERT_TRUE(form->SaveConditionSet(form->SavedSpecs, QStringLiteral("短"), false));
    ASSERT_TRUE(form->LoadConditionSets());
    TListItem* item = form->lstCondition->Item(0);
    ASSERT_NE(item, nullptr);
    QString edited = QStringLiteral("一二三四五六七八九十1");
    form->lstConditionEdited(item, edited);
    EXPECT_EQ(shown.value(1), QStringLiteral("方案名称超过二十个字节!"));
}
