// The counter object: system settings per company (GetSysInfo) and the
// counter functions (GetCounter): SIMPLESQL, ONHOLD, UNITCONVERT,
// RESULTCONNECTSTRING.
#pragma once

#include "host/HostData.h"

#include <QHash>

namespace kelm24 {

class TCounter : public TAutomationObject {
public:
    explicit TCounter(std::shared_ptr<THostData> data);

    Variant SysInfo(const QString& company);
    // Quantity q of an item in unit `from` expressed in unit `to`. The rates
    // are read once per item and unit for the life of the counter (one host
    // run): a print converts the unit of every detail line, and a rate changed
    // meanwhile shows from the next run on.
    double UnitConvert(const QString& item, double q, const QString& from, const QString& to);
    // Receipt quantity of an order line still waiting for inspection, in the order's unit.
    double OnHold(const QString& item, const QString& orderType, const QString& orderNumber, const QString& orderSeq,
                  const QString& date);
    // A connection string the merged layout opens: "Driver=QSQLITE;Database=<file>" or
    // "Driver=QPSQL;Host=..;Port=..;Database=..;User=..;Password=..".
    QString ResultConnectString();
    // Rows of a free query, each [value of the named field].
    Variant SimpleSql(const QString& sql, const QString& field);

private:
    Variant Run(const QString& function, Variant& args);
    double UnitRate(const QString& item, const QString& unit);
    double StoredUnitRate(const QString& item, const QString& unit) const;
    std::shared_ptr<THostData> data_;
    QHash<QString, double> unitRates_;  // item + unit -> units of stock per unit
};

}  // namespace kelm24
