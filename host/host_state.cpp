// host_state.cpp - the host's record.
#include "host/host_state.h"

HostState Host = InitialHostState();
