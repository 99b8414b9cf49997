#include "web/sodiumready.h"

#include <sodium.h>

bool SodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}
