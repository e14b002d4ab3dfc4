// The designer's align, size and scale dialogs.
#include "format/DreamDesigner.h"
#include "platform/dialogs/Dialogs.h"

#include <QButtonGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kelm24 {

namespace {

// A scripted answer, or none when nobody can answer: true when the dialog
// is to be shown to a person.
bool AskPerson(QList<int>& Answer, bool& Result)
{
    if (TDreamDesigner::TakeDialogAnswer(Answer)) {
        Result = !Answer.isEmpty();
        return false;
    }
    if (TDialogService::Headless()) {
        Result = false;
        return false;
    }
    return true;
}

QGroupBox* Choices(QDialog* Dialog, const QString& Title, const QStringList& Items, QButtonGroup*& Group, int Checked)
{
    auto* box = new QGroupBox(Title, Dialog);
    auto* layout = new QVBoxLayout(box);
    Group = new QButtonGroup(box);
    for (int i = 0; i < Items.size(); ++i) {
        auto* b = new QRadioButton(Items[i], box);
        layout->addWidget(b);
        Group->addButton(b, i);
        b->setChecked(i == Checked);
    }
    return box;
}

QDialogButtonBox* OkCancel(QDialog* Dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, Dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, Dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

bool RunAlignDialog(QWidget* Owner, QList<int>& Answer)
{
    bool result = false;
    if (!AskPerson(Answer, result)) return result;
    QDialog dialog(Owner);
    dialog.setWindowTitle(QStringLiteral("Alignment"));
    QButtonGroup *horizontal = nullptr, *vertical = nullptr;
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    row->addWidget(Choices(&dialog, QStringLiteral("Horizontal"),
                           {QStringLiteral("No change"), QStringLiteral("Left sides"), QStringLiteral("Centers"),
                            QStringLiteral("Right sides"), QStringLiteral("Space equally"), QStringLiteral("Center in window")},
                           horizontal, 0));
    row->addWidget(Choices(&dialog, QStringLiteral("Vertical"),
                           {QStringLiteral("No change"), QStringLiteral("Tops"), QStringLiteral("Centers"), QStringLiteral("Bottoms"),
                            QStringLiteral("Space equally"), QStringLiteral("Center in window")},
                           vertical, 0));
    layout->addLayout(row);
    layout->addWidget(OkCancel(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    Answer = {horizontal->checkedId(), vertical->checkedId()};
    return true;
}

bool RunSizeDialog(QWidget* Owner, QList<int>& Answer)
{
    bool result = false;
    if (!AskPerson(Answer, result)) return result;
    QDialog dialog(Owner);
    dialog.setWindowTitle(QStringLiteral("Size"));
    QButtonGroup *width = nullptr, *height = nullptr;
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    const QStringList items = {QStringLiteral("No change"), QStringLiteral("Shrink to smallest"), QStringLiteral("Grow to largest"),
                               QStringLiteral("Value:")};
    QGroupBox* w = Choices(&dialog, QStringLiteral("Width"), items, width, 0);
    QGroupBox* h = Choices(&dialog, QStringLiteral("Height"), items, height, 0);
    auto* widthValue = new QSpinBox(w);
    auto* heightValue = new QSpinBox(h);
    for (QSpinBox* s : {widthValue, heightValue}) s->setRange(1, 5000);
    w->layout()->addWidget(widthValue);
    h->layout()->addWidget(heightValue);
    row->addWidget(w);
    row->addWidget(h);
    layout->addLayout(row);
    layout->addWidget(OkCancel(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    Answer = {width->checkedId(), widthValue->value(), height->checkedId(), heightValue->value()};
    return true;
}

bool RunScaleDialog(QWidget* Owner, QList<int>& Answer)
{
    bool result = false;
    if (!AskPerson(Answer, result)) return result;
    QDialog dialog(Owner);
    dialog.setWindowTitle(QStringLiteral("Scale"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* factor = new QSpinBox(&dialog);
    factor->setRange(25, 400);
    factor->setValue(100);
    factor->setSuffix(QStringLiteral(" %"));
    layout->addWidget(factor);
    layout->addWidget(OkCancel(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    Answer = {factor->value()};
    return true;
}

}  // namespace kelm24
