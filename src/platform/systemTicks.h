#pragma once

#include "tickSource.h"

#include <QElapsedTimer>

class SystemTicks : public TickSource
{
public:
    SystemTicks();
    quint32 tickCount() const override;

private:
    QElapsedTimer m_timer;
};
