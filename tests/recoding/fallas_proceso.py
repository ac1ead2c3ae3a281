#!/usr/bin/env python3
"""The batch tool as a process under real faults, on a demo: SIGKILL at
random moments, SIGHUP, a second signal, a closed standard output, two runs
at once and a full file system. After each: every pair is done or untouched,
every OK line is true, the undo list on disk is what committed, and no
trigger is left off.

usage: fallas_proceso.py BIN_DIR"""

import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time

BIN = sys.argv[1]
LOTE = os.path.join(BIN, "quenvar-lote")
DEMO = os.path.join(BIN, "quenvar-demo")
SQL = os.path.join(BIN, "quenvar-sql")
LINEA = "@server=(embebido);@dbname=DEMO;@usuario=ADMIN;@Password=admin;"
fallos = []


def comprueba(cond, texto):
    if not cond:
        fallos.append(texto)
        print("FALLO:", texto, flush=True)


def sql(carpeta, texto):
    r = subprocess.run([SQL, "--carpeta", carpeta, LINEA], input=texto.encode("utf-8"),
                       capture_output=True, timeout=120)
    return r.stdout.decode("utf-8", "replace").splitlines()[1:]


def demo(carpeta, articulos):
    subprocess.run([DEMO, "--carpeta", carpeta, "--articulos", str(articulos), "--semilla", "11"],
                   check=True, capture_output=True, timeout=300)


def pares(carpeta, n, etiqueta):
    codigos = sql(carpeta, "SELECT LTRIM(RTRIM(IdArticulo)) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '%|%' "
                           "AND IdArticulo NOT LIKE '% %' AND IdArticulo NOT LIKE '%,%' AND IdArticulo NOT LIKE '%.%' "
                           "AND IdArticulo NOT LIKE '%''%' AND IdArticulo NOT IN (SELECT LEFT(IdArticulo, "
                           "CHARINDEX('|', IdArticulo) - 1) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%|%') "
                           "ORDER BY IdArticulo")
    codigos = [c for c in codigos if c and c != "NULL"][:n]
    lista = [(c, "%s%d" % (etiqueta, i)) for i, c in enumerate(codigos)]
    ruta = os.path.join(carpeta, "pares-%s.txt" % etiqueta)
    with open(ruta, "w", encoding="cp1252", newline="") as f:
        for v, nv in lista:
            f.write("%s,%s\r\n" % (v, nv))
    return ruta, lista


def maestro(carpeta):
    return {c.strip().upper() for c in sql(carpeta, "SELECT IdArticulo FROM V_MA_ARTICULOS")}


def deshacer(carpeta):
    lineas = []
    for nombre in sorted(os.listdir(carpeta)):
        if nombre.startswith("Deshacer-") and nombre.endswith(".txt"):
            with open(os.path.join(carpeta, nombre), encoding="cp1252") as f:
                lineas += [l.rstrip("\r\n") for l in f if l.strip()]
    return lineas


def completa(carpeta):
    """The next start of the tool (a dry run of an empty list) writes the undo list a killed
    run left in its journal."""
    vacio = os.path.join(carpeta, "vacio.txt")
    open(vacio, "w").close()
    r = subprocess.run([LOTE, "--carpeta", carpeta, "--vista-previa", "--archivo", vacio, LINEA],
                       capture_output=True, timeout=120)
    return r.stderr.decode("utf-8", "replace")


def verifica(carpeta, lista, salida, caso, cortado=False):
    """Each pair done or untouched; OK lines and the undo list say what committed. A process
    killed outright may have listed the code whose commit it did not finish: one line more,
    for a pair left untouched (running it moves nothing). Its list is written at the next start."""
    diarios = [n for n in os.listdir(carpeta) if n.endswith(".diario")]
    comprueba(cortado or not diarios, "%s: diarios sin completar: %s" % (caso, diarios))
    if diarios:
        listas = {n for n in os.listdir(carpeta) if n.startswith("Deshacer-") and n.endswith(".txt")}
        texto = completa(carpeta)
        for n in os.listdir(carpeta):
            if n.startswith("Deshacer-") and n.endswith(".txt") and n not in listas:
                comprueba("completada: " + os.path.join(carpeta, n) in texto,
                          "%s: el arranque no dijo qué lista completó: %s" % (caso, texto[-300:]))
        quedan = [n for n in os.listdir(carpeta) if n.endswith(".diario")]
        comprueba(not quedan, "%s: diarios tras el arranque: %s" % (caso, quedan))
    m = maestro(carpeta)
    hechos = set()
    for v, nv in lista:
        viejo, nuevo = v.upper() in m, nv.upper() in m
        comprueba(viejo != nuevo, "%s: %s -> %s a medias (viejo %s, nuevo %s)" % (caso, v, nv, viejo, nuevo))
        if nuevo:
            hechos.add((v.upper(), nv.upper()))
    huerfanos = sql(carpeta, HUERFANOS)
    comprueba(huerfanos == BASE_HUERFANOS, "%s: filas sin artículo por tabla: %s, antes %s" % (caso, huerfanos, BASE_HUERFANOS))
    for linea in salida.splitlines():
        if linea.startswith("OK "):
            v, resto = linea[3:].split(" -> ", 1)
            comprueba((v.strip().upper(), resto.split(" (")[0].strip().upper()) in hechos, "%s: OK falso: %s" % (caso, linea))
    undo = {tuple(reversed(l.upper().split(",", 1))) for l in deshacer(carpeta)}
    de_mas = undo - hechos
    comprueba(hechos <= undo and len(de_mas) <= (1 if cortado else 0),
              "%s: la lista para deshacer (%d) no es lo confirmado (%d)" % (caso, len(undo), len(hechos)))
    for v, nv in de_mas:
        comprueba(v in m and nv not in m, "%s: la línea de más %s,%s no es de un par intacto" % (caso, nv, v))
    apagados = sql(carpeta, "SELECT COUNT(*) FROM sys.triggers WHERE is_disabled = 1")
    comprueba(apagados == ["0"], "%s: disparadores apagados: %s" % (caso, apagados))
    return hechos


def corre(carpeta, archivo, **kw):
    return subprocess.Popen([LOTE, "--carpeta", carpeta, "--archivo", archivo, "--forzar", LINEA],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kw)


def hasta_el_primer_ok(p):
    """The run's output up to its first committed code (the run holds its lock by then)."""
    leido = b""
    while True:
        linea = p.stdout.readline()
        leido += linea
        if not linea or linea.startswith(b"OK "):
            return leido


def nueva(nombre, articulos=1500):
    carpeta = os.path.join(RAIZ, nombre)
    os.makedirs(carpeta)
    demo(carpeta, articulos)
    return carpeta


# Rows whose article is not in the master, per table the plans move: a code
# left half done leaves some behind (or takes some away).
HUERFANOS = "\r\nUNION ALL ".join(
    "SELECT '%s', COUNT(*) FROM %s WHERE %s NOT IN (SELECT IdArticulo FROM V_MA_ARTICULOS)" % (t, t, c)
    for t, c in [("V_MV_STOCK", "IDARTICULO"), ("V_MA_Precios", "IDARTICULO"), ("S_TA_EQUIV", "IDARTICULO"),
                 ("AC_VENTASMES", "IDARTICULO"), ("AC_COMPRASDIARIA", "IDARTICULO"), ("V_MA_INSUMOS", "IDARTICULO"),
                 ("V_MA_INSUMOS", "IDARTICULOINSUMO"), ("V_MV_CPTEINSUMOS", "IDARTICULO")])
RAIZ = tempfile.mkdtemp(prefix="quenvar-fallas-")
BASE_HUERFANOS = None
try:
    azar = random.Random(20261209)
    plantilla = nueva("plantilla")
    BASE_HUERFANOS = sql(plantilla, HUERFANOS)
    print("filas sin artículo antes:", BASE_HUERFANOS, flush=True)

    def copia(nombre):
        carpeta = os.path.join(RAIZ, nombre)
        shutil.copytree(plantilla, carpeta)
        return carpeta

    # A full run's time, to kill within it.
    c = copia("medida")
    archivo, lista = pares(c, 600, "M")
    t0 = time.time()
    p = corre(c, archivo)
    out, err = p.communicate(timeout=600)
    total = time.time() - t0
    comprueba(p.returncode == 0, "corrida completa: salida %d %s" % (p.returncode, err.decode()[-300:]))
    verifica(c, lista, out.decode("utf-8", "replace"), "completa")

    # SIGKILL at random moments.
    for k in range(6):
        c = copia("kill%d" % k)
        archivo, lista = pares(c, 600, "K")
        p = corre(c, archivo)
        time.sleep(azar.uniform(0.05, 0.9) * total)
        p.kill()
        out, _ = p.communicate()
        hechos = verifica(c, lista, out.decode("utf-8", "replace"), "SIGKILL %d" % k, cortado=True)
        print("SIGKILL %d: %d de %d hechos" % (k, len(hechos), len(lista)), flush=True)

    # SIGHUP (a closed terminal): the summary, the undo list, exit 129.
    c = copia("hup")
    archivo, lista = pares(c, 600, "H")
    p = corre(c, archivo)
    primeras = hasta_el_primer_ok(p)
    p.send_signal(signal.SIGHUP)
    out, err = p.communicate(timeout=120)
    texto = (primeras + out).decode("utf-8", "replace")
    comprueba(p.returncode == 129, "SIGHUP: salida %d" % p.returncode)
    comprueba("Detenida por la señal 1" in texto, "SIGHUP: sin resumen")
    comprueba("Pendientes: " in texto, "SIGHUP: sin lista de pendientes")
    verifica(c, lista, texto, "SIGHUP")

    # A second signal ends the tool at once: still nothing half done.
    c = copia("dos")
    archivo, lista = pares(c, 600, "D")
    p = corre(c, archivo)
    time.sleep(0.3 * total)
    p.send_signal(signal.SIGTERM)
    p.send_signal(signal.SIGTERM)
    out, _ = p.communicate(timeout=120)
    verifica(c, lista, out.decode("utf-8", "replace"), "dos señales", cortado=True)

    # A closed standard output does not stop the run.
    c = copia("tubo")
    archivo, lista = pares(c, 300, "T")
    r = subprocess.run("'%s' --carpeta '%s' --archivo '%s' --forzar '%s' | head -2" % (LOTE, c, archivo, LINEA),
                       shell=True, capture_output=True, timeout=600)
    hechos = verifica(c, lista, "", "salida cerrada")
    comprueba(len(hechos) == len(lista), "salida cerrada: %d de %d" % (len(hechos), len(lista)))
    comprueba("Procesados: " in r.stderr.decode("utf-8", "replace"), "salida cerrada: el resumen no llegó a stderr")

    # Two runs at once: the second is refused and says who holds the base.
    c = copia("dosCorridas")
    archivo, lista = pares(c, 600, "P")
    p1 = corre(c, archivo)
    primeras = hasta_el_primer_ok(p1)
    p2 = corre(c, archivo)
    out2, err2 = p2.communicate(timeout=120)
    out1, _ = p1.communicate(timeout=600)
    out1 = primeras + out1
    comprueba(p2.returncode == 2, "dos corridas: la segunda salió con %d" % p2.returncode)
    comprueba("Otra recodificación está en curso" in err2.decode("utf-8", "replace"), "dos corridas: sin motivo")
    comprueba(p1.returncode == 0, "dos corridas: la primera salió con %d" % p1.returncode)
    verifica(c, lista, out1.decode("utf-8", "replace"), "dos corridas")

    # A full file system (a small tmpfs; needs root).
    if os.geteuid() == 0:
        c = os.path.join(RAIZ, "lleno")
        os.makedirs(c)
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=12m", "tmpfs", c]).returncode == 0:
            try:
                for n in os.listdir(plantilla):
                    if n.upper().startswith("DEMO") or n.upper().endswith(".TXT") or n.upper().endswith(".INI") or n.upper().endswith(".KVX"):
                        shutil.copy(os.path.join(plantilla, n), c)
                archivo, lista = pares(c, 1500, "LLENO-")
                libre = shutil.disk_usage(c).free
                with open(os.path.join(c, "relleno"), "wb") as f:
                    f.write(b"\0" * max(0, libre - 600 * 1024))
                p = corre(c, archivo)
                out, err = p.communicate(timeout=600)
                texto = out.decode("utf-8", "replace")
                comprueba(p.returncode in (1, 2), "disco lleno: salida %d" % p.returncode)
                os.remove(os.path.join(c, "relleno"))
                hechos = verifica(c, lista, texto, "disco lleno", cortado=True)
                print("disco lleno: salida %d, %d de %d hechos" % (p.returncode, len(hechos), len(lista)), flush=True)
            finally:
                subprocess.run(["umount", "-l", c])
        else:
            print("sin tmpfs: se omite el disco lleno", flush=True)
finally:
    subprocess.run(["umount", "-l"] + [os.path.join(RAIZ, "lleno")], capture_output=True)
    shutil.rmtree(RAIZ, ignore_errors=True)

print("fallas: %d comprobaciones fallidas" % len(fallos))
sys.exit(1 if fallos else 0)
