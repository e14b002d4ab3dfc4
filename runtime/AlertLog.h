// Alert logs: one time-stamped line appended to a text file beside the client
// installation, for failures the user need not see. Files are UTF-8 with
// lines ended by CR LF; each line opens, appends and closes the file.
#pragma once

#include <QDateTime>
#include <QString>
#include <exception>

namespace kelm24 {

// The folder of alert logs: the installation folder (GetClientPath) + "Log",
// or the running program's folder + "Log" when the registry names none.
QString AlertLogFolder();
// Full name of the log file for Name and Period ("D" daily, "M" monthly,
// "Y" yearly, anything else daily) on the given day.
QString AlertLogFileName(const QString& Name, const QString& Period, const QDate& day);

// Appends "[YYYY/MM/DD hh:nn:ss:zzz] Text"; false when the folder or the file
// cannot be created or written. Never raises.
bool WriteLog(const QString& Name, const QString& Text, const QString& Period);
// The same in another folder (logs kept beside the running program).
bool WriteLogIn(const QString& Folder, const QString& Name, const QString& Text, const QString& Period);

// The report of a failure while reading stored database passwords, to
// Log/Alert_ZOLTAGenerator_YYYYMMDD.log; E may be null. Never raises.
void WriteErrorReport(const std::exception* E, const QString& Where, const QString& Note);

}  // namespace kelm24
