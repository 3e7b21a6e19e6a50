// host_state.cpp - the host's record and its starting values.
#include "host/host_state.h"

HostState InitialHostState() {
  HostState state = {};
  state.lastVerifyEnd = HostNever;
  return state;
}

HostState Host = InitialHostState();
