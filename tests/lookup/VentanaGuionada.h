#pragma once
// A lookup window for tests.

#include "db/DB_Dll.h"
#include "db/platform/Ado.h"
#include "lookup/VentanaConsulta.h"

#include <memory>
#include <vector>

// A window that records what the engine set and answers as told. With
// `eligePrimera` it runs its statement on the session and returns the
// first row's value of CampoDevuelto (and of CmpsDevueltos in Valores).
struct VentanaGuionada : VentanaConsulta {
    TipoVentanaConsulta tipo = TipoVentanaConsulta::Lista;
    int filas = -1;  // rows its statement gave, -1 when not run

    struct Guion {
        std::vector<VentanaGuionada> mostradas;
        bool eligePrimera = false;
        QVariant valor;
        QVariantList valores, cantidades;
    };
    static Guion& guion() {
        static Guion g;
        return g;
    }

    void MuestraModal() override {
        Guion& g = guion();
        if (g.eligePrimera && !sql.isEmpty()) {
            RecordsetPtr rs;
            QString s = sql;
            gDB().AbrirRecordset(s, rs, nullptr, ado::adOpenStatic, ado::adLockReadOnly);
            filas = 0;
            ValorDevuelto = QVariant();
            Valores.clear();
            if (rs && rs->State() != ado::adStateClosed) {
                for (; !rs->Eof(); rs->MoveNext()) {
                    if (filas++ > 0) continue;
                    ValorDevuelto = rs->Fields(CampoDevuelto).Value();
                    for (const QString& c : CmpsDevueltos) Valores << rs->Fields(c).Value();
                }
                gDB().CierraRecordset(rs);
            }
        } else {
            ValorDevuelto = g.valor;
            Valores = g.valores;
        }
        if (!g.cantidades.isEmpty()) Cantidades = g.cantidades;
        g.mostradas.push_back(*this);
    }

    // Registers this window as the engine's, with an empty script.
    static void Instala() {
        guion() = {};
        EstableceVentanasConsulta([](TipoVentanaConsulta t) {
            auto v = std::make_unique<VentanaGuionada>();
            v->tipo = t;
            return v;
        });
    }
};
