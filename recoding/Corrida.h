#pragma once
// Helpers of the recoding run (the run itself is FrmEMRecodifica::ProcesoPrincipal).

#include <QString>
#include <QStringList>

// Whether the database uses sizes: some article has a default size.
// False when the query fails.
bool UsaTalles();

// The size variants of the article (codes "<code>|<size>" with a default
// size), as stored, in code order.
QStringList VariantesDeTalle(const QString& codigo);

// The old code as the master stores it: the formatted code when an
// article has it, else the stored code whose trimmed text it is (codes kept
// with leading blanks), else the formatted code unchanged.
QString CodigoGuardado(const QString& codigoFormateado);

// The run's error log: AgregaBarra(application folder) + "ErrCod" + the
// first two characters of today's short date + ".txt".
QString RutaLogRecodificacion();
