; The Vexlore installer, built with makensis by scripts/package.sh, which
; defines VERSION (1.0.0.1), FILES (the folder of the portable zip), ICON,
; OUT (the installer to write) and WORDS_MD5 (the MD5 of FILES\words).
; Installs for all users into Program Files with a Start-menu shortcut and
; an entry in Add/Remove Programs; /S installs and uninstalls silently.
; An install where Vexlore already is upgrades it in place; one to another
; folder is refused. A word list of the user's own is kept, as Debian keeps
; a changed configuration file, and the uninstaller leaves it.

Unicode true
!include LogicLib.nsh

SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexlore"

Name "Vexlore ${VERSION}"
OutFile "${OUT}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$PROGRAMFILES\Vexlore"
; an install already there is the default, and /D= overrides it
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
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

Var existing    ; the folder of the install there is already, or ""

Page directory "" "" dirleave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; $0: the MD5 of file $0 in lower-case hex, or "" when it cannot be read
; (or is larger than any list we ship by far). Through the CryptoAPI of
; Windows, which every version has.
!macro MD5FILE un
Function ${un}md5file
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  Push $8
  StrCpy $7 ""
  System::Call 'kernel32::CreateFileW(w r0, i 0x80000000, i 1, p 0, i 3, i 0, p 0) p.r1'
  ${If} $1 P<> -1
    System::Call 'kernel32::GetFileSize(p r1, p 0) i.r2'
    ${If} $2 U< 0x4000000
      IntOp $3 $2 + 1
      System::Alloc $3
      Pop $3
      System::Call 'kernel32::ReadFile(p r1, p r3, i r2, *i .r4, p 0) i.r5'
      ${If} $5 <> 0
      ${AndIf} $4 = $2
        System::Call 'advapi32::CryptAcquireContextW(*p .r5, p 0, p 0, i 1, i 0xF0000000) i.r6'
        ${If} $6 <> 0
          System::Call 'advapi32::CryptCreateHash(p r5, i 0x8003, p 0, i 0, *p .r6) i.r4'
          ${If} $4 <> 0
            System::Call '*(&i16) p.r4'
            System::Call 'advapi32::CryptHashData(p r6, p r3, i r2, i 0) i.r2'
            ${If} $2 <> 0
              System::Call 'advapi32::CryptGetHashParam(p r6, i 2, p r4, *i 16, i 0) i.r2'
              ${If} $2 <> 0
                ${For} $2 0 15
                  IntOp $8 $4 + $2
                  System::Call '*$8(&i1 .r8)'
                  IntOp $8 $8 & 0xFF
                  IntFmt $8 "%02x" $8
                  StrCpy $7 "$7$8"
                ${Next}
              ${EndIf}
            ${EndIf}
            System::Free $4
            System::Call 'advapi32::CryptDestroyHash(p r6)'
          ${EndIf}
          System::Call 'advapi32::CryptReleaseContext(p r5, i 0)'
        ${EndIf}
      ${EndIf}
      System::Free $3
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 $7
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
FunctionEnd

; $0: 1 when the list in file $0 is one we shipped: this installer's, or
; the one the install there recorded; else 0.
Function ${un}ourwords
  Push $1
  Call ${un}md5file
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "WordsMD5"
  ${If} $0 == "${WORDS_MD5}"
  ${OrIf} $0 == $1
  ${AndIf} $0 != ""
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $1
FunctionEnd

!macroend
!insertmacro MD5FILE ""
!insertmacro MD5FILE "un."

; Sets $0 to file when $0 is still "" and a running program holds
; $INSTDIR\file: the system will not let us have it alone (a sharing
; violation), as it will not let us delete it.
!macro INUSE file
  ${If} $0 == ""
  ${AndIf} ${FileExists} "$INSTDIR\${file}"
    System::Call 'kernel32::CreateFileW(w "$INSTDIR\${file}", i 0xC0000000, i 0, p 0, i 3, i 0, p 0) p.r1 ?e'
    Pop $2
    ${If} $1 P<> -1
      System::Call 'kernel32::CloseHandle(p r1)'
    ${ElseIf} $2 = 32
      StrCpy $0 "${file}"
    ${EndIf}
  ${EndIf}
!macroend

; $0: the first file of $INSTDIR that a running Vexlore holds, or "".
Function un.running
  Push $1
  Push $2
  StrCpy $0 ""
  !insertmacro INUSE "vexlore.exe"
  !insertmacro INUSE "vexlore-find.exe"
  !insertmacro INUSE "words"
  !insertmacro INUSE "english.model"
  !insertmacro INUSE "english.related"
  Pop $2
  Pop $1
FunctionEnd

Function .onInit
  SetShellVarContext all
  ReadRegStr $existing HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ; a key whose folder has gone tracks nothing: a new install takes it over
  ${IfNot} ${FileExists} "$existing\uninstall.exe"
    StrCpy $existing ""
  ${EndIf}
  ${If} ${Silent}
  ${AndIf} $existing != ""
    Call dirleave
  ${EndIf}
FunctionEnd

; Vexlore is installed once: in another folder it is refused, with where
; it is already. Silently, the installer ends with exit status 2.
Function dirleave
  ${If} $existing == ""
    Return
  ${EndIf}
  ; short names too, so C:\PROGRA~1\Vexlore is where Program Files\Vexlore is
  GetFullPathName /SHORT $0 "$INSTDIR"
  ${If} $0 == ""
    GetFullPathName $0 "$INSTDIR"
  ${EndIf}
  GetFullPathName /SHORT $1 "$existing"
  ${If} $0 == $1
    Return
  ${EndIf}
  MessageBox MB_OK|MB_ICONEXCLAMATION "Vexlore is already installed in $existing.$\r$\n$\r$\nInstall it there to upgrade it, or uninstall it first to install it in another folder." /SD IDOK
  ${If} ${Silent}
    SetErrorLevel 2
    Quit
  ${EndIf}
  Abort
FunctionEnd

Section "Vexlore"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${FILES}\vexlore.exe"
  File "${FILES}\vexlore-find.exe"
  ; a list of the user's own stays; ours goes beside it
  StrCpy $0 "$INSTDIR\words"
  ${If} ${FileExists} "$INSTDIR\words"
    Call ourwords
  ${Else}
    StrCpy $0 1
  ${EndIf}
  ${If} $0 = 1
    File "${FILES}\words"
    Delete "$INSTDIR\words.shipped"
  ${Else}
    File "/oname=words.shipped" "${FILES}\words"
    DetailPrint "Kept your own word list $INSTDIR\words; the list that comes with Vexlore is beside it as words.shipped"
    MessageBox MB_OK|MB_ICONINFORMATION "Your own word list $INSTDIR\words stays as it is.$\r$\n$\r$\nThe list that comes with Vexlore ${VERSION} is beside it as words.shipped." /SD IDOK
  ${EndIf}
  File "${FILES}\README.txt"
  File "${FILES}\LICENSE.txt"
  File "${FILES}\words-copyright.txt"
  File "${FILES}\english.model"
  File "${FILES}\model-copyright.txt"
  File "${FILES}\english.related"
  File "${FILES}\related-copyright.txt"
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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "WordsMD5" "${WORDS_MD5}"
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
  ; nothing goes while Vexlore runs: its files would stay, untracked
retry:
  Call un.running
  ${If} $0 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Vexlore is running: $INSTDIR\$0 is in use.$\r$\n$\r$\nClose Vexlore, then press Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 2
    Abort "Vexlore is running ($INSTDIR\$0 is in use): nothing was uninstalled."
  ${EndIf}
  ; a list of the user's own stays
  StrCpy $0 "$INSTDIR\words"
  ${If} ${FileExists} "$INSTDIR\words"
    Call un.ourwords
    ${If} $0 = 1
      Delete "$INSTDIR\words"
    ${Else}
      DetailPrint "Left your own word list $INSTDIR\words"
    ${EndIf}
  ${EndIf}
  Delete "$INSTDIR\words.shipped"
  Delete "$INSTDIR\vexlore.exe"
  Delete "$INSTDIR\vexlore-find.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\words-copyright.txt"
  Delete "$INSTDIR\english.model"
  Delete "$INSTDIR\model-copyright.txt"
  Delete "$INSTDIR\english.related"
  Delete "$INSTDIR\related-copyright.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Vexlore.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
