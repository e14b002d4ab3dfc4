#include "host/Counter.h"

#include "appserver/ServerSettings.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"

#include <QRegularExpression>

namespace kelm24 {

namespace {
QString Text(const Variant& v) { return v.IsEmpty() || v.IsNull() ? QString() : v.ToString(); }
}  // namespace

TCounter::TCounter(std::shared_ptr<THostData> data) : TAutomationObject(QStringLiteral("TCounter")), data_(std::move(data))
{
    AddMethod(member::GetSysInfo, [this](VariantArgs& a) { return SysInfo(Arg(a, 0, member::GetSysInfo).ToString()); });
    AddMethod(member::GetCounter, [this](VariantArgs& a) {
        Arg(a, 1, member::GetCounter);
        return Run(Arg(a, 0, member::GetCounter).ToString().toUpper(), a[1]);
    });
}

Variant TCounter::SysInfo(const QString& company)
{
    QVector<THostRow> rows = data_->Rows(QStringLiteral("SELECT SY002, SY003 FROM ADMSY WHERE SY001=:K0 ORDER BY SY002"), {company});
    Variant info = Variant::CreateArray(0, 1, 0, static_cast<int>(rows.size()) - 1);
    for (int i = 0; i < rows.size(); ++i) {
        info.At(0, i) = Text(rows[i][0]);
        info.At(1, i) = Text(rows[i][1]);
    }
    return info;
}

Variant TCounter::Run(const QString& function, Variant& args)
{
    auto arg = [&](int i) -> Variant {
        if (!args.IsArray() || i > args.HighBound() - args.LowBound())
            throw Exception(QStringLiteral("计数器函数 %1 缺少第 %2 个参数").arg(function).arg(i + 1));
        return args[args.LowBound() + i];
    };
    if (function == QLatin1String("SIMPLESQL")) return SimpleSql(Text(arg(0)), Text(arg(1)));
    if (function == QLatin1String("UNITCONVERT"))
        return Variant::ArrayOf({UnitConvert(Text(arg(0)), arg(1).ToDouble(), Text(arg(2)), Text(arg(3)))});
    if (function == QLatin1String("ONHOLD"))
        return Variant::ArrayOf({OnHold(Text(arg(0)), Text(arg(1)), Text(arg(2)), Text(arg(3)), Text(arg(4)))});
    if (function == QLatin1String("RESULTCONNECTSTRING")) return Variant::ArrayOf({ResultConnectString()});
    throw Exception(QStringLiteral("计数器没有函数 %1").arg(function));
}

Variant TCounter::SimpleSql(const QString& sql, const QString& field)
{
    // The column-length question of SQL Server's catalogue, answered from what we keep.
    static const QRegularExpression catalogue(
        QStringLiteral("syscolumns.*obj\\.name\\s*=\\s*'(\\w+)'.*col\\.name\\s*=\\s*'(\\w+)'"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    auto m = catalogue.match(sql);
    if (m.hasMatch()) {
        // Asked of the company database's own catalogue through the server.
        const Variant length = data_->AppServer().Call(member::ColumnLength,
                                                      {Variant::ArrayOf({m.captured(1), m.captured(2)})});
        return Variant::ArrayOf({Variant::ArrayOf({length.ToInt()})});
    }
    Variant packet = data_->AppServer().Call(member::AS_GetRecords, {QStringLiteral("pvdTemp"), sql, Variant()});
    const Variant defs = packet[0];
    int column = -1;
    for (int i = 0; i < defs.Count(); ++i)
        if (defs[i][0].ToString().compare(field, Qt::CaseInsensitive) == 0) column = i;
    if (column < 0 && defs.Count() > 0) column = 0;
    std::vector<Variant> out;
    for (const Variant& row : packet[1].Elements()) out.push_back(Variant::ArrayOf({row[column]}));
    return Variant::ArrayOf(out);
}

double TCounter::UnitRate(const QString& item, const QString& unit)
{
    const QString key = item + QChar(0) + unit;
    const auto known = unitRates_.constFind(key);
    if (known != unitRates_.constEnd()) return known.value();
    const double rate = StoredUnitRate(item, unit);  // a missing rate throws and is asked again next time
    unitRates_.insert(key, rate);
    return rate;
}

double TCounter::StoredUnitRate(const QString& item, const QString& unit) const
{
    QVector<THostRow> stock = data_->Rows(QStringLiteral("SELECT MB004 FROM INVMB WHERE MB001=:K0"), {item});
    if (stock.isEmpty()) throw Exception(QStringLiteral("品号 %1 不存在").arg(item));
    if (Text(stock[0][0]) == unit) return 1;
    QVector<THostRow> rate = data_->Rows(QStringLiteral("SELECT MD003, MD004 FROM INVMD WHERE MD001=:K0 AND MD002=:K1"), {item, unit});
    // A zero on either side is no conversion: it would give 0 or an infinite quantity.
    if (rate.isEmpty() || rate[0][0].ToDouble() == 0 || rate[0][1].ToDouble() == 0)
        throw Exception(QStringLiteral("品号 %1 没有单位 %2 的换算").arg(item, unit));
    return rate[0][0].ToDouble() / rate[0][1].ToDouble();
}

double TCounter::UnitConvert(const QString& item, double q, const QString& from, const QString& to)
{
    if (from == to) return q;
    return q * UnitRate(item, from) / UnitRate(item, to);
}

double TCounter::OnHold(const QString& item, const QString& orderType, const QString& orderNumber, const QString& orderSeq,
                        const QString& date)
{
    QVector<THostRow> order = data_->Rows(QStringLiteral("SELECT TD009 FROM PURTD WHERE TD001=:K0 AND TD002=:K1 AND TD003=:K2"),
                                          {orderType, orderNumber, orderSeq});
    if (order.isEmpty()) return 0;
    const QString orderUnit = Text(order[0][0]);
    // Lines of receipts up to the date that are not void and wait for inspection.
    QVector<THostRow> lines = data_->Rows(
        QStringLiteral("SELECT TH007, TH008 FROM PURTH LEFT JOIN PURTG ON TG001=TH001 AND TG002=TH002 "
                       "WHERE TH011=:K0 AND TH012=:K1 AND TH013=:K2 AND TH028='1' AND TG013<>'V' AND TG014<=:K3"),
        {orderType, orderNumber, orderSeq, date.isEmpty() ? QStringLiteral("99991231") : date});
    double held = 0;
    for (const THostRow& l : lines) held += UnitConvert(item, l[0].ToDouble(), Text(l[1]), orderUnit);
    return held;
}

QString TCounter::ResultConnectString()
{
    if (data_->ServerIniFile.isEmpty()) throw Exception(QStringLiteral("不知道服务器设置文件, 无法给出数据库连接"));
    TServerSettings s = TServerSettings::FromIniFile(data_->ServerIniFile);
    if (s.Engine == TSqlEngine::SQLite) return QStringLiteral("Driver=QSQLITE;Database=%1").arg(s.DatabaseFile);
    return QStringLiteral("Driver=QPSQL;Host=%1;Port=%2;Database=%3;User=%4;Password=%5")
        .arg(s.Host).arg(s.Port).arg(s.DatabaseName, s.UserName, s.Password);
}

}  // namespace kelm24
