// The purchase-receipt statement: receipt headers (PURTG) with their lines
// (PURTH) and the master tables, as one row per line (detail print) or lines
// merged per receipt, item and unit and the chosen summary keys (summary
// print). The receipt option form copies the states of its controls into a
// TKelm24QueryInput and calls BuildReportSQL and ComposeSQL as it would its
// own operations.
#pragma once

#include "options/ReportSQL.h"

namespace kelm24 {

struct TKelm24QueryInput {
    int SQLType = 0;            // the server's: 0 joins written with LEFT JOIN, 1 outer joins with "(+)"
    bool Summary = false;       // chk01 "汇总打印"
    bool KeyWarehouse = false;  // chk06 "仓库"
    bool KeyUnitCost = false;   // chk07 "单位成本"
    bool KeyLot = false;        // chk08 "批号"
    bool NewPage = false;       // chkNewPage "按仓库分页"
    QString Sys003;             // system setting "Sys003": the local currency
    QString PrintStatus = QStringLiteral("未打印");  // cboPrintSts text
    // What the report option base form holds for every report.
    int SendMode = 0;           // 0 print, 1 e-mail, 2 fax
    int OptionCount = 8;        // highest index of the condition arrays
    QString MainTable = QStringLiteral("PURTG");
    QString SendStatusField = QStringLiteral("TG045");
    Variant PowerData;          // the user's row-permission data from the server
};

class TKelm24Query {
public:
    explicit TKelm24Query(TKelm24QueryInput Values = {}) : Input(std::move(Values)) {}

    TKelm24QueryInput Input;
    TReportSQL SQL;
    QString SendStatusCondition;

    // Fills the six parts for Input and the conditions: AMode 0 takes the
    // condition values the dialog collected (1-based: slot 1 "='type'", 2 the
    // receipt numbers, 4 the approval status, 5 the print status, 6 the
    // document dates, OptionCount - 1 the send status); AMode 1 the host's
    // [type, number]. Host texts are quoted; dialog values that are pasted
    // into the statement must be the ones the form makes, else it raises.
    // ASQL is left as it is: ComposeSQL writes the statement.
    void BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL);
    // Merges the send status and the permission condition, then joins the
    // parts: with the Group By part for the summary print.
    void ComposeSQL(QString& ASQL);

    // The condition values of the receipt form's controls.
    static QString TypeCondition(const QString& Type);              // slot 1: "='" + type + "'", quotes doubled
    static QString ApprovalCondition(const QString& StatusText);    // slot 4 from cboTG013
    static QString PrintStatusCondition(const QString& StatusText); // slot 5 from cboPrintSts

private:
    void SetDetailStatement();
    void SetSummaryStatement();
    void SetOuterJoinStatement(QString& Where);
};

}  // namespace kelm24
