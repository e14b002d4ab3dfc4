// The code converter: bridges the simplified (936) and traditional (950)
// Chinese code pages between the program, the screen and the database, using
// the translation library libQvlanguage.so, and converts whole forms once.
// Texts are Unicode; "GB" and "Big5" name the simplified and traditional
// character forms. It is also the one entry to message dialogs.
#pragma once

#include "kelm24/Variant.h"
#include "platform/dialogs/Dialogs.h"

#include <QFont>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

class QWidget;

namespace kelm24 {

// Which installation folder a component's settings come from.
enum TDesignType { dtClient = 0, dtServer = 1 };

// Conversion directions.
enum TConvertDirection { cdNone = 0, cdBig5ToGB = 1, cdGBToBig5 = 2 };

inline const QString QvLanguageLibrary = QStringLiteral("libQvlanguage.so");

// The loaded translation library and its text functions.
class TTranslator {
public:
    // Loads the library (beside this program or plug-in, then in the
    // installation's C_QVBIN folder, then by the system's search) and looks
    // its functions up; raises "Load Library %s Error!" or "Get Library
    // Procedure Address Error!".
    explicit TTranslator(const QString& libraryName = QvLanguageLibrary);
    ~TTranslator();
    TTranslator(const TTranslator&) = delete;
    TTranslator& operator=(const TTranslator&) = delete;

    QString GBtoBIG5(const QString& text);
    QString BIG5toGB(const QString& text);
    // Many texts at once, each with the result of the one-text call: the
    // texts go to the library joined by line breaks, in large calls spread
    // over the processor's cores.
    QStringList GBtoBIG5(const QStringList& texts);
    QStringList BIG5toGB(const QStringList& texts);
    QString LibraryPath() const { return path_; }

private:
    using TextFunc = int (*)(const char*, char*, int);
    QString Call(TextFunc function, QHash<QString, QString>& cache, const QString& text);
    QStringList CallMany(TextFunc function, const QStringList& texts);
    // Converts the texts, batching them into library calls.
    QStringList ConvertBatch(TextFunc function, const QStringList& texts) const;
    // One library call; false when the library fails.
    static bool CallLibrary(TextFunc function, const QByteArray& input, QByteArray& output);

    void* handle_ = nullptr;
    QString path_;
    TextFunc gbToBig5_ = nullptr, big5ToGb_ = nullptr;
    void* getBig5Data_ = nullptr;  // looked up as the original did; not used
    void* getGbData_ = nullptr;
    void* saveOrder_ = nullptr;
    // Report data repeats its texts; each distinct text is converted once.
    QHash<QString, QString> toBig5Cache_, toGbCache_;
};

// The font rule: modes 0, 1 and 4 give SimSun with the GB2312 character set
// (134), modes 2 and 3 SimSun with Big5 (136). Qt fonts carry no character
// set, so the set is answered for callers that keep it.
int ApplyUIFont(int Mode, QFont& Font);
int UICharsetOf(int Mode);

class TCodeConverter : public QObject {
    Q_OBJECT
    Q_PROPERTY(int DesignType MEMBER DesignType)

public:
    // Reads the code pages from the client settings (TCorvaneIniC) and loads
    // the translation library when the interface needs conversion.
    explicit TCodeConverter(QObject* Owner = nullptr);
    // With the code pages given (hosts and tests that have no installation).
    TCodeConverter(QObject* Owner, const QString& systemCodePage, const QString& uiCodePage, const QString& dbCodePage,
                   const QString& libraryName = QvLanguageLibrary);
    ~TCodeConverter() override;

    int DesignType = dtClient;
    QString SystemCodePage = QStringLiteral("936");
    QString UICodePage = QStringLiteral("936");
    QString DBCodePage = QStringLiteral("936");
    uint8_t UIConvertMode = 0;
    uint8_t DBConvertMode = 0;
    TTranslator* Translator() const { return translator_.get(); }

    // Direction 1 Big5 to GB, 2 GB to Big5, anything else unchanged; arrays
    // of one or two dimensions element by element. Without a translator the
    // value comes back as it is.
    Variant Convert(int Direction, const Variant& Value) const;
    // Convert over many texts at once (direction 1 or 2; others unchanged).
    QStringList ConvertTexts(int Direction, const QStringList& Texts) const;
    Variant ToDisplay(const Variant& Value) const;
    Variant FromDisplay(const Variant& Value) const;
    Variant FromDatabase(const Variant& Value) const;
    Variant ToDatabase(const Variant& Value) const;
    QString ToDisplay(const QString& Text) const { return ToDisplay(Variant(Text)).ToString(); }
    QString Big5ToGB(const QString& Text) const;
    QString GBToBig5(const QString& Text) const;

    // The form's caption GB to Big5, only on a Big5 system.
    void ConvertFormCaption(QWidget* Form) const;
    // Converts every text of a form and the components it owns, once.
    void ConvertFormTexts(QWidget* Form) const;
    // A message box captioned with the owner form's caption, in the
    // interface font; the modal result, or 0 for an empty Text (nothing shown).
    int MessageDialog(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons) const;

private:
    void LoadTranslator(const QString& libraryName);
    QString ConvertText(int Direction, const QString& Text) const;
    void ConvertComponent(QObject* Component) const;
    void ConvertClassTexts(QObject* Component, int Direction) const;

    std::unique_ptr<TTranslator> translator_;
};

}  // namespace kelm24
