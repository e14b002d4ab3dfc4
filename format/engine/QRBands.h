// Report bands: horizontal strips of the report, widgets on the report so
// the designer edits them like any control.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>

namespace kelm24 {

class TQRBand;
class TQuickRep;
class TQREvaluator;
class TQRPrintable;
struct TQRPrintContext;

enum TQRBandType {
    rbTitle, rbPageHeader, rbDetail, rbPageFooter, rbSummary, rbGroupHeader, rbGroupFooter, rbSubDetail,
    rbColumnHeader, rbOverlay, rbChild
};

// BeforePrint(Sender, var PrintBand) and AfterPrint(Sender, BandPrinted).
using TQRBandBeforePrintEvent = std::function<void(TQRBand* sender, bool& printBand)>;
using TQRBandAfterPrintEvent = std::function<void(TQRBand* sender, bool bandPrinted)>;

class TQRBand : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int BandType READ BandType WRITE SetBandType)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
    Q_PROPERTY(bool ForceNewPage READ ForceNewPage WRITE SetForceNewPage)
    Q_PROPERTY(int Frame READ Frame WRITE SetFrame)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)

public:
    explicit TQRBand(QWidget* parent = nullptr, int bandType = rbDetail);

    int BandType() const { return bandType_; }
    void SetBandType(int type) { bandType_ = type; }
    // Height in design pixels. While a report generates, the working height,
    // which handlers may read and change (and may fall below zero: the
    // page-attached band); the designed height comes back afterwards.
    int Height() const { return generating_ ? workHeight_ : height(); }
    void SetHeight(int h);
    int DesignHeight() const { return height(); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    QString Hint() const { return hint_; }
    void SetHint(const QString& hint) { hint_ = hint; setToolTip(hint); }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    bool ForceNewPage() const { return forceNewPage_; }
    void SetForceNewPage(bool v) { forceNewPage_ = v; }
    int Frame() const { return frame_; }
    void SetFrame(int sides) { frame_ = sides; }
    QColor Color() const { return color_; }
    void SetColor(const QColor& c) { color_ = c; }

    // Height that stretching controls added the last time the band printed
    // (design pixels; 0 when nothing stretched).
    double Expanded() const { return expanded_; }

    TQuickRep* ParentReport() const;
    // The child band that follows this one, if any.
    TQRBand* ChildBand() const;

    TQRBandBeforePrintEvent BeforePrint;
    TQRBandAfterPrintEvent AfterPrint;

    // Generation support (the report drives these).
    void BeginGeneration();
    void EndGeneration();
    // Height the band takes when printed now (controls stretched).
    double MeasureHeight(TQRPrintContext& ctx);
    // Draws the controls at (x, y) with the measured height.
    void Draw(TQRPrintContext& ctx, double x, double y, double width, double height);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int bandType_;
    int workHeight_ = 0;
    bool generating_ = false;
    bool enabled_ = true;
    QString hint_;
    int tag_ = 0;
    bool forceNewPage_ = false;
    int frame_ = 0;
    QColor color_ = Qt::transparent;
    double expanded_ = 0;
    // Cached while generating: the printable controls, their measured
    // heights, and the child band.
    std::vector<TQRPrintable*> controls_;
    std::vector<std::pair<TQRPrintable*, double>> measured_;
    QPointer<TQRBand> child_;
};

// A group header: prints when Expression changes value; FooterBand prints
// when the group ends.
class TQRGroup : public TQRBand {
    Q_OBJECT
    Q_PROPERTY(QString Expression READ Expression WRITE SetExpression)
    Q_PROPERTY(QWidget* FooterBand READ FooterBandWidget WRITE SetFooterBandWidget)
    Q_PROPERTY(bool ReprintOnNewPage READ ReprintOnNewPage WRITE SetReprintOnNewPage)

public:
    explicit TQRGroup(QWidget* parent = nullptr);
    ~TQRGroup() override;
    QString Expression() const { return expression_; }
    void SetExpression(const QString& e) { expression_ = e; }
    TQRBand* FooterBand() const;
    void SetFooterBand(TQRBand* band);
    QWidget* FooterBandWidget() const { return footer_; }
    void SetFooterBandWidget(QWidget* band);
    bool ReprintOnNewPage() const { return reprint_; }
    void SetReprintOnNewPage(bool v) { reprint_ = v; }

    // The group's evaluator while the report generates.
    TQREvaluator& Evaluator();

private:
    QString expression_;
    QPointer<QWidget> footer_;
    bool reprint_ = false;
    std::unique_ptr<TQREvaluator> evaluator_;
};

// A band that prints right after its parent band.
class TQRChildBand : public TQRBand {
    Q_OBJECT
    Q_PROPERTY(QWidget* ParentBand READ ParentBandWidget WRITE SetParentBandWidget)

public:
    explicit TQRChildBand(QWidget* parent = nullptr);
    TQRBand* ParentBand() const;
    void SetParentBand(TQRBand* band) { parentBand_ = band; }
    QWidget* ParentBandWidget() const { return parentBand_; }
    void SetParentBandWidget(QWidget* band) { parentBand_ = band; }

private:
    QPointer<QWidget> parentBand_;
};

}  // namespace kelm24
