// The screen file reader: the whole path from the file to the model with
// every check, then what the other layers make of a model that passed: the
// saved text must read back to the same model, and a screen without pictures
// must build and draw (the text rule over any bytes, no library and a
// GB2312-sized one). Pictures are not decoded: their paths name files of
// the machine, not of the input.
#include "fuzz_support.h"
#include "screen/screen_build.h"
#include "screen/screen_file.h"
#include "screen/screen_render.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzz::WriteInput(data, size, ".qels");
    CScreenDoc doc;
    QString error;
    if (!ReadScreenFile(path, &doc, &error)) {
        if (error.isEmpty())
            ::abort(); // every refusal says why
        return 0;
    }
    CScreenDoc again;
    if (!ParseScreenFile(SerializeScreenDoc(doc), doc.path, &again, &error) || !(again == doc))
        ::abort();
    if (static_cast<qint64>(doc.width) * doc.height > 256 * 256)
        return 0;
    for (size_t i = 0; i < doc.screens.size(); ++i) {
        bool pictures = false;
        for (const CScreenItem &it : doc.screens[i].items)
            pictures = pictures || it.kind == CItemKind::Picture;
        if (pictures)
            continue;
        CScreenPlan plan;
        if (!BuildScreenPlan(doc, static_cast<int>(i), &plan, &error))
            ::abort(); // checked files without pictures always build
        CScreenFonts fonts; // none: every text through the stand-in
        CScreenRendering rendering;
        RenderScreenPlan(plan, fonts, &rendering);
        if (rendering.image.width() != doc.width || rendering.image.height() != doc.height)
            ::abort();
    }
    return 0;
}
