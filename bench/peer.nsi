; The peer of the race: an installer made with a general-purpose installer
; tool (NSIS) that does the work of our one-file Setup.exe /S for one
; benchmark package: the package's files into the same tree, the backup of
; scenery.cfg, the same area appended (the next number, known for the
; benchmark's scenery.cfg), an uninstaller and its entry in the list of
; programs. A benchmark baseline only: nothing of it ships.
;   makensis -DPACKAGE=FOLDER -DOUT=FILE -DAREA=NNN [-DNOCOMPRESS | -DLZMA] peer.nsi
; Without either, NSIS's default compression (zlib, per file); LZMA is its
; smallest, in one solid stream.
Unicode false
!ifdef NOCOMPRESS
SetCompress off
!endif
!ifdef LZMA
SetCompressor /SOLID lzma
!endif
Name "Race"
OutFile "${OUT}"
InstallDir "C:\Race"
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent
!include "FileFunc.nsh"

Var Simulator

Section
  ${GetParameters} $R0
  ${GetOptions} $R0 "/FS=" $Simulator
  SetOutPath "$INSTDIR\Scenery"
  File "${PACKAGE}\*.bgl"
  SetOutPath "$INSTDIR\Texture"
  File /nonfatal "${PACKAGE}\*.bmp"
  File /nonfatal "${PACKAGE}\*.r8"
  SetOutPath "$INSTDIR"
  File "${PACKAGE}\License.txt"
  File "${PACKAGE}\ReadMe.txt"
  CopyFiles /SILENT "$Simulator\scenery.cfg" "$Simulator\scenery.bak"
  FileOpen $0 "$Simulator\scenery.cfg" a
  FileSeek $0 0 END
  FileWrite $0 "[Area.${AREA}]$\r$\nTitle=Race$\r$\nLocal=$INSTDIR$\r$\nActive=TRUE$\r$\nLayer=${AREA}$\r$\n$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\race-peer" "DisplayName" "Race"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\race-peer" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\race-peer" "InstallLocation" "$INSTDIR"
SectionEnd

Section "Uninstall"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\race-peer"
SectionEnd
