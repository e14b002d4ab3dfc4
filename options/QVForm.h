// TQVForm: the maker's base form. A top-level window that keeps a code
// converter and a language controller, converts its texts once, shows
// message boxes through the converter, looks texts up in language packages,
// and behaves as the system's forms do: OnCreate after the whole class has
// been built, a modal loop ended by ModalResult, a close action, key preview.
#pragma once

#include "format/engine/DataSetTexts.h"
#include "i18n/CodeConverter.h"
#include "i18n/QvLangController.h"
#include "platform/dialogs/Dialogs.h"

#include <QPointer>
#include <QWidget>

class QEventLoop;

namespace kelm24 {

class TQVForm : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool KeyPreview READ KeyPreview WRITE SetKeyPreview)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)

public:
    enum TCloseAction { caNone, caHide, caFree, caMinimize };

    // Forms are made through Create<T>: the constructors build the
    // components, then FormCreate runs on the finished object.
    template <class T, class... Args>
    static T* Create(Args&&... args)
    {
        T* form = new T(std::forward<Args>(args)...);
        form->AfterConstruction();
        return form;
    }
    ~TQVForm() override;

    // The converter and controller of this form; the converter is built from
    // the installation's settings unless one is handed in before FormCreate.
    TCodeConverter* Converter() const { return converter_; }
    void SetConverter(TCodeConverter* converter);
    TQvLangController* LangController() const { return langController_; }

    QString SystemCodePage() const;
    QString UICodePage() const;
    int UICharset() const;
    // Converts every caption and hint of the form once.
    void ConvertForm();
    bool FormConverted() const { return converted_; }
    void SetFormConverted(bool v) { converted_ = v; }
    // A message box through the converter; the modal result.
    int ShowMsg(const QString& Text, TMsgDlgType DlgType, TMsgDlgButtons Buttons);
    // The text of Key in the language package of ClassName; Default (converted
    // for display first when Convert) when the package has none. Answers
    // whether the package had it.
    bool GetLangText(const QString& ClassName, const QString& Key, QString& Text, bool Convert,
                     const QString& Default);
    QString LangText(const QString& ClassName, const QString& Key, const QString& Default);
    // The form's text-conversion handlers for data-set fields: texts to the
    // screen and typed texts back, through the converter the form has when
    // a text passes (a form may be handed another converter after it was made).
    TDisplayConversion DisplayConversion();

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& v) { setWindowTitle(v); }
    bool KeyPreview() const { return keyPreview_; }
    void SetKeyPreview(bool v) { keyPreview_ = v; }
    int ModalResult() const { return modalResult_; }
    // A non-zero result ends a running modal loop.
    void SetModalResult(int v);
    int Left() const { return x(); }
    void SetLeft(int v) { move(v, y()); }
    int Top() const { return y(); }
    void SetTop(int v) { move(x(), v); }
    int Width() const { return width(); }
    void SetWidth(int v) { resize(v, height()); }
    int Height() const { return height(); }
    void SetHeight(int v) { resize(width(), v); }

    // Shows the form modally and answers its modal result. The form is
    // closed (its close action applies) when the loop ends.
    virtual int ShowModal();
    bool InModalLoop() const { return loop_ != nullptr; }
    // Asks FormClose for the close action and carries it out; caFree frees
    // the form once the current event has been handled.
    void Close();
    // Frees the form; from inside its own event handlers the object goes
    // after the event.
    virtual void Release();

    // Applies the language package of each class of the form's class chain,
    // from the base of the chain down: WholeChain stops at the framework's
    // form class, Own at TQVForm.
    virtual void ApplyLangChain(QWidget* Form, bool WholeChain);
    virtual void ApplyLangChainOwn(QWidget* Form, bool WholeChain);

protected:
    explicit TQVForm(QWidget* Owner = nullptr);
    // Runs FormCreate; Create<T> calls it once the object is complete.
    void AfterConstruction();

    virtual void FormCreate();
    virtual void FormShow();
    virtual void FormClose(TCloseAction& Action);
    // Key preview: the form sees keys before the focused control. Setting
    // Key to 0 (or a null character) swallows it.
    virtual void FormKeyDown(QWidget* Sender, int& Key, Qt::KeyboardModifiers Shift);
    virtual void FormKeyPress(QWidget* Sender, QChar& Key);

    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Controls whose texts outgrew them (a language package, the code
    // converter) grow to their texts: check boxes and radio buttons to their
    // captions, list boxes to their longest item, within their parent; a
    // control that a label's grown caption covers moves right of it. Only
    // grows, so it may run again once more texts have changed.
    void FitTexts();
    // The English interface's face (Tahoma) on the form and every control it
    // has now (FormCreate; a form that makes its controls later calls it again).
    void ApplyInterfaceFont();
    // Whether language packages are applied at show (FormCreate turns it on).
    bool ApplyLanguageOnShow = false;

private:
    // The class names of this form from TQVForm down to the most derived.
    QStringList ClassChain(bool WholeChain) const;
    void ApplyPackages(QWidget* Form, bool WholeChain);

    TCodeConverter* converter_ = nullptr;
    TQvLangController* langController_ = nullptr;
    bool converted_ = false;
    bool keyPreview_ = false;
    int modalResult_ = 0;
    QEventLoop* loop_ = nullptr;
    bool closing_ = false;
    // The key press the form saw last (its address and time: presses built
    // one after the other may share an address) and where it arrived first.
    const QEvent* lastKey_ = nullptr;
    quint64 lastKeyTime_ = 0;
    QPointer<QWidget> lastKeyReceiver_;
};

}  // namespace kelm24
