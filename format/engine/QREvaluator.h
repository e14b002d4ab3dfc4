// The expression evaluator of group expressions and expression fields:
// "clientdataset1.TG001+clientdataset1.TG002", "PAGENUMBER", IF(...), ...
#pragma once

#include "kelm24/Variant.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kelm24 {

class TClientDataSet;
class TField;

// Functions an expression may call by name (without regard to case); the
// report registers "PAGENUMBER", "COLUMNNUMBER", "REPORTTITLE" and what its
// layout adds.
using TQRFunction = std::function<Variant(const std::vector<Variant>& args)>;
using TQRFunctionTable = QHash<QString, TQRFunction>;  // keys in upper case

class TQREvaluator {
public:
    TQREvaluator();
    ~TQREvaluator();
    TQREvaluator(const TQREvaluator&) = delete;
    TQREvaluator& operator=(const TQREvaluator&) = delete;

    // Data sets that "name.FIELD" refers to (by object name, without case);
    // a bare field name refers to the first data set that has the field.
    void SetDataSets(std::vector<TClientDataSet*> dataSets) { dataSets_ = std::move(dataSets); }
    // Report functions; the table must outlive the prepared expression.
    void SetFunctions(const TQRFunctionTable* functions) { functions_ = functions; }

    // Compiles the expression; raises a kelm24::Exception naming the position
    // of a syntax error or an unknown identifier.
    void Prepare(const QString& expression);
    bool Prepared() const { return root_ != nullptr; }
    void Unprepare();

    // Evaluates at the data sets' current rows. Fields that hold Null read
    // as "" (texts) or 0 (numbers). An empty expression gives "".
    Variant Value() const;
    QString AsString() const;

    // One-shot evaluation.
    static Variant Evaluate(const QString& expression, std::vector<TClientDataSet*> dataSets,
                            const TQRFunctionTable* functions = nullptr);

    struct Node;

private:
    std::vector<TClientDataSet*> dataSets_;
    const TQRFunctionTable* functions_ = nullptr;
    std::unique_ptr<Node> root_;
    bool empty_ = false;
};

// The text of a value as expressions print it (numbers in shortest form).
QString QRValueText(const Variant& value);

}  // namespace kelm24
