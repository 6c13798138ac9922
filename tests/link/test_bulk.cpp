// The bulk worker: pieces, progress, hold and cancel, write failures.
#include <gtest/gtest.h>

#include "common/scripted_transport.h"
#include "link/bulk_send.h"
#include "link/terminal.h"

namespace {

struct BulkRun {
    std::vector<int> sizes;
    std::vector<int> progress;
    int result = -1;
};

BulkRun Send(int total, int failAt = -1)
{
    CScriptedTransport link;
    link.failWriteAt = failAt;
    std::vector<uint8_t> data(static_cast<size_t>(total), 0x42);
    CBulkWorker worker(link, data.data(), total);
    BulkRun run;
    EXPECT_TRUE(worker.Start([&](int t, int sent) {
        EXPECT_EQ(t, total);
        run.progress.push_back(sent);
    }));
    worker.Wait();
    run.result = worker.Result();
    for (const auto &w : link.writes)
        run.sizes.push_back(static_cast<int>(w.size()));
    return run;
}

// A host that asks "cancel?" after the given piece, and answers yes or no.
struct CancellingHost : CBulkHost {
    int askAfter;
    bool confirm;
    int asked = 0;
    std::vector<int> progress;
    CancellingHost(int after, bool yes) : askAfter(after), confirm(yes) {}
    int RunBulk(CBulkWorker &worker, int) override
    {
        worker.Start([&](int, int sent) {
            progress.push_back(sent);
            if (static_cast<int>(progress.size()) == askAfter) {
                // Held before the next piece while the question is open.
                worker.Hold();
                ++asked;
                if (confirm)
                    worker.Cancel();
                worker.Release();
            }
        });
        worker.Wait();
        return worker.Result();
    }
};

} // namespace

TEST(BulkTest, PiecesOfOnePercent)
{
    const BulkRun big = Send(153600);
    EXPECT_EQ(big.result, 1);
    ASSERT_EQ(big.sizes.size(), 100u);
    for (int s : big.sizes)
        EXPECT_EQ(s, 1536);
    EXPECT_EQ(big.progress.back(), 153600);
    EXPECT_EQ(Send(150).sizes, std::vector<int>(150, 1));
    EXPECT_EQ(Send(50).sizes, std::vector<int>(50, 1));
    const BulkRun odd = Send(1050);  // 100 pieces of 10 and a remainder of 50 in 5 more
    EXPECT_EQ(odd.sizes.size(), 105u);
    EXPECT_EQ(odd.progress.back(), 1050);
}

TEST(BulkTest, WriteFailureEndsWithZero)
{
    const BulkRun r = Send(1000, 3);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.sizes.size(), 4u);
    EXPECT_EQ(r.progress.size(), 3u);
}

TEST(BulkTest, ConfirmedCancelStopsAfterAtMostOneMorePiece)
{
    CScriptedTransport link;
    std::vector<uint8_t> data(153600, 1);
    CMyTerminal term;
    term.SetTransport(&link);
    CancellingHost yes(10, true);
    term.SetBulkHost(&yes);
    EXPECT_EQ(term.BulkSend(data.data(), 153600, BULK_TARGET_PICTURE), 0);
    EXPECT_EQ(yes.asked, 1);
    EXPECT_LE(link.writes.size(), 11u);

    CScriptedTransport link2;
    term.SetTransport(&link2);
    CancellingHost no(10, false);
    term.SetBulkHost(&no);
    EXPECT_EQ(term.BulkSend(data.data(), 153600, BULK_TARGET_PICTURE), 1);
    EXPECT_EQ(link2.writes.size(), 100u);
    EXPECT_EQ(no.progress.back(), 153600);
}

TEST(BulkTest, HoldKeepsTheWorkerBeforeItsNextPiece)
{
    CScriptedTransport link;
    std::vector<uint8_t> data(100, 1);
    CBulkWorker worker(link, data.data(), 100);
    std::atomic<int> pieces{0};
    worker.Hold();
    worker.Start([&](int, int) { ++pieces; });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(pieces.load(), 1);
    EXPECT_FALSE(worker.IsDone());
    worker.Release();
    worker.Wait();
    EXPECT_EQ(pieces.load(), 100);
    EXPECT_TRUE(worker.IsDone());
    EXPECT_EQ(worker.Result(), 1);
}
