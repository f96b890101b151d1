; Per-user installer of Jotlark: no elevation, into %LOCALAPPDATA%\Programs\Jotlark,
; a Start-menu shortcut and an uninstall entry under HKCU. The notes (AT.ini and
; DI.mp3, in C:\ or in %LOCALAPPDATA%\VirtualStore) are never touched.
;   makensis -DVERSION=0.1.0 -DSOURCE=<portable folder> -DOUTFILE=<setup.exe> -DICON=<ico> jotlark.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Jotlark"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Jotlark"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Jotlark"
ShowInstDetails show
ShowUninstDetails show
LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Jotlark"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Jotlark 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "The Jotlark authors"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright © The Jotlark authors"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Jotlark.lnk" "$INSTDIR\jotlark.exe" "" "$INSTDIR\jotlark.exe" 0
  SetRegView 64
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Jotlark"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Jotlark authors"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\jotlark.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes the start-up value of root when it starts this copy of the program.
!macro RemoveRunValue ROOT
  ReadRegStr $0 ${ROOT} "${RUN_KEY}" "jotlark"
  StrCmp $0 '"$INSTDIR\jotlark.exe"' 0 +2
    DeleteRegValue ${ROOT} "${RUN_KEY}" "jotlark"
!macroend

Section "Uninstall"
  SetShellVarContext current
  SetRegView 64
  !insertmacro RemoveRunValue HKCU
  ; Only an elevated uninstaller may change the machine's key; otherwise this fails quietly.
  !insertmacro RemoveRunValue HKLM
  Delete "$SMPROGRAMS\Jotlark.lnk"
  ; What the installer put here, by name: nothing else in the folder is removed.
  Delete "$INSTDIR\jotlark.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\translations"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
