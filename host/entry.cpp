// entry.cpp - process entry, mode selection and the exception guard (see entry.h).
#include "host/entry.h"

#include <commctrl.h>

#include "effect/config_dialog.h"
#include "host/command_tail.h"
#include "host/host_state.h"
#include "host/legacy_password.h"
#include "host/saver_window.h"
#include "host/system_lookup.h"
#include "host/test_hooks.h"

static const char* CharStepA(const char* at) { return CharNextA(at); }

void HardenProcessHeap() {
  typedef BOOL(WINAPI * HeapSetInformationProc)(HANDLE, int, void*, SIZE_T);
  HeapSetInformationProc setInformation =
      LookUpEntry<HeapSetInformationProc>(GetModuleHandleA("KERNEL32.DLL"), "HeapSetInformation");
  if (setInformation) setInformation(NULL, 1 /* HeapEnableTerminationOnCorruption */, NULL, 0);
}

static HWND WindowFromNumber(UINT32 number) {
  // Handle numbers are 32-bit on every Windows; widen without sign.
  return reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
}

static HWND OwnerFor(UINT32 number) {
  HWND window = WindowFromNumber(number);
  if (number != 0 && IsWindow(window)) return window;
  return GetForegroundWindow();
}

int RunPreview(const char* text) {
  const UINT32 number = ParseHandleNumber(text);
  HWND parent = WindowFromNumber(number);
  if (number == 0 || !IsWindow(parent)) return -1;
  return RunSaverWindow(parent);
}

// The scan and the one mode it starts: everything the guard protects.
static int RunChosenMode(const char* tail) {
#if defined(GYREWELL_TEST_HOOKS)
  const char* hook = tail;
  while (*hook == ' ' || *hook == '-' || *hook == '/') ++hook;
  if (*hook == 'z' && hook[1] == 'd') FaultOnPurpose();
  if (*hook == 'z' && (hook[1] == 'c' || hook[1] == 'k' || hook[1] == 'm')) {
    HostTestFault = hook[1];
    return RunSaverWindow(NULL);
  }
#endif
  const SwitchChoice choice = ScanSwitch(tail, Host.win9xFamily);
  if (!choice.valid) return -1;
  switch (choice.mode) {
    case SaverMode::Configure:
      return RunConfigDialog(choice.owner == OwnerRule::None ? NULL : OwnerFor(choice.handle));
    case SaverMode::Saver:
      return RunSaverWindow(NULL);
    case SaverMode::Preview:
      return RunPreview(choice.rest);
    case SaverMode::ChangePassword:
      ChangeSaverPassword(OwnerFor(choice.handle));
      return 0;
  }
  return -1;
}

#if defined(_MSC_VER)

static int RunGuarded(const char* tail) {
  __try {
    return RunChosenMode(tail);
  } __except (UnhandledExceptionFilter(GetExceptionInformation())) {
    SetScreenSaverRunning(false);
    return -1;
  }
}

#else

static volatile LONG GuardArmed = 0;
static volatile LONG GuardTripped = 0;
static DWORD GuardThread = 0;
static BYTE* ImageStart = NULL;
static BYTE* ImageEnd = NULL;

#if defined(_WIN64)

// Where a fault resumes: the context captured when the guard was entered.
static CONTEXT GuardContext;

static void ResumeInGuard(CONTEXT* context) { *context = GuardContext; }

#else

// On 32-bit x86 the guard needs nothing newer than Windows 95: no
// RtlCaptureContext (Windows XP). The guard's frame is marked with
// __builtin_setjmp, and the fault resumes in GuardResume, run a little below
// that frame, which puts the thread's chain of exception frames back as it was
// at the guard's entry (the frames registered since lie in the abandoned part
// of the stack) and jumps back into the guard.
static void* GuardJump[5];
static void* GuardFrames = NULL;
static BYTE* GuardFrame = NULL;

// The head of the thread's chain of exception frames, at fs:0 on every 32-bit
// Windows.
static void* ExceptionFrames() {
  void* head;
  __asm__ __volatile__("movl %%fs:0, %0" : "=r"(head));
  return head;
}

__attribute__((noinline, noreturn)) static void GuardResume() {
  __asm__ __volatile__("movl %0, %%fs:0" : : "r"(GuardFrames) : "memory");
  __builtin_longjmp(GuardJump, 1);
}

static void ResumeInGuard(CONTEXT* context) {
  // 1 KiB below the guard's frame the stack was in use when the fault came,
  // however deep it went; the fault's own stack may be exhausted. Entered as
  // if called: 16-byte aligned just above the return address's place.
  const DWORD top = (reinterpret_cast<DWORD>(GuardFrame) - 1024) & ~static_cast<DWORD>(15);
  context->Esp = top - 4;
  context->Eip = reinterpret_cast<DWORD>(&GuardResume);
}

#endif

static LONG WINAPI GuardUnhandledFilter(EXCEPTION_POINTERS* info) {
  if (!GuardArmed || GuardTripped) return EXCEPTION_CONTINUE_SEARCH;
  if (GetCurrentThreadId() != GuardThread) {
    // Another thread (the animation) cannot resume in the window thread's
    // frame: the process ends the system's way, but not with the flag left on.
    SetScreenSaverRunning(false);
    return EXCEPTION_CONTINUE_SEARCH;
  }
  GuardTripped = 1;
  ResumeInGuard(info->ContextRecord);
  return EXCEPTION_CONTINUE_EXECUTION;
}

static bool IsFault(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_STACK_OVERFLOW:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_IN_PAGE_ERROR:
      return true;
    default:
      return false;
  }
}

// The program's own code installs no handlers, so a fault raised by it is never
// handled further down: give it to the unhandled-exception decision now, before
// a system callback dispatcher can swallow it. Faults elsewhere (system code
// probing memory under its own handlers) take their ordinary course.
static LONG WINAPI GuardVectoredHandler(EXCEPTION_POINTERS* info) {
  if (!GuardArmed || GuardTripped || GetCurrentThreadId() != GuardThread) return EXCEPTION_CONTINUE_SEARCH;
  BYTE* address = static_cast<BYTE*>(info->ExceptionRecord->ExceptionAddress);
  if (!IsFault(info->ExceptionRecord->ExceptionCode) || address < ImageStart || address >= ImageEnd) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const LONG answer = UnhandledExceptionFilter(info);
  return answer == EXCEPTION_CONTINUE_SEARCH ? EXCEPTION_CONTINUE_SEARCH : EXCEPTION_CONTINUE_EXECUTION;
}

// Vectored handlers came with Windows XP. Where there are none (the 95/98/Me
// family, NT 4, 2000), the system hands callbacks' faults on to the top, and
// the unhandled-exception filter alone serves. The family is the one the
// host recorded, so a test that reports Windows 98 runs the guard as it runs
// there.
static void AddGuardVectoredHandler() {
#if defined(_WIN64)
  AddVectoredExceptionHandler(1, GuardVectoredHandler);
#else
  if (Host.win9xFamily) return;
  typedef PVOID(WINAPI * AddHandlerProc)(ULONG, PVECTORED_EXCEPTION_HANDLER);
  AddHandlerProc add = LookUpEntry<AddHandlerProc>(GetModuleHandleA("KERNEL32.DLL"), "AddVectoredExceptionHandler");
  if (add != NULL) add(1, GuardVectoredHandler);
#endif
}

static void FindOwnImage() {
  BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(NULL));
  const IMAGE_DOS_HEADER* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const IMAGE_NT_HEADERS* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  ImageStart = base;
  ImageEnd = base + nt->OptionalHeader.SizeOfImage;
}

static int RunGuarded(const char* tail) {
  FindOwnImage();
  GuardThread = GetCurrentThreadId();
  SetUnhandledExceptionFilter(GuardUnhandledFilter);
  AddGuardVectoredHandler();
#if defined(_WIN64)
  RtlCaptureContext(&GuardContext);
  const bool resumed = GuardTripped != 0;
#else
  GuardFrames = ExceptionFrames();
  GuardFrame = static_cast<BYTE*>(__builtin_frame_address(0));
  const bool resumed = __builtin_setjmp(GuardJump) != 0;
#endif
  if (resumed) {
    GuardArmed = 0;
    SetScreenSaverRunning(false);
    return -1;
  }
  GuardArmed = 1;
  // After a resume only globals are read above: the mode's own frame is gone.
  const int result = RunChosenMode(tail);
  GuardArmed = 0;
  return result;
}

#endif

int SelectSaverMode(HINSTANCE instance, const char* tail) {
  HardenProcessHeap();
  InitCommonControlClasses(ICC_TAB_CLASSES);
  Host.instance = instance;
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  Host.win9xFamily = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  return RunGuarded(tail);
}

void StartHost() {
  const char* tail = CommandTail(GetCommandLineA(), CharStepA);
  ExitProcess(static_cast<UINT>(SelectSaverMode(GetModuleHandleA(NULL), tail)));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartHost();
  return 0;
}
