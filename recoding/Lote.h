#pragma once
// The recoding run without windows, for scripts and benchmarks:
//
//   quenvar-lote [options] "COMMAND LINE"
//
// One source (--archivo FILE [--delimitador D], --prefijo ANT NVO [--rubro R]
// [--solo-con-blancos] [--quitar-blancos], or --controlar-puntos); options
// --estadisticas, --solo-maestro, --permite-existentes, --html FILE,
// --vista-previa [--resumen], --orden-seguro, --forzar and --json. The
// operator's messages go to `err`; the whole-list check's findings, one line
// per code and per skipped row, and a summary, to `out` (or one JSON
// document with --json). Returns the exit status: 0 no code failed, 1 some
// code failed, 2 the run could not start (or the check refused the list, or
// warned without --forzar), 128 + the signal when SIGINT or SIGTERM stopped
// it between codes.

#include <QStringList>
#include <QTextStream>

int EjecutaLote(const QStringList& argumentos, QTextStream& out, QTextStream& err);
