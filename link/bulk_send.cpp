#include "link/bulk_send.h"

#include <algorithm>

CBulkWorker::CBulkWorker(CTransport &port, const uint8_t *data, int total)
    : m_port(port), m_data(data), m_total(total)
{
}

CBulkWorker::~CBulkWorker()
{
    Release();
    Wait();
}

int CBulkWorker::PieceSize(int total)
{
    return std::max(1, total / 100);
}

bool CBulkWorker::Start(ProgressFn progress)
{
    m_progress = std::move(progress);
    m_done = false;
    try {
        m_thread = std::thread(&CBulkWorker::Run, this);
    } catch (const std::system_error &) {
        m_done = true;
        m_result = 0;
        return false;
    }
    return true;
}

void CBulkWorker::Hold()
{
    std::lock_guard<std::mutex> lock(m_gateMutex);
    m_held = true;
}

void CBulkWorker::Release()
{
    {
        std::lock_guard<std::mutex> lock(m_gateMutex);
        m_held = false;
    }
    m_gateCv.notify_all();
}

void CBulkWorker::Cancel()
{
    m_cancel = true;
}

void CBulkWorker::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CBulkWorker::Run()
{
    m_result = 1;
    const int piece = PieceSize(m_total);
    int sent = 0;
    while (sent < m_total) {
        const int n = std::min(piece, m_total - sent);
        int written = 0;
        if (!m_port.Write(m_data + sent, n, &written) || written != n) {
            m_result = 0;
            break;
        }
        sent += n;
        m_sent = sent;
        ++m_writes;
        if (m_progress)
            m_progress(m_total, sent);
        {
            // The host holds the worker here while it asks about cancelling.
            std::unique_lock<std::mutex> lock(m_gateMutex);
            m_gateCv.wait(lock, [this] { return !m_held; });
        }
        if (m_cancel) {
            m_result = 0;
            break;
        }
    }
    m_done = true;
}

int CBulkHostPlain::RunBulk(CBulkWorker &worker, int /*target*/)
{
    if (!worker.Start(nullptr))
        return 0;
    worker.Wait();
    return worker.Result();
}
