// The maker's report controls: the data text with a text type and a
// dictionary, and the barcodes (drawn through libzint).
#pragma once

#include "format/engine/QRControls.h"

namespace kelm24 {

// A data text whose print handler follows its text type (0 none, 1 date,
// 2 percent, 3 Chinese capital amount, 4 asterisk mask, 5 dictionary). A
// change of TextType calls OnTextTypeChange, where the form binds OnPrint.
class TQVQRDBText : public TQRDBText {
    Q_OBJECT
    Q_PROPERTY(int TextType READ TextType WRITE SetTextType)
    Q_PROPERTY(QString DictText READ DictText WRITE SetDictText)

public:
    explicit TQVQRDBText(QWidget* parent = nullptr) : TQRDBText(parent) {}
    int TextType() const { return textType_; }
    void SetTextType(int type);
    // Entries of code, the character with code 3, meaning, each ended by "||".
    QString DictText() const { return dictText_; }
    void SetDictText(const QString& text) { dictText_ = text; }

    std::function<void(TQVQRDBText* sender)> OnTextTypeChange;

private:
    int textType_ = 0;
    QString dictText_;
};

// Symbology numbers of the barcode controls.
enum TQvBarcodeType {
    bcCode_2_5_interleaved = 0, bcCode_2_5_industrial = 1, bcCode_2_5_matrix = 2, bcCode39 = 3,
    bcCode39Extended = 4, bcCode128A = 5, bcCode128B = 6, bcCode128C = 7, bcCode93 = 8, bcCode93Extended = 9,
    bcCodeMSI = 10, bcCodePostNet = 11, bcCodeCodabar = 12, bcCodeEAN8 = 13, bcCodeEAN13 = 14, bcCodeUPC_A = 15,
    bcCodeUPC_E0 = 16, bcCodeUPC_E1 = 17, bcCodeUPC_Supp2 = 18, bcCodeUPC_Supp5 = 19, bcCodeEAN128A = 20,
    bcCodeEAN128B = 21, bcCodeEAN128C = 22
};
// Where the human-readable text goes.
enum TQvBarcodeTextPosition { tpTopLeft, tpTopRight, tpTopCenter, tpBottomLeft, tpBottomRight, tpBottomCenter };

// OnInvalidChar(Sender, var Replacement): text printed in place of a character
// the symbology cannot encode (starts empty: the character is dropped).
using TQvInvalidCharEvent = std::function<void(QObject* sender, QString& replacement)>;

class TQvQRBarcode : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int BarType READ BarType WRITE SetBarType)
    Q_PROPERTY(int TextShow READ TextShow WRITE SetTextShow)
    Q_PROPERTY(int TextPosition READ TextPosition WRITE SetTextPosition)
    Q_PROPERTY(bool AutoWidth READ AutoWidth WRITE SetAutoWidth)
    Q_PROPERTY(int Modul READ Modul WRITE SetModul)

public:
    explicit TQvQRBarcode(QWidget* parent = nullptr);
    QString Text() const { return text_; }
    void SetText(const QString& t) { text_ = t; update(); }
    int BarType() const { return barType_; }
    void SetBarType(int t) { barType_ = t; }
    int TextShow() const { return textShow_; }
    void SetTextShow(int v) { textShow_ = v; }
    int TextPosition() const { return textPosition_; }
    void SetTextPosition(int v) { textPosition_ = v; }
    bool AutoWidth() const { return autoWidth_; }
    void SetAutoWidth(bool v) { autoWidth_ = v; }
    // Narrowest bar in design pixels when AutoWidth is on.
    int Modul() const { return modul_; }
    void SetModul(int m) { modul_ = std::max(1, m); }

    TQvInvalidCharEvent OnInvalidChar;

    // The text as encoded: characters the symbology cannot take replaced
    // through OnInvalidChar, set C padded to an even number of digits,
    // Codabar given start and stop characters when missing.
    QString EncodedText(const QString& raw);
    // Error of the last drawing ("" when it encoded).
    QString LastError() const { return error_; }

    void BeginPrint(TQRPrintContext& ctx) override;
    void Draw(TQRPrintContext& ctx, const QRectF& rect) override;

protected:
    virtual QString RawText() { return text_; }
    QString DesignText() const override { return text_; }

private:
    QString text_, encoded_, error_;
    int barType_ = bcCode128B;
    int textShow_ = 1;
    int textPosition_ = tpBottomCenter;
    bool autoWidth_ = false;
    int modul_ = 1;
};

class TQvQRDBBarcode : public TQvQRBarcode {
    Q_OBJECT
    Q_PROPERTY(QObject* DataSet READ DataSetObject WRITE SetDataSetObject)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

public:
    explicit TQvQRDBBarcode(QWidget* parent = nullptr) : TQvQRBarcode(parent) {}
    QObject* DataSetObject() const { return dataSet_.data(); }
    void SetDataSetObject(QObject* ds) { dataSet_ = ds; }
    void SetDataSet(TClientDataSet* ds);
    QString DataField() const { return dataField_; }
    void SetDataField(const QString& f) { dataField_ = f; }

protected:
    QString RawText() override;

private:
    QPointer<QObject> dataSet_;
    QString dataField_;
};

}  // namespace kelm24
