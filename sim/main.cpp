// trekora-gpssim: a simulated handheld receiver on a pseudo-terminal.
#include "sim/GpxReader.h"
#include "sim/SimulatedReceiver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace trekora::sim;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trekora-gpssim"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulated handheld GPS receiver"));
    parser.addHelpOption();
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("GPX file to load"),
                                  QStringLiteral("FILE.gpx"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Symbolic link to create to the device"),
                                  QStringLiteral("PATH"));
    const QCommandLineOption nmea(QStringLiteral("nmea"), QStringLiteral("NMEA interface mode"));
    const QCommandLineOption throttle(QStringLiteral("throttle"),
                                      QStringLiteral("Pace bytes at the line speed"));
    const QCommandLineOption product(QStringLiteral("product"), QStringLiteral("Product id"),
                                     QStringLiteral("ID"));
    const QCommandLineOption software(
        QStringLiteral("software"), QStringLiteral("Software version x 100"), QStringLiteral("N"));
    const QCommandLineOption description(QStringLiteral("description"),
                                         QStringLiteral("Product description"),
                                         QStringLiteral("TEXT"));
    const QCommandLineOption protocols(QStringLiteral("protocols"),
                                       QStringLiteral("Capability array, e.g. \"P000 L001 A010\""),
                                       QStringLiteral("LIST"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral("Fault to inject: %1").arg(faultNames().join(QStringLiteral(", "))),
        QStringLiteral("NAME"));
    parser.addOptions(
        {data, link, nmea, throttle, product, software, description, protocols, fault});
    parser.process(app);

    SimConfig config;
    config.nmea = parser.isSet(nmea);
    config.throttle = parser.isSet(throttle);
    config.linkPath = parser.value(link);
    bool ok = true;
    if (parser.isSet(product))
        config.productId = static_cast<std::int16_t>(parser.value(product).toInt(&ok));
    if (ok && parser.isSet(software))
        config.softwareVersion = static_cast<std::int16_t>(parser.value(software).toInt(&ok));
    if (!ok) {
        std::fprintf(stderr, "trekora-gpssim: --product and --software take numbers\n");
        return 2;
    }
    if (parser.isSet(description))
        config.description = parser.value(description);
    if (parser.isSet(protocols))
        config.protocols = parser.value(protocols);
    if (parser.isSet(fault)) {
        const auto f = faultFromName(parser.value(fault));
        if (!f) {
            std::fprintf(stderr, "trekora-gpssim: unknown fault %s (known: %s)\n",
                         qPrintable(parser.value(fault)),
                         qPrintable(faultNames().join(QStringLiteral(", "))));
            return 2;
        }
        config.fault = *f;
    }
    SimData simData = SimData::demo();
    if (parser.isSet(data)) {
        QString error;
        if (!GpxReader::readFile(parser.value(data), simData, &error)) {
            std::fprintf(stderr, "trekora-gpssim: %s\n", qPrintable(error));
            return 1;
        }
    }

    SimulatedReceiver receiver(config, simData);
    QString error;
    if (!receiver.start(&error)) {
        std::fprintf(stderr, "trekora-gpssim: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("PTY %s\n", qPrintable(receiver.ptyPath()));
    std::fflush(stdout);

    // Runs until killed or until standard input closes.
    QSocketNotifier stdinWatch(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&stdinWatch, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            app.quit();
    });
    QObject::connect(&receiver, &SimulatedReceiver::vanished, &app,
                     [] { std::fprintf(stderr, "trekora-gpssim: the device vanished (fault)\n"); });
    // Signals end the loop through a pipe, so the device link is removed.
    static int signalPipe[2] = {-1, -1};
    if (::pipe(signalPipe) == 0) {
        for (int sig : {SIGTERM, SIGINT, SIGHUP})
            std::signal(sig, [](int) {
                const char byte = 1;
                [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
            });
    }
    QSocketNotifier signalWatch(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalWatch, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    receiver.stop();
    return rc;
}
