#pragma once
// Text operations with the meaning the suite's code gives them: Trim removes
// blanks only, positions are 1-based, comparisons ignore letter case
// (accented letters included) unless a caller asks otherwise.

#include <QDateTime>
#include <QString>

namespace Texto {

QString Trim(const QString& s);   // blanks (U+0020) only, not tabs or line ends
QString LTrim(const QString& s);
QString RTrim(const QString& s);

// 1-based substring; a start past the end gives "", a negative length the rest.
// A start below 1 fails with error 5, as a length below -1 does.
QString Mid(const QString& s, int inicio, int largo = -1);
QString Left(const QString& s, int largo);
QString Right(const QString& s, int largo);
QString Space(int n);

// 1-based position of `buscado` in `s` from `inicio`, 0 when absent.
// An empty `buscado` gives `inicio` (when within the text).
int InStr(int inicio, const QString& s, const QString& buscado, bool sinMayusculas = true);
inline int InStr(const QString& s, const QString& buscado, bool sinMayusculas = true) {
    return InStr(1, s, buscado, sinMayusculas);
}
int InStrRev(const QString& s, const QString& buscado, bool sinMayusculas = true);

QString UCase(const QString& s);
QString LCase(const QString& s);

// Case-insensitive equality and containment (Ñ = ñ, Á = á; a ≠ á).
bool Iguales(const QString& a, const QString& b);
bool Contiene(const QString& s, const QString& buscado);
// Holds a character below 32 (NUL, tab, line ends and the other controls).
bool TieneControles(const QString& s);
bool EmpiezaCon(const QString& s, const QString& prefijo);
// Every occurrence of `buscado`, in any mix of case, replaced.
QString Reemplaza(const QString& s, const QString& buscado, const QString& reemplazo);
// Every occurrence of any of the given characters removed.
QString QuitaCaracteres(const QString& s, const QString& caracteres);

// The leading number of a text: blanks skipped, a point as decimal
// separator, an optional sign and exponent, 0 when the text does not
// begin with a number.
double Val(const QString& s);

// A number as the ordinary number-to-text conversion writes it: no
// thousands separators, a point as decimal separator, no trailing zeros.
QString NumeroATexto(double v);

// Date and time formatting with the suite's patterns: d, dd, m, mm, yy,
// yyyy, h, hh, n, nn, s, ss; "mm" right after an hour means minutes.
QString FormatoFecha(const QDateTime& momento, const QString& patron);

// Reads a date typed in the day/month/year forms the suite uses
// ("25/12/2024", "25-12-24", "25.12.2024", optionally with a time).
// An invalid QDateTime when the text is not a date.
QDateTime LeeFecha(const QString& s);

}  // namespace Texto
