// What the system asked of Windows besides the registry, on Linux terms.
#pragma once

#include <QString>

namespace kelm24 {

// The system ANSI code page as decimal text: "936" for a GBK, GB2312 or
// GB18030 locale codeset, "950" for Big5; otherwise the "ACP" value of the
// registry file's code-page key, else "437".
QString SystemAnsiCodePage();
// The process user's login name.
QString WindowsUserName();
// $TMPDIR, else /tmp (no trailing separator).
QString TempFolder();
// The folder of the running program (no trailing separator).
QString HostProgramFolder();

}  // namespace kelm24
