// TfrmGeneCondition: the small modal dialog that opens when the user saves a
// condition set. It asks for the set's name, checks whether the name already
// exists for this user and program (and whether to replace it), and lets the
// user attach a relative-date rule to each date field of the option form: the
// entered date moved by N weeks or months, then to the first or last day of
// that period or by D days. The rules live in the option form's DateRules, one
// entry per date field, fields separated by character 3:
//   single edit: "1", name, flag, count, unit, mode, days, type
//   range panel: "0", name, begin flag, count, unit, mode, days,
//                end flag, count, unit, mode, days, type
// (flags "Y"/"N", unit 0 week / 1 month, mode 0 add days / 1 first day /
// 2 last day, type "D" a full date rule). Saving the set applies them
// (TfrmBaseGene::RuleDate).
#pragma once

#include "controls/BtChkBox.h"
#include "controls/DBLabel.h"
#include "controls/ExtCtrls.h"
#include "controls/QvSpin.h"
#include "controls/StdCtrls.h"
#include "kelm24/Variant.h"
#include "options/QVForm.h"

namespace kelm24 {

class TfrmBaseGene;

class TfrmGeneCondition : public TQVForm {
    Q_OBJECT

public:
    // Creates the dialog owned by OptionForm, shows it modally, frees it and
    // answers [Name, DateFields, Replace], or three empty texts when the user
    // cancelled. SkipTail entries at the end of DateFields get no rule.
    static Variant RunSaveDialog(const QString& DateFields, TfrmBaseGene* OptionForm, int SkipTail = 1);

    TfrmGeneCondition(TfrmBaseGene* OptionForm, const QString& DateFields, int TailToSkip);

    // --- components
    TDBLabel* lblCondition;
    TEdit* edConName;
    TGroupBox* gbDateFields;
    TLabel* lblPeriod13;
    TComboBox* cbodatecondition;
    TPanel* pnEdit;
    TBitCheckBox* edSetDate;
    TLabel *lblPeriod15, *lblPeriod16;
    TQvSpinEdit *seSetDay1, *seSetDay2;
    TComboBox *cboSetDay1, *cboSetDay2;
    TPanel* pnSp;
    TBitCheckBox *spDate_B, *spDate_E;
    TLabel *lblPeriodB, *lblPeriodB1, *lblPeriodE, *lblPeriodE1;
    TQvSpinEdit *seSetDay_B1, *seSetDay_B2, *seSetDay_E1, *seSetDay_E2;
    TComboBox *cboSetDay_B1, *cboSetDay_B2, *cboSetDay_E1, *cboSetDay_E2;
    TBitBtn *btnOk, *btnCancel;

    // --- state
    QString DateFieldList;
    int SkipTail = 1;
    bool Replace = false;
    bool InEdit = false;  // a rule control was entered since the last field switch

    // Builds the field list and the initial (unticked) rules in the owner's DateRules.
    void SetDateEnv();
    // Shows the rule of the selected field.
    void cbodateconditionChange();
    // Rebuilds the selected field's rule from the controls.
    void WriteRuleBack();
    void btnOkClick();

    // The trimmed name the dialog answers with.
    QString SetName() const { return edConName->Text().trimmed(); }

protected:
    void FormCreate() override;
    void FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift) override;

private:
    // The controls of one rule part: a check box and count, unit, mode, days.
    struct TRulePart {
        TBitCheckBox* Check;
        TQvSpinEdit* Count;
        TComboBox* Unit;
        TComboBox* Mode;
        TQvSpinEdit* Days;
    };
    TRulePart EditPart() const { return {edSetDate, seSetDay1, cboSetDay1, cboSetDay2, seSetDay2}; }
    TRulePart BeginPart() const { return {spDate_B, seSetDay_B1, cboSetDay_B1, cboSetDay_B2, seSetDay_B2}; }
    TRulePart EndPart() const { return {spDate_E, seSetDay_E1, cboSetDay_E1, cboSetDay_E2, seSetDay_E2}; }

    void BuildComponents();
    // One rule row at Top inside Parent; the names of the check box, its
    // caption, the label after it and the "天" label.
    TRulePart MakeRulePart(QWidget* Parent, int Top, const char* CheckName, const QString& CheckCaption,
                           const char* LabelName, const QString& LabelCaption, const char* Count, const char* Unit,
                           const char* Mode, const char* Days, const char* DayLabel);
    void BindPart(const TRulePart& Part);
    // The display name of an edit on the owner (see SetDateEnv).
    QString EditCaption(QWidget* Control, const Variant& Captions) const;
    QWidget* OwnerControl(const QString& Name) const;
    // The rule type of the selected field ("D" when it has none).
    QString SelectedRuleType() const;
    // Loads rule fields From..From+4 into a part and applies the rules.
    void LoadPart(const TRulePart& Part, const QStringList& Fields, int From, const QString& Type);
    QStringList PartFields(const TRulePart& Part) const;
    // Ticked: count, unit, mode and days enabled (only the count for a rule
    // of another type); the days only while the mode is "加/减".
    void ApplyEnabling(const TRulePart& Part, const QString& Type);
    void SpinEditExit(TQvSpinEdit* Edit);

    TfrmBaseGene* optionForm_;
};

}  // namespace kelm24
