#pragma once

#include <QStringList>

namespace trekora {

// "trekora convert INPUT OUTPUT [--from CODE] [--proj CODE] [--shape
// point|line|polygon] [--append]": reads a file with the program's readers
// and writes it with its writers, a table's worth of rows at a time, without
// a window, a question or a display. The input's coordinates are in the
// system --from names, else the one its .prj names, else WGS 84
// longitude/latitude; --proj names the output's. Returns the exit status: 0
// written; 1 failed, nothing written; 2 usage error; 3 written, but some rows
// were refused or could not be converted (named on standard error). Messages
// go to standard error, the "wrote N records to PATH" line to standard
// output.
int runConvertCommand(const QStringList& arguments);

} // namespace trekora
