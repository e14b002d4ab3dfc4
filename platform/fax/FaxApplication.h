// The fax application's automation object ("QVSFAX.APP") as the report
// output calls it:
//   app.RefreshFaxServerInfo; app.FaxServerCount; app.GetFaxServerInfo(i, name, info)
//   job := app.SendFax; job.ConnectFaxServer(server) -> Boolean;
//   job.AddFaxFile(file); job.SendFax(number, recipient, user, 0); job.DisconnectFaxServer
// A fax server is a spool folder. SendFax writes one job folder into it
// ("<job id>/job.ini" and the page files in order), built under a hidden
// name and renamed when complete, so a fax service never sees half a job.
#pragma once

#include "kelm24/Automation.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kelm24 {

struct TFaxServer {
    QString Name;         // shown in the fax menu
    QString Address;      // the information text: what ConnectFaxServer names
    QString SpoolFolder;  // where the jobs go
};

// The servers are read again on every RefreshFaxServerInfo.
using TFaxServerSource = std::function<std::vector<TFaxServer>()>;

std::shared_ptr<IAutomationObject> CreateFaxApplication(TFaxServerSource servers);

}  // namespace kelm24
