#include "platform/dialogs/Dialogs.h"

#include <QApplication>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>
#include <deque>

namespace kelm24 {

namespace {

struct ServiceState {
    std::deque<int> answers;
    std::deque<QString> inputs;
    std::function<int(const TMessageRequest&)> handler;
    QList<TMessageRequest> history;
};

ServiceState& State()
{
    static ServiceState state;
    return state;
}

// Script lines from $KELM24_DIALOG_ANSWERS ("Yes,No,OK"), for host runs.
void LoadEnvironmentScript()
{
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    const QString script = qEnvironmentVariable("KELM24_DIALOG_ANSWERS");
    for (const QString& name : script.split(QLatin1Char(','), Qt::SkipEmptyParts))
        for (int b = mbYes; b <= mbHelp; ++b)
            if (ButtonName(static_cast<TMsgDlgBtn>(b)).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                State().answers.push_back(ButtonResult(static_cast<TMsgDlgBtn>(b)));
}

QMessageBox::StandardButton StandardButton(TMsgDlgBtn button)
{
    switch (button) {
    case mbYes: return QMessageBox::Yes;
    case mbNo: return QMessageBox::No;
    case mbOK: return QMessageBox::Ok;
    case mbCancel: return QMessageBox::Cancel;
    case mbAbort: return QMessageBox::Abort;
    case mbRetry: return QMessageBox::Retry;
    case mbIgnore: return QMessageBox::Ignore;
    case mbAll: return QMessageBox::YesAll;  // no plain "All" in Qt; captioned below
    case mbNoToAll: return QMessageBox::NoToAll;
    case mbYesToAll: return QMessageBox::YesToAll;
    case mbHelp: return QMessageBox::Help;
    }
    return QMessageBox::NoButton;
}

QMessageBox::Icon IconOf(TMsgDlgType type)
{
    switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

int ShowQtMessageBox(const TMessageRequest& request)
{
    QMessageBox box(IconOf(request.DlgType), request.Caption.isEmpty() ? QApplication::applicationName() : request.Caption,
                    request.Text, QMessageBox::NoButton, request.Owner);
    if (request.HasFont) box.setFont(request.Font);
    QMap<QAbstractButton*, int> results;
    const TMsgDlgButtons buttons = request.Buttons.Empty() ? TMsgDlgButtons{mbOK} : request.Buttons;
    for (TMsgDlgBtn b : buttons.List()) {
        QPushButton* button = box.addButton(StandardButton(b));
        if (request.ButtonCaptions.contains(b)) button->setText(request.ButtonCaptions.value(b));
        else if (b == mbAll) button->setText(QStringLiteral("&All"));
        results.insert(button, ButtonResult(b));
        if (b == DefaultButton(buttons)) box.setDefaultButton(button);
        if (b == mbCancel || (b == mbNo && !buttons.Has(mbCancel))) box.setEscapeButton(button);
    }
    box.exec();
    return results.value(box.clickedButton(), mrCancel);
}

}  // namespace

QList<TMsgDlgBtn> TMsgDlgButtons::List() const
{
    QList<TMsgDlgBtn> list;
    for (int b = mbYes; b <= mbHelp; ++b)
        if (Has(static_cast<TMsgDlgBtn>(b))) list << static_cast<TMsgDlgBtn>(b);
    return list;
}

int ButtonResult(TMsgDlgBtn button)
{
    static const int results[] = {mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};
    return results[button];
}

TMsgDlgBtn DefaultButton(const TMsgDlgButtons& buttons)
{
    if (buttons.Has(mbOK)) return mbOK;
    if (buttons.Has(mbYes)) return mbYes;
    const QList<TMsgDlgBtn> list = buttons.List();
    return list.isEmpty() ? mbOK : list.first();
}

QString ButtonName(TMsgDlgBtn button)
{
    static const char* names[] = {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll", "Help"};
    return QString::fromLatin1(names[button]);
}

bool TDialogService::Headless()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

int TDialogService::MessageBox(const TMessageRequest& request)
{
    ServiceState& state = State();
    LoadEnvironmentScript();
    state.history << request;
    if (state.handler) return state.handler(request);
    if (!state.answers.empty()) {
        const int answer = state.answers.front();
        state.answers.pop_front();
        return answer;
    }
    if (Headless()) {
        std::fprintf(stderr, "[dialog] %s\n", request.Text.toUtf8().constData());
        return ButtonResult(DefaultButton(request.Buttons));
    }
    return ShowQtMessageBox(request);
}

bool TDialogService::InputQuery(const QString& Caption, const QString& Prompt, QString& Value, QWidget* Owner)
{
    ServiceState& state = State();
    if (!state.inputs.empty()) {
        const QString answer = state.inputs.front();
        state.inputs.pop_front();
        if (answer.isNull()) return false;
        Value = answer;
        return true;
    }
    if (Headless()) return false;
    bool ok = false;
    const QString text = QInputDialog::getText(Owner, Caption, Prompt, QLineEdit::Normal, Value, &ok);
    if (ok) Value = text;
    return ok;
}

void TDialogService::ScriptAnswers(const QList<int>& modalResults)
{
    for (int r : modalResults) State().answers.push_back(r);
}

void TDialogService::ScriptInputs(const QList<QString>& texts)
{
    for (const QString& t : texts) State().inputs.push_back(t);
}

void TDialogService::SetMessageHandler(std::function<int(const TMessageRequest&)> handler)
{
    State().handler = std::move(handler);
}

void TDialogService::Reset()
{
    State() = ServiceState();
}

QList<TMessageRequest> TDialogService::History()
{
    return State().history;
}

}  // namespace kelm24
