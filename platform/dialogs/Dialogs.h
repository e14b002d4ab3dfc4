// The dialog service: every message box and input box of the system goes
// through here. In the GUI it shows Qt dialogs; in tests and headless runs
// it takes scripted answers and never blocks. With no script and no screen
// (QT_QPA_PLATFORM offscreen or minimal) a message box answers its default
// button and an input box is cancelled, and the text goes to the standard
// error stream so it is not lost.
#pragma once

#include "platform/dialogs/ModalResult.h"

#include <QFont>
#include <QList>
#include <QMap>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>

class QWidget;

namespace kelm24 {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons, written like the system's sets: {mbYes, mbNo}.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons)
    {
        for (TMsgDlgBtn b : buttons) bits_ |= 1u << b;
    }
    constexpr bool Has(TMsgDlgBtn b) const { return bits_ & (1u << b); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Include(TMsgDlgBtn b) { bits_ |= 1u << b; }
    constexpr bool operator==(const TMsgDlgButtons&) const = default;
    // In the order the dialog shows them.
    QList<TMsgDlgBtn> List() const;

private:
    uint32_t bits_ = 0;
};

// The modal result of a button (mbYes -> mrYes ...; mbHelp -> mrNone).
int ButtonResult(TMsgDlgBtn button);
// The button a dialog answers when Enter is pressed: OK, else Yes, else the first.
TMsgDlgBtn DefaultButton(const TMsgDlgButtons& buttons);
// The system's button names ("OK", "Yes", "NoToAll" ...).
QString ButtonName(TMsgDlgBtn button);

struct TMessageRequest {
    QString Text;
    QString Caption;  // empty: the application's name
    TMsgDlgType DlgType = mtInformation;
    TMsgDlgButtons Buttons = {mbOK};
    QMap<TMsgDlgBtn, QString> ButtonCaptions;  // replaces the standard captions
    QFont Font;                                // used when HasFont
    bool HasFont = false;
    QWidget* Owner = nullptr;
};

struct TInputRequest {
    QString Caption;
    QString Prompt;
    QString Value;  // the starting text
    QWidget* Owner = nullptr;
};

class TDialogService {
public:
    // Shows a message box modally and answers the modal result of the button.
    static int MessageBox(const TMessageRequest& request);
    // An input box; true with the entered text in Value when confirmed.
    static bool InputQuery(const QString& Caption, const QString& Prompt, QString& Value, QWidget* Owner = nullptr);

    // Scripted answers, taken in order, before any dialog is shown.
    static void ScriptAnswers(const QList<int>& modalResults);
    static void ScriptInputs(const QList<QString>& texts);  // a null QString cancels
    // A handler that answers every message box instead (tests); empty to remove.
    static void SetMessageHandler(std::function<int(const TMessageRequest&)> handler);
    // Forgets scripts, handler and history.
    static void Reset();
    // Every message box asked for, in order (answered or not).
    static QList<TMessageRequest> History();
    // True when no dialog can be shown to a person.
    static bool Headless();
};

}  // namespace kelm24
