#pragma once
// General utilities of the suite's library: ciphering, paths, text
// clean-up, field values, SQL texts, numbers, code formatting and the
// library's own error dialog.

#include <QString>
#include <QVariant>
#include <cstdint>

#include "platform/Fallo.h"
#include "platform/Guardia.h"

class QObject;

class Lib_Util {
  public:
    // A printable cipher text (ASCII letters and digits only, no line
    // break) for any text; Desencripta(Encripta(x)) == x.
    QString Encripta(const QString& texto) const;
    // The text that was enciphered. A text that is not a cipher text of
    // Encripta (a clear password in an old file, a damaged value) is given
    // back as it is.
    QString Desencripta(const QString& cifrado) const;

    // The path ending in a separator ("/" or "\" already there counts);
    // an empty path stays empty.
    QString AgregaBarra(const QString& carpeta) const;

    // The text without the given characters (each argument one character;
    // empty arguments are skipped).
    QString QuitaCaracteres(const QString& texto, const QString& c1, const QString& c2 = {},
                            const QString& c3 = {}) const;
    // Every occurrence replaced, letter case ignored.
    QString Reemplaza(const QString& texto, const QString& buscado, const QString& reemplazo) const;
    QString ReemplazaTexto(const QString& texto, const QString& buscado, const QString& reemplazo) const;
    // A fixed-length field without the trailing blanks (and NUL characters)
    // that fill it.
    QString QuitaRelleno(const QString& campo) const;

    // The value; a null value as empty text.
    QVariant ValorCampo(const QVariant& valor) const;

    // At most `largo` characters, single quotes doubled so that the text
    // can go between quotes in a statement. The doubled quotes count in
    // the length, and a quote is never cut from its double.
    QString TextoSQL(const QString& texto, int largo) const;

    // The leading number of the text rounded to four decimals (0 when the
    // text does not begin with a number). A comma is read as the decimal
    // separator when the text has no point.
    double ValorNumerico(const QString& texto) const;
    // ValorNumerico rounded to a whole number.
    int64_t ValorEntero(const QString& texto) const;

    // Words separated by blanks, tabs or line ends.
    int32_t CuentaPalabras(const QString& texto) const;

    // The value as text in the suite's fixed-width code form: trimmed; in a
    // width of 4 or less right-justified ("   1"), in a larger width padded
    // with blanks on the right; a text longer than the width, or no width
    // (0 or less), gives the trimmed text.
    QString AlineaTexto(const QVariant& valor, int ancho = 0) const;

    // Shows the failure (Abort, Retry, Ignore; critical icon) and returns
    // the answer code: 4 retry, 5 ignore, any other abandon.
    int DialogoError(const Fallo& error, const QString& rutina) const;
    // The dialog of a routine for the step guard.
    Guardia::Dialogo DialogoDe(const QString& rutina) const;

    // Qt windows lay themselves out: nothing to adjust.
    void AjustaFormulario(QObject* ventana, int modo = 0) const {}
};

// The process's instance, created on first use.
Lib_Util& LibUtil();
