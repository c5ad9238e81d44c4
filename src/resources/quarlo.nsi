; The Windows installer: the 64-bit saver into the system folder, where the
; display settings list screen savers, an uninstaller with its entry under
; the installed programs, and, when chosen, the saver made the current one.
; The build passes VERSION, SAVER (the quarlo.scr to install), ICON, PICTURE
; (the welcome and finish pages' side picture) and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
; Files keep no build-time date, so one commit makes one installer.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Quarlo's Cube"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuarloCube"
!define DESKTOP_KEY "Control Panel\Desktop"
; The value of the desktop key that names the current screen saver (its path).
!define CURRENT_SAVER "SCRNSAVE.EXE"
!define SAVER_ACTIVE "ScreenSaveActive"
; What the desktop key held before the install made this saver the current
; one, kept in the uninstall entry for the uninstaller to give back: a value
; that was not there is not written.
!define CHOSEN_BY_INSTALL "ChosenByInstall"
!define PREVIOUS_SAVER "PreviousScreenSaver"
!define PREVIOUS_ACTIVE "PreviousScreenSaveActive"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Orvendel"
VIAddVersionKey "LegalCopyright" "2026 Orvendel"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed: it is $\"${PRODUCT} (OpenGL)$\" in the screen saver settings, where its Settings button opens the saver's own dialog."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

; Adds the file's size in bytes to $1 (uses $0 and $2).
!macro AddFileSize path
  FileOpen $0 "${path}" r
  FileSeek $0 0 END $2
  FileClose $0
  IntOp $1 $1 + $2
!macroend

Section "${PRODUCT}" SectionSaver
  SectionIn RO
  SetOutPath "$SYSDIR"
  File "/oname=quarlo.scr" "${SAVER}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvendel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$SYSDIR\quarlo.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  ; _?= runs the uninstaller in place, so whoever runs this waits until it is done.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; The installed programs list shows this, in KiB, rounded up.
  StrCpy $1 1023
  !insertmacro AddFileSize "$SYSDIR\quarlo.scr"
  !insertmacro AddFileSize "$INSTDIR\uninstall.exe"
  IntOp $1 $1 / 1024
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; Keeps the desktop key's value `name` as the uninstall entry's value
; `kept`, or nothing when it is not there.
!macro KeepDesktopValue name kept
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${name}"
  ${IfNot} ${Errors}
    WriteRegStr HKLM "${UNINSTALL_KEY}" "${kept}" $0
  ${EndIf}
!macroend

Section "Make it the current screen saver" SectionCurrent
  ; A second install keeps what the first one found: by now the current
  ; saver is this one.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${CHOSEN_BY_INSTALL}"
  ${If} $0 <> 1
    ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
    ${If} $0 != "$SYSDIR\quarlo.scr"
      !insertmacro KeepDesktopValue "${CURRENT_SAVER}" "${PREVIOUS_SAVER}"
    ${EndIf}
    !insertmacro KeepDesktopValue "${SAVER_ACTIVE}" "${PREVIOUS_ACTIVE}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${CHOSEN_BY_INSTALL}" 1
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}" "$SYSDIR\quarlo.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_ACTIVE}" "1"
SectionEnd

; Puts back the desktop key's value as the uninstall entry kept it, or
; removes it when the entry kept none.
!macro GiveBackDesktopValue name kept
  ClearErrors
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "${kept}"
  ${If} ${Errors}
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${name}"
  ${Else}
    WriteRegStr HKCU "${DESKTOP_KEY}" "${name}" $1
  ${EndIf}
!macroend

; What the installer put there goes, and the screen saver chosen before
; comes back unless another was chosen since; the user's own settings
; (HKCU\Software\Orvendel\QuarloScreenSaver) stay.
Section "Uninstall"
  Delete "$SYSDIR\quarlo.scr"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
  ${If} $0 == "$SYSDIR\quarlo.scr"
    !insertmacro GiveBackDesktopValue "${CURRENT_SAVER}" "${PREVIOUS_SAVER}"
    ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "${CHOSEN_BY_INSTALL}"
    ${If} $0 = 1
      !insertmacro GiveBackDesktopValue "${SAVER_ACTIVE}" "${PREVIOUS_ACTIVE}"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Run in place (_?=) the uninstaller cannot delete itself: it goes, with
  ; its folder, when Windows next starts.
  Delete /REBOOTOK "$INSTDIR\uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
SectionEnd
