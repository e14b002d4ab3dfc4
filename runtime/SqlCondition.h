// WHERE-clause fragments built from condition values (a single value, a
// from/to range or a list) and from the user's row-permission rules. Text
// only: nothing here touches a database.
#pragma once

#include "kelm24/Variant.h"

#include <QString>

namespace kelm24 {

// Marker texts in element 0 of a condition array.
inline const QString RangeMarker = QString(QChar(4));
inline const QString ListMarker = QString(QChar(5));

// Quotes a value as an SQL string literal (embedded quotes doubled).
QString SqlQuoted(const QString& value);

// Builds the clause of one condition into Clause (empty when there is none)
// and appends it to Where ("Where " + clause, or " and " + clause). Mode 1
// writes texts as literals; modes 2 and 3 write numbers as they are and raise
// a kelm24::Exception naming the field for a value that is not a number; any
// other mode produces no clause. A list is written as literals in any mode.
void AddFieldCondition(QString& Where, const QString& Field, const Variant& Value, int Mode, QString& Clause);

// Turns permission rules ([N, "TABLE condition", ...]) into conditions that
// stay true for rows missing from an outer-joined table, one per reference
// of the table in FromText, each with that reference's alias. Aliases listed
// in Excluded (";"-separated, upper case) are left out.
void BuildOuterJoinConditions(const Variant& Rules, const QString& DatabaseName, const QString& FromText,
                              QString& Conditions, const QString& Excluded);

// The alias of Table given the text that follows its reference.
QString FindTableAlias(const QString& Table, const QString& Rest);

}  // namespace kelm24
