#include "kelm24/HostObjects.h"

namespace kelm24 {

QString THostObject::GetMessage(const QString& type, const QString& id) const
{
    return obj_.Call(member::GetMessage, {type, id}).ToString();
}

int THostObject::VersionType() const { return obj_.Get(member::VersionType).ToInt(); }
int THostObject::ProductID() const { return obj_.Get(member::ProductID).ToInt(); }

void THostObject::CallHelp(const QString& prefix, const QString& context) const
{
    obj_.Call(member::CallHelp, {Variant::ArrayOf({prefix, context})});
}

void THostObject::SetFormCreateStyle(const QString& style) const { obj_.Call(member::SetFormCreateStyle, {style}); }

QString THostObject::GetFileList(const QString& libraryFileName) const
{
    return obj_.Call(member::GetFileList, {Variant::ArrayOf({libraryFileName.toLower()})}).ToString();
}

Variant THostObject::Counter() const { return obj_.Get(member::Com_Counter); }
Variant THostObject::Validator() const { return obj_.Get(member::Com_Validator); }
Variant THostObject::F2Window() const { return obj_.Get(member::Com_F2Window); }

Variant TCounterObject::GetSysInfo(const QString& companyCode) const
{
    return obj_.Call(member::GetSysInfo, {companyCode});
}

Variant TCounterObject::GetCounter(const QString& function, Variant& args, const QString& companyCode,
                                   const QString& databaseName) const
{
    VariantArgs a{function.toUpper(), args, Variant::ArrayOf({companyCode, databaseName})};
    Variant answer = obj_.Call(member::GetCounter, a);
    args = a[1];
    return answer;
}

void TValidatorObject::SetProductID(int productId) const { obj_.Set(member::ProductID, productId); }
void TValidatorObject::SetBaseLimited(const QString& permission) const { obj_.Set(member::BaseLimited, permission); }

namespace {
bool RunQuery(const Variant& obj, const QString& memberName, const QString& table, const QString& number,
              const QString& database, const Variant& keys, Variant& result)
{
    VariantArgs a{table, number, database, keys, result};
    bool ok = obj.Call(memberName, a).ToBool();
    result = a[4];
    return ok;
}
}  // namespace

bool TValidatorObject::QueryData(const QString& table, const QString& number, const QString& database,
                                 const Variant& keys, Variant& result) const
{
    return RunQuery(obj_, member::QueryData, table, number, database, keys, result);
}

bool TValidatorObject::CheckValue(const QString& table, const QString& number, const QString& database,
                                  const Variant& keys, Variant& result) const
{
    return RunQuery(obj_, member::CheckValue, table, number, database, keys, result);
}

QString TF2WindowObject::GetPhrase(const QString& userCode, const QString& database, int windowHandle) const
{
    return obj_.Call(member::GetPhrase, {userCode, database, windowHandle}).ToString();
}

Variant TF2WindowObject::F2GetData(Variant& args) const
{
    VariantArgs a{args};
    Variant answer = obj_.Call(member::F2GetData, a);
    args = a[0];
    return answer;
}

QString TF2WindowObject::ShowInputDay(bool rocYear, const QString& startDate, const QString& database) const
{
    return obj_.Call(member::ShowInputDay, {Variant::ArrayOf({rocYear, startDate, database})}).ToString();
}

Variant TAppServerObject::Connect(const QString& program, const QString& user, const QString& company,
                                  const QString& database, const QString& mainTable) const
{
    return obj_.Call(member::Connect, {Variant::ArrayOf({program, user, company, database, mainTable})});
}

Variant TAppServerObject::PowerData() const { return obj_.Call(member::PowerData); }
int TAppServerObject::SQLType() const { return obj_.Call(member::SQLType).ToInt(); }
QString TAppServerObject::LoadTable(const Variant& args) const { return obj_.Call(member::LoadTable, {args}).ToString(); }
QString TAppServerObject::InsertConTable(const Variant& args) const
{
    return obj_.Call(member::InsertConTable, {args}).ToString();
}
QString TAppServerObject::DeleteConTable(const Variant& args) const
{
    return obj_.Call(member::DeleteConTable, {args}).ToString();
}
QString TAppServerObject::ChangeConName(const Variant& oldKey, const Variant& newKey) const
{
    return obj_.Call(member::ChangeConName, {oldKey, newKey}).ToString();
}
int TAppServerObject::RunDeleteSQL(const Variant& args) const { return obj_.Call(member::RunDeleteSQL, {args}).ToInt(); }
int TAppServerObject::RunFreeSQL(const Variant& args) const { return obj_.Call(member::RunFreeSQL, {args}).ToInt(); }
int TAppServerObject::RunInsUpdSQL(bool update, const Variant& lines, const Variant& params, int sizeKb) const
{
    return obj_.Call(member::RunInsUpdSQL, {update, lines, params, sizeKb}).ToInt();
}
int TAppServerObject::RunUpdFlagSQL(const Variant& args) const
{
    return obj_.Call(member::RunUpdFlagSQL, {args}).ToInt();
}

int TAppServerObject::GetBlobField(const Variant& key, Variant& answer) const
{
    VariantArgs a{key, answer};
    int count = obj_.Call(member::GetBlobField, a).ToInt();
    answer = a[1];
    return count;
}

int TAppServerObject::UpdatePrintCount(const QString& table, const QString& column, const QString& condition) const
{
    return obj_.Call(member::UpdatePrintCount, {Variant::ArrayOf({table, column, condition})}).ToInt();
}

Variant TAppServerObject::GetQNData(const QString& request) const { return obj_.Call(member::GetQNData, {request}); }

Variant TAppServerObject::GetWebserviceQNData(const QString& request, const QString& programCode) const
{
    return obj_.Call(member::GetWebserviceQNData, {request, programCode});
}

}  // namespace kelm24
