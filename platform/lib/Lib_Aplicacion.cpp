#include "platform/lib/Lib_Aplicacion.h"

Lib_Aplicacion& LibAplicacion() {
    static Lib_Aplicacion a;
    return a;
}
