// Labelled data edits: TQvDBEdit owns a label ("EditLabel") that follows it;
// TQvBtnDBEdit adds an F2 speed button ("F2Button") at its right.
#pragma once

#include "controls/Buttons.h"
#include "controls/StdCtrls.h"

#include <QPointer>

namespace kelm24 {

class TQvDBEdit : public TEdit {
    Q_OBJECT
public:
    enum TLabelPosition { lpAbove, lpBelow, lpLeft, lpRight };
    Q_ENUM(TLabelPosition)

private:
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(TLabelPosition LabelPosition READ LabelPosition WRITE SetLabelPosition)
    Q_PROPERTY(int LabelSpacing READ LabelSpacing WRITE SetLabelSpacing)
    Q_PROPERTY(QObject* DataSource READ DataSource WRITE SetDataSource)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)
public:
    explicit TQvDBEdit(QWidget* parent = nullptr);
    ~TQvDBEdit() override;
    TLabel* EditLabel() const { return label_; }
    QString Caption() const { return label_ ? label_->Caption() : QString(); }
    void SetCaption(const QString& v);
    TLabelPosition LabelPosition() const { return labelPosition_; }
    void SetLabelPosition(TLabelPosition v);
    int LabelSpacing() const { return labelSpacing_; }
    // Negative values are ignored.
    void SetLabelSpacing(int v);
    QObject* DataSource() const { return dataSource_; }
    void SetDataSource(QObject* v) { dataSource_ = v; }
    QString DataField() const { return dataField_; }
    void SetDataField(const QString& v) { dataField_ = v; }

protected:
    // Keeps the attached parts (label, button) beside the edit.
    virtual void PlaceParts();
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;

private:
    QPointer<TLabel> label_;
    TLabelPosition labelPosition_ = lpLeft;
    int labelSpacing_ = 4;
    QPointer<QObject> dataSource_;
    QString dataField_;
};

class TQvBtnDBEdit : public TQvDBEdit {
    Q_OBJECT
    Q_PROPERTY(int ButtonSpacing READ ButtonSpacing WRITE SetButtonSpacing)
    Q_PROPERTY(QString ButtonHint READ ButtonHint WRITE SetButtonHint)
    Q_PROPERTY(int GlyphIndex READ GlyphIndex WRITE SetGlyphIndex)
public:
    explicit TQvBtnDBEdit(QWidget* parent = nullptr);
    ~TQvBtnDBEdit() override;
    TGSpeedButton* F2Button() const { return button_; }
    int ButtonSpacing() const { return buttonSpacing_; }
    void SetButtonSpacing(int v);
    QString ButtonHint() const { return button_ ? button_->Hint() : QString(); }
    void SetButtonHint(const QString& v);
    int GlyphIndex() const { return button_ ? button_->GlyphIndex() : 0; }
    void SetGlyphIndex(int v);

    // Called on a button click when set; otherwise the click focuses the edit
    // and sends the owner form the F2 message.
    TNotifyEvent OnDialog;

protected:
    void PlaceParts() override;

private:
    void ButtonClick();
    QPointer<TGSpeedButton> button_;
    int buttonSpacing_ = 2;
};

}  // namespace kelm24
