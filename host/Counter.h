// The counter object: system settings per company (GetSysInfo) and the
// counter functions (GetCounter): SIMPLESQL, ONHOLD, UNITCONVERT,
// RESULTCONNECTSTRING.
#pragma once

#include "host/HostData.h"

namespace kelm24 {

class TCounter : public TAutomationObject {
public:
    explicit TCounter(std::shared_ptr<THostData> data);

    Variant SysInfo(const QString& company);
    // Quantity q of an item in unit `from` expressed in unit `to`.
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
    std::shared_ptr<THostData> data_;
};

}  // namespace kelm24
