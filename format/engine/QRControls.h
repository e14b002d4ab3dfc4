// Report controls: widgets placed on bands. Each prints itself into the page
// being generated; published properties carry the system's names.
#pragma once

#include "format/engine/QRTextLayouts.h"
#include "kelm24/Variant.h"

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class QPainter;

namespace kelm24 {

class TClientDataSet;
class TField;
class TQRBand;
class TQuickRep;
class TQREvaluator;

// OnPrint(Sender, var Value): rewrites the text about to be printed.
using TQRPrintEvent = std::function<void(QObject* sender, QString& value)>;

enum TQRAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
// Frame sides, as bits.
enum TQRFrameSide { qrfTop = 1, qrfBottom = 2, qrfLeft = 4, qrfRight = 8 };

// What a control needs while its band prints.
struct TQRPrintContext {
    QPainter* painter = nullptr;
    TQuickRep* report = nullptr;
    double fontScale = 1;  // design pixels per point on the recording device, relative to 96 dpi
    // What the page's painter has now.
    QFont font;
    QColor pen;
    bool fontSet = false, penSet = false;
};

// Base of every printable control.
class TQRPrintable : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(int Left READ x WRITE SetLeft)
    Q_PROPERTY(int Top READ y WRITE SetTop)
    Q_PROPERTY(int Width READ width WRITE SetWidth)
    Q_PROPERTY(int Height READ height WRITE SetHeight)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(bool AutoStretch READ AutoStretch WRITE SetAutoStretch)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
    Q_PROPERTY(int Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(int FrameWidth READ FrameWidth WRITE SetFrameWidth)

public:
    explicit TQRPrintable(QWidget* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    void SetLeft(int v) { move(v, y()); }
    void SetTop(int v) { move(x(), v); }
    void SetWidth(int v) { resize(v, height()); }
    void SetHeight(int v) { resize(width(), v); }
    int Alignment() const { return alignment_; }
    void SetAlignment(int a) { alignment_ = a; update(); }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) { autoSize_ = v; }
    bool AutoStretch() const { return autoStretch_; }
    void SetAutoStretch(bool v) { autoStretch_ = v; }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    QColor Color() const { return color_; }
    void SetColor(const QColor& c) { color_ = c; }
    int Frame() const { return frame_; }
    void SetFrame(int sides) { frame_ = sides; }
    int FrameWidth() const { return frameWidth_; }
    void SetFrameWidth(int w) { frameWidth_ = w; }

    TQRBand* ParentBand() const;
    // Printed at all: enabled and not hidden on purpose.
    bool Printable() const;

    // One print of the control, in three steps the band drives: resolve the
    // value (events run here), measure the height it needs, draw.
    virtual void BeginPrint(TQRPrintContext& ctx);
    virtual double NeededHeight(TQRPrintContext& ctx);
    virtual void Draw(TQRPrintContext& ctx, const QRectF& rect) = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // The font as recorded (points adjusted to the recording device); kept
    // between prints.
    const QFont& PrintFont(const TQRPrintContext& ctx);
    // Sets font and pen on the page only when they change (each change is
    // recorded into the page).
    static void UseFont(TQRPrintContext& ctx, const QFont& font);
    static void UsePen(TQRPrintContext& ctx, const QColor& color);
    void DrawFrame(QPainter& painter, const QRectF& rect) const;
    // Text shown at design time.
    virtual QString DesignText() const { return objectName(); }
    // The report being generated (set by BeginPrint).
    TQuickRep* PrintingReport() const { return report_; }

private:
    TQuickRep* report_ = nullptr;
    QFont printFont_;
    double printFontScale_ = -1;
    bool enabled_ = true;
    QString hint_;
    int tag_ = 0;
    int alignment_ = taLeftJustify;
    bool autoSize_ = true;
    bool autoStretch_ = false;
    bool wordWrap_ = true;
    bool transparent_ = true;
    QColor color_ = Qt::white;
    int frame_ = 0;
    int frameWidth_ = 1;
};

// A control that prints one text: the value, its display mask, then OnPrint.
class TQRCustomLabel : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(QString Mask READ Mask WRITE SetMask)

public:
    explicit TQRCustomLabel(QWidget* parent = nullptr);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    QString Mask() const { return mask_; }
    void SetMask(const QString& mask) { mask_ = mask; }

    TQRPrintEvent OnPrint;

    // The text as it would print now, OnPrint included.
    QString PrintText();
    // The text last printed.
    QString PrintedText() const { return printed_; }

    void BeginPrint(TQRPrintContext& ctx) override;
    double NeededHeight(TQRPrintContext& ctx) override;
    void Draw(TQRPrintContext& ctx, const QRectF& rect) override;

protected:
    // The value before OnPrint (the caption here; data controls read fields).
    virtual QString ValueText() { return caption_; }
    QString DesignText() const override { return caption_; }

private:
    QString caption_, mask_, printed_;
    TQRTextLayouts layouts_;  // the texts this control printed lately, laid out
};

class TQRLabel : public TQRCustomLabel {
    Q_OBJECT
public:
    explicit TQRLabel(QWidget* parent = nullptr) : TQRCustomLabel(parent) {}
};

// A column of a data set; numbers print through Mask.
class TQRDBText : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QObject* DataSet READ DataSetObject WRITE SetDataSetObject)
    Q_PROPERTY(QString DataField READ DataField WRITE SetDataField)

public:
    explicit TQRDBText(QWidget* parent = nullptr);
    TClientDataSet* DataSet() const;
    void SetDataSet(TClientDataSet* dataSet);
    QObject* DataSetObject() const;
    void SetDataSetObject(QObject* dataSet);
    QString DataField() const { return dataField_; }
    void SetDataField(const QString& field) { dataField_ = field; }
    // The field at the current row; nullptr when the set or the field is missing.
    TField* Field() const;

protected:
    QString ValueText() override;
    QString DesignText() const override { return dataField_.isEmpty() ? objectName() : dataField_; }

private:
    QPointer<QObject> dataSet_;
    QString dataField_;
    mutable int fieldIndex_ = -1;  // where DataField was found last
};

// A code column shown by its meaning from a code list of "code=meaning"
// lines ("Y=已审核"); a code not in the list prints as it is.
class TQRDBIDText : public TQRDBText {
    Q_OBJECT
    Q_PROPERTY(QStringList Items READ Items WRITE SetItems)

public:
    explicit TQRDBIDText(QWidget* parent = nullptr) : TQRDBText(parent) {}
    QStringList Items() const { return items_; }
    void SetItems(const QStringList& items) { items_ = items; }
    static QString Meaning(const QStringList& items, const QString& code);

protected:
    QString ValueText() override;

private:
    QStringList items_;
};

// An expression over the report's data sets and functions.
class TQRExpr : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString Expression READ Expression WRITE SetExpression)

public:
    explicit TQRExpr(QWidget* parent = nullptr);
    ~TQRExpr() override;
    QString Expression() const { return expression_; }
    void SetExpression(const QString& expression);
    void BeginPrint(TQRPrintContext& ctx) override;

protected:
    QString ValueText() override;
    QString DesignText() const override { return expression_; }

private:
    QString expression_;
    std::unique_ptr<TQREvaluator> evaluator_;
    TQuickRep* preparedFor_ = nullptr;
};

// Lines of text, wrapped and stretched.
class TQRMemo : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QStringList Lines READ Lines WRITE SetLines)

public:
    explicit TQRMemo(QWidget* parent = nullptr);
    QStringList Lines() const { return lines_; }
    void SetLines(const QStringList& lines) { lines_ = lines; }

protected:
    QString ValueText() override { return lines_.join(QLatin1Char('\n')); }

private:
    QStringList lines_;
};

// Page number, date, time and the like.
class TQRSysData : public TQRCustomLabel {
    Q_OBJECT
    Q_PROPERTY(int Data READ Data WRITE SetData)
    Q_PROPERTY(QString Text READ Text WRITE SetText)

public:
    enum TQRSysDataType { qrsTime, qrsDate, qrsDateTime, qrsPageNumber, qrsReportTitle, qrsDetailCount, qrsDetailNo };
    explicit TQRSysData(QWidget* parent = nullptr) : TQRCustomLabel(parent) {}
    int Data() const { return data_; }
    void SetData(int d) { data_ = d; }
    QString Text() const { return text_; }
    void SetText(const QString& t) { text_ = t; }

protected:
    QString ValueText() override;

private:
    int data_ = qrsPageNumber;
    QString text_;
};

class TQRImage : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(QString Picture READ PictureFile WRITE SetPictureFile)
    Q_PROPERTY(bool Stretch READ Stretch WRITE SetStretch)
    Q_PROPERTY(bool Center READ Center WRITE SetCenter)

public:
    explicit TQRImage(QWidget* parent = nullptr);
    QString PictureFile() const { return file_; }
    // Loads the file; with AutoSize the control takes the picture's size.
    void SetPictureFile(const QString& file);
    void SetPicture(const QImage& image);
    const QImage& Picture() const { return image_; }
    bool Stretch() const { return stretch_; }
    void SetStretch(bool v) { stretch_ = v; }
    bool Center() const { return center_; }
    void SetCenter(bool v) { center_ = v; }
    void Draw(TQRPrintContext& ctx, const QRectF& rect) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString file_;
    QImage image_;
    bool stretch_ = false, center_ = false;
};

class TQRShape : public TQRPrintable {
    Q_OBJECT
    Q_PROPERTY(int Shape READ Shape WRITE SetShape)
    Q_PROPERTY(int PenWidth READ PenWidth WRITE SetPenWidth)
    Q_PROPERTY(QColor PenColor READ PenColor WRITE SetPenColor)
    Q_PROPERTY(QColor BrushColor READ BrushColor WRITE SetBrushColor)

public:
    enum TQRShapeType { qrsRectangle, qrsCircle, qrsHorLine, qrsVertLine, qrsTopAndBottom, qrsRightAndLeft };
    explicit TQRShape(QWidget* parent = nullptr);
    int Shape() const { return shape_; }
    void SetShape(int s) { shape_ = s; update(); }
    int PenWidth() const { return penWidth_; }
    void SetPenWidth(int w) { penWidth_ = w; }
    QColor PenColor() const { return penColor_; }
    void SetPenColor(const QColor& c) { penColor_ = c; }
    QColor BrushColor() const { return brush_; }
    void SetBrushColor(const QColor& c) { brush_ = c; }
    void Draw(TQRPrintContext& ctx, const QRectF& rect) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int shape_ = qrsRectangle;
    int penWidth_ = 1;
    QColor penColor_ = Qt::black;
    QColor brush_ = Qt::transparent;
};

}  // namespace kelm24
