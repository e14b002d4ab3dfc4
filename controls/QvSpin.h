// Spin edits: TSpinEdit keeps its text free (a form may read what was typed)
// and its Value within MinValue..MaxValue when the two differ; TQvSpinEdit
// refuses a sign typed after the first character.
#pragma once

#include "controls/Control.h"
#include "controls/Events.h"

#include <QAbstractSpinBox>

namespace kelm24 {

class TSpinEdit : public TEventedControl<QAbstractSpinBox> {
    Q_OBJECT
    KELM24_PUBLISHED_CONTROL
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(int Value READ Value WRITE SetValue)
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
public:
    explicit TSpinEdit(QWidget* parent = nullptr);
    QString Text() const { return text(); }
    void SetText(const QString& v);
    // The text as a number; MinValue when it is not one.
    int Value() const;
    void SetValue(int v);
    int MinValue() const { return min_; }
    void SetMinValue(int v) { min_ = v; }
    int MaxValue() const { return max_; }
    void SetMaxValue(int v) { max_ = v; }
    int Increment() const { return increment_; }
    void SetIncrement(int v) { increment_ = v; }
    int MaxLength() const;
    void SetMaxLength(int v);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

    TNotifyEvent OnChange;

protected:
    StepEnabled stepEnabled() const override;
    // Runs on every change of the text.
    virtual void Change();
    int Clamp(int v) const;

private:
    int min_ = 0, max_ = 0, increment_ = 1;
};

class TQvSpinEdit : public TSpinEdit {
    Q_OBJECT
public:
    explicit TQvSpinEdit(QWidget* parent = nullptr);

protected:
    // A "+" or "-" after the first character takes the last character off;
    // the change is passed on only when the trimmed text is not empty.
    void Change() override;
};

}  // namespace kelm24
