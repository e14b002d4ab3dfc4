#include "host/HostManager.h"

#include "kelm24/HostObjects.h"

#include <QDir>
#include <QFileInfo>

namespace kelm24 {

QString FormatMessage(const QString& text, const QStringList& args)
{
    QString out;
    int next = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size()) {
            const QChar f = text[i + 1];
            if (f == QLatin1Char('%')) {
                out += QLatin1Char('%');
                ++i;
                continue;
            }
            if ((f == QLatin1Char('s') || f == QLatin1Char('d')) && next < args.size()) {
                out += args[next++];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

THostManager::THostManager(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser, THostOptions options)
    : TAutomationObject(QStringLiteral("THostManager")), data_(std::move(data)), options_(std::move(options))
{
    counter_ = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<TCounter>(data_)));
    validator_ = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<TValidator>(data_)));
    f2_ = Variant(std::shared_ptr<IAutomationObject>(std::make_shared<TPickWindow>(data_, std::move(chooser))));
    AddMethod(member::GetMessage, [this](VariantArgs& a) {
        return Variant(Message(Arg(a, 0, member::GetMessage).ToString(), Arg(a, 1, member::GetMessage).ToString()));
    });
    AddProperty(member::VersionType, [this] { return Variant(options_.VersionType); });
    AddProperty(member::ProductID, [this] { return Variant(options_.ProductId); });
    AddMethod(member::CallHelp, [this](VariantArgs& a) {
        const Variant& r = Arg(a, 0, member::CallHelp);
        if (!r.IsArray() || r.Count() < 2) throw Exception(QStringLiteral("CallHelp: 参数应是 [说明前缀, 说明内容]"));
        helpCalls_ << r[r.LowBound()].ToString() + QLatin1Char('/') + r[r.LowBound() + 1].ToString();
        return Variant();
    });
    AddMethod(member::SetFormCreateStyle, [this](VariantArgs& a) {
        formStyle_ = Arg(a, 0, member::SetFormCreateStyle).ToString();
        return Variant();
    });
    AddMethod(member::GetFileList, [this](VariantArgs& a) {
        const Variant& r = Arg(a, 0, member::GetFileList);
        return Variant(FileList(r.IsArray() && r.Count() > 0 ? r[r.LowBound()].ToString() : r.ToString()));
    });
    AddProperty(member::Com_Counter, [this] { return counter_; });
    AddProperty(member::Com_Validator, [this] { return validator_; });
    AddProperty(member::Com_F2Window, [this] { return f2_; });
}

QString THostManager::Message(const QString& type, const QString& id)
{
    // Ids are six digits; the form asks for its own error "E;-1" as "1".
    QString key = id.trimmed();
    bool number = false;
    key.toUInt(&number);
    if (number && key.size() < 6) key = key.rightJustified(6, QLatin1Char('0'));
    QVector<THostRow> rows =
        data_->Rows(QStringLiteral("SELECT MS003, MS004 FROM ADMMS WHERE MS001=:K0 AND MS002=:K1"), {type.toUpper(), key});
    if (rows.isEmpty()) throw Exception(QStringLiteral("讯息表没有讯息 %1/%2").arg(type, id));
    const int column = options_.Language.compare(QLatin1String("ENG"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    return rows[0][column].IsNull() ? QString() : rows[0][column].ToString();
}

// The downloader fetches the folder of <Path> + the lower-case file name +
// ".zip", so a newer library waits in the update folder as that archive.
QString THostManager::FileList(const QString& fileName) const
{
    if (options_.UpdateFolder.isEmpty()) return {};
    const QString name = QFileInfo(fileName).fileName().toLower();
    const QDir folder(options_.UpdateFolder);
    QFileInfo archive(folder.filePath(name + QStringLiteral(".zip")));
    if (!archive.exists()) return {};
    return QStringLiteral("<Modify>%1</Modify><Path>%2</Path>")
        .arg(archive.lastModified().toString(QStringLiteral("yyyyMMddhhmmss")), folder.absoluteFilePath(name));
}

Variant HostModuleList(const QStringList& disabled)
{
    const QStringList modules = {QStringLiteral("FEP"), QStringLiteral("PUR"), QStringLiteral("INV")};
    Variant list = Variant::CreateArray(0, 1, 0, static_cast<int>(modules.size()) - 1);
    for (int i = 0; i < modules.size(); ++i) {
        list.At(0, i) = modules[i];
        list.At(1, i) = !disabled.contains(modules[i], Qt::CaseInsensitive);
    }
    return list;
}

void RegisterHostFactory(std::shared_ptr<THostData> data, std::shared_ptr<TPickChooser> chooser, THostOptions options)
{
    RegisterOleFactory(HostProgId, [data, chooser, options] {
        return std::shared_ptr<IAutomationObject>(std::make_shared<THostManager>(data, chooser, options));
    });
}

}  // namespace kelm24
