#pragma once
// The lookup engine: turns a table name (or a complete statement) into one
// bounded SELECT, shows the list or the tree window over it and keeps what
// the operator chose. Also three pickers that reuse the list window without
// a database.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

// The statement a lookup runs, built from its inputs alone.
struct SentenciaConsulta {
    QString sentencia;
    // The definition has a single column and no search column was given:
    // the lookup is not run ("Debe configurar la consulta para esta tabla").
    bool faltaConfigurar = false;
};

// The field names of a table in table order (from "select top 1 * from ...").
using CamposDeTabla = std::function<QStringList(const QString& tabla)>;

// Builds the statement of ConsultaSearch: the filter wrapping, then the
// definitions-file path (when `usarMascaras` and `sql` holds no SELECT), the
// default path, or the complete statement. `CampoBusqueda` and `Where` are
// rewritten as the lookup rewrites them. `Top` is the row limit.
SentenciaConsulta ArmaSentenciaConsulta(const QString& sql, QString& CampoBusqueda, QString& Where,
                                        const QString& SentenciaOpcional, long Top, bool usarMascaras,
                                        const QString& rutaMascaras, const CamposDeTabla& campos);

// The row limit of the lookups: "TopConsArt" (group DATOS); 1000 when it
// is not a number above 0.
long TopConsultas();

// The fields of a table as the main session reads them.
QStringList CamposDeTablaSesion(const QString& tabla);

class Lib_ClsCons3 {
public:
    // Reads the settings (group DATOS) when the main session is open.
    Lib_ClsCons3();
    ~Lib_ClsCons3();

    QVariant StkNivel1;                    // stock-level colours of the list's rows
    QVariant StkNivel2;
    QVariant StkNivel3;
    QVariant StkNivel4;
    QString MuestraStock;                  // "SI": stock colouring on
    QStringList CmpsDevueltos;             // callers add column names and pass it to ConsultaSearch
    QVariantList Valores;                  // after a lookup: the extra values returned
    QVariantList Cantidades;               // kept empty: quantities live in the list's rows
    bool Checks = false;                   // next lookup with check boxes; reset after each
    QVariant ValorDevuelto;                // after a lookup: the returned column of the chosen row
    QString gConnString;                   // the session's connection text (filled when empty)
    QString gRutaMascaraConsultas;         // full path of the definitions file
    bool gUsarMascarasConsultas = false;   // whether that file is consulted
    bool UsaCantidades = false;            // a quantity per chosen row
    QString CampoDevuelto;                 // the column returned; reset after each lookup

    // Text of the options checked on acceptance left in Valores; the flag
    // character of each option ("1" checked) is not shown. Always empty.
    QString CheckOpciones(const QString& Titulo, QStringList* CmpsDevueltos, const QStringList& Opc);
    // The text of the chosen option, empty when none was chosen.
    QString MenuOpciones(const QString& Titulo, const QStringList& Opc);
    template <class... T>
    QString MenuOpciones(const QString& Titulo, const QString& primera, const T&... resto) {
        return MenuOpciones(Titulo, QStringList{primera, QString(resto)...});
    }
    // Looks `sql` up and leaves the choice in ValorDevuelto and Valores.
    // `CmpsDevueltos` (may be null) is emptied at the end.
    void ConsultaSearch(QString sql, QStringList* CmpsDevueltos, const QString& Clave, QString& CampoBusqueda,
                        QString& Where, const QString& SentenciaOpcional, bool TreeView,
                        const QString& ValoresDefault);
    void GrabaConsultaDefault() {}
    // The chosen line of a text file (Windows-1252), empty when none.
    QString ConsultaDesdeArchivo(const QString& Titulo, const QString& QueArchivo, const QString& Separador = {});

private:
    bool usaConsultaLike_ = false;
};

// The process's engine, created on first use.
Lib_ClsCons3& ElMotorConsultas();
// Replaces the process's engine with a new one (its settings read again).
Lib_ClsCons3& RecreaMotorConsultas();
