// The virtual terminal's side: its frame parser and the model that carries
// out each frame and data block, on a small screen.
#include "frame_parser.h"
#include "fuzz_support.h"
#include "terminal_model.h"

using namespace qelsim;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartGuiApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SimConfig config;
    config.width = 32;
    config.height = 16;
    config.slotCount = 4;
    if (size > 0)
        config.profile = static_cast<Profile>(data[0] % 3);
    CTerminalModel model(config);
    CFrameParser parser;
    parser.Append(reinterpret_cast<const char *>(data), static_cast<int>(size));
    Frame frame;
    while (parser.Next(&frame)) {
        const FrameOutcome outcome = model.OnFrame(frame);
        if (outcome.block != BlockKind::None) {
            // What follows is the block, as much of it as the input holds.
            QByteArray rest = parser.TakeRest();
            const qsizetype take =
                outcome.blockSize > 0 ? qMin<qsizetype>(rest.size(), outcome.blockSize) : rest.size();
            model.OnBlock(rest.left(take));
            parser.Append(rest.constData() + take, static_cast<int>(rest.size() - take));
        }
    }
    return 0;
}
