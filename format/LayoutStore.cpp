// Stored layouts: the lines worth keeping, layout files, and the program's
// own designs shipped as resources.
#include "format/LayoutText.h"

#include "format/LayoutTables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QSaveFile>

static void InitLayoutResources()
{
    Q_INIT_RESOURCE(layouts);
}

namespace kelm24 {

const QStringList& KeptLayoutProperties()
{
    // Position and size, the look (font, colours, frame, alignment), what a
    // field shows (caption, mask, data, text type, dictionary, expression,
    // lines, picture, barcode kind) and the handlers, so a designer-added
    // field comes back complete; the page of the report. Run-time values
    // (titles, data set contents, tags) are not stored.
    static const QStringList kept{
        QStringLiteral("Left"),        QStringLiteral("Top"),         QStringLiteral("Width"),
        QStringLiteral("Height"),      QStringLiteral("Font"),        QStringLiteral("Caption"),
        QStringLiteral("Enabled"),     QStringLiteral("Visible"),     QStringLiteral("Mask"),
        QStringLiteral("Alignment"),   QStringLiteral("AutoSize"),    QStringLiteral("AutoStretch"),
        QStringLiteral("WordWrap"),    QStringLiteral("Transparent"), QStringLiteral("Color"),
        QStringLiteral("Frame"),       QStringLiteral("FrameWidth"),  QStringLiteral("TextType"),
        QStringLiteral("DictText"),    QStringLiteral("DataSet"),     QStringLiteral("DataField"),
        QStringLiteral("Hint"),        QStringLiteral("Expression"),  QStringLiteral("Lines"),
        QStringLiteral("Items"),       QStringLiteral("Picture"),     QStringLiteral("Stretch"),
        QStringLiteral("Center"),      QStringLiteral("Shape"),       QStringLiteral("PenWidth"),
        QStringLiteral("PenColor"),    QStringLiteral("BrushColor"),  QStringLiteral("BarType"),
        QStringLiteral("TextShow"),    QStringLiteral("TextPosition"), QStringLiteral("AutoWidth"),
        QStringLiteral("Modul"),       QStringLiteral("Text"),        QStringLiteral("Data"),
        QStringLiteral("Page"),        QStringLiteral("ForceNewPage"), QStringLiteral("OnPrint"),
        QStringLiteral("OnInvalidChar"), QStringLiteral("OnTextTypeChange"), QStringLiteral("BeforePrint"),
        QStringLiteral("AfterPrint"),
    };
    return kept;
}

namespace {

enum class TLineKind { Open, End, Property };

TLineKind KindOf(const QString& trimmed)
{
    const QString word = trimmed.section(QLatin1Char(' '), 0, 0);
    if (word.compare(QLatin1String("object"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("inherited"), Qt::CaseInsensitive) == 0 ||
        word.compare(QLatin1String("inline"), Qt::CaseInsensitive) == 0)
        return TLineKind::Open;
    if (trimmed.compare(QLatin1String("end"), Qt::CaseInsensitive) == 0) return TLineKind::End;
    return TLineKind::Property;
}

// Whether the property's value goes on past this line: an open list "(" or
// binary "{" not closed on the line, or a string ended by "+".
int OpenCloser(const QString& line, QChar& closer)
{
    bool quote = false;
    int depth = 0;
    QChar last;
    for (const QChar c : line) {
        if (c == QLatin1Char('\'')) quote = !quote;
        if (quote) continue;
        if (c == QLatin1Char('(') || c == QLatin1Char('{')) {
            closer = c == QLatin1Char('(') ? QLatin1Char(')') : QLatin1Char('}');
            ++depth;
        } else if (c == closer && depth > 0) {
            --depth;
        }
        if (!c.isSpace()) last = c;
    }
    if (depth > 0) return 1;
    if (last == QLatin1Char('+')) {
        closer = QChar();
        return 1;
    }
    return 0;
}

bool Kept(const QString& propertyName)
{
    const QString head = propertyName.section(QLatin1Char('.'), 0, 0);
    for (const QString& k : KeptLayoutProperties())
        if (k.compare(head, Qt::CaseInsensitive) == 0) return true;
    return false;
}

}  // namespace

void GetMyNeedProp(const QStringList& AllLines, QStringList& NeededLines)
{
    NeededLines.clear();
    struct TOpen {
        int Start;
        bool Inherited;
        bool Content;
    };
    std::vector<TOpen> open;
    for (int i = 0; i < AllLines.size(); ++i) {
        const QString& line = AllLines[i];
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        switch (KindOf(trimmed)) {
        case TLineKind::Open:
            open.push_back({static_cast<int>(NeededLines.size()),
                            !trimmed.startsWith(QLatin1String("object"), Qt::CaseInsensitive), false});
            NeededLines << line;
            break;
        case TLineKind::End: {
            if (open.empty()) {
                NeededLines << line;
                break;
            }
            const TOpen o = open.back();
            open.pop_back();
            // An inherited component with nothing kept is left out (the root stays).
            if (o.Inherited && !o.Content && !open.empty()) {
                while (NeededLines.size() > o.Start) NeededLines.removeLast();
            } else {
                NeededLines << line;
                if (!open.empty()) open.back().Content = true;
            }
            break;
        }
        case TLineKind::Property: {
            const QString name = trimmed.section(QLatin1Char('='), 0, 0).trimmed();
            const bool keep = Kept(name);
            QStringList block{line};
            QChar closer;
            if (OpenCloser(line, closer)) {
                // The value's further lines, up to the one that closes it.
                while (i + 1 < AllLines.size()) {
                    const QString next = AllLines[++i];
                    block << next;
                    const QString t = next.trimmed();
                    if (closer.isNull() ? !t.endsWith(QLatin1Char('+')) : t.endsWith(closer)) break;
                }
            }
            if (keep) {
                NeededLines << block;
                if (!open.empty()) open.back().Content = true;
            }
            break;
        }
        }
    }
}

QString DesignTextOf(const QString& ClassName)
{
    static const bool init = (InitLayoutResources(), true);
    Q_UNUSED(init);
    QFile file(QStringLiteral(":/layouts/%1.txt").arg(ClassName));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

QStringList DesignClassChain(const QObject* Form)
{
    QStringList chain;
    if (!Form) return chain;
    for (const QMetaObject* mo = Form->metaObject(); mo; mo = mo->superClass()) {
        const QString name = BareClassName(mo->className());
        if (!DesignTextOf(name).isEmpty()) chain.prepend(name);
    }
    return chain;
}

std::unique_ptr<QWidget> BuildDesignCopy(const QStringList& ClassChain)
{
    auto root = std::make_unique<QWidget>();
    for (const QString& name : ClassChain) {
        TLayoutReadOptions options;
        ReadLayoutText(root.get(), DesignTextOf(name), options);
    }
    return root;
}

QString FormLayoutDifferences(QWidget* Form, const QSet<QString>& Added)
{
    std::unique_ptr<QWidget> design = BuildDesignCopy(DesignClassChain(Form));
    // The copy inherits the form's font and colours as the form's own
    // components do, so only what differs from them counts.
    design->setFont(Form->font());
    design->setPalette(Form->palette());
    TLayoutWriteOptions options;
    options.Ancestor = design.get();
    options.Added = Added;
    options.RootName = Form->objectName();
    options.RootClass = LayoutClassName(Form);
    return WriteLayoutText(Form, options);
}

void SaveMyFormToFile(QWidget* Form, const QString& Path)
{
    QSet<QString> added;
    const QVariant list = Form->property("DesignerAddedNames");
    for (const QString& n : list.toStringList()) added.insert(n);
    QStringList needed;
    GetMyNeedProp(FormLayoutDifferences(Form, added).split(QLatin1Char('\n')), needed);
    const QString dir = QFileInfo(Path).absolutePath();
    if (!QDir().mkpath(dir)) throw Exception(QStringLiteral("cannot make the folder %1").arg(dir));
    QSaveFile file(Path);
    if (!file.open(QIODevice::WriteOnly)) throw Exception(QStringLiteral("cannot write %1: %2").arg(Path, file.errorString()));
    file.write((needed.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!file.commit()) throw Exception(QStringLiteral("cannot write %1: %2").arg(Path, file.errorString()));
}

QStringList LoadMyFormFromFile(QWidget* Form, const QString& Path)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) throw Exception(QStringLiteral("cannot read %1: %2").arg(Path, file.errorString()));
    TLayoutReadOptions options;
    options.HandlerOwner = Form;
    const qint64 limit = options.Limits.MaxBytes;
    if (file.size() > limit)
        throw ELayoutError(1, QStringLiteral("the layout file %1 is longer than %2 bytes").arg(Path).arg(limit));
    return ReadLayoutText(Form, QString::fromUtf8(file.readAll()), options);
}

}  // namespace kelm24
