#pragma once
// The tree lookup window's behaviour: article families through their fixed
// statement, or any code/description statement nested by code prefix; the
// search, F5, checks copied to the descendants, and accepting through the
// returned column's master tables. The Qt window (lookup/ui) draws it.

#include "lookup/VentanaConsulta.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

class Lib_FrmCons3Tree : public VentanaConsulta {
public:
    struct Nodo {
        QString Clave;          // "A" & code; the root is "A"
        QString Texto;          // code & " - " & description
        int Padre = -1;
        std::vector<int> Hijos;
        bool Marcada = false;
    };

    // Shows the window modally: set by the Qt window's factory (or a test).
    std::function<void(Lib_FrmCons3Tree&)> Presentador;

    void MuestraModal() override;

    // The window's load: the family tree or the automatic one. False when
    // the operator abandoned it.
    bool Carga();
    bool ArmarTreeVFamilias();

    const std::vector<Nodo>& Nodos() const { return nodos_; }
    // -1 when none.
    int NodoActual() const { return actual_; }
    void SeleccionaNodo(int nodo);
    int BuscaClave(const QString& clave) const;
    const QString& Sentencia() const { return sql; }
    bool Oculta() const { return oculta_; }
    // The code of a node: its key without the first character.
    QString Codigo(int nodo) const;

    // The search box's text changed: selects the first matching node.
    void Busqueda(const QString& texto);
    // F5 with the box's text.
    bool RefinaEnServidor(const QString& texto);
    // A node checked or unchecked: the check goes down six levels.
    void MarcaNodo(int nodo, bool marcada);

    void CmdAceptar();
    void CmdCancelar();
    void CmdNueva();
    void Cierra();

private:
    bool ArmarTreeVAutomatico();
    bool Arma(const QString& sentencia, bool familias);
    void Inicia();
    int Agrega(int padre, const QString& clave, const QString& texto);

    std::vector<Nodo> nodos_;
    QHash<QString, int> porClave_;   // upper-case key
    int actual_ = -1;
    bool oculta_ = false;
};
