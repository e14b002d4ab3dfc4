// The client data set: rows fetched from a provider of the application server
// as one data packet, walked row by row the way report layouts read them.
#pragma once

#include "kelm24/DataPacket.h"
#include "kelm24/Variant.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>
#include <vector>

namespace kelm24 {

class TClientDataSet;

// One column of the data set, read at the current row.
class TField {
public:
    TField(TClientDataSet* owner, int index, TFieldDef def) : owner_(owner), index_(index), def_(std::move(def)) {}
    const QString& FieldName() const { return def_.Name; }
    TFieldType DataType() const { return def_.Type; }
    int Size() const { return def_.Size; }
    int Index() const { return index_; }
    bool IsNumeric() const { return def_.Type == TFieldType::Integer || def_.Type == TFieldType::Float; }

    // Value at the current row; Null when the row holds Null or the set is empty.
    const Variant& Value() const;
    bool IsNull() const;
    // Null reads as "" / 0 / false, as a data-aware field does.
    QString AsString() const;
    double AsFloat() const;
    int AsInteger() const;
    bool AsBoolean() const;
    // Writes the value into the row being edited (Edit first, Post after);
    // raises when the data set is not in edit mode.
    void SetValue(const Variant& value);
    void SetAsString(const QString& value) { SetValue(Variant(value)); }

    // The caption shown for the column; the field name until one is set.
    QString DisplayLabel() const { return displayLabel_.isNull() ? def_.Name : displayLabel_; }
    void SetDisplayLabel(const QString& label) { displayLabel_ = label; }
    // Text handlers: OnGetText makes the text shown for the value (DisplayText
    // false when the text is for editing), OnSetText stores a typed text.
    using TGetTextEvent = std::function<void(TField& Sender, QString& Text, bool DisplayText)>;
    using TSetTextEvent = std::function<void(TField& Sender, const QString& Text)>;
    TGetTextEvent OnGetText;
    TSetTextEvent OnSetText;
    // The value as shown and as edited: through OnGetText when it is set, else AsString.
    QString DisplayText() { return TextOf(true); }
    QString Text() { return TextOf(false); }
    // A typed text: through OnSetText when it is set, else stored as it is.
    void SetText(const QString& text);

private:
    QString TextOf(bool displayText);


    TClientDataSet* owner_;
    int index_;
    TFieldDef def_;
    QString displayLabel_;
};

class TClientDataSet : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString ProviderName READ ProviderName WRITE SetProviderName)
    Q_PROPERTY(QString CommandText READ CommandText WRITE SetCommandText)
    Q_PROPERTY(bool Active READ Active WRITE SetActive)

public:
    explicit TClientDataSet(QObject* owner = nullptr, const QString& name = QString());

    // The application server (an automation object) and the provider that
    // answers AS_GetRecords(ProviderName, CommandText, Params).
    void SetRemoteServer(const Variant& server) { remoteServer_ = server; }
    const Variant& RemoteServer() const { return remoteServer_; }
    QString ProviderName() const { return providerName_; }
    void SetProviderName(const QString& name) { providerName_ = name; }
    QString CommandText() const { return commandText_; }
    void SetCommandText(const QString& text) { commandText_ = text; }
    // Empty or an array of [name, value] pairs.
    void SetParams(const Variant& params) { params_ = params; }

    // Fetches the rows from the provider. Raises a kelm24::Exception naming the
    // data set when there is no server or provider or the answer is no packet;
    // the set then stays closed.
    void Open();
    void Close();
    bool Active() const { return active_; }
    void SetActive(bool active) { active ? Open() : Close(); }
    // Runs on every field the set makes (now, and whenever data arrive and the
    // fields are made anew), as persistent fields keep their settings.
    void SetFieldSetup(std::function<void(TField&)> setup);

    // Opens the set on a packet built elsewhere.
    void SetData(TDataPacket packet);  // a packet handed over with std::move gives its rows uncopied
    // The rows as a packet (empty packet when closed).
    TDataPacket Data() const;

    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    bool IsEmpty() const { return rows_.empty(); }
    int RecordCount() const { return static_cast<int>(rows_.size()); }
    // 1-based number of the current row; 0 when there is none.
    int RecNo() const { return rows_.empty() ? 0 : current_ + 1; }
    // Moves to a 1-based row number (clamped to the rows there are).
    void SetRecNo(int recNo);

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    // The column names, for callers that know the set only as an object.
    Q_INVOKABLE QStringList FieldNames() const;
    TField& Field(int index) { return fields_.at(static_cast<size_t>(index)); }
    TField* FindField(const QString& name);
    // Raises "<data set>: Field '<name>' not found" when absent.
    TField& FieldByName(const QString& name);

    // Value of a column at the current row (used by fields); while the row is
    // edited, the edited value.
    const Variant& ValueAt(int fieldIndex) const;

    // The key FindKey searches: field names separated by ";".
    QString IndexFieldNames() const { return indexFieldNames_; }
    void SetIndexFieldNames(const QString& names) { indexFieldNames_ = names; }
    // Moves to the first row whose key fields hold the values (compared as
    // texts, Null as ""); false, staying on the row, when none does. Raises
    // when no key is set or a key field is missing.
    bool FindKey(const QList<Variant>& values);

    // Editing the current row: Edit takes a copy that the fields write, Post
    // stores it in the row, Cancel drops it. Moving or closing posts or drops
    // as a data set does (moving posts, closing drops).
    void Edit();
    void Post();
    void Cancel();
    bool Editing() const { return editing_; }
    // Writes a field of the edited row.
    void SetValueAt(int fieldIndex, const Variant& value);

private:
    void CheckActive(const char* operation) const;
    // A pending edit is posted before the current row changes.
    void PostPending();
    [[noreturn]] void Fail(const QString& message) const;

    Variant remoteServer_;
    QString providerName_, commandText_;
    Variant params_;
    bool active_ = false;
    std::vector<TField> fields_;
    std::vector<std::vector<Variant>> rows_;
    int current_ = 0;
    bool eof_ = true, bof_ = true;
    QString indexFieldNames_;
    bool editing_ = false;
    std::vector<Variant> editRow_;
    std::function<void(TField&)> fieldSetup_;
};

}  // namespace kelm24
