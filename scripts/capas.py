#!/usr/bin/env python3
"""The layers, from the bottom up: a source file includes only its own
folder and the folders of the layers below it. Prints each include that
points up or sideways and exits 1 when there is one.

usage: capas.py [SOURCE_ROOT]"""

import os
import re
import sys

CAPAS = [
    ["platform"],
    ["db"],
    ["frame"],
    ["json", "display", "access", "lookup"],
    ["app"],
    ["recoding"],
    ["tools", "bench", "fuzz"],
]
NIVEL = {carpeta: i for i, capa in enumerate(CAPAS) for carpeta in capa}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/')

raiz = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
malas = []
archivos = 0
for carpeta in NIVEL:
    for base, dirs, nombres in os.walk(os.path.join(raiz, carpeta)):
        for nombre in nombres:
            if not nombre.endswith((".h", ".cpp")):
                continue
            archivos += 1
            ruta = os.path.join(base, nombre)
            with open(ruta, encoding="utf-8", errors="replace") as f:
                for n, linea in enumerate(f, 1):
                    m = INCLUDE.match(linea)
                    if not m or m.group(1) not in NIVEL or m.group(1) == carpeta:
                        continue
                    if NIVEL[m.group(1)] >= NIVEL[carpeta]:
                        malas.append("%s:%d: %s (capa %d) incluye %s (capa %d)" % (
                            os.path.relpath(ruta, raiz), n, carpeta, NIVEL[carpeta], m.group(1), NIVEL[m.group(1)]))
for m in malas:
    print(m)
print("capas: %d archivos, %d inclusiones hacia arriba o al costado" % (archivos, len(malas)))
sys.exit(1 if malas else 0)
