#include "host/PickWindow.h"

#include "kelm24/HostObjects.h"
#include "host/Validator.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kelm24 {

QStringList StandardPhrases()
{
    return {QStringLiteral("请尽快安排检验入库"), QStringLiteral("供应商延迟交货"), QStringLiteral("包装破损, 已拍照存档"),
            QStringLiteral("数量短缺, 待补货"), QStringLiteral("样品已送品管部")};
}

QVector<int> TDialogChooser::ChooseRows(const QString& title, const QStringList& captions, const QVector<QStringList>& rows,
                                        bool multiple)
{
    QDialog dialog;
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* filter = new QLineEdit(&dialog);
    filter->setPlaceholderText(QStringLiteral("输入文字筛选"));
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(captions.size()), &dialog);
    table->setHorizontalHeaderLabels(captions);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < captions.size(); ++c) table->setItem(r, c, new QTableWidgetItem(rows[r][c]));
    table->horizontalHeader()->setStretchLastSection(true);
    QObject::connect(filter, &QLineEdit::textChanged, table, [table, rows](const QString& text) {
        for (int r = 0; r < rows.size(); ++r)
            table->setRowHidden(r, !text.isEmpty() && !rows[r].join(QLatin1Char(' ')).contains(text, Qt::CaseInsensitive));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(filter);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(640, 420);
    if (dialog.exec() != QDialog::Accepted) return {};
    QVector<int> chosen;
    // A row the filter hid stays selected in the model but is not what the user sees chosen.
    for (const QModelIndex& i : table->selectionModel()->selectedRows())
        if (!table->isRowHidden(i.row())) chosen.push_back(i.row());
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

QDate TDialogChooser::ChooseDate(const QDate& start)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("日期快手"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* calendar = new QCalendarWidget(&dialog);
    calendar->setSelectedDate(start.isValid() ? start : QDate::currentDate());
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(calendar, &QCalendarWidget::activated, &dialog, &QDialog::accept);
    layout->addWidget(calendar);
    layout->addWidget(buttons);
    return dialog.exec() == QDialog::Accepted ? calendar->selectedDate() : QDate();
}

QString TDialogChooser::ChoosePhrase(const QStringList& phrases)
{
    bool ok = false;
    QString text = QInputDialog::getItem(nullptr, QStringLiteral("常用短语"), QStringLiteral("选择短语"), phrases, 0, true, &ok);
    return ok ? text : QString();
}

QVector<int> TScriptedChooser::ChooseRows(const QString& title, const QStringList&, const QVector<QStringList>& rows, bool multiple)
{
    Seen << title;
    if (Rows.empty()) return {};
    QVector<int> answer = Rows.front();
    Rows.pop_front();
    QVector<int> valid;
    for (int i : answer)
        if (i >= 0 && i < rows.size()) valid.push_back(i);
    if (!multiple && valid.size() > 1) valid.resize(1);
    return valid;
}

QDate TScriptedChooser::ChooseDate(const QDate&)
{
    if (Dates.empty()) return {};
    QDate d = Dates.front();
    Dates.pop_front();
    return d;
}

QString TScriptedChooser::ChoosePhrase(const QStringList&)
{
    if (Phrases.empty()) return {};
    QString p = Phrases.front();
    Phrases.pop_front();
    return p;
}

TPickWindow::TPickWindow(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser)
    : TAutomationObject(QStringLiteral("TPickWindow")), data_(std::move(data)), chooser_(std::move(chooser))
{
    AddMethod(member::GetPhrase, [this](VariantArgs&) { return Variant(chooser_->ChoosePhrase(StandardPhrases())); });
    AddMethod(member::F2GetData, [this](VariantArgs& a) { return F2GetData(Arg(a, 0, member::F2GetData)); });
    AddMethod(member::ShowInputDay, [this](VariantArgs& a) {
        const Variant& r = Arg(a, 0, member::ShowInputDay);
        QDate start;
        if (r.IsArray() && r.Count() >= 2) start = QDate::fromString(r[r.LowBound() + 1].ToString(), QStringLiteral("yyyyMMdd"));
        QDate picked = chooser_->ChooseDate(start);
        return Variant(picked.isValid() ? picked.toString(QStringLiteral("yyyyMMdd")) : QString());
    });
}

QVector<THostRow> TPickWindow::Candidates(const Variant& args)
{
    if (!args.IsArray() || args.Count() < pickarg::Count) throw Exception(QStringLiteral("F2GetData: 参数应是 19 个元素的数组"));
    auto at = [&](int i) -> const Variant& { return args[args.LowBound() + i]; };
    const THostQuery* query = FindHostQuery(at(pickarg::Table).ToString(), at(pickarg::QueryId).ToString());
    if (!query)
        throw Exception(QStringLiteral("F2GetData: 没有查询 %1/%2").arg(at(pickarg::Table).ToString(), at(pickarg::QueryId).ToString()));
    QVector<THostRow> rows = RunHostQuery(*data_, *query, at(pickarg::Keys));
    const Variant& typedArg = at(pickarg::TypedText);
    const QString typed = typedArg.IsEmpty() || typedArg.IsNull() ? QString() : typedArg.ToString().trimmed();
    if (typed.isEmpty()) return rows;
    QVector<THostRow> kept;
    for (const THostRow& r : rows) {
        for (const Variant& v : r) {
            if (!v.IsNull() && v.ToString().contains(typed, Qt::CaseInsensitive)) {
                kept.push_back(r);
                break;
            }
        }
    }
    return kept;
}

Variant TPickWindow::F2GetData(const Variant& args)
{
    QVector<THostRow> rows = Candidates(args);
    const Variant& tableArg = args[args.LowBound() + pickarg::Table];
    const Variant& queryArg = args[args.LowBound() + pickarg::QueryId];
    const THostQuery* query = FindHostQuery(tableArg.ToString(), queryArg.ToString());
    QStringList captions = QString::fromUtf8(query->Captions).split(QLatin1Char('|'));
    QVector<QStringList> texts;
    for (const THostRow& r : rows) {
        QStringList t;
        for (const Variant& v : r) t << (v.IsNull() ? QString() : v.ToString());
        texts.push_back(t);
        while (captions.size() < t.size()) captions << QString();
    }
    const Variant& multi = args[args.LowBound() + pickarg::MultiSelect];
    QVector<int> chosen = chooser_->ChooseRows(QStringLiteral("%1/%2").arg(tableArg.ToString(), queryArg.ToString()),
                                               captions, texts, !multi.IsEmpty() && !multi.IsNull() && multi.ToBool());
    if (chosen.isEmpty()) return Variant();
    std::vector<Variant> picked;
    // Only rows the list had: a chooser is outside code and may name others.
    for (int i : chosen)
        if (i >= 0 && i < rows.size()) picked.push_back(Variant::ArrayOf(std::vector<Variant>(rows[i].begin(), rows[i].end())));
    if (picked.empty()) return Variant();
    return Variant::ArrayOf(picked);
}

}  // namespace kelm24
