#include "options/QVForm.h"

#include "controls/BtChkBox.h"
#include "controls/Buttons.h"
#include "controls/GlyphLibrary.h"
#include "controls/SelectPnl.h"
#include "controls/StdCtrls.h"
#include "format/engine/QRFonts.h"
#include "runtime/PropUtils.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMetaObject>

namespace kelm24 {

namespace {

// Glyph numbers of the shared library for the standard buttons.
constexpr int LookupGlyph = 8;

void PutStandardGlyphs(QWidget* form)
{
    try {
        for (TF2Button* button : form->findChildren<TF2Button*>()) {
            if (button->GlyphIndex() == 0) button->SetGlyphIndex(LookupGlyph);
        }
        for (TSelectPanel* panel : form->findChildren<TSelectPanel*>()) panel->SetGlyphIndex(panel->GlyphIndex());
        for (TBitBtn* button : form->findChildren<TBitBtn*>()) {
            const QImage glyph = button->Glyph();
            if (!glyph.isNull() && button->NumGlyphs() == 1 && GlyphCellCount(glyph) == 1) {
                button->SetGlyph(AddDisabledGlyph(glyph));
                button->SetNumGlyphs(2);
            }
        }
    } catch (const Exception&) {
        // Without the glyph library the buttons keep their captions.
    }
}

}  // namespace

TQVForm::TQVForm(QWidget* Owner) : QWidget(Owner, Qt::Window)
{
    // The faces the forms name ("宋体", "Tahoma") as the project's font file
    // maps them, before the form's controls first look any of them up.
    UseReportFonts();
    langController_ = new TQvLangController(this);
    langController_->setObjectName(QStringLiteral("QvLangController1"));
}

TQVForm::~TQVForm()
{
    qApp->removeEventFilter(this);
    // A form freed in its own modal loop (its owner went) ends that loop:
    // nobody could end it afterwards.
    if (loop_) loop_->quit();
}

void TQVForm::AfterConstruction()
{
    if (!converter_) converter_ = new TCodeConverter(this);
    FormCreate();
}

void TQVForm::SetConverter(TCodeConverter* converter)
{
    if (converter_ == converter) return;
    if (converter && converter->parent() != this) converter->setParent(this);
    delete converter_;
    converter_ = converter;
}

QString TQVForm::SystemCodePage() const { return converter_ ? converter_->SystemCodePage : QStringLiteral("936"); }
QString TQVForm::UICodePage() const { return converter_ ? converter_->UICodePage : QStringLiteral("936"); }
int TQVForm::UICharset() const { return UICharsetOf(converter_ ? converter_->UIConvertMode : 0); }

void TQVForm::ConvertForm()
{
    if (converted_) return;
    converted_ = true;
    if (converter_) converter_->ConvertFormTexts(this);
}

int TQVForm::ShowMsg(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons)
{
    if (converter_) return converter_->MessageDialog(converter_->ToDisplay(Text), DlgType, Buttons);
    TMessageRequest request;
    request.Text = Text;
    request.DlgType = DlgType;
    request.Buttons = Buttons;
    request.Caption = Caption();
    request.Owner = this;
    return TDialogService::MessageBox(request);
}

bool TQVForm::GetLangText(const QString& ClassName, const QString& Key, QString& Text, bool Convert,
                          const QString& Default)
{
    const int type = converter_ ? converter_->DesignType : dtClient;
    const QString found = LookupMessage(type, ClassName, Key, QString());
    if (!found.isNull()) {
        Text = found;
        return true;
    }
    Text = Convert && converter_ ? converter_->ToDisplay(Default) : Default;
    return false;
}

QString TQVForm::LangText(const QString& ClassName, const QString& Key, const QString& Default)
{
    QString text;
    GetLangText(ClassName, Key, text, true, Default);
    return text;
}

TDisplayConversion TQVForm::DisplayConversion()
{
    const QPointer<TQVForm> self(this);
    TDisplayConversion conversion;
    conversion.ToDisplay = [self](const QString& text) {
        return self && self->converter_ ? self->converter_->ToDisplay(Variant(text)).ToString() : text;
    };
    conversion.FromDisplay = [self](const QString& text) {
        return self && self->converter_ ? self->converter_->FromDisplay(Variant(text)).ToString() : text;
    };
    return conversion;
}

void TQVForm::SetModalResult(int v)
{
    modalResult_ = v;
    if (v != 0 && loop_) loop_->quit();
}

int TQVForm::ShowModal()
{
    if (loop_) return mrNone;  // already modal
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    loop_ = &loop;
    QPointer<TQVForm> self(this);
    if (modalResult_ == mrNone && isVisible()) loop.exec(QEventLoop::DialogExec);
    if (!self) return mrCancel;
    loop_ = nullptr;
    const int result = modalResult_ == mrNone ? int(mrCancel) : modalResult_;
    if (isVisible()) Close();
    if (self) setWindowModality(Qt::NonModal);
    return result;
}

void TQVForm::Close()
{
    if (closing_) return;
    TCloseAction action = caHide;
    FormClose(action);
    if (action == caNone) return;
    closing_ = true;
    if (loop_ && modalResult_ == mrNone) modalResult_ = mrCancel;
    hide();
    if (loop_) loop_->quit();
    closing_ = false;
    if (action == caFree) Release();
}

void TQVForm::Release()
{
    deleteLater();
}

void TQVForm::ApplyLangChain(QWidget* Form, bool WholeChain)
{
    ApplyPackages(Form, WholeChain);
}

void TQVForm::ApplyLangChainOwn(QWidget* Form, bool WholeChain)
{
    // The maker's own classes only: the chain stops at TQVForm.
    Q_UNUSED(WholeChain);
    ApplyPackages(Form, false);
}

QStringList TQVForm::ClassChain(bool WholeChain) const
{
    QStringList chain;
    for (const QMetaObject* meta = metaObject(); meta; meta = meta->superClass()) {
        QString name = QString::fromLatin1(meta->className());
        name = name.mid(name.lastIndexOf(QLatin1Char(':')) + 1);
        if (name == QLatin1String("QWidget")) break;
        chain.prepend(name);
        if (!WholeChain && name == QLatin1String("TQVForm")) break;
    }
    return chain;
}

void TQVForm::ApplyPackages(QWidget* Form, bool WholeChain)
{
    langController_->DesignType = converter_ ? converter_->DesignType : dtClient;
    ApplyLanguagePackages(*langController_, Form, ClassChain(WholeChain));
}

void TQVForm::FormCreate()
{
    ApplyInterfaceFont();
    PutStandardGlyphs(this);
    ApplyLanguageOnShow = true;
}

void TQVForm::ApplyInterfaceFont()
{
    if (UICodePage() != QLatin1String("437")) return;
    QFont tahoma = font();
    tahoma.setFamily(QStringLiteral("Tahoma"));
    setFont(tahoma);
    for (QWidget* child : findChildren<QWidget*>()) {
        QFont f = child->font();
        f.setFamily(QStringLiteral("Tahoma"));
        child->setFont(f);
    }
}

void TQVForm::FormShow()
{
    if (ApplyLanguageOnShow) ApplyLangChain(this, true);
    FitTexts();
}

namespace {

int PlainTextWidth(const QWidget* w, QString text)
{
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));  // accelerator marks take no room
    return w->fontMetrics().horizontalAdvance(text);
}

// The width a control needs for its texts; 0 when it has no text to fit.
int NeededWidth(QWidget* w)
{
    constexpr int CheckRoom = 22;  // the check mark or radio circle and its gap
    constexpr int ArrowRoom = 26;  // a combo box's frame and arrow button
    if (auto* box = qobject_cast<TBitCheckBox*>(w)) {
        const int glyph = box->CheckedGlyph().isNull() ? 16 : box->CheckedGlyph().width() / std::max(1, box->CheckedNumGlyphs());
        return box->Caption().isEmpty() ? 0 : PlainTextWidth(w, box->Caption()) + glyph + 6;
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        const QString text = static_cast<QAbstractButton*>(w)->text();
        return text.isEmpty() ? 0 : PlainTextWidth(w, text) + CheckRoom;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
        int widest = 0;
        for (int i = 0; i < combo->count(); ++i) widest = std::max(widest, PlainTextWidth(w, combo->itemText(i)));
        return widest ? widest + ArrowRoom : 0;
    }
    return 0;
}

}  // namespace

void TQVForm::FitTexts()
{
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (IsInnerPart(w, this) || !w->parentWidget() || w->isWindow()) continue;
        const int needed = NeededWidth(w);
        if (needed <= w->width()) continue;
        const int room = w->parentWidget()->width() > 0 ? w->parentWidget()->width() - w->x() : needed;
        w->resize(std::max(w->width(), std::min(needed, room)), w->height());
    }
    // A control that starts under a label's caption moves right of it.
    for (QWidget* w : widgets) {
        auto* label = qobject_cast<TLabel*>(w);
        if (!label || IsInnerPart(w, this) || label->isHidden() || label->Caption().isEmpty()) continue;
        const QRect text = label->geometry();
        for (QObject* child : label->parentWidget()->children()) {
            auto* other = qobject_cast<QWidget*>(child);
            if (!other || other == label || other->isHidden() || other->isWindow()) continue;
            const QRect g = other->geometry();
            const bool sameRow = g.top() < text.bottom() && g.bottom() > text.top();
            if (sameRow && g.left() > text.left() && g.left() <= text.right()) other->move(text.right() + 5, g.top());
        }
    }
}

void TQVForm::FormClose(TCloseAction& Action)
{
    Q_UNUSED(Action);
}

void TQVForm::FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Key);
    Q_UNUSED(Shift);
}

void TQVForm::FormKeyPress(QWidget* Sender, QChar& Key)
{
    Q_UNUSED(Sender);
    Q_UNUSED(Key);
}

void TQVForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!e->spontaneous()) FormShow();
    if (keyPreview_) qApp->installEventFilter(this);
}

void TQVForm::closeEvent(QCloseEvent* e)
{
    // The window manager's close button: the form's own close rules apply.
    e->ignore();
    if (!closing_) Close();
}

bool TQVForm::eventFilter(QObject* watched, QEvent* event)
{
    // A release ends the delivery of the press before it: the next press is
    // a new key even when it is built at the same address.
    if (event->type() == QEvent::KeyRelease) lastKey_ = nullptr;
    if (!keyPreview_ || event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || !isVisible()) return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    // A key a control leaves unused goes on to its parents: the form sees it
    // once, at its first delivery.
    if (keyEvent == lastKey_ && keyEvent->timestamp() == lastKeyTime_ && lastKeyReceiver_ &&
        widget != lastKeyReceiver_ && widget->isAncestorOf(lastKeyReceiver_))
        return false;
    lastKey_ = keyEvent;
    lastKeyTime_ = keyEvent->timestamp();
    lastKeyReceiver_ = widget;
    int key = keyEvent->key();
    FormKeyDown(widget, key, keyEvent->modifiers());
    if (key == 0) return true;
    const QString text = keyEvent->text();
    if (text.size() == 1) {
        QChar c = text.at(0);
        FormKeyPress(widget, c);
        if (c.isNull()) return true;
    }
    return false;
}

}  // namespace kelm24
