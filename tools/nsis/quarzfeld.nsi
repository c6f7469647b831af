; The benchmark's peer: a silent NSIS installer that puts the same files and
; registry values in place as Install_VezOdorQFZ27.exe does on the benchmark's
; machine (a first installation there: KLID b0030407, "Layout Id" 0c00, user
; lists 1 = d0010407, 2 = 00000407), and an uninstaller that takes them away.
; It computes nothing: the values are those that our programs compute there.
;
; makensis -DPAYLOAD=<folder of the payload files> -DOUTFILE=<program>
;          [-DTARGET=amd64-unicode|x86-unicode] [-DWOW64] [-DUNINSTALLER_COPY=<file>] quarzfeld.nsi
; WOW64 (with the x86 target) makes the peer of our i686 programs on 64-bit
; Windows: with redirection off, the x64 library into the native system folder
; and the WOW64 library into SysWOW64; the rest goes where a 32-bit program's
; writes land there (Program Files (x86), the 32-bit registry view).
; UNINSTALLER_COPY receives a copy of the uninstaller as it is built, so that
; its size can be read without running the installer.

!ifndef TARGET
  !define TARGET amd64-unicode
!endif
Unicode true
Target ${TARGET}
!ifdef WOW64
  !include x64.nsh
!endif

!define ENTRY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tastaturbelegung Deutsch - Quarzfeld 2.06"
!define LAYOUT "System\CurrentControlSet\Control\Keyboard Layouts\b0030407"
!define CHART "Quarzfeld V2.06 Belegungsschaubild"
!define WEB "https://quarzfeld.example/"

!ifdef UNINSTALLER_COPY
  !uninstfinalize 'cp "%1" "${UNINSTALLER_COPY}"'
!endif

Name "Deutsch - Quarzfeld 2.06"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SilentInstall silent
SilentUnInstall silent
; The 64-bit stub's $PROGRAMFILES is the native folder, as for our x86-64 build.
InstallDir "$PROGRAMFILES\Quarzfeld"

Section
!ifdef WOW64
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "/oname=VezOdorQFZ27.DLL" "${PAYLOAD}/VezOdorQFZ27_x64.DLL"
  SetOutPath "$WINDIR\SysWOW64"
  File "/oname=VezOdorQFZ27.DLL" "${PAYLOAD}/VezOdorQFZ27_wow64.DLL"
  ${EnableX64FSRedirection}
!else
  SetOutPath "$SYSDIR"
  File "/oname=VezOdorQFZ27.DLL" "${PAYLOAD}/VezOdorQFZ27_x86.DLL"
!endif
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall_VezOdorQFZ27.exe"

  DeleteRegKey HKLM "${ENTRY}"
  WriteRegStr HKLM "${ENTRY}" "DisplayName" "Tastaturbelegung Deutsch - Quarzfeld 2.06"
  ; Silent, as the benchmark starts it; our entry passes the KLID instead.
  WriteRegStr HKLM "${ENTRY}" "UninstallString" '"$INSTDIR\Uninstall_VezOdorQFZ27.exe" /S'
  WriteRegStr HKLM "${ENTRY}" "HelpLink" "${WEB}"
  WriteRegStr HKLM "${ENTRY}" "URLUpdateInfo" "${WEB}"
  WriteRegStr HKLM "${ENTRY}" "Publisher" "Quarzfeld-Tastaturbelegung"
  WriteRegStr HKLM "${ENTRY}" "URLInfoAbout" "${WEB}"
  WriteRegStr HKLM "${ENTRY}" "DisplayVersion" "2.06"
  WriteRegStr HKLM "${ENTRY}" "DisplayIcon" "$INSTDIR\${CHART}.ico"
  WriteRegStr HKLM "${ENTRY}" "Comments" "Tastaturbelegung Deutsch - Quarzfeld 2.06 und ${CHART} von Ihrem Rechner entfernen"

  File "/oname=${CHART}.pdf" "${PAYLOAD}/${CHART}.pdf"
  File "/oname=${CHART}.ico" "${PAYLOAD}/${CHART}.ico"
  Delete "$DESKTOP\${CHART}.LNK"
  CreateShortcut "$DESKTOP\${CHART}.LNK" "$INSTDIR\${CHART}.pdf" "" "$INSTDIR\${CHART}.ico" 0 SW_SHOWNORMAL "" "${CHART}"

  WriteRegStr HKLM "${LAYOUT}" "Layout Text" "Deutsch - Quarzfeld 2.06"
  WriteRegStr HKLM "${LAYOUT}" "Layout File" "VezOdorQFZ27.DLL"
  WriteRegStr HKLM "${LAYOUT}" "Layout Id" "0c00"
  WriteRegStr HKLM "${LAYOUT}" "Created by VezOdor" ""

  DeleteRegKey HKCU "Keyboard Layout\Preload"
  WriteRegStr HKCU "Keyboard Layout\Preload" "2" "00000407"
  WriteRegStr HKCU "Keyboard Layout\Preload" "1" "d0010407"
  DeleteRegKey HKCU "Keyboard Layout\Substitutes"
  WriteRegStr HKCU "Keyboard Layout\Substitutes" "d0010407" "b0030407"
SectionEnd

Section Uninstall
!ifdef WOW64
  ${DisableX64FSRedirection}
  Delete "$SYSDIR\VezOdorQFZ27.DLL"
  Delete "$WINDIR\SysWOW64\VezOdorQFZ27.DLL"
  ${EnableX64FSRedirection}
!else
  Delete "$SYSDIR\VezOdorQFZ27.DLL"
!endif

  DeleteRegKey HKCU "Keyboard Layout\Preload"
  WriteRegStr HKCU "Keyboard Layout\Preload" "1" "00000407"
  ; An empty Substitutes key, as before the installation.
  DeleteRegKey HKCU "Keyboard Layout\Substitutes"
  WriteRegStr HKCU "Keyboard Layout\Substitutes" "x" ""
  DeleteRegValue HKCU "Keyboard Layout\Substitutes" "x"
  DeleteRegKey HKLM "${LAYOUT}"

  Delete "$DESKTOP\${CHART}.LNK"
  Delete "$INSTDIR\Uninstall_VezOdorQFZ27.exe"
  Delete "$INSTDIR\${CHART}.pdf"
  Delete "$INSTDIR\${CHART}.ico"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${ENTRY}"
SectionEnd
