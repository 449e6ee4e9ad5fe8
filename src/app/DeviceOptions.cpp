#include "app/DeviceOptions.h"

#include "core/Settings.h"
#include "sim/GpxReader.h"
#include "sim/SimulatedReceiver.h"

namespace trekora {

namespace {

const QString kSimulate = QStringLiteral("--simulate");
const QString kDevice = QStringLiteral("--device");

// The serial port whose device the options replace.
int currentSerialPort() {
    bool ok = false;
    const int port = Settings::get("port", "port", "1").toInt(&ok);
    if (!ok || port < 1 || port > 10) {
        Settings::set("port", "port", "1");
        return 1;
    }
    return port;
}

} // namespace

DeviceOptions DeviceOptions::take(const QStringList& arguments) {
    DeviceOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == kSimulate) {
            options.simulate = true;
        } else if (a.startsWith(kSimulate + QLatin1Char('='))) {
            options.simulate = true;
            options.simulateFile = a.mid(kSimulate.size() + 1);
        } else if (a == kDevice) {
            if (i + 1 >= arguments.size())
                options.error = QStringLiteral("--device needs a device path");
            else
                options.device = arguments[++i];
        } else if (a.startsWith(kDevice + QLatin1Char('='))) {
            options.device = a.mid(kDevice.size() + 1);
        } else {
            options.remaining << a;
        }
    }
    return options;
}

bool DeviceOptions::quietTask() const {
    return remaining.join(QLatin1Char(' ')).toLower().startsWith(QLatin1String("quiet"));
}

DeviceSession::~DeviceSession() {
    if (m_port == 0)
        return;
    if (m_simulator)
        m_simulator->stop();
    const QString key = QStringLiteral("device%1").arg(m_port);
    if (m_hadDevice)
        Settings::set("port", key, m_previousDevice);
    else
        Settings::remove("port", key);
}

bool DeviceSession::apply(const DeviceOptions& options, QString* error) {
    if (!options.simulate && options.device.isEmpty())
        return true;
    const int port = currentSerialPort();
    const QString key = QStringLiteral("device%1").arg(port);
    m_port = port;
    m_hadDevice = Settings::contains("port", key);
    m_previousDevice = Settings::get("port", key);
    if (!options.device.isEmpty())
        Settings::set("port", key, options.device);
    if (!options.simulate)
        return true;
    sim::SimData data = sim::SimData::demo();
    if (!options.simulateFile.isEmpty()) {
        data = sim::SimData{};
        if (!sim::GpxReader::readFile(options.simulateFile, data, error))
            return false;
    }
    m_simulator = std::make_unique<sim::SimulatedReceiver>(sim::SimConfig{}, data);
    if (!m_simulator->start(error)) {
        m_simulator.reset();
        return false;
    }
    m_simulator->assignToPort(port);
    return true;
}

} // namespace trekora
