#include "kelm24/DataPacket.h"

namespace kelm24 {

int TDataPacket::FieldIndex(const QString& name) const
{
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Variant TDataPacket::ToVariant() const&
{
    return TDataPacket(*this).ToVariant();
}

Variant TDataPacket::ToVariant() &&
{
    Variant defs = Variant::CreateArray(0, static_cast<int>(Fields.size()) - 1);
    for (int i = 0; i < Fields.size(); ++i)
        defs[i] = Variant::ArrayOf({Fields[i].Name, static_cast<int>(Fields[i].Type), Fields[i].Size});
    std::vector<Variant> rows;
    rows.reserve(Rows.size());
    for (std::vector<Variant>& row : Rows) rows.push_back(Variant::ArrayOf(std::move(row)));
    Rows.clear();
    return Variant::ArrayOf({defs, Variant::ArrayOf(std::move(rows))});
}

TDataPacket TDataPacket::FromVariant(const Variant& packet)
{
    if (!packet.IsArray() || packet.DimCount() != 1 || packet.Count() != 2)
        throw EVariantError(QStringLiteral("Invalid data packet"));
    TDataPacket p;
    const Variant& defs = packet[packet.LowBound()];
    const Variant& rows = packet[packet.LowBound() + 1];
    for (const Variant& d : defs.Elements()) {
        if (!d.IsArray() || d.Count() < 3) throw EVariantError(QStringLiteral("Invalid field definition in data packet"));
        int type = d[d.LowBound() + 1].ToInt();
        if (type < 0 || type > static_cast<int>(TFieldType::Blob))
            throw EVariantError(QStringLiteral("Invalid field type %1 in data packet").arg(type));
        p.Fields.push_back(TFieldDef{d[d.LowBound()].ToString(), static_cast<TFieldType>(type), d[d.LowBound() + 2].ToInt()});
    }
    p.Rows.reserve(static_cast<size_t>(rows.Count()));
    for (int i = rows.LowBound(); i <= rows.HighBound(); ++i) {
        std::vector<Variant> row = rows[i].Elements();
        if (row.size() != static_cast<size_t>(p.Fields.size()))
            throw EVariantError(QStringLiteral("Data packet row has %1 values for %2 fields").arg(row.size()).arg(p.Fields.size()));
        p.Rows.push_back(std::move(row));
    }
    return p;
}

}  // namespace kelm24
