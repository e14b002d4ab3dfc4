// TfrmVRBaseFmt's output operations: the preview window, page files for the
// host and for sends, e-mail and fax, and the send log, done by the output
// classes on the form's generated pages.
#include "format/VRBaseFmtOutput.h"

#include "format/VRBaseFmtF.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QuickRep.h"
#include "kelm24/HostObjects.h"
#include "options/VRBaseOptF.h"
#include "output/PageOutput.h"
#include "output/SendOut.h"
#include "output/VRPreviewF.h"
#include "runtime/CorvaneIni.h"
#include "runtime/IniFile.h"

namespace kelm24 {

TFormatOutput::TFormatOutput(TfrmVRBaseFmt& form) : form_(form)
{
    SettingsFile = TCorvaneIniC().IniFileName;
    // The client settings may prefer the searchable PDF for file type 3.
    PreferTextPdf = TIniFile(SettingsFile)
                        .ReadString(QStringLiteral("Output"), QStringLiteral("PdfType"), QString())
                        .compare(QLatin1String("Text"), Qt::CaseInsensitive) == 0;
}

QWidget* TFormatOutput::OutputWindow() { return &form_; }
TQRPrinter* TFormatOutput::ReportPages() { return form_.ReportPrinter(); }

bool TFormatOutput::RegeneratePages()
{
    const bool done = form_.PrepareReport();
    Pull();
    return done;
}

void TFormatOutput::UpdatePrintCount(const Variant& Args)
{
    form_.PrintMode = PrintMode;
    form_.UpdatePrintCount(Args);
}

bool TFormatOutput::RunFreeSQL(const QString& Statement)
{
    try {
        const TAppServerObject server(form_.AppServer());
        return server.Assigned() && server.RunFreeSQL(Statement) >= 0;
    } catch (const std::exception& e) {
        qWarning("send log: %s", e.what());
        return false;
    }
}

QString TFormatOutput::ToDisplay(const QString& Text)
{
    return form_.Converter() ? form_.Converter()->ToDisplay(Text) : Text;
}

void TFormatOutput::LocalizeWindow(QWidget* Window)
{
    if (TCodeConverter* converter = form_.Converter()) {
        // The converter turns a window's own caption only on a traditional
        // system; the interface's code page decides here.
        if (converter->SystemCodePage != QLatin1String("950"))
            Window->setWindowTitle(converter->ToDisplay(Window->windowTitle()));
        converter->ConvertFormTexts(Window);
    }
    TOutputForm::LocalizeWindow(Window);
}

void TFormatOutput::Pull()
{
    ClientPath = form_.ClientPath;
    ProgramCode = form_.ProgramCode;
    CompanyCode = form_.CompanyCode;
    UserCode = form_.UserCode;
    UserGroup = form_.UserGroup();
    const TfrmVRBaseOpt* owner = form_.OptionForm();
    ProgramName = owner ? owner->ProgramName : form_.ReportTitle;
    UILanguage = form_.UILanguage;
    UICodePage = form_.UICodePage();
    SendMode = form_.SendMode;
    PrintMode = form_.PrintMode;
    Resolution = form_.Resolution;
    SkipLeftShift = form_.SkipLeftShift;
    SkipTopShift = form_.SkipTopShift;
    if (form_.QuickRep1) {
        LeftMarginMM = form_.QuickRep1->Page()->LeftMM();
        TopMarginMM = form_.QuickRep1->Page()->TopMM();
        HalfPage = form_.QuickRep1->PageStyle() == psHalfPage;
    }
    DocumentPageCount = form_.PageCounter;
    SendList = form_.SendList;
}

void TFormatOutput::Push()
{
    form_.PrintMode = PrintMode;
    form_.Resolution = Resolution;
}

// ------------------------------------------------------------ the form's side

TFormatOutput& TfrmVRBaseFmt::Output()
{
    if (!output_) output_ = std::make_unique<TFormatOutput>(*this);
    output_->Pull();
    return *output_;
}

bool TfrmVRBaseFmt::ExportPages(const QString& Path, int FileType)
{
    TFormatOutput& output = Output();
    TPageOutput pages(output);
    const bool done = pages.ExportPages(Path, FileType);
    output.Push();
    if (!done && !output.AbortRequested) throw Exception(pages.LastError());
    return done;
}

bool TfrmVRBaseFmt::RenderPageToFile(QString& FileName, int FileType, int Page)
{
    TFormatOutput& output = Output();
    return TPageOutput(output).RenderPageToFile(FileName, FileType, Page);
}

bool TfrmVRBaseFmt::SendDocuments(int Kind, int FileType, const QString& ServerCaption)
{
    TFormatOutput& output = Output();
    const bool done = TSendOutput(output).SendDocuments(Kind, FileType, ServerCaption);
    output.Push();
    return done;
}

void TfrmVRBaseFmt::WriteSendLog(const QString& Text)
{
    TFormatOutput& output = Output();
    TSendOutput(output).WriteSendLog(Text);
}

std::unique_ptr<TfrmVRPreview> TfrmVRBaseFmt::CreatePreviewWindow()
{
    TFormatOutput& output = Output();
    auto preview = std::make_unique<TfrmVRPreview>(&output, this);
    preview->SetReport(ReportPrinter());
    preview->SetZoomPercent(100);
    preview->GoToPage(1);
    preview->ShowSendButtons(SendMode);
    if (SendMode & 2) {
        try {
            preview->SetFaxServers(TSendOutput(output).FaxServerCaptions());
        } catch (const std::exception& e) {
            // Without the fax application the pages are still shown; only
            // sending is not offered.
            qWarning("fax servers: %s", e.what());
            preview->btnEmail->setEnabled(false);
            preview->btnFax->setEnabled(false);
        }
    }
    int paperSize = 0, units = 0;
    double width = 0, length = 0;
    PageInfo(paperSize, width, length, units);
    preview->ShowPaperInfo(paperSize, width, length, units);
    return preview;
}

void TfrmVRBaseFmt::ShowPreviewWindow()
{
    const std::unique_ptr<TfrmVRPreview> preview = CreatePreviewWindow();
    preview->raise();
    preview->exec();
    output_->Push();  // what the preview changed (not pulled afresh)
}

}  // namespace kelm24
