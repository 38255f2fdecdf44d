#include "geometry/PTRandom.h"

#include <QDateTime>

#include <random>

namespace {

struct Generator
{
    std::mt19937 engine;
    bool seeded = false;
};

Generator& generator()
{
    static Generator g;
    return g;
}

} // namespace

double PTRandom::randomNumber()
{
    Generator& g = generator();
    if (!g.seeded)
        setSeed(static_cast<quint32>(QDateTime::currentSecsSinceEpoch()));
    // 31 random bits over 2^31, as the C library's random() gives them.
    const quint32 bits = static_cast<quint32>(g.engine()) >> 1;
    return bits / 2147483648.0;
}

double PTRandom::randomPositiveOrNegativeNumber()
{
    return randomNumber() - 0.5;
}

void PTRandom::setSeed(quint32 seed)
{
    Generator& g = generator();
    g.engine.seed(seed);
    g.seeded = true;
}
