#include "options/FormParts.h"

#include "options/ReportSQL.h"

namespace kelm24 {

TLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top)
{
    auto* label = MakeControl<TLabel>(parent, name);
    label->SetCaption(caption);
    label->move(left, top);
    return label;
}

QString RowText(const Variant& Row, int Index)
{
    if (!Row.IsArray() || Index < 0) return QString();
    return ArrayText(Row, Row.LowBound() + Index);
}

Variant FirstRow(const Variant& Data)
{
    if (!Data.IsArray() || Data.Count() == 0) return Variant();
    const Variant& first = Data[Data.LowBound()];
    return first.IsArray() ? first : Data;
}

bool NameListed(const QString& List, const QString& Name)
{
    if (Name.isEmpty()) return false;
    for (const QString& entry : List.split(QLatin1Char(',')))
        if (entry.trimmed().compare(Name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace kelm24
