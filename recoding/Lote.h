#pragma once
// The recoding run without windows, for scripts and benchmarks:
//
//   quenvar-lote [options] "COMMAND LINE"
//
// One source (--archivo FILE [--delimitador D], --prefijo ANT NVO [--rubro R]
// [--solo-con-blancos] [--quitar-blancos], or --controlar-puntos); options
// --estadisticas, --solo-maestro, --permite-existentes, --html FILE and
// --vista-previa. The operator's messages go to `err`; one line per code and
// per skipped row, and a summary, to `out`. Returns the exit status: 0 no
// code failed, 1 some code failed, 2 the run could not start.

#include <QStringList>
#include <QTextStream>

int EjecutaLote(const QStringList& argumentos, QTextStream& out, QTextStream& err);
