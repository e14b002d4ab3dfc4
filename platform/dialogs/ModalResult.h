// Modal results of forms and message dialogs, with the values the host and
// stored settings know them by.
#pragma once

namespace kelm24 {

enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

}  // namespace kelm24
