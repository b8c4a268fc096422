; The Windows installer of Quviro, made by scripts/windows-package:
;   makensis -DVERSION=1.0.1.1 -DSTAGE=<folder> -DICON=<quviro.ico> -DOUTFILE=<setup.exe> quviro.nsi
; STAGE holds what the portable zip holds (the programs, README.txt, LICENSE.txt, licenses\).
; It installs for all users under Program Files: the programs, a Start menu entry, an uninstaller
; listed in Add/Remove Programs, and "Open with Quviro" on every file in Explorer. "/S" installs
; and uninstalls silently, "/D=<folder>" (last on the command line) picks another folder.
; A 64-bit installer for 64-bit programs; it also runs where Windows has no 32-bit layer
; (a 64-bit-only Wine).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include "x64.nsh"
!include "MUI2.nsh"

!define APP "Quviro"
; Add/Remove Programs lists the programs of this key; the installer and the uninstaller share it.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"
; The shell verb on "*" (every file): Explorer's context menu shows its text and runs its command.
!define VERB_KEY "Software\Classes\*\shell\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} installer"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "The Quviro developers, MIT License"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The programs are 64-bit: the 64-bit registry and Program Files, and all users' Start menu.
Function .onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetRegView 64
    SetShellVarContext all
FunctionEnd

Section "Quviro"
    SetOutPath "$INSTDIR"
    File "${STAGE}\quviro.exe"
    File "${STAGE}\quviro-cli.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    SetOutPath "$INSTDIR\licenses"
    File /r "${STAGE}\licenses\*"
    SetOutPath "$INSTDIR"

    CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\quviro.exe"

    WriteRegStr HKLM "${VERB_KEY}" "" "Open with ${APP}"
    WriteRegStr HKLM "${VERB_KEY}" "Icon" "$INSTDIR\quviro.exe"
    WriteRegStr HKLM "${VERB_KEY}\command" "" '"$INSTDIR\quviro.exe" "%1"'

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Quviro developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quviro.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly what the installer put down; the user's settings in the roaming folder stay.
Section "Uninstall"
    Delete "$INSTDIR\quviro.exe"
    Delete "$INSTDIR\quviro-cli.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    RMDir /r "$INSTDIR\licenses"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\${APP}.lnk"
    DeleteRegKey HKLM "${VERB_KEY}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
