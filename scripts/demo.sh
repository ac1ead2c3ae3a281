#!/usr/bin/env bash
# Sets up, builds the embedded demo databases in demo/ and starts the
# program on them, logged in. With --clave OTRA the command line carries
# that password instead, so the program shows its access dialog.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
clave=""
if [ "${1:-}" = "--clave" ]; then clave=${2:-}; fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "No hay pantalla: falta DISPLAY. Sin pantalla, el programa puede verse bajo Xvfb:" >&2
  echo "    xvfb-run -a bash scripts/demo.sh        (y bash scripts/capturas.sh guarda capturas PNG)" >&2
  exit 1
fi

bash "$top/scripts/setup.sh"
bin="$build/bin"
carpeta=${QUENVAR_DEMO:-$top/demo}
mkdir -p "$carpeta"
linea=$("$bin/quenvar-demo" --carpeta "$carpeta" | tail -n 1)
if [ -n "$clave" ]; then linea=${linea/@Password=admin;/@Password=$clave;}; fi
echo "Base de demostración en $carpeta; línea de comandos: $linea" >&2
exec "$bin/quenvar" --carpeta "$carpeta" "$linea"
