// Small text and variant helpers shared by the forms and services. Texts are
// Unicode, so a separator never matches inside a Chinese character.
#pragma once

#include "kelm24/Variant.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kelm24 {

// The N-th field (from 1) of S split at each Sep; empty when S has fewer.
QString GetField(const QString& S, const QString& Sep, int N);
// 0 for an empty S, otherwise the occurrences of Sep (overlapping ones each
// counted) plus one.
int FieldCount(const QString& S, const QString& Sep);
// Head = the text before the first Sep, S = the text after it; without Sep,
// Head = S and S becomes empty.
void SplitFirst(QString& S, const QString& Sep, QString& Head);
// Every Old replaced by New (nothing when the two are equal ignoring case),
// optionally trimmed. A replacement that shortens the text is repeated until
// no Old is left ("  " -> " " collapses runs of blanks); one that does not
// is made once per occurrence, so the call always ends.
QString ReplaceAll(const QString& S, const QString& Old, const QString& New, bool DoTrim);

Variant ChooseVar(bool Cond, const Variant& A, const Variant& B);
bool VarIsBlank(const Variant& V);
// True only for "127.0.0.1".
bool IsLocalAddress(const QString& S);
// Table: two rows (names, boolean values), one column per entry. True when
// Name is not in it; the entry's value when it is; false when the table or
// the value is unusable.
bool LookupFlag(const Variant& Table, const QString& Name);

// Bytes of a code page as text; on failure the bytes read with the system's
// default code page.
QString AnsiToWideCP(const QByteArray& S, int CodePage);
// Texts (also inside one- and two-dimensional arrays) taken as bytes of the
// default code page and read again with CodePage.
Variant VarToWideCP(const Variant& V, int CodePage);
// VarToWideCP for any value; a failure leaves the value as it was and is
// logged to "libstrs".
Variant ConvertVarToWide(const Variant& V, int CodePage);

// Prefix, then element 0 (the count C) and elements 1..C, each followed by
// the character 3.
QString PackList(const QString& Prefix, const Variant& List);
// Formats like the system's Format: "%[index:][-][width][.precision]type"
// with the types d, u, x (integers), f, n, e, g (numbers) and s (text), and
// "%%" for a percent sign. *ok is false (and the pattern comes back as it
// is) when an argument is missing or does not fit its type.
QString FormatText(const QString& Pattern, const QList<Variant>& Args, bool* ok = nullptr);

// The Chinese caption of a message-box button ("OK" -> "确定"); other names
// come back unchanged.
QString ButtonCaption(const QString& Name);

}  // namespace kelm24
