// Bulk transfer: a worker thread writes a data block in 1 % pieces while the
// host (progress dialog, CLI progress bar, test recorder) waits for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "link/transport.h"

// Which preview shows the progress of a transfer.
enum : int { BULK_TARGET_PICTURE = 0, BULK_TARGET_FONT = 1 };

class CBulkWorker {
public:
    // Called on the worker thread after every piece, synchronously: the
    // worker goes on only when it returns.
    using ProgressFn = std::function<void(int total, int sent)>;

    CBulkWorker(CTransport &port, const uint8_t *data, int total);
    ~CBulkWorker();  // waits for the thread
    CBulkWorker(const CBulkWorker &) = delete;
    CBulkWorker &operator=(const CBulkWorker &) = delete;

    // Starts the thread; false when it cannot be created.
    bool Start(ProgressFn progress);
    // While held the worker stops before its next piece (the host asks the
    // user whether to cancel meanwhile).
    void Hold();
    void Release();
    // Takes effect after the current piece.
    void Cancel();

    bool IsDone() const { return m_done.load(); }
    // Blocks until the worker has ended.
    void Wait();
    // 1 success, 0 failure or cancel.
    int Result() const { return m_result.load(); }

    int Total() const { return m_total; }
    int Sent() const { return m_sent.load(); }
    int Writes() const { return m_writes.load(); }
    // Piece size: total / 100, at least 1.
    static int PieceSize(int total);

private:
    void Run();

    CTransport &m_port;
    const uint8_t *m_data;
    int m_total;
    ProgressFn m_progress;
    std::thread m_thread;
    std::atomic<int> m_result{0};
    std::atomic<int> m_sent{0};
    std::atomic<int> m_writes{0};
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_done{false};
    std::mutex m_gateMutex;
    std::condition_variable m_gateCv;
    bool m_held = false;
};

// The host side of a transfer. RunBulk starts the worker, shows progress,
// may hold and cancel it, and returns only after the worker has ended.
class CBulkHost {
public:
    virtual ~CBulkHost() = default;
    virtual int RunBulk(CBulkWorker &worker, int target) = 0;
};

// Host without any display: starts the worker and waits for it.
class CBulkHostPlain : public CBulkHost {
public:
    int RunBulk(CBulkWorker &worker, int target) override;
};
