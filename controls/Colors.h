// Colours as the system writes them: a TColor number, 0x00BBGGRR for plain
// colours (11534335 is pale yellow, RGB(255, 255, 175)) and 0xFF0000nn for the
// desktop's system colours, which follow the application palette here.
#pragma once

#include <QColor>
#include <cstdint>

class QWidget;

namespace kelm24 {

using TColor = int32_t;

constexpr TColor RGBColor(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRequiredField = 11534335;  // RGB(255, 255, 175)
constexpr TColor clScrollBar = TColor(0xFF000000);
constexpr TColor clActiveCaption = TColor(0xFF000002);
constexpr TColor clInactiveCaption = TColor(0xFF000003);
constexpr TColor clWindow = TColor(0xFF000005);
constexpr TColor clWindowText = TColor(0xFF000008);
constexpr TColor clCaptionText = TColor(0xFF000009);
constexpr TColor clHighlight = TColor(0xFF00000D);
constexpr TColor clHighlightText = TColor(0xFF00000E);
constexpr TColor clBtnFace = TColor(0xFF00000F);
constexpr TColor clBtnShadow = TColor(0xFF000010);
constexpr TColor clGrayText = TColor(0xFF000011);
constexpr TColor clBtnText = TColor(0xFF000012);
constexpr TColor clInactiveCaptionText = TColor(0xFF000013);
constexpr TColor clBtnHighlight = TColor(0xFF000014);

// The screen colour of a TColor number.
QColor ColorFromTColor(TColor color);
// The TColor number of a screen colour (always a plain colour).
TColor TColorFromColor(const QColor& color);

// The published Color of a control: the number last set, else the class's
// default (window colour for edits and lists, button face for the rest).
TColor ControlColor(const QWidget* control);
void SetControlColor(QWidget* control, TColor color);

}  // namespace kelm24
