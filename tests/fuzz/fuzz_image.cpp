// The image loader: file bytes in, a picture fitted to a 320 x 240 terminal
// out (or a refusal), under the decode caps.
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
    static const char *const suffixes[] = {".png", ".jpg", ".gif", ".bmp", ".svg", ".ico", ".xpm", ".tga"};
    const char *suffix = size > 0 ? suffixes[data[0] % 8] : ".png";
    const QString path = fuzz::WriteInput(size > 0 ? data + 1 : data, size > 0 ? size - 1 : 0, suffix);
    QString error;
    const QImage image = LoadFittedImage(path, 320, 240, 0x21006, 0x00FFFFFFu, true, &error);
    if (!image.isNull() && image.size() != QSize(320, 240))
        __builtin_trap();
    return 0;
}
