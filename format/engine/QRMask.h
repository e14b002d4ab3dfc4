// Display masks of report fields ("#,##0.00", "0.######", "0.##"): the
// numeric format pictures of the layouts.
#pragma once

#include "kelm24/Variant.h"

#include <QString>

namespace kelm24 {

// Formats value with a numeric picture: up to three ";"-separated sections
// (positive; negative; zero), "0" digit or zero, "#" digit or nothing, the
// first "." the decimal point, "," anywhere in the integer part groups
// thousands, text in quotes and other characters copied. Rounds half away
// from zero at the picture's last decimal, on the value's 15 significant
// digits (so 2.675 with "0.00" gives "2.68"). An empty mask gives the shortest
// general form.
QString FormatFloat(const QString& mask, double value);

// The shortest general decimal form of a value (12.5, 0.125, 100).
QString FloatToStr(double value);

// What a field with this mask prints: numbers (and texts that read as
// numbers) through FormatFloat; other texts, and every value without a mask,
// unchanged.
QString FormatMasked(const QString& mask, const Variant& value);

}  // namespace kelm24
