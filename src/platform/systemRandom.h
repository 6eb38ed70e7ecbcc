#pragma once

#include "randomSource.h"

#include <QRandomGenerator>

class SystemRandom : public RandomSource
{
public:
    // Seeds from the time of day, once; the start-up sequence calls it.
    void seedFromTimeOfDay();
    double next() override;

private:
    QRandomGenerator m_generator;
};
