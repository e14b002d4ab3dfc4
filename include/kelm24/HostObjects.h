// The host's automation objects as the plug-in calls them: member names in one
// place and thin typed wrappers, so a call site reads like the call it makes.
// Each wrapper raises what the object raises; callers decide what a failure means.
#pragma once

#include "kelm24/Automation.h"

namespace kelm24 {

namespace member {
// Host object
inline const QString GetMessage = QStringLiteral("GetMessage");
inline const QString VersionType = QStringLiteral("VersionType");
inline const QString ProductID = QStringLiteral("ProductID");
inline const QString CallHelp = QStringLiteral("CallHelp");
inline const QString SetFormCreateStyle = QStringLiteral("SetFormCreateStyle");
inline const QString GetFileList = QStringLiteral("GetFileList");
inline const QString Com_Counter = QStringLiteral("Com_Counter");
inline const QString Com_Validator = QStringLiteral("Com_Validator");
inline const QString Com_F2Window = QStringLiteral("Com_F2Window");
// Counter
inline const QString GetSysInfo = QStringLiteral("GetSysInfo");
inline const QString GetCounter = QStringLiteral("GetCounter");
// Validator
inline const QString BaseLimited = QStringLiteral("BaseLimited");
inline const QString QueryData = QStringLiteral("QueryData");
inline const QString CheckValue = QStringLiteral("CheckValue");
// Pick window
inline const QString GetPhrase = QStringLiteral("GetPhrase");
inline const QString F2GetData = QStringLiteral("F2GetData");
inline const QString ShowInputDay = QStringLiteral("ShowInputDay");
// Application server
inline const QString Connect = QStringLiteral("Connect");
inline const QString PowerData = QStringLiteral("PowerData");
inline const QString SQLType = QStringLiteral("SQLType");
inline const QString LoadTable = QStringLiteral("LoadTable");
inline const QString InsertConTable = QStringLiteral("InsertConTable");
inline const QString DeleteConTable = QStringLiteral("DeleteConTable");
inline const QString ChangeConName = QStringLiteral("ChangeConName");
inline const QString RunDeleteSQL = QStringLiteral("RunDeleteSQL");
inline const QString RunFreeSQL = QStringLiteral("RunFreeSQL");
inline const QString RunInsUpdSQL = QStringLiteral("RunInsUpdSQL");
inline const QString RunUpdFlagSQL = QStringLiteral("RunUpdFlagSQL");
inline const QString GetBlobField = QStringLiteral("GetBlobField");
// [table, column]: the declared length of a text column in the database.
inline const QString ColumnLength = QStringLiteral("ColumnLength");
inline const QString UpdatePrintCount = QStringLiteral("UpdatePrintCount");
inline const QString GetQNData = QStringLiteral("GetQNData");
inline const QString GetWebserviceQNData = QStringLiteral("GetWebserviceQNData");
}  // namespace member

// Program identifiers.
inline const QString HostProgId = QStringLiteral("PratelWorkCenter.Manager");
inline QString AppServerProgId(const QString& programCode) { return programCode + QStringLiteral("S.Class1"); }

// Functions of the counter's GetCounter, as the plug-in names them.
namespace counterfn {
inline const QString SimpleSql = QStringLiteral("SimpleSql");
inline const QString OnHold = QStringLiteral("OnHold");
inline const QString UnitConvert = QStringLiteral("UnitConvert");
inline const QString ResultConnectString = QStringLiteral("ResultConnectString");
}  // namespace counterfn

// The argument array of the pick window's F2GetData: 19 elements, in this order.
namespace pickarg {
enum : int {
    Table = 0,          // look-up table ("CMSMC")
    QueryId = 1,        // look-up number within the table ("01")
    Keys = 2,           // key values of the look-up
    MultiSelect = 3,    // several rows may be chosen
    TypedText = 4,      // the text in the field; rows that contain it are kept
    CompanyCode = 5,
    DatabaseName = 6,
    WindowHandle = 7,
    Reserved8 = 8,      // always 1
    Reserved9 = 9,      // always False
    ProductId = 10,
    Reserved11 = 11,    // three empty texts
    Reserved12 = 12,
    Reserved13 = 13,
    PermissionText = 14,  // the text handed to the validator's BaseLimited
    Rights7Allowed = 15,  // character 7 of the user's rights is not "N"
    PricesAllowed = 16,   // character 8 (prices) of the user's rights is not "N"
    HostObject = 17,
    UserCode = 18,
    Count = 19
};
}  // namespace pickarg

// The host object supplied in the controller's HostObject.
class KELM24_SDK THostObject {
public:
    explicit THostObject(Variant object) : obj_(std::move(object)) {}
    bool Assigned() const { return obj_.IsObject(); }
    QString GetMessage(const QString& type, const QString& id) const;
    int VersionType() const;
    int ProductID() const;
    void CallHelp(const QString& prefix, const QString& context) const;
    void SetFormCreateStyle(const QString& style) const;
    QString GetFileList(const QString& libraryFileName) const;
    Variant Counter() const;
    Variant Validator() const;
    Variant F2Window() const;

private:
    Variant obj_;
};

class KELM24_SDK TCounterObject {
public:
    explicit TCounterObject(Variant object) : obj_(std::move(object)) {}
    bool Assigned() const { return obj_.IsObject(); }
    // Two rows: row 0 the setting names, row 1 their values.
    Variant GetSysInfo(const QString& companyCode) const;
    // Runs a counter function; the name is sent in upper case, args by reference.
    Variant GetCounter(const QString& function, Variant& args, const QString& companyCode,
                       const QString& databaseName) const;

private:
    Variant obj_;
};

class KELM24_SDK TValidatorObject {
public:
    explicit TValidatorObject(Variant object) : obj_(std::move(object)) {}
    bool Assigned() const { return obj_.IsObject(); }
    void SetProductID(int productId) const;
    void SetBaseLimited(const QString& permission) const;
    // "TABLE"/"NN" queries; result receives the row array.
    bool QueryData(const QString& table, const QString& number, const QString& database, const Variant& keys,
                   Variant& result) const;
    bool CheckValue(const QString& table, const QString& number, const QString& database, const Variant& keys,
                    Variant& result) const;

private:
    Variant obj_;
};

class KELM24_SDK TF2WindowObject {
public:
    explicit TF2WindowObject(Variant object) : obj_(std::move(object)) {}
    bool Assigned() const { return obj_.IsObject(); }
    QString GetPhrase(const QString& userCode, const QString& database, int windowHandle) const;
    // args: the 19-element pick argument array.
    Variant F2GetData(Variant& args) const;
    // Picked date "YYYYMMDD", or empty when cancelled. rocYear: the form's date
    // type is above 3 (dates shown with the ROC year).
    QString ShowInputDay(bool rocYear, const QString& startDate, const QString& database) const;

private:
    Variant obj_;
};

class KELM24_SDK TAppServerObject {
public:
    explicit TAppServerObject(Variant object) : obj_(std::move(object)) {}
    bool Assigned() const { return obj_.IsObject(); }
    const Variant& Object() const { return obj_; }
    Variant Connect(const QString& program, const QString& user, const QString& company, const QString& database,
                    const QString& mainTable) const;
    Variant PowerData() const;
    int SQLType() const;
    // Condition-set members answer an error text, empty on success.
    QString LoadTable(const Variant& args) const;
    QString InsertConTable(const Variant& args) const;
    QString DeleteConTable(const Variant& args) const;
    // [old name, user, program], [new name, user, program]
    QString ChangeConName(const Variant& oldKey, const Variant& newKey) const;
    // Statement members answer a row count: above 0 success, negative failure.
    int RunDeleteSQL(const Variant& args) const;
    int RunFreeSQL(const Variant& args) const;
    // A stored layout: update (true) or insert, its text lines, the seven
    // owner/key/option values, its size in kilobytes.
    int RunInsUpdSQL(bool update, const Variant& lines, const Variant& params, int sizeKb) const;
    int RunUpdFlagSQL(const Variant& args) const;
    // [form class name, style name]; answer receives [revision, lines].
    int GetBlobField(const Variant& key, Variant& answer) const;
    // Adds one to the column of the rows the condition selects; answers their number.
    int UpdatePrintCount(const QString& table, const QString& column, const QString& condition) const;
    Variant GetQNData(const QString& request) const;
    Variant GetWebserviceQNData(const QString& request, const QString& programCode) const;

private:
    Variant obj_;
};

}  // namespace kelm24
