#include "rateLimiter.h"

namespace {

constexpr auto window = std::chrono::minutes(1);

} // namespace

bool RateLimiter::allow(const std::string &address, Clock::time_point now)
{
    const std::lock_guard lock(m_mutex);
    forgetIdle(now);
    std::deque<Clock::time_point> &times = m_recent[address];
    while (!times.empty() && now - times.front() >= window)
        times.pop_front();
    if (static_cast<int>(times.size()) >= m_limit)
        return false;
    times.push_back(now);
    return true;
}

// Addresses quiet for a minute are dropped once a minute, so the table only holds the
// addresses of the last minute or two.
void RateLimiter::forgetIdle(Clock::time_point now)
{
    if (now - m_lastSweep < window)
        return;
    m_lastSweep = now;
    for (auto it = m_recent.begin(); it != m_recent.end();) {
        if (it->second.empty() || now - it->second.back() >= window)
            it = m_recent.erase(it);
        else
            ++it;
    }
}
