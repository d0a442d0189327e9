; The ZV-001 installation written for NSIS: the same three files, the pack in the first free
; slot PakZV01.pk3 to PakZV99.pk3, the install log and the uninstall entry, behind a terms page
; and a directory page. Built by bench/compare_nsis.sh with -DOUT=... -DSRC=<release folder>.
Name "ZV-001 Strider Plug-in Player Model"
Caption "ZV Developments Model Installation"
OutFile "${OUT}"
RequestExecutionLevel admin
InstallDir "C:\Quake3"
LicenseData "${SRC}\ZV-001.txt"

Page license
Page directory
Page instfiles

!define PACKAGE "ZV-001 Strider for Quake3"
!define LOG "$INSTDIR\ZVFiles.log"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZVQ3Models"

Var slot
Var target

; Appends $0 to the package section of the log.
Function LogFile
    ReadINIStr $1 "${LOG}" "${PACKAGE}" "Files"
    IntOp $1 $1 + 1
    WriteINIStr "${LOG}" "${PACKAGE}" "Files" $1
    WriteINIStr "${LOG}" "${PACKAGE}" $1 $0
FunctionEnd

Section
    ReadINIStr $1 "${LOG}" "ZV Packages" "NumberInstalled"
    IntOp $1 $1 + 1
    WriteINIStr "${LOG}" "ZV Packages" "NumberInstalled" $1
    WriteINIStr "${LOG}" "ZV Packages" $1 "${PACKAGE}"

    SetOutPath $INSTDIR
    File "${SRC}\ZV-001.txt"
    StrCpy $0 "$INSTDIR\ZV-001.txt"
    Call LogFile
    File "${SRC}\zvuninst.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZV Models for Quake3"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$INSTDIR\zvuninst.exe"

    StrCpy $slot 1
next_slot:
    IntFmt $target "$INSTDIR\baseq3\PakZV%02d.pk3" $slot
    IfFileExists $target 0 place
    IntOp $slot $slot + 1
    IntCmp $slot 100 no_slot next_slot no_slot
place:
    SetOutPath "$INSTDIR\baseq3"
    File "/oname=$target" "${SRC}\PakZV01.pk3"
    StrCpy $0 $target
    Call LogFile
    Goto done
no_slot:
    MessageBox MB_ICONEXCLAMATION "There were one or more errors whilst installing the files."
done:
SectionEnd
