#include "kelm24/DataPacket.h"

namespace kelm24 {

int TDataPacket::FieldIndex(const QString& name) const
{
    for (int i = 0; i < Fields.size(); ++i)
        if (Fields[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

Variant TDataPacket::ToVariant() const
{
    Variant defs = Variant::CreateArray(0, static_cast<int>(Fields.size()) - 1);
    for (int i = 0; i < Fields.size(); ++i)
        defs[i] = Variant::ArrayOf({Fields[i].Name, static_cast<int>(Fields[i].Type), Fields[i].Size});
    Variant rows = Variant::CreateArray(0, static_cast<int>(Rows.size()) - 1);
    for (size_t r = 0; r < Rows.size(); ++r) rows[static_cast<int>(r)] = Variant::ArrayOf(Rows[r]);
    return Variant::ArrayOf({defs, rows});
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
    for (const Variant& r : rows.Elements()) {
        std::vector<Variant> row = r.Elements();
        if (row.size() != static_cast<size_t>(p.Fields.size()))
            throw EVariantError(QStringLiteral("Data packet row has %1 values for %2 fields").arg(row.size()).arg(p.Fields.size()));
        p.Rows.push_back(std::move(row));
    }
    return p;
}

}  // namespace kelm24
