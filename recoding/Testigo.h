#pragma once
// The traces of a recoding run: the log channel (one application-wide open
// text file), the witness file that accumulates every processed list, and
// the HTML witness of the list.

#include <QString>

#include <cstdint>

class FrmEMRecodifica;

// The log channel. Modes: 1 open `ruta` (empty: a file named from the
// current time with `extension` in the temporary folder) and write `texto`
// when not blank; 2 write `texto` as one line; 3 close and show the file;
// 4 close and delete it; 5 close it; any other nothing. `ruta` is set on
// return to the channel's file name. Failures are handled here: 55 closes
// the file and retries (twice at most), 52 closes it and ends the call, any
// other asks the operator.
void GenTmp(int16_t modo, const QString& texto, const QString& extension, QString& ruta);
void GenTmp(int16_t modo, const QString& texto = {});

// The channel's state, for the run and for tests.
struct CanalLog {
    int16_t numero = 0;     // 0: no file open
    QString nombre;         // the last file, kept after closing
};
const CanalLog& EstadoCanalLog();
// Forgets the channel as at program start (its file is closed first).
void ReiniciaCanalLog();

// n copies of "&nbsp;".
QString Espacios(int16_t n);

// The witness file: AgregaBarra(application folder) + "Recodificado.txt".
QString RutaTestigo();
// Appends one line per data row of the grid to the witness file.
void AgregaTestigo(FrmEMRecodifica& frm);
// Writes the HTML witness of the grid to the file, replacing it.
void GeneraTestigoHtml(FrmEMRecodifica& frm, const QString& archivo);
// Opens the file with the program associated with its type.
void AbrePagina(const QString& archivo, bool mostrar);
