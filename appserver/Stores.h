// The server's own tables: saved condition sets (GENES), stored layouts
// (WARRANT) and approval history (QNSTA). Every value is bound.
#pragma once

#include "appserver/DataLayer.h"

namespace kelm24 {

struct TConditionKey {
    QString Name, User, Program;
};

class TConditionSetStore {
public:
    explicit TConditionSetStore(TDataLayer& data) : data_(data) {}
    // Each answers an error text, empty on success.
    QString Insert(const TConditionKey& key, const QString& date, const QString& specs, const QString& values, bool replace);
    QString Delete(const TConditionKey& key);
    QString Rename(const TConditionKey& from, const TConditionKey& to);
    // The provider's rows of one user and program.
    Variant Packet(const QString& user, const QString& program);

private:
    bool Exists(const TConditionKey& key);
    // The stored table itself: a session's client statements see a table of
    // the same name that holds only its user's rows.
    QString Genes() const { return data_.StoredTable(QStringLiteral("GENES")); }
    TDataLayer& data_;
};

struct TLayoutOwner {
    QString Company, User, Group;
};

class TLayoutStore {
public:
    explicit TLayoutStore(TDataLayer& data) : data_(data) {}
    // 1 and [revision, lines] when stored, else 0.
    int Read(const QString& formClass, const QString& style, Variant& answer);
    // 1 when the row still has the revision the caller read; -1 otherwise.
    // The lock is the caller's token; a later lock takes it over.
    int Lock(const QString& formClass, const QString& style, const QString& revisionRead, const QString& token);
    // Stores only while the caller's lock holds, and releases it; -1 otherwise.
    int Update(const TLayoutOwner& owner, const QString& formClass, const QString& style, const QString& revision,
               const QStringList& lines, int sizeKb, const QString& options, const QString& token);
    int Insert(const TLayoutOwner& owner, const QString& formClass, const QString& style, const QString& revision,
               const QStringList& lines, int sizeKb, const QString& options);
    int Delete(const QString& formClass, const QString& style);

private:
    TDataLayer& data_;
};

// One <Form .../> of an approval history request.
struct TApprovalForm {
    QString ProgramId, FormType, SheetNo, Parameter3, Parameter4;
};

class TApprovalHistory {
public:
    explicit TApprovalHistory(TDataLayer& data) : data_(data) {}
    static QVector<TApprovalForm> ParseRequest(const QString& request);
    // [n, document 1 .. n]; a document is [program id, form type, sheet number,
    // parameter 3, parameter 4, records[column 0..12, record]].
    Variant Documents(const QString& request);
    // <FormSet><Form wfFormType=".." wfSheetNo="..">entry||entry||final result</Form>...</FormSet>
    QString WebServiceXml(const QString& request);

private:
    QVector<TSqlRow> Records(const TApprovalForm& form);
    TDataLayer& data_;
};

// Byte length of a text in the data code page (936): two bytes for every
// character outside ASCII.
int DataCodePageLength(const QString& text);

}  // namespace kelm24
