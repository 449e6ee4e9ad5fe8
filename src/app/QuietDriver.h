#pragma once

#include "app/QuietCommand.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace trekora {

class frmMain;

// Quiet mode: one task from the command line, run without questions, then
// the program exits with a status that says how the task went (QuietExit).
// Every failure is reported as one line on standard error.
class QuietDriver {
public:
    explicit QuietDriver(frmMain& window);

    // Runs the task of the command line; true when the program should now exit.
    bool Quiet_Driver(const QString& commandLine);
    bool Quiet_Get_DataFromGPS(const QString& recordType, const QString& shapeType,
                               const QString& fileName, const QString& projectionCode);
    bool Quiet_Get_DataToGPS(const QString& recordType, const QString& fileName,
                             const QString& projectionCode);
    // The result of the last task (the Landview response).
    bool lastResult() const { return m_result; }
    QuietExit exitStatus() const { return m_exit; }
    // True once the task of the command line has run (or was refused).
    bool finished() const { return m_finished; }

    // A problem the task met, for the calling script: one line on standard
    // error (and kept for tests).
    void report(const QString& text);
    const QStringList& reports() const { return m_reports; }
    // Where report lines go; standard error by default.
    void setReportSink(std::function<void(const QString&)> sink) { m_sink = std::move(sink); }

    // How long a transfer may take in all, and how long the receiver may stay
    // silent inside one before quiet mode gives up on it.
    static constexpr int kTransferWaitMs = 60 * 60 * 1000;
    static constexpr int kSilenceMs = 12000;

private:
    bool applyProjectionCode(const QString& code);
    bool waitForTransfer();
    bool transferFailed() const;
    bool transferFailedPartly() const;
    bool outputUsable(const QString& fileName);
    bool writeOutput(const QString& shapeType, bool projected, const QString& fileName);
    bool runTask(const QString& commandLine);
    bool fail(QuietExit status, const QString& reason, const QString& statusMessage);

    frmMain& m_window;
    bool m_result = false;
    QuietExit m_exit = QuietExit::Done;
    bool m_finished = false;
    QStringList m_reports;
    std::function<void(const QString&)> m_sink;
};

} // namespace trekora
