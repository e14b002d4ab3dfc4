#include "format/engine/DataSetTexts.h"

#include "format/engine/ClientDataSet.h"

namespace kelm24 {

void LocalizeField(TField& Field, const TDisplayConversion& Conversion)
{
    if (Conversion.ToDisplay) Field.SetDisplayLabel(Conversion.ToDisplay(Field.DisplayLabel()));
    // Long texts (memos) arrive as string fields too; numbers, dates and
    // binary columns have no characters to convert.
    if (Field.DataType() != TFieldType::String) return;
    if (!Field.OnGetText && Conversion.ToDisplay)
        Field.OnGetText = [toDisplay = Conversion.ToDisplay](TField&, QString& Text, bool) { Text = toDisplay(Text); };
    if (!Field.OnSetText && Conversion.FromDisplay)
        Field.OnSetText = [fromDisplay = Conversion.FromDisplay](TField& Sender, const QString& Text) {
            Sender.SetAsString(fromDisplay(Text));
        };
}

void LocalizeClientDataSets(QObject* Owner, const TDisplayConversion& Conversion)
{
    if (!Owner) return;
    for (TClientDataSet* dataSet : Owner->findChildren<TClientDataSet*>())
        dataSet->SetFieldSetup([Conversion](TField& field) { LocalizeField(field, Conversion); });
}

}  // namespace kelm24
