; The Korvane installer: puts Korvane.dll, Retrakt.exe and Korvane.chm into one
; folder and registers the context-menu handler. Built by tools/build-installer.sh:
;   makensis -INPUTCHARSET UTF8 -DOUTFILE=... -DBIN64=<64-bit bin> [-DBIN32=<32-bit bin>] [-DTARGET_AMD64] korvane.nsi
; The library and the uninstaller come in the bitness of the system: a 32-bit
; uninstaller on 64-bit Windows would see the redirected registry and miss the
; 64-bit registration. The release installer is a 32-bit (ANSI) program carrying
; both builds, so it runs from the 9x family on; TARGET_AMD64 makes a 64-bit
; installer with the 64-bit builds alone (the tests run it under a 64-bit-only Wine).
; Removal is Retrakt's: the Uninstall entry runs "Retrakt.exe uninstall".

!ifdef TARGET_AMD64
  Target amd64-unicode
!else
  Target x86-ansi
  !ifndef BIN32
    !error "the 32-bit installer needs BIN32, the folder of the 32-bit builds"
  !endif
!endif

!define CLASS_ID "{D366B385-D565-40FE-B20F-2E5F2DCAD397}"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane"
!define VERSION "1.0.0"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!ifndef TARGET_AMD64
  !include "x64.nsh"
!endif

Name "Korvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Korvane"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=1041 "ProductName" "Korvane"
VIAddVersionKey /LANG=1041 "CompanyName" "Wendlock"
VIAddVersionKey /LANG=1041 "FileDescription" "Korvane インストーラ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Wendlock"

!if /FileExists "${ICON}"
  !define MUI_ICON "${ICON}"
!endif
!define MUI_FINISHPAGE_NOAUTOCLOSE
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "Japanese"

; A library Explorer holds cannot be overwritten: the new one is put beside it and
; takes its place at the next restart.
!macro PutFile SOURCE NAME
  ClearErrors
  SetOverwrite try
  File "/oname=${NAME}" "${SOURCE}"
  ${If} ${Errors}
    SetOverwrite on
    File "/oname=${NAME}.new" "${SOURCE}"
    Rename /REBOOTOK "$INSTDIR\${NAME}.new" "$INSTDIR\${NAME}"
  ${EndIf}
  SetOverwrite on
!macroend

!macro PutBuild BIN
  !insertmacro PutFile "${BIN}/Korvane.dll" "Korvane.dll"
  !insertmacro PutFile "${BIN}/Retrakt.exe" "Retrakt.exe"
!macroend

!ifndef TARGET_AMD64
Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
    ; The 64-bit builds go to the 64-bit program folder unless /D= named another.
    ${If} $INSTDIR == "$PROGRAMFILES\Korvane"
      StrCpy $INSTDIR "$PROGRAMFILES64\Korvane"
    ${EndIf}
  ${EndIf}
FunctionEnd
!endif

Section "Korvane"
  SetOutPath "$INSTDIR"
!ifdef TARGET_AMD64
  !insertmacro PutBuild "${BIN64}"
!else
  ${If} ${RunningX64}
    SetRegView 64
    !insertmacro PutBuild "${BIN64}"
  ${Else}
    !insertmacro PutBuild "${BIN32}"
  ${EndIf}
!endif
  File "/oname=Korvane.chm" "${BIN64}/Korvane.chm"

  ; The class and the two handlers, in the registry view of the installed library.
  WriteRegStr HKCR "CLSID\${CLASS_ID}" "" "Korvane"
  WriteRegStr HKCR "CLSID\${CLASS_ID}\InprocServer32" "" "$INSTDIR\Korvane.dll"
  WriteRegStr HKCR "CLSID\${CLASS_ID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKCR "*\shellex\ContextMenuHandlers\Korvane" "" "${CLASS_ID}"
  WriteRegStr HKCR "Folder\shellex\ContextMenuHandlers\Korvane" "" "${CLASS_ID}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Korvane"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Wendlock"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Retrakt.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Retrakt.exe" uninstall'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd
