#include "runtime/AlertLog.h"

#include "platform/registry/SystemInfo.h"
#include "runtime/CorvaneIni.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cxxabi.h>
#include <ios>
#include <memory>
#include <system_error>
#include <typeinfo>

namespace kelm24 {

namespace {

// Opens (creating the folder and the file as needed), appends and closes.
bool AppendLine(const QString& folder, const QString& fileName, const QString& line)
{
    if (!QDir().mkpath(folder)) return false;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    const bool written = file.write(bytes) == bytes.size();
    file.close();
    return written && file.error() == QFileDevice::NoError;
}

QString ErrorReportFolder()
{
    QString base = GetClientPath();
    if (base.isEmpty()) base = TempFolder();
    if (base.isEmpty()) base = QStringLiteral("/tmp");
    return QDir::cleanPath(base + QStringLiteral("/Log"));
}

// The class name of an exception without its namespace ("EVariantError").
QString ClassName(const std::exception& e)
{
    const char* mangled = typeid(e).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    return name.mid(name.lastIndexOf(QLatin1String("::")) + (name.contains(QLatin1String("::")) ? 2 : 0));
}

QString MessageOf(const std::exception& e)
{
    if (const auto* k = dynamic_cast<const Exception*>(&e)) return k->Message();
    return QString::fromLocal8Bit(e.what());
}

// The lines that describe an exception, one per error it carries.
QStringList ExceptionLines(const std::exception& e)
{
    QStringList lines{QStringLiteral("讯息信息:")};
    if (const auto* io = dynamic_cast<const std::ios_base::failure*>(&e))
        lines << QString::asprintf("EInOutError Error %.2d: Code: %d, Message: %s", 1, io->code().value(),
                                   MessageOf(e).toUtf8().constData());
    else if (const auto* sys = dynamic_cast<const std::system_error*>(&e))
        lines << QString::asprintf("EWin32Error Error %.2d: Code: %d, Message: %s", 1, sys->code().value(),
                                   MessageOf(e).toUtf8().constData());
    else
        lines << QString::asprintf("Exception is %s\r\nMessage %.2d: ", ClassName(e).toUtf8().constData(), 1) +
                     MessageOf(e);
    lines << QString::asprintf("ErrorMessage Count: %d", 1);
    return lines;
}

}  // namespace

QString AlertLogFolder()
{
    const QString base = GetClientPath();
    return QDir::cleanPath((base.isEmpty() ? HostProgramFolder() : base) + QStringLiteral("/Log"));
}

namespace {

QString LogFileName(const QString& Folder, const QString& Name, const QString& Period, const QDate& day)
{
    const QString stamp = Period == QLatin1String("M")   ? day.toString(QStringLiteral("yyyyMM"))
                          : Period == QLatin1String("Y") ? day.toString(QStringLiteral("yyyy"))
                                                         : day.toString(QStringLiteral("yyyyMMdd"));
    QString fileName = Folder + QStringLiteral("/Alert_") + Name + QLatin1Char('_') + stamp;
    if (!Name.contains(QLatin1Char('.'))) fileName += QStringLiteral(".log");
    return fileName;
}

}  // namespace

QString AlertLogFileName(const QString& Name, const QString& Period, const QDate& day)
{
    return LogFileName(AlertLogFolder(), Name, Period, day);
}

bool WriteLog(const QString& Name, const QString& Text, const QString& Period)
{
    return WriteLogIn(AlertLogFolder(), Name, Text, Period);
}

bool WriteLogIn(const QString& Folder, const QString& Name, const QString& Text, const QString& Period)
{
    try {
        const QDateTime now = QDateTime::currentDateTime();
        const QString line = QLatin1Char('[') + now.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss:zzz")) +
                             QStringLiteral("] ") + Text;
        return AppendLine(Folder, LogFileName(Folder, Name, Period, now.date()), line);
    } catch (...) {
        return false;
    }
}

void WriteErrorReport(const std::exception* E, const QString& Where, const QString& Note)
{
    try {
        const QString folder = ErrorReportFolder();
        const QDateTime now = QDateTime::currentDateTime();
        const QString fileName =
            folder + QStringLiteral("/Alert_ZOLTAGenerator_") + now.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".log");
        const QString dashes = QStringLiteral("----------------------------------");
        QStringList lines{dashes + (Where.trimmed().isEmpty() ? QString() : QStringLiteral(" on ") + Where + QLatin1Char(' ')) +
                          dashes};
        if (E) lines << ExceptionLines(*E);
        if (!Note.trimmed().isEmpty()) lines << QStringLiteral("Programer Message: ") + Note;
        for (const QString& text : lines) {
            const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
            AppendLine(folder, fileName, QLatin1Char('[') + stamp + QStringLiteral("] ") + text);
        }
    } catch (...) {
        // An error report that cannot be written is lost; the caller goes on.
    }
}

}  // namespace kelm24
