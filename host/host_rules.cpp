// host_rules.cpp - message tables and the close/verify state machine (see host_rules.h).
#include "host/host_rules.h"

static HostAction Act(unsigned steps, HostFinish finish, std::intptr_t value = 0) {
  HostAction action = {steps, finish, value};
  return action;
}

HostAction SaverWindowRule(const HostState& state, unsigned message, std::uintptr_t wParam) {
  const unsigned hide = state.previewMode ? 0u : static_cast<unsigned>(StepHideCursor);
  switch (message) {
    case MsgCreate:
      return Act(StepDetachIme | StepTakeAnchor | hide, HostFinish::Effect);
    case MsgDestroy: {
      const bool detached = state.imeModule && state.associateContext && state.savedInputContext;
      return Act((detached ? static_cast<unsigned>(StepRestoreIme) : 0u) | StepPostQuit, HostFinish::Effect);
    }
    case MsgSetText:
      return Act(0, HostFinish::Value, 0);
    case MsgPaint:
      if (state.closeAllowed) return Act(0, HostFinish::Default);
      return Act(hide, HostFinish::Effect);
    case MsgHelp:
    case MsgContextMenu:
      if (state.previewMode) return Act(StepNotifyParent, HostFinish::Value, 1);
      return Act(0, HostFinish::Effect);
    case MsgKeyDown:
    case MsgSysKeyDown:
    case MsgMouseMove:
    case MsgLButtonDown:
    case MsgRButtonDown:
    case MsgMButtonDown:
      return Act(0, state.closeAllowed ? HostFinish::Default : HostFinish::Effect);
    case MsgSysCommand:
      if (state.previewMode) return Act(0, HostFinish::Effect);
      switch (wParam & 0xFFF0u) {
        case ScNextWindow:
        case ScPrevWindow:
        case ScScreenSave:
          return Act(0, HostFinish::Value, 0);
        case ScMonitorPower:
          return Act(StepPostClose, HostFinish::Effect);
        default:
          return Act(0, HostFinish::Effect);
      }
    case MsgTimer:
      // The saver sets no timer of its own. A timer message that does come (a
      // system component may set one on the window) gives up the rest of the
      // time slice, so the window thread never competes with the animation,
      // and does nothing at all once the close is allowed.
      if (state.closeAllowed) return Act(0, HostFinish::Value, 0);
      return Act(StepYield, HostFinish::Effect);
    default:
      return Act(0, HostFinish::Effect);
  }
}

HostAction PowerBroadcastRule(std::uintptr_t event, std::intptr_t flags) {
  switch (event) {
    case PbtQuerySuspend:
      return Act(0, HostFinish::Value, 1);
    case PbtQueryStandby:
    case PbtQuerySuspendFailed:
    case PbtQueryStandbyFailed:
    case PbtSuspend:
    case PbtStandby:
      return Act(StepPostClose, HostFinish::Default);
    case PbtResumeCritical:
    case PbtResumeSuspend:
    case PbtResumeStandby:
    case PbtResumeAutomatic:
      return Act((flags & PbtfResumeFromFailure) ? 0u : static_cast<unsigned>(StepPostClose), HostFinish::Default);
    case PbtPowerStatusChange:
    case PbtPowerSettingChange:
      return Act(0, HostFinish::Default);
    default:
      return Act(StepPostClose, HostFinish::Default);
  }
}

HostAction SaverDefaultRule(const HostState& state, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
  if (state.previewMode || state.closeAllowed) return Act(0, HostFinish::Default);
  if (message == MsgClose) return Act(0, state.win9xFamily ? HostFinish::VerifyClose : HostFinish::Default);
  if (message == MsgApp) {
    if (!state.win9xFamily) return Act(0, HostFinish::Default);
    if (!state.verifyPassword) return Act(0, HostFinish::Value, 1);
    return Act(0, HostFinish::AskPassword);
  }
  if (state.verifying) return Act(0, HostFinish::Default);
  switch (message) {
    case MsgShowWindow:
      return Act(wParam ? static_cast<unsigned>(StepHideCursor) : 0u, HostFinish::Default);
    case MsgActivateApp:
      return Act(wParam ? 0u : static_cast<unsigned>(StepPostClose), HostFinish::Default);
    case MsgSetCursor:
      return Act(StepHideCursor, HostFinish::Value, 1);
    case MsgPower:
      return Act(wParam == PwrCriticalResume ? static_cast<unsigned>(StepPostClose) : 0u, HostFinish::Default);
    case MsgKeyDown:
    case MsgSysKeyDown:
    case MsgLButtonDown:
    case MsgRButtonDown:
    case MsgMButtonDown:
    case MsgDisplayChange:
    case MsgDpiChanged:
      return Act(StepPostClose, HostFinish::Default);
    case MsgMouseMove:
      return Act(0, HostFinish::MouseTravel);
    case MsgPowerBroadcast:
      return PowerBroadcastRule(wParam, lParam);
    default:
      return Act(0, HostFinish::Default);
  }
}

static std::uint32_t Distance(std::int32_t a, std::int32_t b) {
  const std::uint32_t ua = static_cast<std::uint32_t>(a);
  const std::uint32_t ub = static_cast<std::uint32_t>(b);
  return a >= b ? ua - ub : ub - ua;
}

bool MouseTravelCloses(HostState& state, HostPoint cursor) {
  const std::uint32_t travel = Distance(cursor.x, state.cursorAnchor.x) + Distance(cursor.y, state.cursorAnchor.y);
  if (travel <= MouseMoveThreshold) return false;
  state.cursorAnchor = cursor;
  return true;
}

VerifyGate BeginVerify(HostState& state, std::uint32_t now) {
  if (state.verifying) return VerifyGate::Refuse;
  if (!state.verifyPassword) {
    state.closeAllowed = true;
    return VerifyGate::Allow;
  }
  if (state.lastVerifyEnd != HostNever && now - state.lastVerifyEnd < ReaskGuardMs) return VerifyGate::Refuse;
  state.verifying = true;
  return VerifyGate::Ask;
}

bool EndVerify(HostState& state, std::intptr_t answer) {
  state.closeAllowed = answer != 0;
  state.verifying = false;
  return !state.closeAllowed;
}
