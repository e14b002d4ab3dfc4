// The format form's output seam: host export through the output classes,
// sends with the send log on the application server, and the preview window
// opened on the form's generated pages.
#include "TestFmt.h"
#include "controls/ComCtrls.h"
#include "controls/Menus.h"
#include "controls/StdCtrls.h"
#include "format/VRBaseFmtOutput.h"
#include "format/engine/QRPreview.h"
#include "format/engine/QRPrinter.h"
#include "format/engine/QuickRep.h"
#include "kelm24/Automation.h"
#include "output/VRPreviewF.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

// The application server's statement members, recorded.
class TRecordingServer : public TAutomationObject {
public:
    TRecordingServer() : TAutomationObject(QStringLiteral("AppServer"))
    {
        AddMethod(QStringLiteral("RunFreeSQL"), [this](VariantArgs& a) {
            statements << a.at(0).ToString();
            return Variant(1);
        });
        AddMethod(QStringLiteral("UpdatePrintCount"), [this](VariantArgs& a) {
            QStringList parts;
            for (const Variant& v : a.at(0).IsArray() ? a.at(0).Elements() : a) parts << v.ToString();
            counted << parts.join(QLatin1Char('|'));
            return Variant(1);
        });
    }
    QStringList statements, counted;
};

class TSeamFmt : public TTestFmt {
public:
    // The base form's own preview window, not the test layout's stand-in.
    void OpenPreview() { TfrmVRBaseFmt::ShowPreviewWindow(); }
};

TDataPacket Rows(int count)
{
    TDataPacket p;
    p.Fields.push_back({QStringLiteral("TG002"), TFieldType::String, 20});
    p.Fields.push_back({QStringLiteral("TG003"), TFieldType::String, 8});
    for (int i = 1; i <= count; ++i) p.Rows.push_back({QStringLiteral("单号%1").arg(i, 4, 10, QLatin1Char('0')), QStringLiteral("20240305")});
    return p;
}

struct FormatOutputFixture : ::testing::Test {
    void SetUp() override
    {
        form.reset(TQVForm::Create<TSeamFmt>());
        server = std::make_shared<TRecordingServer>();
        form->LocalAppServer = Variant(std::static_pointer_cast<IAutomationObject>(server));
        form->ProgramCode = QStringLiteral("PURR05");
        form->UserCode = QStringLiteral("DS");
        form->ClientPath = install.path() + "/";
        form->ClientDataSet1->SetData(Rows(80));
        ASSERT_TRUE(form->PrepareReport());
        ASSERT_GT(form->ReportPrinter()->PageCount(), 1);
    }
    QTemporaryDir install;
    std::unique_ptr<TSeamFmt> form;
    std::shared_ptr<TRecordingServer> server;
};

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST_F(FormatOutputFixture, HostExportWritesTheGeneratedPages)
{
    const int pages = form->ReportPrinter()->PageCount();
    ASSERT_TRUE(form->ExportPages(install.filePath("R"), 4));
    const QString text = RunTool("pdftotext", {install.filePath("R.pdf"), "-"});
    EXPECT_TRUE(text.contains(QStringLiteral("单号0001"))) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("单号0080")));
    EXPECT_TRUE(RunTool("pdfinfo", {install.filePath("R.pdf")}).contains(QStringLiteral("Pages:           %1").arg(pages)));
    // A4 as the layout says.
    EXPECT_TRUE(RunTool("pdfinfo", {install.filePath("R.pdf")}).contains("(A4)"));
    ASSERT_TRUE(form->ExportPages(install.filePath("P"), 1));
    EXPECT_TRUE(QFile::exists(install.filePath(QStringLiteral("P%1.jpg").arg(pages))));
    // A folder that is not there: the reason reaches the caller.
    try {
        form->ExportPages(install.filePath("none/R"), 0);
        FAIL() << "no error";
    } catch (const std::exception& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("does not exist")) << e.what();
    }
}

TEST_F(FormatOutputFixture, FaxSendsLogOnTheApplicationServer)
{
    QFile settings(install.filePath("CorvaneC.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(QStringLiteral("[Fax]\nCount=1\nName1=本机\nAddress1=127.0.0.1\nSpool1=%1/spool\n").arg(install.path()).toUtf8());
    settings.close();
    form->Output().SettingsFile = settings.fileName();
    form->SendMode = 2;
    form->SendList = QStringList{"V001=|0755-1|1,$$PURTG;TG045;TG001='A';2,$$PURTG;TG045;TG001='B';"};
    ASSERT_TRUE(form->SendDocuments(2, 1, QStringLiteral("本机(127.0.0.1)")));
    EXPECT_EQ(form->PrintMode, 2);
    EXPECT_EQ(form->Resolution, 96);
    EXPECT_EQ(QDir(install.filePath("spool")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    ASSERT_EQ(server->statements.size(), 1);
    EXPECT_TRUE(server->statements[0].contains("'V001','Y','Send Fax Complete !'")) << server->statements[0].toStdString();
    // Both documents were counted as sent.
    EXPECT_EQ(server->counted, QStringList({"$$PURTG|TG045|TG001='A'", "$$PURTG|TG045|TG001='B'"}));
}

TEST_F(FormatOutputFixture, PreviewOpensOnTheGeneratedPages)
{
    form->SendMode = 1;
    int shownPages = -1;
    bool emailShown = false, faxShown = true;
    QString paper;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<TfrmVRPreview*>(w);
            if (preview == nullptr || !preview->isVisible()) continue;
            shownPages = preview->QRPreview->PageCount();
            emailShown = preview->btnEmail->isVisible();
            faxShown = preview->btnFax->isVisible();
            paper = preview->StatusBar->Panel(1)->Text();
            preview->btnExit->click();
        }
    });
    form->OpenPreview();
    EXPECT_EQ(shownPages, form->ReportPrinter()->PageCount());
    EXPECT_TRUE(emailShown);
    EXPECT_FALSE(faxShown);
    EXPECT_TRUE(paper.contains("A4")) << paper.toStdString();
    EXPECT_FALSE(form->ReportPrinter()->ShowingPreview());
}
