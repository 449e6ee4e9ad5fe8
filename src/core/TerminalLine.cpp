#include "core/TerminalLine.h"

#include <cstdio>

namespace trekora {

QString terminalLine(const QString& text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.trimmed();
}

void printTerminalLine(const QString& text) {
    const QByteArray line = terminalLine(text).toLocal8Bit();
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

} // namespace trekora
