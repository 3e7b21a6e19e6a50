// host_rules.h - what the host's window procedures do with each message, and the
// close/verify state machine, as plain decisions over HostState.
//
// The Win32 shells (saver_window.cpp, saver_default.cpp) ask a rule what to do
// and carry it out: first the steps that are set, in the order of HostStep,
// then the finish. Nothing here calls the system.
//
// SaverWindowRule: the class window procedure, in front of the effect.
//   create       detach the input method, take the cursor anchor, hide the
//                cursor (not in preview), then the effect
//   destroy      give the input context back (if one was detached), post quit,
//                then the effect
//   set text     refused with 0
//   paint        after the close is allowed: default only; else hide the
//                cursor (not in preview), then the effect
//   help, context menu
//                preview: repost to the parent, answer 1; saver: the effect
//   key/button down, mouse move
//                after the close is allowed: default only; else the effect
//   system command (saver only)
//                next/previous window and screen save swallowed with 0;
//                monitor power posts a close, then the effect
//   timer        after the close is allowed: 0; else yield, then the effect
//   anything else
//                the effect
//
// SaverDefaultRule: the last stage of the chain, checks in this order:
//   preview or close allowed: default. Close: default outside the 95/98/Me
//   family, else VerifyClose. MsgApp: default outside that family, 1 without a
//   verifier, else AskPassword. While verifying: default. Then by message:
//   show (wParam != 0) hides the cursor; deactivation, key and button presses,
//   a critical resume and a change of the displays (a monitor added or
//   removed, a new resolution or scale: the fields no longer fit them) post a
//   close; set-cursor hides the cursor and answers 1; mouse moves go through
//   MouseTravelCloses; power broadcasts through PowerBroadcastRule.
//
// MouseTravelCloses: travel is |dx| + |dy| from cursorAnchor, as unsigned 32-bit;
//   above MouseMoveThreshold it closes and the anchor moves to the position,
//   otherwise the anchor stays, so small moves add up.
//
// BeginVerify / EndVerify: VerifyBeforeClose without its system calls.
//   BeginVerify refuses while a dialog runs and within ReaskGuardMs of the last
//   one's end (unsigned difference, so a tick-count wrap is harmless), allows at
//   once without a verifier (closeAllowed becomes true), and otherwise marks
//   verifying and answers Ask: the shell then drops pending timer messages,
//   sends MsgApp through the chain and hands the answer to EndVerify, which
//   stores it and clears verifying; when it answers true the shell hides the
//   cursor again, and finally stores the tick count in lastVerifyEnd.
#ifndef GYREWELL_HOST_RULES_H
#define GYREWELL_HOST_RULES_H

#include <cstdint>

#include "host/host_state.h"

// Steps before the finish, carried out in this order.
enum HostStep : unsigned {
  StepDetachIme = 1u << 0,
  StepTakeAnchor = 1u << 1,
  StepHideCursor = 1u << 2,
  StepRestoreIme = 1u << 3,
  StepPostQuit = 1u << 4,
  StepPostClose = 1u << 5,
  StepNotifyParent = 1u << 6,  // repost to the parent, wParam = the parent
  StepYield = 1u << 7,         // Sleep(0)
};

enum class HostFinish {
  Effect,       // return what EffectWindowProc returns
  Default,      // return what DefWindowProcA returns
  Value,        // return HostAction::value
  VerifyClose,  // VerifyBeforeClose: non-zero -> default; else anchor, return 0
  AskPassword,  // return what verifyPassword returns for the window
  MouseTravel,  // read the cursor, MouseTravelCloses, then default
};

struct HostAction {
  unsigned steps;
  HostFinish finish;
  std::intptr_t value;
};

enum class VerifyGate { Refuse, Allow, Ask };

HostAction SaverWindowRule(const HostState& state, unsigned message, std::uintptr_t wParam);
HostAction SaverDefaultRule(const HostState& state, unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
HostAction PowerBroadcastRule(std::uintptr_t event, std::intptr_t flags);
bool MouseTravelCloses(HostState& state, HostPoint cursor);
VerifyGate BeginVerify(HostState& state, std::uint32_t now);
bool EndVerify(HostState& state, std::intptr_t answer);

#endif
