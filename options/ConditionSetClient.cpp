#include "options/ConditionSetClient.h"

#include "kelm24/HostObjects.h"

#include <QDate>

namespace kelm24 {

namespace {

QString AnswerText(const Variant& Answer)
{
    return Answer.IsEmpty() || Answer.IsNull() ? QString() : Answer.ToString();
}

void RaiseServerError(const Variant& Answer)
{
    const QString text = AnswerText(Answer);
    if (!text.isEmpty()) throw Exception(text);
}

}  // namespace

TConditionSetClient::TConditionSetClient(Variant AppServer, QString UserCode, QString ProgramCode, TToDataCodePage ToData)
    : appServer_(std::move(AppServer)), user_(std::move(UserCode)), program_(std::move(ProgramCode)), toData_(std::move(ToData))
{
}

Variant TConditionSetClient::Key(const QString& Name) const
{
    return Variant::ArrayOf({toData_(Name), user_, program_});
}

void TConditionSetClient::Load() const
{
    RaiseServerError(appServer_.Call(member::LoadTable, {Variant::ArrayOf({user_, program_})}));
}

void TConditionSetClient::Insert(const QString& Name, const QString& Specs, const QString& Values, bool Replace) const
{
    const Variant args = Variant::ArrayOf({toData_(Name), user_, QDate::currentDate().toString(QStringLiteral("yyyyMMdd")),
                                           program_, Specs, toData_(Values), Replace});
    RaiseServerError(appServer_.Call(member::InsertConTable, {args}));
}

void TConditionSetClient::Delete(const QString& Name) const
{
    RaiseServerError(appServer_.Call(member::DeleteConTable, {Key(Name)}));
}

QString TConditionSetClient::Rename(const QString& OldName, const QString& NewName) const
{
    return AnswerText(appServer_.Call(member::ChangeConName, {Key(OldName), Key(NewName)}));
}

}  // namespace kelm24
