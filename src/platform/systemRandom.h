#pragma once

#include "randomSource.h"

#include <QRandomGenerator>

class SystemRandom : public RandomSource
{
public:
    void seedFromTimeOfDay() override;
    double next() override;

private:
    QRandomGenerator m_generator;
};
