#pragma once
// The lookup engine. For now it holds where its definitions file lies and
// whether that file is consulted; start-up sets both.

#include <QString>

class Lib_ClsCons3 {
public:
    QString gConnString;                   // the session's connection text
    QString gRutaMascaraConsultas;         // full path of the definitions file
    bool gUsarMascarasConsultas = false;   // whether that file is consulted
};

// The process's engine, created on first use.
Lib_ClsCons3& ElMotorConsultas();
