// The sample company: a deterministic generator of a Chinese trading company's
// database (suppliers, items with units and conversions, warehouses,
// currencies, document types, purchase orders and receipts, approval history,
// users with row permissions, program and system settings).
#pragma once

#include "appserver/DataLayer.h"

#include <QString>
#include <functional>

namespace kelm24 {

struct TSampleOptions {
    int Receipts = 200;
    int LinesPerReceipt = 0;  // 0: varied (1 to 15, some long, some without lines); else exactly this many
    quint32 Seed = 20240601;
};

// What was written, for callers that check or print it.
struct TSampleSummary {
    int Receipts = 0, ReceiptLines = 0, Orders = 0, OrderLines = 0, Suppliers = 0, Items = 0;
};

class TSampleCompany {
public:
    // The codes the sample company is known by.
    static const QString CompanyCode;   // "DEMO"
    static const QString ProgramCode;   // "KELM24"
    static const QString AdminUser;     // "DS": every right, no row rules
    static const QString LeaderUser;    // "Leader": every right of the report
    static const QString ClerkUser;     // "Clerk": print only, rows of factory 01 and three warehouses

    explicit TSampleCompany(TSampleOptions options = {}) : options_(options) {}
    // Creates the schema in an empty database and fills it, in one transaction.
    TSampleSummary Write(TDataLayer& data);
    // A new SQLite file (an existing one is replaced when replace is set).
    TSampleSummary WriteSqliteFile(const QString& path, bool replace = false);

private:
    TSampleOptions options_;
};

}  // namespace kelm24
