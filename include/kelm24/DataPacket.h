// The rows a provider of the application server hands to a client data set:
// field definitions and typed rows, nulls kept as Null.
//
// On the wire (and through the automation interface) a packet is a Variant:
//   [0] field definitions: array of [name (text), type (TFieldType as integer), size (integer)]
//   [1] rows: array of rows, each an array with one element per field
// A client data set asks for rows with the application server's member
//   AS_GetRecords(ProviderName, CommandText, Params) -> packet
// where Params is Empty or an array of [name, value] pairs.
#pragma once

#include "kelm24/Variant.h"

#include <QVector>
#include <vector>

namespace kelm24 {

namespace member {
inline const QString AS_GetRecords = QStringLiteral("AS_GetRecords");
}

enum class TFieldType { String = 0, Integer = 1, Float = 2, Date = 3, Boolean = 4, Blob = 5 };

struct TFieldDef {
    QString Name;
    TFieldType Type = TFieldType::String;
    int Size = 0;
};

struct KELM24_SDK TDataPacket {
    QVector<TFieldDef> Fields;
    std::vector<std::vector<Variant>> Rows;

    int FieldIndex(const QString& name) const;  // -1 when absent; names match without case
    Variant ToVariant() const&;
    Variant ToVariant() &&;  // moves the rows into the variant instead of copying them
    // Raises EVariantError when the value is not a packet of this shape.
    static TDataPacket FromVariant(const Variant& packet);
};

}  // namespace kelm24
