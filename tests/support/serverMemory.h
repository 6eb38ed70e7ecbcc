#pragma once

#include <QtGlobal>

// What a process holds in memory, from /proc/<pid>/status; -1 where it cannot be read.
struct ServerMemory
{
    qint64 peakKiB = -1;     // VmHWM: the most it ever held
    qint64 residentKiB = -1; // VmRSS: what it holds now
};

ServerMemory serverMemory(qint64 pid);
