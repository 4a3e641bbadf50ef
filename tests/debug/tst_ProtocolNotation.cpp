#include "debug/ProtocolNotation_Unt.h"

#include <QtTest>

Q_DECLARE_METATYPE(TDisplayMode)

namespace {

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(hex);
}

// The received chunk 23 05 00 41 FF.
const char ExampleChunk[] = "23050041FF";

// The position in a space-separated line of the token of byte index.
int TokenIndexAt(const QString &line, int position)
{
    return int(QStringView(line).left(position).count(QLatin1Char(' ')));
}

QList<int> FrameStartByteIndexes(const QByteArray &bytes)
{
    QList<int> indexes;
    for (int index = 0; index < bytes.size(); ++index) {
        if (quint8(bytes.at(index)) == 0x23)
            indexes.append(index);
    }
    return indexes;
}

} // namespace

class tst_ProtocolNotation : public QObject
{
    Q_OBJECT

private slots:
    void formatFrame_data();
    void formatFrame();
    void everyByteReadsBack_data();
    void everyByteReadsBack();
    void formatByteList_data();
    void formatByteList();
    void frameStartMarks_data();
    void frameStartMarks();
    void noMarksInCharacterMode();
    void paneLines_data();
    void paneLines();
};

void tst_ProtocolNotation::formatFrame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TDisplayMode>("mode");
    QTest::addColumn<QString>("text");

    const QByteArray example = Hex(ExampleChunk);
    QTest::newRow("example chunk, hex") << example << TDisplayMode::Hex << "23 05 00 41 FF ";
    QTest::newRow("example chunk, decimal") << example << TDisplayMode::Decimal << "35 5 0 65 255 ";
    QTest::newRow("example chunk, bits")
        << example << TDisplayMode::Bits
        << "00100011 00000101 00000000 01000001 11111111 ";
    QTest::newRow("example chunk, characters")
        << example << TDisplayMode::Ansi
        << QString(QLatin1Char('#')) + QChar(0x05) + QChar(0x00) + QLatin1Char('A');
    QTest::newRow("hex digits upper case") << Hex("ABCDEF0A") << TDisplayMode::Hex
                                           << "AB CD EF 0A ";
    QTest::newRow("first byte 0, characters") << Hex("00414243") << TDisplayMode::Ansi << "";
    QTest::newRow("first byte 0, hex") << Hex("0041") << TDisplayMode::Hex << "00 41 ";
    QTest::newRow("only 0xFF, characters") << Hex("FFFF") << TDisplayMode::Ansi << "";
    QTest::newRow("line breaks kept, characters")
        << QByteArray("OK\r\nREADY\r\n") << TDisplayMode::Ansi << "OK\r\nREADY\r\n";
    QTest::newRow("GBK text, characters") << Hex("CEC2FFCAAA") << TDisplayMode::Ansi
                                          << QString::fromUtf8("温湿");
    QTest::newRow("empty, hex") << QByteArray() << TDisplayMode::Hex << "";
    QTest::newRow("empty, decimal") << QByteArray() << TDisplayMode::Decimal << "";
    QTest::newRow("empty, bits") << QByteArray() << TDisplayMode::Bits << "";
    QTest::newRow("empty, characters") << QByteArray() << TDisplayMode::Ansi << "";
}

void tst_ProtocolNotation::formatFrame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TDisplayMode, mode);
    QFETCH(QString, text);
    QCOMPARE(FormatFrame(bytes, mode), text);
}

void tst_ProtocolNotation::everyByteReadsBack_data()
{
    QTest::addColumn<TDisplayMode>("mode");
    QTest::addColumn<int>("base");
    QTest::newRow("hex") << TDisplayMode::Hex << 16;
    QTest::newRow("decimal") << TDisplayMode::Decimal << 10;
    QTest::newRow("bits") << TDisplayMode::Bits << 2;
}

// All 256 byte values written in a notation and read back give the bytes.
void tst_ProtocolNotation::everyByteReadsBack()
{
    QFETCH(TDisplayMode, mode);
    QFETCH(int, base);
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(char(value));

    const QString text = FormatFrame(all, mode);
    QVERIFY(text.endsWith(QLatin1Char(' ')));
    const QStringList tokens = text.chopped(1).split(QLatin1Char(' '));
    QCOMPARE(tokens.size(), 256);
    QByteArray readBack;
    for (const QString &token : tokens) {
        if (mode == TDisplayMode::Hex)
            QCOMPARE(token.size(), 2);
        if (mode == TDisplayMode::Bits)
            QCOMPARE(token.size(), 8);
        if (mode == TDisplayMode::Decimal && token.size() > 1)
            QVERIFY2(!token.startsWith(QLatin1Char('0')), qPrintable(token));
        bool ok = false;
        const uint value = token.toUInt(&ok, base);
        QVERIFY2(ok, qPrintable(token));
        readBack.append(char(value));
    }
    QCOMPARE(readBack, all);
    QCOMPARE(FormatByteList(all, mode), text);
}

void tst_ProtocolNotation::formatByteList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TDisplayMode>("mode");
    QTest::addColumn<QString>("text");

    const QByteArray twoFrames = Hex("2301000000000000" "22") + Hex("2381000000000000" "A2");
    QTest::newRow("two frames, one hex text")
        << twoFrames << TDisplayMode::Hex
        << "23 01 00 00 00 00 00 00 22 23 81 00 00 00 00 00 00 A2 ";
    QTest::newRow("two frames, one decimal text")
        << twoFrames << TDisplayMode::Decimal
        << "35 1 0 0 0 0 0 0 34 35 129 0 0 0 0 0 0 162 ";
    QTest::newRow("characters, blanks and controls trimmed at both ends")
        << QByteArray("\r\n\x05 OK\r\nA B \x01\r\n") << TDisplayMode::Ansi << "OK\r\nA B ";
    QTest::newRow("characters, zero inside kept")
        << Hex("23050041") << TDisplayMode::Ansi
        << QString(QLatin1Char('#')) + QChar(0x05) + QChar(0x00) + QLatin1String("A ");
    QTest::newRow("characters, leading zero trimmed")
        << Hex("002341") << TDisplayMode::Ansi << "#A ";
    QTest::newRow("characters, GBK across two chunks")
        << Hex("CEC2") + Hex("CAAA") << TDisplayMode::Ansi << QString::fromUtf8("温湿 ");
    QTest::newRow("characters, only blanks") << QByteArray("  \r\n") << TDisplayMode::Ansi
                                             << " ";
    QTest::newRow("empty list, hex") << QByteArray() << TDisplayMode::Hex << "";
    QTest::newRow("empty list, characters") << QByteArray() << TDisplayMode::Ansi << "";
}

void tst_ProtocolNotation::formatByteList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TDisplayMode, mode);
    QFETCH(QString, text);
    QCOMPARE(FormatByteList(bytes, mode), text);
}

void tst_ProtocolNotation::frameStartMarks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TDisplayMode>("mode");
    QTest::addColumn<QString>("marker");

    const QByteArray twoFrames = Hex("23830000000000" "A0") + Hex("2305002341FF");
    const QByteArray lookAlikes = Hex("87EB350223323300C823");
    QTest::newRow("two frames, hex") << twoFrames << TDisplayMode::Hex << "23";
    QTest::newRow("two frames, decimal") << twoFrames << TDisplayMode::Decimal << "35";
    QTest::newRow("two frames, bits") << twoFrames << TDisplayMode::Bits << "00100011";
    // 135 and 235 end in 35, the byte 0x35 is written 35 in hex, and 0x32
    // 0x33 put the digits 2 and 3 next to each other.
    QTest::newRow("look-alikes, decimal") << lookAlikes << TDisplayMode::Decimal << "35";
    QTest::newRow("look-alikes, hex") << lookAlikes << TDisplayMode::Hex << "23";
    QTest::newRow("look-alikes, bits") << lookAlikes << TDisplayMode::Bits << "00100011";
    QTest::newRow("no frame start") << Hex("0102") << TDisplayMode::Hex << "23";
    QTest::newRow("only frame starts") << Hex("232323") << TDisplayMode::Decimal << "35";
}

// The marks are exactly the tokens of the 0x23 bytes, each spanning the
// whole token.
void tst_ProtocolNotation::frameStartMarks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(TDisplayMode, mode);
    QFETCH(QString, marker);

    QCOMPARE(FrameStartMarker(mode), marker);
    const QString line = FormatByteList(bytes, mode);
    const QList<TTextSpan> marks = FrameStartMarks(line, mode);
    const QList<int> expected = FrameStartByteIndexes(bytes);
    QCOMPARE(marks.size(), expected.size());
    for (int index = 0; index < marks.size(); ++index) {
        const TTextSpan &mark = marks.at(index);
        QCOMPARE(line.mid(mark.start, mark.length), marker);
        QCOMPARE(TokenIndexAt(line, mark.start), expected.at(index));
        QVERIFY(mark.start == 0 || line.at(mark.start - 1) == QLatin1Char(' '));
        QCOMPARE(line.at(mark.start + mark.length), QLatin1Char(' '));
    }
}

void tst_ProtocolNotation::noMarksInCharacterMode()
{
    QVERIFY(FrameStartMarker(TDisplayMode::Ansi).isEmpty());
    QVERIFY(FrameStartMarks(QStringLiteral("# # 23 35"), TDisplayMode::Ansi).isEmpty());
    // A line of another notation has no hex marks unless a token is exactly "23".
    QVERIFY(FrameStartMarks(QStringLiteral("123 230 2 3 "), TDisplayMode::Hex).isEmpty());
    QCOMPARE(FrameStartMarks(QStringLiteral("23"), TDisplayMode::Hex),
             QList<TTextSpan>({{0, 2}}));
}

void tst_ProtocolNotation::paneLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty pane") << "" << QStringList();
    QTest::newRow("one hex line") << "23 05 00 41 FF " << QStringList{"23 05 00 41 FF "};
    QTest::newRow("two lines") << "23 01 \n23 02 " << QStringList{"23 01 ", "23 02 "};
    QTest::newRow("break at the end starts no line") << "OK\r\n" << QStringList{"OK"};
    QTest::newRow("CR LF, CR and LF") << "a\r\nb\rc\nd" << QStringList{"a", "b", "c", "d"};
    QTest::newRow("empty line inside") << "a\n\nb" << QStringList{"a", "", "b"};
    QTest::newRow("only a break") << "\n" << QStringList{""};
    QTest::newRow("character frame with three lines")
        << "+CSQ: 20,0\r\n\r\nOK\r\n" << QStringList{"+CSQ: 20,0", "", "OK"};
}

void tst_ProtocolNotation::paneLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(PaneLines(text), lines);
    QCOMPARE(CountLines(text), lines.size());
}

QTEST_GUILESS_MAIN(tst_ProtocolNotation)
#include "tst_ProtocolNotation.moc"
