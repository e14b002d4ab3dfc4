#include "controls/QvSpin.h"

#include <QLineEdit>
#include <climits>

namespace kelm24 {

TSpinEdit::TSpinEdit(QWidget* parent) : TEventedControl<QAbstractSpinBox>(parent)
{
    resize(121, 22);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { Change(); });
}

void TSpinEdit::SetText(const QString& v) { lineEdit()->setText(v); }

int TSpinEdit::Clamp(int v) const
{
    if (max_ == min_) return v;
    return qBound(min_, v, max_);
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int v = text().trimmed().toInt(&ok);
    return ok ? Clamp(v) : min_;
}

void TSpinEdit::SetValue(int v) { SetText(QString::number(Clamp(v))); }

int TSpinEdit::MaxLength() const
{
    const int n = lineEdit()->maxLength();
    return n >= 32767 ? 0 : n;
}

void TSpinEdit::SetMaxLength(int v) { lineEdit()->setMaxLength(v > 0 ? v : 32767); }

void TSpinEdit::stepBy(int steps)
{
    if (isReadOnly()) return;
    // Wide arithmetic: a step past the ends of the integer range stops there.
    const qint64 next = qint64(Value()) + qint64(steps) * increment_;
    SetValue(int(qBound(qint64(INT_MIN), next, qint64(INT_MAX))));
    lineEdit()->selectAll();
}

QValidator::State TSpinEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    if (isReadOnly()) return StepNone;
    if (max_ == min_) return StepUpEnabled | StepDownEnabled;
    StepEnabled e = StepNone;
    if (Value() < max_) e |= StepUpEnabled;
    if (Value() > min_) e |= StepDownEnabled;
    return e;
}

void TSpinEdit::Change() { TControlEvents::Fire(OnChange, this); }

TQvSpinEdit::TQvSpinEdit(QWidget* parent) : TSpinEdit(parent) {}

void TQvSpinEdit::Change()
{
    const QString t = text();
    // Each stray sign takes the last character off, until none is left after
    // the first character: what stays is the text before the first stray
    // sign, set once (one change per character would nest as deep as the
    // text is long).
    qsizetype firstStray = -1;
    for (qsizetype i = 1; i < t.size() && firstStray < 0; ++i)
        if (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-')) firstStray = i;
    const QString kept = firstStray < 0 ? t : t.left(firstStray);
    if (kept != t) {
        SetText(kept);  // runs this again on the text that stays
        return;
    }
    if (!t.trimmed().isEmpty()) TSpinEdit::Change();
}

}  // namespace kelm24
