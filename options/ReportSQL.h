// The SQL side of a report run: the six parts a report option form fills
// (select, from, where, group by, order by, joins), the merge of the send
// status and of the user's row-permission condition into the where part, and
// the FROM filter that adds the permission rules of outer-joined tables to
// every FROM clause of a statement. Plain text work: the option forms hold a
// TReportSQL and copy their state into the calls, so all of it runs without
// a window.
#pragma once

#include "kelm24/Variant.h"

#include <QString>

namespace kelm24 {

class TReportSQL {
public:
    // Each setter trims the text, puts the clause keyword in front when the
    // text does not begin with it ("Select ", " From ", " Where ",
    // " Group By ", " Order by ") and appends one blank. An empty text
    // becomes the bare keyword. SetJoinPart only trims and appends a blank.
    void SetSelectPart(const QString& Text);
    void SetFromPart(const QString& Text);
    void SetWherePart(const QString& Text);
    void SetGroupByPart(const QString& Text);
    void SetOrderByPart(const QString& Text);
    void SetJoinPart(const QString& Text);

    const QString& SelectPart() const { return select_; }
    const QString& FromPart() const { return from_; }
    const QString& WherePart() const { return where_; }
    const QString& GroupByPart() const { return groupBy_; }
    const QString& OrderByPart() const { return orderBy_; }
    const QString& JoinPart() const { return join_; }

    // Empties every part (a new run starts from nothing).
    void Clear();

    // Appends "(" + AField + ACondition + ")" to AWhere, with " and " in
    // between when AWhere already holds something; nothing when either is empty.
    static void AppendCondition(QString& AWhere, const QString& AField, const QString& ACondition);

    // The part of a report run that every report shares: when SendMode is
    // not 0 the send-status condition on SendStatusField joins the where
    // part; then, when MainTable is non-empty, the permission condition
    // PowerData[0] is merged in: the where part in brackets, " and (" +
    // permission + ")" after it, or " Where " + permission alone. A where
    // part that holds only its keyword counts as empty, and a where part that
    // ends empty is left empty (a bare " Where " would spoil the statement).
    void ComposeSQL(int SendMode, const QString& SendStatusField, const QString& SendStatusCondition,
                    const QString& MainTable, const Variant& PowerData);

private:
    QString select_, from_, where_, groupBy_, orderBy_, join_;
};

// The FROM filter: when PowerData[4] is "Y", every FROM clause of SQL gets the
// conditions BuildOuterJoinConditions makes from the rules PowerData[5] for
// its table list (before the clause's own conditions, which are kept in
// brackets, or as a new WHERE). A FROM whose table list holds a sub-query is
// passed over; the sub-query's own FROM is filtered. Texts in quotes and
// comments are never read as words. Otherwise SQL comes back unchanged.
QString ApplyFromFilter(const QString& SQL, const Variant& PowerData, const QString& DatabaseName);

// The send status the report option page offers, as a condition on the send
// status field: "<>0" for "已传送", "=0" for "未传送", empty for "全部" (and
// for any other text).
QString SendStatusValue(const QString& StatusText);
// The caption of the send-status condition: "传送状态".
QString SendStatusCaption();
// The send-status condition a run uses: from the dialog (AMode 0) the value
// at index OptionCount - 1 of the condition values, from the host (AMode 1)
// none. Raises kelm24::Exception for a value that is not one SendStatusValue
// gives, since it is pasted into the statement.
QString SendStatusFromValues(int AMode, const Variant& AParams, int OptionCount);

// Element Index of a variant array as text; empty when the array lacks it or
// it is no text.
QString ArrayText(const Variant& Array, int Index);

}  // namespace kelm24
