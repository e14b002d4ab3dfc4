// A receipt-like layout built the way the format forms build theirs: one
// group per document, detail rows, a page-attached footer with a page-end
// child band, and the handlers that refuse rows when the footer space is used
// up (the first two rows of a document always print).
#pragma once

#include "format/engine/ClientDataSet.h"
#include "format/engine/QRControls.h"
#include "format/engine/QuickRep.h"
#include "kelm24/Automation.h"

#include <QWidget>
#include <memory>
#include <vector>

namespace kelm24::test {

// An application server that answers AS_GetRecords with a packet.
class TPacketServer : public TAutomationObject {
public:
    explicit TPacketServer(TDataPacket packet) : TAutomationObject(QStringLiteral("TPacketServer")), packet_(std::move(packet))
    {
        AddMethod(member::AS_GetRecords, [this](VariantArgs& args) {
            lastProvider = Arg(args, 0, member::AS_GetRecords).ToString();
            lastCommand = Arg(args, 1, member::AS_GetRecords).ToString();
            ++calls;
            return packet_.ToVariant();
        });
    }
    QString lastProvider, lastCommand;
    int calls = 0;

private:
    TDataPacket packet_;
};

// Rows of documents: TG001 type, TG002 number, TH003 line, TH004 item,
// TH007 quantity, TH019 amount. groupSizes gives the lines of each document.
inline TDataPacket ReceiptPacket(const std::vector<int>& groupSizes)
{
    TDataPacket p;
    p.Fields = {{"TG001", TFieldType::String, 4}, {"TG002", TFieldType::String, 11}, {"TH003", TFieldType::String, 4},
                {"TH004", TFieldType::String, 20}, {"TH005", TFieldType::String, 60}, {"TH007", TFieldType::Float, 0},
                {"TH019", TFieldType::Float, 0}};
    int doc = 0;
    for (int size : groupSizes) {
        ++doc;
        for (int line = 1; line <= size; ++line) {
            p.Rows.push_back({"3401", QStringLiteral("2024%1").arg(doc, 7, 10, QLatin1Char('0')),
                              QStringLiteral("%1").arg(line, 4, 10, QLatin1Char('0')), QStringLiteral("A-%1").arg(line),
                              QStringLiteral("品名%1 螺丝").arg(line), 10.0 * line, 1234.5 * line});
        }
    }
    return p;
}

// One printed detail row: the logical page, the sheet and the row.
struct PrintedRow {
    int page, sheet;
    QString document, line;
};

class ReceiptForm : public QWidget {
public:
    // detailHeight and footerHeight in design pixels.
    explicit ReceiptForm(int detailHeight = 20, int footerHeight = 180)
    {
        setObjectName(QStringLiteral("TfrmTestFmt"));
        data = new TClientDataSet(this, QStringLiteral("ClientDataSet1"));
        report = new TQuickRep(this);
        report->setObjectName(QStringLiteral("QuickRep1"));
        report->SetDataSet(data);
        report->Page()->SetPaperSize(qrpA4);

        group = new TQRGroup(report);
        group->setObjectName(QStringLiteral("QRGroup"));
        group->SetExpression(QStringLiteral("clientdataset1.TG001+clientdataset1.TG002"));
        group->setGeometry(0, 40, 700, 60);
        lblDoc = AddDBText(group, QStringLiteral("TG002"), 10, 10);
        lblPageNo = AddLabel(group, 500, 10);
        lblTotalPage = AddLabel(group, 560, 10);

        detail = new TQRBand(report, rbDetail);
        detail->setObjectName(QStringLiteral("QRDetailBand"));
        detail->setGeometry(0, 100, 700, detailHeight);
        lblSeq = AddLabel(detail, 10, 2);
        AddDBText(detail, QStringLiteral("TH004"), 60, 2);
        AddDBText(detail, QStringLiteral("TH005"), 160, 2);
        auto* qty = AddDBText(detail, QStringLiteral("TH007"), 400, 2);
        qty->SetMask(QStringLiteral("#,##0.00"));
        qty->SetAlignment(taRightJustify);

        footer = new TQRBand(report, rbGroupFooter);
        footer->setObjectName(QStringLiteral("QRGroupFooter"));
        footer->setGeometry(0, 100 + detailHeight, 700, footerHeight);
        lblNoData = AddLabel(footer, 10, 2);
        lblNoData->SetCaption(QStringLiteral("以下空白//"));
        group->SetFooterBand(footer);

        pageEnd = new TQRChildBand(report);
        pageEnd->setObjectName(QStringLiteral("GroupFooterChildBand"));
        pageEnd->setGeometry(0, 100 + detailHeight + footerHeight, 700, 40);
        pageEnd->SetParentBand(footer);
        lblNextPage = AddLabel(pageEnd, 10, 10);
        lblNextPage->SetCaption(QStringLiteral("接下页..."));

        report->PageDetailBand = detail;
        report->PageAttachedBand = footer;
        report->PageStartBand = group;
        report->PageEndBand = pageEnd;
        BindHandlers();
    }

    void Open(const std::vector<int>& groupSizes)
    {
        server = std::make_shared<TPacketServer>(ReceiptPacket(groupSizes));
        data->SetRemoteServer(Variant(std::static_pointer_cast<IAutomationObject>(server)));
        data->SetProviderName(QStringLiteral("Provider1"));
        data->SetCommandText(QStringLiteral("SELECT * FROM $$PURTG"));
        data->Open();
    }

    TQRLabel* AddLabel(QWidget* band, int x, int y)
    {
        auto* l = new TQRLabel(band);
        l->setGeometry(x, y, 90, 16);
        return l;
    }
    TQRDBText* AddDBText(QWidget* band, const QString& field, int x, int y)
    {
        auto* t = new TQRDBText(band);
        t->setObjectName(QStringLiteral("txt") + field);
        t->SetDataSet(data);
        t->SetDataField(field);
        t->setGeometry(x, y, 200, 16);
        return t;
    }

    void BindHandlers()
    {
        group->BeforePrint = [this](TQRBand*, bool&) {
            const QString key = group->Evaluator().AsString();
            if (key != currentKey) {
                currentKey = key;
                pageInGroup = 1;
                rowsPrintedInGroup = 0;
            } else {
                ++pageInGroup;
            }
            lblPageNo->SetCaption(QString::number(pageInGroup));
            headsPrinted++;
        };
        detail->BeforePrint = [this](TQRBand* band, bool& print) {
            const int space = footer->Height();
            if (space >= 0 || rowsPrintedInGroup < 2) {
                ++rowsPrintedInGroup;
                lblSeq->SetCaption(QString::number(rowsPrintedInGroup).rightJustified(4, QLatin1Char('0')));
                return;
            }
            print = false;
            footer->SetHeight(footer->Height() + band->Height());
            data->Prior();
        };
        detail->AfterPrint = [this](TQRBand*, bool printed) {
            if (printed)
                rows.push_back({report->PageNumber(), report->QRPrinter()->PageCount(), data->FieldByName("TG002").AsString(),
                                data->FieldByName("TH003").AsString()});
        };
        footer->BeforePrint = [this](TQRBand*, bool&) {
            footerHeights.push_back(footer->Height());
            lblNoData->SetEnabled(footer->Height() >= detail->Height());
        };
    }

    // Rows printed on a logical page.
    std::vector<PrintedRow> RowsOnPage(int page) const
    {
        std::vector<PrintedRow> out;
        for (const auto& r : rows)
            if (r.page == page) out.push_back(r);
        return out;
    }

    TClientDataSet* data;
    TQuickRep* report;
    TQRGroup* group;
    TQRBand* detail;
    TQRBand* footer;
    TQRChildBand* pageEnd;
    TQRLabel *lblSeq, *lblPageNo, *lblTotalPage, *lblNoData, *lblNextPage;
    TQRDBText* lblDoc;
    std::shared_ptr<TPacketServer> server;

    QString currentKey;
    int pageInGroup = 0, rowsPrintedInGroup = 0, headsPrinted = 0;
    std::vector<PrintedRow> rows;
    std::vector<int> footerHeights;
};

}  // namespace kelm24::test
