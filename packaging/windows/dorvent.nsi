; The Windows installer of Dorvent, made by scripts/windows:
;   makensis -DVERSION=1.0 -DSTAGE=folder -DFILES=files.nsh -DOUTFILE=setup.exe dorvent.nsi
; STAGE holds what the archive holds; FILES lists it for the uninstaller, which removes only
; what was installed. A silent install (/S) takes the default folder.

Unicode true
Target amd64-unicode
!include "MUI2.nsh"

Name "Dorvent ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Dorvent"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dorvent"
!define MUI_ICON "dorvent.ico"
!define MUI_UNICON "dorvent.ico"
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
    SetRegView 64
FunctionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Dorvent"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateDirectory "$SMPROGRAMS\Dorvent"
    CreateShortcut "$SMPROGRAMS\Dorvent\Dorvent.lnk" "$INSTDIR\dorvent.exe"
    CreateShortcut "$SMPROGRAMS\Dorvent\卸载 Dorvent.lnk" "$INSTDIR\uninstall.exe"

    ; Pipeline files open in Dorvent from Explorer.
    WriteRegStr HKLM "Software\Classes\.dorvent" "" "Dorvent.Pipeline"
    WriteRegStr HKLM "Software\Classes\Dorvent.Pipeline" "" "Dorvent 管线文件"
    WriteRegStr HKLM "Software\Classes\Dorvent.Pipeline\DefaultIcon" "" "$INSTDIR\dorvent.exe,0"
    WriteRegStr HKLM "Software\Classes\Dorvent.Pipeline\shell\open\command" "" '"$INSTDIR\dorvent.exe" "%1"'
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Dorvent ${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Dorvent development team"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\dorvent.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    !include "${FILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"

    Delete "$SMPROGRAMS\Dorvent\Dorvent.lnk"
    Delete "$SMPROGRAMS\Dorvent\卸载 Dorvent.lnk"
    RMDir "$SMPROGRAMS\Dorvent"

    ; The association only while it is still ours.
    ReadRegStr $0 HKLM "Software\Classes\.dorvent" ""
    StrCmp $0 "Dorvent.Pipeline" 0 +2
    DeleteRegKey HKLM "Software\Classes\.dorvent"
    DeleteRegKey HKLM "Software\Classes\Dorvent.Pipeline"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
