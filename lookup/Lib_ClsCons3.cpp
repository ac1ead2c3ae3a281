#include "lookup/Lib_ClsCons3.h"

Lib_ClsCons3& ElMotorConsultas() {
    static Lib_ClsCons3 motor;
    return motor;
}
