#pragma once

#include <QString>
#include <QStringList>

namespace trekora {

// `trekora --help` and `trekora --version`: answered on standard output
// before any window, display or receiver is touched.
namespace CommandLineHelp {

enum class Request { None, Help, Version };

// What the program's own arguments (without the program name) ask for.
// "convert" keeps its arguments to itself.
Request requested(const QStringList& arguments);
QString usageText();
QString versionText();

} // namespace CommandLineHelp

} // namespace trekora
