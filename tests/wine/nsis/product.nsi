; An installer as small vendors write them, in three kinds (makensis -DKIND=...):
;   32    for all users, into the 32-bit Program Files, its values in the 32-bit
;         registry view, where a 32-bit installer writes by default
;   64    the same with SetRegView 64, into the 64-bit Program Files
;   user  for the current user alone, under HKEY_CURRENT_USER
; It installs PROGRAM as app.exe, with its uninstaller, and writes OUT.
Unicode true
Name "Startpoint NSIS"
OutFile "${OUT}"
!define UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Startpoint NSIS"
!if ${KIND} == user
  RequestExecutionLevel user
  InstallDir "$LOCALAPPDATA\Startpoint NSIS"
  !define ROOT HKCU
  !define PROGRAM_PATH "%LOCALAPPDATA%\Startpoint NSIS\app.exe"
!else
  RequestExecutionLevel admin
  !define ROOT HKLM
  ; What %ProgramFiles% means is left to the program that reads the value.
  !define PROGRAM_PATH "%ProgramFiles%\Startpoint NSIS\app.exe"
  !if ${KIND} == 64
    InstallDir "$PROGRAMFILES64\Startpoint NSIS"
  !else
    InstallDir "$PROGRAMFILES\Startpoint NSIS"
  !endif
!endif

; The uninstaller must read and delete the view that the installer wrote.
!macro View
  !if ${KIND} == 64
    SetRegView 64
  !endif
!macroend
Function .onInit
  !insertmacro View
FunctionEnd
Function un.onInit
  !insertmacro View
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=app.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegExpandStr ${ROOT} "Software\Startpoint NSIS" "ProgramPath" "${PROGRAM_PATH}"
  WriteRegStr ${ROOT} "${UNINSTALL}" "DisplayName" "Startpoint NSIS"
  WriteRegStr ${ROOT} "${UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr ${ROOT} "${UNINSTALL}" "InstallLocation" "$INSTDIR"
  WriteRegStr ${ROOT} "${UNINSTALL}" "DisplayIcon" "$INSTDIR\app.exe,0"
SectionEnd

Section Uninstall
  Delete "$INSTDIR\app.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey ${ROOT} "Software\Startpoint NSIS"
  DeleteRegKey ${ROOT} "${UNINSTALL}"
SectionEnd
