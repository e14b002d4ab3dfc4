// Small helpers the option forms share: building named components, reading
// rows of host answers, and comma lists of control names.
#pragma once

#include "controls/StdCtrls.h"
#include "kelm24/Variant.h"

#include <QString>
#include <QWidget>

namespace kelm24 {

// A component of the given class, named as the forms name it.
template <class T>
T* MakeControl(QWidget* parent, const char* name)
{
    T* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

TLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top);

// Element Index of a row, counted from the row's first element, as text;
// empty when the row lacks it or it is no text.
QString RowText(const Variant& Row, int Index);

// The first row of a pick answer (an array of rows, or one row); Empty when
// nothing was picked.
Variant FirstRow(const Variant& Data);

// Whether a comma list of control names holds Name (without regard to case).
bool NameListed(const QString& List, const QString& Name);

}  // namespace kelm24
