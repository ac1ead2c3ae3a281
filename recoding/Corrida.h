#pragma once
// Helpers of the recoding run (the run itself is FrmEMRecodifica::ProcesoPrincipal).

#include <QHash>
#include <QString>
#include <QStringList>

// Whether the database uses sizes: some article has a default size.
// False when the query fails.
bool UsaTalles();

// The size variants of the article (codes "<code>|<size>" with a default
// size), as stored, in code order.
QStringList VariantesDeTalle(const QString& codigo);

// The codes the master stores with leading blanks, by their trimmed text
// in upper case.
using CodigosConBlancos = QHash<QString, QString>;
CodigosConBlancos LeeCodigosConBlancos();

// A code as the master stores it: the formatted code when an
// article has it, else the stored code whose trimmed text it is (codes kept
// with leading blanks), else the formatted code unchanged. Only codes found
// in `conBlancos` are looked up.
QString CodigoGuardado(const QString& codigoFormateado, const CodigosConBlancos& conBlancos);

// The width of the articles' rubro column; 0 when it cannot be read.
int AnchoRubro();
class FrmEMRecodifica;
// Whether a prefix load's new prefix fits the rubro column (always true
// for other loads, and when the width cannot be read).
bool RubroCabe(const FrmEMRecodifica& frm);

// The run's error log: AgregaBarra(application folder) + "ErrCod" + the
// first two characters of today's short date + ".txt".
QString RutaLogRecodificacion();
