#include "base/Funs_Unt.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// "温湿度" in code page 936.
const char WenShiDuGbk[] = "CEC2CAAAB6C8";

} // namespace

class tst_Funs : public QObject
{
    Q_OBJECT

private slots:
    void bytesToText_data();
    void bytesToText();
    void bytesToTextCount_data();
    void bytesToTextCount();
    void bytesToHexText_data();
    void bytesToHexText();
    void textToBytes_data();
    void textToBytes();
    void textToBytesFieldForm();
    void textToBytesReportsUnencodable();
    void gbkRoundTrip_data();
    void gbkRoundTrip();
    void hexTextToBytes_data();
    void hexTextToBytes();
    void hexTextToBytesRoundTrip();
    void removeSpaces();
    void bitsToText_data();
    void bitsToText();
    void passwordKeyFilter_data();
    void passwordKeyFilter();
    void sortPortNames();
    void findFiles_data();
    void findFiles();
    void findFilesMissingDirectory();
    void findFilesFollowsLinkLoopOnce();
    void programVersionText();
    void parseDecimal_data();
    void parseDecimal();
    void parseTenths_data();
    void parseTenths();
};

void tst_Funs::bytesToText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<QString>("expected");

    QTest::newRow("erased byte left out") << Hex("4142FF43") << 3 << QStringLiteral("ABC");
    QTest::newRow("first byte 0 gives empty") << Hex("0041") << 1 << QString();
    QTest::newRow("first byte erased") << Hex("FF41") << 1 << QStringLiteral("A");
    QTest::newRow("no bytes") << QByteArray() << 3 << QString();
    QTest::newRow("stops at last index") << Hex("41424344") << 1 << QStringLiteral("AB");
    QTest::newRow("last index past the end") << Hex("4142") << 9 << QStringLiteral("AB");
    QTest::newRow("negative last index") << Hex("4142") << -1 << QString();
    QTest::newRow("inner 0 stays") << Hex("410042") << 2 << QString(QStringLiteral("A_B")).replace(u'_', QChar(0));
    QTest::newRow("all erased") << Hex("FFFFFF") << 2 << QString();
    QTest::newRow("GBK Chinese") << Hex(WenShiDuGbk) << 5 << QStringLiteral("温湿度");
    QTest::newRow("GBK between erased bytes") << Hex("FFCEC2FF41") << 4 << QStringLiteral("温A");
}

void tst_Funs::bytesToText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, lastIndex);
    QFETCH(QString, expected);
    QCOMPARE(BytesToText(bytes, lastIndex), expected);
}

void tst_Funs::bytesToTextCount_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");

    QTest::newRow("count 3 of 4") << Hex("41FF4344") << 3 << QStringLiteral("AC");
    QTest::newRow("count 0") << Hex("4142") << 0 << QString();
    QTest::newRow("first byte 0") << Hex("0041") << 2 << QString();
    QTest::newRow("count past the end") << Hex("41") << 4 << QStringLiteral("A");
}

void tst_Funs::bytesToTextCount()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(BytesToTextCount(bytes, count), expected);
}

void tst_Funs::bytesToHexText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("expected");

    QTest::newRow("erased byte left out") << Hex("01FF0A") << 3 << QStringLiteral("010A");
    QTest::newRow("upper case") << Hex("abcdef") << 3 << QStringLiteral("ABCDEF");
    QTest::newRow("first byte 0 not checked") << Hex("0012") << 2 << QStringLiteral("0012");
    QTest::newRow("count limits") << Hex("112233") << 2 << QStringLiteral("1122");
    QTest::newRow("count past the end") << Hex("11") << 5 << QStringLiteral("11");
    QTest::newRow("count 0") << Hex("11") << 0 << QString();
}

void tst_Funs::bytesToHexText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(QString, expected);
    QCOMPARE(BytesToHexText(bytes, count), expected);
}

void tst_Funs::textToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("10 characters into 4 bytes") << QStringLiteral("ABCDEFGHIJ") << 3 << Hex("41424344");
    QTest::newRow("short text padded with 0") << QStringLiteral("AB") << 3 << Hex("41420000");
    QTest::newRow("leading blank kept") << QStringLiteral(" A") << 2 << Hex("204100");
    QTest::newRow("blank text stores nothing") << QStringLiteral("   ") << 2 << Hex("000000");
    QTest::newRow("empty text") << QString() << 1 << Hex("0000");
    QTest::newRow("Chinese fits whole") << QStringLiteral("温湿度") << 5 << Hex(WenShiDuGbk);
    QTest::newRow("Chinese not cut in half") << QStringLiteral("温湿度") << 4 << Hex("CEC2CAAA00");
    QTest::newRow("odd room after ASCII") << QStringLiteral("A温") << 1 << Hex("4100");
    QTest::newRow("ASCII after Chinese") << QStringLiteral("温AB") << 2 << Hex("CEC241");
    QTest::newRow("no room for one character") << QStringLiteral("温") << 0 << Hex("00");
}

void tst_Funs::textToBytes()
{
    QFETCH(QString, text);
    QFETCH(int, lastIndex);
    QFETCH(QByteArray, expected);

    // Earlier content must not show through.
    QByteArray field(lastIndex + 1, '\x5A');
    QVERIFY(TextToBytes(text, field, lastIndex));
    QCOMPARE(field.toHex(), expected.toHex());
    QCOMPARE(TextToBytes(text, lastIndex + 1).toHex(), expected.toHex());
}

void tst_Funs::textToBytesFieldForm()
{
    QByteArray field = Hex("AAAAAAAAAA");
    QVERIFY(TextToBytes(QStringLiteral("XY"), field, 2));
    // Bytes past the last index are not touched.
    QCOMPARE(field.toHex(), Hex("585900AAAA").toHex());

    QByteArray shortField;
    QVERIFY(TextToBytes(QStringLiteral("XY"), shortField, 3));
    QCOMPARE(shortField.toHex(), Hex("58590000").toHex());
}

void tst_Funs::textToBytesReportsUnencodable()
{
    QByteArray field;
    // U+1F600 has no code in code page 936.
    QVERIFY(!TextToBytes(QString::fromUtf8("A\xF0\x9F\x98\x80"), field, 3));
    QCOMPARE(field.at(0), 'A');
}

void tst_Funs::gbkRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("Chinese") << QStringLiteral("温湿度配置软件");
    QTest::newRow("mixed") << QStringLiteral("仓库A区-1号");
    QTest::newRow("ASCII") << QStringLiteral("CMNET");
    QTest::newRow("euro sign single byte") << QStringLiteral("5€");
}

void tst_Funs::gbkRoundTrip()
{
    QFETCH(QString, text);
    const QByteArray field = TextToBytes(text, 32);
    QCOMPARE(field.size(), 32);
    QCOMPARE(BytesToText(field, 31).section(QChar(0), 0, 0), text);
    QCOMPARE(BytesToTextCount(field, 32).section(QChar(0), 0, 0), text);
}

void tst_Funs::hexTextToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("lastIndex");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("lone last digit ignored") << QStringLiteral("1A 2B 3") << 1 << true << Hex("1A2B");
    QTest::newRow("odd digits into 1 byte") << QStringLiteral("1A2") << 0 << true << Hex("1A");
    QTest::newRow("short text padded with 0") << QStringLiteral("7F") << 2 << true << Hex("7F0000");
    QTest::newRow("lower case") << QStringLiteral("ab cd") << 1 << true << Hex("ABCD");
    QTest::newRow("blanks inside a pair") << QStringLiteral(" 1 2 ") << 0 << true << Hex("12");
    QTest::newRow("blank text") << QStringLiteral("   ") << 1 << true << Hex("0000");
    QTest::newRow("more pairs than room") << QStringLiteral("112233") << 1 << true << Hex("1122");
    QTest::newRow("bad pair") << QStringLiteral("1G") << 1 << false << Hex("0000");
    QTest::newRow("bad second pair") << QStringLiteral("12 ZZ") << 1 << false << Hex("0000");
    QTest::newRow("sign is not a digit") << QStringLiteral("+1") << 0 << false << Hex("00");
    QTest::newRow("bad pair beyond the field") << QStringLiteral("12ZZ") << 0 << true << Hex("12");
}

void tst_Funs::hexTextToBytes()
{
    QFETCH(QString, text);
    QFETCH(int, lastIndex);
    QFETCH(bool, ok);
    QFETCH(QByteArray, expected);

    QByteArray field(lastIndex + 1, '\x5A');
    QCOMPARE(HexTextToBytes(text, field, lastIndex), ok);
    QCOMPARE(field.toHex(), expected.toHex());
}

void tst_Funs::hexTextToBytesRoundTrip()
{
    QByteArray all;
    for (int value = 0; value < 255; ++value)
        all.append(char(value));
    QByteArray field;
    QVERIFY(HexTextToBytes(BytesToHexText(all, int(all.size())), field, int(all.size()) - 1));
    QCOMPARE(field, all);
}

void tst_Funs::removeSpaces()
{
    QCOMPARE(RemoveSpaces(QStringLiteral(" 1A 2B  3 ")), QStringLiteral("1A2B3"));
    QCOMPARE(RemoveSpaces(QStringLiteral("a\tb")), QStringLiteral("a\tb"));
}

void tst_Funs::bitsToText_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");

    QTest::newRow("5 in 8") << quint32(5) << 8 << QStringLiteral("00000101");
    QTest::newRow("upper bits cut") << quint32(0x1F) << 3 << QStringLiteral("111");
    QTest::newRow("width 0") << quint32(7) << 0 << QString();
    QTest::newRow("all 32") << quint32(0x80000001) << 32
                            << QStringLiteral("10000000000000000000000000000001");
    QTest::newRow("wider than 32") << quint32(0xFFFFFFFF) << 34
                                   << QStringLiteral("0011111111111111111111111111111111");
}

void tst_Funs::bitsToText()
{
    QFETCH(quint32, value);
    QFETCH(int, width);
    QFETCH(QString, expected);
    QCOMPARE(BitsToText(value, width), expected);
}

void tst_Funs::passwordKeyFilter_data()
{
    QTest::addColumn<QChar>("key");
    QTest::addColumn<bool>("passes");

    QTest::newRow("backspace") << QChar(8) << true;
    QTest::newRow("enter") << QChar(13) << true;
    QTest::newRow("delete") << QChar(127) << true;
    QTest::newRow("0") << QChar(u'0') << true;
    QTest::newRow("9") << QChar(u'9') << true;
    QTest::newRow("A") << QChar(u'A') << true;
    QTest::newRow("Z") << QChar(u'Z') << true;
    QTest::newRow("a") << QChar(u'a') << true;
    QTest::newRow("z") << QChar(u'z') << true;
    QTest::newRow("blank") << QChar(u' ') << false;
    QTest::newRow("slash before 0") << QChar(u'/') << false;
    QTest::newRow("colon after 9") << QChar(u':') << false;
    QTest::newRow("at before A") << QChar(u'@') << false;
    QTest::newRow("bracket after Z") << QChar(u'[') << false;
    QTest::newRow("backquote before a") << QChar(u'`') << false;
    QTest::newRow("brace after z") << QChar(u'{') << false;
    QTest::newRow("tab") << QChar(9) << false;
    QTest::newRow("line feed") << QChar(10) << false;
    QTest::newRow("escape") << QChar(27) << false;
    QTest::newRow("Chinese") << QChar(u'密') << false;
    QTest::newRow("full-width A") << QChar(0xFF21) << false;
}

void tst_Funs::passwordKeyFilter()
{
    QFETCH(QChar, key);
    QFETCH(bool, passes);
    QChar filtered = key;
    PasswordKeyFilter(filtered);
    QCOMPARE(filtered, passes ? key : QChar(0));
}

void tst_Funs::sortPortNames()
{
    QStringList names{QStringLiteral("COM2"), QStringLiteral("ttyUSB0"), QStringLiteral("COM10"),
                      QStringLiteral("com1"), QStringLiteral("ttyACM0")};
    SortPortNames(names);
    QCOMPARE(names, (QStringList{QStringLiteral("com1"), QStringLiteral("COM10"),
                                 QStringLiteral("COM2"), QStringLiteral("ttyACM0"),
                                 QStringLiteral("ttyUSB0")}));
}

void tst_Funs::findFiles_data()
{
    QTest::addColumn<QString>("extension");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("extension ignoring case")
        << QStringLiteral(".asz")
        << QStringList{QStringLiteral(".hidden.asz"), QStringLiteral("a.ASZ"),
                       QStringLiteral("B.asz"), QStringLiteral("sub/d.asz"),
                       QStringLiteral("sub/deeper/e.Asz")};
    QTest::newRow("upper-case request") << QStringLiteral(".TXT")
                                        << QStringList{QStringLiteral("c.txt"),
                                                       QStringLiteral("sub/skin.asz.txt")};
    QTest::newRow("every file") << QStringLiteral(".*")
                                << QStringList{QStringLiteral(".hidden.asz"), QStringLiteral("a.ASZ"),
                                               QStringLiteral("B.asz"), QStringLiteral("c.txt"),
                                               QStringLiteral("noext"),
                                               QStringLiteral("sub/d.asz"),
                                               QStringLiteral("sub/deeper/e.Asz"),
                                               QStringLiteral("sub/skin.asz.txt")};
    QTest::newRow("no match") << QStringLiteral(".ini") << QStringList{};
}

void tst_Funs::findFiles()
{
    QFETCH(QString, extension);
    QFETCH(QStringList, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("sub/deeper")));
    QVERIFY(dir.mkpath(QStringLiteral("empty.asz")));
    const QStringList files{QStringLiteral("a.ASZ"), QStringLiteral("B.asz"),
                            QStringLiteral("c.txt"), QStringLiteral("noext"),
                            QStringLiteral(".hidden.asz"), QStringLiteral("sub/d.asz"),
                            QStringLiteral("sub/skin.asz.txt"), QStringLiteral("sub/deeper/e.Asz")};
    for (const QString &name : files) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QStringList expectedPaths;
    for (const QString &name : expected)
        expectedPaths.append(dir.filePath(name));
    QCOMPARE(FindFiles(root.path(), extension), expectedPaths);
    // A trailing separator on the directory changes nothing.
    QCOMPARE(FindFiles(root.path() + QLatin1Char('/'), extension), expectedPaths);
}

void tst_Funs::findFilesMissingDirectory()
{
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QCOMPARE(FindFiles(root.filePath(QStringLiteral("missing")), QStringLiteral(".*")), QStringList{});
    QCOMPARE(FindFiles(QString(), QStringLiteral(".*")), QStringList{});
    QFile plain(root.filePath(QStringLiteral("file.asz")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    // A file is no directory to search.
    QCOMPARE(FindFiles(plain.fileName(), QStringLiteral(".asz")), QStringList{});
}

void tst_Funs::findFilesFollowsLinkLoopOnce()
{
#ifdef Q_OS_UNIX
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QDir dir(root.path());
    QVERIFY(dir.mkpath(QStringLiteral("sub")));
    QFile file(dir.filePath(QStringLiteral("sub/x.asz")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(QFile::link(root.path(), dir.filePath(QStringLiteral("sub/up"))));

    QCOMPARE(FindFiles(root.path(), QStringLiteral(".asz")),
             QStringList{dir.filePath(QStringLiteral("sub/x.asz"))});
#else
    QSKIP("directory links need Unix here");
#endif
}

void tst_Funs::programVersionText()
{
    QCOMPARE(ProgramVersionText(), QStringLiteral("V2.39"));
}

void tst_Funs::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("value");
    const int empty = int(TNumberKind::Empty), notNumber = int(TNumberKind::NotNumber),
              number = int(TNumberKind::Number), outOfRange = int(TNumberKind::OutOfRange);
    QTest::newRow("plain") << "65535" << number << qint64(65535);
    QTest::newRow("leading zeros") << "0007" << number << qint64(7);
    QTest::newRow("blanks around") << "  12\t" << number << qint64(12);
    QTest::newRow("plus sign") << "+5" << number << qint64(5);
    QTest::newRow("minus sign") << "-40" << number << qint64(-40);
    QTest::newRow("largest qint64") << "9223372036854775807" << number << std::numeric_limits<qint64>::max();
    QTest::newRow("beyond qint64") << "9223372036854775808" << outOfRange << qint64(0);
    QTest::newRow("twenty digits") << "99999999999999999999" << outOfRange << qint64(0);
    QTest::newRow("empty") << "" << empty << qint64(0);
    QTest::newRow("blanks only") << "   " << empty << qint64(0);
    QTest::newRow("letters after digits") << "12a" << notNumber << qint64(0);
    QTest::newRow("word") << "abc" << notNumber << qint64(0);
    QTest::newRow("sign only") << "-" << notNumber << qint64(0);
    QTest::newRow("two signs") << "+-1" << notNumber << qint64(0);
    QTest::newRow("blank inside") << "1 0" << notNumber << qint64(0);
    QTest::newRow("decimal point") << "1.0" << notNumber << qint64(0);
    QTest::newRow("group separator") << "1,000" << notNumber << qint64(0);
    QTest::newRow("hexadecimal") << "0x10" << notNumber << qint64(0);
    QTest::newRow("full-width digits") << QStringLiteral("\uFF11\uFF12") << notNumber << qint64(0);
}

void tst_Funs::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(qint64, value);
    const TNumber parsed = ParseDecimal(text);
    QCOMPARE(int(parsed.Kind), kind);
    if (parsed.Ok())
        QCOMPARE(parsed.Value, value);
}

void tst_Funs::parseTenths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<qint64>("tenths");
    const int empty = int(TNumberKind::Empty), notNumber = int(TNumberKind::NotNumber),
              number = int(TNumberKind::Number), outOfRange = int(TNumberKind::OutOfRange);
    QTest::newRow("whole") << "25" << number << qint64(250);
    QTest::newRow("tenths") << "25.5" << number << qint64(255);
    QTest::newRow("negative tenths") << "-5.5" << number << qint64(-55);
    QTest::newRow("negative below one") << "-0.5" << number << qint64(-5);
    QTest::newRow("no whole part") << ".5" << number << qint64(5);
    QTest::newRow("point without fraction") << "25." << number << qint64(250);
    QTest::newRow("hundredths round up") << "25.55" << number << qint64(256);
    QTest::newRow("hundredths round down") << "25.54" << number << qint64(255);
    QTest::newRow("rounding away from zero") << "-0.05" << number << qint64(-1);
    QTest::newRow("blanks and plus") << " +3276.7 " << number << qint64(32767);
    QTest::newRow("empty") << "" << empty << qint64(0);
    QTest::newRow("comma") << "25,5" << notNumber << qint64(0);
    QTest::newRow("exponent") << "1e2" << notNumber << qint64(0);
    QTest::newRow("point only") << "." << notNumber << qint64(0);
    QTest::newRow("two points") << "1.2.3" << notNumber << qint64(0);
    QTest::newRow("sign inside") << "1.-5" << notNumber << qint64(0);
    QTest::newRow("infinity") << "inf" << notNumber << qint64(0);
    QTest::newRow("whole part beyond range") << "9223372036854775807" << outOfRange << qint64(0);
}

void tst_Funs::parseTenths()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(qint64, tenths);
    const TNumber parsed = ParseTenths(text);
    QCOMPARE(int(parsed.Kind), kind);
    if (parsed.Ok())
        QCOMPARE(parsed.Value, tenths);
}

QTEST_GUILESS_MAIN(tst_Funs)
#include "tst_Funs.moc"
