// The forms under an interface language: an installation whose client
// settings name the interface code page ("936", "950", "437") and whose
// MultiLanguage folder holds the packages the product ships (copied from
// i18n/packages, as the installation copies them), the receipt form with the
// layouts, preview and send dialogs of its runs, and a walk over a form's
// components that lists the texts a user sees.
#pragma once

#include "format/Kelm24FmtF.h"
#include "format/Kelm24Fmt_1F.h"
#include "format/VRBaseFmtOutput.h"
#include "options/GeneConditionCF.h"
#include "options/Kelm24OptF.h"
#include "output/SendDialogs.h"
#include "output/VRPreviewF.h"
#include "tests/options/OptionFormFixture.h"

#include <QDirIterator>
#include <functional>

namespace kelm24::test {

// One text a user sees: where it is ("btnOk.Caption") and the text.
struct TShownText {
    QString Where, Text;
};

// Whether the text holds Chinese characters (CJK ideographs).
bool HasChinese(const QString& Text);

// The texts a user sees on Form: every text and text-list property of the
// form, of its widgets that can be seen (on every page of a page control), of
// its pop-up menus and of the objects these own (list items and columns, menu
// items), and the items of combo boxes, list and tree views and tab bars.
// Properties that hold the user's data rather than program text (an edit's
// typed text, a date panel's dates) are left out.
QList<TShownText> ShownTexts(QWidget* Form);

// A form of the product as a user meets it, shown; the walk visits it.
struct TFormCase {
    QString Name;
    std::function<QWidget*()> Show;
};

class InterfaceLanguageFixture : public OptionFormFixture {
protected:
    // Client settings with the interface code page and the data code page, and
    // the language folder of the interface filled from the repository.
    void UseInterface(const QString& uiCodePage, const QString& dbCodePage = QStringLiteral("936"))
    {
        WriteInstallation(QStringLiteral("[Server Information]\nComputerName=127.0.0.1\nServerPort=2110\n"
                                          "[CodePage]\nUICodePage=%1\nDBCodePage=%2\n")
                              .arg(uiCodePage, dbCodePage));
        const QString code = uiCodePage == QLatin1String("950")   ? QStringLiteral("CHT")
                             : uiCodePage == QLatin1String("437") ? QStringLiteral("ENG")
                                                                  : QStringLiteral("CHS");
        languageFolder = QDir(install.Dir()).filePath(QStringLiteral("client/MultiLanguage/") + code);
        QDir().mkpath(languageFolder);
        const QString shipped = QStringLiteral(KELM24_SOURCE_DIR "/i18n/packages/") + code;
        for (QDirIterator it(shipped, {QStringLiteral("*.Lng")}, QDir::Files); it.hasNext();) {
            it.next();
            QFile::copy(it.filePath(), QDir(languageFolder).filePath(it.fileName()));
        }
    }

    // The receipt option form, started from the host (once) and shown, every
    // page visited once (the system page arranges itself on its first showing).
    TfrmKelm24* ShowReceiptForm()
    {
        if (!optionForm) optionForm = StartForm<TfrmKelm24>();
        optionForm->show();
        for (int i = optionForm->pgOption->PageCount() - 1; i >= 0; --i) optionForm->pgOption->SetActivePageIndex(i);
        Settle();
        return optionForm;
    }

    // The condition-set save dialog of the receipt form, shown.
    TfrmGeneCondition* ShowSaveDialog()
    {
        if (!optionForm) ShowReceiptForm();
        auto* dialog = TQVForm::Create<TfrmGeneCondition>(optionForm.data(), optionForm->DateFields, 1);
        dialog->show();
        Settle();
        return dialog;
    }

    // A print run of the receipt form on one receipt with the real layout
    // (Layout: "TfrmKelm24Fmt" or the merged "TfrmKelm24Fmt_1"): the layout
    // made and opened by the form, its pages generated without a printer.
    TfrmKelm24Fmt* PrintReceipt(const QString& Type, const QString& Number,
                                const QString& Layout = QStringLiteral("TfrmKelm24Fmt"))
    {
        if (!optionForm) optionForm = StartForm<TfrmKelm24>();
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), &TfrmKelm24Fmt::CreateForm);
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt_1"), &TfrmKelm24Fmt_1::CreateForm);
        preview.reset();
        formatRun.reset();
        optionForm->SetFormatClass(Layout);
        QString sql;
        optionForm->BuildReportSQL(1, Variant::ArrayOf({Variant(Type), Variant(Number)}), sql);
        optionForm->ComposeSQL(sql);
        formatRun = std::make_unique<TfrmVRBaseOpt::TFormatRun>(*optionForm);
        if (optionForm->OpenFormatForm(sql, *formatRun) != 1) return nullptr;
        auto* layout = dynamic_cast<TfrmKelm24Fmt*>(formatRun->Form());
        if (!layout || !layout->PrepareReport()) return nullptr;
        return layout;
    }

    // The receipt layout shown as the designer shows it (a run on the
    // 16-line receipt 3401-20231228002).
    QWidget* ShowLayout(const QString& Layout)
    {
        TfrmKelm24Fmt* layout = PrintReceipt(QStringLiteral("3401"), QStringLiteral("20231228002"), Layout);
        if (!layout) return nullptr;
        layout->show();
        Settle();
        return layout;
    }

    // The windows of a run's output, made by the layout as its runs make them.
    template <class Dialog>
    QWidget* ShowOutputWindow()
    {
        auto* layout = qobject_cast<TfrmVRBaseFmt*>(ShowLayout(QStringLiteral("TfrmKelm24Fmt")));
        if (!layout) return nullptr;
        QWidget* window = nullptr;
        if constexpr (std::is_same_v<Dialog, TfrmVRPreview>) {
            preview = layout->CreatePreviewWindow();
            window = preview.get();
        } else {
            window = new Dialog(&layout->Output(), layout);
        }
        window->show();
        Settle();
        return window;
    }

    // Every form of the product that exists, one line each.
    QList<TFormCase> ProductForms()
    {
        return {
            {QStringLiteral("TfrmKelm24"), [this] { return ShowReceiptForm(); }},
            {QStringLiteral("TfrmGeneCondition"), [this] { return ShowSaveDialog(); }},
            {QStringLiteral("TfrmKelm24Fmt"), [this] { return ShowLayout(QStringLiteral("TfrmKelm24Fmt")); }},
            {QStringLiteral("TfrmKelm24Fmt_1"), [this] { return ShowLayout(QStringLiteral("TfrmKelm24Fmt_1")); }},
            {QStringLiteral("TfrmVRPreview"), [this] { return ShowOutputWindow<TfrmVRPreview>(); }},
            {QStringLiteral("TfrmEmailSubject"), [this] { return ShowOutputWindow<TfrmEmailSubject>(); }},
            {QStringLiteral("TfrmVRConvPic"), [this] { return ShowOutputWindow<TfrmVRConvPic>(); }},
            {QStringLiteral("TfrmVRSendOut"), [this] { return ShowOutputWindow<TfrmVRSendOut>(); }},
        };
    }

    ~InterfaceLanguageFixture() override
    {
        preview.reset();
        formatRun.reset();
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt"), nullptr);
        RegisterFormatClass(QStringLiteral("TfrmKelm24Fmt_1"), nullptr);
        delete optionForm.data();
        Settle();
    }

    QString languageFolder;
    QPointer<TfrmKelm24> optionForm;
    std::unique_ptr<TfrmVRBaseOpt::TFormatRun> formatRun;
    std::unique_ptr<TfrmVRPreview> preview;
};

}  // namespace kelm24::test
