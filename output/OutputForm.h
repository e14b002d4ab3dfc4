// What the page output, the send operations and the preview window need of
// the form that carries the report (the format form): its generated pages,
// the run's identity values, the send list filled while the report was
// generated, and the application server. The format form implements this;
// the output code depends on nothing above the report engine.
#pragma once

#include "kelm24/Variant.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace kelm24 {

class TQRPrinter;

// Page-to-file kinds: the original's four, and the searchable PDF.
enum TOutputFileType { ftBMP = 0, ftJPG = 1, ftGIF = 2, ftPDF = 3, ftTextPDF = 4 };

class TOutputForm {
public:
    virtual ~TOutputForm();

    // The window that is disabled while pages convert and owns the dialogs.
    virtual QWidget* OutputWindow() = 0;
    // The generated pages (may be null before a run).
    virtual TQRPrinter* ReportPages() = 0;
    // Generates the pages again; false when that fails or is cancelled.
    virtual bool RegeneratePages() = 0;
    // Counts a printed or sent document ([table, field, where]).
    virtual void UpdatePrintCount(const Variant& Args) = 0;
    // Runs a statement on the application server; false when it fails.
    virtual bool RunFreeSQL(const QString& Statement) = 0;
    // A text converted for display (code-page conversion of the interface).
    virtual QString ToDisplay(const QString& Text) { return Text; }
    // Gives a window of the output (the preview, the progress and subject
    // dialogs) the interface's language: the package named after its class
    // from the language folder. The format form converts its texts to the
    // display code page first.
    virtual void LocalizeWindow(QWidget* Window);

    // --- the run's values, set by the format form
    QString ClientPath;    // the installation folder, ending with "/"
    QString ProgramCode, ProgramName, CompanyCode, UserCode, UserGroup;
    int DesignType = 0;    // interface language of the message packages
    int UILanguage = 0;    // 1 simplified, 2 traditional Chinese, 3 English
    QString UICodePage;    // "936", "950" or "437"
    int SendMode = 0;      // bits: 1 e-mail, 2 fax
    int PrintMode = 0;     // 0 preview, 1 print, 2 send
    int Resolution = 96;   // pixels per inch of the page files
    // The left and top margins (mm) cut from the page files unless skipped;
    // both skips are set at creation and cleared for a host export.
    double LeftMarginMM = 0, TopMarginMM = 0;
    bool SkipLeftShift = true, SkipTopShift = true;
    // Two document pages per sheet: page files are half sheets.
    bool HalfPage = false;
    // Document pages of the run (the page counter).
    int DocumentPageCount = 0;
    // One line per recipient: key "=" e-mail "|" fax "|" {page "," table ";" field ";" where ";"}.
    QStringList SendList;
    // File type 3 from the preview and sends writes the searchable PDF instead.
    bool PreferTextPdf = false;
    // The client settings file (mail server, fax servers, PDF kind).
    QString SettingsFile;

    // --- state of a conversion or send
    bool AbortRequested = false;
    bool SendFailed = false;
};

}  // namespace kelm24
