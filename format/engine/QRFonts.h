// Report faces: layouts name Windows faces ("宋体", "SimSun", "新细明体",
// "Tahoma"); the project's fontconfig file maps them to Debian's fonts.
#pragma once

#include <QString>

namespace kelm24 {

// Where the project's fontconfig file is: $KELM24_FONTCONFIG, else
// fonts/kelm24-fonts.conf beside the module that holds the engine, else the
// copy in the source tree. Empty when none exists.
QString ReportFontConfigPath();

// Makes fontconfig (and so Qt) use the project's file. Before a
// QGuiApplication exists it sets FONTCONFIG_FILE (unless the caller set one);
// afterwards it loads the file as fontconfig's current configuration, which
// Qt consults for every face it has not resolved yet, and faces that Qt's
// font list lacks are added to it. Runs once; answers
// whether the file is in use.
bool UseReportFonts();

}  // namespace kelm24
