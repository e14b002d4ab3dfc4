// The application server object "<program>S.Class1": the members the plug-in
// calls, answering from the company database. One object is one session: it
// answers data members only after Connect named a user and company that exist.
#pragma once

#include "appserver/DataLayer.h"
#include "appserver/Stores.h"
#include "kelm24/Automation.h"

#include <memory>

namespace kelm24 {

// The identity a session runs under, from Connect.
struct TSession {
    QString Program, User, Company, Database, MainTable;
    QString UserName, UserGroup, Department;
    bool SuperUser = false;
};

class TAppServer : public TAutomationObject {
public:
    explicit TAppServer(TServerSettings settings);
    ~TAppServer() override;

    bool Connected() const { return connected_; }
    const TSession& Session() const { return session_; }
    // The message of the last statement member that answered a failure count.
    QString LastError() const { return lastError_; }

private:
    void AddMembers();
    TDataLayer& Data();
    // The declared length of a text column (VARCHAR(n)) as the database
    // keeps it; 0 for an unbounded or unknown column.
    int DeclaredLength(const QString& table, const QString& column);
    void RequireSession() const;
    QString LockToken() const;
    Variant Connect(const Variant& request);
    Variant PowerData();
    Variant GetRecords(const QString& provider, const QString& commandText, const Variant& params);
    int RunFreeSQL(const QString& sql);
    int UpdatePrintCount(const Variant& request);
    TConditionKey ConditionKey(const Variant& array, int nameAt, int userAt, int programAt, const QString& member) const;
    // Runs a statement member: failures answer -1 and keep the message.
    int Counted(const std::function<int()>& run);

    TServerSettings settings_;
    std::unique_ptr<TDataLayer> data_;
    bool connected_ = false;
    TSession session_;
    QString lastError_;
    QString lockToken_;  // marks the layout rows this object locked
    QString loadedUser_, loadedProgram_;  // LoadTable's choice for "pvdConSave"
    bool tableLoaded_ = false;
};

}  // namespace kelm24
