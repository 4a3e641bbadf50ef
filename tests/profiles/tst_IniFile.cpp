#include "base/GbkText_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "fixtures/ConversionRoutes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using SubItems = std::vector<std::optional<QString>>;
Q_DECLARE_METATYPE(SubItems)

namespace {

// "温度" and "继电器1" in code page 936.
const QByteArray kGbkTemperature = QByteArray::fromHex("cec2b6c8");
const QByteArray kGbkRelay1 = QByteArray::fromHex("bcccb5e7c6f7") + "1";

TIniFile FromBytes(const QByteArray &bytes)
{
    TIniFile ini;
    ini.SetBytes(bytes);
    return ini;
}

QByteArray ReadFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

SubItems Cells(std::initializer_list<std::optional<QString>> cells)
{
    return SubItems(cells);
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void profileFileName_data();
    void profileFileName();
    void defaultProfileName_data();
    void defaultProfileName();
    void joinListValue_data();
    void joinListValue();
    void splitListValue_data();
    void splitListValue();
    void listValueRoundTrip();
    void findRowValueTrimsBlanks();

    void readBool_data();
    void readBool();
    void readInteger_data();
    void readInteger();
    void readTime_data();
    void readTime();
    void lookup_data();
    void lookup();
    void sectionNamesAndLines();

    void updateKeepsOtherLinesByteForByte();
    void newKeyGoesToEndOfItsSection_data();
    void newKeyGoesToEndOfItsSection();
    void newSectionGoesToEndOfFile();
    void twoSpaceKeysKeepTheirBlanks();
    void rejectedWritesChangeNothing_data();
    void rejectedWritesChangeNothing();
    void controlCharactersAreEscaped_data();
    void controlCharactersAreEscaped();
    void plainValueAfterEscapedOne();
    void charactersOutsideGbkBecomeQuestionMarks();

    void gbkValuesRoundTrip();
    void missingFile();
    void utf8MarkedFile();
    void encodingWithoutMark_data();
    void encodingWithoutMark();
    void bytesOfNeitherEncodingAreNamed_data();
    void bytesOfNeitherEncodingAreNamed();
    void loadRefusesBadFiles_data();
    void loadRefusesBadFiles();
    void directoryIsNotReadable();
    void failedSaveLeavesOldFileIntact();
    void eachConversionRoute_data();
    void eachConversionRoute();
    void saveIntoMissingFolderFails();
    void profileRoundTrip();
    void secondSaveInOtherLanguageKeepsFirstRows();
};

void TestIniFile::profileFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("used");
    QTest::newRow("no extension") << "name" << "name.ini";
    QTest::newRow("already .ini") << "name.ini" << "name.ini";
    QTest::newRow(".ini inside") << "my.ini.bak" << "my.ini.bak";
    QTest::newRow("upper case extension") << "PROFILE.INI" << "PROFILE.INI.ini";
    QTest::newRow("other extension") << "a.txt" << "a.txt.ini";
    QTest::newRow(".ini in a folder name") << "/tmp/x.ini.d/p" << "/tmp/x.ini.d/p";
}

void TestIniFile::profileFileName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, used);
    QCOMPARE(ProfileFileName(chosen), used);
}

void TestIniFile::defaultProfileName_data()
{
    QTest::addColumn<int>("model");
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("name");
    const QDateTime june5(QDate(2017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("K801") << 0 << june5 << "K801_170605090500.ini";
    QTest::newRow("K802") << 1 << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)) << "K802_241231235958.ini";
    QTest::newRow("K803") << 2 << june5 << "K803_170605090500.ini";
    QTest::newRow("no model yet") << -1 << june5 << "K80x_170605090500.ini";
}

void TestIniFile::defaultProfileName()
{
    QFETCH(int, model);
    QFETCH(QDateTime, when);
    QFETCH(QString, name);
    QCOMPARE(DefaultProfileName(model, when), name);
}

void TestIniFile::joinListValue_data()
{
    QTest::addColumn<QStringList>("subItems");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("value");
    QTest::newRow("empty timer row") << QStringList{"", "", "", "", ""} << 6 << "~^~^~^~^~^";
    QTest::newRow("phone number, no flags")
        << QStringList{"13800138000", "", "", "", "", "", "", "", "", ""} << 11
        << "13800138000^~^~^~^~^~^~^~^~^~^";
    QTest::newRow("DO row") << QStringList{"Fan", "30", "", "Fan off", "Fan on", "√"} << 7
                            << "Fan^30^~^Fan off^Fan on^√^";
    QTest::newRow("blanks trimmed, blank cell empty") << QStringList{"  a b ", "\t", "c"} << 4 << "a b^~^c^";
    QTest::newRow("ideographic space kept") << QStringList{QString(QChar(0x3000)) + "x"} << 2
                                            << QString(QString(QChar(0x3000)) + "x^");
    QTest::newRow("missing sub-items count as empty") << QStringList{"a"} << 4 << "a^~^~^";
    QTest::newRow("spare sub-items ignored") << QStringList{"a", "b", "c", "d"} << 3 << "a^b^";
    QTest::newRow("caret not escaped") << QStringList{"a^b", "c"} << 3 << "a^b^c^";
}

void TestIniFile::joinListValue()
{
    QFETCH(QStringList, subItems);
    QFETCH(int, columns);
    QFETCH(QString, value);
    QCOMPARE(JoinListValue(subItems, columns), value);
}

void TestIniFile::splitListValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("columns");
    QTest::addColumn<SubItems>("subItems");
    const std::optional<QString> keep;
    QTest::newRow("trailing carets dropped")
        << "abc^^^" << 7 << Cells({QString("abc"), keep, keep, keep, keep, keep});
    QTest::newRow("tilde empties")
        << "x^~^y^" << 7 << Cells({QString("x"), QString(), QString("y"), keep, keep, keep});
    QTest::newRow("adjacent carets give an empty field")
        << "x^^y^" << 4 << Cells({QString("x"), QString(), QString("y")});
    QTest::newRow("extra fields ignored") << "a^b^c^d^" << 3 << Cells({QString("a"), QString("b")});
    QTest::newRow("no trailing caret") << "a^b" << 4 << Cells({QString("a"), QString("b"), keep});
    QTest::newRow("tilde only inside a text stays") << "~x^" << 2 << Cells({QString("~x")});
    QTest::newRow("empty value changes nothing") << "" << 4 << Cells({keep, keep, keep});
    QTest::newRow("carets only change nothing") << "^^^" << 4 << Cells({keep, keep, keep});
}

void TestIniFile::splitListValue()
{
    QFETCH(QString, value);
    QFETCH(int, columns);
    QFETCH(SubItems, subItems);
    const SubItems result = SplitListValue(value, columns);
    QCOMPARE(result.size(), subItems.size());
    for (std::size_t index = 0; index < result.size(); ++index) {
        QCOMPARE(result[index].has_value(), subItems[index].has_value());
        if (result[index])
            QCOMPARE(*result[index], *subItems[index]);
    }
}

void TestIniFile::listValueRoundTrip()
{
    const QList<QStringList> rows = {
        {"Fan", "30", "", "Fan off", "Fan on", "√"},
        {"", "", "", "", "", ""},
        {"温度1", "", "√", "2", "80", "-40", "高限报警", "低限报警", "恢复", "√", "", ""},
    };
    for (const QStringList &row : rows) {
        const int columns = row.size() + 1;
        const SubItems loaded = SplitListValue(JoinListValue(row, columns), columns);
        QCOMPARE(int(loaded.size()), row.size());
        for (int index = 0; index < row.size(); ++index) {
            QVERIFY(loaded[index].has_value());
            QCOMPARE(*loaded[index], row.at(index));
        }
    }
}

void TestIniFile::findRowValueTrimsBlanks()
{
    const TIniFile ini = FromBytes("[lvTel]\r\n  1=a^\r\n2 = b^\r\n  1=second^\r\n[lvDo]\r\nDOUT1=x^\r\n");
    const std::vector<TIniEntry> entries = ini.SectionEntries("lvTel");
    QCOMPARE(FindRowValue(entries, "  1"), std::optional<QString>("a^"));
    QCOMPARE(FindRowValue(entries, "1"), std::optional<QString>("a^"));
    QCOMPARE(FindRowValue(entries, "  2"), std::optional<QString>("b^"));
    QVERIFY(!FindRowValue(entries, "  3").has_value());
    const std::vector<TIniEntry> doEntries = ini.SectionEntries("lvDo");
    QVERIFY(!FindRowValue(doEntries, "dout1").has_value());
    QVERIFY(!FindRowValue(doEntries, QString::fromUtf8("继电器1")).has_value());
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("checked");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("2 is non-zero") << QByteArray("2") << false << true;
    QTest::newRow("-1 is non-zero") << QByteArray("-1") << false << true;
    QTest::newRow("TRUE is no integer") << QByteArray("TRUE") << false << false;
    QTest::newRow("TRUE gives the default") << QByteArray("TRUE") << true << true;
    QTest::newRow("blanks around") << QByteArray("  1  ") << false << true;
    QTest::newRow("empty gives the default") << QByteArray("") << true << true;
    QTest::newRow("decimal point") << QByteArray("1.0") << false << false;
}

void TestIniFile::readBool()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, defaultValue);
    QFETCH(bool, checked);
    const TIniFile ini = FromBytes("[Value]\r\nchk_Auto_Armed=" + value + "\r\n");
    QCOMPARE(ini.ReadBool("Value", "chk_Auto_Armed", defaultValue), checked);
    QCOMPARE(ini.ReadBool("Value", "chk_Missing", defaultValue), defaultValue);
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("number");
    QTest::newRow("index") << QByteArray("2") << 2;
    QTest::newRow("no selection") << QByteArray("-1") << -1;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("too large") << QByteArray("2147483648") << 99;
    QTest::newRow("trailing text") << QByteArray("12abc") << 99;
    QTest::newRow("hex") << QByteArray("0x10") << 99;
    QTest::newRow("sign only") << QByteArray("-") << 99;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(int, number);
    const TIniFile ini = FromBytes("[Value]\ncbb_GPRS_TcpUdp=" + value + "\n");
    QCOMPARE(ini.ReadInteger("Value", "cbb_GPRS_TcpUdp", 99), number);
}

void TestIniFile::readTime_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QTime>("time");
    const QTime fallback(1, 2, 3);
    QTest::newRow("H:mm:ss") << QByteArray("9:05:00") << QTime(9, 5, 0);
    QTest::newRow("HH:mm:ss") << QByteArray("23:59:58") << QTime(23, 59, 58);
    QTest::newRow("H:mm") << QByteArray("7:30") << QTime(7, 30);
    QTest::newRow("hour out of range") << QByteArray("25:00:00") << fallback;
    QTest::newRow("not a time") << QByteArray("abc") << fallback;
}

void TestIniFile::readTime()
{
    QFETCH(QByteArray, value);
    QFETCH(QTime, time);
    const TIniFile ini = FromBytes("[Value]\r\ndtp_RePortTime=" + value + "\r\n");
    QCOMPARE(ini.ReadTime("Value", "dtp_RePortTime", QTime(1, 2, 3)), time);
}

void TestIniFile::lookup_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("as written") << "Value" << "lbledt_DeviseID" << "12";
    QTest::newRow("section case") << "VALUE" << "lbledt_DeviseID" << "12";
    QTest::newRow("key case") << "value" << "LBLEDT_DEVISEID" << "12";
    QTest::newRow("blanks around the asked names") << " Value " << " lbledt_DeviseID " << "12";
    QTest::newRow("blanks around key and value in the file") << "Value" << "lbledt_TcpPort" << "8080";
    QTest::newRow("blanks inside header") << "lvTh" << "Humidity1" << "b^";
    QTest::newRow("first of duplicate keys") << "Value" << "lbledt_Gprs_IP" << "first";
    QTest::newRow("first of duplicate sections") << "lvDo" << "DOUT1" << "one^";
    QTest::newRow("empty value") << "Value" << "lbledt_HeartCont" << "";
    QTest::newRow("value keeps inner equals") << "Value" << "lbledt_GprsRegDat" << "a=b";
    QTest::newRow("key only in a later duplicate section") << "lvDo" << "DOUT2" << "<default>";
    QTest::newRow("key of another section") << "lvDo" << "lbledt_DeviseID" << "<default>";
    QTest::newRow("key before any section") << "Value" << "orphan" << "<default>";
    QTest::newRow("comment is no key") << "Value" << ";lbledt_X" << "<default>";
    QTest::newRow("missing section") << "lvTimer" << "  1" << "<default>";
}

void TestIniFile::lookup()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const TIniFile ini = FromBytes("orphan=1\r\n"
                                   "[Value]\r\n"
                                   "lbledt_DeviseID=12\r\n"
                                   "  lbledt_TcpPort  =  8080  \r\n"
                                   "lbledt_Gprs_IP=first\r\n"
                                   "lbledt_Gprs_IP=second\r\n"
                                   "lbledt_HeartCont=\r\n"
                                   ";lbledt_X=comment\r\n"
                                   "lbledt_GprsRegDat=a=b\r\n"
                                   "[lvDo]\r\n"
                                   "DOUT1=one^\r\n"
                                   "[ lvTh ]\r\n"
                                   "Humidity1=b^\r\n"
                                   "[LVDO]\r\n"
                                   "DOUT1=two^\r\n"
                                   "DOUT2=three^\r\n");
    QCOMPARE(ini.ReadString(section, key, "<default>"), value);
    QCOMPARE(ini.KeyExists(section, key), value != "<default>");
}

void TestIniFile::sectionNamesAndLines()
{
    const TIniFile ini = FromBytes("; profile\r\n[Value]\r\na=1\r\n\r\n[ lvTel ]\r\n  1=x^\r\n;c\r\nnot a key\r\n"
                                   "  2 = y^ \r\n[lvTimer]");
    QCOMPARE(ini.SectionNames(), QStringList({"Value", "lvTel", "lvTimer"}));
    QCOMPARE(ini.SectionLines("LVTEL"), QStringList({"1=x^", "2=y^"}));
    const std::vector<TIniEntry> entries = ini.SectionEntries("lvTel");
    QCOMPARE(int(entries.size()), 2);
    QCOMPARE(entries[0].key, QString("  1"));
    QCOMPARE(entries[1].key, QString("  2 "));
    QCOMPARE(entries[1].value, QString("y^"));
    QVERIFY(ini.SectionExists("lvTimer"));
    QVERIFY(ini.SectionEntries("lvTimer").empty());
    QVERIFY(ini.SectionEntries("lvDo").empty());
}

void TestIniFile::updateKeepsOtherLinesByteForByte()
{
    // Mixed line endings, a comment, blank lines, GBK text, a byte that is no
    // valid GBK and a last line without an ending.
    const QByteArray before = "; saved by hand\r\n"
                              "\r\n"
                              "[Value]\r\n"
                              "lbledt_Master_DevDes=" + kGbkTemperature + "\xff\n"
                              "Lbledt_DeviseID = 12   \r\n"
                              "chk_Auto_Armed=1\r\n"
                              "\r\n"
                              "[lvDo]\r\n"
                              "DOUT1=Fan^30^~^";
    TIniFile ini = FromBytes(before);
    QVERIFY(ini.WriteString("value", "LBLEDT_DEVISEID", "345"));
    const QByteArray after = "; saved by hand\r\n"
                             "\r\n"
                             "[Value]\r\n"
                             "lbledt_Master_DevDes=" + kGbkTemperature + "\xff\n"
                             "Lbledt_DeviseID =345\r\n"
                             "chk_Auto_Armed=1\r\n"
                             "\r\n"
                             "[lvDo]\r\n"
                             "DOUT1=Fan^30^~^";
    QCOMPARE(ini.Bytes(), after);
    QVERIFY(ini.WriteString("lvDo", "DOUT1", "Pump^"));
    QVERIFY(ini.Bytes().endsWith("\r\n[lvDo]\r\nDOUT1=Pump^"));
    QCOMPARE(ini.ReadInteger("Value", "lbledt_DeviseID", 0), 345);
}

void TestIniFile::newKeyGoesToEndOfItsSection_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("before the blank line and the next section")
        << QByteArray("[Value]\r\na=1\r\n\r\n[lvDo]\r\nDOUT1=x^\r\n")
        << QByteArray("[Value]\r\na=1\r\nnew=v\r\n\r\n[lvDo]\r\nDOUT1=x^\r\n");
    QTest::newRow("after a trailing comment")
        << QByteArray("[Value]\na=1\n; end\n[lvDo]\n")
        << QByteArray("[Value]\na=1\n; end\nnew=v\r\n[lvDo]\n");
    QTest::newRow("section with no keys")
        << QByteArray("[Value]\r\n[lvDo]\r\n") << QByteArray("[Value]\r\nnew=v\r\n[lvDo]\r\n");
    QTest::newRow("last section without final line ending")
        << QByteArray("[lvDo]\r\n[Value]\r\na=1") << QByteArray("[lvDo]\r\n[Value]\r\na=1\r\nnew=v\r\n");
    QTest::newRow("last line cut after its CR")
        << QByteArray("[Value]\r\na=1\r") << QByteArray("[Value]\r\na=1\r\nnew=v\r\n");
    QTest::newRow("header is the last line")
        << QByteArray("[Value]") << QByteArray("[Value]\r\nnew=v\r\n");
}

void TestIniFile::newKeyGoesToEndOfItsSection()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    TIniFile ini = FromBytes(before);
    QVERIFY(ini.WriteString("Value", "new", "v"));
    QCOMPARE(ini.Bytes(), after);
}

void TestIniFile::newSectionGoesToEndOfFile()
{
    TIniFile ini = FromBytes("[Value]\r\na=1");
    QVERIFY(ini.WriteString("lvTimer", "  1", "~^~^~^~^~^"));
    QVERIFY(ini.WriteString("lvTimer", "  2", "√^"));
    // The tick mark is A1 CC in GBK.
    QCOMPARE(ini.Bytes(), QByteArray("[Value]\r\na=1\r\n[lvTimer]\r\n  1=~^~^~^~^~^\r\n  2=\xa1\xcc^\r\n"));

    TIniFile empty;
    QVERIFY(empty.WriteBool("Value", "chk_Auto_Armed", true));
    QVERIFY(empty.WriteInteger("Value", "cbb_GPRS_TcpUdp", -1));
    QVERIFY(empty.WriteTime("Value", "dtp_RePortTime", QTime(9, 5, 0)));
    QCOMPARE(empty.Bytes(), QByteArray("[Value]\r\nchk_Auto_Armed=1\r\ncbb_GPRS_TcpUdp=-1\r\ndtp_RePortTime=9:05:00\r\n"));
}

void TestIniFile::twoSpaceKeysKeepTheirBlanks()
{
    TIniFile ini;
    for (int row = 1; row <= 10; ++row)
        QVERIFY(ini.WriteString("lvTel", "  " + QString::number(row), QString::number(row) + "^"));
    QVERIFY(ini.Bytes().contains("\r\n  1=1^\r\n  2=2^\r\n"));
    QVERIFY(ini.Bytes().contains("\r\n  10=10^\r\n"));
    QCOMPARE(ini.ReadString("lvTel", "10"), QString("10^"));
    // "  1" must not match "  10" or vice versa.
    QVERIFY(ini.WriteString("lvTel", "  1", "one^"));
    QCOMPARE(ini.ReadString("lvTel", "  1"), QString("one^"));
    QCOMPARE(ini.ReadString("lvTel", "  10"), QString("10^"));
    QVERIFY(ini.Bytes().contains("\r\n  1=one^\r\n"));
    QCOMPARE(ini.SectionEntries("lvTel").front().key, QString("  1"));
    QCOMPARE(int(ini.SectionEntries("lvTel").size()), 10);
}

void TestIniFile::rejectedWritesChangeNothing_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("equals in key") << "Value" << "a=b" << "1";
    QTest::newRow("empty key") << "Value" << "  " << "1";
    QTest::newRow("empty section") << "" << "a" << "1";
    QTest::newRow("bracket in section") << "Va]lue" << "a" << "1";
    QTest::newRow("key reads as header") << "Value" << "[x]" << "1";
    QTest::newRow("key reads as comment") << "Value" << " ;a" << "1";
    QTest::newRow("line break in key") << "Value" << "a\nb" << "1";
    QTest::newRow("escaped value, section that no mark can name") << ";x" << "a" << "x\ny";
}

void TestIniFile::rejectedWritesChangeNothing()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[Value]\r\na=old\r\n";
    TIniFile ini = FromBytes(before);
    QVERIFY(!ini.WriteString(section, key, value));
    QCOMPARE(ini.Bytes(), before);
}

// Values a line cannot hold are written escaped and named in [Escaped];
// any other value is written as it always was.
void TestIniFile::controlCharactersAreEscaped_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("plain text") << "Cold room" << QByteArray("[Value]\r\na=Cold room\r\n");
    QTest::newRow("backslashes without control bytes")
        << "C:\\x41\\" << QByteArray("[Value]\r\na=C:\\x41\\\r\n");
    QTest::newRow("line feed, a header after it")
        << "x\n[Value]\nb=1" << QByteArray("[Value]\r\na=x\\x0A[Value]\\x0Ab=1\r\n[Escaped]\r\nValue/a=1\r\n");
    QTest::newRow("carriage return") << "x\ry" << QByteArray("[Value]\r\na=x\\x0Dy\r\n[Escaped]\r\nValue/a=1\r\n");
    QTest::newRow("control byte and ESC")
        << QString::fromLatin1("\x01" "a\x1B[0m") << QByteArray("[Value]\r\na=\\x01a\\x1B[0m\r\n[Escaped]\r\nValue/a=1\r\n");
    QTest::newRow("backslash beside a line break")
        << "\\x0A\n" << QByteArray("[Value]\r\na=\\x5Cx0A\\x0A\r\n[Escaped]\r\nValue/a=1\r\n");
    QTest::newRow("blanks around a tab")
        << " a\t " << QByteArray("[Value]\r\na=\\x20a\\x09\\x20\r\n[Escaped]\r\nValue/a=1\r\n");
    QTest::newRow("quoted, with a line break")
        << "\"a\nb\"" << QByteArray("[Value]\r\na=\"a\\x0Ab\"\r\n[Escaped]\r\nValue/a=1\r\n");
}

void TestIniFile::controlCharactersAreEscaped()
{
    QFETCH(QString, value);
    QFETCH(QByteArray, bytes);
    TIniFile ini;
    QVERIFY(ini.WriteString("Value", "a", value));
    QCOMPARE(ini.Bytes(), bytes);
    QCOMPARE(ini.ReadString("Value", "a"), value);
    // Loaded again from the bytes, as a file.
    const TIniFile loaded = FromBytes(ini.Bytes());
    QCOMPARE(loaded.ReadString("Value", "a"), value);
    QCOMPARE(loaded.SectionEntries("Value").front().value, value);
}

void TestIniFile::plainValueAfterEscapedOne()
{
    TIniFile ini;
    QVERIFY(ini.WriteString("lvTel", "  3", "138\n001^~^"));
    QCOMPARE(ini.SectionEntries("lvTel").front().value, QStringLiteral("138\n001^~^"));
    QVERIFY(ini.WriteString("lvTel", "  3", "C:\\x41^~^"));
    QCOMPARE(ini.Bytes(), QByteArray("[lvTel]\r\n  3=C:\\x41^~^\r\n[Escaped]\r\nlvTel/3=0\r\n"));
    QCOMPARE(ini.SectionEntries("lvTel").front().value, QStringLiteral("C:\\x41^~^"));
}

void TestIniFile::charactersOutsideGbkBecomeQuestionMarks()
{
    TIniFile ini;
    QVERIFY(ini.WriteString("Value", "d", QString::fromUtf8("温度\xF0\x9F\x98\x80")));
    QCOMPARE(ini.Bytes(), QByteArray("[Value]\r\nd=" + kGbkTemperature + "?\r\n"));
}

void TestIniFile::gbkValuesRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("chinese.ini");
    TIniFile ini(path);
    QVERIFY(ini.WriteString("lvDo", QString::fromUtf8("继电器1"), QString::fromUtf8("风扇^30^~^关^开^√^")));
    QVERIFY(ini.WriteString("Value", "lbledt_Master_DevDes", QString::fromUtf8("冷库　2号")));
    QVERIFY(ini.Save().ok());

    const QByteArray bytes = ReadFileBytes(path);
    QVERIFY(bytes.startsWith("[lvDo]\r\n" + kGbkRelay1 + "="));
    QVERIFY(bytes.contains("\xa1\xa1")); // the ideographic space in GBK
    QVERIFY(!bytes.contains("\xe7\xbb\xa7")); // no UTF-8 left

    TIniFile loaded(path);
    QVERIFY(loaded.Load().ok());
    QCOMPARE(loaded.ReadString("LVDO", QString::fromUtf8("继电器1")), QString::fromUtf8("风扇^30^~^关^开^√^"));
    QCOMPARE(loaded.ReadString("Value", "lbledt_Master_DevDes"), QString::fromUtf8("冷库　2号"));
    QCOMPARE(loaded.Bytes(), bytes);
}

// A file that starts with the UTF-8 byte-order mark is UTF-8 throughout:
// the first header is found, values read as UTF-8, the mark and every line
// are kept, and written values are stored as UTF-8.
void TestIniFile::utf8MarkedFile()
{
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF[Value]\r\nname=") + QString::fromUtf8("温度").toUtf8()
                             + "\r\n[lvTh]\r\n" + QString::fromUtf8("继电器1").toUtf8() + "=a^\r\n";
    TIniFile ini = FromBytes(bytes);
    QCOMPARE(ini.SectionNames(), QStringList({"Value", "lvTh"}));
    QCOMPARE(ini.ReadString("Value", "name"), QString::fromUtf8("温度"));
    QCOMPARE(ini.SectionEntries("lvTh").at(0).key, QString::fromUtf8("继电器1"));
    QCOMPARE(ini.Bytes(), bytes);

    QVERIFY(ini.WriteString("Value", "name", QString::fromUtf8("湿度")));
    QVERIFY(ini.WriteString("Value", "other", QString::fromUtf8("继电器")));
    QVERIFY(ini.Bytes().startsWith("\xEF\xBB\xBF[Value]\r\nname=" + QString::fromUtf8("湿度").toUtf8() + "\r\nother="
                                   + QString::fromUtf8("继电器").toUtf8() + "\r\n"));
    QCOMPARE(FromBytes(ini.Bytes()).ReadString("Value", "other"), QString::fromUtf8("继电器"));

    // Without the mark the same bytes are GBK.
    QCOMPARE(FromBytes("[V]\r\nk=" + kGbkTemperature).ReadString("V", "k"),
             QString::fromUtf8("温度"));
}

// A file without the byte-order mark is UTF-8 when it is valid UTF-8 with
// characters beyond ASCII, else GBK; it is saved in the encoding it came in.
void TestIniFile::encodingWithoutMark_data()
{
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("added"); // "温度" as a key written later is stored
    const QString coldRoom = QString::fromUtf8("冷库二号");
    QTest::newRow("UTF-8, as an editor saves it") << coldRoom.toUtf8() << coldRoom << QString::fromUtf8("温度").toUtf8();
    QTest::newRow("GBK") << QByteArray::fromHex("c0e4bfe2b6febac5") << coldRoom << kGbkTemperature;
    QTest::newRow("GBK, a word that is also valid UTF-8 alone") << QByteArray::fromHex("c9bd") << QString::fromUtf8("山")
                                                                 << kGbkTemperature;
    QTest::newRow("ASCII") << QByteArray("Cold room") << QStringLiteral("Cold room") << kGbkTemperature;
}

void TestIniFile::encodingWithoutMark()
{
    QFETCH(QByteArray, encoded);
    QFETCH(QString, text);
    QFETCH(QByteArray, added);
    // The Chinese relay captions every Chinese profile holds, in the same encoding.
    const bool utf8 = encoded == text.toUtf8() && text != QStringLiteral("Cold room");
    const QString caption = QString::fromUtf8("继电器1");
    const QByteArray bytes = "[Value]\r\nlbledt_Master_DevDes=" + encoded + "\r\n[lvDo]\r\n"
                             + (utf8 ? caption.toUtf8() : QByteArray::fromHex("bcccb5e7c6f731")) + "=a^\r\n";
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("profile.ini");
    QVERIFY(WriteFileBytes(path, bytes));
    TIniFile ini(path);
    QVERIFY(ini.Load().ok());
    QCOMPARE(ini.ReadString("Value", "lbledt_Master_DevDes"), text);
    QCOMPARE(ini.SectionEntries("lvDo").at(0).key, caption);
    QCOMPARE(ini.Bytes(), bytes);
    QVERIFY(ini.WriteString("Value", "added", QString::fromUtf8("温度")));
    QVERIFY(ini.Bytes().endsWith("\r\nadded=" + added + "\r\n[lvDo]\r\n" + bytes.mid(bytes.indexOf("[lvDo]") + 8)));
}

// Bytes that are neither GBK nor UTF-8 are refused with where they are.
void TestIniFile::bytesOfNeitherEncodingAreNamed_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("lead byte without its second") << QByteArray("[Value]\r\nEdit1=1\r\nname=ab\x81 x\r\n") << 3 << 8;
    QTest::newRow("first line") << QByteArray("\x81\x7F[Value]\r\n") << 1 << 1;
}

void TestIniFile::bytesOfNeitherEncodingAreNamed()
{
    QFETCH(QByteArray, content);
    QFETCH(int, line);
    QFETCH(int, column);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("mixed.ini");
    QVERIFY(WriteFileBytes(path, content));
    TIniFile ini(path);
    const TIniResult loaded = ini.Load();
    QCOMPARE(int(loaded.error), int(TIniError::NotText));
    QCOMPARE(loaded.line, line);
    QCOMPARE(loaded.column, column);
    QVERIFY(ini.SectionNames().isEmpty());
}

void TestIniFile::loadRefusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize");   // grown to this size with a hole, 0: as written
    QTest::addColumn<int>("error");

    const QByteArray profile = "[Value]\r\nEdit1=1\r\n";
    QTest::newRow("NUL byte") << profile + QByteArray(1, '\0') << qint64(0) << int(TIniError::NotText);
    QTest::newRow("escape byte") << profile + "\x1b[0m" << qint64(0) << int(TIniError::NotText);
    QTest::newRow("one byte over the size") << profile + QByteArray(TIniFile::MaxFileSize - profile.size() + 1, 'x')
                                            << qint64(0) << int(TIniError::TooLarge);
    QTest::newRow("400 MB") << profile << qint64(400) * 1024 * 1024 << int(TIniError::TooLarge);
    QTest::newRow("too many lines") << profile + QByteArray(TIniFile::MaxLineCount, '\n') << qint64(0)
                                    << int(TIniError::TooLarge);
    QTest::newRow("at the size limit") << profile + QByteArray(TIniFile::MaxFileSize - profile.size(), 'x')
                                       << qint64(0) << int(TIniError::None);
    QTest::newRow("tab, form feed and end-of-file mark are text") << profile + "\tx=\f1\r\n\x1a" << qint64(0)
                                                                  << int(TIniError::None);
}

void TestIniFile::loadRefusesBadFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    QFETCH(int, error);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("bad.ini");
    QVERIFY(WriteFileBytes(path, content));
    if (sparseSize > 0)
        QVERIFY(QFile::resize(path, sparseSize));
    TIniFile ini(path);
    const TIniResult loaded = ini.Load();
    QCOMPARE(int(loaded.error), error);
    if (error == int(TIniError::None)) {
        QCOMPARE(ini.ReadString("Value", "Edit1"), QStringLiteral("1"));
        QCOMPARE(ini.Bytes(), content);
    } else {
        QVERIFY(ini.SectionNames().isEmpty());
        QVERIFY(ini.Bytes().isEmpty());
    }
}

void TestIniFile::missingFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("absent.ini");

    TIniFile ini(path);
    const TIniResult loaded = ini.Load();
    QVERIFY(!loaded);
    QCOMPARE(loaded.error, TIniError::Missing);
    QVERIFY(ini.SectionNames().isEmpty());
    QVERIFY(!QFile::exists(path));

    TIniFile update(path);
    QVERIFY(update.LoadForUpdate().ok());
    QVERIFY(update.WriteString("Value", "a", "1"));
    QVERIFY(update.Save().ok());
    QCOMPARE(ReadFileBytes(path), QByteArray("[Value]\r\na=1\r\n"));
}

void TestIniFile::directoryIsNotReadable()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir("folder.ini"));
    TIniFile ini(dir.filePath("folder.ini"));
    QCOMPARE(ini.Load().error, TIniError::ReadFailed);
    QCOMPARE(ini.LoadForUpdate().error, TIniError::ReadFailed);
}

void TestIniFile::eachConversionRoute_data()
{
    AddConversionRouteRows();
}

// Profiles take the program's GBK conversion. Without one, a save fails and
// keeps the old file rather than storing Chinese texts as '?', and a file
// with Chinese text does not load; an ASCII file still does.
void TestIniFile::eachConversionRoute()
{
    QFETCH(TGbkText::TRoute, route);
    QFETCH(bool, mustWork);
    QFETCH(bool, converts);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("p.ini");
    const QByteArray ascii = "[Value]\r\na=old\r\n";
    const QByteArray chinese = "[Value]\r\na=" + kGbkTemperature + "\r\n";
    QVERIFY(WriteFileBytes(path, ascii));

    if (!TGbkText::ForceRouteForTests(route)) {
        QVERIFY(!mustWork);
        QSKIP("route not available here");
    }
    const auto reset = qScopeGuard([] { TGbkText::ResetRouteForTests(); });

    TIniFile ini(path);
    QVERIFY(ini.LoadForUpdate().ok());
    QCOMPARE(ini.ReadString("Value", "a"), QStringLiteral("old"));
    QVERIFY(ini.WriteString("Value", "a", QString::fromUtf8("温度")));
    const TIniResult saved = ini.Save();
    if (converts) {
        QVERIFY2(saved.ok(), qPrintable(saved.detail));
        QCOMPARE(ReadFileBytes(path), chinese);
        TIniFile reread(path);
        QVERIFY(reread.Load().ok());
        QCOMPARE(reread.ReadString("Value", "a"), QString::fromUtf8("温度"));
        return;
    }

    QCOMPARE(saved.error, TIniError::WriteFailed);
    QCOMPARE(saved.detail, TGbkText::NoConversionReason());
    QCOMPARE(ReadFileBytes(path), ascii);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"p.ini"});

    QVERIFY(WriteFileBytes(path, chinese));
    TIniFile withChinese(path);
    const TIniResult loaded = withChinese.Load();
    QCOMPARE(loaded.error, TIniError::ReadFailed);
    QCOMPARE(withChinese.SectionNames(), QStringList());
}

void TestIniFile::failedSaveLeavesOldFileIntact()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A name so long that no temporary file can be made beside it: the save
    // fails before anything touches the existing file (works as any user).
    const QString path = dir.filePath(QString(250, 'p') + ".ini");
    const QByteArray old = "[Value]\r\n; keep me\r\na=old\r\n";
    QVERIFY(WriteFileBytes(path, old));

    TIniFile ini(path);
    QVERIFY(ini.LoadForUpdate().ok());
    QVERIFY(ini.WriteString("Value", "a", "new"));
    const TIniResult saved = ini.Save();
    QVERIFY(!saved);
    QCOMPARE(saved.error, TIniError::WriteFailed);
    QVERIFY(!saved.detail.isEmpty());
    QCOMPARE(ReadFileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestIniFile::saveIntoMissingFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    TIniFile ini(dir.filePath("no/such/folder/p.ini"));
    QVERIFY(ini.WriteString("Value", "a", "1"));
    QCOMPARE(ini.Save().error, TIniError::WriteFailed);
    QVERIFY(!QFile::exists(dir.filePath("no")));
}

void TestIniFile::profileRoundTrip()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(ProfileFileName("room2"));
    QVERIFY(path.endsWith("room2.ini"));

    const QStringList doRow = {"Fan", "30", "Close", "Fan off", "Fan on", "√"};
    const QStringList timerRow = {"√", "Monday", "9", "5", "5.Arm"};
    {
        TIniFile ini(path);
        QVERIFY(ini.LoadForUpdate().ok());
        QVERIFY(ini.WriteString("Value", "lbledt_Master_DevDes", "Cold room 2"));
        QVERIFY(ini.WriteString("Value", "lbledt_DeviseID", "12"));
        QVERIFY(ini.WriteBool("Value", "chk_Auto_Armed", true));
        QVERIFY(ini.WriteBool("Value", "chk_AddTimeToAlarmSMS", false));
        QVERIFY(ini.WriteTime("Value", "dtp_RePortTime", QTime(9, 5, 0)));
        QVERIFY(ini.WriteInteger("Value", "cbb_GPRSCommunication_Proctocol", 2));
        QVERIFY(ini.WriteString("lvDo", "DOUT1", JoinListValue(doRow, 7)));
        for (int row = 1; row <= 10; ++row)
            QVERIFY(ini.WriteString("lvTimer", "  " + QString::number(row), JoinListValue(timerRow, 6)));
        QVERIFY(ini.Save().ok());
    }
    QVERIFY(ReadFileBytes(path).startsWith("[Value]\r\nlbledt_Master_DevDes=Cold room 2\r\nlbledt_DeviseID=12\r\n"));
    QVERIFY(ReadFileBytes(path).contains("[lvDo]\r\nDOUT1=Fan^30^Close^Fan off^Fan on^\xa1\xcc^\r\n[lvTimer]\r\n"));

    TIniFile ini(path);
    QVERIFY(ini.Load().ok());
    QCOMPARE(ini.SectionNames(), QStringList({"Value", "lvDo", "lvTimer"}));
    QCOMPARE(ini.ReadString("Value", "lbledt_Master_DevDes"), QString("Cold room 2"));
    QCOMPARE(ini.ReadInteger("Value", "lbledt_DeviseID", 0), 12);
    QVERIFY(ini.ReadBool("Value", "chk_Auto_Armed", false));
    QVERIFY(!ini.ReadBool("Value", "chk_AddTimeToAlarmSMS", true));
    QCOMPARE(ini.ReadTime("Value", "dtp_RePortTime", QTime()), QTime(9, 5, 0));
    QCOMPARE(ini.ReadInteger("Value", "cbb_GPRSCommunication_Proctocol", 0), 2);
    const auto doValue = FindRowValue(ini.SectionEntries("lvDo"), "DOUT1");
    QVERIFY(doValue.has_value());
    const SubItems cells = SplitListValue(*doValue, 7);
    for (int index = 0; index < doRow.size(); ++index)
        QCOMPARE(cells[index].value(), doRow.at(index));
    const std::vector<TIniEntry> timers = ini.SectionEntries("lvTimer");
    QCOMPARE(int(timers.size()), 10);
    QCOMPARE(FindRowValue(timers, "  10"), std::optional<QString>("√^Monday^9^5^5.Arm^"));
}

void TestIniFile::secondSaveInOtherLanguageKeepsFirstRows()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("twice.ini");
    const auto saveRow = [&](const QString &caption, const QString &value) {
        TIniFile ini(path);
        QVERIFY(ini.LoadForUpdate().ok());
        QVERIFY(ini.WriteString("lvDo", caption, value));
        QVERIFY(ini.Save().ok());
    };
    saveRow("DOUT1", "Fan^");
    saveRow(QString::fromUtf8("继电器1"), QString::fromUtf8("风扇^"));
    saveRow("DOUT1", "Pump^");

    TIniFile ini(path);
    QVERIFY(ini.Load().ok());
    const std::vector<TIniEntry> entries = ini.SectionEntries("lvDo");
    QCOMPARE(int(entries.size()), 2);
    QCOMPARE(FindRowValue(entries, "DOUT1"), std::optional<QString>("Pump^"));
    QCOMPARE(FindRowValue(entries, QString::fromUtf8("继电器1")), std::optional<QString>(QString::fromUtf8("风扇^")));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_IniFile.moc"
