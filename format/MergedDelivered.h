// The merged receipt layout prints one line for several receipt lines of the
// same item; the quantity already delivered on their purchase orders is summed
// over all of them with a look-up of its own, on a database connection the
// host's counter names ("ResultConnectString": "Driver=QSQLITE;Database=file"
// or "Driver=QPSQL;Host=...;Port=...;Database=...;User=...;Password=...").
#pragma once

#include <QString>
#include <QVariant>
#include <functional>

namespace kelm24 {

// The values of one printed line the look-up needs.
struct TMergedLine {
    QString Item, Unit, Type, Number;  // TH004, TH008, TG001, TG002
    bool HasWarehouse = false, HasPrice = false, HasLot = false;
    QString Warehouse, Lot;            // TH009, TH010
    double Price = 0;                  // TH018
};

class TMergedDelivered {
public:
    // Converts a quantity of an item from one unit to another.
    using TUnitConvert = std::function<double(const QString& item, double quantity, const QString& from, const QString& to)>;

    TMergedDelivered();
    ~TMergedDelivered();
    TMergedDelivered(const TMergedDelivered&) = delete;
    TMergedDelivered& operator=(const TMergedDelivered&) = delete;

    bool Connected() const;
    // Opens the connection a connection string names; raises kelm24::Exception
    // with the driver's reason when it cannot.
    void Connect(const QString& connectString);

    // The statement as the layout writes it, for a database of that name
    // ("DEMO..PURTD"), with the optional conditions the data set allows.
    static QString Statement(const QString& database, bool warehouse, bool price, bool lot);
    // The statement as a database without "database.." names runs it.
    static QString ForDriver(const QString& statement);

    // The delivered quantity of the line's order lines, in the line's unit
    // when converting is on and an order's unit differs. Raises on SQL errors.
    double Delivered(const QString& database, const TMergedLine& line, bool convert, const TUnitConvert& unitConvert);

private:
    QString connection_;
};

}  // namespace kelm24
