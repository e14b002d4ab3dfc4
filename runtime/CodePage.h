// Bytes of a Windows code page to Unicode text and back, through iconv.
// Texts inside the program are Unicode; bytes matter only where a file or a
// peer of another installation holds them.
#pragma once

#include <QByteArray>
#include <QString>

namespace kelm24 {

// The iconv name of a code page number ("936" -> "CP936", 65001 -> "UTF-8");
// 0 means the process's own 8-bit encoding.
QByteArray CodePageCharset(int codePage);

// Decodes bytes of a code page; false in *ok when a byte sequence is not
// valid in it or the code page is unknown.
QString DecodeCodePage(const QByteArray& bytes, int codePage, bool* ok = nullptr);
// Encodes text into a code page; false in *ok when a character has no place
// in it (the rest is still converted) or the code page is unknown.
QByteArray EncodeCodePage(const QString& text, int codePage, bool* ok = nullptr);

// Whether the bytes are whole UTF-8 characters (platform/text/Utf8.h).
bool IsValidUtf8(const QByteArray& bytes);
// The text of a settings file: UTF-8 with a byte-order mark or valid UTF-8 is
// taken as UTF-8, UTF-16 with its mark as UTF-16, anything else as GB (936).
QString DecodeSettingsText(const QByteArray& bytes);

}  // namespace kelm24
