#include "output/SendDialogs.h"

#include "format/engine/QRPrinter.h"
#include "output/OutputForm.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelm24 {

namespace {

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

void SetDialogLook(QDialog* dialog, const QString& caption)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
}

}  // namespace

TfrmEmailSubject::TfrmEmailSubject(TOutputForm* owner, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmEmailSubject"));
    SetDialogLook(this, QStringLiteral("E-Mail 主题"));
    lblSubject = Named(new QLabel(QStringLiteral("E-Mail主题"), this), "lblSubject");
    edtSubject = Named(new QLineEdit(this), "edtSubject");
    edtSubject->setMinimumWidth(360);
    BitBtn1 = Named(new QPushButton(QStringLiteral("确定"), this), "BitBtn1");
    BitBtn1->setDefault(true);
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblSubject, 0, 0);
    layout->addWidget(edtSubject, 0, 1);
    layout->addWidget(BitBtn1, 1, 1, Qt::AlignRight);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    if (owner != nullptr) owner->LocalizeWindow(this);
}

TfrmVRConvPic::TfrmVRConvPic(TOutputForm* owner, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVRConvPic"));
    SetDialogLook(this, QStringLiteral("转图档中"));
    ProgressBar = Named(new QProgressBar(this), "ProgressBar");
    ProgressBar->setRange(0, 100);
    Label1 = Named(new QLabel(QStringLiteral("当前页数:"), this), "Label1");
    lblState = Named(new QLabel(this), "lblState");
    lblState->setAlignment(Qt::AlignCenter);
    btnCancel = Named(new QPushButton(QStringLiteral("取消"), this), "btnCancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(ProgressBar, 0, 0, 1, 2);
    layout->addWidget(Label1, 1, 0);
    layout->addWidget(lblState, 1, 1);
    layout->addWidget(btnCancel, 2, 1, Qt::AlignRight);
    connect(btnCancel, &QPushButton::clicked, this, [owner] {
        if (owner != nullptr) owner->AbortRequested = true;
    });
    if (owner != nullptr) owner->LocalizeWindow(this);
}

TfrmVRSendOut::TfrmVRSendOut(TOutputForm* owner, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVRSendOut"));
    SetDialogLook(this, QStringLiteral("传送"));
    ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1");
    Label2 = Named(new QLabel(QStringLiteral("接收者:"), this), "Label2");
    txtReceiver = Named(new QLabel(this), "txtReceiver");
    txtReceiveCnt = Named(new QLabel(this), "txtReceiveCnt");
    Label1 = Named(new QLabel(QStringLiteral("转换页数:"), this), "Label1");
    txtPageCnt = Named(new QLabel(this), "txtPageCnt");
    btnCancel = Named(new QPushButton(QStringLiteral("取消"), this), "btnCancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(ProgressBar1, 0, 0, 1, 3);
    layout->addWidget(Label2, 1, 0);
    layout->addWidget(txtReceiver, 1, 1);
    layout->addWidget(txtReceiveCnt, 1, 2);
    layout->addWidget(Label1, 2, 0);
    layout->addWidget(txtPageCnt, 2, 1);
    layout->addWidget(btnCancel, 3, 2, Qt::AlignRight);
    connect(btnCancel, &QPushButton::clicked, this, [owner] {
        if (owner != nullptr) owner->AbortRequested = true;
    });
    if (owner != nullptr) owner->LocalizeWindow(this);
}

QString AskEmailSubject(const QString& proposed, TOutputForm& form)
{
    if (IsHeadlessPlatform()) return proposed;
    TfrmEmailSubject dialog(&form, form.OutputWindow());
    dialog.edtSubject->setText(proposed);
    return dialog.exec() == QDialog::Accepted ? dialog.edtSubject->text() : QString();
}

}  // namespace kelm24
