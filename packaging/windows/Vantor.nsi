; The Windows installer of Vantor, built by scripts/dist with makensis:
;   makensis -DVERSION=0.1.0 -DSTAGE=<folder of the files> -DICON=<Vantor.ico> -DOUTFILE=<setup.exe> Vantor.nsi
; Installs the four programs (Vantor, the skin demo with its sample table, vantor-cli, vantor-theme), README and licence
; under Program Files\Vantor, Start-menu entries for Vantor and the skin demo, and an uninstaller
; registered in Add/Remove Programs. An optional page copies a projector stub the user chooses (any
; file: Vantor only copies it) to the fixed path Vantor reads. Silent: setup.exe /S [/STUB=path] (a
; path with spaces as /STUB="path"); the uninstaller: Uninstall.exe /S. The program only copies the
; stub; vantor-cli build --icon, --version-string, --file-version and --product-version (README.txt)
; rewrite the resources of the stub's copy inside a projector, never the installed stub.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "define VERSION, STAGE, ICON and OUTFILE"
!endif

Unicode true
Target amd64-unicode            ; the programs are x86-64; so is the installer
SetCompressor /SOLID lzma
RequestExecutionLevel admin     ; Program Files and HKLM
ManifestDPIAware false

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantor"
; The stub folder is the literal path Vantor opens, not $COMMONFILES64: the program reads drive C:
; whatever drive Windows is on.
!define STUB_FOLDER "C:\Program Files\Common Files\Vantor"
!define STUB_FILE "${STUB_FOLDER}\SAF.dll"

Name "Vantor ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vantor"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Vantor ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Vantor"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Vantor ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "The Vantor developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) the Vantor developers; MIT licence"

Var StubSource      ; the stub file to copy, empty for none
Var StubField
Var StubBrowse

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Vantor.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
Page custom StubPage StubPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; /STUB=path on the command line chooses the stub (the only way in a silent install).
Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/STUB=" $StubSource
  ${If} ${Errors}
    StrCpy $StubSource ""
  ${EndIf}
  ; A stub that is not there stops the installer before it installs anything.
  ${If} $StubSource != ""
  ${AndIfNot} ${FileExists} "$StubSource"
    MessageBox MB_OK|MB_ICONSTOP "There is no file $StubSource." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
FunctionEnd

Function StubPage
  !insertmacro MUI_HEADER_TEXT "Projector stub" "Optional: the stand-alone player that projectors are built from."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 36u "Vantor builds a projector by copying a projector stub, then the movie. Choose the stub file to copy to ${STUB_FILE}, or leave the field empty to skip this step. Vantor never looks inside the file."
  Pop $0
  ${NSD_CreateText} 0 44u 80% 12u "$StubSource"
  Pop $StubField
  ${NSD_CreateBrowseButton} 82% 43u 18% 14u "Browse..."
  Pop $StubBrowse
  ${NSD_OnClick} $StubBrowse StubPageBrowse
  nsDialogs::Show
FunctionEnd

Function StubPageBrowse
  ${NSD_GetText} $StubField $0
  nsDialogs::SelectFileDialog open "$0" "All files|*.*"
  Pop $0
  ${If} $0 != ""
    ${NSD_SetText} $StubField $0
  ${EndIf}
FunctionEnd

Function StubPageLeave
  ${NSD_GetText} $StubField $StubSource
  ${If} $StubSource != ""
  ${AndIfNot} ${FileExists} "$StubSource"
    MessageBox MB_OK|MB_ICONEXCLAMATION "There is no file $StubSource."
    Abort
  ${EndIf}
FunctionEnd

Section "Vantor" SecMain
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${STAGE}\Vantor.exe"
  File "${STAGE}\skin-demo.exe"
  File "${STAGE}\skin-demo-records.csv"
  File "${STAGE}\vantor-cli.exe"
  File "${STAGE}\vantor-theme.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Vantor.lnk" "$INSTDIR\Vantor.exe"
  CreateShortcut "$SMPROGRAMS\Skin Demo.lnk" "$INSTDIR\skin-demo.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Vantor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "The Vantor developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Vantor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $StubSource != ""
    CreateDirectory "${STUB_FOLDER}"
    ClearErrors
    CopyFiles /SILENT "$StubSource" "${STUB_FILE}"
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "Cannot copy $StubSource to ${STUB_FILE}." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    ; Only a stub this installer placed is removed by the uninstaller.
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StubPlaced" 1
  ${EndIf}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\Vantor.exe"
  Delete "$INSTDIR\skin-demo.exe"
  Delete "$INSTDIR\skin-demo-records.csv"
  Delete "$INSTDIR\vantor-cli.exe"
  Delete "$INSTDIR\vantor-theme.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Vantor.lnk"
  Delete "$SMPROGRAMS\Skin Demo.lnk"
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StubPlaced"
  ${If} $0 == 1
    Delete "${STUB_FILE}"
    RMDir "${STUB_FOLDER}"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
