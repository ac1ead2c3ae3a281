#!/usr/bin/env bash
# Starts the program under Xvfb on a demo and saves PNG screenshots of what
# an operator sees in capturas/ (or the folder given): the progress sign and
# the access dialog at start-up, the main window after it and empty, with a list loaded
# from a file, its per-table preview, the list's check before a run, during
# a run and after it, the spreadsheet editor, and the
# lookup windows (the article list and the tree of families).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
salida=${1:-$top/capturas}
bash "$top/scripts/setup.sh" > /dev/null

faltan=()
for p in xvfb imagemagick xdotool openbox fonts-liberation2; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || faltan+=("$p")
done
if [ ${#faltan[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq --no-install-recommends "${faltan[@]}" > /dev/null
fi

bin="$build/bin"
mkdir -p "$salida"
carpeta=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$carpeta"' EXIT
linea=$("$bin/quenvar-demo" --carpeta "$carpeta" --articulos 3000 | tail -n 1)

source "$top/scripts/pantalla.sh" :97
# A click at x, y of the main window's client area.
clic() { xdotool mousemove --window "$(ventana '^Quenvar$')" "$1" "$2" click 1; }
programa() { "$bin/quenvar" --carpeta "$carpeta" "$1" 2>/dev/null & pid=$!; }
termina() { kill -TERM "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }

# A wrong password: the message over the progress sign, then the access dialog.
programa "${linea/@Password=admin;/@Password=otra;}"
espera "Atencion!"
captura 01-aviso-y-cartel
xdotool key Return
espera "Control de Acceso"
captura 02-acceso
# The right password typed there: the main window must look as after a direct login (03).
xdotool key ctrl+a; xdotool type ADMIN; xdotool key Return ctrl+a; xdotool type admin
xdotool key Return Return Return Return
espera "^Quenvar$"
captura 02b-ventana-tras-el-acceso 1.5
termina

# Logged in: the main window, empty.
programa "$linea"
espera "Quenvar"
captura 03-ventana-vacia

# A list of 20 pairs from a file, through the button and the file dialog.
pares="$carpeta/pares.txt"
printf 'SET NOCOUNT ON\nGO\nSELECT TOP 20 RTRIM(IdArticulo) + \x27,N-\x27 + RTRIM(IdArticulo) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE \x27%% %%\x27 AND IdArticulo NOT LIKE \x27%%|%%\x27 ORDER BY IdArticulo\n' \
  | "$bin/quenvar-sql" --carpeta "$carpeta" "$linea" 2>/dev/null | tail -n +2 | tr -d '\r' | sed 's/$/\r/' > "$pares"
clic 140 440
espera "Aviso al operador"
xdotool key Return
sleep 1
xdotool type --delay 5 "$pares"
xdotool key Return
sleep 2
captura 04-lista-de-archivo

# What each table would receive (F8), without writing.
xdotool key F8
espera "Vista previa de la recodificación"
captura 04b-vista-previa 1
xdotool key ctrl+Tab ctrl+Tab
captura 04c-vista-previa-revision 0.5
xdotool key alt+e
sleep 1

# A longer run (every article under a prefix) to see the sign over the window.
termina
programa "$linea"
espera "Quenvar"
clic 120 72
xdotool type "1"
clic 290 72
xdotool type "Z1"
clic 500 24
espera "Aviso al operador"
xdotool key Return
sleep 2
xdotool key F5
# The list's check first: size variants folding into one code are merges.
espera "Revisión de la lista"
captura 05a-revision-de-la-lista 1
xdotool key alt+c
captura 05-durante-la-corrida 0.6
espera "Aviso al operador"
captura 06-fin-de-la-corrida 0.3
xdotool key Tab Return
sleep 1
# an offer to show the log may follow when a code failed
xdotool search --onlyvisible --name "Atencion" > /dev/null 2>&1 && xdotool key Tab Return
captura 07-despues-de-la-corrida 1

# The articles master as a spreadsheet.
xdotool key F6
captura 08-planilla 2
xdotool key Escape
sleep 1

# The article list from a code cell ("CONSULTAR"), narrowed by typing.
clic 60 142
xdotool key F3
espera "Consulta"
xdotool type "CABLE"
captura 09-consulta-lista 1
xdotool key Escape
termina

# The tree of families, through the lookup tool.
"$bin/quenvar-consulta" --carpeta "$carpeta" --arbol --campo IdFamilia V_TA_FAMILIAS "$linea" > /dev/null 2>&1 & pid=$!
espera "Consulta"
xdotool key Right
captura 10-consulta-arbol 1
termina
