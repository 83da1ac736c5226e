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

Name "Varnel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Varnel"
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
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\readme-ru.txt"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

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
  Delete "$DESKTOP\Varnel.lnk"
  Delete "$SMPROGRAMS\Varnel.lnk"
  Delete "$SENDTO\Varnel.lnk"
  Delete "$INSTDIR\varnel.exe"
  Delete "$INSTDIR\varnel-cli.exe"
  Delete "$INSTDIR\readme-ru.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
