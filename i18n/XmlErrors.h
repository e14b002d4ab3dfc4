// Collects libxml2's errors while it lives instead of printing them, so a
// parser's reason reaches the caller and nothing goes to the error stream.
#pragma once

#include <QString>
#include <libxml/xmlerror.h>

namespace kelm24 {

class TXmlErrorCapture {
public:
    TXmlErrorCapture() { xmlSetStructuredErrorFunc(this, &TXmlErrorCapture::Collect); }
    ~TXmlErrorCapture() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    TXmlErrorCapture(const TXmlErrorCapture&) = delete;
    TXmlErrorCapture& operator=(const TXmlErrorCapture&) = delete;

    // The first error with its line, empty when there was none.
    QString First;

private:
    static void Collect(void* self, xmlError* error)  // non-const in this libxml2
    {
        auto* capture = static_cast<TXmlErrorCapture*>(self);
        if (!capture->First.isEmpty() || !error || !error->message) return;
        capture->First = QString::fromUtf8(error->message).trimmed();
        if (error->line > 0) capture->First += QStringLiteral(" (line %1)").arg(error->line);
    }
};

}  // namespace kelm24
