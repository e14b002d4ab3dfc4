// The system's edit masks ("9999/99/99;1; "): a picture, whether the text
// keeps the literal characters, and the blank character. They are turned into
// Qt input masks; the text of a masked edit is read the system's way (blanks as
// spaces, literals kept or dropped).
#pragma once

#include <QString>
#include <QVector>

namespace kelm24 {

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(const QString& editMask);

    bool IsMasked() const { return !picture_.isEmpty(); }
    const QString& Picture() const { return picture_; }
    bool SaveLiterals() const { return saveLiterals_; }
    QChar Blank() const { return blank_; }
    // The picture begins with "!": optional characters are leading blanks.
    bool LeadingBlanks() const { return leadingBlanks_; }
    // The same mask in Qt's input-mask syntax, blank character included.
    QString QtInputMask() const;
    // What the empty mask renders as: blanks as spaces, literals as themselves
    // (without literals when they are not saved).
    QString BlankText() const;
    // The text of the edit from what it displays.
    QString TextFromDisplay(const QString& display) const;

private:
    struct Slot {
        QChar Literal;  // null for an input position
        QChar QtCode;
    };
    QString picture_;
    bool saveLiterals_ = true;
    QChar blank_ = QLatin1Char('_');
    bool leadingBlanks_ = false;
    QString qtCaseMarks_;
    QVector<Slot> slots_;
    QString qtMask_;
};

}  // namespace kelm24
