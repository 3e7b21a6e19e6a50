// The saver window's message tables and the close/verify state machine.
#include <gtest/gtest.h>

#include "host/host_rules.h"

namespace {

HostState Saver() { return InitialHostState(); }

HostState Preview() {
  HostState state = InitialHostState();
  state.previewMode = true;
  return state;
}

HostState Win9x(bool withPassword) {
  HostState state = InitialHostState();
  state.win9xFamily = true;
  if (withPassword) state.verifyPassword = reinterpret_cast<HostEntryPoint>(&InitialHostState);
  return state;
}

void ExpectAction(const HostAction& action, unsigned steps, HostFinish finish, std::intptr_t value = 0) {
  EXPECT_EQ(action.steps, steps);
  EXPECT_EQ(action.finish, finish);
  if (finish == HostFinish::Value) {
    EXPECT_EQ(action.value, value);
  }
}

TEST(HostWindowRule, CreateAndDestroy) {
  ExpectAction(SaverWindowRule(Saver(), MsgCreate, 0), StepDetachIme | StepTakeAnchor | StepHideCursor,
               HostFinish::Effect);
  ExpectAction(SaverWindowRule(Preview(), MsgCreate, 0), StepDetachIme | StepTakeAnchor, HostFinish::Effect);

  HostState state = Saver();
  ExpectAction(SaverWindowRule(state, MsgDestroy, 0), StepPostQuit, HostFinish::Effect);
  int stand_in = 0;
  state.imeModule = &stand_in;
  state.associateContext = reinterpret_cast<HostEntryPoint>(&InitialHostState);
  ExpectAction(SaverWindowRule(state, MsgDestroy, 0), StepPostQuit, HostFinish::Effect);  // no context saved
  state.savedInputContext = &stand_in;
  ExpectAction(SaverWindowRule(state, MsgDestroy, 0), StepRestoreIme | StepPostQuit, HostFinish::Effect);
}

TEST(HostWindowRule, TitlePaintAndHelp) {
  ExpectAction(SaverWindowRule(Saver(), MsgSetText, 0), 0, HostFinish::Value, 0);
  ExpectAction(SaverWindowRule(Preview(), MsgSetText, 0), 0, HostFinish::Value, 0);

  ExpectAction(SaverWindowRule(Saver(), MsgPaint, 0), StepHideCursor, HostFinish::Effect);
  ExpectAction(SaverWindowRule(Preview(), MsgPaint, 0), 0, HostFinish::Effect);
  HostState closing = Saver();
  closing.closeAllowed = true;
  ExpectAction(SaverWindowRule(closing, MsgPaint, 0), 0, HostFinish::Default);

  for (unsigned message : {MsgHelp, MsgContextMenu}) {
    ExpectAction(SaverWindowRule(Preview(), message, 0), StepNotifyParent, HostFinish::Value, 1);
    ExpectAction(SaverWindowRule(Saver(), message, 0), 0, HostFinish::Effect);
  }
}

TEST(HostWindowRule, InputStopsReachingTheEffectOnceClosing) {
  HostState closing = Saver();
  closing.closeAllowed = true;
  for (unsigned message :
       {MsgKeyDown, MsgSysKeyDown, MsgMouseMove, MsgLButtonDown, MsgRButtonDown, MsgMButtonDown}) {
    ExpectAction(SaverWindowRule(Saver(), message, 0), 0, HostFinish::Effect);
    ExpectAction(SaverWindowRule(closing, message, 0), 0, HostFinish::Default);
  }
  ExpectAction(SaverWindowRule(Saver(), MsgTimer, 7), StepYield, HostFinish::Effect);
  ExpectAction(SaverWindowRule(closing, MsgTimer, 7), 0, HostFinish::Value, 0);
  for (unsigned message : {MsgClose, MsgApp, MsgSetCursor, MsgActivateApp, MsgPowerBroadcast, 0x0401u}) {
    ExpectAction(SaverWindowRule(Saver(), message, 0), 0, HostFinish::Effect);
  }
}

TEST(HostWindowRule, SystemCommands) {
  const HostState saver = Saver();
  for (std::uintptr_t command : {ScNextWindow, ScPrevWindow, ScScreenSave, ScScreenSave | 0xF}) {
    ExpectAction(SaverWindowRule(saver, MsgSysCommand, command), 0, HostFinish::Value, 0);
  }
  ExpectAction(SaverWindowRule(saver, MsgSysCommand, ScMonitorPower | 2), StepPostClose, HostFinish::Effect);
  ExpectAction(SaverWindowRule(saver, MsgSysCommand, 0xF060), 0, HostFinish::Effect);  // SC_CLOSE
  for (std::uintptr_t command : {ScNextWindow, ScScreenSave, ScMonitorPower}) {
    ExpectAction(SaverWindowRule(Preview(), MsgSysCommand, command), 0, HostFinish::Effect);
  }
}

TEST(HostDefaultRule, MessageTable) {
  const HostState s = Saver();
  ExpectAction(SaverDefaultRule(s, MsgShowWindow, 1, 0), StepHideCursor, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgShowWindow, 0, 0), 0, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgActivateApp, 0, 0), StepPostClose, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgActivateApp, 1, 0), 0, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgSetCursor, 0, 0), StepHideCursor, HostFinish::Value, 1);
  ExpectAction(SaverDefaultRule(s, MsgPower, PwrCriticalResume, 0), StepPostClose, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgPower, 1, 0), 0, HostFinish::Default);
  for (unsigned message :
       {MsgKeyDown, MsgSysKeyDown, MsgLButtonDown, MsgRButtonDown, MsgMButtonDown, MsgDisplayChange, MsgDpiChanged}) {
    ExpectAction(SaverDefaultRule(s, message, 0, 0), StepPostClose, HostFinish::Default);
  }
  ExpectAction(SaverDefaultRule(s, MsgMouseMove, 0, 0), 0, HostFinish::MouseTravel);
  // Key releases, characters, the wheel, extra buttons and button releases leave it up.
  for (unsigned message : {0x101u, 0x102u, 0x105u, 0x20Au, 0x20Bu, 0x20Eu, 0x202u, 0x203u, 0x205u}) {
    ExpectAction(SaverDefaultRule(s, message, 0, 0), 0, HostFinish::Default);
  }
  ExpectAction(SaverDefaultRule(s, MsgClose, 0, 0), 0, HostFinish::Default);
  ExpectAction(SaverDefaultRule(s, MsgApp, 0, 0), 0, HostFinish::Default);
}

TEST(HostDefaultRule, OrderedChecks) {
  // A preview and a closing saver get default processing for everything.
  HostState closing = Win9x(true);
  closing.closeAllowed = true;
  HostState preview = Win9x(true);
  preview.previewMode = true;
  for (const HostState& state : {preview, closing}) {
    for (unsigned message : {MsgClose, MsgApp, MsgKeyDown, MsgLButtonDown, MsgMouseMove, MsgActivateApp,
                             MsgSetCursor, MsgShowWindow, MsgPowerBroadcast}) {
      ExpectAction(SaverDefaultRule(state, message, 0, 0), 0, HostFinish::Default);
    }
  }
  ExpectAction(SaverDefaultRule(Win9x(false), MsgClose, 0, 0), 0, HostFinish::VerifyClose);
  ExpectAction(SaverDefaultRule(Win9x(false), MsgApp, 0, 0), 0, HostFinish::Value, 1);
  ExpectAction(SaverDefaultRule(Win9x(true), MsgApp, 0, 0), 0, HostFinish::AskPassword);

  // While the password dialog runs, close and the request still go their way;
  // input does nothing.
  HostState verifying = Win9x(true);
  verifying.verifying = true;
  ExpectAction(SaverDefaultRule(verifying, MsgClose, 0, 0), 0, HostFinish::VerifyClose);
  ExpectAction(SaverDefaultRule(verifying, MsgApp, 0, 0), 0, HostFinish::AskPassword);
  for (unsigned message : {MsgKeyDown, MsgLButtonDown, MsgMouseMove, MsgActivateApp, MsgSetCursor}) {
    ExpectAction(SaverDefaultRule(verifying, message, 0, 0), 0, HostFinish::Default);
  }
  ExpectAction(SaverDefaultRule(verifying, MsgPowerBroadcast, PbtSuspend, 0), 0, HostFinish::Default);
}

TEST(HostDefaultRule, PowerBroadcast) {
  ExpectAction(PowerBroadcastRule(PbtQuerySuspend, 0), 0, HostFinish::Value, 1);
  for (std::uintptr_t event : {PbtQueryStandby, PbtQuerySuspendFailed, PbtQueryStandbyFailed, PbtSuspend, PbtStandby,
                               PbtBatteryLow, PbtOemEvent, std::uintptr_t{0x13}, std::uintptr_t{0xFFFF}}) {
    ExpectAction(PowerBroadcastRule(event, 0), StepPostClose, HostFinish::Default);
  }
  for (std::uintptr_t event : {PbtResumeCritical, PbtResumeSuspend, PbtResumeStandby, PbtResumeAutomatic}) {
    ExpectAction(PowerBroadcastRule(event, 0), StepPostClose, HostFinish::Default);
    ExpectAction(PowerBroadcastRule(event, 2), StepPostClose, HostFinish::Default);
    ExpectAction(PowerBroadcastRule(event, PbtfResumeFromFailure), 0, HostFinish::Default);
  }
  ExpectAction(PowerBroadcastRule(PbtPowerStatusChange, 0), 0, HostFinish::Default);
  ExpectAction(PowerBroadcastRule(PbtPowerSettingChange, 0), 0, HostFinish::Default);
  // Reached through the default rule with the same values.
  ExpectAction(SaverDefaultRule(Saver(), MsgPowerBroadcast, PbtQuerySuspend, 0), 0, HostFinish::Value, 1);
  ExpectAction(SaverDefaultRule(Saver(), MsgPowerBroadcast, PbtResumeSuspend, 1), 0, HostFinish::Default);
}

TEST(HostMouseTravel, SmallMovesAddUpFromTheAnchor) {
  HostState state = Saver();
  state.cursorAnchor = {100, 200};
  EXPECT_FALSE(MouseTravelCloses(state, {103, 201}));  // 3 right + 1 down = 4
  EXPECT_FALSE(MouseTravelCloses(state, {97, 199}));
  EXPECT_TRUE(MouseTravelCloses(state, {104, 201}));
  EXPECT_EQ(state.cursorAnchor.x, 104);
  EXPECT_EQ(state.cursorAnchor.y, 201);

  state.cursorAnchor = {100, 200};
  EXPECT_TRUE(MouseTravelCloses(state, {103, 202}));

  state.cursorAnchor = {-5, 0};  // left of the primary screen
  for (int step = 1; step <= 4; ++step) EXPECT_FALSE(MouseTravelCloses(state, {-5 - step, 0})) << step;
  EXPECT_TRUE(MouseTravelCloses(state, {-10, 0}));
  EXPECT_EQ(state.cursorAnchor.x, -10);
}

TEST(HostMouseTravel, ExtremeCoordinatesDoNotOverflow) {
  HostState state = Saver();
  state.cursorAnchor = {INT32_MIN, 0};
  EXPECT_TRUE(MouseTravelCloses(state, {INT32_MAX, 0}));
  state.cursorAnchor = {INT32_MAX, INT32_MAX};
  EXPECT_FALSE(MouseTravelCloses(state, {INT32_MAX - 2, INT32_MAX - 2}));
}

TEST(HostVerify, NoPasswordClosesAtOnce) {
  HostState state = Win9x(false);
  EXPECT_EQ(BeginVerify(state, 1000), VerifyGate::Allow);
  EXPECT_TRUE(state.closeAllowed);
  EXPECT_FALSE(state.verifying);
}

TEST(HostVerify, RefusedThenGuardedThenAskedAgain) {
  HostState state = Win9x(true);
  ASSERT_EQ(BeginVerify(state, 5000), VerifyGate::Ask);  // never asked before
  EXPECT_TRUE(state.verifying);
  // A nested close while the dialog runs is refused without asking.
  EXPECT_EQ(BeginVerify(state, 5001), VerifyGate::Refuse);
  EXPECT_TRUE(EndVerify(state, 0));  // refused password: hide the cursor again
  EXPECT_FALSE(state.closeAllowed);
  EXPECT_FALSE(state.verifying);
  state.lastVerifyEnd = 6000;
  EXPECT_EQ(BeginVerify(state, 6000), VerifyGate::Refuse);
  EXPECT_EQ(BeginVerify(state, 6199), VerifyGate::Refuse);
  EXPECT_FALSE(state.verifying);
  EXPECT_EQ(BeginVerify(state, 6200), VerifyGate::Ask);
  EXPECT_FALSE(EndVerify(state, 1));
  EXPECT_TRUE(state.closeAllowed);
  EXPECT_FALSE(state.verifying);
}

TEST(HostVerify, GuardSurvivesTickCountWrap) {
  HostState state = Win9x(true);
  state.lastVerifyEnd = 0xFFFFFFA0u;  // 96 ms before the wrap
  EXPECT_EQ(BeginVerify(state, 0xFFFFFFF0u), VerifyGate::Refuse);
  EXPECT_EQ(BeginVerify(state, 0x00000067u), VerifyGate::Refuse);  // 199 ms later
  EXPECT_EQ(BeginVerify(state, 0x00000068u), VerifyGate::Ask);     // 200 ms later
  state = Win9x(true);
  EXPECT_EQ(BeginVerify(state, 0u), VerifyGate::Ask);  // "never" is not a time
}

}  // namespace
