// test_hooks.h - faults on purpose, in the test build GyrewellHooked.scr only.
//
// The end-to-end tests prove the exception guard (entry.h) with a fault inside
// a mode. The switch "/zd" faults while the mode is chosen; "/zc" and "/zk" run
// the saver and fault in the saver window's WM_CREATE or on a key press. "/zm"
// runs the saver as if the memory for drawing larger on a high-DPI display
// could not be had. None of this is compiled into Gyrewell.scr.
#ifndef GYREWELL_TEST_HOOKS_H
#define GYREWELL_TEST_HOOKS_H

#if defined(GYREWELL_TEST_HOOKS)

// 0 none, 'c' fault in WM_CREATE, 'k' fault on a key press, 'm' no surfaces
// for a drawing scale above 1.
extern int HostTestFault;

// Writes through a null pointer.
void FaultOnPurpose();

#endif

#endif
