; SPDX-License-Identifier: Apache-2.0
; Corvadex's installer for Windows x64: installs for the current user,
; without administrator rights, into %LOCALAPPDATA%\Programs\Corvadex, with
; a Start-menu shortcut and an uninstaller listed under HKCU in "Apps &
; features". /S installs and uninstalls silently.
;   makensis -DVERSION=1.1.0 -DBIN=build-windows/bin -DSOURCE=. -DOUT=setup.exe corvadex.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "Corvadex"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvadex"

Name "${NAME} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\Corvadex"
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Corvadex"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BIN}\corvadex-cli.exe"
  ; The window (corvadex.exe) is added here once it is built for Windows.
  File /oname=README.md "${SOURCE}\README.md"
  File /oname=LICENSE.txt "${SOURCE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The command line opens a console window that lists its commands.
  CreateDirectory "$SMPROGRAMS\Corvadex"
  CreateShortcut "$SMPROGRAMS\Corvadex\Corvadex command line.lnk" "$SYSDIR\cmd.exe" \
    '/k "$INSTDIR\corvadex-cli.exe" help' "$INSTDIR\corvadex-cli.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Corvadex"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\corvadex-cli.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\corvadex-cli.exe"
  Delete "$INSTDIR\corvadex.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Corvadex\Corvadex command line.lnk"
  RMDir "$SMPROGRAMS\Corvadex"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
