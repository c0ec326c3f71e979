#!/usr/bin/env bash
# Runs the shipped CuestionarioQRTZ.exe under Wine in a private X display, in a sample Tavoro folder,
# and goes through login, detection, ticking, the report preview and the PDF export like a user
# (xdotool), saving a screenshot at each step into the folder given (default build-win/capturas).
# Ends with an error when a step does not come (a window that does not appear, no 11-page PDF).
# Needs scripts/windows/build.sh and the Wine prefix of scripts/windows/test.sh, which runs it last.
set -euo pipefail
etiqueta=ventana
source "$(dirname "$0")/recorrido-comun.sh" "${1:-}" capturas
carpeta="$tmp/Tavoro"
"$raiz/scripts/windows/wine-ejecuta.sh" "$obra/dist/CuestionarioQRTZ/Herramientas/mdbgen.exe" sample "$carpeta" \
  >/dev/null 2>&1
# Installed by hand, as the guide says: the one program file copied into Tavoro's folder.
cp "$obra/dist/CuestionarioQRTZ/CuestionarioQRTZ.exe" "$carpeta/"

# Started from its own folder, with no environment besides Wine's: as a user starts it.
(cd "$carpeta" && "$wine" "$carpeta/CuestionarioQRTZ.exe" >"$salida/programa.log" 2>&1 &)
espera "Advertencia" >/dev/null || falla "no apareció el mensaje de indicaciones"
sleep 1
foto indicaciones
enter_en "Advertencia"
espera_cierre "Advertencia" || falla "el mensaje de indicaciones no se cerró"
v="$(espera "Cuestionario QRTZ 2019")" || falla "no apareció la ventana principal"
eval "$(xdotool getwindowgeometry --shell "$v")"
foto_ventana() { n=$((n + 1)); import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$salida/$(printf '%02d' $n)-$1.png"; echo "ventana: $salida/$(printf '%02d' $n)-$1.png"; }
# The controls' places in the window (client coordinates, the window has a fixed size).
clic "$v" 360 114 0.5
xdotool type --delay 60 ADMIN
clic "$v" 360 143 0.5
xdotool type --delay 60 ADMIN
foto_ventana acceso
clic "$v" 530 243 1
for _ in $(seq 60); do
  # The first row of the list shows a name once the detection has run.
  [ "$(import -window "$v" -crop 300x12+182+424 -colorspace gray -format '%[fx:minima]' info: 2>/dev/null)" != 1 ] &&
    break
  sleep 1
done
sleep 1
foto_ventana deteccion
# Ticks the first two clients in the mark column.
clic "$v" 130 430 1
clic "$v" 130 446 1
foto_ventana marcados
clic "$v" 564 594 2
foto indicaciones-reporte
enter_en "Advertencia"
p="$(espera "Vista previa" 180)" || falla "no apareció la vista previa del reporte"
sleep 2
foto vista-previa
# The preview's "PDF" button, then the export options, then Windows' "save as" dialog with the
# proposed name in the program's folder.
eval "$(xdotool getwindowgeometry --shell "$p")"
xdotool mousemove $((X + 122)) $((Y + 12)) click 1
o="$(espera "Exportar a PDF" 30)" || falla "no apareció el cuadro de opciones del PDF"
sleep 1
foto opciones-pdf
enter_en "Exportar a PDF"
espera "Guardar como" 30 >/dev/null || falla "no apareció el cuadro para guardar el PDF"
sleep 1
foto guardar-como
enter_en "Guardar como"
for _ in $(seq 60); do [ -s "$carpeta/CuestionarioQRTZ.pdf" ] && break; sleep 1; done
sleep 3
paginas="$(pdfinfo "$carpeta/CuestionarioQRTZ.pdf" 2>/dev/null | sed -n 's/^Pages: *//p')"
[ "$paginas" = 11 ] || falla "el PDF exportado no tiene 11 páginas (${paginas:-no existe})"
cp "$carpeta/CuestionarioQRTZ.pdf" "$salida/"
echo "ventana: PDF exportado desde la vista previa, $paginas páginas: $salida/CuestionarioQRTZ.pdf"
# Closes the preview with its "Cerrar" button; the window says how the step ended.
xdotool mousemove $((X + WIDTH - 145)) $((Y + 12)) click 1
espera_cierre "Vista previa" || falla "la vista previa no se cerró"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$v")"
foto_ventana reporte-generado
# Closed as a user closes it (Alt+F4), the program ends, leaving no process behind.
xdotool windowfocus "$v"
sleep 0.3
xdotool key alt+F4
for _ in $(seq 30); do pgrep -f 'CuestionarioQRTZ\.exe' >/dev/null || break; sleep 1; done
pgrep -f 'CuestionarioQRTZ\.exe' >/dev/null && falla "el programa no terminó al cerrar su ventana"
echo "ventana: el programa terminó al cerrar su ventana"
