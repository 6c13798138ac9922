// Helpers of the imaging tests: test data, temporary files, a terminal with
// a scripted peer and a status recorder.
#pragma once

#include "common/scripted_transport.h"
#include "link/host.h"
#include "link/terminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <utility>
#include <vector>

inline QString ImagingData(const QString &name)
{
    QString base = qEnvironmentVariable("QEL_TEST_DATA");
    if (base.isEmpty())
        base = QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(QStringLiteral("../data"));
    return base + QStringLiteral("/imaging/") + name;
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

struct CStatusRecorder : CStatusSink {
    std::vector<std::pair<int, QString>> messages;
    void ShowStatusMessage(int kind, const QString &text) override { messages.emplace_back(kind, text); }
    void ShowStatusProgress(const QString &, int) override {}
};

// A terminal whose line is a scripted peer. The peer answers a frame with
// 0xFC and the data block that follows with `closing` once `expect` bytes
// have arrived. Replies that never come fail at once.
struct CPeerTerminal {
    CScriptedTransport link;
    CMyTerminal terminal;
    CStatusRecorder status;
    bool answer = true;
    uint8_t closing = 0xFE;
    size_t expect = 0;
    size_t received = 0;
    bool inBlock = false;
    std::vector<uint8_t> frame; // the last frame
    std::vector<uint8_t> block; // the data block after it

    explicit CPeerTerminal(int bitsPerPixel, int width = 0, int height = 0)
    {
        terminal.SetTransport(&link);
        terminal.SetStatusSink(&status);
        terminal.readTries = 1;
        terminal.readInterval = 20;
        CDevInfo &info = terminal.Info();
        info.bitsPerPixel = bitsPerPixel;
        info.pixelFormat = bitsPerPixel == 24 ? 0x21808 : 0x21006;
        info.width = width;
        info.height = height;
        info.legacy = 0;
        info.hardFont = 0;
        link.responder = [this](CScriptedTransport &t, const CScriptedTransport::Bytes &w) {
            if (!inBlock) {
                frame = w;
                block.clear();
                received = 0;
                inBlock = true;
                if (answer)
                    t.Queue({0xFC});
                return;
            }
            block.insert(block.end(), w.begin(), w.end());
            received += w.size();
            if (received >= expect) {
                inBlock = false;
                if (answer)
                    t.Queue({closing});
            }
        };
    }
};
