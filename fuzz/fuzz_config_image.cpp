// The configuration image decoder on arbitrary memory, and the round trip:
// whatever decodes for a known model must encode back without error, and the image built from
// those values decodes to the same values.
#include "FuzzCheck.h"

#include "config/ConfigImage_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    // First byte: the model index (0 K801, 1 K802, 2 K803, 3 not known yet).
    const int modelIndex = data[0] % 4;
    const TDataPack image = FuzzBytes(data + 1, size - 1);
    const TDecodeResult decoded = DecodeImage(image, modelIndex);
    if (image.size() < ConfigMap::ImageSize) {
        FUZZ_CHECK(!decoded.Ok());
        return 0;
    }
    if (!decoded.Ok())
        return 0;
    const TEncodeResult encoded = EncodeImage(decoded.Values, modelIndex);
    // Without a known model there are no channel rows, and nothing is encoded.
    if (SensorRowCount(modelIndex) == 0) {
        FUZZ_CHECK(encoded.Error.Code == TConfigErrorCode::MissingChannels);
        return 0;
    }
    if (!encoded.Ok()) {
        std::fprintf(stderr, "encode failed at %s: %s\n", qPrintable(encoded.Error.Control),
                     qPrintable(encoded.Error.Text));
    }
    FUZZ_CHECK(encoded.Ok());
    FUZZ_CHECK(encoded.Image.size() == ConfigMap::ImageSize);
    const TDecodeResult again = DecodeImage(encoded.Image, modelIndex);
    FUZZ_CHECK(again.Ok());
    const TEncodeResult twice = EncodeImage(again.Values, modelIndex);
    FUZZ_CHECK(twice.Ok() && twice.Image == encoded.Image);
    return 0;
}
