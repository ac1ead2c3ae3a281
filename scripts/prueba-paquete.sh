#!/usr/bin/env bash
# The Debian package as a site installs it: built from the build folder,
# unpacked into a fresh root, its programs run by a user whose home is an
# empty temporary folder (not root: root may write anywhere). Checks that
# --help and --version answer, that quenvar-demo builds its demo in the
# user's folder and a dry run works on it, that nothing is written beside
# the installed programs, and that the menu entry is valid.
#
#   prueba-paquete.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:?falta la carpeta de compilación}" && pwd)
tmp=$(mktemp -d /tmp/quenvar-paquete.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
chmod 755 "$tmp"
fallos=0
falla() { echo "FALLO: $*" >&2; fallos=$((fallos + 1)); }

# The package, built apart from the build folder's own.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$tmp/cpack" > "$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2; exit 1; }
deb=$(ls "$tmp"/cpack/quenvar_*.deb)
echo "paquete: $(basename "$deb")"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || falla "el paquete no depende de Qt 6"
raiz="$tmp/raiz"
mkdir -p "$raiz"
dpkg-deb -x "$deb" "$raiz"
chmod 755 "$raiz"
bin="$raiz/usr/bin"
for p in quenvar quenvar-consulta quenvar-demo quenvar-json quenvar-lote quenvar-sql; do
  [ -x "$bin/$p" ] || falla "falta $p en /usr/bin"
done
[ -f "$raiz/usr/share/quenvar/Styles/iTunes/Normalitunes.ini" ] || falla "faltan las hojas de estilo"
[ -f "$raiz/usr/share/icons/hicolor/scalable/apps/quenvar.svg" ] || falla "falta el icono"
desktop-file-validate "$raiz/usr/share/applications/quenvar.desktop" || falla "la entrada del menú no es válida"

antes=$(cd "$raiz" && find . -printf '%p %s %T@\n' | sort)

# A user of its own, with an empty home.
casa="$tmp/casa"
mkdir -p "$casa"
como=()
if [ "$(id -u)" -eq 0 ]; then
  chown nobody "$casa"
  como=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
usuario() {
  env -i PATH=/usr/bin:/bin HOME="$casa" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "${como[@]}" "$@"
}

for p in quenvar quenvar-consulta quenvar-demo quenvar-json quenvar-lote quenvar-sql; do
  ayuda=$(usuario "$bin/$p" --help) || falla "$p --help salió con $?"
  grep -q -- "--version" <<< "$ayuda" || falla "$p --help no lista --version"
  version=$(usuario "$bin/$p" --version) || falla "$p --version salió con $?"
  [[ "$version" =~ ^$p\ [0-9] ]] || falla "$p --version dijo: $version"
done

demo=$(usuario "$bin/quenvar-demo" --articulos 300) || falla "quenvar-demo salió con $?"
carpeta="$casa/.local/share/quenvar"
[ -f "$carpeta/DEMO.db" ] || falla "la demo no está en $carpeta"
linea=$(tail -n 1 <<< "$demo")
grep -q "^Para abrirla: $bin/quenvar '" <<< "$demo" || falla "quenvar-demo no dice cómo abrirla: $demo"

codigos=$(printf 'SELECT TOP 3 LTRIM(RTRIM(IdArticulo)) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE %s ORDER BY IdArticulo\n' \
  "'%|%'" | usuario "$bin/quenvar-sql" "$linea" | tail -n +2)
: > "$tmp/pares.txt"
n=0
while read -r c; do
  [ -n "$c" ] && printf '%s,PAQ-%d\r\n' "$c" $((n += 1)) >> "$tmp/pares.txt"
done <<< "$codigos"
[ "$n" -eq 3 ] || falla "no se leyeron tres códigos de la demo: $codigos"
chmod 644 "$tmp/pares.txt"
previa=$(usuario "$bin/quenvar-lote" --vista-previa --archivo "$tmp/pares.txt" "$linea" 2>&1) ||
  falla "quenvar-lote --vista-previa salió con $?: $previa"
grep -q "PAQ-1" <<< "$previa" || falla "la vista previa no muestra el par: $previa"

despues=$(cd "$raiz" && find . -printf '%p %s %T@\n' | sort)
[ "$antes" = "$despues" ] || { falla "se escribió junto a los programas instalados:"; diff <(echo "$antes") <(echo "$despues") >&2 || true; }

if [ "$fallos" -ne 0 ]; then echo "paquete: $fallos comprobaciones fallidas" >&2; exit 1; fi
echo "paquete: instalado, ayuda y versión, demo en la carpeta del usuario, vista previa; nada escrito en /usr"
