// The rules of the receipt layouts that need no form: the statements they
// send (values quoted as literals), the unit-conversion rule, the quantity
// and rate texts, the amount masks, and the host counter's functions.
#pragma once

#include "kelm24/Variant.h"

#include <QString>

namespace kelm24 {

// The condition of one receipt: "TG001='3401'  and TG002='2024...' ", the
// values as literals with their quotes doubled.
QString ReceiptCondition(const QString& type, const QString& number);
// The total priced quantity of a receipt's lines.
QString PricedQuantitySQL(const QString& type, const QString& number);

// Whether a quantity in the order's unit is converted into the receipt's
// unit: the setting "Sys024" is neither empty nor "2" and the units differ.
bool NeedsUnitConversion(const QString& sys024, const QString& orderUnit, const QString& receiptUnit);

// "0.######" (delivered), "0.##" (over-receipt rate), shortest decimal form.
QString QuantityText(double quantity);
QString RateText(double rate);
QString ShortestText(double value);
// The over-receipt rate in percent: (delivered / ordered - 1) x 100 when more
// than ordered was delivered on an order of more than nothing, else 0.
double OverReceiptRate(double delivered, double ordered);
// The mask of an amount with the currency's decimals: "#,##0." and one "#"
// per decimal (at most thirteen).
QString AmountMask(int decimals);

// The mask printed instead of a total on pages before a document's last.
inline const QString TotalMask = QStringLiteral("************.**");

// The host's counter functions as the receipt layouts call them.
class TReceiptCounter {
public:
    TReceiptCounter(Variant counter, QString companyCode, QString databaseName)
        : counter_(std::move(counter)), company_(std::move(companyCode)), database_(std::move(databaseName))
    {
    }
    bool Assigned() const { return counter_.IsObject(); }
    // The counter's answer to a function; Empty without a counter object.
    Variant Call(const QString& function, Variant args) const;
    // Element 0 of an answer that must hold one; without a counter object
    // (or with an empty answer) the run ends with a message naming the
    // function and what is missing.
    Variant First(const QString& function, const Variant& args) const;

    // Quantity converted into another unit ("UnitConvert").
    double UnitConvert(const QString& item, double quantity, const QString& from, const QString& to) const;
    // The same where an empty answer counts as 0 (the delivered quantity).
    double UnitConvertOrZero(const QString& item, double quantity, const QString& from, const QString& to) const;
    // Receipt quantity still waiting for inspection on an order line ("OnHold").
    Variant OnHold(const QString& item, const QString& orderType, const QString& orderNumber, const QString& orderSeq,
                   const QString& date) const;
    // The connection string of the merged layout's own look-ups.
    QString ConnectString() const;

private:
    Variant counter_;
    QString company_, database_;
};

}  // namespace kelm24
