// host_state.h - the screen-saver host's one process-wide record and the message
// numbers its portable rules speak about.
//
// HostState is touched only by the window thread. Every field starts zero, false
// or null, except lastVerifyEnd, which starts at HostNever ("no password dialog
// has ended yet"). Handles and looked-up entry points are kept as opaque
// pointers so that the rules in host_rules.h and command_tail.h build and test
// without <windows.h>; the Win32 shell casts them back to their real types.
//
//   instance, win9xFamily        set once by the entry before any mode runs
//   previewMode, saverWindow     set by RunSaverWindow
//   passwordModule, verifyPassword
//                                the legacy password module and its verifier,
//                                loaded only on the Windows 95/98/Me family
//   closeAllowed, verifying, lastVerifyEnd
//                                the close/verify state machine (host_rules.h)
//   cursorAnchor                 where mouse travel is measured from
//   imeModule, associateContext, savedInputContext
//                                the input method detached at creation
//
// The message and command numbers below are the Windows ones; the Win32 shell
// checks every one of them against <windows.h> at compile time.
#ifndef GYREWELL_HOST_STATE_H
#define GYREWELL_HOST_STATE_H

#include <cstdint>

// A looked-up entry point before it is cast to its real signature.
typedef void (*HostEntryPoint)(void);

struct HostPoint {
  std::int32_t x;
  std::int32_t y;
};

struct HostState {
  void* instance;
  bool win9xFamily;
  bool previewMode;
  void* saverWindow;
  void* passwordModule;
  HostEntryPoint verifyPassword;
  bool closeAllowed;
  bool verifying;
  std::uint32_t lastVerifyEnd;
  HostPoint cursorAnchor;
  void* imeModule;
  HostEntryPoint associateContext;
  void* savedInputContext;
};

constexpr std::uint32_t HostNever = 0xFFFFFFFFu;

// The largest mouse travel (|dx| + |dy| from the anchor) that leaves the saver up.
constexpr std::uint32_t MouseMoveThreshold = 4;

// After a password dialog ends, close requests are refused without asking for
// this many milliseconds, so the click or key that dismissed the dialog does not
// open it again at once.
constexpr std::uint32_t ReaskGuardMs = 200;

// A HostState in its starting values (constant, so the process's record is
// ready before any code runs).
constexpr HostState InitialHostState() {
  HostState state = {};
  state.lastVerifyEnd = HostNever;
  return state;
}

// The process's record.
extern HostState Host;

// Window messages.
constexpr unsigned MsgCreate = 0x0001;
constexpr unsigned MsgDestroy = 0x0002;
constexpr unsigned MsgSetText = 0x000C;
constexpr unsigned MsgPaint = 0x000F;
constexpr unsigned MsgClose = 0x0010;
constexpr unsigned MsgShowWindow = 0x0018;
constexpr unsigned MsgActivateApp = 0x001C;
constexpr unsigned MsgSetCursor = 0x0020;
constexpr unsigned MsgPower = 0x0048;
constexpr unsigned MsgHelp = 0x0053;
constexpr unsigned MsgContextMenu = 0x007B;
constexpr unsigned MsgDisplayChange = 0x007E;
constexpr unsigned MsgKeyDown = 0x0100;
constexpr unsigned MsgSysKeyDown = 0x0104;
constexpr unsigned MsgSysCommand = 0x0112;
constexpr unsigned MsgTimer = 0x0113;
constexpr unsigned MsgMouseMove = 0x0200;
constexpr unsigned MsgLButtonDown = 0x0201;
constexpr unsigned MsgRButtonDown = 0x0204;
constexpr unsigned MsgMButtonDown = 0x0207;
constexpr unsigned MsgPowerBroadcast = 0x0218;
constexpr unsigned MsgDpiChanged = 0x02E0;
constexpr unsigned MsgApp = 0x8000;  // the host's "verify the password now"

// System commands (wParam of MsgSysCommand, masked with 0xFFF0).
constexpr std::uintptr_t ScNextWindow = 0xF040;
constexpr std::uintptr_t ScPrevWindow = 0xF050;
constexpr std::uintptr_t ScScreenSave = 0xF140;
constexpr std::uintptr_t ScMonitorPower = 0xF170;

// wParam of MsgPower when the system resumes from a critical suspension.
constexpr std::uintptr_t PwrCriticalResume = 3;

// Power-broadcast events (wParam of MsgPowerBroadcast) and the resume flag.
constexpr std::uintptr_t PbtQuerySuspend = 0x0;
constexpr std::uintptr_t PbtQueryStandby = 0x1;
constexpr std::uintptr_t PbtQuerySuspendFailed = 0x2;
constexpr std::uintptr_t PbtQueryStandbyFailed = 0x3;
constexpr std::uintptr_t PbtSuspend = 0x4;
constexpr std::uintptr_t PbtStandby = 0x5;
constexpr std::uintptr_t PbtResumeCritical = 0x6;
constexpr std::uintptr_t PbtResumeSuspend = 0x7;
constexpr std::uintptr_t PbtResumeStandby = 0x8;
constexpr std::uintptr_t PbtBatteryLow = 0x9;
constexpr std::uintptr_t PbtPowerStatusChange = 0xA;
constexpr std::uintptr_t PbtOemEvent = 0xB;
constexpr std::uintptr_t PbtResumeAutomatic = 0x12;
constexpr std::uintptr_t PbtPowerSettingChange = 0x8013;
constexpr std::intptr_t PbtfResumeFromFailure = 0x1;

#endif
