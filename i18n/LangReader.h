// Applying a language package (an XML document) to components: each
// attribute of an element is a property path, its value the text to store.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QObject;
typedef struct _xmlDoc xmlDoc;
typedef struct _xmlNode xmlNode;
typedef struct _xmlAttr xmlAttr;

namespace kelm24 {

// The events fired around loading one component from its element.
using TLoadComponentEvent = std::function<void(QObject* Component, xmlNode* Node)>;

// Applies one element to one component.
class TComponentRead {
public:
    virtual ~TComponentRead() = default;
    virtual void Apply(QObject* Component, xmlNode* Element);
    // The entries of the element that stored nothing (a path that leads
    // nowhere, a value the property cannot take), each as
    // "element (line n): attribute=\"value\"". They are skipped, not errors.
    QStringList Failures;

protected:
    // Stores one attribute: Path ("Caption", "Items_2", "Columns_1.Caption")
    // and Value; false when nothing was stored.
    bool ApplyAttribute(QObject* Component, const QString& Path, const QString& Value);
};

// Combo boxes keep their selected item across the change.
class TCustomComboBoxRead : public TComponentRead {
public:
    void Apply(QObject* Component, xmlNode* Element) override;
};

// The data-aware combo box (class TwwDBCustomComboBox and its descendants).
class TwwDBCustomComboBoxRead : public TCustomComboBoxRead {};

class TReaderFactory {
public:
    static std::unique_ptr<TComponentRead> ReaderFor(const QObject* Component);
};

class TLangReader {
public:
    TLangReader(xmlDoc* Document, const QStringList& ExcludeControls, TLoadComponentEvent BeforeLoad,
                TLoadComponentEvent AfterLoad);

    void SetExcludeControls(const QStringList& ExcludeControls) { exclude_ = ExcludeControls; }
    // Applies the package to Component and every component it owns; raises
    // "No active LanguageController!" without a document.
    void ApplyTo(QObject* Component);
    // The entries that stored nothing in the applies so far.
    const QStringList& Failures() const { return failures_; }

private:
    void ApplyOne(QObject* Component, xmlNode* Element);
    bool Excluded(const QString& name) const;

    xmlDoc* document_;
    QStringList exclude_;
    TLoadComponentEvent beforeLoad_, afterLoad_;
    QStringList failures_;
};

// The first element of the document with that tag name ("//Name"); null when none.
xmlNode* FindFirstElement(xmlDoc* Document, const QString& Name);

// The text of an attribute with its entity references expanded; false when
// the text would pass MaxAttributeBytes (a package that references a large
// entity thousands of times) or entities nest too deeply.
constexpr int MaxAttributeBytes = 1 << 20;
bool AttributeText(const xmlAttr* Attribute, QString& Text);

}  // namespace kelm24
