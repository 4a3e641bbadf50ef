// INI reading and a profile load into plain values: the lines kept byte for
// byte, every kind of value a profile control reads, the list-view sections
// split into row fields, and a written value read back.
#include "FuzzCheck.h"

#include "profiles/IniFile_Unt.h"

namespace {

// Keys of the [Value] section and list-view sections as profiles hold them.
const char *const kValueKeys[] = {"lbledt_Main_Password", "lbledt_GprsRegDat", "CheckBox1",
                                  "cbb_GprsProtocol", "dtp_DailyReport", "Edit1"};
const char *const kListSections[] = {"lvTh", "lvDo", "lvTimer", "lvTelephone"};
const char *const kRowCaptions[] = {"Temperature1", "DOUT1", "1", " 10 "};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    TIniFile ini;
    ini.SetBytes(bytes);
    // Lines keep their bytes and line ends.
    FUZZ_CHECK(ini.Bytes() == bytes);

    for (const char *key : kValueKeys) {
        const QString name = QString::fromLatin1(key);
        const QString text = ini.ReadString(QStringLiteral("Value"), name);
        FUZZ_CHECK(ini.KeyExists(QStringLiteral("Value"), name) || text.isEmpty());
        ini.ReadInteger(QStringLiteral("Value"), name, 0);
        ini.ReadBool(QStringLiteral("Value"), name, false);
        const QTime time = ini.ReadTime(QStringLiteral("Value"), name, QTime(1, 2, 3));
        FUZZ_CHECK(time.isValid());
    }
    for (const char *section : kListSections) {
        const std::vector<TIniEntry> entries = ini.SectionEntries(QString::fromLatin1(section));
        for (const char *caption : kRowCaptions) {
            const std::optional<QString> value = FindRowValue(entries, QString::fromLatin1(caption));
            if (value) {
                for (int columns : {2, 7, 13})
                    FUZZ_CHECK(int(SplitListValue(*value, columns).size()) == columns - 1);
            }
        }
    }
    FUZZ_CHECK(ini.SectionNames().size() <= bytes.count('[') + 1);

    // A written value reads back, and the other sections keep their names.
    const QStringList sections = ini.SectionNames();
    if (ini.WriteString(QStringLiteral("Value"), QStringLiteral("lbledt_GprsRegDat"), QStringLiteral("AT+1"))) {
        FUZZ_CHECK(ini.ReadString(QStringLiteral("Value"), QStringLiteral("lbledt_GprsRegDat"))
                   == QStringLiteral("AT+1"));
        for (const QString &section : sections)
            FUZZ_CHECK(ini.SectionExists(section));
    }
    return 0;
}
