// The --out name of one device: {imei}, {port} and {model} are what the
// device and the port name say, and none of them leads out of the folder
// the user named.
#include "cli/CliOptions_Unt.h"

#include <QFileInfo>
#include <QTest>

class TestCliOutputName : public QObject
{
    Q_OBJECT

private slots:
    void partsStayInTheNamedFolder_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("imei");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("name");
        QTest::newRow("usual device") << "out/{imei}.ini" << "/dev/ttyUSB0" << "861234567890123" << "K802"
                                      << "out/861234567890123.ini";
        QTest::newRow("IMEI that climbs out") << "out/{imei}.ini" << "COM3" << "../../../../../x" << "K801"
                                              << "out/x.ini";
        QTest::newRow("absolute IMEI") << "out/{imei}.bin" << "COM3" << "/etc/cron.d/job" << "K801"
                                       << "out/etc_cron_d_job.bin";
        QTest::newRow("port path") << "logs/{port}_{model}.csv" << "/dev/ttyUSB0" << "1" << "K803"
                                   << "logs/dev_ttyUSB0_K803.csv";
        QTest::newRow("Windows port") << "logs/{port}.csv" << "\\\\.\\COM10" << "1" << "K803" << "logs/COM10.csv";
        QTest::newRow("model with separators") << "out/{model}-{imei}.ini" << "COM1" << "" << "K8/../..\\x"
                                               << "out/K8_x-unknown.ini";
    }

    void partsStayInTheNamedFolder()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, port);
        QFETCH(QString, imei);
        QFETCH(QString, model);
        QFETCH(QString, name);
        const QString made = CliOutputName(pattern, port, imei, model);
        QCOMPARE(made, name);
        QCOMPARE(QFileInfo(made).absolutePath(), QFileInfo(pattern).absolutePath());
    }
};

QTEST_GUILESS_MAIN(TestCliOutputName)
#include "tst_CliOutputName.moc"
