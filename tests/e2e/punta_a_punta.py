#!/usr/bin/env python3
"""The desktop program as an operator drives it: started on a demo under Xvfb
and openbox, driven only by XTEST keys and clicks, checked in the database.

usage: punta_a_punta.py BIN_DIR CASE [--conocida TEXT]..."""

import os
import subprocess
import sys
import time

from escritorio import Fallo, ejecuta

PRINCIPAL = "^Quenvar$"
AVISO = "^Aviso al operador$"
REVISION = "^Revisi.*n de la lista$"

# Client-area points of the main window (96 dpi).
CELDA_1 = (60, 142)
PREFIJO_ANT = (120, 72)
PREFIJO_NVO = (290, 72)
CARGAR_PREFIJO = (500, 24)
CARGAR_ARCHIVO = (140, 440)


def maestro(e, codigos):
    """Code (trimmed, upper case) → description, of those codes present in the master."""
    lista = ", ".join("'%s'" % c for c in codigos)
    filas = e.sql("SELECT UPPER(LTRIM(RTRIM(IdArticulo))), Descripcion FROM V_MA_ARTICULOS "
                  "WHERE LTRIM(RTRIM(IdArticulo)) IN (%s)" % lista)
    return {f[0]: f[1] for f in filas}


def simples(e, n, orden="IdArticulo", numericos=False):
    """Codes without blanks, points, bar code or size variants: typed, they propose nothing."""
    filas = e.sql("SELECT TOP 300 LTRIM(RTRIM(IdArticulo)) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '%%|%%' "
                  "AND IdArticulo NOT LIKE '%% %%' AND IdArticulo NOT LIKE '%%.%%' AND IdArticulo NOT LIKE '%%-%%' "
                  "AND ISNULL(CodigoBarra, '') = '' AND IdArticulo NOT IN (SELECT LEFT(IdArticulo, "
                  "CHARINDEX('|', IdArticulo) - 1) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%%|%%') "
                  "ORDER BY %s" % orden)
    codigos = [f[0] for f in filas if f[0].isdigit() or not numericos][:n]
    if len(codigos) < n:
        raise Fallo("la demo no tiene %d artículos simples" % n)
    return codigos


def abre(e, *args):
    p = e.programa(*args)
    return p, e.espera(PRINCIPAL, 30, "la ventana principal no apareció")


def graba(e, ventana):
    """GRABAR by F5, the list's check accepted if shown, the witness declined; False when the run did not end."""
    e.clic(ventana, 300, 408)  # the progress label: focus in the window, away from the grid's editor
    e.teclas("F5")
    limite = time.monotonic() + 60
    while time.monotonic() < limite:
        if e.ventanas(REVISION):
            time.sleep(0.3)
            e.teclas("alt+c")
        elif e.ventanas(AVISO):
            time.sleep(0.3)
            # "Proceso FINALIZADO ... ¿Desea Imprimirlo?": Sí is the default, No the next button.
            e.teclas("Tab", "Return")
            e.desaparece(AVISO)
            # The offer to show the log, when a code failed.
            if e.aparece("^Atencion$", 1.5):
                e.teclas("Tab", "Return")
            return True
        time.sleep(0.1)
    raise Fallo(e.captura("la corrida no terminó en 60 s"))


def cierra_con_f10(e, p):
    e.teclas("F10")
    e.comprueba(e.termina(p) == 0, "el programa no terminó con 0 tras CERRAR (F10)")


# ---- cases -------------------------------------------------------------------------------


def lista_tipeada(e):
    """Two pairs typed into the grid, run with F5: the master holds the new codes, not the old."""
    viejos = simples(e, 2)
    nuevos = ["E2E-NUEVO-1", "E2E-NUEVO-2"]
    antes = maestro(e, viejos)
    p, v = abre(e, e.linea)
    e.clic(v, *CELDA_1)
    for viejo, nuevo in zip(viejos, nuevos):
        e.escribe(viejo)
        e.teclas("Return")
        e.escribe(nuevo)
        e.teclas("Return")
        if e.ventanas(AVISO):
            raise Fallo(e.captura("un aviso al tipear el par %s → %s" % (viejo, nuevo)))
    graba(e, v)
    despues = maestro(e, viejos + nuevos)
    for viejo, nuevo in zip(viejos, nuevos):
        e.comprueba(viejo.upper() not in despues, "%s sigue en el maestro" % viejo)
        e.comprueba(despues.get(nuevo.upper()) == antes[viejo.upper()],
                    "%s no tiene el artículo de %s (%r)" % (nuevo, viejo, despues.get(nuevo.upper())))
    cierra_con_f10(e, p)


def consulta_f3(e):
    """A code picked through F3 and the article lookup, typed into its search box and taken with Enter, then a
    new code typed and the list run: that article carries the new code."""
    # Among the lookup's first rows (sorted by description) whatever the demo's size, and sought by its
    # description, the first search box: one no other article shares.
    unicas = {f[0] for f in e.sql("SELECT Descripcion FROM V_MA_ARTICULOS GROUP BY Descripcion "
                                  "HAVING COUNT(*) = 1")}
    candidatos = simples(e, 40, orden="Descripcion", numericos=True)
    antes = maestro(e, candidatos)
    elegido = next((c for c in candidatos if antes[c.upper()] in unicas), None)
    if not elegido:
        raise Fallo("la demo no tiene un artículo simple de descripción única")
    descripcion = antes[elegido.upper()]
    p, v = abre(e, e.linea)
    e.clic(v, *CELDA_1)
    e.teclas("F3")
    e.espera("^Consulta", 20, "F3 no abrió la consulta de artículos")
    e.escribe(descripcion)
    time.sleep(0.5)
    e.teclas("Return")
    e.desaparece("^Consulta")
    time.sleep(0.5)
    if e.ventanas(AVISO):
        raise Fallo(e.captura("un aviso tras elegir %s en la consulta" % elegido))
    e.escribe("E2E-CONSULTA")
    e.teclas("Return")
    graba(e, v)
    despues = maestro(e, [elegido, "E2E-CONSULTA"])
    e.comprueba(elegido.upper() not in despues and despues.get("E2E-CONSULTA") == antes.get(elegido.upper()),
                "el artículo elegido en la consulta (%s) no se recodificó: %r" % (elegido, despues))
    cierra_con_f10(e, p)


def prefijos(e):
    """Two prefixes of the demo with a few articles each, neither a prefix of the other."""
    filas = e.sql("SELECT LEFT(IdArticulo, 4), COUNT(*) FROM V_MA_ARTICULOS WHERE LEFT(IdArticulo, 4) IN "
                  "('TOR-', 'ARA-', 'REM-', 'PAN-', 'CAM-', 'ZAP-', 'FER-', 'LIB-') "
                  "GROUP BY LEFT(IdArticulo, 4) ORDER BY COUNT(*)")
    elegidos = [f for f in filas if 3 <= int(f[1]) <= 60][:2]
    if len(elegidos) < 2:
        raise Fallo("la demo no tiene dos prefijos con pocos artículos: %r" % filas)
    return [(f[0], int(f[1])) for f in elegidos]


def con_prefijo(e, prefijo):
    return int(e.valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%s%%'" % prefijo))


def carga_prefijo(e, v, anterior, nuevo):
    """Types both prefixes and presses "Cargar Prefijo"; False when its question did not come."""
    for punto, texto in ((PREFIJO_ANT, anterior), (PREFIJO_NVO, nuevo)):
        e.clic(v, *punto)
        e.teclas("ctrl+a", "BackSpace")
        e.escribe(texto)
    e.clic(v, *CARGAR_PREFIJO)
    if not e.aparece(AVISO, 5):
        return False
    e.teclas("Return")  # "¿Realmente desea cargar ...?": Sí
    e.desaparece(AVISO)
    time.sleep(1.5)
    if e.ventanas(AVISO):
        raise Fallo(e.captura("un aviso tras cargar el prefijo %s" % anterior))
    return True


def prefijo_dos_veces(e):
    """A prefix load, then another one replacing it, then F5: only the second prefix is recoded."""
    (p1, n1), (p2, n2) = prefijos(e)
    p, v = abre(e, e.linea)
    if not carga_prefijo(e, v, p1, "Q1-"):
        raise Fallo(e.captura("la primera carga por prefijo no preguntó"))
    segunda = carga_prefijo(e, v, p2, "Q2-")
    if not segunda:
        e.comprueba(False, e.captura("Cargar Prefijo no responde tras una carga: la segunda carga no ocurrió"))
    graba(e, v)
    if segunda:
        # Size variants may fold into their article's new code: the new prefix holds at most as many.
        e.comprueba(con_prefijo(e, p2) == 0 and 0 < con_prefijo(e, "Q2-") <= n2,
                    "la segunda carga no se recodificó: %s quedan %d, Q2- hay %d"
                    % (p2, con_prefijo(e, p2), con_prefijo(e, "Q2-")))
        e.comprueba(con_prefijo(e, p1) == n1 and con_prefijo(e, "Q1-") == 0,
                    "la primera carga quedó en la grilla: %s quedan %d de %d" % (p1, con_prefijo(e, p1), n1))
    else:
        # The grid still held the first load: it was filled, and that list ran.
        e.comprueba(con_prefijo(e, p1) == 0 and 0 < con_prefijo(e, "Q1-") <= n1,
                    "la primera carga no llenó la grilla: %s quedan %d de %d" % (p1, con_prefijo(e, p1), n1))
    cierra_con_f10(e, p)


def ultimo_acceso(e):
    return int(e.valor("SELECT ISNULL(MAX(ID), 0) FROM Control_Acceso"))


def accesos_desde(e, id_):
    return e.sql("SELECT Usuario, ISNULL(Ingreso, ''), ISNULL(EGRESO, '') FROM Control_Acceso WHERE ID > %d" % id_)


def acceso(e):
    """A wrong password on the command line: the access dialog, ADMIN / admin typed, the main window and its log
    row; CERRAR stamps the exit."""
    desde = ultimo_acceso(e)
    p = e.programa(e.linea.replace("@Password=admin;", "@Password=otra;"))
    e.espera("^Atencion!$", 30, "no apareció el aviso de la clave equivocada")
    e.teclas("Return")
    e.espera("^Control de Acceso$", 15)
    # The boxes come filled from the command line; Return goes user → password → database → server → Conectar.
    e.teclas("ctrl+a")
    e.escribe("ADMIN")
    e.teclas("Return", "ctrl+a")
    e.escribe("admin")
    e.teclas("Return", "Return", "Return")
    e.teclas("Return")
    if not e.aparece(PRINCIPAL, 15):
        raise Fallo(e.captura("Conectar no abrió la ventana principal"))
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and filas[0][0].strip().upper() == "ADMIN" and filas[0][1] and not filas[0][2],
                "el ingreso no quedó registrado: %r" % filas)
    cierra_con_f10(e, p)
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and filas[0][2], "el egreso no quedó registrado: %r" % filas)


def cierre_en_reposo(e):
    """The window closed through the window manager (alt+F4) while idle: exit 0 and the exit stamped."""
    desde = ultimo_acceso(e)
    p, v = abre(e, e.linea)
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and not filas[0][2], "el ingreso no quedó registrado: %r" % filas)
    e.clic(v, 300, 408)
    e.teclas("alt+F4")
    codigo = e.termina(p)
    e.comprueba(codigo == 0, "el programa cerrado por el gestor de ventanas terminó con %s" % codigo)
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and filas[0][2], "el egreso no quedó registrado: %r" % filas)


def cierre_en_importacion(e):
    """The window closed through the window manager while a long file is being imported: the import stops,
    the program ends with 0 and the exit is stamped."""
    codigos = simples(e, 200)
    ruta = os.path.join(e.carpeta, "pares.txt")
    with open(ruta, "w", encoding="cp1252", newline="") as f:
        for i in range(20000):
            f.write("%s,IMP%d\r\n" % (codigos[i % len(codigos)], i))
    desde = ultimo_acceso(e)
    p, v = abre(e, e.linea)
    e.clic(v, *CARGAR_ARCHIVO)
    e.espera(AVISO)
    e.teclas("Return")  # "¿Realmente desea cargar un archivo?": Sí
    time.sleep(1.5)  # the file dialog, its name box focused
    e.escribe(ruta)
    e.teclas("Return")
    time.sleep(2)
    e.comprueba(p.poll() is None, "el programa terminó durante la importación (%s)" % p.poll())
    e.teclas("alt+F4")
    try:
        codigo = p.wait(10)
    except subprocess.TimeoutExpired:
        codigo = "ninguna en 10 s"
        e.captura("tras cerrar durante la importación")
    if codigo != 0:
        e.comprueba(False, "cerrar durante la importación no termina el programa limpiamente: salida %s" % codigo)
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and filas[0][2], "el egreso no quedó registrado: %r" % filas)


def cierre_durante_un_bloqueo(e):
    """Another program holds the database's write lock while a one-pair list runs: the sign says what the run
    waits for, the window closed meanwhile stays until the code is done, then the program ends with 0; the pair
    is done whole and the exit stamped."""
    viejo = simples(e, 1)[0]
    nuevo = "E2E-BLOQUEO"
    antes = maestro(e, [viejo])
    desde = ultimo_acceso(e)
    p, v = abre(e, e.linea)
    e.clic(v, *CELDA_1)
    e.escribe(viejo)
    e.teclas("Return")
    e.escribe(nuevo)
    e.teclas("Return")
    base = os.path.join(e.carpeta, "DEMO.db")
    retiene = e.lanza([sys.executable, "-c",
                       "import sqlite3, sys, time\n"
                       "c = sqlite3.connect(sys.argv[1], isolation_level=None)\n"
                       "c.execute('BEGIN IMMEDIATE')\n"
                       "print('tomado', flush=True)\n"
                       "time.sleep(6)\n"
                       "c.execute('COMMIT')\n", base])
    time.sleep(0.5)
    e.clic(v, 300, 408)
    e.teclas("F5")
    if e.aparece(REVISION, 3):
        time.sleep(0.3)
        e.teclas("alt+c")
    time.sleep(2)
    e.comprueba(retiene.poll() is None, "el bloqueo terminó antes de tiempo")
    if not e.ventanas("^Recodificacion de Articulos$"):
        e.comprueba(False, e.captura("el cartel no se ve durante la espera"))
    e.teclas("alt+F4")
    codigo = e.termina(p, 25)
    e.comprueba(codigo == 0, "cerrar durante la espera terminó con %s" % codigo)
    despues = maestro(e, [viejo, nuevo])
    e.comprueba(viejo.upper() not in despues and despues.get(nuevo.upper()) == antes[viejo.upper()],
                "el par no quedó hecho entero: %r" % despues)
    filas = accesos_desde(e, desde)
    e.comprueba(len(filas) == 1 and filas[0][2], "el egreso no quedó registrado: %r" % filas)


def consulta_mas_alla_del_tope(e):
    """quenvar-consulta with the lookups limited to 50 rows: an article beyond them, typed in the search box,
    refined on the server with F5, taken with Down and Enter; the program prints its code."""
    e.sql("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'TopConsArt'\r\n"
          "INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('TopConsArt', 'DATOS', '50')")
    unicas = {f[0] for f in e.sql("SELECT Descripcion FROM V_MA_ARTICULOS GROUP BY Descripcion "
                                  "HAVING COUNT(*) = 1")}
    candidatos = simples(e, 20, orden="Descripcion DESC")  # the last by description, far beyond row 50
    descripciones = maestro(e, candidatos)
    elegido = next((c for c in candidatos if descripciones[c.upper()] in unicas), None)
    if not elegido:
        raise Fallo("la demo no tiene un artículo simple de descripción única")
    p = e.programa("V_MA_ARTICULOS", e.linea, nombre="quenvar-consulta")
    e.espera("^Consulta", 30, "la consulta no apareció")
    time.sleep(0.5)
    e.escribe(descripciones[elegido.upper()])
    e.teclas("F5")
    time.sleep(1)
    e.teclas("Down")
    time.sleep(0.3)
    e.teclas("Return")
    codigo = e.termina(p, 15)
    with open(p.log, encoding="utf-8", errors="replace") as f:
        salida = [l.strip() for l in f]
    e.comprueba(codigo == 0 and elegido in salida,
                "la consulta no devolvió %s (salida %s): %r" % (elegido, codigo, salida[-3:]))


if __name__ == "__main__":
    sys.exit(ejecuta({
        "ListaTipeada": lista_tipeada,
        "ConsultaF3": consulta_f3,
        "PrefijoDosVeces": prefijo_dos_veces,
        "Acceso": acceso,
        "CierreEnReposo": cierre_en_reposo,
        "CierreEnImportacion": cierre_en_importacion,
        "ConsultaMasAllaDelTope": consulta_mas_alla_del_tope,
        "CierreDuranteUnBloqueo": cierre_durante_un_bloqueo,
    }))
