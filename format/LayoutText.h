// Layout texts: the component-streaming text in which a format form's design
// is shipped and in which a redesigned layout is stored.
//
//   object frmVRBaseFmt: TfrmVRBaseFmt
//     Caption = 'Report'
//     object QuickRep1: TQuickRep
//       Page.PaperSize = qrpLetter
//       object lblTitle: TQRLabel
//         Left = 10
//         Caption = '采购进货单'
//         Font.Charset = GB2312_CHARSET
//         Font.Style = [fsBold]
//         Lines.Strings = (
//           'first'
//           'second')
//         OnPrint = lblTitlePrint
//       end
//     end
//   end
//
// "object" creates the component (its class by name through the layout class
// registry); "inherited" names a component the form already has and changes
// its properties. Properties are read and written through Qt's meta-object
// system under the system's names; a few composite values (Font, Visible,
// Page, event handlers) are handled here by name.
#pragma once

#include "kelm24/Variant.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace kelm24 {

// ------------------------------------------------------------ class registry

// Creates a component of a registered class under a parent (a widget class
// needs a widget parent).
using TLayoutComponentFactory = std::function<QObject*(QObject* parent)>;

// Registers a class a layout text may name ("TQRLabel"). Names match without
// case. The meta-object lets a text be checked against the class before any
// component is made.
void RegisterLayoutClass(const QString& ClassName, const QMetaObject* Meta, TLayoutComponentFactory Create);
template <class T>
void RegisterLayoutClass(const QString& ClassName)
{
    RegisterLayoutClass(ClassName, &T::staticMetaObject, [](QObject* parent) -> QObject* {
        if constexpr (std::is_base_of_v<QWidget, T>) return new T(qobject_cast<QWidget*>(parent));
        else return new T(parent);
    });
}
// The registered meta-object of a class name; null when unknown.
const QMetaObject* FindLayoutClass(const QString& ClassName);
// A new component of the class, or null when the class is unknown or the
// parent does not fit (a widget class under a non-widget).
QObject* CreateLayoutComponent(const QString& ClassName, QObject* Parent);
// The name a layout text uses for a component's class ("TQRLabel"): the most
// derived registered class, without namespace.
QString LayoutClassName(const QObject* Component);
// Registers the report engine's and the maker's classes (done once; safe to
// call again).
void RegisterReportLayoutClasses();

// ------------------------------------------------------------ event handlers

// Event properties of a component ("OnPrint", "BeforePrint" ...) are bound to
// invokable methods of a handler owner (the form) by method name. The name
// stays recorded on the component so a writer can store it.
QStringList LayoutEventNames(const QObject* Component);
// Binds Event of Component to Method of Owner; false with Error when the
// component has no such event, the owner no such method, or the method does
// not take the event's arguments. An empty Method clears the event.
bool BindLayoutEvent(QObject* Component, const QString& Event, QObject* Owner, const QString& Method,
                     QString* Error = nullptr);
// Records a handler name without binding it (design copies used to compare).
void RecordLayoutEvent(QObject* Component, const QString& Event, const QString& Method);
// The method name bound to an event, empty when none.
QString BoundLayoutEvent(const QObject* Component, const QString& Event);
// Whether Owner has an invokable method that fits Event of Component.
bool LayoutHandlerFits(const QObject* Component, const QString& Event, const QObject* Owner, const QString& Method,
                       QString* Error = nullptr);

// ------------------------------------------------------------ errors, limits

// A layout text that cannot be read: the message names the line.
class ELayoutError : public Exception {
public:
    ELayoutError(int line, const QString& message);
    int Line() const { return line_; }
    QString Message() const { return message_; }

private:
    int line_;
    QString message_;
};

struct TLayoutLimits {
    qint64 MaxBytes = 16 * 1024 * 1024;  // whole text
    int MaxDepth = 64;                    // nesting of components
    int MaxComponents = 100000;
    int MaxListItems = 100000;            // lines of one string list
};

// ------------------------------------------------------------ reading

// One value of a property line.
struct TLayoutValue {
    enum TKind { vkNone, vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary };
    TKind Kind = vkNone;
    qint64 Integer = 0;
    double Float = 0;
    QString Text;          // string, identifier
    QStringList Items;     // set members, list lines
    QByteArray Binary;
};

struct TLayoutProperty {
    QString Name;  // may be dotted ("Font.Style", "Lines.Strings")
    TLayoutValue Value;
    int Line = 0;
};

struct TLayoutNode {
    bool Inherited = false;
    QString Name, ClassName;
    int Line = 0;
    std::vector<TLayoutProperty> Properties;
    std::vector<std::unique_ptr<TLayoutNode>> Children;
    ~TLayoutNode();
};

// Parses a text into its component tree; raises ELayoutError.
std::unique_ptr<TLayoutNode> ParseLayoutText(const QString& Text, const TLayoutLimits& Limits = {});

struct TLayoutReadOptions {
    // Where handler names are bound; null records the names only.
    QObject* HandlerOwner = nullptr;
    // Class names the root line may carry (the form's class chain); empty: any.
    QStringList RootClasses;
    TLayoutLimits Limits;
};

// Reads Text into the component tree under Root. The whole text is parsed and
// checked against the form first (classes, components, properties, value
// types, referenced components, handlers), so a text that fails changes
// nothing. Answers the names of the components it created ("object" lines).
QStringList ReadLayoutText(QWidget* Root, const QString& Text, const TLayoutReadOptions& Options = {});

// ------------------------------------------------------------ writing

struct TLayoutWriteOptions {
    // Compare with this copy of the design: only differing properties are
    // written. Without it every stored property is.
    QWidget* Ancestor = nullptr;
    // Names written with "object" (designer-added components).
    QSet<QString> Added;
    // The root's line: name and class.
    QString RootName, RootClass;
};

// Writes the component tree of Root.
QString WriteLayoutText(QWidget* Root, const TLayoutWriteOptions& Options = {});

// ------------------------------------------------------------ persistence

// The properties a stored layout keeps (GetMyNeedProp): what a user changes
// in the designer and what a designer-added field needs to come back.
const QStringList& KeptLayoutProperties();
// Keeps the component lines and the property lines worth storing (a
// property's continuation lines go with it) and drops "inherited" blocks
// that are left with nothing.
void GetMyNeedProp(const QStringList& AllLines, QStringList& NeededLines);

// The layout text of a form as it is now, as the differences from its own
// design; Added names are written as "object".
QString FormLayoutDifferences(QWidget* Form, const QSet<QString>& Added);
// Writes the form's stored layout (differences, needed lines) to Path, UTF-8;
// raises kelm24::Exception when the file cannot be written.
void SaveMyFormToFile(QWidget* Form, const QString& Path);
// Reads a layout file into the form; raises ELayoutError or kelm24::Exception.
QStringList LoadMyFormFromFile(QWidget* Form, const QString& Path);

// ------------------------------------------------------------ designs

// The program's design of each format form class is a layout text in the
// library's resources (":/layouts/<class>.txt"). A form applies the texts of
// its class chain, base first.
QString DesignTextOf(const QString& ClassName);
// The class chain of a form whose design texts apply, base first
// ("TfrmVRBaseFmt", "TfrmVRFormat", "TfrmKelm24Fmt").
QStringList DesignClassChain(const QObject* Form);
// Builds a bare copy of the design of a class chain under a new root widget
// (handlers recorded, not bound), the ancestor writers compare with.
std::unique_ptr<QWidget> BuildDesignCopy(const QStringList& ClassChain);

}  // namespace kelm24
