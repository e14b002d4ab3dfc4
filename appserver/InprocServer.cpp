// The server object as an in-process class: the object runtime loads this
// library when a class registration names it (platform/ole/ClassRegistry.h).
#include "appserver/AppServer.h"

#include <cstring>

extern "C" __attribute__((visibility("default"))) kelm24::IAutomationObject* Kelm24CreateObject(const char* progId,
                                                                                               char* error, int errorSize)
{
    auto fail = [&](const QString& text) -> kelm24::IAutomationObject* {
        if (error && errorSize > 0) {
            QByteArray bytes = text.toUtf8().left(errorSize - 1);
            std::memcpy(error, bytes.constData(), static_cast<size_t>(bytes.size()));
            error[bytes.size()] = '\0';
        }
        return nullptr;
    };
    const QString name = QString::fromUtf8(progId ? progId : "");
    if (!name.endsWith(QLatin1String("S.Class1"), Qt::CaseInsensitive))
        return fail(QStringLiteral("此程序库没有对象 %1").arg(name));
    try {
        return new kelm24::TAppServer(kelm24::TServerSettings::FromRegistry());
    } catch (const kelm24::Exception& e) {
        return fail(e.Message());
    }
}
