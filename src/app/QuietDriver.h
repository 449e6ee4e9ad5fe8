#pragma once

#include <QString>

namespace trekora {

class frmMain;

// Quiet mode: one task from the command line, run without questions, then
// the program exits. "quiet,download,<type>,<shape>,<file>[,<code>]" and
// "quiet,upload,<type>,<ignored>,<file>[,<code>]".
class QuietDriver {
public:
    explicit QuietDriver(frmMain& window) : m_window(window) {}

    // Runs the task of the command line; true when the program should now exit.
    bool Quiet_Driver(const QString& commandLine);
    bool Quiet_Get_DataFromGPS(const QString& recordType, const QString& shapeType,
                               const QString& fileName, const QString& projectionCode);
    bool Quiet_Get_DataToGPS(const QString& recordType, const QString& fileName,
                             const QString& projectionCode);
    // The result of the last task.
    bool lastResult() const { return m_result; }

    // How long a transfer may take before quiet mode gives up on it.
    static constexpr int kTransferWaitMs = 10 * 60 * 1000;

private:
    bool applyProjectionCode(const QString& code);
    bool waitForTransfer();

    frmMain& m_window;
    bool m_result = false;
};

} // namespace trekora
