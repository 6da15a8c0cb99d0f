; The setup program of the Windows add-in: installs the 32-bit and the 64-bit DLL, registers each
; one the system can load (a 32-bit mail client loads the 32-bit one, a 64-bit client the other),
; and adds an uninstaller to the system's list of programs. Settings are the user's and stay.
;   makensis -DDLL32=path -DDLL64=path -DOUTFILE=path [-DTARGET=amd64-unicode] DezarorAgent.nsi
; Registration runs elevated, so the class and the add-in entry are written for every user.

!ifndef TARGET
  !define TARGET x86-unicode
!endif
Target ${TARGET}
Unicode true

!include x64.nsh
!include LogicLib.nsh

!define PRODUCT "Outlook Dezaror Agent"
!define VERSION "1.1.2"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DezarorAgent"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\DezarorAgent"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Registers or unregisters one DLL with the system's regsvr32 of the DLL's bitness.
!macro RegisterDll REGSVR32 DLL ACTION
  ExecWait '"${REGSVR32}" /s ${ACTION} "${DLL}"' $0
  ${If} $0 != 0
    DetailPrint "regsvr32 ${ACTION} ${DLL} failed ($0)"
  ${EndIf}
!macroend

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
    ; The native program folder, unless the user chose another (/D=).
    ${If} $INSTDIR == "$PROGRAMFILES\DezarorAgent"
      StrCpy $INSTDIR "$PROGRAMFILES64\DezarorAgent"
    ${EndIf}
  ${EndIf}
FunctionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR\x86"
  File "/oname=DezarorAgent.dll" "${DLL32}"
  SetOutPath "$INSTDIR\x64"
  File "/oname=DezarorAgent.dll" "${DLL64}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    !insertmacro RegisterDll "$WINDIR\System32\regsvr32.exe" "$INSTDIR\x64\DezarorAgent.dll" ""
    ${EnableX64FSRedirection}
    !insertmacro RegisterDll "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\DezarorAgent.dll" ""
  ${Else}
    !insertmacro RegisterDll "$SYSDIR\regsvr32.exe" "$INSTDIR\x86\DezarorAgent.dll" ""
    Delete "$INSTDIR\x64\DezarorAgent.dll"
    RMDir "$INSTDIR\x64"
  ${EndIf}

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ${If} ${RunningX64}
    ${DisableX64FSRedirection}
    !insertmacro RegisterDll "$WINDIR\System32\regsvr32.exe" "$INSTDIR\x64\DezarorAgent.dll" "/u"
    ${EnableX64FSRedirection}
    !insertmacro RegisterDll "$WINDIR\SysWOW64\regsvr32.exe" "$INSTDIR\x86\DezarorAgent.dll" "/u"
  ${Else}
    !insertmacro RegisterDll "$SYSDIR\regsvr32.exe" "$INSTDIR\x86\DezarorAgent.dll" "/u"
  ${EndIf}
  Delete "$INSTDIR\x86\DezarorAgent.dll"
  Delete "$INSTDIR\x64\DezarorAgent.dll"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR\x64"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
