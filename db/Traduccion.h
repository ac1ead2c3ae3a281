#pragma once
// The three text translations of statements: the synonym views of the
// confidential tables, the Oracle dialect, and Oracle's row limit for TOP
// queries. Pure text functions.

#include <QString>

namespace Traduccion {

// Synonym views for a user who is not an administrator; "@Admin_" removed.
QString SS_TSinonimos(const QString& sql, bool esAdmin, bool confidencialidad, const QString& ejecutable);

// SQL Server constructs rewritten into Oracle's, when `connString` names
// Oracle; the text unchanged otherwise. Fails with error 5 on an unbalanced
// quote or a TOP without a blank after its count.
QString ORACLE_Dicc(const QString& valor, const QString& connString);

// A TOP n query rewritten with Oracle's row limit when `connStringPrincipal`
// names Oracle.
QString TopOracle(const QString& sentencia, const QString& connStringPrincipal);

// The executables of the suite for which a synonym does not apply.
bool EsProgramaDeStock(const QString& ejecutable);
bool EsProgramaDeTransferencias(const QString& ejecutable);

}  // namespace Traduccion
