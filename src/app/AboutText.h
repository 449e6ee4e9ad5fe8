#pragma once

#include <QString>
#include <QStringList>

namespace trekora {

// The texts the About and splash windows share.
namespace AboutText {
QString title();   // "About Trekora"
QString version(); // "Version 0.1.0"
QStringList credits();
} // namespace AboutText

} // namespace trekora
