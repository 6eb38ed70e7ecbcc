#pragma once

#include <chrono>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>

// At most `limit` accepted events per client address within any minute. Thread-safe.
class RateLimiter
{
public:
    using Clock = std::chrono::steady_clock;

    explicit RateLimiter(int limit)
        : m_limit(limit)
    {
    }

    // Counts the event and gives true when it is within the limit.
    bool allow(const std::string &address, Clock::time_point now);

private:
    void forgetIdle(Clock::time_point now);

    const int m_limit;
    std::mutex m_mutex;
    std::unordered_map<std::string, std::deque<Clock::time_point>> m_recent;
    Clock::time_point m_lastSweep{};
};
