// k80x-sim: a simulated K801/K802/K803 logger on a pseudo-terminal.
//
//   k80x-sim [--model K801|K802|K803] [--records N] [--interval S]
//            [--baud B] [--latency MS] [--password P] [--verbose]
//            [--tcp PORT | --rfc2217 PORT]
//
// Prints the pseudo-terminal's path (e.g. /dev/pts/5) as one line on stdout
// and serves until killed; open that path as the serial port. With --tcp or
// --rfc2217 it plays a network serial server on 127.0.0.1 instead and prints
// the port name to open (tcp://127.0.0.1:PORT, rfc2217://127.0.0.1:PORT);
// PORT 0 takes a free port.

#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"
#include "sim/SimTcpServer_Unt.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

// Reads a whole non-negative number from an option; false when it is none.
bool NumberOption(const QCommandLineParser &parser, const QCommandLineOption &option, qint64 max,
                  qint64 *value)
{
    bool ok = false;
    const qint64 number = parser.value(option).toLongLong(&ok);
    if (!ok || number < 0 || number > max)
        return false;
    *value = number;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("k80x-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a K801/K802/K803 data logger on a pseudo-terminal and prints its path."));
    parser.addHelpOption();
    const QCommandLineOption modelOption(QStringLiteral("model"),
                                         QStringLiteral("Device model: K801, K802 or K803."),
                                         QStringLiteral("model"), QStringLiteral("K802"));
    const QCommandLineOption recordsOption(QStringLiteral("records"),
                                           QStringLiteral("History records in the log (0-%1).")
                                               .arg(TDeviceSimulator::MaxHistoryRecords),
                                           QStringLiteral("count"),
                                           QString::number(TDeviceSimulator::DefaultHistoryRecords));
    const QCommandLineOption intervalOption(QStringLiteral("interval"),
                                            QStringLiteral("Seconds between history records."),
                                            QStringLiteral("seconds"),
                                            QString::number(TDeviceSimulator::DefaultHistoryIntervalSeconds));
    const QCommandLineOption baudOption(QStringLiteral("baud"),
                                        QStringLiteral("Baud rate the replies are paced at."),
                                        QStringLiteral("baud"), QStringLiteral("115200"));
    const QCommandLineOption latencyOption(QStringLiteral("latency"),
                                           QStringLiteral("Milliseconds before each reply starts."),
                                           QStringLiteral("ms"), QStringLiteral("5"));
    const QCommandLineOption passwordOption(QStringLiteral("password"),
                                            QStringLiteral("Device password (up to 4 characters)."),
                                            QStringLiteral("password"), QStringLiteral("5937"));
    const QCommandLineOption verboseOption(QStringLiteral("verbose"),
                                           QStringLiteral("Print every request in hex on stderr."));
    const QCommandLineOption tcpOption(QStringLiteral("tcp"),
                                       QStringLiteral("Serve raw TCP on 127.0.0.1:PORT instead of a pseudo-terminal (0: any free port)."),
                                       QStringLiteral("port"));
    const QCommandLineOption rfc2217Option(QStringLiteral("rfc2217"),
                                           QStringLiteral("Serve RFC 2217 (Telnet COM port control) on 127.0.0.1:PORT (0: any free port)."),
                                           QStringLiteral("port"));
    parser.addOptions({modelOption, recordsOption, intervalOption, baudOption, latencyOption,
                       passwordOption, verboseOption, tcpOption, rfc2217Option});
    parser.process(app);

    QTextStream err(stderr);
    TDeviceSimulator::Model model;
    if (!TDeviceSimulator::ModelFromText(parser.value(modelOption), &model)) {
        err << "k80x-sim: unknown model \"" << parser.value(modelOption)
            << "\" (use K801, K802 or K803)\n";
        return 2;
    }
    qint64 records = 0;
    qint64 interval = 0;
    qint64 baud = 0;
    qint64 latency = 0;
    if (!NumberOption(parser, recordsOption, TDeviceSimulator::MaxHistoryRecords, &records)) {
        err << "k80x-sim: --records takes a number from 0 to "
            << TDeviceSimulator::MaxHistoryRecords << "\n";
        return 2;
    }
    if (!NumberOption(parser, intervalOption, 86400, &interval) || interval < 1) {
        err << "k80x-sim: --interval takes a number of seconds from 1 to 86400\n";
        return 2;
    }
    if (!NumberOption(parser, baudOption, 4000000, &baud) || baud < 300) {
        err << "k80x-sim: --baud takes a rate from 300 to 4000000\n";
        return 2;
    }
    if (!NumberOption(parser, latencyOption, 60000, &latency)) {
        err << "k80x-sim: --latency takes milliseconds from 0 to 60000\n";
        return 2;
    }
    const QString password = parser.value(passwordOption);
    if (password.isEmpty() || password.size() > 4) {
        err << "k80x-sim: --password takes 1 to 4 characters\n";
        return 2;
    }
    if (parser.isSet(tcpOption) && parser.isSet(rfc2217Option)) {
        err << "k80x-sim: give --tcp or --rfc2217, not both\n";
        return 2;
    }
    const bool network = parser.isSet(tcpOption) || parser.isSet(rfc2217Option);
    const QCommandLineOption &networkOption = parser.isSet(rfc2217Option) ? rfc2217Option : tcpOption;
    qint64 listenPort = 0;
    if (network && !NumberOption(parser, networkOption, 65535, &listenPort)) {
        err << "k80x-sim: --" << networkOption.names().first() << " takes a port from 0 to 65535\n";
        return 2;
    }

    TDeviceSimulator device(model);
    device.setBaudRate(quint32(baud));
    device.setLatencyMs(int(latency));
    device.setPassword(password);
    device.setHistoryRecordCount(int(records), int(interval));
    if (parser.isSet(verboseOption)) {
        QObject::connect(&device, &TDeviceSimulator::requestReceived, &device,
                         [](const QByteArray &request) {
                             QTextStream log(stderr);
                             log << "k80x-sim: <- " << request.toHex(' ') << Qt::endl;
                         });
    }

    if (network) {
        const auto mode = parser.isSet(rfc2217Option) ? TSimTcpServer::TMode::Rfc2217
                                                      : TSimTcpServer::TMode::RawTcp;
        auto *server = new TSimTcpServer(&device, mode, &app);
        if (!server->listen(quint16(listenPort))) {
            err << "k80x-sim: cannot listen on 127.0.0.1:" << listenPort << ": "
                << server->errorString() << "\n";
            return 1;
        }
        std::printf("%s\n", server->portName().toLocal8Bit().constData());
        std::fflush(stdout);
        return app.exec();
    }

    TPtyBridge bridge(&device);
    if (!bridge.open()) {
        err << "k80x-sim: cannot create a pseudo-terminal: " << bridge.errorString() << "\n";
        return 1;
    }
    QObject::connect(&bridge, &TPtyBridge::lineLost, &app, [](const QString &reason) {
        QTextStream(stderr) << "k80x-sim: line lost: " << reason << Qt::endl;
        QCoreApplication::exit(1);
    });

    std::printf("%s\n", bridge.slavePath().toLocal8Bit().constData());
    std::fflush(stdout);
    return app.exec();
}
