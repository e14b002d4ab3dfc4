// The validator object: "TABLE"/"NN" look-ups of the host tables. QueryData
// answers every matching row; CheckValue answers the first row alone. The
// queries, and so the element positions the plug-in reads, are listed in one
// place: Validator.cpp, kQueries.
#pragma once

#include "host/HostData.h"

namespace kelm24 {

struct THostQuery {
    const char* Table;
    const char* Number;
    const char* Sql;          // parameters :K0, :K1 ... are the keys in order; ":KEYS" stands for all keys from KeyFrom on
    int KeyCount;             // keys required
    const char* Captions;     // column captions of the pick window, "|"-separated
    int KeyFrom = -1;         // first key of a ":KEYS" list
};

// The query of a table and number, or nullptr.
const THostQuery* FindHostQuery(const QString& table, const QString& number);
// Runs it; raises when the keys do not fit.
QVector<THostRow> RunHostQuery(const THostData& data, const THostQuery& query, const Variant& keys);

class TValidator : public TAutomationObject {
public:
    explicit TValidator(std::shared_ptr<THostData> data);

private:
    bool Look(VariantArgs& args, bool allRows, const QString& member);
    std::shared_ptr<THostData> data_;
    int productId_ = 3;
    QString baseLimited_;
};

}  // namespace kelm24
