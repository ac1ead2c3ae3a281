#include "platform/lib/Lib_Dialogo.h"

#include "platform/Operador.h"

void Lib_Dialogo::Muestra(bool guardar) {
    PedidoArchivo p;
    p.guardar = guardar;
    p.titulo = titulo_;
    p.filtro = filtro_;
    p.extension = extension_;
    p.nombre = nombre_;
    p.carpeta = carpeta_;
    p.opcion = opcion_;
    const RespuestaArchivo r = ElOperador().Archivo(p);
    cancelado_ = r.cancelado;
    elegido_ = r.cancelado ? QString() : r.nombre;
}

Lib_Dialogo& LibDialogo() {
    static Lib_Dialogo d;
    return d;
}
