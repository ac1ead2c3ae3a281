"""The real programs on a screen of their own: an Xvfb display with openbox,
driven only through XTEST (xdotool keys, typing, pointer moves and clicks),
and the demo database read through quenvar-sql.

Every process started here is in its own process group and dies with the
test (SIGKILL on the parent's death), so a timed-out test leaves nothing."""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _muere_con_el_padre():
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Fallo(Exception):
    pass


class Escritorio:
    """A display, its window manager, the demo and the programs started on it."""

    def __init__(self, binarios, caso, articulos=800, ancho=1024, alto=768):
        self.bin = binarios
        self.caso = caso
        self.procesos = []
        self.capturas = os.path.join(os.getcwd(), "capturas-" + caso)
        self.carpeta = tempfile.mkdtemp(prefix="quenvar-e2e-")
        self.fallos = []
        self.conocidas = []
        faltan = [p for p in ("Xvfb", "xdotool", "openbox") if shutil.which(p) is None]
        if faltan:
            raise Fallo("faltan programas para las pruebas de punta a punta: %s "
                        "(paquetes xvfb, xdotool, openbox)" % ", ".join(faltan))
        try:
            self._pantalla(ancho, alto)
            self.linea = self._demo(articulos)
        except BaseException:
            self.cierra()
            raise

    # ---- processes -------------------------------------------------------------------

    def lanza(self, args, **kw):
        log = open(os.path.join(self.carpeta, "log-%d.txt" % len(self.procesos)), "wb")
        p = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT,
                             start_new_session=True, preexec_fn=_muere_con_el_padre, **kw)
        p.log = log.name
        log.close()
        self.procesos.append(p)
        return p

    def _pantalla(self, ancho, alto):
        self.env = dict(os.environ)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        self.env["HOME"] = self.carpeta
        self.env["XDG_CONFIG_HOME"] = os.path.join(self.carpeta, ".config")
        self.env["LANG"] = self.env["LC_ALL"] = "C.UTF-8"
        lee, escribe = os.pipe()
        self.xvfb = self.lanza(["Xvfb", "-displayfd", str(escribe), "-screen", "0", "%dx%dx24" % (ancho, alto),
                                "-nolisten", "tcp", "-noreset"], pass_fds=(escribe,))
        os.close(escribe)
        numero = b""
        limite = time.monotonic() + 20
        while not numero.endswith(b"\n"):
            if not select.select([lee], [], [], max(0.0, limite - time.monotonic()))[0]:
                os.close(lee)
                raise Fallo("Xvfb no dijo su pantalla en 20 s")
            parte = os.read(lee, 16)
            if not parte:
                os.close(lee)
                raise Fallo("Xvfb terminó sin abrir una pantalla (salida %s)" % self.xvfb.poll())
            numero += parte
        os.close(lee)
        self.env["DISPLAY"] = ":" + numero.decode().strip()
        self.lanza(["openbox", "--sm-disable"])
        # Managed once openbox announces its desktops on the root window.
        limite = time.monotonic() + 15
        while subprocess.run(["xdotool", "get_num_desktops"], env=self.env, capture_output=True).returncode:
            if time.monotonic() > limite:
                raise Fallo("openbox no tomó la pantalla en 15 s")
            time.sleep(0.1)

    def _demo(self, articulos):
        r = subprocess.run([os.path.join(self.bin, "quenvar-demo"), "--carpeta", self.carpeta, "--articulos",
                            str(articulos), "--semilla", "20"], capture_output=True, timeout=120)
        if r.returncode != 0:
            raise Fallo("quenvar-demo: %s" % r.stderr.decode("utf-8", "replace"))
        return r.stdout.decode().strip().splitlines()[-1]

    def programa(self, *args, nombre="quenvar"):
        return self.lanza([os.path.join(self.bin, nombre), "--carpeta", self.carpeta] + list(args))

    def termina(self, p, segundos=10):
        """The exit status, waiting at most that long; None when it had to be killed."""
        try:
            return p.wait(segundos)
        except subprocess.TimeoutExpired:
            self._mata(p)
            return None

    def _mata(self, p):
        if p.poll() is not None:
            return
        for senal, espera in ((signal.SIGTERM, 2), (signal.SIGKILL, 5)):
            try:
                os.killpg(p.pid, senal)
            except ProcessLookupError:
                return
            try:
                p.wait(espera)
                return
            except subprocess.TimeoutExpired:
                pass

    def cierra(self):
        for p in reversed(self.procesos):
            self._mata(p)
        shutil.rmtree(self.carpeta, ignore_errors=True)

    # ---- the screen ------------------------------------------------------------------

    def x(self, *args):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env, capture_output=True, timeout=30)
        return r.returncode, r.stdout.decode().split()

    def ventanas(self, nombre):
        codigo, ids = self.x("search", "--onlyvisible", "--name", nombre)
        return ids if codigo == 0 else []

    def espera(self, nombre, segundos=15, que=None):
        """The visible window whose title matches, waiting for it; a failure when it does not come."""
        limite = time.monotonic() + segundos
        while True:
            ids = self.ventanas(nombre)
            if ids:
                time.sleep(0.3)  # mapped is not yet painted nor focused
                return ids[-1]
            if time.monotonic() > limite:
                raise Fallo(self.captura(que or "no apareció la ventana \"%s\" en %d s" % (nombre, segundos)))
            time.sleep(0.1)

    def aparece(self, nombre, segundos):
        """Whether a window with that title shows within that time."""
        limite = time.monotonic() + segundos
        while time.monotonic() < limite:
            if self.ventanas(nombre):
                time.sleep(0.3)
                return True
            time.sleep(0.1)
        return False

    def desaparece(self, nombre, segundos=15):
        limite = time.monotonic() + segundos
        while self.ventanas(nombre):
            if time.monotonic() > limite:
                raise Fallo(self.captura("la ventana \"%s\" sigue abierta tras %d s" % (nombre, segundos)))
            time.sleep(0.1)

    def teclas(self, *teclas):
        self.x("key", "--delay", 60, *teclas)
        time.sleep(0.2)

    def escribe(self, texto):
        self.x("type", "--delay", 40, texto)
        time.sleep(0.2)

    def clic(self, ventana, x, y):
        """A click at x, y of a window's client area."""
        self.x("mousemove", "--window", ventana, x, y, "click", 1)
        time.sleep(0.3)

    def captura(self, texto):
        """Saves the screen for a failure and returns the failure's text naming it."""
        if shutil.which("import") is None:
            return texto
        os.makedirs(self.capturas, exist_ok=True)
        ruta = os.path.join(self.capturas, "%02d.png" % len(os.listdir(self.capturas)))
        subprocess.run(["import", "-window", "root", ruta], env=self.env, capture_output=True, timeout=30)
        return "%s (captura: %s)" % (texto, ruta)

    # ---- the database ----------------------------------------------------------------

    def sql(self, texto):
        """The rows of the last result, each a list of the columns' texts."""
        r = subprocess.run([os.path.join(self.bin, "quenvar-sql"), "--carpeta", self.carpeta, self.linea],
                           input=texto.encode("utf-8"), capture_output=True, timeout=60)
        if r.returncode != 0:
            raise Fallo("quenvar-sql: %s" % r.stderr.decode("utf-8", "replace"))
        lineas = r.stdout.decode("utf-8", "replace").splitlines()[1:]
        return [l.rstrip("\r").split("\t") for l in lineas if l.strip()]

    def valor(self, texto):
        filas = self.sql(texto)
        return filas[0][0] if filas else None

    # ---- checks ----------------------------------------------------------------------

    def comprueba(self, cond, texto):
        """Records a failed check and goes on; a failure is a known one when its text starts with one of those
        given on the command line."""
        if cond:
            return True
        if any(texto.startswith(c) for c in self.conocidas):
            print("FALLA CONOCIDA:", texto, flush=True)
            self.vistas = getattr(self, "vistas", set()) | {c for c in self.conocidas if texto.startswith(c)}
        else:
            self.fallos.append(texto)
            print("FALLO:", texto, flush=True)
        return False


def ejecuta(casos):
    """usage: SCRIPT BIN_DIR CASE [--conocida TEXT]...

    A known fault is the start of a check's text: the case passes while that check (and no other) fails, and
    fails once it no longer does, so that the mark is taken away with the mend."""
    if len(sys.argv) < 3 or sys.argv[2] not in casos:
        print("uso: %s BIN CASO [--conocida TEXTO]...; casos: %s" % (sys.argv[0], " ".join(casos)), file=sys.stderr)
        return 2
    conocidas = [sys.argv[i + 1] for i in range(3, len(sys.argv) - 1) if sys.argv[i] == "--conocida"]

    def termina(senal, _):
        raise SystemExit(128 + senal)

    for s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(s, termina)
    inicio = time.monotonic()
    e = None
    try:
        e = Escritorio(sys.argv[1], sys.argv[2])
        e.conocidas = conocidas
        casos[sys.argv[2]](e)
    except Fallo as f:
        print("FALLO:", f, flush=True)
        if e:
            e.fallos.append(str(f))
        else:
            return 1
    finally:
        if e:
            for p in e.procesos[2:]:
                if p.poll() is None or e.fallos:
                    with open(p.log, "rb") as f:
                        salida = f.read().decode("utf-8", "replace").strip()
                    if salida:
                        print("--- salida de %s:\n%s" % (" ".join(p.args[:1]), salida[-3000:]))
            e.cierra()
    print("%s: %.1f s" % (sys.argv[2], time.monotonic() - inicio))
    no_vistas = [c for c in conocidas if c not in getattr(e, "vistas", set())]
    for c in no_vistas:
        print("FALLO: la falla conocida \"%s\" ya no ocurre: quitar la marca --conocida" % c)
    return 1 if e.fallos or no_vistas else 0
