#include "lookup/ui/VentanasConsulta.h"

#include "lookup/Lib_FrmCons3.h"
#include "lookup/Lib_FrmCons3Tree.h"
#include "lookup/VentanaConsulta.h"
#include "lookup/ui/Lib_FrmCons3TreeVentana.h"
#include "lookup/ui/Lib_FrmCons3Ventana.h"

#include <QApplication>

void UsaVentanasConsulta() {
    EstableceVentanasConsulta([](TipoVentanaConsulta tipo) -> std::unique_ptr<VentanaConsulta> {
        if (tipo == TipoVentanaConsulta::Lista) {
            auto v = std::make_unique<Lib_FrmCons3>();
            v->Presentador = [](Lib_FrmCons3& m) {
                Lib_FrmCons3Ventana w(m, QApplication::activeWindow());
                w.exec();
            };
            return v;
        }
        auto t = std::make_unique<Lib_FrmCons3Tree>();
        t->Presentador = [](Lib_FrmCons3Tree& m) {
            Lib_FrmCons3TreeVentana w(m, QApplication::activeWindow());
            w.exec();
        };
        return t;
    });
}
