#include "options/Kelm24Query.h"

#include "runtime/SqlCondition.h"

#include <QRegularExpression>

namespace kelm24 {

namespace {

const QString AllText = QStringLiteral("全部");

// The value of condition slot `slot` of the dialog's 1-based value array.
Variant Slot(const Variant& values, int slot)
{
    if (slot < values.LowBound() || slot > values.HighBound()) return Variant();
    return values.At(slot);
}

QString SlotText(const Variant& values, int slot) { return ArrayText(values, slot); }

[[noreturn]] void RefuseValue(const QString& field, const QString& value)
{
    throw Exception(QStringLiteral("条件 %1 的值不合规则，不能用于查询: %2").arg(field, value));
}

// A slot-1 value: "=" followed by one quoted literal, or nothing.
QString CheckedTypeCondition(const QString& value)
{
    static const QRegularExpression literal(QStringLiteral("^='(?:[^']|'')*'$"));
    if (!value.trimmed().isEmpty() && !literal.match(value.trimmed()).hasMatch()) RefuseValue(QStringLiteral("TG001"), value);
    return value.trimmed().isEmpty() ? QString() : value;
}

// A value of a drop-down list: one of the texts the form makes, or nothing.
QString CheckedChoice(const QString& field, const QString& value, const QStringList& allowed)
{
    const QString t = value.trimmed();
    if (t.isEmpty()) return QString();
    for (const QString& a : allowed)
        if (a.trimmed() == t) return value;
    RefuseValue(field, value);
}

const char* const DetailSelect1 =
    "SELECT TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002 AS CMSMQ002,PURMA.MA002 AS MA002,TG004,TG007,TG008,TG025,TG016,"
    "CMSMB.MB002 AS CMSMB002,TG049,CMSME.ME002 AS CMSME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,TH003,TH004,"
    "TH005,TH006,TH009,TH008,TH035,TH014,TH007,TD015,INVMB.MB045 AS INVMB045,TH015,TH016,TH017,TH018,TH010,TH036,TH037,TH011,"
    "TH012,TH013,TH042,TH028,TH072,INVMC.MC003 AS INVMC003,TH019,TH020,TH024,(TH011+'-'+TH012+'-'+TH013) AS TH011T,TH033,TG017,"
    "TG020,TG018,TG019,(TG019+TG028) AS TG019T,TG026,TG059,CMSNO.NO002 AS CMSNO002,(TH047+TH048+TH024) AS TH019T ,TG028,TD025,"
    "CMSMC.MC002 AS CMSMC002 ,CMSMF.MF004 AS CMSMF004,TG021,TG014 ,TG030,TH045,TH046,TH047,TH048,TG031,TG032,(TG031+TG032) AS "
    "TG031T,TG033,NA003 ,TG041,TH052,TG034,TG035,TG036,TG037,TG038,TG039 ,TD017,PUR.MA002 AS PURMA002,TD029,TD009,TD008 ,TG040,"
    "TH049,TH050,TH051,TH053,TH060,TH059,TH058,TH057,TH056,MB130,MB121 ,PURMA.MA010 AS PURMA010,PURMA.MA011 AS PURMA011 ,TH061,"
    "TH062,TH067,TH068,TH069,TH070 ,TG053,TG054 ,TG046,TH073,KBSMC.MC002 AS KBSMC002,KBSMC.MC003 AS KBSMC003";

const char* const DetailSelect2[] = {
    ", TG012, TG015, TG029, TG043, TG044, TG045, TG047, TG048 ", ", TH021, TH022, TH023, TH025, TH026, TH027, TH029, TH030 ",
    ", TH031, TH032, TH034, TH038, TH039, TH040, TH041, TH043 ", ", TH044, TH054, TH055, TH066, TH071, TH072, TH064, TH065 ",
    ", TH080 ", ", AA.MF001 AS AAMF001, AA.MF002 AS AAMF002, PURMA.MA003 AS PURMA003", ", BB.MF002 AS BBMF002"};

const char* const DetailSelect4[] = {
    ", PURTG.UDF01 AS UDF01M, PURTG.UDF02 AS UDF02M, PURTG.UDF03 AS UDF03M ", ", PURTG.UDF04 AS UDF04M, PURTG.UDF05 AS UDF05M, PURTG.UDF06 AS UDF06M ",
    ", PURTG.UDF51 AS UDF51M, PURTG.UDF52 AS UDF52M, PURTG.UDF53 AS UDF53M ", ", PURTG.UDF54 AS UDF54M, PURTG.UDF55 AS UDF55M, PURTG.UDF56 AS UDF56M ",
    ", PURTH.UDF01 AS UDF01D, PURTH.UDF02 AS UDF02D, PURTH.UDF03 AS UDF03D ", ", PURTH.UDF04 AS UDF04D, PURTH.UDF05 AS UDF05D, PURTH.UDF06 AS UDF06D ",
    ", PURTH.UDF51 AS UDF51D, PURTH.UDF52 AS UDF52D, PURTH.UDF53 AS UDF53D ", ", PURTH.UDF54 AS UDF54D, PURTH.UDF55 AS UDF55D, PURTH.UDF56 AS UDF56D "};

const char* const SummarySelect =
    " SELECT TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002 AS CMSMQ002,PURMA.MA002 AS MA002,TG004,TG007,TG008,TG025,TG016,"
    "CMSMB.MB002 AS CMSMB002,TG049,CMSME.ME002 AS CMSME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,TH004,TH005,"
    "TH006,TH008,SUM(TH007) AS TH007,0 AS TD015,INVMB.MB045 AS INVMB045,SUM(TH015) AS TH015,SUM(TH016) AS TH016,SUM(TH017) AS "
    "TH017 ,SUM(TH019) AS TH019,SUM(TH020) AS TH020,SUM(TH024) AS TH024,TG017,TG020,TG018,TG019,(TG019+TG028) AS TG019T,TG026,"
    "SUM(TH047+TH048+TH024) AS TH019T,TG028,CMSMF.MF004 AS CMSMF004,TG021,TG014 ,TG030,TG031,TG032,(TG031+TG032) AS TG031T,TG033,"
    "NA003 ,TG041,TG034,TG035,TG036,TG037,TG038,TG039,TG040,MB130,MB121 ,PURMA.MA010 AS PURMA010,PURMA.MA011 AS PURMA011,"
    "SUM(TH061) AS TH061,SUM(TH068) AS TH068,TG053,TG054,TG046, TG012, TG015, TG029, TG043, TG044, TG045, TG047, TG048 , TG059,"
    "CMSNO.NO002 AS CMSNO002, AA.MF001 AS AAMF001, AA.MF002 AS AAMF002, PURMA.MA003 AS PURMA003 , PURTG.UDF01 AS UDF01M, "
    "PURTG.UDF02 AS UDF02M, PURTG.UDF03 AS UDF03M , PURTG.UDF04 AS UDF04M, PURTG.UDF05 AS UDF05M, PURTG.UDF06 AS UDF06M , "
    "PURTG.UDF51 AS UDF51M, PURTG.UDF52 AS UDF52M, PURTG.UDF53 AS UDF53M , PURTG.UDF54 AS UDF54M, PURTG.UDF55 AS UDF55M, "
    "PURTG.UDF56 AS UDF56M ,CMSMA.MA069 AS TH068C,CMSMA.MA069 AS TH069C ";

const char* const SummaryGroupBy =
    " GROUP BY TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002,PURMA.MA002,TG004,TG007,TG008,TG025,TG016,CMSMB.MB002,TG049,"
    "CMSME.ME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,TH004,TH005,TH006,TH008,INVMB.MB045,TG017,TG020,TG018,"
    "TG019,(TG019+TG028),TG026,TG028,CMSMF.MF004,TG021,TG014 ,TG030,TG031,TG032,(TG031+TG032),TG033,NA003,TG041,TG034,TG035,"
    "TG036,TG037,TG038,TG039,TG040,MB130,MB121 ,PURMA.MA010,PURMA.MA011,TG053,TG054,TG046, TG012, TG015, TG029, TG043, TG044, "
    "TG045, TG047, TG048, TG059,CMSNO.NO002 , AA.MF001, AA.MF002, PURMA.MA003, PURTG.UDF01, PURTG.UDF02, PURTG.UDF03 , "
    "PURTG.UDF04, PURTG.UDF05, PURTG.UDF06, PURTG.UDF51, PURTG.UDF52, PURTG.UDF53 , PURTG.UDF54, PURTG.UDF55, "
    "PURTG.UDF56,CMSMA.MA069,CMSMA.MA069,THC02,CMSMF.MF010,CMSMF1.MF010 ";

const char* const OuterJoinSelect =
    "SELECT TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002 AS CMSMQ002,PURMA.MA002 AS MA002,TG004,TG007,TG008,TG025,TG016,"
    "CMSMB.MB002 AS CMSMB002,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,TH003,TH004,TH005,TH006,TH009,TH008,TH035,"
    "TH014,TH007,TD015,INVMC.MC003 AS INVMC003,INVMB.MB045 AS INVMB045,TH015,TH016,TH017,TH018,TH010,TH036,TH037,TH011,TH012,"
    "TH013,TH042,TH028,TH019,TH020,TH024,(TH011||'-'||TH012||'-'||TH013) AS TH011T,TH033,TG017,TG020,TG018,TG019,(TG019+TG028) "
    "AS TG019T,TG026,TG059,CMSNO.NO002 AS CMSNO002,(TH047+TH048+TH024) AS TH019T ,TG028,TD025,CMSMC.MC002 AS CMSMC002 ,"
    "CMSMF.MF004 AS CMSMF004,TG021,TG014 ,TG030,TH045,TH046,TH047,TH048,TG031,TG032,(TG031+TG032) AS TG031T,TG033,NA003 ,TG041,"
    "TH052,TG034,TG035,TG036,TG037,TG038,TG039 ,TD017,PUR.MA002 AS PURMA002,TD029,TD009,TD008 ,TG040,TH049,TH050,TH051,TH053,"
    "TH060,TH059,TH058,TH057,TH056,MB130,MB121 ,PURMA.MA010 AS PURMA010,PURMA.MA011 AS PURMA011 ";

const char* const OuterJoinFrom =
    " FROM $$PURTG PURTG,$$PURTH PURTH,$$CMSMQ CMSMQ,$$PURMA PURMA,$$CMSMB CMSMB, $$PURTD PURTD,$$INVMB INVMB,$$CMSMC CMSMC,"
    "$$CMSMF CMSMF,$$CMSNA CMSNA,$$PURMA PUR,  $$INVMC INVMC ";

// The joins both LEFT JOIN statements share, up to the company currency.
const char* const JoinsToCurrency =
    " LEFT  JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 LEFT  JOIN $$CMSMQ AS CMSMQ ON TG001=MQ001   LEFT  JOIN "
    "$$PURMA AS PURMA ON TG005=PURMA.MA001 LEFT  JOIN $$CMSMB AS CMSMB ON TG004=CMSMB.MB001 LEFT  JOIN $$PURTD AS PURTD ON "
    "TH011=TD001 AND TH012=TD002 AND TH013=TD003 LEFT  JOIN $$INVMB AS INVMB ON TH004=INVMB.MB001";

QString L(const char* text) { return QString::fromUtf8(text); }

// "CMSMF.MF001= '<currency>' ": the setting is written as a literal, its quotes doubled.
QString CurrencyLiteral(const QString& sys003) { return SqlQuoted(sys003) + QLatin1Char(' '); }

}  // namespace

QString TKelm24Query::TypeCondition(const QString& Type) { return QLatin1Char('=') + SqlQuoted(Type); }

QString TKelm24Query::ApprovalCondition(const QString& StatusText)
{
    if (StatusText == QStringLiteral("已审核")) return QStringLiteral("='Y' ");
    if (StatusText == QStringLiteral("未审核")) return QStringLiteral("='N' ");
    if (StatusText == QStringLiteral("作废")) return QStringLiteral("='V' ");
    return QString();
}

QString TKelm24Query::PrintStatusCondition(const QString& StatusText)
{
    if (StatusText == QStringLiteral("已打印")) return QStringLiteral("<>0");
    if (StatusText == QStringLiteral("未打印")) return QStringLiteral("=0");
    return QString();
}

void TKelm24Query::SetDetailStatement()
{
    SQL.SetSelectPart(L(DetailSelect1));
    QString more;
    for (const char* text : DetailSelect2) more += L(text);
    SQL.SetSelectPart(SQL.SelectPart() + more);
    SQL.SetSelectPart(SQL.SelectPart() + QStringLiteral(", THC01, THC02 "));
    more.clear();
    for (const char* text : DetailSelect4) more += L(text);
    SQL.SetSelectPart(SQL.SelectPart() + more);
    SQL.SetSelectPart(SQL.SelectPart() + QStringLiteral(",CMSMA.MA069 AS TH068C,CMSMA.MA069 AS TH069C "));
    SQL.SetSelectPart(SQL.SelectPart() + QStringLiteral(", CMSMF.MF010 AS MF010B,CMSMF1.MF010 AS MF010A "));

    SQL.SetFromPart(QStringLiteral(" FROM $$PURTG AS PURTG"));

    SQL.SetJoinPart(L(JoinsToCurrency) + QStringLiteral(" LEFT  JOIN $$CMSMC AS CMSMC ON TH009=MC001 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF ON CMSMF.MF001= ") + CurrencyLiteral(Input.Sys003) +
                    QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF1 ON CMSMF1.MF001= TG007 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSNA AS CMSNA ON NA002=TG033 AND NA001='1' ") +
                    QStringLiteral(" LEFT  JOIN $$PURMA AS PUR ON TD017=PUR.MA001 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSNO AS CMSNO ON NO001=TG059 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSME AS CMSME ON ME001=TG049 ") +
                    QStringLiteral(" LEFT  JOIN $$INVMC AS INVMC ON TH004=INVMC.MC001 AND TH009=INVMC.MC002 ") +
                    QStringLiteral(" LEFT  JOIN $$KBSMC AS KBSMC ON KBSMC.MC001=TH073"));
    SQL.SetJoinPart(SQL.JoinPart() + QStringLiteral(" LEFT JOIN $$ADMMF AS AA ON AA.MF001 = PURTG.CREATOR ") +
                    QStringLiteral(" LEFT JOIN $$ADMMF AS BB ON BB.MF001 = PURTH.TH038 "));
    SQL.SetJoinPart(SQL.JoinPart() + QStringLiteral(" LEFT JOIN $$CMSMA AS CMSMA ON 1=1 "));

    SQL.SetGroupByPart(QString());
}

void TKelm24Query::SetSummaryStatement()
{
    SQL.SetSelectPart(L(SummarySelect));
    SQL.SetSelectPart(SQL.SelectPart() + QStringLiteral(", CMSMF.MF010 AS MF010B,CMSMF1.MF010 AS MF010A "));

    SQL.SetFromPart(QStringLiteral(" FROM $$PURTG AS PURTG"));

    QString joins = L(JoinsToCurrency) + QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF ON CMSMF.MF001= ") +
                    CurrencyLiteral(Input.Sys003) + QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF1 ON CMSMF1.MF001= TG007 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSNA AS CMSNA ON NA002=TG033 AND NA001='1' ") +
                    QStringLiteral(" LEFT  JOIN $$PURMA AS PUR ON TD017=PUR.MA001 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSME AS CMSME ON ME001=TG049 ") +
                    QStringLiteral(" LEFT  JOIN $$CMSNO AS CMSNO ON NO001=TG059 ") +
                    QStringLiteral(" LEFT  JOIN $$INVMC AS INVMC ON TH004=INVMC.MC001 AND TH009=INVMC.MC002 ") +
                    QStringLiteral(" LEFT  JOIN $$KBSMC AS KBSMC ON KBSMC.MC001=TH073") +
                    QStringLiteral(" LEFT JOIN $$ADMMF AS AA ON AA.MF001 = PURTG.CREATOR ") +
                    QStringLiteral(" LEFT JOIN $$ADMMF AS BB ON BB.MF001 = PURTH.TH038 ") +
                    QStringLiteral(" LEFT JOIN $$CMSMA AS CMSMA ON 1=1 ");
    QString groupBy = L(SummaryGroupBy);
    QString extraSelect;
    // Item and unit (with type and number) always group the lines; warehouse,
    // unit cost and lot only when chosen.
    if (Input.KeyWarehouse) {
        extraSelect += QStringLiteral(",TH009,CMSMC.MC002 AS CMSMC002 ");
        groupBy += QStringLiteral(",TH009,CMSMC.MC002 ");
        joins += QStringLiteral(" LEFT  JOIN $$CMSMC AS CMSMC ON TH009=CMSMC.MC001 ");
    }
    if (Input.KeyUnitCost) {
        extraSelect += QStringLiteral(",TH018 ");
        groupBy += QStringLiteral(",TH018 ");
    }
    if (Input.KeyLot) {
        extraSelect += QStringLiteral(",TH010 ");
        groupBy += QStringLiteral(",TH010 ");
    }
    SQL.SetJoinPart(joins);
    SQL.SetGroupByPart(groupBy);
    SQL.SetSelectPart(SQL.SelectPart() + extraSelect);
}

void TKelm24Query::SetOuterJoinStatement(QString& Where)
{
    SQL.SetSelectPart(L(OuterJoinSelect));
    SQL.SetSelectPart(SQL.SelectPart() + QStringLiteral(", THC01, THC02 "));
    // The select list names CMSNO.NO002 (the project name), so the table
    // must be in the list too, outer-joined like the others.
    SQL.SetFromPart(L(OuterJoinFrom) + QStringLiteral(", $$CMSNO CMSNO "));
    Where = QStringLiteral(" WHERE TG001=TH001(+) AND TG002=TH002(+) AND TG001=MQ001(+) AND TG005=PURMA.MA001(+)  AND "
                           "TG004=CMSMB.MB001(+) AND TH011=TD001(+) AND TH012=TD002(+) AND TH013=TD003(+)  AND "
                           "TH004=INVMB.MB001(+) AND TH009=MC001(+) AND CMSMF.MF001(+)= ") +
            CurrencyLiteral(Input.Sys003) +
            QStringLiteral(" AND TG033=NA002(+) AND NA001(+)='1' AND TD017=PUR.MA001(+) ") +
            QStringLiteral(" AND TH004=INVMC.MC001(+) AND TH009=INVMC.MC002(+) ") + QStringLiteral(" AND TG059=NO001(+) ");
}

void TKelm24Query::BuildReportSQL(int AMode, const Variant& AParams, QString& ASQL)
{
    Q_UNUSED(ASQL);
    if ((AMode == 0 || AMode == 1) && (!AParams.IsArray() || AParams.DimCount() != 1))
        throw Exception(QStringLiteral("进货单的查询条件应是一维数组，收到的是 %1").arg(AParams.TypeName()));
    SendStatusCondition = SendStatusFromValues(AMode, AParams, Input.OptionCount);
    // Every run starts from empty parts, so nothing of an earlier run (a
    // summary's Group By, another SQL type's joins) is left over.
    SQL.Clear();
    QString where;
    if (Input.SQLType == 0) {
        if (Input.Summary)
            SetSummaryStatement();
        else
            SetDetailStatement();
        where = QStringLiteral(" WHERE 1=1 ");
    } else if (Input.SQLType == 1) {
        SetOuterJoinStatement(where);
    }

    QString clause;
    if (AMode == 0) {
        TReportSQL::AppendCondition(where, QStringLiteral("TG001"), CheckedTypeCondition(SlotText(AParams, 1)));
        AddFieldCondition(where, QStringLiteral("TG002"), Slot(AParams, 2), 1, clause);
        AddFieldCondition(where, QStringLiteral("TG014"), Slot(AParams, 6), 1, clause);
        TReportSQL::AppendCondition(where, QStringLiteral("TG013"),
                                    CheckedChoice(QStringLiteral("TG013"), SlotText(AParams, 4),
                                                  {QStringLiteral("='Y'"), QStringLiteral("='N'"), QStringLiteral("='V'")}));
        if (Input.PrintStatus != AllText)
            TReportSQL::AppendCondition(where, QStringLiteral("TG012"),
                                        CheckedChoice(QStringLiteral("TG012"), SlotText(AParams, 5),
                                                      {QStringLiteral("<>0"), QStringLiteral("=0")}));
    } else if (AMode == 1) {
        // The host's texts become literals: a quote in them is doubled.
        const QString type = ArrayText(AParams, 0), number = ArrayText(AParams, 1);
        if (!type.isEmpty()) TReportSQL::AppendCondition(where, QStringLiteral("TG001"), TypeCondition(type));
        if (!number.isEmpty()) TReportSQL::AppendCondition(where, QStringLiteral("TG002"), TypeCondition(number));
    }
    SQL.SetWherePart(where);

    if (Input.Summary)
        SQL.SetOrderByPart(QStringLiteral("ORDER BY TG001,TG002 "));
    else if (Input.NewPage)
        SQL.SetOrderByPart(QStringLiteral("ORDER BY TG001,TG002,TH009,TH003 "));
    else
        SQL.SetOrderByPart(QStringLiteral("ORDER BY TG001,TG002,TH003 "));
}

void TKelm24Query::ComposeSQL(QString& ASQL)
{
    SQL.ComposeSQL(Input.SendMode, Input.SendStatusField, SendStatusCondition, Input.MainTable, Input.PowerData);
    ASQL = SQL.SelectPart() + SQL.FromPart() + SQL.JoinPart() + SQL.WherePart();
    if (Input.Summary) ASQL += SQL.GroupByPart();
    ASQL += SQL.OrderByPart();
}

}  // namespace kelm24
