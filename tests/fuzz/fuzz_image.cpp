// The image loader: file bytes in, a picture fitted to a 320 x 240 terminal
// (or to 16 x 12, which sends most JPEGs through the scaled libjpeg decode)
// out, or a refusal, under the decode caps.
#include "fuzz_support.h"
#include "imaging/image_fit.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The first byte picks the file name's suffix: the decoders take it as
    // a hint, and some formats have no signature.
    // Its bit 3 picks the small terminal.
    static const char *const suffixes[] = {".png", ".jpg", ".gif", ".bmp", ".svg", ".ico", ".xpm", ".tga"};
    const char *suffix = size > 0 ? suffixes[data[0] % 8] : ".png";
    const QSize terminal = size > 0 && (data[0] & 8) ? QSize(16, 12) : QSize(320, 240);
    const QString path = fuzz::WriteInput(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0, suffix);
    QString error;
    const QImage image =
        LoadFittedImage(path, terminal.width(), terminal.height(), 0x21006, 0x00FFFFFFu, true, &error);
    if (!image.isNull() && image.size() != terminal)
        __builtin_trap();
    return 0;
}
