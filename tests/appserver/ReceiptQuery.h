// The receipt report's detail statement as the receipt option form writes it
// for SQL type 0, with the conditions of a document type, a number range and
// the approval and print status, so tests and benchmarks send the server what
// the plug-in sends.
#pragma once

#include <QString>

namespace kelm24::test {

inline QString SelectPart(const QString& text)
{
    QString t = text.trimmed();
    if (!t.toUpper().startsWith(QLatin1String("SELECT "))) t = QStringLiteral("Select ") + t;
    return t + QLatin1Char(' ');
}

inline QString ReceiptDetailSelect()
{
    QString s = SelectPart(QStringLiteral(
        "SELECT TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002 AS CMSMQ002,PURMA.MA002 AS MA002,TG004,TG007,TG008,TG025,"
        "TG016,CMSMB.MB002 AS CMSMB002,TG049,CMSME.ME002 AS CMSME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,"
        "TH003,TH004,TH005,TH006,TH009,TH008,TH035,TH014,TH007,TD015,INVMB.MB045 AS INVMB045,TH015,TH016,TH017,TH018,TH010,"
        "TH036,TH037,TH011,TH012,TH013,TH042,TH028,TH072,INVMC.MC003 AS INVMC003,TH019,TH020,TH024,(TH011+'-'+TH012+'-'+TH013) "
        "AS TH011T,TH033,TG017,TG020,TG018,TG019,(TG019+TG028) AS TG019T,TG026,TG059,CMSNO.NO002 AS CMSNO002,(TH047+TH048+TH024) "
        "AS TH019T ,TG028,TD025,CMSMC.MC002 AS CMSMC002 ,CMSMF.MF004 AS CMSMF004,TG021,TG014 ,TG030,TH045,TH046,TH047,TH048,"
        "TG031,TG032,(TG031+TG032) AS TG031T,TG033,NA003 ,TG041,TH052,TG034,TG035,TG036,TG037,TG038,TG039 ,TD017,PUR.MA002 AS "
        "PURMA002,TD029,TD009,TD008 ,TG040,TH049,TH050,TH051,TH053,TH060,TH059,TH058,TH057,TH056,MB130,MB121 ,PURMA.MA010 AS "
        "PURMA010,PURMA.MA011 AS PURMA011 ,TH061,TH062,TH067,TH068,TH069,TH070 ,TG053,TG054 ,TG046,TH073,KBSMC.MC002 AS "
        "KBSMC002,KBSMC.MC003 AS KBSMC003"));
    s = SelectPart(s + QStringLiteral(", TG012, TG015, TG029, TG043, TG044, TG045, TG047, TG048 ") +
                   QStringLiteral(", TH021, TH022, TH023, TH025, TH026, TH027, TH029, TH030 ") +
                   QStringLiteral(", TH031, TH032, TH034, TH038, TH039, TH040, TH041, TH043 ") +
                   QStringLiteral(", TH044, TH054, TH055, TH066, TH071, TH072, TH064, TH065 ") + QStringLiteral(", TH080 ") +
                   QStringLiteral(", AA.MF001 AS AAMF001, AA.MF002 AS AAMF002, PURMA.MA003 AS PURMA003") +
                   QStringLiteral(", BB.MF002 AS BBMF002"));
    s = SelectPart(s + QStringLiteral(", THC01, THC02 "));
    s = SelectPart(s + QStringLiteral(", PURTG.UDF01 AS UDF01M, PURTG.UDF02 AS UDF02M, PURTG.UDF03 AS UDF03M ") +
                   QStringLiteral(", PURTG.UDF04 AS UDF04M, PURTG.UDF05 AS UDF05M, PURTG.UDF06 AS UDF06M ") +
                   QStringLiteral(", PURTG.UDF51 AS UDF51M, PURTG.UDF52 AS UDF52M, PURTG.UDF53 AS UDF53M ") +
                   QStringLiteral(", PURTG.UDF54 AS UDF54M, PURTG.UDF55 AS UDF55M, PURTG.UDF56 AS UDF56M ") +
                   QStringLiteral(", PURTH.UDF01 AS UDF01D, PURTH.UDF02 AS UDF02D, PURTH.UDF03 AS UDF03D ") +
                   QStringLiteral(", PURTH.UDF04 AS UDF04D, PURTH.UDF05 AS UDF05D, PURTH.UDF06 AS UDF06D ") +
                   QStringLiteral(", PURTH.UDF51 AS UDF51D, PURTH.UDF52 AS UDF52D, PURTH.UDF53 AS UDF53D ") +
                   QStringLiteral(", PURTH.UDF54 AS UDF54D, PURTH.UDF55 AS UDF55D, PURTH.UDF56 AS UDF56D "));
    s = SelectPart(s + QStringLiteral(",CMSMA.MA069 AS TH068C,CMSMA.MA069 AS TH069C "));
    return SelectPart(s + QStringLiteral(", CMSMF.MF010 AS MF010B,CMSMF1.MF010 AS MF010A "));
}

inline QString ReceiptDetailJoins(const QString& sys003)
{
    return (QStringLiteral(" LEFT  JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 LEFT  JOIN $$CMSMQ AS CMSMQ ON "
                           "TG001=MQ001   LEFT  JOIN $$PURMA AS PURMA ON TG005=PURMA.MA001 LEFT  JOIN $$CMSMB AS CMSMB ON "
                           "TG004=CMSMB.MB001 LEFT  JOIN $$PURTD AS PURTD ON TH011=TD001 AND TH012=TD002 AND TH013=TD003 "
                           "LEFT  JOIN $$INVMB AS INVMB ON TH004=INVMB.MB001 LEFT  JOIN $$CMSMC AS CMSMC ON TH009=MC001  "
                           "LEFT  JOIN $$CMSMF AS CMSMF ON CMSMF.MF001= '") +
            sys003 + QStringLiteral("' ") + QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF1 ON CMSMF1.MF001= TG007 ") +
            QStringLiteral(" LEFT  JOIN $$CMSNA AS CMSNA ON NA002=TG033 AND NA001='1' ") +
            QStringLiteral(" LEFT  JOIN $$PURMA AS PUR ON TD017=PUR.MA001 ") + QStringLiteral(" LEFT  JOIN $$CMSNO AS CMSNO ON NO001=TG059 ") +
            QStringLiteral(" LEFT  JOIN $$CMSME AS CMSME ON ME001=TG049 ") +
            QStringLiteral(" LEFT  JOIN $$INVMC AS INVMC ON TH004=INVMC.MC001 AND TH009=INVMC.MC002 ") +
            QStringLiteral(" LEFT  JOIN $$KBSMC AS KBSMC ON KBSMC.MC001=TH073")).trimmed() +
           QStringLiteral(" LEFT JOIN $$ADMMF AS AA ON AA.MF001 = PURTG.CREATOR  LEFT JOIN $$ADMMF AS BB ON BB.MF001 = PURTH.TH038 ") +
           QStringLiteral(" LEFT JOIN $$CMSMA AS CMSMA ON 1=1 ");
}

// The where text the receipt form writes for one document type (empty: all),
// receipt numbers from..to (empty: no limit), approved receipts not yet
// printed when those flags are set, and an optional permission condition
// merged as the option form merges it.
inline QString ReceiptWhere(const QString& type, const QString& from, const QString& to, bool approvedOnly,
                            bool unprintedOnly, const QString& permission = {})
{
    QString where = QStringLiteral(" WHERE 1=1 ");
    if (!type.isEmpty()) where += QStringLiteral(" and (TG001='%1')").arg(type);
    if (!from.isEmpty() || !to.isEmpty()) {
        QString clause = from == to ? QStringLiteral(" (TG002='%1') ").arg(from)
                         : to.isEmpty() ? QStringLiteral(" (TG002>= '%1')").arg(from)
                         : from.isEmpty() ? QStringLiteral(" (TG002<= '%1' OR TG002 IS NULL )").arg(to)
                                          : QStringLiteral(" (TG002 Between '%1' and '%2') ").arg(from, to);
        where += QStringLiteral(" and ") + clause;
    }
    if (approvedOnly) where += QStringLiteral(" and (TG013='Y' )");
    if (unprintedOnly) where += QStringLiteral(" and (TG012=0)");
    QString t = where.trimmed();
    int at = static_cast<int>(t.toUpper().indexOf(QLatin1String("WHERE ")));
    t.insert(at + 6, QLatin1Char('('));
    t += QLatin1Char(')');
    if (!permission.isEmpty()) t += QStringLiteral(" and (") + permission + QLatin1Char(')');
    return t + QLatin1Char(' ');
}

// The detail statement (one row per receipt line) with the conditions of ReceiptWhere.
inline QString ReceiptDetailStatement(const QString& type, const QString& from, const QString& to, bool approvedOnly,
                                      bool unprintedOnly, const QString& permission = {})
{
    return ReceiptDetailSelect() + QStringLiteral("FROM $$PURTG AS PURTG ") + ReceiptDetailJoins(QStringLiteral("RMB")) +
           ReceiptWhere(type, from, to, approvedOnly, unprintedOnly, permission) + QStringLiteral(" ORDER BY TG001,TG002,TH003 ");
}

// The summary keys beyond type, number, item and unit.
struct TSummaryKeys {
    bool Warehouse = false, UnitCost = false, Lot = false;
};

// The summary statement: lines of one item and unit merged per receipt, and
// per warehouse, unit cost and lot when those keys are chosen.
inline QString ReceiptSummaryStatement(const QString& type, const QString& from, const QString& to, TSummaryKeys keys,
                                       const QString& sys003 = QStringLiteral("RMB"))
{
    QString select = SelectPart(QStringLiteral(
        " SELECT TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002 AS CMSMQ002,PURMA.MA002 AS MA002,TG004,TG007,TG008,TG0"
        "25,TG016,CMSMB.MB002 AS CMSMB002,TG049,CMSME.ME002 AS CMSME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG01"
        "3,TH001,TH004,TH005,TH006,TH008,SUM(TH007) AS TH007,0 AS TD015,INVMB.MB045 AS INVMB045,SUM(TH015) AS TH015,SUM"
        "(TH016) AS TH016,SUM(TH017) AS TH017 ,SUM(TH019) AS TH019,SUM(TH020) AS TH020,SUM(TH024) AS TH024,TG017,TG020,"
        "TG018,TG019,(TG019+TG028) AS TG019T,TG026,SUM(TH047+TH048+TH024) AS TH019T,TG028,CMSMF.MF004 AS CMSMF004,TG021"
        ",TG014 ,TG030,TG031,TG032,(TG031+TG032) AS TG031T,TG033,NA003 ,TG041,TG034,TG035,TG036,TG037,TG038,TG039,TG040"
        ",MB130,MB121 ,PURMA.MA010 AS PURMA010,PURMA.MA011 AS PURMA011,SUM(TH061) AS TH061,SUM(TH068) AS TH068,TG053,TG"
        "054,TG046, TG012, TG015, TG029, TG043, TG044, TG045, TG047, TG048 , TG059,CMSNO.NO002 AS CMSNO002, AA.MF001 AS"
        " AAMF001, AA.MF002 AS AAMF002, PURMA.MA003 AS PURMA003 , PURTG.UDF01 AS UDF01M, PURTG.UDF02 AS UDF02M, PURTG.U"
        "DF03 AS UDF03M , PURTG.UDF04 AS UDF04M, PURTG.UDF05 AS UDF05M, PURTG.UDF06 AS UDF06M , PURTG.UDF51 AS UDF51M, "
        "PURTG.UDF52 AS UDF52M, PURTG.UDF53 AS UDF53M , PURTG.UDF54 AS UDF54M, PURTG.UDF55 AS UDF55M, PURTG.UDF56 AS UD"
        "F56M ,CMSMA.MA069 AS TH068C,CMSMA.MA069 AS TH069C "));
    select = SelectPart(select + QStringLiteral(", CMSMF.MF010 AS MF010B,CMSMF1.MF010 AS MF010A "));
    QString joins = QStringLiteral(
        " LEFT  JOIN $$PURTH AS PURTH ON TG001=TH001 AND TG002=TH002 LEFT  JOIN $$CMSMQ AS CMSMQ ON TG001=MQ001   LEFT "
        " JOIN $$PURMA AS PURMA ON TG005=PURMA.MA001 LEFT  JOIN $$CMSMB AS CMSMB ON TG004=CMSMB.MB001 LEFT  JOIN $$PURT"
        "D AS PURTD ON TH011=TD001 AND TH012=TD002 AND TH013=TD003 LEFT  JOIN $$INVMB AS INVMB ON TH004=INVMB.MB001 LEF"
        "T  JOIN $$CMSMF AS CMSMF ON CMSMF.MF001= '") +
        sys003 + QStringLiteral("' ") + QStringLiteral(" LEFT  JOIN $$CMSMF AS CMSMF1 ON CMSMF1.MF001= TG007 ") +
        QStringLiteral(" LEFT  JOIN $$CMSNA AS CMSNA ON NA002=TG033 AND NA001='1' ") + QStringLiteral(" LEFT  JOIN $$PURMA AS PUR ON TD017=PUR.MA001 ") +
        QStringLiteral(" LEFT  JOIN $$CMSME AS CMSME ON ME001=TG049 ") + QStringLiteral(" LEFT  JOIN $$CMSNO AS CMSNO ON NO001=TG059 ") +
        QStringLiteral(" LEFT  JOIN $$INVMC AS INVMC ON TH004=INVMC.MC001 AND TH009=INVMC.MC002 ") + QStringLiteral(" LEFT  JOIN $$KBSMC AS KBSMC ON KBSMC.MC001=TH073") +
        QStringLiteral(" LEFT JOIN $$ADMMF AS AA ON AA.MF001 = PURTG.CREATOR ") + QStringLiteral(" LEFT JOIN $$ADMMF AS BB ON BB.MF001 = PURTH.TH038 ") +
        QStringLiteral(" LEFT JOIN $$CMSMA AS CMSMA ON 1=1 ");
    QString groupBy = QStringLiteral(
        " GROUP BY TG042,TG001,TG002,TG003,TG005,TG006,CMSMQ.MQ002,PURMA.MA002,TG004,TG007,TG008,TG025,TG016,CMSMB.MB00"
        "2,TG049,CMSME.ME002 ,TG022,TG009,TG027,TG011,TG010,TG023,TG024,TG013,TH001,TH004,TH005,TH006,TH008,INVMB.MB045"
        ",TG017,TG020,TG018,TG019,(TG019+TG028),TG026,TG028,CMSMF.MF004,TG021,TG014 ,TG030,TG031,TG032,(TG031+TG032),TG"
        "033,NA003,TG041,TG034,TG035,TG036,TG037,TG038,TG039,TG040,MB130,MB121 ,PURMA.MA010,PURMA.MA011,TG053,TG054,TG0"
        "46, TG012, TG015, TG029, TG043, TG044, TG045, TG047, TG048, TG059,CMSNO.NO002 , AA.MF001, AA.MF002, PURMA.MA00"
        "3, PURTG.UDF01, PURTG.UDF02, PURTG.UDF03 , PURTG.UDF04, PURTG.UDF05, PURTG.UDF06, PURTG.UDF51, PURTG.UDF52, PU"
        "RTG.UDF53 , PURTG.UDF54, PURTG.UDF55, PURTG.UDF56,CMSMA.MA069,CMSMA.MA069,THC02,CMSMF.MF010,CMSMF1.MF010 ");
    QString extra;
    if (keys.Warehouse) {
        extra += QStringLiteral(",TH009,CMSMC.MC002 AS CMSMC002 ");
        groupBy += QStringLiteral(",TH009,CMSMC.MC002 ");
        joins += QStringLiteral(" LEFT  JOIN $$CMSMC AS CMSMC ON TH009=CMSMC.MC001 ");
    }
    if (keys.UnitCost) {
        extra += QStringLiteral(",TH018 ");
        groupBy += QStringLiteral(",TH018 ");
    }
    if (keys.Lot) {
        extra += QStringLiteral(",TH010 ");
        groupBy += QStringLiteral(",TH010 ");
    }
    select = SelectPart(select + extra);
    return select + QStringLiteral(" FROM $$PURTG AS PURTG ") + joins.trimmed() + QLatin1Char(' ') +
           ReceiptWhere(type, from, to, false, false) + groupBy.trimmed() + QStringLiteral(" ORDER BY TG001,TG002 ");
}

}  // namespace kelm24::test
