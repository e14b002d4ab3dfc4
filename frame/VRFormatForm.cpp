#include "frame/VRFormatForm.h"

#include <QHash>
#include <QWidget>

namespace kelm24 {

TVRFormatForm::~TVRFormatForm() = default;
TVRFormatLayout::~TVRFormatLayout() = default;

QObject* TVRFormatForm::FindComponent(const QString& Name)
{
    QWidget* window = Window();
    if (!window || Name.isEmpty()) return nullptr;
    return window->findChild<QObject*>(Name);
}

namespace {
QHash<QString, TVRFormatFormClass>& FormatClasses()
{
    static QHash<QString, TVRFormatFormClass> classes;
    return classes;
}
}  // namespace

void RegisterFormatClass(const QString& Name, TVRFormatFormClass Create)
{
    FormatClasses().insert(Name.toUpper(), Create);
}

TVRFormatFormClass FindFormatClass(const QString& Name)
{
    return FormatClasses().value(Name.toUpper(), nullptr);
}

}  // namespace kelm24
