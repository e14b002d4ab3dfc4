#include "runtime/CodePage.h"

#include "platform/text/Utf8.h"

#include <QStringDecoder>
#include <cerrno>
#include <iconv.h>

namespace kelm24 {

namespace {

// Runs iconv over the whole input; invalid or unmappable input ends with ok
// false, the part converted so far is kept.
QByteArray Iconv(const QByteArray& from, const char* toCharset, const char* fromCharset, bool* ok)
{
    *ok = false;
    iconv_t cd = iconv_open(toCharset, fromCharset);
    if (cd == reinterpret_cast<iconv_t>(-1)) return QByteArray();
    QByteArray out(from.size() * 2 + 16, Qt::Uninitialized);
    char* in = const_cast<char*>(from.constData());
    size_t inLeft = static_cast<size_t>(from.size());
    size_t done = 0;
    bool good = true;
    while (inLeft > 0) {
        char* dst = out.data() + done;
        size_t outLeft = static_cast<size_t>(out.size()) - done;
        const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
        done = static_cast<size_t>(dst - out.data());
        if (rc != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        good = false;  // EILSEQ or EINVAL: skip the offending byte and go on
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    out.resize(static_cast<qsizetype>(done));
    *ok = good;
    return out;
}

}  // namespace

QByteArray CodePageCharset(int codePage)
{
    switch (codePage) {
    case 0: return QByteArray();
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 20936: return "GB2312";
    case 54936: return "GB18030";
    default: return "CP" + QByteArray::number(codePage);
    }
}

QString DecodeCodePage(const QByteArray& bytes, int codePage, bool* ok)
{
    bool good = false;
    QString text;
    if (codePage == 0) {
        text = QString::fromLocal8Bit(bytes);
        good = true;
    } else if (codePage == 65001) {
        good = IsValidUtf8(bytes);
        text = QString::fromUtf8(bytes);
    } else {
        const QByteArray utf8 = Iconv(bytes, "UTF-8", CodePageCharset(codePage).constData(), &good);
        text = QString::fromUtf8(utf8);
    }
    if (ok) *ok = good;
    return text;
}

QByteArray EncodeCodePage(const QString& text, int codePage, bool* ok)
{
    bool good = true;
    QByteArray bytes;
    if (codePage == 0)
        bytes = text.toLocal8Bit();
    else if (codePage == 65001)
        bytes = text.toUtf8();
    else
        bytes = Iconv(text.toUtf8(), CodePageCharset(codePage).constData(), "UTF-8", &good);
    if (ok) *ok = good;
    return bytes;
}

bool IsValidUtf8(const QByteArray& bytes)
{
    return IsValidUtf8(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString DecodeSettingsText(const QByteArray& bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    if (IsValidUtf8(bytes)) return QString::fromUtf8(bytes);
    return DecodeCodePage(bytes, 936);
}

}  // namespace kelm24
