// TfrmVRBaseFmt: storing a redesigned layout under a style name and applying
// it again, with the local layout file as the fallback of a failed save.
#include "format/VRBaseFmtF.h"

#include "format/engine/QuickRep.h"
#include "kelm24/HostObjects.h"
#include "options/VRBaseOptF.h"
#include "runtime/CodePage.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace kelm24 {

namespace {

const QString Gb2312Charset = QStringLiteral("GB2312_CHARSET");
const QString Big5Charset = QStringLiteral("CHINESEBIG5_CHARSET");

class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The names of the components a layout text creates ("object" lines below
// the root).
QStringList ObjectLineNames(const QStringList& lines)
{
    QStringList names;
    bool root = true;
    for (const QString& line : lines) {
        const QString t = line.trimmed();
        const bool open = t.startsWith(QLatin1String("object "), Qt::CaseInsensitive) ||
                          t.startsWith(QLatin1String("inherited "), Qt::CaseInsensitive);
        if (!open) continue;
        if (root) {
            root = false;
            continue;
        }
        if (t.startsWith(QLatin1String("object "), Qt::CaseInsensitive))
            names << t.section(QLatin1Char(' '), 1, 1, QString::SectionSkipEmpty).section(QLatin1Char(':'), 0, 0);
    }
    return names;
}

// The lines of a stored layout as the server answers them: an array of
// texts, or one text.
QStringList StoredLines(const Variant& value)
{
    QStringList lines;
    if (value.IsArray()) {
        for (const Variant& v : value.Elements()) lines << (v.IsNull() || v.IsEmpty() ? QString() : v.ToString());
    } else if (!value.IsNull() && !value.IsEmpty()) {
        lines = value.ToString().split(QLatin1Char('\n'));
    }
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    return lines;
}

Variant LinesVariant(const QStringList& lines)
{
    std::vector<Variant> values;
    values.reserve(static_cast<size_t>(lines.size()));
    for (const QString& l : lines) values.emplace_back(l);
    return Variant::ArrayOf(values);
}

}  // namespace

// ------------------------------------------------------------------ files

QString TfrmVRBaseFmt::LocalLayoutFile(const QString& Style) const
{
    const TfrmVRBaseOpt* owner = OptionForm();
    QString dir = owner && !owner->RTBuilderDataPath.isEmpty() ? owner->RTBuilderDataPath : ClientPath + QStringLiteral("C_DATA/");
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
    QString prefix = LayoutClassName(this);
    if (UILanguage == 1) prefix = QStringLiteral("CHS_") + prefix;
    else if (UILanguage == 2) prefix = QStringLiteral("CHT_") + prefix;
    // A style name is a name, never a path: separators cannot lead the file
    // out of the layout folder.
    QString style = Style;
    style.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return dir + (style.isEmpty() ? prefix + QStringLiteral(".dat") : prefix + QLatin1Char('_') + style + QStringLiteral(".dat"));
}

QString TfrmVRBaseFmt::BackgroundPictureFile() const
{
    if (UILanguage != 1 && UILanguage != 2) return {};
    const QString cls = LayoutClassName(this).toUpper();
    const int frm = cls.indexOf(QLatin1String("FRM"));
    const int fmt = cls.indexOf(QLatin1String("FMT"), frm < 0 ? 0 : frm + 3);
    if (frm < 0 || fmt < 0) return {};
    QString style;
    if (QuickRep1 && QuickRep1->PageStyle() == psHalfPage) style = QStringLiteral("H");
    else if (QuickRep1 && QuickRep1->PageStyle() == psFullPage) style = QStringLiteral("F");
    return ClientPath + QStringLiteral("C_DATA/") + (UILanguage == 1 ? QStringLiteral("CHS_") : QStringLiteral("CHT_")) +
           cls.mid(frm + 3, fmt - frm - 3) + style + cls.mid(fmt + 3) + QStringLiteral(".svg");
}

void TfrmVRBaseFmt::LoadBackgroundPicture()
{
    BackgroundFile = BackgroundPictureFile();
    if (BackgroundFile.isEmpty() || !QFileInfo::exists(BackgroundFile)) return;
    // A picture that cannot be read leaves the one there was.
    QuickRep1->SetPictureFile(BackgroundFile);
}

void TfrmVRBaseFmt::WriteLocalLayout(const QString& Style)
{
    SaveMyFormToFile(this, LocalLayoutFile(Style));
}

// ------------------------------------------------------------------ reading

bool TfrmVRBaseFmt::ReadStoredText(const QString& Text, const QString& Caption)
{
    auto show = [&](const QString& message) {
        TMessageRequest request;
        request.Text = message;
        request.Caption = Caption;
        request.DlgType = mtError;
        request.Buttons = {mbOK};
        request.Owner = this;
        TDialogService::MessageBox(request);
    };
    TLayoutReadOptions options;
    options.HandlerOwner = this;
    options.RootClasses = DesignClassChain(this);
    try {
        ParseLayoutText(Text, options.Limits);
    } catch (const std::exception& e) {
        show(QStringLiteral("Open Standard DFM error!! ") + QString::fromUtf8(e.what()));
        return false;
    }
    try {
        ReadLayoutText(this, Text, options);
    } catch (const std::exception& e) {
        show(QStringLiteral("Can not read DFM data !!  ") + QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

bool TfrmVRBaseFmt::ApplyLayoutText(const QString& Text)
{
    if (!ReadStoredText(Text, QStringLiteral("Open Error"))) return false;
    for (const QString& name : ObjectLineNames(Text.split(QLatin1Char('\n'))))
        if (!DesignerAdded.contains(name)) DesignerAdded << name;
    return true;
}

void TfrmVRBaseFmt::LoadChanges(bool& Handled)
{
    Handled = true;
    try {
        if (UILanguage == 1 || UILanguage == 2) LoadBackgroundPicture();
        const TAppServerObject server(AppServer());
        if (server.Assigned()) {
            Variant answer;
            const int found =
                server.GetBlobField(Variant::ArrayOf({LayoutClassName(this), StyleName}), answer);
            if (found > 0 && answer.IsArray() && answer.Count() > 1) {
                QStringList lines = StoredLines(answer[answer.LowBound() + 1]);
                if (Converter()) lines = StoredLines(Converter()->ToDisplay(LinesVariant(lines)));
                if (UILanguage == 2 || UICodePage() == QLatin1String("950"))
                    lines.replaceInStrings(Gb2312Charset, Big5Charset);
                ApplyLayoutText(lines.join(QLatin1Char('\n')));
            }
        }
        TfrmVRBaseOpt* owner = OptionForm();
        if (owner && DesignerActive() && SQLBuilderInUse() && !IsExtendedSQLEmpty()) {
            const TReportSQL& sql = owner->SQL;
            if (BuildExtendedSQL(sql.SelectPart(), sql.FromPart(), sql.OrderByPart(), sql.GroupByPart(), sql.WherePart(),
                                 sql.JoinPart())) {
                ApplyExtendedSQL(sql.SelectPart(), sql.FromPart(), 0, sql.OrderByPart(), sql.GroupByPart(),
                                 sql.WherePart(), sql.JoinPart());
                RunTessivar();
            }
        }
    } catch (const std::exception& e) {
        qWarning("%s: the stored layout was not applied: %s", qPrintable(objectName()), e.what());
    }
    hide();
}

// ------------------------------------------------------------------ storing

QStringList TfrmVRBaseFmt::LayoutLines()
{
    QSet<QString> added;
    for (const QString& n : DesignerAdded) added.insert(n);
    const QString all = FormLayoutDifferences(this, added);
    lastLayoutBytes_ = all.toUtf8().size();
    QStringList needed;
    GetMyNeedProp(all.split(QLatin1Char('\n')), needed);
    for (QString& line : needed) {
        const QString t = line.trimmed();
        if (!t.startsWith(QLatin1String("inherited "))) continue;
        const QString name = t.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(':'), 0, 0);
        if (DesignerAdded.contains(name)) line.replace(line.indexOf(QLatin1String("inherited")), 9, QStringLiteral("object"));
    }
    return needed;
}

bool TfrmVRBaseFmt::StoreLayout(const QString& Style)
{
    const TAppServerObject server(AppServer());
    if (!server.Assigned()) throw Exception(QStringLiteral("no application server to store the layout"));
    const QString className = LayoutClassName(this);
    Variant answer;
    bool update = false;
    QString newRevision;
    if (server.GetBlobField(Variant::ArrayOf({className, Style}), answer) > 0 && answer.IsArray()) {
        if (FormMessage(QStringLiteral("FormatExists"), QStringLiteral("该格式档[%s]已经存在，你是否想要继续保存呢?"), mtWarning,
                        {mbYes, mbNo}, Converter() ? Converter()->ToDisplay(Style) : Style) != mrYes) {
            Saving = false;
            return false;
        }
        const QString revisionText = answer.Count() > 0 ? answer[answer.LowBound()].ToString() : QString();
        bool ok = false;
        int revision = revisionText.trimmed().toInt(&ok);
        if (!ok || revision == 999) revision = 0;
        if (server.RunUpdFlagSQL(Variant::ArrayOf({revision, revisionText, className, Style})) < 0) {
            FormMessage(QStringLiteral("FormatLockError"), QStringLiteral("锁定格式档失败，请重新编辑保存！！"), mtWarning, {mbOK});
            WriteLocalLayout(Style);
            Saving = false;
            return false;
        }
        newRevision = QString::number(revision + 1);
        update = true;
    }
    TWaitCursor wait;
    QStringList lines = LayoutLines();
    const int sizeKb = static_cast<int>(lastLayoutBytes_ / 1024);
    if (Converter()) lines = StoredLines(Converter()->FromDisplay(LinesVariant(lines)));
    lines.replaceInStrings(Big5Charset, Gb2312Charset);
    QString options;
    GetStoredOptions(options);
    if (update) {
        if (server.RunInsUpdSQL(true, LinesVariant(lines),
                                Variant::ArrayOf({CompanyCode, UserCode, QString(), newRevision, className, Style, options}),
                                sizeKb) < 0) {
            FormMessage(QStringLiteral("RefreshFormatError"), QStringLiteral("更新格式档失败，请重新编辑保存！！"), mtWarning, {mbOK});
            WriteLocalLayout(Style);
            Saving = false;
        }
    } else {
        if (server.RunInsUpdSQL(false, LinesVariant(lines),
                                Variant::ArrayOf({CompanyCode, UserCode, UserGroup(), className, Style, QString(), options}),
                                sizeKb) < 0) {
            FormMessage(QStringLiteral("SaveFormatError"), QStringLiteral("保存格式档失败，请重新编辑保存！！"), mtWarning, {mbOK});
            WriteLocalLayout(Style);
            Saving = false;
        } else if (TfrmVRBaseOpt* owner = OptionForm()) {
            const QString shown = Converter() ? Converter()->ToDisplay(Style) : Style;
            QStringList items = owner->cboFormStyleName->Items();
            if (!items.contains(shown)) owner->cboFormStyleName->SetItems(items << shown);
            owner->cboFormStyleName->SetItemIndex(static_cast<int>(owner->cboFormStyleName->Items().indexOf(shown)));
        }
    }
    return Saving;
}

QString TfrmVRBaseFmt::UserGroup() const
{
    const TfrmVRBaseOpt* owner = OptionForm();
    if (!owner || !owner->PowerData.IsArray() || owner->PowerData.Count() < 3) return {};
    const Variant& group = owner->PowerData[owner->PowerData.LowBound() + 2];
    return group.IsNull() || group.IsEmpty() ? QString() : group.ToString();
}

bool TfrmVRBaseFmt::AskStyleName(const QString& CaptionKey, const QString& CaptionDefault, const QString& PromptKey,
                                 const QString& PromptDefault, QString& Name)
{
    const QString caption = FormText(CaptionKey, CaptionDefault);
    const QString prompt = FormText(PromptKey, PromptDefault);
    QString value = Converter() ? Converter()->ToDisplay(StyleName) : StyleName;
    Name = StyleName;
    for (;;) {
        QString answer = value;
        if (!TDialogService::InputQuery(caption, prompt, answer, this)) return false;
        const QString stored = Converter() ? Converter()->FromDisplay(Variant(answer)).ToString() : answer;
        value = answer;
        if (EncodeCodePage(stored, 936).size() > MaxStyleNameLength) {
            FormMessage(QStringLiteral("NameLengthError"), QStringLiteral("自定单据格式名称不可大于 %d 码"), mtWarning, {mbOK},
                        QString::number(MaxStyleNameLength));
            continue;
        }
        if (stored.compare(NewStyleName, Qt::CaseInsensitive) == 0) {
            FormMessage(QStringLiteral("PlsNewName"), QStringLiteral("请输入一个新的凭证格式档名称"), mtWarning, {mbOK});
            continue;
        }
        if (!stored.isEmpty() ||
            FormMessage(QStringLiteral("NameIsBlank"), QStringLiteral("当前的凭证格式档名称为空白，是否继续保存？"), mtConfirmation,
                        {mbYes, mbNo}) == mrYes) {
            Name = stored;
            return true;
        }
    }
}

void TfrmVRBaseFmt::SaveChanges(bool& Handled)
{
    Handled = true;
    Saving = true;
    Saved = false;
    if (FormMessage(QStringLiteral("EnssureSave"), QStringLiteral("你是否想要保存呢?"), mtWarning, {mbYes, mbNo}) != mrYes)
        return;
    hide();
    QString name;
    bool accepted = true;
    if (StyleName.toUpper() != NewStyleName.toUpper()) name = StyleName;
    else
        accepted = AskStyleName(QStringLiteral("SaveFormat"), QStringLiteral("保存凭证格式档"), QStringLiteral("SaveFormatName"),
                                QStringLiteral("凭证格式档名称"), name);
    if (StyleName.compare(NewStyleName, Qt::CaseInsensitive) == 0 && name.compare(NewStyleName, Qt::CaseInsensitive) == 0) {
        Saving = false;
        return;
    }
    if (!accepted) return;
    try {
        StoreLayout(name);
    } catch (const std::exception& e) {
        qWarning("%s: the layout was not stored: %s", qPrintable(objectName()), e.what());
        FormMessage(QStringLiteral("SaveFormatError"), QStringLiteral("保存失败，请检查数据库的设置是否有错!"), mtWarning, {mbOK});
        Saving = false;
        return;
    }
    if (!Saving) return;
    StyleName = name;
    Saved = Saving;
}

// ------------------------------------------------------------------ menu

void TfrmVRBaseFmt::nuSaveClick(QObject*)
{
    bool handled = false;
    SaveChanges(handled);
    if (Saved)
        FormMessage(QStringLiteral("SaveFormatOK"), QStringLiteral("保存格式档成功，当前的格式档名称变为："), mtInformation, {mbOK},
                    Converter() ? Converter()->ToDisplay(StyleName) : StyleName);
}

void TfrmVRBaseFmt::nuSaveAsClick(QObject*)
{
    try {
        QString name;
        if (!AskStyleName(QStringLiteral("SaveAsFormat"), QStringLiteral("另存凭证格式档"), QStringLiteral("SaveAsFormatName"),
                          QStringLiteral("凭证格式档名称"), name))
            return;
        Saving = true;
        StoreLayout(name);
        if (!Saving) return;
        StyleName = name;
        FormMessage(QStringLiteral("SaveAsFormatOK"), QStringLiteral("另存格式档成功，当前的格式档名称变为："), mtInformation, {mbOK},
                    Converter() ? Converter()->ToDisplay(name) : name);
    } catch (const std::exception& e) {
        qWarning("%s: save as: %s", qPrintable(objectName()), e.what());
    }
}

void TfrmVRBaseFmt::nuSaveLocClick(QObject*)
{
    hide();
    try {
        WriteLocalLayout(StyleName);
    } catch (const std::exception&) {
        FormMessage(QStringLiteral("SaveLocalError"),
                    QStringLiteral("保存本地文件失败，请检查自定义凭证路径是否存在或是否有权限写入!"), mtWarning, {mbOK});
        Saving = false;
    }
}

void TfrmVRBaseFmt::nuLoadLocClick(QObject*)
{
    try {
        if (FormMessage(QStringLiteral("LoadLocal"), QStringLiteral("是否加载上次保存失败时的修改!"), mtConfirmation,
                        {mbYes, mbNo}) == mrNo)
            return;
        LoadBackgroundPicture();
        QString name;
        if (AskStyleName(QStringLiteral("LoadLocalFormat"), QStringLiteral("加载本地凭证格式档"),
                         QStringLiteral("LoadLocalFormatName"), QStringLiteral("凭证格式档名称"), name)) {
            const QString file = LocalLayoutFile(name);
            QFile in(file);
            if (!in.open(QIODevice::ReadOnly)) throw Exception(QStringLiteral("cannot read %1").arg(file));
            const QString text = QString::fromUtf8(in.readAll());
            ApplyLayoutText(text);
        }
        hide();
    } catch (const std::exception& e) {
        qWarning("%s: load local: %s", qPrintable(objectName()), e.what());
    }
}

}  // namespace kelm24
