// The date and year-month texts of one date type ("Sys001", 1 to 5) and
// separator ("Sys002"): edit masks, their blank renderings, and the way
// between a displayed text and the internal "YYYYMMDD" / "YYYYMM" text.
#pragma once

#include <QString>

namespace kelm24 {

class TDateTextRules {
public:
    TDateTextRules(int DateType, const QString& Separator) : type_(DateType), separator_(Separator) {}

    // The year part of the masks: "9999" for types 1 to 3, "99" for 4, "999" for 5.
    QString YearMaskPart() const;
    QString DateMask() const;
    QString YearMonthMask() const;
    // The text a mask edit shows empty.
    QString BlankDateText() const;
    QString BlankYearMonthText() const;
    // "YYYYMMDD" of a displayed date. Empty or blank: empty, or Default when
    // Fill ("-1" is tomorrow). A text that is not three numbers comes back
    // unchanged, so the validity check refuses it.
    QString DateToInternal(const QString& Text, bool Fill = false, const QString& Default = QString()) const;
    // "YYYYMM" of a displayed year-month; blank gives empty, a text that
    // cannot be read comes back unchanged.
    QString YearMonthToInternal(const QString& Text) const;
    QString DateDisplay(const QString& Date8) const;
    QString YearMonthDisplay(const QString& YearMonth6) const;

private:
    int type_;
    QString separator_;
};

}  // namespace kelm24
