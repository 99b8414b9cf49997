#pragma once
// libsodium must be set up once before its first use; this may be called
// before each use. False only when the library cannot work at all (no
// source of random numbers), and then nothing may be hashed or drawn.
bool SodiumReady();
