#include "appserver/AppServer.h"

#include "appserver/Schema.h"
#include "kelm24/DataPacket.h"
#include "kelm24/HostObjects.h"

#include <QRegularExpression>
#include <QUuid>

namespace kelm24 {

namespace {

const QString kClassName = QStringLiteral("TAppServer");

// An argument that must be a one-dimensional array of at least minCount elements.
const Variant& ArrayArg(const VariantArgs& args, size_t index, const QString& member, int minCount, const QString& shape)
{
    if (index >= args.size()) throw Exception(QStringLiteral("%1: 缺少第 %2 个参数 (%3)").arg(member).arg(index + 1).arg(shape));
    const Variant& v = args[index];
    if (!v.IsArray() || v.DimCount() != 1 || v.Count() < minCount)
        throw Exception(QStringLiteral("%1: 第 %2 个参数应是 %3").arg(member).arg(index + 1).arg(shape));
    return v;
}

QString Element(const Variant& array, int k)
{
    const Variant& v = array[array.LowBound() + k];
    return v.IsEmpty() || v.IsNull() ? QString() : v.ToString();
}

QStringList TextLines(const Variant& lines, const QString& member)
{
    if (lines.IsText()) return lines.ToString().split(QLatin1Char('\n'));
    if (!lines.IsArray() || lines.DimCount() != 1) throw Exception(QStringLiteral("%1: 格式内容应是文本行的数组").arg(member));
    QStringList out;
    for (const Variant& v : lines.Elements()) out << (v.IsNull() || v.IsEmpty() ? QString() : v.ToString());
    return out;
}

QString StripPrefix(QString table)
{
    if (table.startsWith(QLatin1String("$$"))) table.remove(0, 2);
    return table.trimmed();
}

}  // namespace

TAppServer::TAppServer(TServerSettings settings)
    : TAutomationObject(kClassName), settings_(std::move(settings)), lockToken_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    AddMembers();
}

TAppServer::~TAppServer() = default;

TDataLayer& TAppServer::Data()
{
    if (!data_) data_ = std::make_unique<TDataLayer>(settings_);
    return *data_;
}

// The user who holds a layout lock, and which of their sessions.
QString TAppServer::LockToken() const { return session_.User + QLatin1Char('/') + lockToken_; }

void TAppServer::RequireSession() const
{
    if (!connected_) throw Exception(QStringLiteral("尚未登录应用服务器: 请先以存在的用户和公司调用 Connect"));
}

void TAppServer::RequireRight(int index, const QString& memberName, const QString& what) const
{
    RequireSession();
    if (session_.Rights.size() > index && session_.Rights[index] == QLatin1Char('Y')) return;
    throw Exception(QStringLiteral("%1: 用户 %2 没有%3的权限").arg(memberName, session_.User, what));
}

int TAppServer::Counted(const std::function<int()>& run)
{
    try {
        lastError_.clear();
        return run();
    } catch (const Exception& e) {
        lastError_ = e.Message();
        return -1;
    }
}

void TAppServer::AddMembers()
{
    AddMethod(member::Connect, [this](VariantArgs& a) { return this->Connect(Arg(a, 0, member::Connect)); });
    AddProperty(member::PowerData, [this] { return this->PowerData(); });
    AddProperty(member::SQLType, [this] {
        RequireSession();
        return Variant(0);  // joins are written with LEFT JOIN on every engine
    });
    AddProperty(QStringLiteral("LastError"), [this] { return Variant(lastError_); });

    AddMethod(member::LoadTable, [this](VariantArgs& a) {
        RequireSession();
        const Variant& r = ArrayArg(a, 0, member::LoadTable, 2, QStringLiteral("[用户代号, 程序代号]"));
        TConditionKey key = ConditionKey(r, -1, 0, 1, member::LoadTable);
        loadedUser_ = key.User;
        loadedProgram_ = key.Program;
        tableLoaded_ = true;
        return Variant(QString());
    });
    AddMethod(member::InsertConTable, [this](VariantArgs& a) {
        RequireSession();
        const Variant& r = ArrayArg(a, 0, member::InsertConTable, 7,
                                    QStringLiteral("[方案名称, 用户代号, 日期, 程序代号, 规格, 内容, 是否覆盖]"));
        TConditionKey key = ConditionKey(r, 0, 1, 3, member::InsertConTable);
        const Variant& replace = r[r.LowBound() + 6];
        try {
            return Variant(TConditionSetStore(Data()).Insert(key, Element(r, 2), Element(r, 4), Element(r, 5),
                                                             !replace.IsEmpty() && !replace.IsNull() && replace.ToBool()));
        } catch (const Exception& e) {
            return Variant(e.Message());
        }
    });
    AddMethod(member::DeleteConTable, [this](VariantArgs& a) {
        RequireSession();
        const Variant& r = ArrayArg(a, 0, member::DeleteConTable, 3, QStringLiteral("[方案名称, 用户代号, 程序代号]"));
        TConditionKey key = ConditionKey(r, 0, 1, 2, member::DeleteConTable);
        try {
            return Variant(TConditionSetStore(Data()).Delete(key));
        } catch (const Exception& e) {
            return Variant(e.Message());
        }
    });
    AddMethod(member::ChangeConName, [this](VariantArgs& a) {
        RequireSession();
        const QString shape = QStringLiteral("[方案名称, 用户代号, 程序代号]");
        TConditionKey from = ConditionKey(ArrayArg(a, 0, member::ChangeConName, 3, shape), 0, 1, 2, member::ChangeConName);
        TConditionKey to = ConditionKey(ArrayArg(a, 1, member::ChangeConName, 3, shape), 0, 1, 2, member::ChangeConName);
        try {
            return Variant(TConditionSetStore(Data()).Rename(from, to));
        } catch (const Exception& e) {
            return Variant(e.Message());
        }
    });

    AddMethod(member::GetBlobField, [this](VariantArgs& a) {
        RequireSession();
        const Variant& key = ArrayArg(a, 0, member::GetBlobField, 2, QStringLiteral("[格式类别, 格式名称]"));
        if (a.size() < 2) throw Exception(QStringLiteral("%1: 缺少接收答案的第 2 个参数").arg(member::GetBlobField));
        return Variant(TLayoutStore(Data()).Read(Element(key, 0), Element(key, 1), a[1]));
    });
    AddMethod(member::RunUpdFlagSQL, [this](VariantArgs& a) {
        RequireRight(1, member::RunUpdFlagSQL, QStringLiteral("设计格式"));
        const Variant& r = ArrayArg(a, 0, member::RunUpdFlagSQL, 4, QStringLiteral("[版本, 读到的版本, 格式类别, 格式名称]"));
        return Variant(Counted([&] {
            return TLayoutStore(Data()).Lock(Element(r, 2), Element(r, 3), Element(r, 1), LockToken());
        }));
    });
    AddMethod(member::RunInsUpdSQL, [this](VariantArgs& a) {
        RequireRight(1, member::RunInsUpdSQL, QStringLiteral("设计格式"));
        const QString name = member::RunInsUpdSQL;
        bool update = Arg(a, 0, name).ToBool();
        QStringList lines = TextLines(Arg(a, 1, name), name);
        const Variant& p = ArrayArg(a, 2, name, 7, QStringLiteral("七个元素的参数数组"));
        int size = Arg(a, 3, name).IsEmpty() ? 0 : Arg(a, 3, name).ToInt();
        return Variant(Counted([&] {
            TLayoutStore store(Data());
            // The layout is recorded as the session's: the owner fields the
            // client sends are not taken on its word.
            const TLayoutOwner owner{session_.Company, session_.User, session_.UserGroup};
            if (update)
                return store.Update(owner, Element(p, 4), Element(p, 5), Element(p, 3), lines, size, Element(p, 6), LockToken());
            return store.Insert(owner, Element(p, 3), Element(p, 4), Element(p, 5), lines, size, Element(p, 6));
        }));
    });
    AddMethod(member::RunDeleteSQL, [this](VariantArgs& a) {
        RequireRight(2, member::RunDeleteSQL, QStringLiteral("删除格式"));
        const Variant& r = ArrayArg(a, 0, member::RunDeleteSQL, 2, QStringLiteral("[格式类别, 格式名称]"));
        return Variant(Counted([&] { return TLayoutStore(Data()).Delete(Element(r, 0), Element(r, 1).trimmed()); }));
    });
    AddMethod(member::RunFreeSQL, [this](VariantArgs& a) {
        RequireSession();
        const Variant& v = Arg(a, 0, member::RunFreeSQL);
        const QString sql = v.IsArray() && v.Count() > 0 ? Element(v, 0) : v.ToString();
        return Variant(Counted([&] { return this->RunFreeSQL(sql); }));
    });
    AddMethod(member::UpdatePrintCount, [this](VariantArgs& a) {
        RequireSession();
        return Variant(this->UpdatePrintCount(
            ArrayArg(a, 0, member::UpdatePrintCount, 3, QStringLiteral("[数据表, 栏位, 条件]"))));
    });
    AddMethod(member::GetQNData, [this](VariantArgs& a) {
        RequireSession();
        return TApprovalHistory(Data()).Documents(Arg(a, 0, member::GetQNData).ToString());
    });
    AddMethod(member::GetWebserviceQNData, [this](VariantArgs& a) {
        RequireSession();
        return Variant(TApprovalHistory(Data()).WebServiceXml(Arg(a, 0, member::GetWebserviceQNData).ToString()));
    });
    AddMethod(member::ColumnLength, [this](VariantArgs& a) {
        RequireSession();
        const Variant& r = ArrayArg(a, 0, member::ColumnLength, 2, QStringLiteral("[表, 栏位]"));
        return Variant(DeclaredLength(Element(r, 0), Element(r, 1)));
    });
    AddMethod(member::AS_GetRecords, [this](VariantArgs& a) {
        RequireSession();
        const Variant& text = a.size() > 1 ? a[1] : Variant();
        return GetRecords(Arg(a, 0, member::AS_GetRecords).ToString(),
                          text.IsEmpty() || text.IsNull() ? QString() : text.ToString(), a.size() > 2 ? a[2] : Variant());
    });
}

int TAppServer::DeclaredLength(const QString& table, const QString& column)
{
    // Only names of the schema reach the catalogue question, and they are
    // asked as values (PostgreSQL) or as a name the schema spells (SQLite).
    const TTableDef* def = TSchema::Company().Table(table);
    if (!def || !def->HasColumn(column)) return 0;
    const QString columnName = def->Columns[def->ColumnIndex(column)].Name;
    static const QRegularExpression sized(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
    if (Data().Engine() == TSqlEngine::SQLite) {
        for (const TSqlRow& row : Data().Select(QStringLiteral("PRAGMA main.table_info(%1)").arg(def->Name))) {
            if (row.size() < 3 || row[1].toString().compare(columnName, Qt::CaseInsensitive) != 0) continue;
            const auto m = sized.match(row[2].toString());
            return m.hasMatch() ? m.captured(1).toInt() : 0;
        }
        return 0;
    }
    const QVector<TSqlRow> rows = Data().Select(
        QStringLiteral("SELECT character_maximum_length FROM information_schema.columns "
                       "WHERE table_schema='public' AND table_name=? AND column_name=?"),
        {def->Name.toLower(), columnName.toLower()});
    return rows.isEmpty() || rows[0].isEmpty() ? 0 : rows[0][0].toInt();
}

TConditionKey TAppServer::ConditionKey(const Variant& array, int nameAt, int userAt, int programAt,
                                       const QString& memberName) const
{
    TConditionKey key{nameAt >= 0 ? Element(array, nameAt) : QString(), Element(array, userAt), Element(array, programAt)};
    // Condition sets belong to one user: a session keeps to its own.
    if (key.User.compare(session_.User, Qt::CaseInsensitive) != 0)
        throw Exception(QStringLiteral("%1: 只能使用自己 (%2) 的条件方案, 不能使用用户 %3 的")
                            .arg(memberName, session_.User, key.User));
    return key;
}

Variant TAppServer::Connect(const Variant& request)
{
    if (!request.IsArray() || request.DimCount() != 1 || request.Count() < 5)
        throw Exception(QStringLiteral("Connect: 参数应是 [程序代号, 用户代号, 公司代号, 数据库名称, 主表] 数组"));
    connected_ = false;
    tableLoaded_ = false;
    TSession s;
    s.Program = Element(request, 0).toUpper();
    s.User = Element(request, 1);
    s.Company = Element(request, 2);
    s.Database = Element(request, 3);
    s.MainTable = Element(request, 4).toUpper();
    if (!provenUser_.isEmpty() && s.User.compare(provenUser_, Qt::CaseInsensitive) != 0)
        throw Exception(QStringLiteral("此连接已以用户 %1 登录, 不能打开用户 %2 的会话").arg(provenUser_, s.User));
    QVector<TSqlRow> users =
        Data().Select(QStringLiteral("SELECT MF002, MF004, MF005, MF006 FROM ADMMF WHERE MF001=?"), {s.User});
    if (users.isEmpty()) throw Exception(QStringLiteral("用户 %1 不存在, 无法登录应用服务器").arg(s.User));
    if (Data().Select(QStringLiteral("SELECT ML002 FROM CMSML WHERE ML001=?"), {s.Company}).isEmpty())
        throw Exception(QStringLiteral("公司 %1 不存在, 无法登录应用服务器").arg(s.Company));
    s.UserName = users[0][0].toString();
    s.UserGroup = users[0][1].toString();
    s.SuperUser = users[0][2].toString() == QLatin1String("Y");
    s.Department = users[0][3].toString();
    s.Rights = s.SuperUser ? QStringLiteral("YYYYYYYY") : QStringLiteral("YNNNNYYN");
    const QVector<TSqlRow> granted =
        Data().Select(QStringLiteral("SELECT MG003 FROM ADMMG WHERE MG001=? AND MG002=?"), {s.User, s.Program});
    if (!granted.isEmpty()) s.Rights = granted[0][0].toString();
    // Its condition sets are the only ones its statements can see.
    Data().SetSessionUser(s.User);
    session_ = s;
    connected_ = true;
    return Variant(true);
}

// [0] row-permission condition on the main table, [1] "name,super user,Y,rights,group,department",
// [2] user group, [3] department, [4] "Y" when other tables carry rules, [5] those rules [N, "TABLE condition" ...].
Variant TAppServer::PowerData()
{
    RequireSession();
    const QString rights = session_.Rights;
    QStringList mainRules, otherRules;
    if (!session_.SuperUser) {
        const QVector<TSqlRow> rules = Data().Select(
            QStringLiteral("SELECT MR004, MR005 FROM ADMMR WHERE MR001=? AND MR002=? ORDER BY MR003"),
            {session_.User, session_.Program});
        for (const TSqlRow& r : rules) {
            const QString table = r[0].toString().trimmed().toUpper(), condition = r[1].toString().trimmed();
            if (table.isEmpty() || condition.isEmpty()) continue;
            if (table == session_.MainTable) mainRules << QStringLiteral("(%1)").arg(condition);
            else otherRules << table + QLatin1Char(' ') + condition;
        }
    }
    auto field = [](QString text) { return text.replace(QLatin1Char(','), QChar(0xFF0C)); };
    QString line = QStringList{field(session_.UserName), session_.SuperUser ? QStringLiteral("Y") : QStringLiteral("N"),
                               QStringLiteral("Y"), field(rights), field(session_.UserGroup), field(session_.Department)}
                       .join(QLatin1Char(','));
    Variant rules = Variant::CreateArray(0, static_cast<int>(otherRules.size()));
    rules[0] = static_cast<int>(otherRules.size());
    for (int i = 0; i < otherRules.size(); ++i) rules[i + 1] = otherRules[i];
    return Variant::ArrayOf({mainRules.join(QStringLiteral(" AND ")), line, session_.UserGroup, session_.Department,
                             otherRules.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"), rules});
}

Variant TAppServer::GetRecords(const QString& provider, const QString& commandText, const Variant& params)
{
    if (provider.compare(QLatin1String("pvdConSave"), Qt::CaseInsensitive) == 0) {
        if (!tableLoaded_) throw Exception(QStringLiteral("pvdConSave: 请先调用 LoadTable 选择用户和程序"));
        return TConditionSetStore(Data()).Packet(loadedUser_, loadedProgram_);
    }
    if (provider.compare(QLatin1String("Provider1"), Qt::CaseInsensitive) != 0 &&
        provider.compare(QLatin1String("Provider2"), Qt::CaseInsensitive) != 0 &&
        provider.compare(QLatin1String("pvdTemp"), Qt::CaseInsensitive) != 0)
        throw Exception(QStringLiteral("未知的数据提供者: %1").arg(provider));
    CheckClientSql(commandText, TStatementUse::Query, TSchema::Company());
    return Data().QueryPacket(commandText, params, TClientMember::Query);
}

// What a free statement may touch is the access policy's to say, and the
// database engine enforces it; the check here keeps it to one statement of a
// known kind, which the engine's dialects read alike.
int TAppServer::RunFreeSQL(const QString& sql)
{
    CheckClientSql(sql, TStatementUse::AnyDml, TSchema::Company());
    return Data().ExecClient(sql, TClientMember::FreeSql);
}

// One more print (or send) of the documents whose key the condition names.
// The statement is the server's own with the key values bound; it still runs
// under the print-count policy, which lets it write the count columns alone.
int TAppServer::UpdatePrintCount(const Variant& request)
{
    const QString table = StripPrefix(Element(request, 0)), column = Element(request, 1).trimmed();
    const TDocumentTable* document = TAccessPolicy::Company().DocumentTable(table);
    if (!document) throw Exception(QStringLiteral("UpdatePrintCount: 数据表 %1 不是计数的单据表").arg(table));
    const int c = static_cast<int>(document->CountColumns.indexOf(column.toUpper()));
    if (c < 0)
        throw Exception(QStringLiteral("UpdatePrintCount: 数据表 %1 没有计数栏位 %2 (只有 %3)")
                            .arg(document->Table, column, document->CountColumns.join(QStringLiteral(", "))));
    const QString condition = Element(request, 2);
    if (condition.trimmed().isEmpty())
        throw Exception(QStringLiteral("UpdatePrintCount: 没有条件, 不能给整个数据表 %1 计数").arg(document->Table));
    const QStringList values = document->KeyValues(condition);
    QStringList keyTerms;
    TSqlRow binds;
    for (int k = 0; k < document->Key.size(); ++k) {
        keyTerms << document->Key[k] + QStringLiteral("=?");
        binds << values[k];
    }
    const QString name = document->CountColumns[c];
    return Data().ExecClient(QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, 0) + 1 WHERE %3")
                                 .arg(document->Table, name, keyTerms.join(QStringLiteral(" AND "))),
                             TClientMember::PrintCount, binds);
}

}  // namespace kelm24
