#!/usr/bin/env bash
# The installer under Wine as IT uses it: a silent install into a sample Tavoro folder, the installed
# program started (its first dialog photographed, then answered "No", so it ends), the uninstaller
# run silently; the Tavoro folder must end byte- and time-identical to how it was, and nothing of
# ours may be left (Program Files, Start menu, desktop, the uninstall registry key). A folder that
# is not Tavoro's is refused. Screenshots go into the folder given (default build-win/capturas-instalador).
# Needs scripts/windows/build.sh and the Wine prefix of scripts/windows/test.sh, which runs it.
set -euo pipefail
etiqueta=instalador
source "$(dirname "$0")/recorrido-comun.sh" "${1:-}" capturas-instalador
instalador="$obra/CuestionarioQRTZ-instalador.exe"
[ -f "$instalador" ] || { echo "instalador: falta $instalador (bash scripts/windows/build.sh)" >&2; exit 1; }
carpeta="$tmp/Tavoro"
# Every file under a folder with its checksum and modification time.
huella() { (cd "$1" && find . -type f -print0 | sort -z | xargs -0 -r stat -c '%n %Y %s' && find . -type f -print0 | sort -z | xargs -0 -r sha256sum); }

"$raiz/scripts/windows/wine-ejecuta.sh" "$obra/dist/CuestionarioQRTZ/Herramientas/mdbgen.exe" sample "$carpeta" >/dev/null 2>&1
[ -f "$carpeta/DataBase/Tavoro.mdb" ] || falla "no se escribió la carpeta de muestra"
antes="$(huella "$carpeta")"
lista_antes="$(cd "$carpeta" && find . | sort)"
programas="$WINEPREFIX/drive_c/Program Files/CuestionarioQRTZ"
# What an interrupted earlier run may have left in the prefix goes first.
rm -rf "$programas"
find "$WINEPREFIX/drive_c" \( -path '*Start Menu*' -o -path '*Desktop*' \) -name '*QRTZ*' -exec rm -rf {} + 2>/dev/null || true
"$wine" reg delete 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\CuestionarioQRTZ' /f >/dev/null 2>&1 || true

# A folder that is not Tavoro's: refused, nothing installed.
mkdir -p "$tmp/Otra"
if "$wine" "$instalador" /S "/D=$(ruta_win "$tmp/Otra")" >/dev/null 2>&1; then
  falla "instaló en una carpeta sin Tavoro.INI ni DataBase"
fi
[ -z "$(ls -A "$tmp/Otra")" ] || falla "dejó archivos en una carpeta que no es la del Tavoro"
[ ! -e "$programas" ] || falla "instaló en Program Files aunque rechazó la carpeta"
echo "instalador: una carpeta que no es la del Tavoro se rechaza"

# A file with the program's name that the installer did not put there (a copy made by hand) is
# never replaced: the install stops.
echo "copia a mano" >"$carpeta/CuestionarioQRTZ.exe"
if "$wine" "$instalador" /S "/D=$(ruta_win "$carpeta")" >/dev/null 2>&1; then
  falla "instaló sobre un archivo que ya estaba en la carpeta del Tavoro"
fi
[ "$(cat "$carpeta/CuestionarioQRTZ.exe")" = "copia a mano" ] || falla "reemplazó un archivo que no era suyo"
[ ! -e "$programas" ] || falla "instaló en parte aunque se detuvo"
rm "$carpeta/CuestionarioQRTZ.exe"
echo "instalador: un archivo ajeno con el nombre del programa detiene la instalación"

# Silent install into the Tavoro folder (/D= goes last, unquoted, as NSIS wants it).
"$wine" "$instalador" /S "/D=$(ruta_win "$carpeta")" >/dev/null 2>&1 || falla "la instalación silenciosa falló"
# Tavoro's folder gains exactly one file, the program.
nuevos="$(comm -13 <(echo "$lista_antes") <(cd "$carpeta" && find . | sort))"
[ "$nuevos" = "./CuestionarioQRTZ.exe" ] || falla "la carpeta del Tavoro ganó más que el programa: ${nuevos//$'\n'/ }"
for f in CuestionarioQRTZ-Sucursales.exe cuestionario.exe jetsql.exe mdbgen.exe "Guía del usuario.pdf" \
  Licencias/qt6-base.txt Desinstalar.exe; do
  [ -f "$programas/$f" ] || falla "falta $f en Program Files"
done
menu="$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name 'Cuestionario QRTZ 2019.lnk' 2>/dev/null | head -1)"
[ -n "$menu" ] || falla "no hay acceso directo en el menú Inicio"
"$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\CuestionarioQRTZ' /v DisplayName \
  2>/dev/null | grep -q CuestionarioQRTZ || falla "no quedó registrado en Aplicaciones y características"
echo "instalador: instalado en el Tavoro, en Program Files, en el menú Inicio y en el registro"

# The installed program starts from Tavoro's folder and shows its instructions; "No" ends it.
(cd "$carpeta" && "$wine" "$carpeta/CuestionarioQRTZ.exe" >/dev/null 2>&1 &)
id="$(espera Advertencia)" || falla "el programa instalado no mostró sus indicaciones"
sleep 1
foto programa-instalado
xdotool windowfocus "$id"
sleep 0.3
xdotool key Escape
for _ in $(seq 30); do pgrep -f 'CuestionarioQRTZ\.exe' >/dev/null || break; sleep 1; done
pgrep -f 'CuestionarioQRTZ\.exe' >/dev/null && falla "el programa instalado no terminó al contestar No"

# Silent uninstall; the uninstaller finishes from a copy of itself, so its work is awaited.
"$wine" "$programas/Desinstalar.exe" /S >/dev/null 2>&1 || falla "la desinstalación falló"
for _ in $(seq 60); do [ ! -e "$programas" ] && break; sleep 1; done
[ ! -e "$programas" ] || falla "quedó la carpeta de Program Files"
[ -z "$(find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name '*QRTZ*' 2>/dev/null)" ] ||
  falla "quedaron accesos directos en el menú Inicio"
if "$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\CuestionarioQRTZ' >/dev/null 2>&1; then
  falla "quedó la clave de desinstalación en el registro"
fi
despues="$(huella "$carpeta")"
if [ "$antes" != "$despues" ]; then
  diff <(echo "$antes") <(echo "$despues") | head -20 >&2
  falla "la carpeta del Tavoro no quedó como estaba"
fi
echo "instalador: desinstalado; la carpeta del Tavoro quedó idéntica (bytes y fechas) y no quedó nada del programa"
