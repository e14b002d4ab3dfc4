#include "format/ReceiptRules.h"

#include "format/engine/QRMask.h"
#include "kelm24/HostObjects.h"
#include "runtime/SqlCondition.h"

#include <algorithm>

namespace kelm24 {

QString ReceiptCondition(const QString& type, const QString& number)
{
    return QStringLiteral("TG001=") + SqlQuoted(type) + QStringLiteral(" ") + QStringLiteral(" and TG002=") +
           SqlQuoted(number) + QStringLiteral(" ");
}

QString PricedQuantitySQL(const QString& type, const QString& number)
{
    return QStringLiteral(" SELECT SUM(TH016) as TH016B FROM $$PURTH PURTH  WHERE TH001=") + SqlQuoted(type) +
           QStringLiteral(" AND TH002=") + SqlQuoted(number) + QStringLiteral(" ");
}

bool NeedsUnitConversion(const QString& sys024, const QString& orderUnit, const QString& receiptUnit)
{
    return !sys024.isEmpty() && sys024 != QLatin1String("2") && orderUnit != receiptUnit;
}

QString QuantityText(double quantity) { return FormatFloat(QStringLiteral("0.######"), quantity); }
QString RateText(double rate) { return FormatFloat(QStringLiteral("0.##"), rate); }
QString ShortestText(double value) { return FloatToStr(value); }

double OverReceiptRate(double delivered, double ordered)
{
    return delivered > ordered && ordered > 0 ? (delivered / ordered - 1) * 100 : 0;
}

QString AmountMask(int decimals)
{
    return QStringLiteral("#,##0.") + QString(std::clamp(decimals, 0, 13), QLatin1Char('#'));
}

Variant TReceiptCounter::Call(const QString& function, Variant args) const
{
    if (!Assigned()) return Variant();
    return TCounterObject(counter_).GetCounter(function, args, company_, database_);
}

Variant TReceiptCounter::First(const QString& function, const Variant& args) const
{
    if (!Assigned())
        throw Exception(QStringLiteral("没有主程序的计数器对象 (Counter), 无法执行计数器函数 %1!").arg(function.toUpper()));
    Variant answer = Call(function, args);
    if (!answer.IsArray() || answer.Count() < 1)
        throw Exception(QStringLiteral("计数器函数 %1 没有回传结果!").arg(function.toUpper()));
    return answer[answer.LowBound()];
}

double TReceiptCounter::UnitConvert(const QString& item, double quantity, const QString& from, const QString& to) const
{
    return First(counterfn::UnitConvert, Variant::ArrayOf({Variant(item), Variant(quantity), Variant(from), Variant(to)}))
        .ToDouble();
}

double TReceiptCounter::UnitConvertOrZero(const QString& item, double quantity, const QString& from,
                                         const QString& to) const
{
    Variant answer =
        Call(counterfn::UnitConvert, Variant::ArrayOf({Variant(item), Variant(quantity), Variant(from), Variant(to)}));
    return answer.IsArray() && answer.Count() > 0 ? answer[answer.LowBound()].ToDouble() : 0;
}

Variant TReceiptCounter::OnHold(const QString& item, const QString& orderType, const QString& orderNumber,
                                const QString& orderSeq, const QString& date) const
{
    Variant answer = Call(counterfn::OnHold, Variant::ArrayOf({Variant(item), Variant(orderType), Variant(orderNumber),
                                                               Variant(orderSeq), Variant(date), Variant("N")}));
    return answer.IsArray() && answer.Count() > 0 ? answer[answer.LowBound()] : Variant();
}

QString TReceiptCounter::ConnectString() const
{
    return First(counterfn::ResultConnectString, Variant::ArrayOf({Variant(QString())})).ToString();
}

}  // namespace kelm24
