// test_hooks.cpp - see test_hooks.h.
#include "host/test_hooks.h"

#if defined(GYREWELL_TEST_HOOKS)

int HostTestFault = 0;

void FaultOnPurpose() {
  // Both volatile: the compiler may neither see the null nor drop the store.
  volatile int* volatile nowhere = nullptr;
  *nowhere = 1;
}

#endif
