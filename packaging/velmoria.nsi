; Velmoria's setup: a per-user installation, no administrator rights. The program keeps
; its books and settings beside the exe, so it goes where the user can write
; (%LOCALAPPDATA%\Programs\Velmoria by default), never under "Program Files".
;
;   makensis -DVERSION=2026.12.8 -DSTAGE=<staged program folder> -DICON=<velmoria.ico>
;            -DOUTFILE=<setup.exe> velmoria.nsi   (packaging/make-package does this)
;
; An upgrade replaces the program files and the shipped templates, and never the user's
; books, settings, backups or a shipped data file that is already there.

Unicode true
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!macro REQUIRE NAME
  !ifndef ${NAME}
    !error "${NAME} must be defined: makensis -D${NAME}=..."
  !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE STAGE
!insertmacro REQUIRE OUTFILE
!insertmacro REQUIRE ICON

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmoria"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Velmoria"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Velmoria"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Velmoria ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "Программа установит Velmoria ${VERSION} — личный органайзер — для текущего пользователя. Права администратора не нужны.$\r$\n$\r$\nКниги и настройки Velmoria хранит в папке программы, поэтому её нужно ставить туда, куда вы можете записывать. При обновлении ваши книги, настройки и резервные копии остаются как были.$\r$\n$\r$\nНажмите «Далее», чтобы продолжить."
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderWritable
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Velmoria.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Запустить Velmoria"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Russian"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductName" "Velmoria"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "CompanyName" "Velmoria"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileDescription" "Установка Velmoria"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_RUSSIAN} "LegalCopyright" "© 2026 Velmoria"

; ---- a running copy ----------------------------------------------------------------------
; The main window's title starts with "Velmoria - " (the date follows). It is asked to
; close the way a second copy of the program asks it (WM_CLOSE: it saves and ends); files
; are not touched while it runs.
!macro CLOSE_RUNNING_COPY UN
Function ${UN}FindRunningCopy
  StrCpy $R0 0
  ${Do}
    FindWindow $R0 "#32770" "" 0 $R0
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    System::Call 'user32::GetWindowTextW(p R0, w .R2, i 1024) i'
    StrCpy $R3 $R2 11
    ${If} $R3 == "Velmoria - "
      ${Break}
    ${EndIf}
  ${Loop}
FunctionEnd

Function ${UN}CloseRunningCopy
  Call ${UN}FindRunningCopy
  ${If} $R0 = 0
    Return
  ${EndIf}
  MessageBox MB_OKCANCEL|MB_ICONQUESTION "Velmoria запущена. Закрыть её (книги будут сохранены) и продолжить?" /SD IDOK IDOK close
  Abort "Velmoria запущена: действие отменено."
  close:
  DetailPrint "Закрывается запущенная Velmoria…"
  System::Call 'user32::PostMessageW(p R0, i 0x0010, p 0, p 0)'
  ; The program may ask something while it saves: wait up to half a minute.
  StrCpy $R4 0
  ${Do}
    Sleep 500
    System::Call 'user32::IsWindow(p R0) i .R5'
    ${If} $R5 = 0
      Sleep 500  ; the process ends a moment after its window
      Return
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${LoopUntil} $R4 >= 60
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Velmoria всё ещё работает. Закройте её сами и нажмите «Повтор»." /SD IDCANCEL IDRETRY retry
  Abort "Velmoria не закрылась: действие отменено."
  retry:
  Call ${UN}CloseRunningCopy
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

; ---- the folder --------------------------------------------------------------------------
Function CheckFolderWritable
  ClearErrors
  CreateDirectory "$INSTDIR"
  FileOpen $0 "$INSTDIR\velmoria-setup.tmp" w
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONEXCLAMATION "В папку «$INSTDIR» нельзя записывать. Velmoria хранит книги и настройки рядом с программой: выберите папку, доступную для записи (например, в своей папке пользователя)."
    Abort
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\velmoria-setup.tmp"
FunctionEnd

; ---- what is installed ----------------------------------------------------------------------
Section "Velmoria" SecProgram
  SectionIn RO
  Call CloseRunningCopy

  SetOutPath "$INSTDIR"
  SetOverwrite on
  File "${STAGE}\Velmoria.exe"
  File "${STAGE}\velmoria-cli.exe"
  File "${STAGE}\Velmoria.chm"
  SetOutPath "$INSTDIR\Support"
  ; The report templates are the program's own and follow it; the date books are the
  ; user's as soon as they exist.
  File "${STAGE}\Support\*.html"
  SetOverwrite off
  File "${STAGE}\Support\*.txt"
  SetOverwrite on
  SetOutPath "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Velmoria.lnk" "$INSTDIR\Velmoria.exe" "" "$INSTDIR\Velmoria.exe" 0 SW_SHOWNORMAL "" "Личный органайзер"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Velmoria"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Velmoria"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Velmoria.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Ярлык на рабочем столе" SecDesktop
  CreateShortcut "$DESKTOP\Velmoria.lnk" "$INSTDIR\Velmoria.exe" "" "$INSTDIR\Velmoria.exe" 0 SW_SHOWNORMAL "" "Личный органайзер"
SectionEnd

; Written as the About page's "Автозагрузка" writes it: the Run value names the program
; folder's Velmoria.exe, and GENERAL/START in the settings says 1.
Section /o "Запускать вместе с Windows" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "Velmoria" "$INSTDIR\Velmoria.exe"
  WriteINIStr "$INSTDIR\Velmoria.ini" "GENERAL" "START" "1"
SectionEnd

; Choices left unticked on an upgrade undo what an earlier installation set up.
Section "-choices"
  ${IfNot} ${SectionIsSelected} ${SecDesktop}
    Delete "$DESKTOP\Velmoria.lnk"
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    ReadRegStr $0 HKCU "${RUN_KEY}" "Velmoria"
    ${If} $0 == "$INSTDIR\Velmoria.exe"
      DeleteRegValue HKCU "${RUN_KEY}" "Velmoria"
      WriteINIStr "$INSTDIR\Velmoria.ini" "GENERAL" "START" "0"
    ${EndIf}
  ${EndIf}
SectionEnd

Function .onInit
  ; An upgrade starts from what the earlier installation chose.
  ${If} ${FileExists} "$INSTDIR\Velmoria.exe"
    ${IfNot} ${FileExists} "$DESKTOP\Velmoria.lnk"
      !insertmacro UnselectSection ${SecDesktop}
    ${EndIf}
    ReadRegStr $0 HKCU "${RUN_KEY}" "Velmoria"
    ${If} $0 == "$INSTDIR\Velmoria.exe"
      !insertmacro SelectSection ${SecAutostart}
    ${EndIf}
  ${EndIf}
FunctionEnd

; ---- uninstall ------------------------------------------------------------------------------
Section "un.Velmoria" UnSecProgram
  SectionIn RO
  Call un.CloseRunningCopy
  Delete "$INSTDIR\Velmoria.exe"
  Delete "$INSTDIR\velmoria-cli.exe"
  Delete "$INSTDIR\Velmoria.chm"
  Delete "$INSTDIR\Support\*.html"
  Delete "$SMPROGRAMS\Velmoria.lnk"
  Delete "$DESKTOP\Velmoria.lnk"
  ReadRegStr $0 HKCU "${RUN_KEY}" "Velmoria"
  ${If} $0 == "$INSTDIR\Velmoria.exe"
    DeleteRegValue HKCU "${RUN_KEY}" "Velmoria"
  ${EndIf}
  DeleteRegKey HKCU "${UNINST_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Empty folders go; anything of the user's keeps its folder.
  RMDir "$INSTDIR\Temp"
  RMDir "$INSTDIR\Support"
  RMDir "$INSTDIR"
SectionEnd

; Only the folders and files the program makes: never a recursive delete of a folder the
; user may have chosen for other things too.
Section /o "un.Удалить также мои данные" UnSecData
  RMDir /r "$INSTDIR\Support"
  RMDir /r "$INSTDIR\Personal"
  RMDir /r "$INSTDIR\Temp"
  RMDir /r "$INSTDIR\Backup"
  Delete "$INSTDIR\Velmoria.ini"
  RMDir "$INSTDIR"
SectionEnd

Function un.onUninstSuccess
  ${If} ${FileExists} "$INSTDIR\*.*"
    MessageBox MB_OK|MB_ICONINFORMATION "Velmoria удалена. Ваши книги, настройки и резервные копии остались в папке «$INSTDIR»." /SD IDOK
  ${EndIf}
FunctionEnd
