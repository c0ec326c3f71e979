#!/usr/bin/env bash
# Compares the Windows tools (under Wine) with the Linux build (build/) on the same files:
#  - jetsql: every user table of every real Access file in tests/datos/access;
#  - mdbgen: the sample Tavoro folder, byte for byte (so the Linux readers' checks of the writer
#    cover the Windows writer too);
#  - cuestionario (as shipped, in build-win/dist, its fonts built in): its lines on the sample
#    folder, and with --pdf an 11-page PDF whose pages look like the Linux one's.
# Called by scripts/windows/test.sh inside its Wine prefix and X display. Line endings aside (CR LF
# on Windows), the outputs must be equal. Prints "N passed, N failed".
set -uo pipefail
raiz="$(cd "$(dirname "$0")/../.." && pwd)"
cd "$raiz"
win="$raiz/build-win"
lin="$raiz/build"
ejecuta_win() { "$raiz/scripts/windows/wine-ejecuta.sh" "$@"; }
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
bien=0
mal=0
resultado() { # name status detail
  if [ "$2" = 0 ]; then
    bien=$((bien + 1))
    echo "  bien: $1${3:+ ($3)}"
  else
    mal=$((mal + 1))
    echo "  MAL:  $1${3:+ ($3)}"
  fi
}
sin_cr() { tr -d '\r'; }

for f in "$lin/tools/jetsql/jetsql" "$lin/tools/mdbgen/mdbgen" "$lin/tools/cuestionario/cuestionario"; do
  [ -x "$f" ] || { echo "compara-linux: falta $f (bash scripts/build.sh)"; echo "0 passed, 1 failed"; exit 1; }
done

echo "compara-linux: jetsql en tests/datos/access"
datos="$raiz/tests/datos/access"
n_tablas=0
dif_jetsql=0
for mdb in "$datos"/jet3/*.mdb "$datos"/jet4/*.mdb "$datos"/password/*.mdb; do
  pw=()
  case "$(basename "$mdb")" in
  V2000_with-password.mdb) pw=(--password password) ;;
  pw_ucanaccess.mdb) pw=(--password ucanaccess) ;;
  esac
  while IFS= read -r tabla; do
    [ -n "$tabla" ] || continue
    sql="SELECT * FROM [$tabla]"
    "$lin/tools/jetsql/jetsql" "$mdb" "${pw[@]}" "$sql" >"$tmp/l.txt" 2>&1
    ejecuta_win "$win/tools/jetsql/jetsql.exe" "$mdb" "${pw[@]}" "$sql" 2>&1 | sin_cr >"$tmp/w.txt"
    n_tablas=$((n_tablas + 1))
    if ! cmp -s "$tmp/l.txt" "$tmp/w.txt"; then
      dif_jetsql=$((dif_jetsql + 1))
      echo "    distinto: $(basename "$mdb") [$tabla]"
      diff "$tmp/l.txt" "$tmp/w.txt" | head -5
    fi
  done < <(mdb-tables -1 "$mdb" 2>/dev/null)
done
resultado "jetsql.exe = jetsql en $n_tablas tablas" "$dif_jetsql" "$dif_jetsql distintas"

echo "compara-linux: mdbgen sample"
"$lin/tools/mdbgen/mdbgen" sample "$tmp/lin/Tavoro" >/dev/null 2>&1
ejecuta_win "$win/tools/mdbgen/mdbgen.exe" sample "$tmp/win/Tavoro" >/dev/null 2>&1
(cd "$tmp/lin" && find . -type f | sort | xargs sha256sum) >"$tmp/lin.sum"
(cd "$tmp/win" && find . -type f | sort | xargs sha256sum) >"$tmp/win.sum"
diff -q "$tmp/lin.sum" "$tmp/win.sum" >/dev/null
resultado "mdbgen.exe sample = mdbgen sample, byte a byte" $? "$(wc -l <"$tmp/lin.sum") archivos"

echo "compara-linux: cuestionario en la carpeta de muestra"
carpeta="$tmp/lin/Tavoro"
args=("$carpeta" --usuario ADMIN --password ADMIN)
"$lin/tools/cuestionario/cuestionario" "${args[@]}" >"$tmp/c0.txt" 2>&1
mapfile -t peps < <(sed -n 's/^PEP\t\([^\t]*\)\t.*/\1/p' "$tmp/c0.txt" | head -2)
for p in "${peps[@]}"; do args+=(--pep "$p"); done
"$lin/tools/cuestionario/cuestionario" "${args[@]}" >"$tmp/cl.txt" 2>&1
ejecuta_win "$win/dist/CuestionarioQRTZ/Herramientas/cuestionario.exe" "${args[@]}" 2>&1 | sin_cr >"$tmp/cw.txt"
cmp -s "$tmp/cl.txt" "$tmp/cw.txt"
resultado "cuestionario.exe = cuestionario (${#peps[@]} PEP marcados)" $? "$(wc -l <"$tmp/cl.txt") líneas"
diff "$tmp/cl.txt" "$tmp/cw.txt" | head -10

"$lin/tools/cuestionario/cuestionario" "${args[@]}" --pdf "$tmp/l.pdf" >/dev/null 2>&1
ejecuta_win "$win/dist/CuestionarioQRTZ/Herramientas/cuestionario.exe" "${args[@]}" --pdf "$tmp/w.pdf" >/dev/null 2>&1
paginas="$(pdfinfo "$tmp/w.pdf" 2>/dev/null | sed -n 's/^Pages: *//p')"
[ "$paginas" = 11 ]
resultado "cuestionario.exe --pdf: 11 páginas" $? "${paginas:-ninguna}"
pdfinfo "$tmp/w.pdf" 2>/dev/null | grep -E '^(Title|Author|Subject|Creator):' | sed 's/^/    /'
pdffonts "$tmp/w.pdf" 2>/dev/null | tail -n +3 | awk '{print "    fuente: " $1}' | sort -u
# Page images against Linux's: share of pixels that differ, page by page (at 50 dpi), shown for
# the record. Windows and FreeType round glyph and line metrics differently, so anti-aliased text
# lands a pixel apart here and there and the shares are not zero; the check is on the words.
pdftoppm -r 50 -gray "$tmp/l.pdf" "$tmp/pl" 2>/dev/null
pdftoppm -r 50 -gray "$tmp/w.pdf" "$tmp/pw" 2>/dev/null
lista=""
for a in "$tmp"/pl-*.pgm; do
  b="$tmp/pw-${a##*/pl-}"
  [ -f "$b" ] || { lista="$lista falta"; continue; }
  ae="$(compare -metric AE -fuzz 25% "$a" "$b" null: 2>&1 | cut -d' ' -f1)"
  total="$(identify -format '%[fx:w*h]' "$a")"
  lista="$lista $(awk -v a="$ae" -v t="$total" 'BEGIN{printf "%.2f", 100*a/t}')"
done
echo "    píxeles distintos por página (%):$lista"
# Every word of every page, in the same order, within 10 points of its place in the Linux PDF (a
# line is 12 to 15 points: a lost or added line, another face or other line heights move the
# words below by more).
palabras() { # page xMin yMin xMax yMax word, one word per line
  pdftotext -bbox "$1" - 2>/dev/null | awk '/<page /{p++}
    match($0, /<word xMin="[0-9.]+" yMin="[0-9.]+" xMax="[0-9.]+" yMax="[0-9.]+">/) {
      s = substr($0, RSTART, RLENGTH); t = substr($0, RSTART + RLENGTH); sub(/<\/word>.*/, "", t)
      gsub(/[^0-9. ]/, "", s); split(s, c, " "); print p, c[1], c[2], c[3], c[4], t }'
}
palabras "$tmp/l.pdf" >"$tmp/palabras-l.txt"
palabras "$tmp/w.pdf" >"$tmp/palabras-w.txt"
desvio="$(paste -d '\t' "$tmp/palabras-l.txt" "$tmp/palabras-w.txt" | awk -F '\t' '
  { split($1, a, " "); split($2, b, " ")
    if (a[1] != b[1] || a[6] != b[6]) { distintas++; next }
    for (k = 2; k <= 5; k++) { d = a[k] - b[k]; if (d < 0) d = -d; if (d > m[a[1]]) m[a[1]] = d } }
  END { for (p = 1; p in m; p++) printf " %.1f", m[p]; printf "|%d|%d\n", distintas + 0, NR }')"
n_l="$(wc -l <"$tmp/palabras-l.txt")"
n_w="$(wc -l <"$tmp/palabras-w.txt")"
maximos="${desvio%%|*}"
distintas="$(echo "$desvio" | cut -d'|' -f2)"
peor="$(echo "$maximos" | tr ' ' '\n' | sort -g | tail -1)"
[ "$n_l" -gt 0 ] && [ "$n_l" = "$n_w" ] && [ "$distintas" = 0 ] && awk -v p="${peor:-99}" 'BEGIN{exit !(p <= 10)}'
resultado "páginas del PDF como las de Linux: las mismas $n_l palabras, cada una a ≤ 10 pt de su lugar" $? \
  "desvío máximo por página (pt):$maximos; palabras distintas: $distintas; en Windows: $n_w"
[ -n "${QRTZ_WIN_PDF:-}" ] && cp "$tmp/w.pdf" "$QRTZ_WIN_PDF" && cp "$tmp/l.pdf" "${QRTZ_WIN_PDF%.pdf}-linux.pdf"

echo "compara-linux: $bien passed, $mal failed"
echo "$bien passed, $mal failed"
[ "$mal" = 0 ]
