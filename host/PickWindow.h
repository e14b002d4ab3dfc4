// The pick-window object: phrases (GetPhrase), rows of a host query
// (F2GetData), a date (ShowInputDay). Choices go through a chooser: Qt
// dialogs for a person, scripted answers in tests and headless runs.
#pragma once

#include "host/HostData.h"

#include <QDate>
#include <QStringList>
#include <deque>

namespace kelm24 {

class TPickChooser {
public:
    virtual ~TPickChooser() = default;
    // Indexes of the chosen rows; empty when cancelled.
    virtual QVector<int> ChooseRows(const QString& title, const QStringList& captions, const QVector<QStringList>& rows,
                                    bool multiple) = 0;
    virtual QDate ChooseDate(const QDate& start) = 0;  // null when cancelled
    virtual QString ChoosePhrase(const QStringList& phrases) = 0;  // empty when cancelled
};

// Real Qt dialogs: a filterable list and a calendar.
class TDialogChooser : public TPickChooser {
public:
    QVector<int> ChooseRows(const QString& title, const QStringList& captions, const QVector<QStringList>& rows,
                            bool multiple) override;
    QDate ChooseDate(const QDate& start) override;
    QString ChoosePhrase(const QStringList& phrases) override;
};

// Answers given in advance; an exhausted script answers "cancelled".
class TScriptedChooser : public TPickChooser {
public:
    std::deque<QVector<int>> Rows;
    std::deque<QDate> Dates;
    std::deque<QString> Phrases;
    QStringList Seen;  // titles of the lists offered, in order
    QVector<int> ChooseRows(const QString& title, const QStringList& captions, const QVector<QStringList>& rows,
                            bool multiple) override;
    QDate ChooseDate(const QDate& start) override;
    QString ChoosePhrase(const QStringList& phrases) override;
};

class TPickWindow : public TAutomationObject {
public:
    TPickWindow(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser);
    // The rows a 19-element pick argument array lists, filtered by its typed text.
    QVector<THostRow> Candidates(const Variant& args);

private:
    Variant F2GetData(const Variant& args);
    std::shared_ptr<THostData> data_;
    std::shared_ptr<TPickChooser> chooser_;
};

// Phrases offered by GetPhrase: the user's own, then everyone's.
QStringList StandardPhrases();

}  // namespace kelm24
