// animation_thread.h - the thread that runs the animation in the saver.
//
// AnimationThread(window) is the thread's entry; the window procedure starts it
// as the last step of creation with the saver window as its argument, after the
// surfaces exist, the sheet is imported and the desktop copied. It sets up the
// scene (scene.h), starts the slots with a 1 ms sleep after each, and then runs
// frames until AnimationStopRequested is set: compose, wait out the interval,
// present, move.
//
// ScanPreviewSwitch() is the effect's own reading of the command line: 1
// (PreviewOn) when it holds /p or /P before any /s or /S, else 0. The window
// procedure stores it as PreviewFlag.
#ifndef GYREWELL_ANIMATION_THREAD_H
#define GYREWELL_ANIMATION_THREAD_H

#include <windows.h>

#include <cstdint>

DWORD WINAPI AnimationThread(LPVOID window);
std::int32_t ScanPreviewSwitch();

#endif
