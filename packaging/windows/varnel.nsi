; The Windows installer: Varnel for one user, without administrator rights, in Russian.
; makensis -DVERSION=1.1.0 -DARCH=x64|x86 -DSTAGE=<folder of the programs> -DICON=<varnel.ico>
;          -DOUTFILE=<installer> varnel.nsi
; /S installs and uninstalls silently.
Unicode true
!if ${ARCH} == x64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnel"
; The shortcut that starts Varnel reading every point of each job.
!define ALL_POINTS "Varnel — все точки"

Name "Varnel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Varnel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Varnel ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1049 "ProductName" "Varnel"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка Varnel"
VIAddVersionKey /LANG=1049 "CompanyName" "Varnel"
VIAddVersionKey /LANG=1049 "LegalCopyright" "© 2026 Varnel"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme-ru.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"
LangString varnelRuns ${LANG_RUSSIAN} "Varnel сейчас работает. Закройте его и нажмите «Повтор»; «Отмена» оставит всё как было."

Function .onInit
  SetShellVarContext current
  ; A reinstall goes where the first one went (InstallDirRegKey), even when /D= names
  ; another folder: the first copy would be left without its uninstall entry.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Sets $0 to 1 when FILE in the folder is a running program's: Windows lets no one open
; such a file for writing (ERROR_SHARING_VIOLATION).
!macro VarnelRuns FILE
  System::Call 'kernel32::CreateFileW(w "$INSTDIR\${FILE}", i 0x40000000, i 7, p 0, i 3, i 0, p 0) p .r1 ?e'
  Pop $2
  ${If} $1 P<> -1
    System::Call 'kernel32::CloseHandle(p r1)'
  ${ElseIf} $2 = 32
    StrCpy $0 1
  ${EndIf}
!macroend

; Over an older or the same version, the files are replaced in place.
Section
  SetOutPath "$INSTDIR"
  File "${STAGE}\varnel.exe" "${STAGE}\varnel-cli.exe" "${STAGE}\readme-ru.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The desktop shortcut is where files are dropped; Send To hands the files selected
  ; in Explorer to one process on one command line, as a drop does.
  CreateShortcut "$DESKTOP\Varnel.lnk" "$INSTDIR\varnel.exe"
  CreateShortcut "$SMPROGRAMS\Varnel.lnk" "$INSTDIR\varnel.exe"
  CreateShortcut "$SENDTO\Varnel.lnk" "$INSTDIR\varnel.exe"
  CreateShortcut "$SMPROGRAMS\${ALL_POINTS}.lnk" "$INSTDIR\varnel.exe" "--sdr"
  CreateShortcut "$SENDTO\${ALL_POINTS}.lnk" "$INSTDIR\varnel.exe" "--sdr"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Varnel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Varnel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\varnel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer made and nothing else: a file of the user's in the
; folder keeps the folder.
Section "Uninstall"
  ; Nothing goes while Varnel runs: the uninstall entry and the shortcuts would go, and
  ; the program in use would stay.
  retry:
  StrCpy $0 0
  !insertmacro VarnelRuns varnel.exe
  !insertmacro VarnelRuns varnel-cli.exe
  ${If} $0 = 1
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(varnelRuns)" /SD IDCANCEL IDRETRY retry
    Abort "Varnel работает: ничего не удалено."
  ${EndIf}
  Delete "$DESKTOP\Varnel.lnk"
  Delete "$SMPROGRAMS\Varnel.lnk"
  Delete "$SENDTO\Varnel.lnk"
  Delete "$SMPROGRAMS\${ALL_POINTS}.lnk"
  Delete "$SENDTO\${ALL_POINTS}.lnk"
  Delete "$INSTDIR\varnel.exe"
  Delete "$INSTDIR\varnel-cli.exe"
  Delete "$INSTDIR\readme-ru.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
