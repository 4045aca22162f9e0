#pragma once

#include <QString>

#include <array>

namespace cantorel {

// The tray menu: item i (1..12) shows message 173 + i and sends this command
// code to the dispatcher.
inline constexpr std::array<int, 12> kTrayCommandCodes = {5, 12, 10, 11, 15, 14, 23, 6, 35, 21, 20, 1};

// The tip field holds 63 characters (64 with the terminator).
inline constexpr int kTrayTipChars = 63;

// "Cantorel v4.0 - " + title, cut to fit the tip field.
QString TrayTipText(const QString &title);

}  // namespace cantorel
