#include "systemTicks.h"

SystemTicks::SystemTicks()
{
    m_timer.start();
}

quint32 SystemTicks::tickCount() const
{
    return static_cast<quint32>(m_timer.elapsed());
}
