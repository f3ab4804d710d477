/* A tiny library for the loader's tests: one function to bind by name. */
#include <stdint.h>

__attribute__((visibility("default"))) int32_t ProbeAdd(int32_t a, int32_t b)
{
    return a + b;
}
