; SPDX-License-Identifier: Apache-2.0
; Corvadex's Windows installer: installs for the current user, without
; administrator rights, into %LOCALAPPDATA%\Programs\Corvadex, with a
; Start-menu shortcut and an uninstaller that "Apps & features" lists.
; /S installs (and the uninstaller's /S uninstalls) without a window.
;
; make-packages builds it; it hands over with -D:
;   VERSION   the version, as CMake's project() gives it
;   STAGE     the folder holding exactly the files to install
;   PAYLOAD   an include file with the macros InstallPayload and
;             RemovePayload: one File and one Delete line for each file in
;             STAGE, so the uninstaller removes exactly what was installed
;   OUTFILE   the installer to write

!ifndef VERSION | STAGE | PAYLOAD | OUTFILE
  !error "make-packages defines VERSION, STAGE, PAYLOAD and OUTFILE"
!endif

; Debian's Wine runs 64-bit programs only, and the programs are 64-bit.
Target amd64-unicode
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "Corvadex"
!define PUBLISHER "Corvadex team"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "Apache License 2.0"

!include "MUI2.nsh"

!define MUI_ICON "${__FILEDIR__}\corvadex.ico"
!define MUI_UNICON "${__FILEDIR__}\corvadex.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\corvadex.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

!include "${PAYLOAD}"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section "Corvadex" SectionProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro InstallPayload
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut starts the window in the install folder.
  CreateShortcut "${SHORTCUT}" "$INSTDIR\corvadex.exe" "" "$INSTDIR\corvadex.exe" 0

  ; What "Apps & features" shows and runs, for this user only.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvadex.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In kilobytes, as the section counts it (the uninstaller not included).
  SectionGetSize ${SectionProgram} $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only the files the installer put there go; a file the user added keeps
; the folder, which RMDir (without /r) then leaves in place.
Section "Uninstall"
  !insertmacro RemovePayload
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
