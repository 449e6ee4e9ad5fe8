#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace trekora {

namespace sim {
class SimulatedReceiver;
}

// The device options of the command line, taken out before the rest is read:
//   --simulate[=FILE.gpx]  a simulated receiver in this process, on a
//                          pseudo-terminal, becomes the current port's device
//                          (the demo data, or the file's waypoints, routes
//                          and tracks);
//   --device PATH          PATH becomes the current port's device.
struct DeviceOptions {
    QStringList remaining; // the other arguments, in order
    bool simulate = false;
    QString simulateFile;
    QString device;
    QString error; // a malformed option

    static DeviceOptions take(const QStringList& arguments);
    // True when the remaining command line asks for a quiet task.
    bool quietTask() const;
};

// The device options in force: the port the settings name (a serial port;
// USB becomes Port 1) maps to the given device or to the simulated receiver,
// which runs while this object lives. The user's own mapping of that port
// comes back when it is destroyed.
class DeviceSession {
public:
    DeviceSession() = default;
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;
    ~DeviceSession();

    // False with `error` set when the simulated receiver could not start.
    bool apply(const DeviceOptions& options, QString* error);
    sim::SimulatedReceiver* simulator() const { return m_simulator.get(); }

private:
    std::unique_ptr<sim::SimulatedReceiver> m_simulator;
    int m_port = 0;
    bool m_hadDevice = false;
    QString m_previousDevice;
};

} // namespace trekora
