// INI reading and a profile load into plain values: the lines kept byte for
// byte, every kind of value a profile control reads, the list-view sections
// split into row fields, a written value read back, and a device text with
// control bytes written escaped and read back as it was.
#include "FuzzCheck.h"

#include "profiles/IniFile_Unt.h"

#include <algorithm>

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

    // A device text with control bytes is written escaped and read back as
    // it was, also from the bytes of the file, which hold no control bytes
    // but line ends.
    QString text;
    for (int index = 0; index < bytes.size() && index < 120; ++index)
        text += QChar(char16_t(quint8(bytes.at(index)) & 0x7F));
    const bool control = std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x20; });
    TIniFile fresh;
    if (control && fresh.WriteString(QStringLiteral("Value"), QStringLiteral("lbledt_Master_DevDes"), text)) {
        FUZZ_CHECK(fresh.ReadString(QStringLiteral("Value"), QStringLiteral("lbledt_Master_DevDes")) == text);
        const QByteArray written = fresh.Bytes();
        for (const char byte : written)
            FUZZ_CHECK(quint8(byte) >= 0x20 || byte == '\r' || byte == '\n');
        TIniFile loaded;
        loaded.SetBytes(written);
        FUZZ_CHECK(loaded.ReadString(QStringLiteral("Value"), QStringLiteral("lbledt_Master_DevDes")) == text);
    }
    return 0;
}
