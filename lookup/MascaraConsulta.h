#pragma once
// The lookup definitions file: fixed-length records of 1202 bytes in
// Windows-1252, numbered from 1, each field left-justified and padded with
// blanks, so that the file also reads as text lines.

#include <QByteArray>
#include <QString>

#include <cstdint>

struct MascaraConsulta {
    static constexpr int LargoNombre = 100;
    static constexpr int LargoTabla = 100;
    static constexpr int LargoCampos = 500;
    static constexpr int LargoFiltro = 500;
    static constexpr int LargoFinLinea = 2;
    static constexpr int64_t Largo = LargoNombre + LargoTabla + LargoCampos + LargoFiltro + LargoFinLinea;

    QString Nombre;
    QString Tabla;    // the key the engine searches by
    QString Campos;   // column names, each between bars: "|DESCRIPCION|IDARTICULO|"
    QString Filtro;   // condition without WHERE; may be blank
    QString FinLinea = QStringLiteral("\r\n");

    // The record's bytes: each field encoded, cut to its width and padded
    // with blanks (a character outside the code page becomes "?").
    QByteArray Bytes() const;
    // A record from its bytes; bytes missing at the end read as code 0.
    // Fields keep their padding.
    static MascaraConsulta DesdeBytes(const QByteArray& bytes);
};

// Records by number (1-based) in a definitions file. The file's name is
// found without regard to case. Failures are raised as Fallo.
namespace ArchivoMascaras {

// Whole records in the file: its length div 1202; 0 when it is missing.
int64_t Cantidad(const QString& ruta);
// Record `numero`; a record beyond the end reads as code 0 where the file has no bytes.
MascaraConsulta Lee(const QString& ruta, int64_t numero);
// Writes record `numero`, creating the file when missing.
void Graba(const QString& ruta, int64_t numero, const MascaraConsulta& registro);
// Writes the record at (file length div 1202) + 1 and returns that number.
// A partial record at the end is overwritten, so records stay aligned.
int64_t Agrega(const QString& ruta, const MascaraConsulta& registro);

}  // namespace ArchivoMascaras
