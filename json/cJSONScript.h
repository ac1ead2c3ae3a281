#pragma once
// Runs scripts written as JSON and returns the text they produce. A script
// is an array of commands; each command object's keys name operations
// (alert, input, switch, set, get, if, return); unknown ones are written
// out as "<%NAME(arguments)%>". Variables live as long as the evaluator.

#include "json/cJSONValor.h"

#include <QString>

class cJSONScript {
public:
    static constexpr int LimiteAnidamiento = 40;

    // Runs a whole script. A text with reading faults is not run: the
    // faults are shown to the operator ("Parser Error") and the result is
    // empty. Any other failure is raised (Fallo), with no partial output.
    QString Eval(const QString& sJSON);
    // Executes one value and returns its output.
    QString ExecCommand(const cJSONValor& obj);

    // The variables set so far: name -> text.
    const cJSONObjeto& Variables() const { return variables_; }
    int Nivel() const { return nivel_; }

private:
    QString EjecutaComando(const QString& clave, const cJSONValor& valor);

    cJSONObjeto variables_;
    int nivel_ = 0;
};
