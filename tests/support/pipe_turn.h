// The helper pipe's name is the same for every process on the machine, so tests that make the
// module talk to it take turns: a helper one test serves must not answer another test's module,
// nor be told to end by it.
#pragma once

#include "base/named_mutex.h"

// Held for a whole test.
class PipeTurn {
    NamedMutexLock m_turn{L"TorvexTests.HelperPipe", INFINITE};
};
