#!/usr/bin/env bash
# Runs the shipped CuestionarioQRTZ-Sucursales.exe under Wine in a private X display over two sample
# branch folders (given on its command line) and goes through it like an officer (xdotool): the
# key and password, "Revisar sucursales y detectar PEPs", a PEP ticked, "Generar reporte
# consolidado", the report preview and the PDF export; a screenshot at each step into the folder
# given (default build-win/capturas-sucursales). Ends with an error when a step does not come (a
# window that does not appear, a PDF without the eleven pages and the annex).
# Needs scripts/windows/build.sh and the Wine prefix of scripts/windows/test.sh, which runs it last.
set -euo pipefail
etiqueta=sucursales
source "$(dirname "$0")/recorrido-comun.sh" "${1:-}" capturas-sucursales
programa="$obra/dist/CuestionarioQRTZ/Herramientas"
"$raiz/scripts/windows/wine-ejecuta.sh" "$programa/mdbgen.exe" sample "$tmp/Centro" --operaciones 3000 --semilla 3 \
  >/dev/null 2>&1
"$raiz/scripts/windows/wine-ejecuta.sh" "$programa/mdbgen.exe" sample "$tmp/Aeropuerto" --operaciones 2000 \
  --semilla 5 >/dev/null 2>&1
mkdir -p "$tmp/Oficina"
# Files written after this mark are this run's.
marca="$tmp/marca"
touch "$marca"
sleep 1
# Started from an office folder of its own, the branches as Windows paths on its command line.
(cd "$tmp/Oficina" && "$wine" "$programa/CuestionarioQRTZ-Sucursales.exe" \
  "$(ruta_win "$tmp/Centro")" "$(ruta_win "$tmp/Aeropuerto")" \
  >"$salida/programa.log" 2>&1 &)
v="$(espera "Cuestionario QRTZ 2019 - Sucursales")" || falla "no apareció la ventana de sucursales"
sleep 2
eval "$(xdotool getwindowgeometry --shell "$v")"
foto_ventana() { n=$((n + 1)); import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" "$salida/$(printf '%02d' $n)-$1.png"; echo "sucursales: $salida/$(printf '%02d' $n)-$1.png"; }
foto_ventana carpetas
# The key and password by their labels' shortcuts, then "Revisar ..." by its own.
xdotool windowfocus "$v"
sleep 0.3
xdotool key alt+u
xdotool type --delay 60 admin
xdotool key alt+o
xdotool type --delay 60 admin
foto_ventana acceso
xdotool key alt+r
# Both rows say "Lista: ..." once the branches are checked (the Estado column's text).
for _ in $(seq 60); do
  txt="$(import -window "$v" -crop 120x40+790+118 -colorspace gray -format '%[fx:minima<0.5]' info: 2>/dev/null)"
  [ "$txt" = 1 ] && break
  sleep 1
done
foto_ventana revisadas
# Ticks the first candidate of the first branch in the PEP column.
clic "$v" 25 426 1
foto_ventana marcado
xdotool windowfocus "$v"
sleep 0.3
xdotool key alt+g
p="$(espera "Vista previa" 180)" || falla "no apareció la vista previa del reporte consolidado"
sleep 2
foto vista-previa
# The preview's "PDF" button, the export options, then Windows' "save as" dialog with the proposed
# name in the user's documents (the consolidated report belongs to no branch's folder).
eval "$(xdotool getwindowgeometry --shell "$p")"
xdotool mousemove $((X + 122)) $((Y + 12)) click 1
espera "Exportar a PDF" 30 >/dev/null || falla "no apareció el cuadro de opciones del PDF"
sleep 1
enter_en "Exportar a PDF"
espera "Guardar como" 30 >/dev/null || falla "no apareció el cuadro para guardar el PDF"
sleep 1
foto guardar-como
enter_en "Guardar como"
pdf=""
for _ in $(seq 60); do
  pdf="$(find -L "$WINEPREFIX/drive_c/users" -maxdepth 3 -name CuestionarioQRTZ-Consolidado.pdf -newer "$marca" \
    -size +0 2>/dev/null | head -n 1)"
  [ -n "$pdf" ] && break
  sleep 1
done
sleep 3
paginas="$(pdfinfo "$pdf" 2>/dev/null | sed -n 's/^Pages: *//p')"
[ "${paginas:-0}" -gt 11 ] || falla "el PDF consolidado no tiene las 11 páginas y el anexo (${paginas:-no existe})"
pdftotext -layout "$pdf" "$salida/consolidado.txt"
grep -q "Sucursal 2 (Aeropuerto)" "$salida/consolidado.txt" || falla "el anexo del PDF no nombra las sucursales"
cp "$pdf" "$salida/"
rm -f "$pdf" # the next run starts without it
echo "sucursales: PDF consolidado desde la vista previa, $paginas páginas: $salida/$(basename "$pdf")"
xdotool mousemove $((X + WIDTH - 145)) $((Y + 12)) click 1
espera_cierre "Vista previa" || falla "la vista previa no se cerró"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$v")"
foto_ventana reporte-generado
# The branches' folders are as they were: the program only read them.
for s in Centro Aeropuerto; do
  [ "$(ls "$tmp/$s" "$tmp/$s/DataBase" | tr '\n' ' ')" = "$tmp/$s: DataBase Tavoro.INI  $tmp/$s/DataBase: Tavoro.mdb " ] ||
    falla "la carpeta $s tiene archivos nuevos: $(ls -R "$tmp/$s")"
done
# Closed as a user closes it (Alt+F4), the program ends, leaving no process behind.
xdotool windowfocus "$v"
sleep 0.3
xdotool key alt+F4
for _ in $(seq 30); do pgrep -f CuestionarioQRTZ-Sucursales.exe >/dev/null || break; sleep 1; done
pgrep -f CuestionarioQRTZ-Sucursales.exe >/dev/null && falla "el programa no terminó al cerrar su ventana"
echo "sucursales: el programa terminó al cerrar su ventana"
