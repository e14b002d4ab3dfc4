// The three small dialogs of page conversion and sending: the e-mail subject,
// the conversion progress and the fax progress. Cancel in either progress
// dialog sets the output form's AbortRequested; the running loop looks at it
// after letting messages run. Each dialog takes the interface's language from
// the output form (its package and the display code page) when it is made.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace kelm24 {

class TOutputForm;

class TfrmEmailSubject : public QDialog {
    Q_OBJECT
public:
    TfrmEmailSubject(TOutputForm* owner, QWidget* parent);
    QLabel* lblSubject;
    QLineEdit* edtSubject;
    QPushButton* BitBtn1;
};

class TfrmVRConvPic : public QDialog {
    Q_OBJECT
public:
    TfrmVRConvPic(TOutputForm* owner, QWidget* parent);
    QProgressBar* ProgressBar;
    QLabel* Label1;
    QLabel* lblState;
    QPushButton* btnCancel;
};

class TfrmVRSendOut : public QDialog {
    Q_OBJECT
public:
    TfrmVRSendOut(TOutputForm* owner, QWidget* parent);
    QProgressBar* ProgressBar1;
    QLabel* Label2;
    QLabel* txtReceiver;
    QLabel* txtReceiveCnt;
    QLabel* Label1;
    QLabel* txtPageCnt;
    QPushButton* btnCancel;
};

// Asks for the e-mail subject starting from proposed, over the form's output
// window; the edited text after OK, the empty text otherwise. Headless runs
// take the proposal.
QString AskEmailSubject(const QString& proposed, TOutputForm& form);

}  // namespace kelm24
