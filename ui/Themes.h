#pragma once
// The four colour themes. This table is the only place where their colours
// stand. Colours are 0x00BBGGRR values.
#include <QString>
#include <cstdint>
#include <optional>

using Bgr = std::uint32_t;

struct Theme {
    Bgr strip;     // title strips, section headers, label buttons, calendar title
    Bgr light;     // window, text box and check box backgrounds, calendar
    Bgr stripText; // text of title strips and section headers
    Bgr hover;     // a label button under the pointer
};

constexpr Bgr kWindowText = 0x80000008; // the system's window-text colour

// The theme number held in C1, read as a decimal number: "2" and "2.0" are theme 2;
// "2.5", "0", "5", "" and text are no theme.
std::optional<int> themeNumber(const QString& c1);

// The theme of number 1 to 4, or nullptr.
const Theme* themeByNumber(int number);
const Theme* themeFor(const QString& c1);

// The colours every themed window is laid out in.
const Theme& initialTheme();
