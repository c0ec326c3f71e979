; Spanish installer of CuestionarioQRTZ for Windows, built by scripts/windows/build.sh with makensis:
;   makensis -DDIST=<dist folder> -DVERSION=<version> -DICONO=<.ico> -DSALIDA=<installer file> instalador.nsi
; The main program, one file, goes into Tavoro's folder (it reads the database beside it); the
; consolidation window, the tools, the guide and the licences go under Program Files. The uninstaller
; removes exactly what was installed, and never a file that was there before.
; Silent install for IT: CuestionarioQRTZ-instalador.exe /S /D=C:\Tavoro Software

; A 64-bit installer, like the programs it installs (and Wine without its 32-bit part runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "x64.nsh"

Name "CuestionarioQRTZ"
OutFile "${SALIDA}"
InstallDir "C:\Tavoro Software"
BrandingText "CuestionarioQRTZ ${VERSION}"

!define CLAVE_DESINSTALAR "Software\Microsoft\Windows\CurrentVersion\Uninstall\CuestionarioQRTZ"
!define CARPETA_PROGRAMA "$PROGRAMFILES64\CuestionarioQRTZ"

!define MUI_ICON "${ICONO}"
!define MUI_UNICON "${ICONO}"
!define MUI_ABORTWARNING

!define MUI_DIRECTORYPAGE_TEXT_TOP "Elija la carpeta del Tavoro: la que contiene Tavoro.INI y la carpeta DataBase. El programa se coloca ahí, junto a la base de datos, que solo lee."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Carpeta del Tavoro"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RevisaCarpetaTavoro
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductName" "CuestionarioQRTZ"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileDescription" "Instalador de CuestionarioQRTZ"
VIAddVersionKey /LANG=${LANG_SPANISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SPANISH} "LegalCopyright" "Los autores de CuestionarioQRTZ"

Function .onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ; Where Tavoro usually is, when no folder was given.
  ${If} ${FileExists} "$INSTDIR\Tavoro.INI"
    Return
  ${EndIf}
  ${If} ${FileExists} "C:\Tavoro\Tavoro.INI"
    StrCpy $INSTDIR "C:\Tavoro"
  ${EndIf}
FunctionEnd

; The chosen folder must be Tavoro's; files of ours must not replace files that are already there.
Function RevisaCarpetaTavoro
  ${IfNot} ${FileExists} "$INSTDIR\Tavoro.INI"
  ${OrIfNot} ${FileExists} "$INSTDIR\DataBase\Tavoro.mdb"
    IfSilent 0 +4
      SetErrorLevel 2
      DetailPrint "La carpeta $INSTDIR no es la del Tavoro (le faltan Tavoro.INI o DataBase\Tavoro.mdb)."
      Abort
    MessageBox MB_YESNO|MB_ICONEXCLAMATION "La carpeta $INSTDIR no parece la del Tavoro: le faltan Tavoro.INI o DataBase\Tavoro.mdb.$\r$\n$\r$\nEl programa solo funciona en la carpeta del Tavoro. ¿Desea instalarlo en esta carpeta de todos modos?" IDYES +2
    Abort
  ${EndIf}
  ; A file of the same name that an earlier install of ours did not put there belongs to someone
  ; else (a copy made by hand, perhaps): it is never replaced.
  ReadRegStr $0 HKLM "${CLAVE_DESINSTALAR}" "CarpetaTavoro"
  ${If} $0 != $INSTDIR
  ${AndIf} ${FileExists} "$INSTDIR\CuestionarioQRTZ.exe"
    IfSilent 0 +4
      SetErrorLevel 2
      DetailPrint "Ya existe $INSTDIR\CuestionarioQRTZ.exe; no se reemplaza."
      Abort
    MessageBox MB_OK|MB_ICONSTOP "Ya existe $INSTDIR\CuestionarioQRTZ.exe en la carpeta del Tavoro (¿una copia anterior del programa, copiada a mano?).$\r$\n$\r$\nEl instalador no reemplaza archivos que no puso él. Bórrela o elija otra carpeta."
    Abort
  ${EndIf}
FunctionEnd

Section "CuestionarioQRTZ" SecPrograma
  ; Silent installs get the same checks as the folder page.
  IfSilent 0 +2
    Call RevisaCarpetaTavoro

  ; Into Tavoro's folder: the program, one file.
  SetOutPath "$INSTDIR"
  File "${DIST}/CuestionarioQRTZ.exe"

  ; Under Program Files: the consolidation window, the tools, the guide, the licences and the
  ; uninstaller.
  SetOutPath "${CARPETA_PROGRAMA}"
  File "${DIST}/Herramientas/*.exe"
  File "${DIST}/Guía del usuario.pdf"
  SetOutPath "${CARPETA_PROGRAMA}\Licencias"
  File "${DIST}/Licencias/*.*"
  WriteUninstaller "${CARPETA_PROGRAMA}\Desinstalar.exe"

  ; Start menu and desktop; the main program starts in Tavoro's folder.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\CuestionarioQRTZ"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\CuestionarioQRTZ\Cuestionario QRTZ 2019.lnk" "$INSTDIR\CuestionarioQRTZ.exe"
  CreateShortcut "$DESKTOP\Cuestionario QRTZ 2019.lnk" "$INSTDIR\CuestionarioQRTZ.exe"
  SetOutPath "${CARPETA_PROGRAMA}"
  CreateShortcut "$SMPROGRAMS\CuestionarioQRTZ\Cuestionario QRTZ - Sucursales.lnk" "${CARPETA_PROGRAMA}\CuestionarioQRTZ-Sucursales.exe"
  CreateShortcut "$SMPROGRAMS\CuestionarioQRTZ\Guía del usuario.lnk" "${CARPETA_PROGRAMA}\Guía del usuario.pdf"
  CreateShortcut "$SMPROGRAMS\CuestionarioQRTZ\Desinstalar CuestionarioQRTZ.lnk" "${CARPETA_PROGRAMA}\Desinstalar.exe"

  ; "Aplicaciones y características".
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayName" "CuestionarioQRTZ"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "Publisher" "Los autores de CuestionarioQRTZ"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "DisplayIcon" "$INSTDIR\CuestionarioQRTZ.exe"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "InstallLocation" "${CARPETA_PROGRAMA}"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "CarpetaTavoro" "$INSTDIR"
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "UninstallString" '"${CARPETA_PROGRAMA}\Desinstalar.exe"'
  WriteRegStr HKLM "${CLAVE_DESINSTALAR}" "QuietUninstallString" '"${CARPETA_PROGRAMA}\Desinstalar.exe" /S'
  WriteRegDWORD HKLM "${CLAVE_DESINSTALAR}" "NoModify" 1
  WriteRegDWORD HKLM "${CLAVE_DESINSTALAR}" "NoRepair" 1
SectionEnd

Function un.onInit
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ReadRegStr $INSTDIR HKLM "${CLAVE_DESINSTALAR}" "CarpetaTavoro"
  ; Exactly the file this installer put into Tavoro's folder; nothing of the Tavoro is touched.
  ${If} $INSTDIR != ""
    Delete "$INSTDIR\CuestionarioQRTZ.exe"
  ${EndIf}
  SetShellVarContext all
  Delete "$SMPROGRAMS\CuestionarioQRTZ\Cuestionario QRTZ 2019.lnk"
  Delete "$SMPROGRAMS\CuestionarioQRTZ\Cuestionario QRTZ - Sucursales.lnk"
  Delete "$SMPROGRAMS\CuestionarioQRTZ\Guía del usuario.lnk"
  Delete "$SMPROGRAMS\CuestionarioQRTZ\Desinstalar CuestionarioQRTZ.lnk"
  RMDir "$SMPROGRAMS\CuestionarioQRTZ"
  Delete "$DESKTOP\Cuestionario QRTZ 2019.lnk"
  RMDir /r "${CARPETA_PROGRAMA}"
  DeleteRegKey HKLM "${CLAVE_DESINSTALAR}"
SectionEnd
