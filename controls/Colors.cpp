#include "controls/Colors.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPalette>
#include <QWidget>

namespace kelm24 {

namespace {

const char* const kColorProperty = "_kelm24_Color";

QColor SystemColor(int index)
{
    const QPalette pal = QApplication::palette();
    switch (index) {
    case 0x02: return QColor(0, 84, 227);     // active caption
    case 0x03: return QColor(122, 150, 223);  // inactive caption
    case 0x05: return pal.color(QPalette::Base);
    case 0x08: return pal.color(QPalette::Text);
    case 0x09: return Qt::white;  // caption text
    case 0x0D: return pal.color(QPalette::Highlight);
    case 0x0E: return pal.color(QPalette::HighlightedText);
    case 0x0F: return pal.color(QPalette::Button);
    case 0x10: return pal.color(QPalette::Dark);
    case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
    case 0x12: return pal.color(QPalette::ButtonText);
    case 0x13: return QColor(216, 228, 248);  // inactive caption text
    case 0x14: return pal.color(QPalette::Light);
    default: return pal.color(QPalette::Window);
    }
}

bool UsesBaseColour(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractScrollArea*>(w) ||
           qobject_cast<const QComboBox*>(w);
}

}  // namespace

QColor ColorFromTColor(TColor color)
{
    const uint32_t v = uint32_t(color);
    if ((v & 0xFF000000u) == 0xFF000000u) return SystemColor(int(v & 0xFF));
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

TColor TColorFromColor(const QColor& color) { return RGBColor(color.red(), color.green(), color.blue()); }

TColor ControlColor(const QWidget* control)
{
    const QVariant v = control->property(kColorProperty);
    if (v.isValid()) return v.toInt();
    return UsesBaseColour(control) ? clWindow : clBtnFace;
}

void SetControlColor(QWidget* control, TColor color)
{
    control->setProperty(kColorProperty, color);
    QPalette pal = control->palette();
    const QColor c = ColorFromTColor(color);
    if (UsesBaseColour(control)) {
        pal.setColor(QPalette::Base, c);
    } else {
        pal.setColor(QPalette::Window, c);
        pal.setColor(QPalette::Button, c);
        control->setAutoFillBackground(true);
    }
    control->setPalette(pal);
}

}  // namespace kelm24
