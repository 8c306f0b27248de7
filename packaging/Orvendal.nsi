; The per-user installer of Orvendal: no administrator rights; the files go into
; %LOCALAPPDATA%\Programs\Orvendal (or the folder given with /D=), the shortcuts and the
; Uninstall entry and Explorer's right-click entries under the current user. /S installs and
; uninstalls without a window.
;
; Built by packaging/CMakeLists.txt:
;   makensis -INPUTCHARSET UTF8 -DVERSION_TEXT=2.02.00337 -DVERSION_NUMBERS=2.2.337.0
;            -DPROGRAM=... -DHELP=... -DCLI=... -DICON=... -DMENU_ENTRIES=... -DOUTFILE=... Orvendal.nsi
; MENU_ENTRIES is the include packaging/menu_entries.py writes: the entries' values and the
; names of their verb keys.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
; The installed files take the time of installation, so the installer holds no build time.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include Integration.nsh
!include "${MENU_ENTRIES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvendal"
!define CLASSES "Software\Classes"

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

; Removes the right-click entries: the two verbs on every file, and the check verb on whatever
; file type carries it, so that the types an earlier version listed go too. Parent keys go only
; when they are left empty; other programs' verbs and values stay.
!macro DefineRemoveMenuEntries PREFIX
Function ${PREFIX}RemoveMenuEntries
    DeleteRegKey HKCU "${CLASSES}\*\shell\${HASH_VERB}"
    DeleteRegKey HKCU "${CLASSES}\*\shell\${CHECK_VERB}"
    DeleteRegKey /ifempty HKCU "${CLASSES}\*\shell"
    DeleteRegKey /ifempty HKCU "${CLASSES}\*"
    StrCpy $R0 0
    ${Do}
        EnumRegKey $R1 HKCU "${CLASSES}\SystemFileAssociations" $R0
        ${IfThen} $R1 == "" ${|} ${ExitDo} ${|}
        ClearErrors
        EnumRegKey $R2 HKCU "${CLASSES}\SystemFileAssociations\$R1\shell\${CHECK_VERB}" 0
        ${IfNot} ${Errors}
            DeleteRegKey HKCU "${CLASSES}\SystemFileAssociations\$R1\shell\${CHECK_VERB}"
            DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\$R1\shell"
            DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations\$R1"
        ${EndIf}
        ; When the type's key went, the next one has taken its index.
        EnumRegKey $R2 HKCU "${CLASSES}\SystemFileAssociations" $R0
        ${If} $R2 == $R1
            IntOp $R0 $R0 + 1
        ${EndIf}
    ${Loop}
    DeleteRegKey /ifempty HKCU "${CLASSES}\SystemFileAssociations"
FunctionEnd
!macroend
!insertmacro DefineRemoveMenuEntries ""
!insertmacro DefineRemoveMenuEntries "un."

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

    ; One set of entries, this version's, whatever was installed before.
    Call RemoveMenuEntries
    !insertmacro WriteMenuEntries
    ${NotifyShell_AssocChanged}

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

    ; The shortcuts, the right-click entries and the Uninstall entry belong to the installation
    ; the Uninstall entry names: an installation into another folder since then has taken them over.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == ""
    ${OrIf} $0 == $INSTDIR
        Delete "$SMPROGRAMS\Orvendal.lnk"
        Delete "$SENDTO\Orvendal.lnk"
        Call un.RemoveMenuEntries
        ${NotifyShell_AssocChanged}
        DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${EndIf}
SectionEnd
