# Sourced by the screenshot scripts: an Xvfb display ($QUENVAR_PANTALLA, else
# the one given) with openbox, so that windows show their captions, and
# the helpers to wait for a window and to save the screen in $salida.
pantalla=${QUENVAR_PANTALLA:-$1}   # another display when the default is taken
Xvfb $pantalla -screen 0 1024x768x24 -nolisten tcp > /dev/null 2>&1 &
export DISPLAY=$pantalla
sleep 1
openbox > /dev/null 2>&1 &
sleep 1

captura() { sleep "${2:-0.8}"; import -window root "$salida/$1.png"; echo "$salida/$1.png"; }
# The first visible window whose name matches, waiting up to 30 s for it. A
# search can meet a window that is closing (BadWindow): it is asked again.
ventana() {
  local i id
  for i in $(seq 1 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "no apareció la ventana: $1" >&2
  return 1
}
espera() { ventana "$1" > /dev/null; }
