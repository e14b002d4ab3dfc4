// The texts of client data sets in the interface's code page: column labels
// converted once, string columns read and written through text handlers, so
// a traditional-Chinese user reads and types the texts of a simplified
// database in traditional characters. Option forms and format forms call it
// on their data sets alike.
#pragma once

#include <QString>
#include <functional>

class QObject;

namespace kelm24 {

class TField;

// The two directions of a form's code converter: program or database text to
// the screen, and a typed text back.
struct TDisplayConversion {
    std::function<QString(const QString&)> ToDisplay;
    std::function<QString(const QString&)> FromDisplay;
};

// Every TClientDataSet Owner holds (at any depth): each field's display label
// through ToDisplay; string fields without handlers of their own read through
// ToDisplay and store typed texts through FromDisplay. The settings hold for
// fields made later, when the sets open.
void LocalizeClientDataSets(QObject* Owner, const TDisplayConversion& Conversion);
// The same for one field.
void LocalizeField(TField& Field, const TDisplayConversion& Conversion);

}  // namespace kelm24
