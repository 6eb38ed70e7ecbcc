#pragma once

#include <QtGlobal>

// A millisecond count that wraps around at 32 bits, like the system's tick count.
class TickSource
{
public:
    virtual ~TickSource() = default;
    virtual quint32 tickCount() const = 0;
};

// Milliseconds from start to now, right across a wrap of the counter (up to 49 days).
constexpr qint64 elapsedTicks(quint32 start, quint32 now)
{
    return static_cast<quint32>(now - start);
}
