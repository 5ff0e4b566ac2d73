; The per-user installer of Tempora: no administrator right, everything under
; the user's own profile and the user's own registry keys.
; Built by tools/package.sh, which defines VERSION, STAGE (the folder holding
; the files to install) and OUTFILE.
; makensis reads it from its own folder, so relative paths start there.
; The program is 64-bit only, and so is its installer.
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef VERSION | STAGE | OUTFILE
  !error "define VERSION, STAGE and OUTFILE (tools/package.sh does)"
!endif

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define APPNAME "嘀嗒桌面时钟"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tempora"
!define RUNKEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The bar's window class: closing it ends a running clock cleanly, with its
; settings saved.
!define BARCLASS "TFrmLED"

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tempora"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show
BrandingText "${APPNAME} ${VERSION}"

!define MUI_ICON "../../src/app/res/Tempora.ico"
!define MUI_UNICON "../../src/app/res/Tempora.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tempora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行${APPNAME}"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "${APPNAME}安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "Tempora"

; Asks a running clock to close and waits up to five seconds for it, so that
; its files can be replaced or removed and its last settings are saved.
!macro StopClock
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${BARCLASS}" ""
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    ${If} $1 == 0
      SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=2000
    ${EndIf}
    Sleep 250
    IntOp $1 $1 + 1
    ${If} $1 > 20
      ${Break}
    ${EndIf}
  ${Loop}
!macroend

Section "!${APPNAME}" SecMain
  SectionIn RO
  !insertmacro StopClock
  SetOutPath "$INSTDIR"
  ; The shipped data never overwrites what the user already has: settings,
  ; tasks, marks and lists of an earlier installation stay as they are.
  SetOverwrite off
  File /r /x Tempora.exe /x PopupMsg.exe /x TemporaHelp.chm "${STAGE}/*.*"
  SetOverwrite on
  File "${STAGE}/Tempora.exe"
  File /nonfatal "${STAGE}/PopupMsg.exe"
  File /nonfatal "${STAGE}/TemporaHelp.chm"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\Tempora.exe"

  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Tempora"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Tempora.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" "$0"
SectionEnd

; The same value the options dialog writes, so that its box shows it ticked.
Section /o "Windows启动时运行" SecAutoStart
  WriteRegStr HKCU "${RUNKEY}" "Tempora" '"$INSTDIR\Tempora.exe" /hide'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecMain} "时钟程序、皮肤、声音和帮助文件。"
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} "登录Windows时自动启动时钟，只显示托盘图标。"
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; "/AUTOSTART" on the command line ticks the autostart part, also for a
; silent installation.
Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutoStart}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro StopClock
  Delete "$INSTDIR\Tempora.exe"
  Delete "$INSTDIR\PopupMsg.exe"
  Delete "$INSTDIR\TemporaHelp.chm"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  ReadRegStr $0 HKCU "${RUNKEY}" "Tempora"
  ${If} $0 != ""
    DeleteRegValue HKCU "${RUNKEY}" "Tempora"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTKEY}"

  ; Settings, tasks, marks, skins and lists live beside the program, or in
  ; %APPDATA%\Tempora when the program folder was not writable. They go only
  ; when the user says so; a silent uninstallation keeps them unless
  ; "/REMOVEDATA" answers yes beforehand.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REMOVEDATA" $R1
  ${IfNot} ${Errors}
    Goto removeData
  ${EndIf}
  MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
    "是否同时删除您的设置、定时任务、备忘标记和皮肤？$\n选择“否”将保留这些文件，重新安装后可继续使用。" \
    /SD IDNO IDYES removeData
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Goto done
removeData:
  RMDir /r "$APPDATA\Tempora"
  ; A folder the user picked that is not Tempora's own may hold other files:
  ; only the program's own folder is removed whole.
  ${GetFileName} "$INSTDIR" $0
  ${If} $0 == "Tempora"
    RMDir /r "$INSTDIR"
  ${Else}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
  ${EndIf}
done:
SectionEnd
