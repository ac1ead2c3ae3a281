#!/usr/bin/env bash
# The program as installed from its Debian package, started as its menu
# entry starts it (the entry's Exec, with no command line) under Xvfb, by a
# user whose home is an empty temporary folder: the access dialog, filled in
# for the demo that the installed quenvar-demo built in the user's folder,
# then the main window. PNG screenshots in capturas/ (or the folder given).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
salida=${1:-$top/capturas}
bash "$top/scripts/setup.sh" > /dev/null
mkdir -p "$salida"

tmp=$(mktemp -d /tmp/quenvar-instalado.XXXXXX)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$tmp"' EXIT
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/cpack" > /dev/null
raiz="$tmp/raiz"
mkdir -p "$raiz" "$tmp/casa"
dpkg-deb -x "$tmp"/cpack/quenvar_*.deb "$raiz"
entrada="$raiz/usr/share/applications/quenvar.desktop"
exec_=$(sed -n 's/^Exec=//p' "$entrada")
export HOME="$tmp/casa" PATH="$raiz/usr/bin:$PATH"
unset QUENVAR_CARPETA XDG_DATA_HOME
quenvar-demo --articulos 3000 | tail -n 2 | head -n 1

source "$top/scripts/pantalla.sh" :96

$exec_ 2>/dev/null &
pid=$!
espera "Control de Acceso"
xdotool key ctrl+a; xdotool type ADMIN; xdotool key Tab; xdotool type admin
xdotool key Tab; xdotool type DEMO; xdotool key Tab; xdotool type '(embebido)'
captura 20-instalado-acceso
xdotool key Return Return Return
espera "^Quenvar$"
captura 21-instalado-ventana 1.5
kill -TERM "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
