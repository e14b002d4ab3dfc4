// The option forms under an interface language: an installation whose client
// settings name the interface code page ("936", "950", "437") and whose
// MultiLanguage folder holds the packages the product ships (copied from
// i18n/packages, as the installation copies them), and a walk over a form's
// components that lists the texts a user sees.
#pragma once

#include "options/GeneConditionCF.h"
#include "options/Kelm24OptF.h"
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

    // The receipt option form, started from the host and shown, every page
    // visited once (the system page arranges itself on its first showing).
    TfrmKelm24* ShowReceiptForm()
    {
        optionForm = StartForm<TfrmKelm24>();
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

    // Every form of the product that exists, one line each.
    QList<TFormCase> ProductForms()
    {
        return {
            {QStringLiteral("TfrmKelm24"), [this] { return ShowReceiptForm(); }},
            {QStringLiteral("TfrmGeneCondition"), [this] { return ShowSaveDialog(); }},
        };
    }

    ~InterfaceLanguageFixture() override
    {
        delete optionForm.data();
        Settle();
    }

    QString languageFolder;
    QPointer<TfrmKelm24> optionForm;
};

}  // namespace kelm24::test
