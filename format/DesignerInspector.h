// The designer's property inspector: a tool window listing the published
// properties of the selected component, name and value, where a value is
// typed (texts, numbers, fonts, colours) or picked (booleans, enumerations
// by name). A change shows on the component at once; a value of the wrong
// type is refused with a message and the old value comes back.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTableWidget;
class QTableWidgetItem;

namespace kelm24 {

class TDreamDesigner;

class TDesignerInspector : public QWidget {
    Q_OBJECT

public:
    explicit TDesignerInspector(TDreamDesigner* Designer);

    QObject* Component() const { return component_; }
    void SetComponent(QObject* Component);
    // Reads the values again (after the component moved or changed).
    void Refresh();
    // The row of a property, -1 when it is not listed.
    int RowOf(const QString& Name) const;
    // Edits a property as a person would: types the text into its cell (or
    // picks it in the cell's list). Answers whether the value was taken.
    bool EditValue(const QString& Name, const QString& Text);
    QTableWidget* Grid() const { return grid_; }

private:
    void Fill();
    void Commit(int Row, const QString& Text);

    TDreamDesigner* designer_;
    QPointer<QObject> component_;
    QLabel* title_;
    QTableWidget* grid_;
    bool filling_ = false;
};

}  // namespace kelm24
