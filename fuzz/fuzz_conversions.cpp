// The byte and text conversions of device fields: GBK text, hex text and
// bit strings, both ways.
#include "FuzzCheck.h"

#include "base/Funs_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // Byte 0: a field size / last index; the rest the bytes.
    const int fieldSize = data[0] % 72;
    const QByteArray bytes = FuzzBytes(data + 1, size - 1);

    const QString text = BytesToText(bytes, fieldSize - 1);
    FUZZ_CHECK(text == BytesToTextCount(bytes, fieldSize));
    FUZZ_CHECK(BytesToHexText(bytes, fieldSize).size() <= 2 * fieldSize);

    // Text back into a field: the field keeps its size and holds no more
    // characters than fit.
    QByteArray field;
    TextToBytes(text, field, fieldSize - 1);
    FUZZ_CHECK(field.size() == qMax(fieldSize, 0));
    FUZZ_CHECK(TextToBytes(text, fieldSize).size() == fieldSize);

    const QString asText = QString::fromLatin1(bytes);
    QByteArray hexField;
    if (!HexTextToBytes(asText, hexField, fieldSize - 1))
        FUZZ_CHECK(hexField.count('\0') == hexField.size());
    FUZZ_CHECK(hexField.size() == fieldSize);

    quint32 bits = 0;
    for (int index = 0; index < 4 && index < bytes.size(); ++index)
        bits = (bits << 8) | quint8(bytes.at(index));
    const QString bitText = BitsToText(bits, 32);
    FUZZ_CHECK(bitText.size() == 32 && bitText.count(u'0') + bitText.count(u'1') == 32);
    const QString unicode = QString::fromUtf8(bytes);
    FUZZ_CHECK(RemoveSpaces(unicode).count(u' ') == 0);
    return 0;
}
