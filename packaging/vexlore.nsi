; The Vexlore installer, built with makensis by scripts/package.sh, which
; defines VERSION (1.0.0.1), FILES (the folder of the portable zip), ICON
; and OUT (the installer to write).
; Installs for all users into Program Files with a Start-menu shortcut and
; an entry in Add/Remove Programs; /S installs and uninstalls silently.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexlore"

Name "Vexlore ${VERSION}"
OutFile "${OUT}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES\Vexlore"
ShowInstDetails show

; the installer's own version block
VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Vexlore"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Vexlore ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Vexlore authors"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) The Vexlore authors, MIT licence"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vexlore"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${FILES}\vexlore.exe"
  File "${FILES}\vexlore-find.exe"
  File "${FILES}\words"
  File "${FILES}\README.txt"
  File "${FILES}\LICENSE.txt"
  File "${FILES}\words-copyright.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; started in the program's folder, where its words are
  CreateShortcut "$SMPROGRAMS\Vexlore.lnk" "$INSTDIR\vexlore.exe" "" "$INSTDIR\vexlore.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vexlore"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Vexlore authors"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vexlore.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; in KiB, as Add/Remove Programs shows it
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put there, file by file: a folder the user
; chose may hold files of their own, and it stays if it does.
Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\vexlore.exe"
  Delete "$INSTDIR\vexlore-find.exe"
  Delete "$INSTDIR\words"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\words-copyright.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Vexlore.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
