#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// A broken property is a crash, so that libFuzzer keeps the input that shows it.
inline void require(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

// A program folder of this fuzzing process (in memory where the machine has /dev/shm), made
// once and reused by every input.
QString fuzzProgramFolder();
