// The timer cell <-> code mapping shared by the window, the profiles and the codec.
#include "config/TimerCodes_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QTest>

using namespace TimerCodes;

class TestTimerCodes : public QObject
{
    Q_OBJECT

private slots:
    // Every code a record can hold shows a text in both languages that reads
    // back as the same code (7 and 15 both show every day and read back as 15).
    void everyDayCodeSurvivesItsText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("chinese");
        QTest::addColumn<int>("readBack");
        const QStringList english = ConstLang::TimerWeekTexts(ConstLang::English);
        const QStringList chinese = ConstLang::TimerWeekTexts(ConstLang::Chinese);
        for (int code = 0; code <= MaxDayCode; ++code) {
            const int position = code == 7 || code == 15 ? 7 : code;
            const bool named = position < 8;
            QTest::addRow("day code %d", code)
                << code << (named ? english.at(position) : QString::number(code))
                << (named ? chinese.at(position) : QString::number(code)) << (code == 7 ? 15 : code);
        }
    }
    void everyDayCodeSurvivesItsText()
    {
        QFETCH(int, code);
        QFETCH(QString, english);
        QFETCH(QString, chinese);
        QFETCH(int, readBack);
        const QStringList englishWeek = ConstLang::TimerWeekTexts(ConstLang::English);
        const QStringList chineseWeek = ConstLang::TimerWeekTexts(ConstLang::Chinese);
        QCOMPARE(DayText(code, englishWeek), english);
        QCOMPARE(DayText(code, chineseWeek), chinese);
        QCOMPARE(DayCodeOfText(english, englishWeek), readBack);
        QCOMPARE(DayCodeOfText(chinese, chineseWeek), readBack);
    }

    void everyActionCodeSurvivesItsText_data()
    {
        QTest::addColumn<int>("code");
        for (int code = 0; code <= MaxActionCode; ++code)
            QTest::addRow("action code %d", code) << code;
    }
    void everyActionCodeSurvivesItsText()
    {
        QFETCH(int, code);
        for (const int language : {ConstLang::English, ConstLang::Chinese}) {
            const QStringList actions = ConstLang::TimerActionTexts(language);
            const QString text = ActionText(code, actions);
            QCOMPARE(text, code < actions.size() ? actions.at(code) : QString::number(code));
            QCOMPARE(ActionCodeOfText(text, actions), code);
        }
    }

    void textsToCodes_data()
    {
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("dayCode");
        QTest::addColumn<int>("actionCode");
        QTest::newRow("entries") << "Wednesday" << "7.DO1 Close(ON)" << 3 << 7;
        QTest::newRow("every day is 15") << "Everyday" << "10.DO2 Open(OFF)" << EveryDayCode << 10;
        QTest::newRow("part of an entry") << "Tues" << "Arm" << 2 << 5;
        QTest::newRow("numbers of unnamed codes") << "9" << "14" << 9 << 14;
        QTest::newRow("number of a named code") << "3" << "5" << 3 << 5;
        QTest::newRow("unset action byte") << "15" << "255" << 15 << 255;
        QTest::newRow("numbers beyond the field") << "16" << "256" << NoCode << NoCode;
        QTest::newRow("leading zero is no code") << "09" << "014" << NoCode << NoCode;
        QTest::newRow("other language") << "\u4E09" << "5.\u5E03\u9632" << NoCode << NoCode;
        QTest::newRow("unknown words") << "Someday" << "Dance" << NoCode << NoCode;
        QTest::newRow("empty cells") << "" << "" << NoCode << NoCode;
    }
    void textsToCodes()
    {
        QFETCH(QString, day);
        QFETCH(QString, action);
        QFETCH(int, dayCode);
        QFETCH(int, actionCode);
        QCOMPARE(DayCodeOfText(day, ConstLang::TimerWeekTexts(ConstLang::English)), dayCode);
        QCOMPARE(ActionCodeOfText(action, ConstLang::TimerActionTexts(ConstLang::English)), actionCode);
    }

    void positionsAndCodes()
    {
        for (int position = 0; position < 7; ++position) {
            QCOMPARE(DayCodeOfPosition(position), position);
            QCOMPARE(DayPosition(position), position);
        }
        QCOMPARE(DayCodeOfPosition(EveryDayPosition), EveryDayCode);
        QCOMPARE(DayPosition(EveryDayCode), EveryDayPosition);
        QCOMPARE(DayPosition(7), EveryDayPosition);
        QCOMPARE(DayPosition(9), -1);
        QCOMPARE(DayCodeOfPosition(8), NoCode);
        QCOMPARE(DayCodeOfPosition(-1), NoCode);
        QCOMPARE(DayText(NoCode, ConstLang::TimerWeekTexts(ConstLang::English)), QString());
        QCOMPARE(ActionText(NoCode, ConstLang::TimerActionTexts(ConstLang::English)), QString());
    }
};

QTEST_GUILESS_MAIN(TestTimerCodes)
#include "tst_TimerCodes.moc"
