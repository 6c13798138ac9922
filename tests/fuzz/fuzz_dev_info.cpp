// The device-information parser and its pattern matcher: the input is the
// text as it comes off the wire; a second run uses its first line as the
// pattern and the rest as the text.
#include "link/pattern.h"
#include "link/terminal.h"
#include "link/wire_text.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    static CMyTerminal terminal;
    terminal.ParseDeviceInfo(WireToText(bytes));

    const qsizetype cut = bytes.indexOf('\n');
    if (cut >= 0) {
        QStringList captures;
        if (PatternSearch(QString::fromLatin1(bytes.left(cut)), QString::fromLatin1(bytes.mid(cut + 1)),
                          &captures))
            for (const QString &c : captures)
                CaptureToInt(c, 31);
    }
    return 0;
}
