// What the report option forms use of a format form (the form that carries a
// printable layout): the values handed over before a run, the data and SQL
// builder operations of a run, and the outputs. Format form classes are found
// by their class name, as the option forms name them.
#pragma once

#include "kelm24/Variant.h"

#include <QString>
#include <QStringList>

class QObject;
class QWidget;

namespace kelm24 {

class TVRFormatForm {
public:
    virtual ~TVRFormatForm();
    virtual QWidget* Window() = 0;
    // A component of the layout by name (labels, data texts, bands), or null.
    QObject* FindComponent(const QString& Name);

    // --- hand-over, set by the option form before the data opens
    QString StyleName, ProgramCode, CompanyCode, DatabaseName, UserCode;
    int DateType = 1;
    QString DateSeparator = QStringLiteral("/");
    const QStringList* SysInfo = nullptr;      // shared with the option form
    const QStringList* CompanyInfo = nullptr;  // shared with the option form
    Variant Validator, Counter;
    int SendMode = 0;   // 0 print, 1 e-mail, 2 fax
    int PrintMode = 0;  // 0 preview, 1 print, 2 send
    int Resolution = 96;
    // Page files keep the page's left and top margins while these are set;
    // the host export clears both, so its files start at the printed area.
    bool SkipLeftShift = true, SkipTopShift = true;
    QString ReportTitle;
    int PrinterIndex = -1;

    // --- a run
    virtual void InitDataSets() = 0;
    // Whether the layout's SQL builder holds fields added in the designer.
    virtual bool SQLBuilderInUse() = 0;
    virtual void SetSQLBuilderOn(bool On) = 0;
    virtual bool BuildExtendedSQL(const QString& Select, const QString& From, const QString& OrderBy,
                                  const QString& GroupBy, const QString& Where, const QString& Join) = 0;
    virtual bool IsExtendedSQLEmpty() = 0;
    virtual void ApplyExtendedSQL(const QString& Select, const QString& From, int DesignerFlag,
                                  const QString& OrderBy, const QString& GroupBy, const QString& Where,
                                  const QString& Join) = 0;
    virtual void InitDesignInfo(const QString& Program, const QString& User, const QString& MainTable,
                                const QString& Database, const QString& Company) = 0;
    virtual void RunTessivar() = 0;
    virtual void ExtendSQL(const QString& SQL, QString& Result) = 0;
    // Hides the layout controls of fields the SQL builder added.
    virtual void HideBuilderFields() = 0;
    // 1 rows, 0 no rows, -1 error.
    virtual int OpenReportData(const QString& SQL) = 0;

    // --- outputs
    virtual void Preview() = 0;
    virtual void Print() = 0;
    virtual bool PrepareReport() = 0;
    virtual bool ExportPages(const QString& Path, int FileType) = 0;
    // The printer the last print used.
    virtual int UsedPrinterIndex() = 0;
    // The page: paper-size number, width, length, unit number.
    virtual void PageInfo(int& PaperSize, double& Width, double& Length, int& Units) = 0;
    virtual void StartDesigner() = 0;
    virtual void CloseDesigner() = 0;
};

// The layouts with a document frame: titles, footer and sign-off lines,
// totals, approval sign-off.
class TVRFormatLayout {
public:
    virtual ~TVRFormatLayout();
    virtual void SetApprovalDocType(const QString& DocType) = 0;
    // Switches the approval history lookup; on prepares it for the program.
    virtual void SetApprovalLookup(bool On, const QString& ProgramCode, const QString& CompanyCode) = 0;
    virtual void SetFrameText(int Index, const QString& Text) = 0;
    virtual void SetEveryPageFlags(bool SignIn, bool Note, bool Total) = 0;
    virtual void SetNoteLines(const QStringList& Lines) = 0;
    virtual void SetSignInLines(const QStringList& Lines) = 0;
};

using TVRFormatFormClass = TVRFormatForm* (*)(QWidget* Owner);

// Format form classes by class name ("TfrmKelm24Fmt"); names match without case.
void RegisterFormatClass(const QString& Name, TVRFormatFormClass Create);
// Null when no class of that name is part of the library.
TVRFormatFormClass FindFormatClass(const QString& Name);

}  // namespace kelm24
