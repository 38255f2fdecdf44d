#pragma once

// The random source of the path toolkit's jitter. One process-wide generator: seeded from
// the clock on first use unless setSeed() came first, so a seeded run repeats exactly.

#include <QtGlobal>

class PTRandom
{
public:
    PTRandom() = delete;

    // A double in [0, 1).
    static double randomNumber();
    // randomNumber() - 0.5: a double in [-0.5, 0.5).
    static double randomPositiveOrNegativeNumber();
    // Restarts the sequence; the same seed gives the same numbers.
    static void setSeed(quint32 seed);
};
