#include "controls/SelectPnl.h"
#include "runtime/PropUtils.h"

#include "controls/F2Message.h"
#include "controls/GlyphLibrary.h"

#include <QApplication>
#include <QTimer>

namespace kelm24 {

namespace {

const QStringList kDefaultChildHints = {
    QStringLiteral("用户自定输入方式"),       QStringLiteral("区间选择-起始信息"),
    QStringLiteral("区间选择-起始信息开窗"), QStringLiteral("区间选择-截止信息"),
    QStringLiteral("区间选择-截止信息开窗"), QStringLiteral("多选-己选择的信息"),
    QStringLiteral("多选-信息开窗"),         QStringLiteral("多选-删除一笔信息"),
    QStringLiteral("多选-删除己选信息")};

constexpr int kEditHeight = 24;
constexpr int kButtonSize = 23;

// Item 0 for the horizontal layout, item 1 for the others; one item serves both.
QString Word(const QStringList& words, int index)
{
    if (words.isEmpty()) return QString();
    return index < words.size() ? words[index] : words[0];
}

template <class T>
T* Named(T* w, const char* name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}  // namespace

TRabMaskEdit::TRabMaskEdit(QWidget* parent) : TMaskEdit(parent) {}

TSelectPanel::TSelectPanel(QWidget* parent) : TEventedControl<QGroupBox>(parent)
{
    beginWords_ = {QStringLiteral("起"), QStringLiteral("起")};
    finalWords_ = {QStringLiteral("止"), QStringLiteral("止")};
    hintWord_ = QStringLiteral("区间选择");
    childHints_ = kDefaultChildHints;
    SetEnablesChildren(this, true);

    chkUserChoice = Named(new TBitCheckBox(this), "chkUserChoice");
    chkUserChoice->SetChecked(true);
    chkUserChoice->OnClick = {this, [this](QObject*) { CheckBoxClicked(); }};

    pnlRange = Named(new TPanel(this), "pnlRange");
    pnlRange->SetBevelOuter(TPanel::bvNone);
    pnlRange->SetParentColor(true);
    lblBegin = Named(new TLabel(pnlRange), "lblBegin");
    edBegin = Named(new TRabMaskEdit(pnlRange), "edBegin");
    btnBegin = Named(new TF2Button(pnlRange), "btnBegin");
    lblFinal = Named(new TLabel(pnlRange), "lblFinal");
    edFinal = Named(new TRabMaskEdit(pnlRange), "edFinal");
    btnFinal = Named(new TF2Button(pnlRange), "btnFinal");
    lblBegin->SetFocusControl(edBegin);
    lblFinal->SetFocusControl(edFinal);

    pnlList = Named(new TPanel(this), "pnlList");
    pnlList->SetBevelOuter(TPanel::bvNone);
    for (QWidget* part : std::initializer_list<QWidget*>{chkUserChoice, pnlRange, pnlList}) MarkInnerPart(part);
    pnlList->SetParentColor(true);
    lstValues = Named(new TRabListView(pnlList), "lstValues");
    btnListPick = Named(new TF2Button(pnlList), "btnListPick");
    btnDeleteOne = Named(new TGSpeedButton(pnlList), "btnDeleteOne");
    btnDeleteOne->SetFlat(true);
    btnDeleteOne->SetGlyphIndex(47);
    btnClearAll = Named(new TGSpeedButton(pnlList), "btnClearAll");
    btnClearAll->SetFlat(true);
    btnClearAll->SetGlyphIndex(4);

    btnBegin->OnClick = {this, [this](QObject*) { PickClicked(edBegin); }};
    btnFinal->OnClick = {this, [this](QObject*) { PickClicked(edFinal); }};
    btnListPick->OnClick = {this, [this](QObject*) { PickClicked(lstValues); }};
    btnDeleteOne->OnClick = {this, [this](QObject*) {
                                 bool accept = true;
                                 if (OnDeleteClick) OnDeleteClick(this, accept);
                                 if (accept) lstValues->DeleteSelected();
                             }};
    btnClearAll->OnClick = {this, [this](QObject*) {
                                lstValues->Clear();
                                lstValues->setFocus(Qt::OtherFocusReason);
                                TControlEvents::Fire(OnClearClick, this);
                            }};
    lstValues->OnSelectItem = [this](QObject*, TListItem* item, bool selected) {
        if (OnItemSelect) OnItemSelect(this, item, item ? item->Index() : -1, selected);
    };
    lstValues->OnChange = {this, [this](QObject*) { TControlEvents::Fire(OnItemChange, this); }};

    ForwardEvents(chkUserChoice, false);
    ForwardEvents(edBegin, true);
    ForwardEvents(edFinal, true);
    ForwardEvents(lstValues, true);

    SetColumnCaptions({QStringLiteral("Data")});
    connect(qApp, &QApplication::focusChanged, this, &TSelectPanel::FocusChanged);

    resize(353, 45);
    SetGlyphIndex(8);
    ApplyHints();
    SetHintWord(hintWord_);
    ShowParts();
    ArrangeParts();
}

TSelectPanel::~TSelectPanel()
{
    // Focus moves while the inner controls go must not reach this panel.
    disconnect(qApp, nullptr, this, nullptr);
}

void TSelectPanel::SetCaption(const QString& v)
{
    setTitle(v);
    ArrangeParts();
}

bool TSelectPanel::IsRangeMode() const { return style_ == sp_Range || (style_ == sp_UserChoice && userChoice_); }

void TSelectPanel::SetStyle(TSelectStyle v)
{
    if (v == style_) return;
    bool accept = true;
    if (OnStyleChanging) OnStyleChanging(this, style_, v, accept);
    if (!accept) return;
    const TSelectStyle old = style_;
    style_ = v;
    ShowParts();
    // The horizontal range and the other layouts each keep their own size.
    if ((old == sp_Range || v == sp_Range) && !useVertical_ && !loading_) {
        const QSize now = size();
        resize(otherWidth_, otherHeight_);
        otherWidth_ = now.width();
        otherHeight_ = now.height();
    }
    ArrangeParts();
    if (OnStyleChange) OnStyleChange(this, old, v);
}

void TSelectPanel::SetUserChoice(bool v)
{
    if (style_ != sp_UserChoice) return;
    chkUserChoice->SetChecked(v);
    CheckBoxClicked();
}

void TSelectPanel::CheckBoxClicked()
{
    if (style_ != sp_UserChoice) return;
    userChoice_ = chkUserChoice->Checked();
    ArrangeParts();
    ShowParts();
    TControlEvents::Fire(OnTypeClick, this);
}

void TSelectPanel::ShowParts()
{
    chkUserChoice->setVisible(style_ == sp_UserChoice);
    const bool range = IsRangeMode();
    pnlRange->setVisible(range);
    pnlList->setVisible(!range);
}

void TSelectPanel::SetBeginWords(const QStringList& v)
{
    beginWords_ = v;
    ArrangeParts();
}

void TSelectPanel::SetFinalWords(const QStringList& v)
{
    finalWords_ = v;
    ArrangeParts();
}

void TSelectPanel::SetHintWord(const QString& v)
{
    hintWord_ = v;
    chkUserChoice->SetCaption(v);
    chkUserChoice->resize(QFontMetrics(chkUserChoice->font()).horizontalAdvance(StripAccelerator(v)) + 24,
                          chkUserChoice->height());
    ArrangeParts();
}

void TSelectPanel::SetChildHints(const QStringList& v)
{
    childHints_ = v;
    ApplyHints();
}

void TSelectPanel::ApplyHints()
{
    QWidget* controls[] = {chkUserChoice, edBegin,    btnBegin,     edFinal,    btnFinal,
                           lstValues,     btnListPick, btnDeleteOne, btnClearAll};
    for (int i = 0; i < childHints_.size() && i < 9; ++i) controls[i]->setToolTip(childHints_[i]);
}

void TSelectPanel::SetEditMask(const QString& v)
{
    edBegin->SetChangeSuppressed(true);
    const QString begin = edBegin->Text();
    edBegin->SetText(QString());
    edBegin->SetEditMask(v);
    edFinal->SetEditMask(v);
    blankText_ = edBegin->BlankText();
    edBegin->SetText(begin);
    edBegin->SetChangeSuppressed(false);
}

void TSelectPanel::SetCanOpenWin(bool v)
{
    canOpenWin_ = v;
    ArrangeParts();
}

void TSelectPanel::SetGlyphIndex(int v)
{
    int max = 0;
    try {
        max = GlyphMaxId();
    } catch (const Exception&) {
        max = -1;
    }
    if (v < 0 || v > max) v = 0;
    glyphIndex_ = v;
    for (TF2Button* b : {btnBegin, btnFinal, btnListPick}) b->SetGlyphIndex(v);
}

void TSelectPanel::SetUseVertical(bool v)
{
    if (style_ != sp_Range || v == useVertical_) return;
    useVertical_ = v;
    if (!loading_) {
        const QSize now = size();
        resize(otherWidth_, otherHeight_);
        otherWidth_ = now.width();
        otherHeight_ = now.height();
    }
    ArrangeParts();
}

void TSelectPanel::SetCheckDuplicate(TCheckDuplicate v)
{
    lstValues->CheckDuplicate = v;
    if (v != cd_None) {
        SetSortListBox(true);
        if (!IsRangeMode()) lstValues->RemoveDuplicates();
    }
}

QStringList TSelectPanel::ColumnCaptions() const
{
    QStringList out;
    for (int i = 0; i < lstValues->ColumnCount(); ++i) out << lstValues->Column(i)->Caption();
    return out;
}

void TSelectPanel::SetColumnCaptions(const QStringList& v)
{
    lstValues->ClearColumns();
    for (const QString& caption : v) lstValues->AddColumn(caption)->SetAutoSize(true);
    lstValues->SizeColumns();
}

int TSelectPanel::CaptionHeight() const { return title().isEmpty() ? 0 : QFontMetrics(font()).height(); }

void TSelectPanel::ArrangeParts()
{
    const int captionHeight = CaptionHeight();
    const bool horizontal = style_ == sp_Range && !useVertical_;
    int top = captionHeight + 3;
    if (style_ == sp_UserChoice) {
        chkUserChoice->move(16, captionHeight + 1);
        top = chkUserChoice->geometry().bottom() + 2;
    }
    const QRect area(2, top, qMax(0, width() - 4), qMax(0, height() - top - 2));
    pnlRange->setGeometry(area);
    pnlList->setGeometry(area);

    // Range part.
    lblBegin->SetCaption(Word(beginWords_, horizontal ? 0 : 1));
    lblFinal->SetCaption(Word(finalWords_, horizontal ? 0 : 1));
    btnBegin->setVisible(canOpenWin_);
    btnFinal->setVisible(canOpenWin_);
    const int w = area.width(), h = area.height();
    const int button = canOpenWin_ ? kEditHeight : 0;
    const int gap = canOpenWin_ ? 2 : 0;
    if (horizontal) {
        const int editWidth = qMax(10, (w - lblBegin->width() - lblFinal->width() - 2 * button - 8 - 4 * gap) / 2);
        const int editTop = qMax(0, (h - kEditHeight) / 2);
        int x = 2;
        lblBegin->move(x, editTop + (kEditHeight - lblBegin->height()) / 2);
        x += lblBegin->width() + 2;
        edBegin->setGeometry(x, editTop, editWidth, kEditHeight);
        x += editWidth + gap;
        btnBegin->setGeometry(x, editTop, button, kEditHeight);
        x += button + 2;
        lblFinal->move(x, editTop + (kEditHeight - lblFinal->height()) / 2);
        x += lblFinal->width() + 2;
        edFinal->setGeometry(x, editTop, editWidth, kEditHeight);
        x += editWidth + gap;
        btnFinal->setGeometry(x, editTop, button, kEditHeight);
    } else {
        const int labelWidth = qMax(lblBegin->width(), lblFinal->width());
        const int editWidth = qMax(10, w - labelWidth - button - 4 - 2 - gap);
        const int space = qMax(0, (h - 2 * kEditHeight) / 3);
        const int x = 2 + labelWidth + 2;
        const int tops[2] = {space, 2 * space + kEditHeight};
        TLabel* labels[2] = {lblBegin, lblFinal};
        TRabMaskEdit* edits[2] = {edBegin, edFinal};
        TF2Button* buttons[2] = {btnBegin, btnFinal};
        for (int i = 0; i < 2; ++i) {
            labels[i]->move(2, tops[i] + (kEditHeight - labels[i]->height()) / 2);
            edits[i]->setGeometry(x, tops[i], editWidth, kEditHeight);
            buttons[i]->setGeometry(x + editWidth + gap, tops[i], button, kEditHeight);
        }
    }

    // List part: the list and a column of three buttons at its right.
    const int column = kButtonSize + 2;
    lstValues->setGeometry(0, 0, qMax(10, w - column), h);
    btnListPick->setVisible(canOpenWin_);
    int y = 0;
    for (QWidget* b : {static_cast<QWidget*>(btnListPick), static_cast<QWidget*>(btnDeleteOne),
                       static_cast<QWidget*>(btnClearAll)}) {
        if (b->isHidden() && b == btnListPick) continue;
        b->setGeometry(w - kButtonSize, y, kButtonSize, kButtonSize);
        y += kButtonSize + 2;
    }
}

void TSelectPanel::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    ArrangeParts();
}

void TSelectPanel::changeEvent(QEvent* e)
{
    QGroupBox::changeEvent(e);
    if (e->type() == QEvent::FontChange) ArrangeParts();
}

void TSelectPanel::SetFocus()
{
    if (IsRangeMode()) edBegin->setFocus(Qt::OtherFocusReason);
    else lstValues->setFocus(Qt::OtherFocusReason);
}

void TSelectPanel::PickClicked(QWidget* control)
{
    control->setFocus(Qt::OtherFocusReason);
    SendF2Message(control);
    if (OnOpenWinClick) OnOpenWinClick(this, control);
}

void TSelectPanel::ForwardEvents(QWidget* inner, bool asSender)
{
    auto* events = dynamic_cast<TControlEvents*>(inner);
    if (!events) return;
    QObject* sender = asSender ? static_cast<QObject*>(inner) : static_cast<QObject*>(this);
    events->OnKeyDown = [this](QObject*, int& key, Qt::KeyboardModifiers shift) {
        if (OnKeyDown) OnKeyDown(this, key, shift);
    };
    events->OnKeyUp = [this](QObject*, int& key, Qt::KeyboardModifiers shift) {
        if (OnKeyUp) OnKeyUp(this, key, shift);
    };
    events->OnKeyPress = [this](QObject*, QChar& key) {
        if (OnKeyPress) OnKeyPress(this, key);
    };
    if (inner == chkUserChoice) return;  // its click is the panel's own
    events->OnClick = {this, [this, sender](QObject*) { TControlEvents::Fire(OnClick, sender); }};
    events->OnDblClick = {this, [this, sender](QObject*) { TControlEvents::Fire(OnDblClick, sender); }};
    events->OnMouseDown = [this, sender, inner](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, QPoint p) {
        if (OnMouseDown) OnMouseDown(sender, b, s, inner->mapTo(this, p));
    };
    events->OnMouseUp = [this, sender, inner](QObject*, Qt::MouseButton b, Qt::KeyboardModifiers s, QPoint p) {
        if (OnMouseUp) OnMouseUp(sender, b, s, inner->mapTo(this, p));
    };
}

void TSelectPanel::FocusChanged(QWidget* old, QWidget* now)
{
    const bool wasInside = old && (old == this || isAncestorOf(old));
    const bool isInside = now && (now == this || isAncestorOf(now));
    if (wasInside && now && !isInside) DoExit();
    else if (!wasInside && isInside) TControlEvents::Fire(OnEnter, this);
}

}  // namespace kelm24
