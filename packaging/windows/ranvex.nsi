; The Windows installer of Ranvex, for the classroom's PCs.
;   makensis -INPUTCHARSET UTF8 -DVERSION=x.y.z -DPROGRAM=<folder> -DFILES=<list.nsh> -DREMOVE=<list.nsh>
;            -DOUTFILE=<installer.exe> ranvex.nsi
; PROGRAM is the program folder as the build laid it out; FILES and REMOVE install and
; remove exactly its files, so that the uninstaller takes away the program and nothing
; the PC keeps beside it.
;
; Silent, for a school that deploys by script:
;   Ranvex-Setup-x.y.z.exe /S /SHARED=\\server\juku\ /D=C:\juku\ranvex
; The program goes into <classroom>\ranvex (the folder's name picks the program's data
; folder on the share); <classroom>\パスデータ.txt, which names the shared folder, is
; written when there is none. Uninstalling leaves the path file and the share alone.

; A 64-bit installer for the 64-bit programs (and for wine64, which runs no 32-bit program).
Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

Name "Ranvex"
OutFile "${OUTFILE}"
InstallDir "C:\Ranvex\ranvex"
BrandingText "Ranvex ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Ranvex"
VIAddVersionKey /LANG=1041 "FileDescription" "Ranvex のインストーラー"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Ranvex"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ranvex"

Var Shared
Var SharedField
Var PathFile

!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "Ranvex ${VERSION} のインストール"
!define MUI_WELCOMEPAGE_TEXT "計算の順序の練習プログラム Ranvex をこの PC に入れます。$\r$\n$\r$\n次の画面で、プログラムを入れるフォルダ（教室のフォルダの中の ranvex）と、教室の共有フォルダを決めます。"
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "プログラムを入れるフォルダです。フォルダの名前（ふつうは ranvex）で、共有フォルダの中の成績のフォルダが決まります。その上のフォルダにパスデータ.txt を置きます。"
!insertmacro MUI_PAGE_DIRECTORY
Page custom SharedPage SharedPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ranvex.exe"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/SHARED=" $Shared
  ${If} ${Errors}
    StrCpy $Shared ""
  ${EndIf}
FunctionEnd

; The path file beside the program folder.
Function FindPathFile
  ${GetParent} "$INSTDIR" $0
  StrCpy $PathFile "$0\パスデータ.txt"
FunctionEnd

Function SharedPage
  Call FindPathFile
  ${If} ${FileExists} "$PathFile"
    Abort ; the PC is set up already: its path file stays as it is
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "共有フォルダ" "教室のどの PC からも見える共有フォルダを指定してください。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "名簿、共通データ、音フォルダ、成績のある共有フォルダです（例: \\server\juku\）。$\r$\n$PathFile に書きます。"
  Pop $0
  ${NSD_CreateText} 0 44u 78% 13u "$Shared"
  Pop $SharedField
  ${NSD_CreateBrowseButton} 80% 43u 20% 15u "参照..."
  Pop $0
  ${NSD_OnClick} $0 BrowseShared
  nsDialogs::Show
FunctionEnd

Function BrowseShared
  ${NSD_GetText} $SharedField $0
  nsDialogs::SelectFolderDialog "共有フォルダを選んでください" "$0"
  Pop $0
  ${If} $0 != error
    ${NSD_SetText} $SharedField "$0"
  ${EndIf}
FunctionEnd

Function SharedPageLeave
  ${NSD_GetText} $SharedField $Shared
  ${If} $Shared == ""
    MessageBox MB_ICONEXCLAMATION|MB_OK "共有フォルダを指定してください。"
    Abort
  ${EndIf}
FunctionEnd

Section "Ranvex"
  SetOutPath "$INSTDIR"
  !include "${FILES}"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Ranvex"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Ranvex"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ranvex.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1

  ; Shortcuts for every pupil's account of the PC.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Ranvex"
  CreateShortCut "$SMPROGRAMS\Ranvex\Ranvex.lnk" "$INSTDIR\ranvex.exe"
  CreateShortCut "$SMPROGRAMS\Ranvex\Ranvex のアンインストール.lnk" "$INSTDIR\uninstall.exe"
  CreateShortCut "$DESKTOP\Ranvex.lnk" "$INSTDIR\ranvex.exe"

  ; The path file, written by the data tool in code page 932 as the program reads it;
  ; one that is there already is the school's own and is kept. Without a shared folder
  ; (a silent install without /SHARED=) the school provides the file itself.
  Call FindPathFile
  ${IfNot} ${FileExists} "$PathFile"
  ${AndIf} $Shared != ""
    ; A "\" before the closing quote would escape it on the command line: the tool puts
    ; the final separator back.
    ${Do}
      StrCpy $0 "$Shared" 1 -1
      ${If} $0 != "\"
        ${Break}
      ${EndIf}
      StrCpy $Shared "$Shared" -1
    ${Loop}
    DetailPrint "パスデータ.txt: $Shared\"
    nsExec::ExecToLog '"$INSTDIR\ranvex-data.exe" setup --shared "$Shared"'
    Pop $0
    ${If} $0 != 0
      DetailPrint "パスデータ.txt を書けませんでした（$0）"
      ${IfNot} ${Silent}
        MessageBox MB_ICONEXCLAMATION|MB_OK "$PathFile を書けませんでした。$\r$\n共有フォルダを一行目に書いたパスデータ.txt を置いてください。"
      ${EndIf}
      SetErrorLevel 2
    ${EndIf}
  ${EndIf}
SectionEnd

Section "Uninstall"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  ; Drills this PC finished while the share could not be written wait in the program
  ; folder until a later start delivers them: such a file stays, and the folder with it.
  ; Once it is empty, it goes with the program.
  StrCpy $0 "$INSTDIR\成績累積データ未送信.dat"
  ${If} ${FileExists} "$0"
    FileOpen $1 "$0" r
    FileSeek $1 0 END $2
    FileClose $1
    ${If} $2 == 0
      Delete "$0"
      Delete "$INSTDIR\成績累積データ送信中.dat"
    ${ElseIfNot} ${Silent}
      MessageBox MB_ICONEXCLAMATION|MB_OK "この PC で記録して、まだ共有フォルダに書いていない成績が $0 に残っています。このファイルとフォルダは消しません。"
    ${EndIf}
  ${EndIf}
  ; Only an empty folder goes: anything else the PC keeps there stays.
  RMDir "$INSTDIR"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Ranvex\Ranvex.lnk"
  Delete "$SMPROGRAMS\Ranvex\Ranvex のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Ranvex"
  Delete "$DESKTOP\Ranvex.lnk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
