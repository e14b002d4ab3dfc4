// The preview window: zoom and page rules, keys, the paper line, send
// buttons, the current page's export (half pages) and its look.
#include "OutputTestSupport.h"
#include "controls/ComCtrls.h"
#include "controls/Menus.h"
#include "controls/StdCtrls.h"
#include "format/engine/QRPreview.h"
#include "output/VRPreviewF.h"
#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace kelm24;
using namespace kelm24::test;

namespace {

struct PreviewFixture : ::testing::Test {
    void SetUp() override
    {
        TDialogService::Reset();
        form.ClientPath = install.path() + "/";
        FillReceiptPages(form.pages, 5);
        preview = std::make_unique<TfrmVRPreview>(&form);
        preview->SetReport(&form.pages);
    }
    void TearDown() override { TDialogService::Reset(); }
    QTemporaryDir install;
    TTestOutputForm form;
    std::unique_ptr<TfrmVRPreview> preview;
};

QList<TToolButton*> PageButtons(TfrmVRPreview& p)
{
    return {p.btnFirstPage, p.btnPreviousPage, p.btnNextPage, p.btnLastPage};
}

}  // namespace

TEST_F(PreviewFixture, ComponentsCarryTheirTextsAndGlyphs)
{
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("凭证预览"));
    EXPECT_EQ(preview->btnZoomToPage->toolTip(), QStringLiteral("显示整页"));
    EXPECT_EQ(preview->btnLastPage->toolTip(), QStringLiteral("最后一页"));
    EXPECT_EQ(preview->lblScale->Caption(), QStringLiteral("缩放比率(%)"));
    EXPECT_EQ(preview->cboZoom->Items(), QStringList({"200", "150", "100", "75", "50", "20"}));
    EXPECT_EQ(preview->pmPDF->Caption(), QStringLiteral("转出成 .PDF档"));
    for (TToolButton* b : preview->ToolBar1->Buttons()) EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    EXPECT_EQ(preview->moPaperSize->toPlainText().split('\n').size(), 28);
    EXPECT_EQ(preview->moUnits->toPlainText().split('\n').size(), 5);
    EXPECT_EQ(preview->StatusBar->Panel(1)->Text(), QStringLiteral(" 纸张格式 : "));
    preview->ShowPaperInfo(1, 215.9, 279.4, 0);
    EXPECT_EQ(preview->StatusBar->Panel(1)->Text(), QStringLiteral(" 纸张格式 : Letter ( 215.9 x 279.4 / MM ) "));
    EXPECT_TRUE(form.pages.ShowingPreview());
    preview->close();
    EXPECT_FALSE(form.pages.ShowingPreview());
}

TEST_F(PreviewFixture, ZoomTextsAreKeptWithinTheListsRange)
{
    for (const auto& [text, zoom] : std::vector<std::pair<QString, int>>{{"500", 200}, {"5", 20}, {"abc", 100}, {"75", 75}, {"33", 33}}) {
        preview->SetZoomPercent(150);
        preview->cboZoom->setEditText(text);
        preview->cboZoomExit();
        EXPECT_EQ(preview->QRPreview->Zoom(), zoom) << text.toStdString();
    }
    // A zoom that is no item leaves the box without selection.
    EXPECT_EQ(preview->cboZoom->currentIndex(), -1);
    preview->SetZoomPercent(50);
    EXPECT_EQ(preview->cboZoom->currentText(), "50");
}

TEST_F(PreviewFixture, PageNumbersAreKeptWithinThePages)
{
    for (const auto& [asked, shown] : std::vector<std::pair<int, int>>{{0, 1}, {-3, 1}, {99, 5}, {3, 3}}) {
        preview->GoToPage(asked);
        EXPECT_EQ(preview->QRPreview->PageNumber(), shown);
        EXPECT_EQ(preview->edtPageNo->text(), QString::number(shown));
    }
    EXPECT_EQ(preview->StatusBar->Panel(0)->Text(), "3 / 5");
    for (TToolButton* b : PageButtons(*preview)) EXPECT_TRUE(b->isEnabled());
    preview->btnLastPage->click();
    EXPECT_EQ(preview->edtPageNo->text(), "5");
    EXPECT_FALSE(preview->btnNextPage->isEnabled());
    EXPECT_FALSE(preview->btnLastPage->isEnabled());
    EXPECT_TRUE(preview->btnPreviousPage->isEnabled());
    preview->btnPreviousPage->click();
    EXPECT_EQ(preview->QRPreview->PageNumber(), 4);
    preview->btnFirstPage->click();
    EXPECT_FALSE(preview->btnFirstPage->isEnabled());
    EXPECT_FALSE(preview->btnPreviousPage->isEnabled());
    // A page text that is no number keeps the current page.
    preview->GoToPage(2);
    preview->edtPageNo->setText("x");
    preview->edtPageNoExit();
    EXPECT_EQ(preview->QRPreview->PageNumber(), 2);
    EXPECT_EQ(preview->edtPageNo->text(), "2");
}

TEST_F(PreviewFixture, AReportWithoutPagesShowsZeroAndDisablesPaging)
{
    TQRPrinter empty;
    TfrmVRPreview window(&form);
    window.SetReport(&empty);
    window.GoToPage(1);
    EXPECT_EQ(window.edtPageNo->text(), "0");
    EXPECT_EQ(window.StatusBar->Panel(0)->Text(), "");
    for (TToolButton* b : PageButtons(window)) EXPECT_FALSE(b->isEnabled());
}

TEST_F(PreviewFixture, EnterMovesOnAndCtrlF11TogglesTheExportButton)
{
    preview->show();
    QApplication::setActiveWindow(preview.get());
    preview->cboZoom->setFocus();
    QLineEdit* editor = preview->cboZoom->lineEdit();
    editor->selectAll();
    QTest::keyClicks(editor, "500");
    QTest::keyClick(editor, Qt::Key_Return);
    // Enter left the box: its exit rule ran and the focus moved on.
    EXPECT_EQ(preview->QRPreview->Zoom(), 200);
    EXPECT_FALSE(preview->cboZoom->hasFocus() || editor->hasFocus());
    const bool visible = preview->btnSaveBMP->isVisible();
    QTest::keyClick(editor, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_NE(preview->btnSaveBMP->isVisible(), visible);
    QTest::keyClick(editor, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(preview->btnSaveBMP->isVisible(), visible);
    // F11 alone and Ctrl+F11 in the page box do nothing.
    QTest::keyClick(editor, Qt::Key_F11);
    QTest::keyClick(preview->edtPageNo, Qt::Key_F11, Qt::ControlModifier);
    EXPECT_EQ(preview->btnSaveBMP->isVisible(), visible);
    preview->edtPageNo->setFocus();
    preview->edtPageNo->setText("4");
    QTest::keyClick(preview->edtPageNo, Qt::Key_Enter);
    EXPECT_EQ(preview->QRPreview->PageNumber(), 4);
}

TEST_F(PreviewFixture, SendButtonsFollowTheSendModeBits)
{
    preview->show();
    for (const auto& [mode, email, fax] : std::vector<std::tuple<int, bool, bool>>{{0, false, false}, {1, true, false}, {2, false, true}, {3, true, true}}) {
        preview->ShowSendButtons(mode);
        EXPECT_EQ(preview->btnEmail->isVisible(), email) << mode;
        EXPECT_EQ(preview->btnFax->isVisible(), fax) << mode;
    }
    preview->SetFaxServers({QStringLiteral("总部(10.1.1.9)"), QStringLiteral("本机(127.0.0.1)")});
    ASSERT_EQ(preview->PopupmenuSendFax->Items().size(), 2);
    EXPECT_EQ(preview->PopupmenuSendFax->Items()[1]->Caption(), QStringLiteral("本机(127.0.0.1)"));
}

TEST_F(PreviewFixture, PrintRunsTheFormsPrintInPrintMode)
{
    int printed = 0;
    preview->OnPrint = [&] { ++printed; };
    preview->btnPrint->click();
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(form.PrintMode, 1);
    TfrmVRPreview without(&form);
    without.OnPrint = [&] { ++printed; };
    without.btnPrint->click();  // no report: nothing
    EXPECT_EQ(printed, 1);
}

TEST_F(PreviewFixture, HalfPageExportOfPageThreeWritesDocumentPagesFiveAndSix)
{
    ASSERT_TRUE(QDir(install.path()).mkdir("C_DATA"));  // the user's folder is made below it
    form.HalfPage = true;
    form.Resolution = 50;
    preview->GoToPage(3);
    TDialogService::ScriptAnswers({mrNo});
    preview->ExportPages(ftBMP);
    const QStringList files = preview->LastExportedFiles();
    ASSERT_EQ(files.size(), 2);
    const QString folder = install.filePath("C_DATA/DS");
    EXPECT_TRUE(QRegularExpression("^" + QRegularExpression::escape(folder) + "/PURR05_\\d{14}005\\.bmp$").match(files[0]).hasMatch())
        << files[0].toStdString();
    EXPECT_TRUE(files[1].endsWith("006.bmp"));
    EXPECT_TRUE(QFileInfo::exists(files[0]) && QFileInfo::exists(files[1]));
    const auto asked = TDialogService::History();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].Text, QStringLiteral("转出文件为：%1\r\r是否打开文件？").arg(folder));
    EXPECT_TRUE(asked[0].Buttons.Has(mbYes) && asked[0].Buttons.Has(mbNo));
    // The last sheet's second half lies beyond the pages: cut to the count.
    form.HalfPage = false;
    preview->GoToPage(5);
    TDialogService::ScriptAnswers({mrNo});
    preview->ExportPages(ftJPG);
    ASSERT_EQ(preview->LastExportedFiles().size(), 1);
    EXPECT_TRUE(preview->LastExportedFiles()[0].endsWith("005.jpg"));
}

TEST_F(PreviewFixture, AnExportFolderThatCannotBeMadeIsReported)
{
    QFile blocker(install.filePath("C_DATA"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));  // a file where the folder should be
    blocker.close();
    preview->ExportPages(ftBMP);
    const auto asked = TDialogService::History();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0].DlgType, mtError);
    EXPECT_EQ(asked[0].Text, QStringLiteral("创建目录失败：") + install.filePath("C_DATA/DS"));
    EXPECT_TRUE(preview->LastExportedFiles().isEmpty());
}

TEST_F(PreviewFixture, TheWindowLooksAsItsReference)
{
    preview->ShowSendButtons(3);
    preview->ShowPaperInfo(1, 215.9, 279.4, 0);
    preview->setWindowState(Qt::WindowNoState);
    preview->resize(1000, 640);
    preview->show();
    preview->SetZoomPercent(75);
    preview->GoToPage(2);
    QApplication::processEvents();
    const QImage shot = preview->grab().toImage();
    const QString reference = QStringLiteral(KELM24_TEST_SOURCE_DIR "/reference/VRPreview.png");
    if (!qEnvironmentVariableIsEmpty("KELM24_UPDATE_REFERENCE_IMAGES")) shot.save(reference);
    const QImage expected(reference);
    ASSERT_FALSE(expected.isNull()) << "no reference image (write it with KELM24_UPDATE_REFERENCE_IMAGES=1)";
    ASSERT_EQ(shot.size(), expected.size());
    EXPECT_LT(DifferingShare(shot, expected, 40), 0.01);
}
