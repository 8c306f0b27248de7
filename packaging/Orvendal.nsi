; The per-user installer of Orvendal: no administrator rights; the files go into
; %LOCALAPPDATA%\Programs\Orvendal (or the folder given with /D=), the shortcuts and the
; Uninstall entry under the current user. /S installs and uninstalls without a window.
;
; Built by packaging/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION_TEXT=2.02.00337 -DVERSION_NUMBERS=2.2.337.0
;            -DPROGRAM=... -DHELP=... -DCLI=... -DICON=... -DOUTFILE=... Orvendal.nsi

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
; The installed files take the time of installation, so the installer holds no build time.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvendal"

Name "Orvendal"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Orvendal"
; Installing again goes where the last installation went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tamberlyn Orvendal ${VERSION_TEXT}"

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=2052 "ProductName" "Orvendal"
VIAddVersionKey /LANG=2052 "CompanyName" "Tamberlyn"
VIAddVersionKey /LANG=2052 "FileDescription" "Orvendal ${VERSION_TEXT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION_TEXT}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) Tamberlyn"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Orvendal.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Section "Orvendal" SectionProgram
    SetOutPath "$INSTDIR"
    File "/oname=Orvendal.exe" "${PROGRAM}"
    File "/oname=Orvendal.chm" "${HELP}"
    File "/oname=orvendal-cli.exe" "${CLI}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; Send To passes the chosen file as the only argument: the program opens with it hashed.
    CreateDirectory "$SMPROGRAMS"
    CreateShortcut "$SMPROGRAMS\Orvendal.lnk" "$INSTDIR\Orvendal.exe"
    CreateDirectory "$SENDTO"
    CreateShortcut "$SENDTO\Orvendal.lnk" "$INSTDIR\Orvendal.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Orvendal"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION_TEXT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tamberlyn"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Orvendal.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    SectionGetSize ${SectionProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

    ; The program clears the settings an earlier version may have left.
    ExecWait '"$INSTDIR\Orvendal.exe" /install'
SectionEnd

Section "Uninstall"
    ; The program removes its settings itself, so it runs while it is still there.
    ${If} ${FileExists} "$INSTDIR\Orvendal.exe"
        ExecWait '"$INSTDIR\Orvendal.exe" /uninstall'
    ${EndIf}
    ; Only what the installer put here; a file of the user's own keeps the folder.
    Delete "$INSTDIR\Orvendal.exe"
    Delete "$INSTDIR\Orvendal.chm"
    Delete "$INSTDIR\orvendal-cli.exe"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"

    ; The shortcuts and the entry belong to the installation the entry names: an installation
    ; into another folder since then has taken them over.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${OrIf} $0 == $INSTDIR
        Delete "$SMPROGRAMS\Orvendal.lnk"
        Delete "$SENDTO\Orvendal.lnk"
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
