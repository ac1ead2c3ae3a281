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
espera() { xdotool search --sync --onlyvisible --name "$1" > /dev/null; }
