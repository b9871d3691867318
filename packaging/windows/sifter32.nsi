; The Windows installer: the package folder into Program Files\Sifter32, a Start-menu entry,
; and an uninstaller listed under Add or Remove Programs. /S installs and uninstalls silently.
;   makensis -DVERSION=1.4 -DSOURCE=<package folder> -DLISTS=<folder of the file lists>
;            -DOUTFILE=<setup.exe> sifter32.nsi

; A 64-bit installer, as the programs are: it starts on no other Windows, and its files and
; keys go where 64-bit Windows keeps them.
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sifter32"

Name "Sifter32 ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Sifter32"
RequestExecutionLevel admin
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Sifter32"
  SetShellVarContext all
  !include "${LISTS}/install_files.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Sifter32.lnk" "$INSTDIR\sifter32.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Sifter32"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Sifter32 developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\sifter32.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Sifter32.lnk"
  !include "${LISTS}/uninstall_files.nsh"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever a user kept there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
