// TfrmKelm24Fmt_1: the receipt layout for merged lines (several receipt lines
// of one item printed as one). Same head and foot as TfrmKelm24Fmt, a reduced
// detail band; the delivered quantity is summed over all order lines of the
// merged line on a connection of its own. Its text:
// ":/layouts/TfrmKelm24Fmt_1.txt".
#pragma once

#include "format/Kelm24FmtF.h"
#include "format/MergedDelivered.h"

namespace kelm24 {

class TfrmKelm24Fmt_1 : public TfrmKelm24Fmt {
    Q_OBJECT

public:
    explicit TfrmKelm24Fmt_1(QWidget* Owner = nullptr);
    ~TfrmKelm24Fmt_1() override;
    static TVRFormatForm* CreateForm(QWidget* Owner);

    TMergedDelivered& Lookup() { return lookup_; }

protected:
    double RowDelivered() override;

private:
    TMergedDelivered lookup_;
};

}  // namespace kelm24
