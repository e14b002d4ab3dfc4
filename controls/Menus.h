// Popup menus and their items. An item is a named object with the system's
// properties (Caption, Checked, RadioItem ...), so language packages find it.
#pragma once

#include "controls/Events.h"

#include <QAction>
#include <QMenu>

namespace kelm24 {

class TMenuItem : public QAction {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool RadioItem READ RadioItem WRITE SetRadioItem)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int ImageIndex READ ImageIndex WRITE SetImageIndex)
public:
    explicit TMenuItem(QObject* owner = nullptr);
    // The caption "-" makes the item a separator line; its text stays empty,
    // as a styled menu would otherwise draw the dash beside the line.
    QString Caption() const { return isSeparator() ? QStringLiteral("-") : text(); }
    void SetCaption(const QString& v);
    bool Checked() const { return isChecked(); }
    void SetChecked(bool v);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v) { groupIndex_ = v; }
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool v) { setEnabled(v); }
    bool Visible() const { return isVisible(); }
    void SetVisible(bool v) { setVisible(v); }
    QString Hint() const { return statusTip(); }
    void SetHint(const QString& v) { setStatusTip(v); }
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v) { imageIndex_ = v; }
    void Click() { trigger(); }

    TNotifyEvent OnClick;

private:
    bool radioItem_ = false;
    int groupIndex_ = 0;
    int imageIndex_ = -1;
};

class TPopupMenu : public QMenu {
    Q_OBJECT
    Q_PROPERTY(bool AutoPopup READ AutoPopup WRITE SetAutoPopup)
public:
    explicit TPopupMenu(QWidget* owner = nullptr);
    // Adds an item; named items are found by their name.
    TMenuItem* AddItem(const QString& name, const QString& caption);
    QList<TMenuItem*> Items() const;
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool v) { autoPopup_ = v; }
    // Shows the menu at a screen position.
    void Popup(int x, int y) { popup(QPoint(x, y)); }
    // Makes the menu the context menu of control.
    void AttachTo(QWidget* control);

    TNotifyEvent OnPopup;

private:
    bool autoPopup_ = true;
};

}  // namespace kelm24
