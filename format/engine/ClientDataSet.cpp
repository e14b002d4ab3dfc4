#include "format/engine/ClientDataSet.h"

#include "kelm24/Automation.h"

#include <QDate>
#include <algorithm>
#include <cmath>

namespace kelm24 {

namespace {
const Variant& NullValue()
{
    static const Variant null = Variant::Null();
    return null;
}
}  // namespace

const Variant& TField::Value() const { return owner_->ValueAt(index_); }

bool TField::IsNull() const
{
    const Variant& v = Value();
    return v.IsNull() || v.IsEmpty();
}

QString TField::AsString() const
{
    const Variant& v = Value();
    if (v.IsNull() || v.IsEmpty()) return {};
    if (v.Type() == VarType::Date) {
        // Dates of the ERP are written as YYYYMMDD texts.
        const QDate d = QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(v.ToDate())));
        return d.toString(QStringLiteral("yyyyMMdd"));
    }
    if (v.Type() == VarType::Boolean) return v.ToBool() ? QStringLiteral("True") : QStringLiteral("False");
    return v.ToString();
}

QString TField::TextOf(bool displayText)
{
    QString text = AsString();
    if (OnGetText) OnGetText(*this, text, displayText);
    return text;
}

void TField::SetText(const QString& text)
{
    if (OnSetText) OnSetText(*this, text);
    else SetAsString(text);
}

double TField::AsFloat() const
{
    const Variant& v = Value();
    if (v.IsNull() || v.IsEmpty()) return 0;
    if (v.IsText() && v.ToString().trimmed().isEmpty()) return 0;
    return v.ToDouble();
}

int TField::AsInteger() const
{
    const Variant& v = Value();
    if (v.IsNull() || v.IsEmpty()) return 0;
    return v.ToInt();
}

bool TField::AsBoolean() const
{
    const Variant& v = Value();
    if (v.IsNull() || v.IsEmpty()) return false;
    return v.ToBool();
}

void TField::SetValue(const Variant& value) { owner_->SetValueAt(index_, value); }

TClientDataSet::TClientDataSet(QObject* owner, const QString& name) : QObject(owner) { setObjectName(name); }

void TClientDataSet::Fail(const QString& message) const
{
    throw Exception(objectName().isEmpty() ? message : objectName() + QStringLiteral(": ") + message);
}

void TClientDataSet::Open()
{
    if (active_) return;
    if (!remoteServer_.IsObject()) Fail(QStringLiteral("Remote server not assigned"));
    if (providerName_.isEmpty()) Fail(QStringLiteral("Missing data provider or data packet"));
    VariantArgs args{providerName_, commandText_, params_};
    Variant packet = remoteServer_.Call(member::AS_GetRecords, args);
    TDataPacket data;
    try {
        data = TDataPacket::FromVariant(packet);
    } catch (const EVariantError& e) {
        Fail(QStringLiteral("Provider %1 answered no data packet (%2)").arg(providerName_, e.Message()));
    }
    SetData(std::move(data));
}

void TClientDataSet::SetData(TDataPacket packet)
{
    Cancel();
    fields_.clear();
    fields_.reserve(static_cast<size_t>(packet.Fields.size()));
    for (int i = 0; i < packet.Fields.size(); ++i) fields_.emplace_back(this, i, packet.Fields[i]);
    if (fieldSetup_)
        for (TField& field : fields_) fieldSetup_(field);
    rows_ = std::move(packet.Rows);
    active_ = true;
    First();
}

void TClientDataSet::SetFieldSetup(std::function<void(TField&)> setup)
{
    fieldSetup_ = std::move(setup);
    if (fieldSetup_)
        for (TField& field : fields_) fieldSetup_(field);
}

TDataPacket TClientDataSet::Data() const
{
    TDataPacket p;
    for (const TField& f : fields_) p.Fields.push_back(TFieldDef{f.FieldName(), f.DataType(), f.Size()});
    p.Rows = rows_;
    return p;
}

void TClientDataSet::Close()
{
    Cancel();
    active_ = false;
    fields_.clear();
    rows_.clear();
    current_ = 0;
    eof_ = bof_ = true;
}

void TClientDataSet::CheckActive(const char* operation) const
{
    if (!active_) Fail(QStringLiteral("Cannot perform %1 on a closed dataset").arg(QLatin1String(operation)));
}

void TClientDataSet::First()
{
    CheckActive("First");
    PostPending();
    current_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
}

void TClientDataSet::Last()
{
    CheckActive("Last");
    PostPending();
    current_ = rows_.empty() ? 0 : static_cast<int>(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
}

void TClientDataSet::Next()
{
    CheckActive("Next");
    PostPending();
    if (current_ + 1 < static_cast<int>(rows_.size())) {
        ++current_;
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;  // stays on the last row, as a data set does
    }
}

void TClientDataSet::Prior()
{
    CheckActive("Prior");
    PostPending();
    if (current_ > 0) {
        --current_;
        eof_ = false;
        bof_ = false;
    } else {
        bof_ = true;
        eof_ = rows_.empty();
    }
}

void TClientDataSet::SetRecNo(int recNo)
{
    CheckActive("RecNo");
    if (rows_.empty()) return;
    PostPending();
    current_ = std::clamp(recNo, 1, static_cast<int>(rows_.size())) - 1;
    eof_ = bof_ = false;
}

TField* TClientDataSet::FindField(const QString& name)
{
    for (TField& f : fields_)
        if (f.FieldName().compare(name, Qt::CaseInsensitive) == 0) return &f;
    return nullptr;
}

QStringList TClientDataSet::FieldNames() const
{
    QStringList names;
    for (const TField& f : fields_) names << f.FieldName();
    return names;
}

TField& TClientDataSet::FieldByName(const QString& name)
{
    TField* f = FindField(name);
    if (f == nullptr) Fail(QStringLiteral("Field '%1' not found").arg(name));
    return *f;
}

const Variant& TClientDataSet::ValueAt(int fieldIndex) const
{
    if (rows_.empty() || !active_) return NullValue();
    if (editing_) return fieldIndex >= 0 && fieldIndex < static_cast<int>(editRow_.size())
                             ? editRow_[static_cast<size_t>(fieldIndex)]
                             : NullValue();
    const auto& row = rows_[static_cast<size_t>(current_)];
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(row.size())) return NullValue();
    return row[static_cast<size_t>(fieldIndex)];
}

bool TClientDataSet::FindKey(const QList<Variant>& values)
{
    CheckActive("FindKey");
    const QStringList names = indexFieldNames_.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.isEmpty()) Fail(QStringLiteral("No index field names for FindKey"));
    std::vector<int> columns;
    for (const QString& name : names) columns.push_back(FieldByName(name.trimmed()).Index());
    auto text = [](const Variant& v) { return v.IsNull() || v.IsEmpty() ? QString() : v.ToString(); };
    const size_t keyCount = std::min(columns.size(), static_cast<size_t>(values.size()));
    for (size_t r = 0; r < rows_.size(); ++r) {
        bool match = keyCount > 0;
        for (size_t k = 0; k < keyCount && match; ++k)
            match = text(rows_[r][static_cast<size_t>(columns[k])]) == text(values[static_cast<qsizetype>(k)]);
        if (!match) continue;
        PostPending();
        current_ = static_cast<int>(r);
        eof_ = bof_ = false;
        return true;
    }
    return false;
}

void TClientDataSet::Edit()
{
    CheckActive("Edit");
    if (editing_) return;
    if (rows_.empty()) Fail(QStringLiteral("Cannot edit an empty dataset"));
    editRow_ = rows_[static_cast<size_t>(current_)];
    editRow_.resize(fields_.size());
    editing_ = true;
}

void TClientDataSet::Post()
{
    if (!editing_) return;
    rows_[static_cast<size_t>(current_)] = std::move(editRow_);
    Cancel();
}

void TClientDataSet::Cancel()
{
    editing_ = false;
    editRow_.clear();
}

void TClientDataSet::PostPending()
{
    if (editing_) Post();
}

void TClientDataSet::SetValueAt(int fieldIndex, const Variant& value)
{
    if (!editing_) Fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (fieldIndex < 0 || fieldIndex >= static_cast<int>(editRow_.size())) Fail(QStringLiteral("Field index out of range"));
    editRow_[static_cast<size_t>(fieldIndex)] = value;
}

}  // namespace kelm24
