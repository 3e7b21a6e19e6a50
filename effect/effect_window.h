// effect_window.h - the effect's window procedure, second stage of the saver
// window's message chain.
//
// EffectWindowProc acts on the messages it cares for and then passes every
// message, acted on or not, to SaverDefaultProc and returns its result.
#ifndef GYREWELL_EFFECT_WINDOW_H
#define GYREWELL_EFFECT_WINDOW_H

#include <windows.h>

LRESULT CALLBACK EffectWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
