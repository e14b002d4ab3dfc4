#include "controls/EditMask.h"

namespace kelm24 {

namespace {

// The position of the last field separator that is not escaped, or -1.
int LastSeparator(const QString& s, int before)
{
    for (int i = before - 1; i >= 0; --i) {
        if (s[i] != QLatin1Char(';')) continue;
        if (i > 0 && s[i - 1] == QLatin1Char('\\')) continue;
        return i;
    }
    return -1;
}

QChar QtCodeOf(QChar delphi)
{
    switch (delphi.unicode()) {
    case '0': return QLatin1Char('9');  // required digit
    case '9': return QLatin1Char('0');  // optional digit
    case '#': return QLatin1Char('#');  // optional digit or sign
    case 'L': return QLatin1Char('A');  // required letter
    case 'l': return QLatin1Char('a');
    case 'A': return QLatin1Char('N');  // required letter or digit
    case 'a': return QLatin1Char('n');
    case 'C': return QLatin1Char('X');  // required character
    case 'c': return QLatin1Char('x');
    default: return QChar();
    }
}

bool IsQtMeta(QChar c) { return QStringLiteral("AaNnXx90Dd#HhBb<>!\\[]{};").contains(c); }

}  // namespace

TEditMask::TEditMask(const QString& editMask)
{
    QString picture = editMask;
    // "picture;save literals;blank": the two trailing fields are optional.
    const int blankSep = LastSeparator(editMask, editMask.size());
    if (blankSep >= 0) {
        const QString blank = editMask.mid(blankSep + 1);
        const int saveSep = LastSeparator(editMask, blankSep);
        if (saveSep >= 0) {
            picture = editMask.left(saveSep);
            saveLiterals_ = editMask.mid(saveSep + 1, blankSep - saveSep - 1) != QLatin1String("0");
            if (!blank.isEmpty()) blank_ = blank[0];
        } else {
            picture = editMask.left(blankSep);
            saveLiterals_ = blank != QLatin1String("0");
        }
    }
    picture_ = picture;
    for (int i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == QLatin1Char('!')) {
            leadingBlanks_ = true;
            continue;
        }
        if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            if (c == QLatin1Char('<') && i + 1 < picture.size() && picture[i + 1] == QLatin1Char('>')) {
                qtMask_ += QLatin1Char('!');
                ++i;
            } else {
                qtMask_ += c;
            }
            continue;
        }
        QChar literal;
        if (c == QLatin1Char('\\') && i + 1 < picture.size()) literal = picture[++i];
        else if (c == QLatin1Char('_')) literal = QLatin1Char(' ');
        const QChar code = literal.isNull() ? QtCodeOf(c) : QChar();
        if (code.isNull()) {
            if (literal.isNull()) literal = c;
            slots_.append({literal, QChar()});
            if (IsQtMeta(literal)) qtMask_ += QLatin1Char('\\');
            qtMask_ += literal;
        } else {
            slots_.append({QChar(), code});
            qtMask_ += code;
        }
    }
    if (slots_.isEmpty()) picture_.clear();
}

QString TEditMask::QtInputMask() const
{
    if (!IsMasked()) return QString();
    return qtMask_ + QLatin1Char(';') + blank_;
}

QString TEditMask::BlankText() const
{
    QString text;
    for (const Slot& s : slots_) {
        if (!s.Literal.isNull()) {
            if (saveLiterals_) text += s.Literal;
        } else {
            text += QLatin1Char(' ');
        }
    }
    return text;
}

QString TEditMask::TextFromDisplay(const QString& display) const
{
    if (!IsMasked()) return display;
    QString text;
    for (int i = 0; i < slots_.size(); ++i) {
        const QChar shown = i < display.size() ? display[i] : blank_;
        if (!slots_[i].Literal.isNull()) {
            if (saveLiterals_) text += slots_[i].Literal;
        } else {
            text += shown == blank_ ? QLatin1Char(' ') : shown;
        }
    }
    return text;
}

}  // namespace kelm24
