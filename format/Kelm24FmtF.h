// TfrmKelm24Fmt: the purchase-receipt layout. One receipt (PURTG head,
// PURTH lines) per document on a pre-printed page picture; per line the
// quantity already delivered on the order, the quantity on hold for
// inspection and the over-receipt rate; amounts with the currency's
// decimals; totals masked until the document's last page; totals in capital
// numerals, or in English words on an English interface. Its fields are the
// layout text ":/layouts/TfrmKelm24Fmt.txt".
#pragma once

#include "format/ReceiptRules.h"
#include "format/VRFormatF.h"

#include <QHash>

namespace kelm24 {

class TField;

class TfrmKelm24Fmt : public TfrmVRFormat {
    Q_OBJECT

public:
    explicit TfrmKelm24Fmt(QWidget* Owner = nullptr);
    ~TfrmKelm24Fmt() override;
    static TVRFormatForm* CreateForm(QWidget* Owner);

    int OpenReportData(const QString& SQL) override;

    // --- handlers
    void QRGroupBeforePrint(QObject* Sender, bool& PrintBand) override;
    void QRDetailBandBeforePrint(QObject* Sender, bool& PrintBand) override;
    Q_INVOKABLE void lblQty1Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void lblunCheckPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void lblQty3Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTH016BPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG029Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG030Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtINVMB045Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void lblslash1Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void lblslash2Print(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTH019TPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTH068CPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTH069CPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG017Print(QObject* Sender, QString& Value);
    // Capital amounts: transaction currency (MF010A) and local currency (MF010B).
    Q_INVOKABLE void txtTG017APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG018APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG019APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG019TAPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG020APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG028APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG031APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG031TAPrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG032APrint(QObject* Sender, QString& Value);
    Q_INVOKABLE void txtTG041APrint(QObject* Sender, QString& Value);

    // The delivered quantity of the current row (lblQty1), in the receipt's unit.
    double Delivered() const { return delivered_; }
    const QString& UnitSetting() const { return sys024_; }
    // Capital numerals: the table of the receipt option form's memo.
    const QStringList& Numerals() const { return NumeralTable; }

protected:
    void FormCreate() override;
    // The row's delivered quantity; the merged layout sums its order lines.
    virtual double RowDelivered();
    QString Text(const char* Field) const;
    double Number(const char* Field) const;
    TReceiptCounter ReceiptCounter() const;
    bool EnglishInterface() const;
    // A quantity in the order's unit in the row's unit, by the unit rule.
    double InReceiptUnit(double Quantity, bool Tolerant) const;

private:
    void LoadNumerals();
    void SetSampleHints();
    void CapitalAmount(QObject* Sender, QString& Value, const char* CurrencyField);

    // The row's field by name; looked up once per opened data set (a row
    // handler asks for the same dozen fields on every row).
    TField* RowField(const char* Field) const;

    QString sys024_;
    double delivered_ = 0;
    mutable QHash<const char*, TField*> fields_;
    // Conversions the counter answered in this run, by their arguments: the
    // same order line comes back on many receipts.
    mutable QHash<QString, double> conversions_;
    TQRLabel* lblQty1_ = nullptr;
};

}  // namespace kelm24
