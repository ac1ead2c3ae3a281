#pragma once
// The list lookup window's behaviour: the statement run and refined, the
// columns and their search boxes, the rows with their checks, quantities and
// stock colours, the incremental search, the keys and the buttons. The Qt
// window (lookup/ui) draws it and forwards its events here.

#include "lookup/VentanaConsulta.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <vector>

class DB_Dll;

class Lib_FrmCons3 : public VentanaConsulta {
public:
    // What a column holds; a cell's value and text are kept apart so that the
    // window never reads a value back from what it shows.
    enum class Column { Campo, Cantidad };

    struct Columna {
        QString Nombre;       // the field's name
        QString Encabezado;   // the header shown
        Column Tipo = Column::Campo;
        int Letras = 0;       // width in letters "X"
        double AnchoTwips = 0;
        int TipoCampo = 0;    // the field's type code; 0 for the quantity column
        bool Guardada = false; // the width came from the column-widths file
    };
    struct Fila {
        QVariantList Valores;  // raw field values (quantity column: a double)
        QStringList Textos;    // what each cell shows
        bool Marcada = false;
        QVariant Color;        // stock colour; invalid when none
    };

    // What a key in the list asks of the window.
    enum class Accion { Nada, Aceptar, FocoBusqueda };

    Lib_FrmCons3();

    // Not set by the engine.
    bool GrabarCfg = true;     // save the widths on closing
    bool UsarUDBC = false;     // read through the alternative session (reset on closing)
    static DB_Dll& SesionAlternativa();
    double TwipsPorLetra = 120; // the width of a letter "X" in the window's font
    // The twips a header text needs (text, margins, sort sign); none: no minimum.
    std::function<double(const QString&)> AnchoEncabezado;
    // The window's font and header measured: the widths not saved are worked
    // out again from them.
    void MedidasVentana(double twipsPorLetra, std::function<double(const QString&)> anchoEncabezado);

    // The layout worked out from the column widths and the screen width, in twips.
    struct Disposicion {
        double AnchoLista = 0;
        double AnchoPanel = 0;
        double AnchoBarra = 0;
        double MaximoBarra = 0;
        double AnchoVentana = 0;
    };
    Disposicion CalcularAncho(double AnchoPantalla) const;

    // Shows the window modally: set by the Qt window's factory (or a test).
    std::function<void(Lib_FrmCons3&)> Presentador;
    // Called after the rows were loaded again (F5, a new search, a sort).
    std::function<void()> AlRecargar;

    void MuestraModal() override;

    // Runs the statement and loads columns and rows (the window's load).
    // False when the operator abandoned it.
    bool Carga();

    const std::vector<Columna>& Columnas() const { return columnas_; }
    const std::vector<Fila>& Filas() const { return filas_; }
    int FilaActual() const { return actual_; }
    void SeleccionaFila(int fila);
    void MarcaFila(int fila, bool marcada);
    QString Texto(int fila, int columna) const;
    const QString& Sentencia() const { return sql; }
    const QString& TablaClave() const { return tabla_; }
    bool Oculta() const { return oculta_; }

    // 1-based index of the column headed `Columna` (ignoring case), or 0.
    int IndiceColumna(const QString& Columna) const;

    // Search boxes: one per field column.
    int CantidadCajas() const { return static_cast<int>(cajas_.size()); }
    const QString& TextoCaja(int caja) const { return cajas_[static_cast<std::size_t>(caja)]; }
    int CajaActiva() const { return cajaActiva_; }
    void EnfocaCaja(int caja) { cajaActiva_ = caja; }
    // A box's text changed: searches and selects the first matching row.
    void CambiaCaja(int caja, const QString& texto);
    // The first row whose cell in the box's column begins with `Clave`; -1.
    int Busqueda(const QString& Clave, int QueValor) const;
    // F5 in a box: the statement refined on the server, loaded again.
    bool RefinaEnServidor(int caja);

    // A header clicked.
    void OrdenaPorColumna(int columna);
    void OrdenarPorFecha(const QString& Cual);

    // A key in the list, as the suite's key code; `texto` is the character
    // it types (empty when none).
    Accion TeclaLista(int codigo, bool shift, const QString& texto = {});
    // F12: the selected article reported as a shortage.
    void InformaFaltante();

    void CmdAceptar();
    void CmdCancelar();
    void CmdNueva();
    void CmdTodos();
    void CmdNuevo();
    // Closing: saves the widths, clears the rows.
    void Cierra();
    // A column's width changed in the window.
    void CambiaAncho(int columna, double twips);

    // The widths text saved for the table: each width and "|".
    QString TextoAnchos() const;

private:
    void Encolumnar(class Recordset& rs);
    void Leer(class Recordset& rs);
    QVariant ColorStock(const Fila& f) const;
    void AplicaAnchosGuardados();
    void OrdenaFilas(int columna, bool descendente);
    int ColumnaCantidad() const;
    void CambiaCantidad(int fila, double cantidad, int decimales);
    QString ValorEnColumna(int fila, int columna1) const;
    // What accepting returns from a cell: its trimmed text, or the raw value of a boolean.
    QVariant ValorDevueltoEn(int fila, int columna1) const;
    double AnchoInicial(const Columna& c) const;
    int Busqueda(const QString& Clave, int QueValor, int desde) const;

    // The last incremental search, so that the next keystroke goes on from it.
    struct UltimaBusqueda {
        bool valida = false;
        int caja = -1;
        QString clave;
        int fila = -1;
    };
    UltimaBusqueda busqueda_;

    std::vector<Columna> columnas_;
    std::vector<Fila> filas_;
    std::vector<QString> cajas_;
    int actual_ = -1;
    int cajaActiva_ = 0;
    bool articulos_ = false;
    bool oculta_ = false;
    QString tabla_;
    QString inicial_;
    bool hayInicial_ = false;
    int ordenColumna_ = -1;
    bool ordenDesc_ = false;
};
