// Approval sign-off lines: when the company runs the Quillan approval
// workflow and a document type is registered with it, the three sign-off
// lines of a document's first page show who signed, with which title and
// when, instead of the texts typed in the option form. The history is asked
// for once per print run (Prepare) and turned into lines per document (Lines).
#pragma once

#include "kelm24/HostObjects.h"

#include <QStringList>
#include <functional>

namespace kelm24 {

class TClientDataSet;

class TApprovalLines {
public:
    // A text of the layout's class by key, with its Chinese default.
    using TTextLookup = std::function<QString(const QString& key, const QString& defaultText)>;
    // Converts a text for display (code pages of the installation).
    using TDisplayText = std::function<QString(const QString& text)>;
    // Asks the user a Yes/No warning.
    using TWarning = std::function<void(const QString& text)>;

    TApprovalLines();

    // The session: system settings (name=value lines, names without case),
    // the application server, the report date style.
    const QStringList* SysInfo = nullptr;
    TAppServerObject AppServer{Variant()};
    int DateType = 1;
    QString DateSeparator = QStringLiteral("/");
    TTextLookup Text;
    TDisplayText Display;
    TWarning Warning;

    // Set by the option form: the sign-off code "QUILLN" turns the lookup on.
    bool LookupOn = false;
    QString DocTypeCode;
    // Set by Prepare.
    bool Registered() const { return registered_; }
    const Variant& Answer() const { return answer_; }
    const QString& AnswerXml() const { return answerXml_; }
    const QString& Request() const { return request_; }

    // "Y" settings: approval integration, and the web-service (XML) answer.
    bool IntegrationOn() const;
    bool WebService() const;

    // Checks the registration of the document type and asks for the
    // history of every document in the data set (from its current row; it is
    // back on its first row afterwards). Never raises: a failed request warns.
    void Prepare(TClientDataSet& data, const QString& groupExpression, const QString& programCode);
    // The request text for the documents of the data set.
    static QString BuildRequest(TClientDataSet& data, const QStringList& keyFields);
    // [found, line 1, line 2, line 3] for keys [count, key 1, key 2, ...].
    Variant Lines(const Variant& keys) const;
    // Keys of the current row in the form Lines takes.
    static Variant RowKeys(TClientDataSet& data, const QStringList& keyFields);
    // The field names of a group expression "set.TG001+set.TG002".
    static QStringList KeyFields(const QString& groupExpression);
    // The statement that tells whether a document type is registered.
    static QString RegistrationSQL(const QString& docType, bool webService);

private:
    QString Setting(const QString& name) const;
    QString T(const QString& key, const QString& defaultText) const;
    QString Show(const QString& text) const;
    Variant ArrayLines(const QStringList& keys) const;
    Variant XmlLines(const QStringList& keys) const;
    QString SignTime(const QString& raw) const;

    bool registered_ = false;
    Variant answer_;
    QString answerXml_, request_;
};

}  // namespace kelm24
