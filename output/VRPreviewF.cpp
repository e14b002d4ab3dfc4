#include "output/VRPreviewF.h"

#include "controls/ComCtrls.h"
#include "controls/GlyphLibrary.h"
#include "controls/ImgList.h"
#include "controls/Menus.h"
#include "controls/StdCtrls.h"
#include "format/engine/QRPreview.h"
#include "format/engine/QRPrinter.h"
#include "i18n/QvLangController.h"
#include "output/OutputForm.h"
#include "output/PageOutput.h"
#include "output/SendOut.h"
#include "output/TextPDF.h"
#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

namespace kelm24 {

namespace {

const QStringList PaperSizeNames = {
    "Default", "Letter", "LetterSmall", "Tabloid", "Ledger", "Legal", "Statement", "Executive", "A3", "A4",
    "A4Small", "A5", "B4", "B5", "Folio", "Quarto", "qr10X14", "qr11X17", "Note", "Env9", "Env10", "Env11",
    "Env12", "Env14", "CSheet", "DSheet", "ESheet", "Custom"};
const QStringList UnitNames = {"MM", "Inches", "Pixels", "Characters", "Native"};
const QStringList ZoomItems = {"200", "150", "100", "75", "50", "20"};

// The tool bar's images by index, as glyphs of the shared glyph library:
// whole page, page width, zoom, print, first, previous, next, last, exit,
// e-mail, fax, export.
const int ToolGlyphs[] = {37, 38, 7, 5, 10, 11, 12, 13, 16, 14, 15, 6};

template <typename T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// The text as an integer, or fallback when it is not one.
int IntegerOr(const QString& text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : fallback;
}

}  // namespace

TfrmVRPreview::TfrmVRPreview(TOutputForm* form, QWidget* parent) : QDialog(parent), form_(form)
{
    setObjectName(QStringLiteral("frmVRPreview"));
    setWindowTitle(QStringLiteral("凭证预览"));
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(16);
    setFont(f);
    BuildComponents();
    SetZoomPercent(100);
    GoToPage(0);
    setWindowState(windowState() | Qt::WindowMaximized);
    btnSaveBMP->setVisible(true);
    if (form_ != nullptr) form_->LocalizeWindow(this);
}

TfrmVRPreview::~TfrmVRPreview()
{
    if (report_ != nullptr) {
        report_->OnClosePreview = nullptr;
        if (report_->ShowingPreview()) report_->SetShowingPreview(false);
    }
}

void TfrmVRPreview::BuildComponents()
{
    Images = Named(new TImageList(this), "Images");
    for (int id : ToolGlyphs) {
        QImage glyph;
        try {
            glyph = LoadGlyph(id);
        } catch (const std::exception&) {
            // Without the glyph library the buttons keep their hints.
        }
        if (glyph.isNull()) glyph = QImage(16, 16, QImage::Format_ARGB32), glyph.fill(Qt::transparent);
        Images->Add(glyph.copy(0, 0, std::min(glyph.width(), glyph.height()), glyph.height()));
    }

    ToolBar1 = Named(new TToolBar(this), "ToolBar1");
    ToolBar1->SetAlign(ctl::alNone);
    ToolBar1->SetImages(Images);
    ToolBar1->SetFlat(true);
    ToolBar1->SetButtonHeight(24);
    ToolBar1->setFixedHeight(24 + 2 * 2 + 2);

    auto button = [this](const char* name, const QString& hint, int image) {
        auto* b = Named(new TToolButton(ToolBar1), name);
        b->SetImageIndex(image);
        b->setToolTip(hint);
        return b;
    };
    btnZoomToPage = button("btnZoomToPage", QStringLiteral("显示整页"), 0);
    btnZoomToWidth = button("btnZoomToWidth", QStringLiteral("显示页宽"), 1);
    lblScale = Named(new TLabel(ToolBar1), "lblScale");
    lblScale->SetCaption(QStringLiteral("缩放比率(%)"));
    cboZoom = Named(new TComboBox(ToolBar1), "cboZoom");
    cboZoom->SetItems(ZoomItems);
    cboZoom->setEditable(true);
    cboZoom->setFixedWidth(70);
    btnPrint = button("btnPrint", QStringLiteral("打印"), 3);
    btnFirstPage = button("btnFirstPage", QStringLiteral("第一页"), 4);
    btnPreviousPage = button("btnPreviousPage", QStringLiteral("上一页"), 5);
    lblPageNo = Named(new TLabel(ToolBar1), "lblPageNo");
    lblPageNo->SetCaption(QStringLiteral("页次"));
    edtPageNo = Named(new TEdit(ToolBar1), "edtPageNo");
    edtPageNo->setFixedWidth(50);
    btnNextPage = button("btnNextPage", QStringLiteral("下一页"), 6);
    btnLastPage = button("btnLastPage", QStringLiteral("最后一页"), 7);
    btnSaveBMP = button("btnSaveBMP", QStringLiteral("导出图片"), 11);
    btnExit = button("btnExit", QStringLiteral("退出"), 8);
    btnEmail = button("btnEmail", QString(), 9);
    btnFax = button("btnFax", QString(), 10);

    pmuSaveBMP = Named(new TPopupMenu(this), "pmuSaveBMP");
    pmBMP = pmuSaveBMP->AddItem(QStringLiteral("pmBMP"), QStringLiteral("转出成 .BMP档"));
    pmGIF = pmuSaveBMP->AddItem(QStringLiteral("pmGIF"), QStringLiteral("转出成 .GIF档"));
    pmJPG = pmuSaveBMP->AddItem(QStringLiteral("pmJPG"), QStringLiteral("转出成 .JPG档"));
    pmPDF = pmuSaveBMP->AddItem(QStringLiteral("pmPDF"), QStringLiteral("转出成 .PDF档"));
    btnSaveBMP->SetStyle(TToolButton::tbsDropDown);
    btnSaveBMP->SetDropdownMenu(pmuSaveBMP);
    PopupmenuSendFax = Named(new TPopupMenu(this), "PopupmenuSendFax");
    btnFax->SetStyle(TToolButton::tbsDropDown);
    btnFax->SetDropdownMenu(PopupmenuSendFax);

    // The tool bar's controls stand left to right in this order.
    auto* bar = new QHBoxLayout(ToolBar1);
    bar->setContentsMargins(2, 2, 2, 2);
    bar->setSpacing(2);
    for (QWidget* w : std::initializer_list<QWidget*>{btnZoomToPage, btnZoomToWidth, lblScale, cboZoom, btnPrint,
                                                      btnFirstPage, btnPreviousPage, lblPageNo, edtPageNo, btnNextPage,
                                                      btnLastPage, btnSaveBMP, btnExit, btnEmail, btnFax})
        bar->addWidget(w);
    bar->addStretch(1);

    QRPreview = Named(new TQRPreview(this), "QRPreview");
    QRPreview->OnPageAvailable = [this](TQRPreview*, int) { RefreshPageInfo(); };
    moPaperSize = Named(new TMemo(this), "moPaperSize");
    moPaperSize->SetText(PaperSizeNames.join(QLatin1Char('\n')));
    moPaperSize->hide();
    moUnits = Named(new TMemo(this), "moUnits");
    moUnits->SetText(UnitNames.join(QLatin1Char('\n')));
    moUnits->hide();
    StatusBar = Named(new TStatusBar(this), "StatusBar");
    StatusBar->setFixedHeight(22);
    // Wide enough for "12 / 34" in the form's 16-pixel font.
    StatusBar->AddPanel(64);
    StatusBar->AddPanel(50)->SetText(QStringLiteral(" 纸张格式 : "));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(QRPreview, 1);
    layout->addWidget(StatusBar);

    connect(btnZoomToPage, &QToolButton::clicked, this, &TfrmVRPreview::btnZoomToPageClick);
    connect(btnZoomToWidth, &QToolButton::clicked, this, &TfrmVRPreview::btnZoomToWidthClick);
    connect(cboZoom, &QComboBox::activated, this, &TfrmVRPreview::cboZoomClick);
    connect(btnPrint, &QToolButton::clicked, this, &TfrmVRPreview::btnPrintClick);
    connect(btnFirstPage, &QToolButton::clicked, this, [this] { PageButtonClick(1); });
    connect(btnPreviousPage, &QToolButton::clicked, this, [this] { PageButtonClick(QRPreview->PageNumber() - 1); });
    connect(btnNextPage, &QToolButton::clicked, this, [this] { PageButtonClick(QRPreview->PageNumber() + 1); });
    connect(btnLastPage, &QToolButton::clicked, this, [this] { PageButtonClick(QRPreview->PageCount()); });
    connect(btnSaveBMP, &QToolButton::clicked, btnSaveBMP, &QToolButton::showMenu);
    connect(pmBMP, &QAction::triggered, this, [this] { ExportPages(ftBMP); });
    connect(pmJPG, &QAction::triggered, this, [this] { ExportPages(ftJPG); });
    connect(pmGIF, &QAction::triggered, this, [this] { ExportPages(ftGIF); });
    connect(pmPDF, &QAction::triggered, this, [this] { ExportPages(ftPDF); });
    connect(btnExit, &QToolButton::clicked, this, &QDialog::close);
    connect(btnEmail, &QToolButton::clicked, this, &TfrmVRPreview::btnEmailClick);
    connect(btnFax, &QToolButton::clicked, this, &TfrmVRPreview::btnFaxClick);
    for (QObject* o : std::initializer_list<QObject*>{cboZoom, cboZoom->lineEdit(), edtPageNo}) o->installEventFilter(this);
    ShowSendButtons(0);
}

void TfrmVRPreview::SetReport(TQRPrinter* pages)
{
    report_ = pages;
    QRPreview->SetQRPrinter(pages);
    if (pages != nullptr) {
        pages->SetShowingPreview(true);
        pages->OnClosePreview = [this] { close(); };
    }
    GoToPage(1);
}

void TfrmVRPreview::SelectZoomItem(int zoom)
{
    const int index = static_cast<int>(ZoomItems.indexOf(QString::number(zoom)));
    cboZoom->setCurrentIndex(index);
    if (index < 0) cboZoom->setEditText(QString());
}

void TfrmVRPreview::SetZoomPercent(int Z)
{
    SelectZoomItem(Z);
    if (Z != QRPreview->Zoom()) {
        QRPreview->horizontalScrollBar()->setValue(0);
        QRPreview->verticalScrollBar()->setValue(0);
        QRPreview->SetZoom(Z);
    }
}

void TfrmVRPreview::GoToPage(int N)
{
    const int count = QRPreview->QRPrinter() != nullptr ? QRPreview->PageCount() : 0;
    if (count > 0) {
        QRPreview->SetPageNumber(std::clamp(N, 1, count));
        RefreshPageInfo();
    } else {
        edtPageNo->SetText(QStringLiteral("0"));
        RefreshPageInfo();
    }
}

void TfrmVRPreview::RefreshPageInfo()
{
    QRPreview->horizontalScrollBar()->setValue(0);
    QRPreview->verticalScrollBar()->setValue(0);
    const int count = QRPreview->QRPrinter() != nullptr ? QRPreview->PageCount() : 0;
    if (count == 0) {
        for (TToolButton* b : {btnFirstPage, btnPreviousPage, btnNextPage, btnLastPage}) b->setEnabled(false);
        StatusBar->Panel(0)->SetText(QString());
        edtPageNo->SetText(QStringLiteral("0"));
        return;
    }
    const int page = QRPreview->PageNumber();
    StatusBar->Panel(0)->SetText(QStringLiteral("%1 / %2").arg(page).arg(count));
    edtPageNo->SetText(QString::number(page));
    SelectZoomItem(QRPreview->Zoom());
    btnFirstPage->setEnabled(page > 1);
    btnPreviousPage->setEnabled(page > 1);
    btnNextPage->setEnabled(page < count);
    btnLastPage->setEnabled(page < count);
}

void TfrmVRPreview::ShowPaperInfo(int PaperSize, double Width, double Length, int Units)
{
    const QStringList papers = moPaperSize->toPlainText().split(QLatin1Char('\n'));
    const QStringList units = moUnits->toPlainText().split(QLatin1Char('\n'));
    TStatusPanel* panel = StatusBar->Panel(1);
    panel->SetText(panel->Text() + papers.value(PaperSize) + QStringLiteral(" ( ") + QString::number(Width) +
                   QStringLiteral(" x ") + QString::number(Length) + QStringLiteral(" / ") + units.value(Units) +
                   QStringLiteral(" ) "));
}

void TfrmVRPreview::PageButtonClick(int page)
{
    QRPreview->SetPageNumber(page);
    RefreshPageInfo();
}

void TfrmVRPreview::btnZoomToPageClick()
{
    QCoreApplication::processEvents();
    QRPreview->ZoomToFit();
    SelectZoomItem(QRPreview->Zoom());
}

void TfrmVRPreview::btnZoomToWidthClick()
{
    QCoreApplication::processEvents();
    QRPreview->ZoomToWidth();
    SelectZoomItem(QRPreview->Zoom());
}

void TfrmVRPreview::cboZoomClick() { SetZoomPercent(IntegerOr(cboZoom->currentText(), 100)); }

void TfrmVRPreview::cboZoomExit()
{
    bool ok = false;
    const int z = cboZoom->currentText().trimmed().toInt(&ok);
    const int low = ZoomItems.last().toInt(), high = ZoomItems.first().toInt();
    SetZoomPercent(ok ? std::clamp(z, low, high) : 100);
}

void TfrmVRPreview::edtPageNoExit() { GoToPage(IntegerOr(edtPageNo->text(), QRPreview->PageNumber())); }

bool TfrmVRPreview::KeyDown(QObject* control, QKeyEvent* key)
{
    const bool inZoom = control == cboZoom || control == cboZoom->lineEdit();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        focusNextChild();
        return true;
    }
    if (inZoom && key->key() == Qt::Key_F11 && (key->modifiers() & Qt::ControlModifier)) {
        btnSaveBMP->setVisible(!btnSaveBMP->isVisible());
        return true;
    }
    return false;
}

bool TfrmVRPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && KeyDown(watched, static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::FocusOut) {
        if (watched == edtPageNo) edtPageNoExit();
        else if (watched == cboZoom || watched == cboZoom->lineEdit()) {
            // The combo box and its editor both lose the focus: act once.
            if (!cboZoom->isAncestorOf(QApplication::focusWidget()) && QApplication::focusWidget() != cboZoom) cboZoomExit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmVRPreview::closeEvent(QCloseEvent* event)
{
    if (report_ != nullptr) report_->SetShowingPreview(false);
    QDialog::closeEvent(event);
}

void TfrmVRPreview::btnPrintClick()
{
    if (report_ == nullptr) return;
    if (form_ != nullptr) form_->PrintMode = 1;
    raise();
    activateWindow();
    if (OnPrint) {
        OnPrint();
        return;
    }
    try {
        if (report_->PrintSetup()) report_->Print();
    } catch (const std::exception& e) {
        TMessageRequest box;
        box.Text = QString::fromUtf8(e.what());
        box.DlgType = mtError;
        box.Owner = this;
        TDialogService::MessageBox(box);
    }
}

void TfrmVRPreview::ShowSendButtons(int SendMode)
{
    btnEmail->setVisible((SendMode & 1) != 0);
    btnEmail->setEnabled((SendMode & 1) != 0);
    btnFax->setVisible((SendMode & 2) != 0);
    btnFax->setEnabled((SendMode & 2) != 0);
}

void TfrmVRPreview::SetFaxServers(const QStringList& Captions)
{
    PopupmenuSendFax->clear();
    for (const QString& caption : Captions) {
        TMenuItem* item = PopupmenuSendFax->AddItem(QString(), caption);
        connect(item, &QAction::triggered, this, [this, caption] { SendFaxTo(caption); });
    }
}

void TfrmVRPreview::btnEmailClick()
{
    if (form_ != nullptr) TSendOutput(*form_).SendDocuments(1, ftGIF, QString());
}

void TfrmVRPreview::btnFaxClick()
{
    const QList<TMenuItem*> items = PopupmenuSendFax->Items();
    SendFaxTo(items.isEmpty() ? QString() : items.first()->Caption());
}

void TfrmVRPreview::SendFaxTo(const QString& ServerCaption)
{
    if (form_ != nullptr) TSendOutput(*form_).SendDocuments(2, ftJPG, ServerCaption);
}

void TfrmVRPreview::ExportPages(int FileType)
{
    exported_.clear();
    if (form_ == nullptr) return;
    // 1. The user's export folder (one level is created).
    const QString folder = form_->ClientPath + QStringLiteral("C_DATA/") + form_->UserCode;
    if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
        TMessageRequest box;
        box.Text = form_->ToDisplay(LookupMessage(form_->DesignType, QStringLiteral("TdmSingle"), QStringLiteral("sCreateDirError"),
                                                  QStringLiteral("创建目录失败：")) + folder);
        box.DlgType = mtError;
        box.Owner = this;
        TDialogService::MessageBox(box);
        return;
    }
    // 2.-4. The current sheet's document pages, one file each.
    const QString base = folder + QLatin1Char('/') + form_->ProgramCode + QLatin1Char('_') +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    const int p = QRPreview->PageNumber();
    int first = p, last = p;
    if (form_->HalfPage) first = 2 * p - 1, last = 2 * p;
    const int count = report_ == nullptr ? 0 : DocumentPageCount(*report_, form_->HalfPage);
    last = std::min(last, std::max(form_->DocumentPageCount, count));
    TPageOutput output(*form_);
    QStringList errors;
    QString lastFile;
    for (int a = first; a <= last; ++a) {
        QString file = base + QStringLiteral("%1").arg(a, 3, 10, QLatin1Char('0'));
        if (output.RenderPageToFile(file, FileType, a)) {
            exported_ << file;
            lastFile = file;
        } else {
            errors << output.LastError();
        }
    }
    if (!errors.isEmpty()) {
        TMessageRequest box;
        box.Text = errors.join(QLatin1Char('\n'));
        box.DlgType = mtError;
        box.Owner = this;
        TDialogService::MessageBox(box);
    }
    // 5. The open question.
    TMessageRequest question;
    question.Text = form_->ToDisplay(LookupMessageFmt(form_->DesignType, QStringLiteral("TdmSingle"), QStringLiteral("sOpenDoc"),
                                                      QStringLiteral("转出文件为：%s\r\r是否打开文件？"), {Variant(folder)}));
    question.DlgType = mtConfirmation;
    question.Buttons = {mbYes, mbNo};
    question.Owner = this;
    if (TDialogService::MessageBox(question) != mrYes) return;
    for (const QString& file : exported_) QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

}  // namespace kelm24
