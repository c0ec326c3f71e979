# Shared by the walk-throughs under Wine (ventana.sh, ventana-sucursales.sh, instalador.sh), sourced
# with two arguments: the screenshot folder given to the script (may be empty) and the default
# folder's name under build-win/; the script sets `etiqueta`, the word its lines start with, first.
# Sets up the Wine prefix of scripts/windows/test.sh, a private X display and a temporary folder
# ($tmp) that end with the script, and the helpers that wait for windows, press keys and take
# screenshots.
raiz="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
obra="$raiz/build-win"
salida="${1:-$obra/$2}"
mkdir -p "$salida"
export WINEPREFIX="$obra/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64

tmp="$(mktemp -d)"
pantalla=""
for n in $(seq 141 240); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then pantalla=$n; break; fi
done
Xvfb ":$pantalla" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=":$pantalla"
terminar() {
  /usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap terminar EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$pantalla" ] && break; sleep 0.1; done
# Wine's desktop belongs to the display of the server's first program: a server left from another
# display (scripts/windows/test.sh shares this prefix: not at the same time) is stopped first.
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true

n=0
foto() {
  n=$((n + 1))
  import -window root "$salida/$(printf '%02d' $n)-$1.png"
  echo "$etiqueta: $salida/$(printf '%02d' $n)-$1.png"
}
falla() { foto fallo; echo "$etiqueta: $1" >&2; exit 1; }
# The window whose title is exactly $1, once it is shown (up to $2 seconds, default 60).
espera() {
  local id=""
  for _ in $(seq "${2:-60}"); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 1
  done
  return 1
}
# Until no window titled $1 is shown (up to 120 seconds).
espera_cierre() {
  for _ in $(seq 120); do
    [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
    sleep 1
  done
  return 1
}
# Enter in the window titled $1 (without a window manager, focus goes by hand).
enter_en() {
  local id
  id="$(espera "$1")" || falla "no apareció la ventana \"$1\""
  xdotool windowfocus "$id"
  sleep 0.3
  xdotool key Return
}
clic() { # window x y (client coordinates)
  xdotool mousemove --window "$1" "$2" "$3" click 1
  sleep "${4:-1}"
}
ruta_win() { echo "Z:${1//\//\\}"; }
