// The debug window's notations of received bytes, and the line and
// frame-start marking of the texts they make.
#include "FuzzCheck.h"

#include "debug/ProtocolNotation_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    for (TDisplayMode mode : {TDisplayMode::Hex, TDisplayMode::Bits, TDisplayMode::Decimal, TDisplayMode::Ansi}) {
        const QString frame = FormatFrame(bytes, mode);
        const QString list = FormatByteList(bytes, mode);
        if (mode == TDisplayMode::Hex)
            FUZZ_CHECK(frame.size() == 3 * bytes.size());
        if (mode == TDisplayMode::Bits)
            FUZZ_CHECK(frame.size() == 9 * bytes.size());
        for (const QString &text : {frame, list}) {
            const QStringList lines = PaneLines(text);
            FUZZ_CHECK(CountLines(text) == lines.size());
            for (const QString &line : lines) {
                for (const TTextSpan &span : FrameStartMarks(line, mode))
                    FUZZ_CHECK(span.start >= 0 && span.length > 0 && span.start + span.length <= line.size());
            }
        }
    }
    return 0;
}
