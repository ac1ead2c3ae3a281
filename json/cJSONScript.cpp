#include "json/cJSONScript.h"

#include "platform/Fallo.h"
#include "platform/Operador.h"
#include "platform/Texto.h"
#include "json/JSON.h"
#include "json/cStringBuilder.h"

// Implementation choices where the format leaves room:
// - A command whose value is a text instead of a parameter object takes
//   the text as its first parameter (alert: message, input: prompt,
//   switch: default, set and get: name, if: value1); the others are
//   missing. A value that is an array has no members.
// - The nesting counter is restored also when a failure leaves
//   ExecCommand, so a failed run does not lower the limit for later runs.
// - Raw values (a name, a case, a type, the arguments of an unknown
//   command) are taken as their plain text: texts as written, numbers as
//   plain decimals, true/false/null as those words; a collection there is
//   a type mismatch (error 13).

namespace {

const QString kOrigen = QStringLiteral("cJSONScript");

[[noreturn]] void FalloObjeto() {
    throw Fallo(424, QStringLiteral("Se requiere un objeto"), kOrigen);
}

[[noreturn]] void FalloTipos() { throw Fallo(13, QStringLiteral("No coinciden los tipos"), kOrigen); }

QString TextoCrudo(const cJSONValor& v) {
    switch (v.tipo()) {
        case cJSONValor::Tipo::Vacio: return {};
        case cJSONValor::Tipo::Nulo: return QStringLiteral("null");
        case cJSONValor::Tipo::Booleano: return v.Booleano() ? QStringLiteral("true") : QStringLiteral("false");
        case cJSONValor::Tipo::Texto: return v.Texto();
        case cJSONValor::Tipo::Numero: return v.Numero().Texto();
        default: FalloTipos();
    }
}

// Character by character by their 16-bit codes.
int ComparaCodigos(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        if (a.at(i).unicode() != b.at(i).unicode()) return a.at(i).unicode() < b.at(i).unicode() ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

class Anidamiento {
public:
    explicit Anidamiento(int& n) : n_(n) { ++n_; }
    ~Anidamiento() { --n_; }
    Anidamiento(const Anidamiento&) = delete;
    Anidamiento& operator=(const Anidamiento&) = delete;

private:
    int& n_;
};

}  // namespace

QString cJSONScript::Eval(const QString& sJSON) {
    const cJSONValor raiz = JSON::ReadDocument(sJSON);
    const QString errores = JSON::ReadErrors();
    if (!errores.isEmpty() || raiz.EsVacio()) {
        ElOperador().Mensaje(errores, vbExclamation, QStringLiteral("Parser Error"));
        return {};
    }
    if (const cJSONObjeto* o = raiz.Objeto()) {
        if (o->Count() > 0)
            throw Fallo(NumeroFallo::Subindice, QStringLiteral("El subíndice está fuera del intervalo"), kOrigen);
        return {};
    }
    cStringBuilder salida;
    for (const cJSONValor& e : raiz.Arreglo()->Elementos()) {
        if (e.EsNulo())
            salida.Append(u"null", 4);
        else if (e.EsTexto())
            salida.Append(e.Texto());
        else if (e.EsObjeto() || e.EsArreglo())
            salida.Append(ExecCommand(e));
        else
            FalloObjeto();
    }
    return salida.toString();
}

QString cJSONScript::ExecCommand(const cJSONValor& obj) {
    if (nivel_ > LimiteAnidamiento) return QStringLiteral("ERROR: Nesting level exceeded.");
    Anidamiento anidamiento(nivel_);
    switch (obj.tipo()) {
        case cJSONValor::Tipo::Nulo: return QStringLiteral("null");
        case cJSONValor::Tipo::Texto: return obj.Texto();
        case cJSONValor::Tipo::Booleano: return obj.Booleano() ? QStringLiteral("true") : QStringLiteral("false");
        case cJSONValor::Tipo::Objeto: {
            cStringBuilder salida;
            for (const auto& [clave, valor] : obj.Objeto()->Entradas()) salida.Append(EjecutaComando(clave, valor));
            return salida.toString();
        }
        case cJSONValor::Tipo::Arreglo: {
            cStringBuilder salida;
            for (const cJSONValor& e : obj.Arreglo()->Elementos()) salida.Append(ExecCommand(e));
            return salida.toString();
        }
        case cJSONValor::Tipo::Numero: return obj.Numero().Texto().replace(QLatin1Char(','), QLatin1Char('.'));
        case cJSONValor::Tipo::Vacio: return {};
    }
    return {};
}

QString cJSONScript::EjecutaComando(const QString& clave, const cJSONValor& valor) {
    if (!valor.EsTexto() && !valor.EsObjeto() && !valor.EsArreglo()) FalloObjeto();
    const cJSONObjeto* p = valor.Objeto();
    const QString k = Texto::LCase(clave);

    // A member of the parameter object; a text value stands for `primero`.
    auto miembro = [&](const QString& nombre, bool primero = false) -> cJSONValor {
        if (valor.EsTexto()) return primero ? valor : cJSONValor();
        if (p)
            if (const cJSONValor* m = p->Item(nombre)) return *m;
        return {};
    };
    auto ejecuta = [&](const QString& nombre, bool primero = false) { return ExecCommand(miembro(nombre, primero)); };

    if (k == QLatin1String("alert")) {
        const QString mensaje = ejecuta(QStringLiteral("message"), true);
        const QString titulo = ejecuta(QStringLiteral("title"));
        ElOperador().Mensaje(mensaje, vbInformation, titulo);
        return {};
    }
    if (k == QLatin1String("input")) {
        const QString pregunta = ejecuta(QStringLiteral("prompt"), true);
        const QString titulo = ejecuta(QStringLiteral("title"));
        const QString defecto = ejecuta(QStringLiteral("default"));
        return ElOperador().Entrada(pregunta, titulo, defecto).value_or(QString());
    }
    if (k == QLatin1String("switch")) {
        QString r = ejecuta(QStringLiteral("default"), true);
        const QString caso = Texto::LCase(ejecuta(QStringLiteral("case")));
        const cJSONValor items = miembro(QStringLiteral("items"));
        if (items.EsVacio()) return r;
        if (!items.EsArreglo()) FalloTipos();
        for (const cJSONValor& item : items.Arreglo()->Elementos()) {
            const cJSONObjeto* o = item.Objeto();
            if (!o) FalloObjeto();
            const cJSONValor* c = o->Item(QStringLiteral("case"));
            if (Texto::LCase(c ? TextoCrudo(*c) : QString()) == caso) {
                const cJSONValor* ret = o->Item(QStringLiteral("return"));
                r = ExecCommand(ret ? *ret : cJSONValor());
                break;
            }
        }
        return r;
    }
    if (k == QLatin1String("set")) {
        const QString nombre = TextoCrudo(miembro(QStringLiteral("name"), true));
        variables_.Establece(nombre, cJSONValor(ejecuta(QStringLiteral("value"))));
        return {};
    }
    if (k == QLatin1String("get")) {
        const QString nombre = TextoCrudo(miembro(QStringLiteral("name"), true));
        const cJSONValor* v = variables_.Item(nombre);
        QString t = v ? ExecCommand(*v) : QString();
        if (t.isEmpty()) t = ejecuta(QStringLiteral("default"));
        return t;
    }
    if (k == QLatin1String("if")) {
        const QString v1 = ejecuta(QStringLiteral("value1"), true);
        const QString v2 = ejecuta(QStringLiteral("value2"));
        const QString tipo = Texto::LCase(TextoCrudo(miembro(QStringLiteral("type"))));
        bool cumple = false;
        if (tipo == QLatin1String("eq"))
            cumple = Texto::Iguales(v1, v2);
        else if (tipo == QLatin1String("gt"))
            cumple = ComparaCodigos(v1, v2) > 0;
        else if (tipo == QLatin1String("lt"))
            cumple = ComparaCodigos(v1, v2) < 0;
        else if (tipo == QLatin1String("gte"))
            cumple = ComparaCodigos(v1, v2) >= 0;
        else if (tipo == QLatin1String("lte"))
            cumple = ComparaCodigos(v1, v2) <= 0;
        return ejecuta(cumple ? QStringLiteral("true") : QStringLiteral("false"));
    }
    if (k == QLatin1String("return")) {
        if (!valor.EsTexto()) FalloTipos();
        return valor.Texto();
    }
    QString argumentos;
    if (valor.EsTexto()) {
        argumentos = valor.Texto();
    } else if (p) {
        QStringList partes;
        for (const auto& e : p->Entradas()) partes.append(TextoCrudo(e.second));
        argumentos = partes.join(QLatin1Char(','));
    }
    return QStringLiteral("<%") + Texto::UCase(clave) + QLatin1Char('(') + argumentos + QStringLiteral(")%>");
}
