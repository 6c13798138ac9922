// A transport for tests: records what the terminal object writes and serves
// scripted replies. A responder sees every write and may queue reply bytes.
#pragma once

#include <algorithm>
#include <chrono>
#include <deque>
#include <thread>
#include <functional>
#include <mutex>
#include <vector>

#include "link/transport.h"

class CScriptedTransport : public CTransport {
public:
    using Bytes = std::vector<uint8_t>;

    bool open = true;
    int baud = 115200;
    uint32_t lastError = 0;
    int failWriteAt = -1;  // index of the write call that fails (-1: none)
    std::vector<Bytes> writes;
    int purges = 0;
    int reads = 0;
    std::function<void(CScriptedTransport &, const Bytes &)> responder;

    void Queue(const Bytes &bytes)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_input.insert(m_input.end(), bytes.begin(), bytes.end());
    }
    size_t Pending()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_input.size();
    }
    // All writes joined.
    Bytes Joined() const
    {
        Bytes all;
        for (const Bytes &w : writes)
            all.insert(all.end(), w.begin(), w.end());
        return all;
    }

    bool IsOpen() const override { return open; }
    void Close() override { open = false; }
    bool Write(const uint8_t *data, int size, int *written) override
    {
        const int index = static_cast<int>(writes.size());
        if (!open || index == failWriteAt) {
            *written = 0;
            lastError = 5;
            writes.emplace_back();
            return false;
        }
        writes.emplace_back(data, data + size);
        *written = size;
        lastError = 0;
        if (responder)
            responder(*this, writes.back());
        return true;
    }
    bool Read(uint8_t *data, int size, int *got) override
    {
        ++reads;
        *got = 0;
        if (!open)
            return false;
        std::lock_guard<std::mutex> lock(m_mutex);
        while (*got < size && !m_input.empty()) {
            data[(*got)++] = m_input.front();
            m_input.pop_front();
        }
        return true;
    }
    bool WaitReadable(int timeoutMs) override
    {
        if (Pending() > 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(timeoutMs, 5)));
        return Pending() > 0;
    }
    bool Purge(int flags) override
    {
        ++purges;
        if (flags & (QEL_PURGE_RXCLEAR | QEL_PURGE_RXABORT)) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_input.clear();
        }
        return open;
    }
    bool Drain() override { return open; }
    int GetPortBaud() override { return open ? baud : 0; }
    bool SetPortBaud(int b) override
    {
        baud = b;
        return open;
    }
    uint32_t GetLastError() const override { return lastError; }
    void SetLastError(uint32_t e) override { lastError = e; }

private:
    std::mutex m_mutex;
    std::deque<uint8_t> m_input;
};

// Records traffic reports.
#include "link/host.h"
struct CTrafficRecorder : CTrafficSink {
    struct Report {
        int direction;
        std::vector<uint8_t> bytes;
    };
    std::vector<Report> reports;
    void OnTraffic(int direction, int count, const uint8_t *bytes) override
    {
        reports.push_back({direction, std::vector<uint8_t>(bytes, bytes + count)});
    }
};
