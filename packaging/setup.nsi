; setup.nsi - Gyrewell's installer for Windows XP and later, for the user who
; runs it: no administrator, no elevation prompt.
;
;   makensis -DVERSION=1.02 -DSTAGE=<folder> -DOUTFILE=<setup.exe> [-DTARGET=amd64-unicode] setup.nsi
;
; STAGE holds win64\ and win32\, each with the Gyrewell.scr, README.txt and
; LICENSE.txt of that zip; the installer carries both programs and puts in
; place the one that fits the machine (64-bit on x86-64 Windows, 32-bit on
; 32-bit Windows and on ARM, where 32-bit PC programs always run). The
; release is built for x86 (every Windows since XP runs it); TARGET
; amd64-unicode builds the same installer as a 64-bit program, which the
; tests run where only 64-bit Windows programs can run.
;
; What it does, run interactively or with /S (and /D=<folder>, as the last
; switch, for another folder):
;   - copies the program, README.txt, LICENSE.txt and uninstall.exe into
;     %LOCALAPPDATA%\Programs\Gyrewell (the per-user programs folder);
;     installing over an older version replaces them; the user's settings
;     (%APPDATA%\Gyrewell) are never touched;
;   - makes Gyrewell the screen saver: SCRNSAVE.EXE under
;     HKCU\Control Panel\Desktop, and tells Windows that it changed;
;   - Start-menu entries in Programs\Gyrewell: the settings (Gyrewell.scr /c)
;     and "use as screen saver" (the system's own install verb for .scr files,
;     which chooses it again and opens Screen Saver Settings);
;   - registers the uninstaller under HKCU\...\Uninstall\Gyrewell;
;   - run interactively, opens Screen Saver Settings at the end.
; The uninstaller removes every file, entry and shortcut made here, clears
; SCRNSAVE.EXE only while it still names the installed program, and asks
; (never with /S) whether to delete the settings too.
;
; Texts in English and Japanese, chosen by the system's language.

Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif
!ifndef VERSION
  !error "define VERSION, STAGE and OUTFILE"
!endif
!ifndef STAGE
  !error "define VERSION, STAGE and OUTFILE"
!endif
!ifndef OUTFILE
  !error "define VERSION, STAGE and OUTFILE"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include x64.nsh

!define NAME "Gyrewell"
!define PUBLISHER "The Gyrewell authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gyrewell"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE_SENDCHANGE 3

Name "${NAME}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Gyrewell"
SetCompressor /SOLID lzma
; The same commit gives the same bytes: no file times from the build machine.
SetDateSave off
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "LegalCopyright" "MIT License"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}/win64/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one for every system language not listed.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString OpenSettings ${LANG_ENGLISH} "Open Screen Saver Settings"
LangString OpenSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString SettingsLink ${LANG_ENGLISH} "Gyrewell settings"
LangString SettingsLink ${LANG_JAPANESE} "Gyrewell の設定"
LangString UseLink ${LANG_ENGLISH} "Use Gyrewell as screen saver"
LangString UseLink ${LANG_JAPANESE} "Gyrewell をスクリーン セーバーにする"
LangString DeleteSettings ${LANG_ENGLISH} "Delete your Gyrewell settings too?$\r$\n$\r$\n$APPDATA\Gyrewell"
LangString DeleteSettings ${LANG_JAPANESE} "Gyrewell の設定も削除しますか?$\r$\n$\r$\n$APPDATA\Gyrewell"

; Screen Saver Settings: its own page of the Display control panel.
!macro OpenScreenSaverSettings
  ${If} ${AtLeastWinVista}
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${Else}
    Exec '"$SYSDIR\control.exe" desk.cpl,,1'
  ${EndIf}
!macroend

Function OpenScreenSaverSettings
  !insertmacro OpenScreenSaverSettings
FunctionEnd

Function .onInit
  ; Per user: $LOCALAPPDATA, $APPDATA and $SMPROGRAMS are the user's own.
  SetShellVarContext current
FunctionEnd

Section "Gyrewell"
  SetOutPath "$INSTDIR"
  ; The program that fits: 64-bit where the processor runs 64-bit PC
  ; programs natively, 32-bit elsewhere (32-bit Windows, and Windows on ARM,
  ; whose first versions emulate only 32-bit ones).
  ${If} ${IsNativeAMD64}
    File "/oname=Gyrewell.scr" "${STAGE}/win64/Gyrewell.scr"
    File "/oname=README.txt" "${STAGE}/win64/README.txt"
  ${Else}
    File "/oname=Gyrewell.scr" "${STAGE}/win32/Gyrewell.scr"
    File "/oname=README.txt" "${STAGE}/win32/README.txt"
  ${EndIf}
  File "/oname=LICENSE.txt" "${STAGE}/win64/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Gyrewell.scr"
  ; The screen saver on, as choosing one in Screen Saver Settings turns it;
  ; Windows reads the choice again once told that the settings changed.
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'

  CreateDirectory "$SMPROGRAMS\Gyrewell"
  CreateShortcut "$SMPROGRAMS\Gyrewell\$(SettingsLink).lnk" "$INSTDIR\Gyrewell.scr" "/c" "$INSTDIR\Gyrewell.scr" 0
  ; The system's own "Install" of a screen saver: it makes the file the
  ; screen saver and opens Screen Saver Settings.
  CreateShortcut "$SMPROGRAMS\Gyrewell\$(UseLink).lnk" "$SYSDIR\rundll32.exe" \
    'desk.cpl,InstallScreenSaver "$INSTDIR\Gyrewell.scr"' "$INSTDIR\Gyrewell.scr" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Gyrewell.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Uninstall"
  ; The screen saver stays chosen only while it names a program still there:
  ; cleared when it is ours, by its long or its short name.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\Gyrewell.scr"
  ${If} $0 == "$INSTDIR\Gyrewell.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ${EndIf}

  Delete "$INSTDIR\Gyrewell.scr"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; Both languages' names: the system's language may have changed since.
  Delete "$SMPROGRAMS\Gyrewell\*.lnk"
  RMDir "$SMPROGRAMS\Gyrewell"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The settings are the user's: asked about, never deleted silently.
  ${IfNot} ${Silent}
  ${AndIf} ${FileExists} "$APPDATA\Gyrewell\*.*"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(DeleteSettings)" IDNO keep
    RMDir /r "$APPDATA\Gyrewell"
    keep:
  ${EndIf}
SectionEnd
