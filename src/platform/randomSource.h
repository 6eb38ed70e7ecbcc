#pragma once

// A uniform pseudo-random source over [0, 1).
class RandomSource
{
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};
