#!/usr/bin/env bash
# Sets up, builds the embedded demo databases in demo/ and starts the program on them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${QUENVAR_BUILD:-$top/build}
bash "$top/scripts/setup.sh"
bin="$build/bin"
carpeta=${QUENVAR_DEMO:-$top/demo}
mkdir -p "$carpeta"

if [ -x "$bin/quenvar-demo" ]; then
  linea=$("$bin/quenvar-demo" --carpeta "$carpeta" | tail -n 1)
else
  linea=""
fi

if [ -x "$bin/quenvar" ]; then
  exec "$bin/quenvar" --carpeta "$carpeta" "$linea"
fi

echo "La ventana principal todavía no existe; se muestra lo que el proyecto ya puede hacer sobre la demo." >&2
if [ -x "$bin/quenvar-sql" ] && [ -n "$linea" ]; then
  echo "Base de demostración en $carpeta; línea de comandos: $linea" >&2
  printf 'SELECT COUNT(*) AS Articulos FROM V_MA_ARTICULOS\nGO\nSELECT TOP 5 IdArticulo, Descripcion FROM V_MA_ARTICULOS\n' \
    | "$bin/quenvar-sql" --carpeta "$carpeta" "$linea"
elif [ -x "$bin/quenvar-demo-frame" ]; then
  exec "$bin/quenvar-demo-frame" --carpeta "$carpeta"
else
  echo "Por ahora sólo hay bibliotecas y pruebas: ejecute scripts/test.sh." >&2
fi
