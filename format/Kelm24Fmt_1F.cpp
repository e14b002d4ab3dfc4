#include "format/Kelm24Fmt_1F.h"

#include "format/engine/ClientDataSet.h"
#include "format/engine/QuickRep.h"
#include "platform/dialogs/Dialogs.h"

namespace kelm24 {

TfrmKelm24Fmt_1::TfrmKelm24Fmt_1(QWidget* Owner) : TfrmKelm24Fmt(Owner) {}

TfrmKelm24Fmt_1::~TfrmKelm24Fmt_1() = default;

TVRFormatForm* TfrmKelm24Fmt_1::CreateForm(QWidget* Owner) { return TQVForm::Create<TfrmKelm24Fmt_1>(Owner); }

double TfrmKelm24Fmt_1::RowDelivered()
{
    if (!lookup_.Connected()) {
        try {
            lookup_.Connect(ReceiptCounter().ConnectString());
        } catch (const std::exception& e) {
            // The run cannot go on without the look-up; say why, then end it.
            const QString message = QStringLiteral("请用最新的counter再来运行该程序");
            TMessageRequest request;
            request.Text = message + QStringLiteral("\n") + QString::fromUtf8(e.what());
            request.DlgType = mtError;
            request.Owner = this;
            TDialogService::MessageBox(request);
            QuickRep1->Cancel();
            throw Exception(message);
        }
    }
    TMergedLine line;
    line.Item = Text("TH004");
    line.Unit = Text("TH008");
    line.Type = Text("TG001");
    line.Number = Text("TG002");
    line.HasWarehouse = ClientDataSet1->FindField(QStringLiteral("TH009")) != nullptr;
    line.HasPrice = ClientDataSet1->FindField(QStringLiteral("TH018")) != nullptr;
    line.HasLot = ClientDataSet1->FindField(QStringLiteral("TH010")) != nullptr;
    line.Warehouse = Text("TH009");
    line.Price = Number("TH018");
    line.Lot = Text("TH010");
    const TReceiptCounter counter = ReceiptCounter();
    return lookup_.Delivered(DatabaseName, line, !UnitSetting().isEmpty() && UnitSetting() != QLatin1String("2"),
                             [&counter](const QString& item, double q, const QString& from, const QString& to) {
                                 return counter.UnitConvert(item, q, from, to);
                             });
}

}  // namespace kelm24
