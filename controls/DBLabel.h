// TDBLabel: a label glued to the control it names, beside, above or below it,
// whose caption can come from the control's data field.
#pragma once

#include "controls/StdCtrls.h"

#include <QPointer>

namespace kelm24 {

class TDBLabel : public TLabel {
    Q_OBJECT
public:
    enum TLabelPos { psTop, psLeft, psRight, psBottom };
    Q_ENUM(TLabelPos)

private:
    Q_PROPERTY(bool AutoAlign READ AutoAlign WRITE SetAutoAlign)
    Q_PROPERTY(TLabelPos Pos READ Pos WRITE SetPos)
    Q_PROPERTY(int Gap READ Gap WRITE SetGap)
    Q_PROPERTY(bool AutoCaption READ AutoCaption WRITE SetAutoCaption)
public:
    explicit TDBLabel(QWidget* parent = nullptr);

    // Refuses a control another label of the form already names
    // ("不能同时有两个 DBLabel 指到同一个 Control.") and keeps the old one.
    void SetFocusControl(QWidget* v) override;
    void SetCaption(const QString& v) override;
    bool AutoAlign() const { return autoAlign_; }
    void SetAutoAlign(bool v);
    TLabelPos Pos() const { return pos_; }
    void SetPos(TLabelPos v);
    int Gap() const { return gap_; }
    void SetGap(int v);
    bool AutoCaption() const { return autoCaption_; }
    void SetAutoCaption(bool v);

    // Places the label next to its control (when AutoAlign).
    void AlignToControl();
    // The control's data field's display label: the control publishes a
    // "DataSource" object and a "DataField" text, and the data source answers
    // the invokable DisplayLabel(field). Empty when any of it is missing.
    static QString FieldDisplayLabel(const QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TakeFieldCaption();
    bool autoAlign_ = true;
    TLabelPos pos_ = psLeft;
    int gap_ = 4;
    bool autoCaption_ = true;
};

}  // namespace kelm24
