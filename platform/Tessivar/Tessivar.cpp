#include "platform/Tessivar/Tessivar.h"

#include "platform/Tessivar/TessivarForms.h"

#include <QWidget>

using namespace tessivar;

namespace {

// Outside design mode: placed fields whose column the server no longer has
// are left out of this run, so the extended statement still opens. The
// marks are the layout's and go only for this form's lifetime.
void FixPlacedFields(const TBuilderAccess& Access)
{
    for (int t = 0; t < Access.RelationCount(); ++t) {
        bool anyPlaced = false;
        for (int f = 0; f < Access.FieldCount(t); ++f) anyPlaced = anyPlaced || Access.FieldPlaced(t, f);
        if (!anyPlaced) continue;
        QStringList columns;
        try {
            columns = Access.TableColumns(Access.TableName(t));
        } catch (const std::exception&) {
            // The table is gone or refused: none of its fields can come.
        }
        for (int f = 0; f < Access.FieldCount(t); ++f) {
            const QString column = Access.FieldName(t, f).section(QLatin1Char('.'), 1);
            if (Access.FieldPlaced(t, f) && !columns.contains(column, Qt::CaseInsensitive)) Access.Unplace(t, f);
        }
    }
}

bool DesignerActive(QWidget* Form)
{
    const QObject* designer = Form->findChild<QObject*>(QStringLiteral("DreamDesigner1"));
    return designer && designer->property("Active").toBool();
}

}  // namespace

extern "C" int GetSQLFixed(QWidget* Form, QObject* Builder, QObject* DataSet)
{
    if (!Form || !Builder || !DataSet || Builder->metaObject()->indexOfMethod("RelationCount()") < 0) return -1;
    try {
        if (!DesignerActive(Form)) {
            FixPlacedFields(TBuilderAccess(Builder, DataSet));
            return 0;
        }
        auto* window = Form->findChild<TTessivarWindow*>(QStringLiteral("frmTessivar"), Qt::FindDirectChildrenOnly);
        if (!window) {
            window = new TTessivarWindow(Form, Builder, DataSet);
            window->move(Form->mapToGlobal(QPoint(Form->width() - 340, 40)));
        } else {
            window->SetDataSet(DataSet);
            window->Refresh();
        }
        window->show();
        window->raise();
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}
