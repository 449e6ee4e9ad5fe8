#pragma once

#include <QStringList>

namespace trekora {

// "trekora convert INPUT OUTPUT [--proj CODE] [--shape point|line|polygon]
// [--append]": loads a file with the program's readers and writes it with its
// writers, without a window, a question or a display. Returns the exit status
// (0 when the output was written); messages go to standard error, the
// "wrote N records to PATH" line to standard output.
int runConvertCommand(const QStringList& arguments);

} // namespace trekora
