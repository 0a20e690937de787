// Compiled only by the level tests: PROBE_HEADER names a header that this
// target's level must not see, so the include below must fail.
#include PROBE_HEADER
