#include "controls/StdCtrls.h"

#include "controls/GlyphLibrary.h"

#include <QAbstractItemView>
#include <QIcon>
#include <QPixmap>

namespace kelm24 {

// TEdit ---------------------------------------------------------------------

TEdit::TEdit(QWidget* parent) : TEventedControl<QLineEdit>(parent)
{
    resize(121, 21);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

void TEdit::SetMaxLength(int v)
{
    maxLength_ = v < 0 ? 0 : v;
    setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TEdit::Change()
{
    if (!changeSuppressed_) TControlEvents::Fire(OnChange, this);
}

// TMaskEdit -----------------------------------------------------------------

TMaskEdit::TMaskEdit(QWidget* parent) : TEdit(parent) {}

void TMaskEdit::SetEditMask(const QString& v)
{
    if (v == editMask_) return;
    const QString text = Text();
    editMask_ = v;
    mask_ = TEditMask(v);
    setInputMask(mask_.QtInputMask());
    SetText(text);
}

QString TMaskEdit::Text() const
{
    return mask_.IsMasked() ? mask_.TextFromDisplay(displayText()) : text();
}

void TMaskEdit::SetText(const QString& v)
{
    if (!mask_.IsMasked()) {
        setText(v);
        return;
    }
    // Spaces stand for blanks, as the text reads them.
    QString shown = v;
    if (mask_.Blank() != QLatin1Char(' ') && mask_.SaveLiterals())
        for (QChar& c : shown)
            if (c == QLatin1Char(' ')) c = mask_.Blank();
    setText(shown);
}

// TMemo ---------------------------------------------------------------------

TMemo::TMemo(QWidget* parent) : TEventedControl<QPlainTextEdit>(parent)
{
    resize(185, 89);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { TControlEvents::Fire(OnChange, this); });
}

QStringList TMemo::Lines() const
{
    const QString text = toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TMemo::SetLines(const QStringList& v) { setPlainText(v.join(QLatin1Char('\n'))); }

// TLabel --------------------------------------------------------------------

TLabel::TLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::SetCaption(const QString& v)
{
    caption_ = v;
    setText(StripAccelerator(v));
    AdjustBounds();
}

void TLabel::SetAutoSize(bool v)
{
    autoSize_ = v;
    AdjustBounds();
}

void TLabel::SetAlignment(ctl::TAlignment v)
{
    alignment_ = v;
    const Qt::Alignment h = v == ctl::taRightJustify ? Qt::AlignRight : v == ctl::taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    setAlignment(h | Qt::AlignTop);
}

void TLabel::SetFocusControl(QWidget* v)
{
    focusControl_ = v;
    setBuddy(v);
}

void TLabel::AdjustBounds()
{
    if (!autoSize_ || wordWrap()) return;
    const QFontMetrics fm(font());
    const QSize size(fm.horizontalAdvance(text()), fm.height());
    // A right-aligned label keeps its right edge when it grows.
    if (alignment_ == ctl::taRightJustify) setGeometry(x() + width() - size.width(), y(), size.width(), size.height());
    else resize(size);
}

void TLabel::mouseReleaseEvent(QMouseEvent* e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        TControlEvents::Fire(OnClick, this);
}

void TLabel::mouseDoubleClickEvent(QMouseEvent* e)
{
    QLabel::mouseDoubleClickEvent(e);
    TControlEvents::Fire(OnDblClick, this);
}

// TButton, TBitBtn ----------------------------------------------------------

TButton::TButton(QWidget* parent) : TEventedControl<QPushButton>(parent)
{
    resize(75, 25);
    connect(this, &QPushButton::clicked, this, [this] { TControlEvents::Fire(OnClick, this); });
}

TBitBtn::TBitBtn(QWidget* parent) : TButton(parent) {}

void TBitBtn::SetGlyph(const QImage& v)
{
    glyph_ = v;
    numGlyphs_ = GlyphCellCount(v);
    UpdateIcon();
}

void TBitBtn::SetNumGlyphs(int v)
{
    numGlyphs_ = qBound(1, v, 4);
    UpdateIcon();
}

void TBitBtn::UpdateIcon()
{
    setIcon(GlyphStripIcon(glyph_, numGlyphs_));
    if (!glyph_.isNull()) setIconSize(QSize(glyph_.width() / numGlyphs_, glyph_.height()));
}

// TCheckBox -----------------------------------------------------------------

TCheckBox::TCheckBox(QWidget* parent) : TEventedControl<QCheckBox>(parent)
{
    resize(97, 17);
    connect(this, &QCheckBox::clicked, this, [this] { TControlEvents::Fire(OnClick, this); });
}

TCheckBox::TCheckBoxState TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return cbChecked;
    case Qt::PartiallyChecked: return cbGrayed;
    default: return cbUnchecked;
    }
}

void TCheckBox::SetState(TCheckBoxState v)
{
    if (v == cbGrayed) setTristate(true);
    setCheckState(v == cbChecked ? Qt::Checked : v == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
}

void TCheckBox::nextCheckState()
{
    SetState(TCheckBoxState(NextCheckState(State(), AllowGrayed())));
}

// TComboBox -----------------------------------------------------------------

TComboBox::TComboBox(QWidget* parent) : TEventedControl<QComboBox>(parent)
{
    resize(145, 21);
    SetStyle(csDropDown);
    connect(this, &QComboBox::currentTextChanged, this, [this] { TControlEvents::Fire(OnChange, this); });
    connect(this, &QComboBox::activated, this, [this] { TControlEvents::Fire(OnSelect, this); });
}

void TComboBox::SetStyle(TComboBoxStyle v)
{
    style_ = v;
    const bool editable = v == csDropDown || v == csSimple;
    setEditable(editable);
    if (editable) {
        setInsertPolicy(QComboBox::NoInsert);
        SetMaxLength(maxLength_);
    }
}

QStringList TComboBox::Items() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i) items << itemText(i);
    return items;
}

void TComboBox::SetItems(const QStringList& v)
{
    const int index = currentIndex();
    const QString text = currentText();
    const QSignalBlocker block(this);
    clear();
    addItems(v);
    if (sorted_) model()->sort(0);
    setCurrentIndex(index < count() ? index : -1);
    if (isEditable() && index < 0) setEditText(text);
}

void TComboBox::SetItemIndex(int v) { setCurrentIndex(v >= 0 && v < count() ? v : -1); }

void TComboBox::SetText(const QString& v)
{
    const int index = findText(v);
    if (index >= 0) setCurrentIndex(index);
    else if (isEditable()) {
        setCurrentIndex(-1);
        setEditText(v);
    }
}

void TComboBox::SetMaxLength(int v)
{
    maxLength_ = v < 0 ? 0 : v;
    if (lineEdit()) lineEdit()->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

void TComboBox::SetSorted(bool v)
{
    sorted_ = v;
    if (v) model()->sort(0);
}

void TComboBox::showPopup()
{
    TControlEvents::Fire(OnDropDown, this);
    QComboBox::showPopup();
}

}  // namespace kelm24
