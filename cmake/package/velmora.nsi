; Velmora's setup program: a per-user install that needs no administrator
; rights. Velmora keeps its macros beside itself, so it goes into a folder the
; user can write to, never into Program Files.
;
; cmake/Package.cmake passes VERSION (1.24.083), FILE_VERSION (1.24.83.0),
; EXE, CHM, ICON, SIDE_BITMAP and OUTFILE with /D.

Unicode true
; The program is 64-bit only, and a 64-bit setup needs no 32-bit Windows layer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
SetDateSave on

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PUBLISHER "Brackwell, Inc."
!define HOME_PAGE "https://www.brackwell.example/velmora/"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Named after the program file, as Velmora names it.
!define SETTINGS_KEY "Software\velmora"
; The block through which a second start of Velmora finds the running one.
!define SHARE_MAPPING "Velmora1(ipc)"

Name "Velmora"
Caption "Velmora Setup"
UninstallCaption "Velmora Uninstall"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmora"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Velmora ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_BITMAP}"
!define MUI_ABORTWARNING
!define MUI_ABORTWARNING_TEXT "Stop setting up Velmora?"

!define MUI_DIRECTORYPAGE_TEXT_TOP "Velmora will be installed for you alone; no administrator rights are needed.$\r$\n$\r$\nVelmora keeps your macros in its own folder, so choose a folder you can write to."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Velmora is installed"
!define MUI_FINISHPAGE_TEXT "Velmora sits in the notification area. Click its icon to add macros, and start them with their hot keys."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Velmora now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartVelmora
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Velmora"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "© 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Velmora Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

; The Velmora that was running before setup ended it, to start it again.
Var Restart

; Finds a running Velmora of this user. Out: $R0 a handle to its process (0
; when none runs), $R1 its program file. The block is named after the user's
; SID ("${SHARE_MAPPING} S-1-5-..."); a Velmora from before that uses the bare
; name. It holds the low 32 bits of the main window handle; reading them as a
; signed int sign-extends them.
!macro DEFINE_FIND_RUNNING un
Function ${un}FindRunning
    StrCpy $R0 0
    StrCpy $R1 ""
    StrCpy $6 ""
    ; TOKEN_QUERY of this process (-1), then its TokenUser (1) as SID text.
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .r7) i .r8'
    ${If} $8 != 0
        System::Call 'advapi32::GetTokenInformation(p r7, i 1, p 0, i 0, *i .r8)'
        System::Alloc $8
        Pop $9
        System::Call 'advapi32::GetTokenInformation(p r7, i 1, p r9, i r8, *i .r8) i .r8'
        ${If} $8 != 0
            System::Call '*$9(p .r8)'
            System::Call 'advapi32::ConvertSidToStringSidW(p r8, *p .r8) i .r5'
            ${If} $5 != 0
                System::Call '*$8(&w${NSIS_MAX_STRLEN} .r6)'
                System::Call 'kernel32::LocalFree(p r8)'
            ${EndIf}
        ${EndIf}
        System::Free $9
        System::Call 'kernel32::CloseHandle(p r7)'
    ${EndIf}
    ; FILE_MAP_READ
    System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${SHARE_MAPPING} $6") p .r1'
    ${If} $1 == 0
        System::Call 'kernel32::OpenFileMappingW(i 4, i 0, w "${SHARE_MAPPING}") p .r1'
    ${EndIf}
    ${If} $1 == 0
        Return
    ${EndIf}
    System::Call 'kernel32::MapViewOfFile(p r1, i 4, i 0, i 0, p 4) p .r2'
    ${If} $2 != 0
        System::Call '*$2(i .r3)'
        System::Call 'kernel32::UnmapViewOfFile(p r2)'
        System::Call 'user32::IsWindow(p r3) i .r4'
        ${If} $4 != 0
            System::Call 'user32::GetWindowThreadProcessId(p r3, *i .r5)'
            ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
            System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i r5) p .R0'
            ${If} $R0 != 0
                System::Call 'kernel32::QueryFullProcessImageNameW(p R0, i 0, w .R1, *i ${NSIS_MAX_STRLEN})'
            ${EndIf}
        ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
FunctionEnd
!macroend
!insertmacro DEFINE_FIND_RUNNING ""
!insertmacro DEFINE_FIND_RUNNING "un."

; Asks the Velmora found by FindRunning to end the way a second start with
; /shutdown does, which saves its settings, and waits until it has ended.
!macro DEFINE_END_RUNNING un
Function ${un}EndRunning
    ${If} $R0 == 0
        Return
    ${EndIf}
    StrCpy $0 $R1
    ${If} $0 == ""
        StrCpy $0 "$INSTDIR\velmora.exe"
    ${EndIf}
    DetailPrint "Closing Velmora..."
    ask:
    ExecWait '"$0" /shutdown'
    System::Call 'kernel32::WaitForSingleObject(p R0, i 20000) i .r1'
    ${If} $1 != 0
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Velmora is still running. Close it from its icon in the notification area, then click Retry." /SD IDCANCEL IDRETRY ask
        System::Call 'kernel32::CloseHandle(p R0)'
        StrCpy $R0 0
        DetailPrint "Velmora is still running; nothing was changed."
        SetErrorLevel 2
        Abort
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R0)'
    StrCpy $R0 0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING ""
!insertmacro DEFINE_END_RUNNING "un."

; Out: $0 why Velmora cannot live in $INSTDIR, or "" when it can.
Function CheckFolder
    StrCpy $0 ""
    ${ForEach} $1 0 3 + 1
        ${Select} $1
            ${Case} 0
                StrCpy $2 $PROGRAMFILES64
            ${Case} 1
                StrCpy $2 $PROGRAMFILES32
            ${Case} 2
                StrCpy $2 $WINDIR
            ${CaseElse}
                ReadEnvStr $2 "ProgramW6432"
        ${EndSelect}
        ${If} $2 != ""
            StrLen $3 $2
            StrCpy $4 $INSTDIR $3
            StrCpy $5 $INSTDIR 1 $3
            ${If} $4 == $2
            ${AndIf} $5 == "\"
            ${OrIf} $INSTDIR == $2
                StrCpy $0 "Velmora cannot be installed in $2, because it keeps your macros beside itself and Windows protects that folder. Choose a folder of your own."
                Return
            ${EndIf}
        ${EndIf}
    ${Next}

    ; A test file shows whether the folder takes Velmora's macros.
    StrCpy $6 0
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        StrCpy $6 1
    ${EndIf}
    ClearErrors
    CreateDirectory "$INSTDIR"
    FileOpen $7 "$INSTDIR\velmora-setup.tmp" w
    ${If} ${Errors}
        StrCpy $0 "Velmora cannot write to $INSTDIR. Choose a folder you can write to."
    ${Else}
        FileClose $7
        Delete "$INSTDIR\velmora-setup.tmp"
    ${EndIf}
    ${If} $6 == 1
        RMDir "$INSTDIR"
    ${EndIf}
FunctionEnd

Function DirectoryLeave
    Call CheckFolder
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
        Abort
    ${EndIf}
FunctionEnd

Function StartVelmora
    ; A second start of a running Velmora simply ends, so this is safe after
    ; the restart below too.
    Exec '"$INSTDIR\velmora.exe"'
FunctionEnd

Section "Velmora" SectionProgram
    SectionIn RO

    ; The folder page checked the folder already; silent mode skips that page
    ; and /D= may name any folder.
    ${If} ${Silent}
        Call CheckFolder
        ${If} $0 != ""
            DetailPrint "$0"
            SetErrorLevel 2
            Abort
        ${EndIf}
    ${EndIf}

    Call FindRunning
    StrCpy $Restart $R1
    ${If} $R0 != 0
    ${AndIf} $Restart == ""
        StrCpy $Restart "$INSTDIR\velmora.exe"
    ${EndIf}
    Call EndRunning

    ; Only the program files: velmora.dtx, its backup velmora.dtx.bak and the settings stay as they are.
    SetOutPath "$INSTDIR"
    SetOverwrite on
    File "/oname=velmora.exe" "${EXE}"
    File "/oname=velmora.chm" "${CHM}"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    SetShellVarContext current
    CreateShortcut "$SMPROGRAMS\Velmora.lnk" "$INSTDIR\velmora.exe" "" "$INSTDIR\velmora.exe" 0 SW_SHOWNORMAL "" "Runs your macros from hot keys"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Velmora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "${HOME_PAGE}"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ; In KB, the program files alone.
    SectionGetSize ${SectionProgram} $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

    ${If} $Restart != ""
        Exec '"$Restart"'
    ${EndIf}
SectionEnd

Section "Uninstall"
    Call un.FindRunning
    Call un.EndRunning

    Delete "$INSTDIR\velmora.exe"
    Delete "$INSTDIR\velmora.chm"
    Delete "$INSTDIR\uninstall.exe"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Velmora.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegValue HKCU "${RUN_KEY}" "Velmora"

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your macros and Velmora's settings?$\r$\n$\r$\nChoose No to keep them for a later installation." /SD IDNO IDNO keep
    Delete "$INSTDIR\velmora.dtx"
    Delete "$INSTDIR\velmora.dtx.tmp"
    Delete "$INSTDIR\velmora.dtx.bak"
    Delete "$INSTDIR\velmora.dtx.bak.tmp"
    Delete "$INSTDIR\velmora.dat"
    Delete "$INSTDIR\velmora.dat.converted"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    keep:
    ; Left in place while it still holds the macros or anything of the user's.
    RMDir "$INSTDIR"
SectionEnd
