; The Windows installer: the 64-bit saver into the system folder, where the
; display settings list screen savers, an uninstaller with its entry under
; the installed programs, and, when chosen, the saver made the current one.
; The build passes VERSION, SAVER (the quarlo.scr to install) and OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Quarlo's Cube"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuarloCube"
!define DESKTOP_KEY "Control Panel\Desktop"
; The value of the desktop key that names the current screen saver (its path).
!define CURRENT_SAVER "SCRNSAVE.EXE"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "Orvendel"
VIAddVersionKey "LegalCopyright" "2026 Orvendel"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"

Page components
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make it the current screen saver" SectionCurrent
  WriteRegStr HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}" "$SYSDIR\quarlo.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
SectionEnd

; What the installer put there goes; the user's own settings
; (HKCU\Software\Orvendel\QuarloScreenSaver) stay.
Section "Uninstall"
  Delete "$SYSDIR\quarlo.scr"
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
  StrCmp $0 "$SYSDIR\quarlo.scr" 0 +2
    DeleteRegValue HKCU "${DESKTOP_KEY}" "${CURRENT_SAVER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
