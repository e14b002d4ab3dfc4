#include "output/PageOutput.h"

#include "format/engine/QRPrinter.h"
#include "i18n/QvLangController.h"
#include "output/SendDialogs.h"
#include "output/TextPDF.h"
#include "output/libPDF.h"
#include "platform/dialogs/Dialogs.h"
#include "runtime/DateText.h"
#include "runtime/ModulePath.h"
#include "runtime/RuntimeLibrary.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QLabel>
#include <QSaveFile>

#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <dlfcn.h>
#include <future>
#include <mutex>

namespace kelm24 {

namespace {

const char* const BmpToFileLibrary = "libQVBmpToFile.so";
// The library's export "BMPToFile"(QImage*, file type 0 BMP 1 JPG 2 GIF,
// UTF-8 name buffer in and out, buffer size): 0 success, -1 bad arguments,
// -2 the name does not fit, -3 not written.
using TBMPToFile = int (*)(void* bitmap, int fileType, char* fileName, int size);

// The picture library's entry, loaded once; false with a message box when
// the library cannot be found or loaded.
TBMPToFile PictureConverter(const TOutputForm& form, QString& error)
{
    static TBMPToFile convert = nullptr;
    if (convert != nullptr) return convert;
    const QString folder = form.ClientPath + QStringLiteral("C_QVBIN/");
    QString loaded;
    // Beside the plug-in first, as the other run-time libraries, then in the
    // installation's program folder.
    void* handle = LoadRuntimeLibrary(QString::fromLatin1(BmpToFileLibrary), {ModuleFolder(), folder}, &loaded);
    if (handle == nullptr) {
        error = QStringLiteral("Can't found DLL file ") + folder + QString::fromLatin1(BmpToFileLibrary);
        TMessageRequest box;
        box.Text = error;
        box.DlgType = mtError;
        TDialogService::MessageBox(box);
        return nullptr;
    }
    convert = reinterpret_cast<TBMPToFile>(dlsym(handle, "BMPToFile"));
    if (convert == nullptr) error = QStringLiteral("Load DLL Error %1").arg(QString::fromUtf8(dlerror()));
    return convert;
}

// Lets the progress dialog's Cancel run; true when the user cancelled.
bool CancelRequested(TOutputForm& form)
{
    QCoreApplication::processEvents();
    return form.AbortRequested;
}

// Disables the form's window and shows the conversion progress for the
// lifetime of the guard.
class TConversionProgress {
public:
    TConversionProgress(TOutputForm& form, int count) : window_(form.OutputWindow())
    {
        if (window_) {
            wasEnabled_ = window_->isEnabled();
            window_->setEnabled(false);
        }
        form.AbortRequested = false;
        dialog_ = new TfrmVRConvPic(&form, window_);
        dialog_->ProgressBar->setRange(1, std::max(1, count));
        dialog_->show();
    }
    ~TConversionProgress()
    {
        delete dialog_.data();  // at once: a run without an event loop after it must not leave it behind
        if (window_) window_->setEnabled(wasEnabled_);
    }
    void Step(int i, int count)
    {
        if (!dialog_) return;
        dialog_->ProgressBar->setValue(i);
        dialog_->lblState->setText(QStringLiteral("%1/%2").arg(i).arg(count));
    }

private:
    QPointer<QWidget> window_;
    QPointer<TfrmVRConvPic> dialog_;
    bool wasEnabled_ = true;
};

QString ExtensionOf(int fileType)
{
    switch (fileType) {
    case ftBMP: return QStringLiteral(".bmp");
    case ftJPG: return QStringLiteral(".jpg");
    case ftGIF: return QStringLiteral(".gif");
    default: return QStringLiteral(".pdf");
    }
}

}  // namespace

bool TPageOutput::Fail(const QString& message)
{
    lastError_ = message;
    return false;
}

QImage TPageOutput::PageBitmap(int Page) const
{
    const TQRPrinter* pages = form_.ReportPages();
    if (pages == nullptr) return QImage();
    const double resolution = form_.Resolution < 1 ? 96 : form_.Resolution;
    const int left = form_.SkipLeftShift ? 0 : qRound(form_.LeftMarginMM / 25.4 * resolution);
    const int top = form_.SkipTopShift ? 0 : qRound(form_.TopMarginMM / 25.4 * resolution);
    const int width = qRound(pages->PaperWidthValue() / 254.0 * resolution);
    const int height = qRound(pages->PaperLengthValue() / 254.0 * resolution);
    int sheet = Page, bitmapHeight = height, offset = -top;
    if (form_.HalfPage) {
        sheet = (Page + 1) / 2;
        bitmapHeight = height / 2;
        if (Page % 2 == 1) bitmapHeight -= top;
        else offset = -(height / 2);
    }
    if (pages->GetPage(sheet) == nullptr || width < 1 || bitmapHeight < 1) return QImage();
    QImage bitmap(width, bitmapHeight, QImage::Format_RGB32);
    bitmap.setDotsPerMeterX(qRound(resolution / 0.0254));
    bitmap.setDotsPerMeterY(qRound(resolution / 0.0254));
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    pages->RenderPage(painter, sheet, QRectF(-left, offset, width, height));
    return bitmap;
}

QString TPageOutput::WriteBitmap(const QImage& bitmap, QString& FileName, int FileType, const QString& TempFolder) const
{
    if (FileType == ftBMP) {
        FileName += QStringLiteral(".bmp");
        QSaveFile file(FileName);
        if (!file.open(QIODevice::WriteOnly) || !bitmap.convertToFormat(QImage::Format_RGB888).save(&file, "BMP") ||
            !file.commit())
            return QStringLiteral("Cannot write \"%1\": %2").arg(FileName, file.errorString());
        return QString();
    }
    if (FileType == ftPDF) {
        FileName += QStringLiteral(".pdf");
        try {
            TPrintPDF pdf;
            pdf.SetTitle(QString());
            pdf.SetCompress(true);
            pdf.SetTempFolder(TempFolder);
            pdf.SetFileName(FileName);
            pdf.SetPageWidth(bitmap.width());
            pdf.SetPageHeight(bitmap.height());
            pdf.StartDocument();
            pdf.DrawPageImage(0, 0, bitmap);
            pdf.FinishDocument();
        } catch (const std::exception& e) {
            return QString::fromUtf8(e.what());
        }
        return QString();
    }
    // JPG and GIF through the picture conversion library (loaded by the caller).
    QString error;
    const TBMPToFile convert = PictureConverter(form_, error);
    if (convert == nullptr) return error;
    QByteArray name = FileName.toUtf8();
    name.resize(256, '\0');
    QImage image = bitmap;
    const int rc = convert(&image, FileType, name.data(), static_cast<int>(name.size()));
    if (rc != 0)
        return QStringLiteral("Cannot write \"%1%2\" (picture conversion error %3)").arg(FileName, ExtensionOf(FileType)).arg(rc);
    FileName = QString::fromUtf8(name.constData());
    return QString();
}

bool TPageOutput::WriteBitmapFile(const QImage& bitmap, QString& FileName, int FileType)
{
    const QString error = WriteBitmap(bitmap, FileName, FileType, QString());
    return error.isEmpty() || Fail(error);
}

bool TPageOutput::CheckTarget(const QString& FileName, int FileType)
{
    if (FileType < ftBMP || FileType > ftTextPDF) return Fail(QStringLiteral("Unknown file type %1").arg(FileType));
    if (FileName.size() + 4 > MaxFileNameLength)
        return Fail(QStringLiteral("The file name is longer than %1 characters: %2").arg(MaxFileNameLength).arg(FileName));
    const QFileInfo folder(QFileInfo(FileName).absolutePath());
    if (!folder.isDir()) return Fail(QStringLiteral("The folder \"%1\" does not exist").arg(folder.filePath()));
    return true;
}

bool TPageOutput::RenderPageToFile(QString& FileName, int FileType, int Page)
{
    lastError_.clear();
    if (FileType == ftPDF && form_.PreferTextPdf) FileType = ftTextPDF;
    if (!CheckTarget(FileName, FileType)) return false;
    if (FileType == ftTextPDF) {
        const TQRPrinter* pages = form_.ReportPages();
        if (pages == nullptr) return Fail(QStringLiteral("The report has no pages"));
        try {
            WriteTextPdf(*pages, FileName + QStringLiteral(".pdf"), Page, Page, {QString(), form_.HalfPage});
        } catch (const std::exception& e) {
            return Fail(QString::fromUtf8(e.what()));
        }
        FileName += QStringLiteral(".pdf");
        return true;
    }
    const QImage bitmap = PageBitmap(Page);
    if (bitmap.isNull()) return Fail(QStringLiteral("The report has no page %1").arg(Page));
    return WriteBitmapFile(bitmap, FileName, FileType);
}

bool TPageOutput::ExportPages(const QString& Path, int FileType)
{
    lastError_.clear();
    const TQRPrinter* pages = form_.ReportPages();
    const int count = pages == nullptr ? 0 : DocumentPageCount(*pages, form_.HalfPage);
    if (count == 0) return Fail(QStringLiteral("The report has no pages"));
    if (FileType == ftTextPDF) {
        try {
            WriteTextPdf(*pages, Path + QStringLiteral(".pdf"), 1, count, {QString(), form_.HalfPage});
        } catch (const std::exception& e) {
            return Fail(QString::fromUtf8(e.what()));
        }
        return true;
    }
    if (FileType == ftPDF && form_.PreferTextPdf) {
        TConversionProgress progress(form_, count);
        const int digits = static_cast<int>(QString::number(count).size());
        for (int i = 1; i <= count; ++i) {
            progress.Step(i, count);
            QString file = Path + PadLeft(QString::number(i), digits, QLatin1Char('0'));
            if (!RenderPageToFile(file, FileType, i)) return false;
            if (CancelRequested(form_)) return Fail(QStringLiteral("Cancelled"));
        }
        return true;
    }
    return ExportBitmaps(Path, FileType, count);
}

bool TPageOutput::ExportBitmaps(const QString& Path, int FileType, int count)
{
    const int digits = static_cast<int>(QString::number(count).size());
    if (!CheckTarget(Path + QString(digits, QLatin1Char('0')), FileType)) return false;
    if (FileType == ftJPG || FileType == ftGIF) {
        // Loaded here, so a missing library is reported once, on this thread.
        QString error;
        if (PictureConverter(form_, error) == nullptr) return Fail(error);
    }
    TConversionProgress progress(form_, count);
    // Pages are shared out to the workers; one replays a page at a time (the
    // pages share their background), the encoding and writing run side by side.
    std::mutex replay, result;
    std::atomic<int> nextPage{1}, written{0};
    std::atomic<bool> stop{false};
    int failedPage = count + 1;
    QString failure;
    auto worker = [&] {
        QTemporaryDir imageFolder;  // the bitmap PDF's image files of this worker
        for (int i = nextPage++; i <= count && !stop; i = nextPage++) {
            QString file = Path + PadLeft(QString::number(i), digits, QLatin1Char('0'));
            QString error;
            if (file.size() + 4 > MaxFileNameLength) {
                error = QStringLiteral("The file name is longer than %1 characters: %2").arg(MaxFileNameLength).arg(file);
            } else {
                QImage bitmap;
                {
                    std::lock_guard<std::mutex> lock(replay);
                    bitmap = PageBitmap(i);
                }
                error = bitmap.isNull() ? QStringLiteral("The report has no page %1").arg(i)
                                        : WriteBitmap(bitmap, file, FileType, imageFolder.path());
            }
            if (!error.isEmpty()) {
                std::lock_guard<std::mutex> lock(result);
                if (i < failedPage) failedPage = i, failure = error;
                stop = true;
            }
            ++written;
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 4);
    std::vector<std::future<void>> workers;
    for (int t = 0; t < std::min(threads, count); ++t) workers.push_back(std::async(std::launch::async, worker));
    for (auto& w : workers) {
        while (w.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
            progress.Step(std::max(1, written.load()), count);
            if (CancelRequested(form_)) stop = true;
        }
    }
    if (failedPage <= count) return Fail(failure);
    if (form_.AbortRequested) return Fail(QStringLiteral("Cancelled"));
    return true;
}

QList<TSendEntry> ParseSendEntries(const QString& Entries)
{
    QList<TSendEntry> result;
    const QStringList parts = Entries.split(QLatin1Char(';'));
    // Items are "page,table", field, where: three ";"-separated parts each.
    for (int i = 0; i + 2 < parts.size(); i += 3) {
        TSendEntry entry;
        const QString head = parts[i];
        const auto comma = head.indexOf(QLatin1Char(','));
        entry.Page = (comma < 0 ? head : head.left(comma)).trimmed().toInt();
        entry.Table = comma < 0 ? QString() : head.mid(comma + 1);
        entry.Field = parts[i + 1];
        entry.Where = parts[i + 2];
        result << entry;
    }
    return result;
}

bool TPageOutput::ConvertRecipientPages(const QString& Entries, const QString& Base, int FileType, QStringList& Files)
{
    const QList<TSendEntry> entries = ParseSendEntries(Entries);
    bool done = !entries.isEmpty();
    if (!done) Fail(QStringLiteral("No documents to convert"));
    {
        TConversionProgress progress(form_, static_cast<int>(entries.size()));
        for (int i = 0; i < entries.size() && done; ++i) {
            const TSendEntry& entry = entries[i];
            progress.Step(i + 1, static_cast<int>(entries.size()));
            QString file = Base + QString::number(entry.Page);
            done = RenderPageToFile(file, FileType, entry.Page);
            if (!entry.Table.isEmpty() && !entry.Field.isEmpty() && !entry.Where.isEmpty())
                form_.UpdatePrintCount(Variant::ArrayOf({entry.Table, entry.Field, entry.Where}));
            if (!done) break;
            Files << file;
            if (CancelRequested(form_)) done = Fail(QStringLiteral("Cancelled"));
        }
    }
    if (!done) {
        for (const QString& f : Files) QFile::remove(f);
        Files.clear();
    }
    return done;
}

QString TemporaryBaseName(const TOutputForm& form)
{
    QString folder = QDir::tempPath();
    if (folder.isEmpty() || !QFileInfo(folder).isWritable()) {
        folder = form.ClientPath + QStringLiteral("C_DATA/C_TEMP");
        if (!QDir().mkpath(folder)) throw Exception(QStringLiteral("Can not create directory :") + folder);
    }
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + form.ProgramCode + QLatin1Char('_') +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")) + QLatin1Char('_');
}

TOutputForm::~TOutputForm() = default;

void TOutputForm::LocalizeWindow(QWidget* Window) { ApplyWindowLanguage(Window, DesignType); }

}  // namespace kelm24
