#include "systemRandom.h"

#include <QTime>

void SystemRandom::seedFromTimeOfDay()
{
    m_generator.seed(static_cast<quint32>(QTime::currentTime().msecsSinceStartOfDay()));
}

double SystemRandom::next()
{
    return m_generator.generateDouble();
}
