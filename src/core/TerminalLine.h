#pragma once

#include <QString>

namespace trekora {

// Messages written for the headless modes: one line each on standard error.
// Message texts keep the carriage returns of their boxes; on a terminal a
// bare carriage return would overwrite the start of the line, so every line
// break becomes a blank.
QString terminalLine(const QString& text);
void printTerminalLine(const QString& text);

} // namespace trekora
