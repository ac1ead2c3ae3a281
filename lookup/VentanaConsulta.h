#pragma once
// The contract between the lookup engine and its windows (the list and the
// tree): what the engine sets before showing one modally, and what it reads
// back afterwards. The windows' models implement it; the program registers
// the factory of the real windows, tests a scripted one.

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class VentanaConsulta {
public:
    virtual ~VentanaConsulta() = default;

    // ---- set by the engine -------------------------------------------------------
    QString sql;                 // the statement the window runs (empty: no query)
    QString CampoDevuelto;       // the column whose value is returned
    QStringList CmpsDevueltos;   // further columns returned in Valores, in order
    bool CheckBoxes = false;     // multiple choice; every loaded row starts unchecked
    QString gConnString;
    QString FiltroInicial;       // initial search text
    QString CampoBusqueda;       // the column searched and ordered by
    bool OrdenarPorLwv = false;  // the window orders the rows itself
    bool UsaCantidades = false;  // a quantity per chosen row
    // List window only.
    QVariant StkNivel1, StkNivel2, StkNivel3, StkNivel4;
    QString MuestraStock;
    QString ValoresDefault;
    bool CfgUsaConsultaLIKE = false;
    // The pickers: no query, one column headed Caption, these rows.
    QString Caption;
    bool CmdNuevaVisible = true;
    struct Opcion {
        QString texto;
        bool marcada = false;
    };
    std::vector<Opcion> Opciones;
    int AnchoTwips = 0;          // the picker's window width; 0 = the window's own

    // ---- read back after the modal show ----------------------------------------------
    QVariant ValorDevuelto;
    QVariantList Valores;
    QVariantList Cantidades;     // stays empty: quantities live in the list's rows

    // Loads the rows (running `sql` when there is one) and shows the window
    // modally; accepting leaves ValorDevuelto and Valores before it hides.
    virtual void MuestraModal() = 0;

protected:
    // Cancelling: nothing chosen, no further values.
    void DescartaEleccion() {
        ValorDevuelto = QString();
        CmpsDevueltos.clear();
        Valores.clear();
    }
};

enum class TipoVentanaConsulta { Lista, Arbol };
using FabricaVentanaConsulta = std::function<std::unique_ptr<VentanaConsulta>(TipoVentanaConsulta)>;

// The windows the engine creates for each lookup (none until set).
void EstableceVentanasConsulta(FabricaVentanaConsulta fabrica);
std::unique_ptr<VentanaConsulta> CreaVentanaConsulta(TipoVentanaConsulta tipo);
