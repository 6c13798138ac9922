// The batch file reader: the whole load path from the file to the command
// list, with every check (size, node count, version, model, resolution,
// numbers, kinds). Saving what was loaded must give a file that loads again.
#include "batch/batch_file.h"
#include "batch/batch_host.h"
#include "fuzz_support.h"
#include "link/terminal.h"

namespace
{

class CQuietHost : public BATCHCMD::CBatchFileHost
{
  public:
    CMyTerminal &Terminal() override { return m_terminal; }
    int MessageBox(const QString &, int, int) override { return BATCHCMD::BATCH_ANSWER_OK; }
    void ShowStatusMessage(int, const QString &) override {}
    void ShowStatusProgress(const QString &, int) override {}

  private:
    CMyTerminal m_terminal;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CQuietHost host;
    const QString path = fuzz::WriteInput(data, size, ".kbz");
    BATCHCMD::CBatchFile file(host);
    file.AcceptAnyRes(size > 0 && (data[0] & 1));
    BATCHCMD::CBatchCmdList list;
    if (file.Load(path, list))
        BATCHCMD::CBatchFile::Serialize(list, 0);
    return 0;
}
