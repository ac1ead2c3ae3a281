#pragma once
// The spreadsheet editor of one table, without widgets: the table's columns
// and primary key, its rows read in pages ordered by the key as the operator
// scrolls, cells written back by the row's key with bound values, rows added
// and deleted, and a search by key. The window only forwards its events
// here; tests drive it directly.
//
// A write the server refuses is shown to the operator with the server's text
// and the typed text stays in the cell, pending, until the operator corrects
// it or discards it. Reading never prompts: a failed page is reported by
// TomaErrorLectura, so that the window can show it once.

#include "db/platform/Recordset.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class Conexion;

struct ColumnaPlanilla {
    QString Nombre;
    int Tipo = 0;            // ADO data type code
    long Tamano = 0;         // defined size
    bool Clave = false;      // part of the primary key
    bool AdmiteNulos = true;
    bool Editable = true;    // not for identity and binary columns
};

// The outcome of writing a cell.
struct ResultadoEdicion {
    bool grabada = false;    // written, or nothing to write
    long fila = -1;          // where the edited row is now
};

class ModeloPlanilla {
public:
    static constexpr int kFilasPorPagina = 200;
    static constexpr int kPaginasEnMemoria = 64;

    ModeloPlanilla();
    ~ModeloPlanilla();
    ModeloPlanilla(const ModeloPlanilla&) = delete;
    ModeloPlanilla& operator=(const ModeloPlanilla&) = delete;

    // Opens the table through the connection text: the main session's
    // connection when the text is its gConnString and it is open, else a
    // connection of its own. Counts the rows and reads nothing else. On a
    // failure the operator is shown the server's text and false returned.
    bool Abre(const QString& Tabla, const QString& Conexion, const QString& Titulo = {});
    bool Abierta() const { return cn_ != nullptr; }
    bool ConexionPropia() const { return propia_ != nullptr; }
    QString Tabla() const { return tabla_; }
    QString Titulo() const { return titulo_; }

    const std::vector<ColumnaPlanilla>& Columnas() const { return columnas_; }
    const std::vector<int>& Claves() const { return claves_; }   // key columns, in key order
    bool SoloLectura() const { return claves_.empty(); }           // no primary key

    // Stored rows, plus the new row while it is being typed.
    long Filas() const { return total_ + (nueva_ ? 1 : 0); }
    bool EsFilaNueva(long fila) const { return nueva_ && fila == total_; }

    // The stored value (a null QVariant for NULL or a row not read).
    QVariant Valor(long fila, int columna);
    // The cell as the operator sees it: the pending text when there is one.
    QString Texto(long fila, int columna);
    bool Pendiente(long fila, int columna);
    long CeldasPendientes() const;

    // Writes the text typed into a cell. A refusal (a text that is not a
    // value of the column's type, or the server's) is shown to the operator
    // and the text is kept pending. A cell of the new row is kept until the
    // key is typed; then the row is inserted with every value typed. The
    // number of rows never changes here, only their places.
    ResultadoEdicion Edita(long fila, int columna, const QString& texto);
    // Escape: drops the cell's pending text; on the new row, the new row.
    void Descarta(long fila, int columna);

    // The new row at the end (one at a time); its index.
    long Agrega();
    // Deletes the row after the operator's Yes; true when deleted.
    bool Borra(long fila);
    // The first row whose first key column, trimmed, is the trimmed text (as
    // the server compares it); -1 when there is none.
    long Busca(const QString& codigo);
    // Counts the rows again and drops what was read (pending texts stay).
    void Refresca();

    // A page that could not be read, once; its rows show empty until Refresca.
    std::optional<QString> TomaErrorLectura();

    // The display text of a stored value of a column.
    QString TextoDe(const QVariant& valor, const ColumnaPlanilla& c) const;

    // Told before and after the rows change place or number (insert, delete,
    // a key changed, a refresh): the window resets its view in between.
    std::function<void()> AntesDeCambiar;
    std::function<void()> DespuesDeCambiar;

    // What the model has sent (the last statements, oldest first) and how
    // many pages it has read; for tests and diagnostics.
    const QStringList& Sentencias() const { return sentencias_; }
    int PaginasLeidas() const { return paginasLeidas_; }
    int PaginasEnMemoria() const { return static_cast<int>(paginas_.size()); }

private:
    struct Pagina {
        std::vector<QVariantList> filas;
        uint64_t uso = 0;
    };
    // Typed texts not written yet, by column.
    using Celdas = std::map<int, QString>;

    void LeeClaves();
    Pagina& LeePagina(long p);
    const QVariantList* FilaLeida(long fila);
    QVariantList ClaveDe(const QVariantList& fila) const;
    static QString Llave(const QVariantList& clave);
    // The key at a row, from the nearest known key; nothing past the rows.
    std::optional<QVariantList> ClaveEn(long fila);
    std::vector<QVariantList> LeeFilas(const QString& donde, const QVariantList& params, int cuantas,
                                       bool descendente);
    long Posicion(const QVariantList& clave);
    long Cuenta(const QString& donde, const QVariantList& params);
    void Invalida();
    void Recuerda(long fila, const QVariantList& clave);

    // Statement parts.
    QString Comparacion(const QString& op, QVariantList& params, const QVariantList& clave) const;
    QString PorClave(QVariantList& params, const QVariantList& clave) const;
    QString Orden(bool descendente) const;
    RecordsetPtr Ejecuta(const QString& sql, const QVariantList& params, long* afectadas = nullptr);

    std::optional<QVariant> Convierte(const QString& texto, const ColumnaPlanilla& c, QString& motivo) const;
    void Avisa(const QString& texto) const;
    // The failure being handled: the connection's first error, else its own text.
    QString TextoFallo() const;
    ResultadoEdicion GrabaNueva();

    std::shared_ptr<Conexion> propia_;
    Conexion* cn_ = nullptr;
    QString tabla_, titulo_, nombreTabla_, lista_;
    std::vector<ColumnaPlanilla> columnas_;
    std::vector<int> claves_;
    long total_ = 0;

    std::map<long, Pagina> paginas_;
    std::map<long, QVariantList> anclas_;   // known keys by row
    uint64_t reloj_ = 0;
    int paginasLeidas_ = 0;
    std::optional<QString> errorLectura_;

    std::map<QString, Celdas> pendientes_;  // by row key
    std::unique_ptr<Celdas> nueva_;         // the new row's texts
    QStringList sentencias_;
};
