#pragma once

// A uniform pseudo-random source over [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Seeds the source from the time of day; the start-up sequence calls it once.
    virtual void seedFromTimeOfDay() = 0;
    virtual double next() = 0;
};
