#include "json/cJSONScript.h"

#include "platform/Fallo.h"
#include "json/JSON.h"
#include "tests/json/Ayuda.h"

#include <gtest/gtest.h>

namespace {
int FalloDe(cJSONScript& s, const QString& guion) {
    try {
        s.Eval(guion);
    } catch (const Fallo& f) {
        return f.Numero();
    }
    return 0;
}

QString Anidado(int niveles, const QString& dentro) {
    return QString(niveles, QLatin1Char('[')) + dentro + QString(niveles, QLatin1Char(']'));
}
}  // namespace

TEST(cJSONScript, TextosNulosYValoresSimples) {
    OperadorDePrueba op;
    cJSONScript s;
    EXPECT_EQ(s.Eval(QStringLiteral("[\"hola \", null]")), QStringLiteral("hola null"));
    EXPECT_EQ(s.Eval(QStringLiteral("[[1.5, true, false, null, \"-\", -2e2], []]")),
              QStringLiteral("1.5truefalsenull--200"));
    EXPECT_EQ(s.Eval(QStringLiteral("[]")), QString());
    EXPECT_EQ(s.Eval(QStringLiteral("{}")), QString());
    EXPECT_EQ(s.ExecCommand(cJSONValor()), QString());
}

TEST(cJSONScript, SetGetYVariablesDelEvaluador) {
    OperadorDePrueba op;
    cJSONScript s;
    EXPECT_EQ(s.Eval(QStringLiteral("[{\"set\": {\"name\": \"x\", \"value\": \"5\"}}, {\"get\": {\"name\": \"x\"}}]")),
              QStringLiteral("5"));
    EXPECT_EQ(s.Eval(QStringLiteral("[{get: {name: 'y', default: ['no', 'ne']}}, {get: 'x'}]")),
              QStringLiteral("none5"));
    // Names are exact; a number as a name is its plain text; a value is executed.
    EXPECT_EQ(s.Eval(QStringLiteral("[{set: {name: 1.0, value: [{get: 'x'}, 'y']}}, {get: {name: 'X', default: "
                                    "'-'}}, {get: {name: 1.0}}]")),
              QStringLiteral("-5y"));
    // Setting an empty value makes get fall back to the default.
    EXPECT_EQ(s.Eval(QStringLiteral("[{set: {name: 'x'}}, {get: {name: 'x', default: 'd'}}]")), QStringLiteral("d"));
    cJSONScript otro;
    EXPECT_EQ(otro.Eval(QStringLiteral("[{get: '1.0'}]")), QString());
    EXPECT_EQ(s.Eval(QStringLiteral("[{get: '1.0'}]")), QStringLiteral("5y"));
}

TEST(cJSONScript, ComandosDesconocidos) {
    OperadorDePrueba op;
    cJSONScript s;
    EXPECT_EQ(s.Eval(QStringLiteral("[{\"hello\": \"world\"}]")), QStringLiteral("<%HELLO(world)%>"));
    EXPECT_EQ(s.Eval(QStringLiteral("[{\"Hello\": {\"p\": \"a\", \"q\": \"b\", r: 3}, fin: []}]")),
              QStringLiteral("<%HELLO(a,b,3)%><%FIN()%>"));
}

TEST(cJSONScript, IfYSwitch) {
    OperadorDePrueba op;
    cJSONScript s;
    auto si = [&](const char* tipo, const char* v1, const char* v2) {
        return s.Eval(QStringLiteral("[{if: {value1: '%1', value2: '%2', type: '%3', true: 'T', false: 'F'}}]")
                          .arg(QLatin1String(v1), QLatin1String(v2), QLatin1String(tipo)));
    };
    EXPECT_EQ(si("gt", "b", "a"), QStringLiteral("T"));
    EXPECT_EQ(si("GT", "a", "b"), QStringLiteral("F"));
    EXPECT_EQ(si("eq", "ABC", "abc"), QStringLiteral("T"));
    EXPECT_EQ(si("eq", "abc", "abd"), QStringLiteral("F"));
    EXPECT_EQ(si("lt", "B", "a"), QStringLiteral("T"));  // by character codes
    EXPECT_EQ(si("gte", "a", "a"), QStringLiteral("T"));
    EXPECT_EQ(si("lte", "ab", "a"), QStringLiteral("F"));
    EXPECT_EQ(si("ne", "a", "b"), QStringLiteral("F"));
    // Only the branch taken runs.
    op.Responde(vbOK);
    EXPECT_EQ(s.Eval(QStringLiteral("[{if: {value1: 'a', value2: 'a', type: 'eq', true: {alert: 'si'}, false: "
                                    "{alert: 'no'}}}]")),
              QString());
    EXPECT_EQ(op.Mensajes(), QStringList({"si"}));

    const QString sw = QStringLiteral(
        "[{switch: {default: 'ninguno', case: '%1', items: [{case: 'one', return: '1'}, {case: 'two', return: "
        "['dos', {get: 'z'}]}, {case: 'two', return: 'otro'}]}}]");
    EXPECT_EQ(s.Eval(sw.arg(QStringLiteral("Two"))), QStringLiteral("dos"));
    EXPECT_EQ(s.Eval(sw.arg(QStringLiteral("three"))), QStringLiteral("ninguno"));
    EXPECT_EQ(s.Eval(QStringLiteral("[{switch: {default: 'd'}}]")), QStringLiteral("d"));
}

TEST(cJSONScript, AlertEInputPorElOperador) {
    OperadorDePrueba op;
    cJSONScript s;
    op.Responde(vbOK).RespondeEntrada(QStringLiteral("Ana")).RespondeEntrada(std::nullopt).Responde(vbOK);
    EXPECT_EQ(s.Eval(QStringLiteral("[{alert: {message: ['Ho', 'la'], title: 'T'}}, 'a', {input: {prompt: 'Nombre', "
                                    "title: 'Pregunta', default: 'x'}}, {input: 'otro'}, {alert: 'solo'}]")),
              QStringLiteral("aAna"));
    ASSERT_EQ(op.Transcripcion().size(), 4u);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("Hola"));
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral("T"));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbInformation);
    EXPECT_EQ(op.Transcripcion()[1].tipo, Aviso::Tipo::Entrada);
    EXPECT_EQ(op.Transcripcion()[1].texto, QStringLiteral("Nombre"));
    EXPECT_EQ(op.Transcripcion()[1].titulo, QStringLiteral("Pregunta"));
    EXPECT_EQ(op.Transcripcion()[2].texto, QStringLiteral("otro"));
    EXPECT_EQ(op.Transcripcion()[3].texto, QStringLiteral("solo"));
    EXPECT_EQ(op.Transcripcion()[3].titulo, QString());
}

TEST(cJSONScript, ErrorDeLecturaNoSeEjecuta) {
    OperadorDePrueba op;
    cJSONScript s;
    op.Responde(vbOK).Responde(vbOK);
    EXPECT_EQ(s.Eval(QStringLiteral("[{set: {name: 'x', value: '1'}}, 1,]")), QString());
    EXPECT_EQ(s.Eval(QStringLiteral("no es json")), QString());
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_EQ(op.Transcripcion()[0].titulo, QStringLiteral("Parser Error"));
    EXPECT_EQ(op.Transcripcion()[0].botones, vbExclamation);
    EXPECT_EQ(op.Transcripcion()[0].texto, QStringLiteral("No coinciden los tipos: ]\r\n"));
    EXPECT_EQ(op.Transcripcion()[1].texto, QStringLiteral("Invalid JSON"));
    EXPECT_FALSE(s.Variables().Exists(QStringLiteral("x")));
}

TEST(cJSONScript, FallosAlLlamadorSinSalidaParcial) {
    OperadorDePrueba op;
    cJSONScript s;
    EXPECT_EQ(FalloDe(s, QStringLiteral("['antes', 5]")), 424);
    EXPECT_EQ(FalloDe(s, QStringLiteral("['antes', true]")), 424);
    EXPECT_EQ(FalloDe(s, QStringLiteral("[{set: 5}]")), 424);
    EXPECT_EQ(FalloDe(s, QStringLiteral("[{return: {a: 'b'}}]")), 13);
    EXPECT_EQ(FalloDe(s, QStringLiteral("{a: 'b'}")), 9);
    EXPECT_EQ(FalloDe(s, QStringLiteral("[{x: {a: ['b']}}]")), 13);
    EXPECT_EQ(FalloDe(s, QStringLiteral("[{switch: {items: 'x'}}]")), 13);
    // A failure deep inside restores the nesting counter.
    EXPECT_EQ(FalloDe(s, Anidado(10, QStringLiteral("{return: {}}"))), 13);
    EXPECT_EQ(s.Nivel(), 0);
    EXPECT_EQ(s.Eval(QStringLiteral("[{return: 'ok'}]")), QStringLiteral("ok"));
}

TEST(cJSONScript, LimiteDeAnidamiento41Y42) {
    OperadorDePrueba op;
    cJSONScript s;
    const QString error = QStringLiteral("ERROR: Nesting level exceeded.");
    // The script's own array is not an execution: 40 arrays and the text make 41.
    EXPECT_EQ(s.Eval(Anidado(41, QStringLiteral("'x'"))), QStringLiteral("x"));
    EXPECT_EQ(s.Eval(Anidado(42, QStringLiteral("'x'"))), error);
    EXPECT_EQ(s.Nivel(), 0);

    // The same through ExecCommand on a value: 41 executions run, the 42nd does not.
    cJSONValor v(QStringLiteral("x"));
    for (int i = 0; i < 40; ++i) {
        auto a = std::make_unique<cJSONArreglo>();
        a->Add(v);
        v = cJSONValor(std::move(a));
    }
    EXPECT_EQ(s.ExecCommand(v), QStringLiteral("x"));
    auto a = std::make_unique<cJSONArreglo>();
    a->Add(v);
    a->Add(QStringLiteral("y"));
    EXPECT_EQ(s.ExecCommand(cJSONValor(std::move(a))), error + QStringLiteral("y"));  // the calls above go on

    // Commands count as well: each "if" runs its branch one level deeper.
    auto ifs = [](int n) {
        QString g = QStringLiteral("'fin'");
        for (int i = 0; i < n; ++i) g = QStringLiteral("{if: {type: 'eq', true: %1}}").arg(g);
        return QStringLiteral("[%1]").arg(g);
    };
    EXPECT_EQ(s.Eval(ifs(40)), QStringLiteral("fin"));
    EXPECT_EQ(s.Eval(ifs(41)), error);
}

TEST(cJSONScript, GuionMuyProfundoNoDesbordaLaPila) {
    OperadorDePrueba op;
    cJSONScript s;
    QString guion = QStringLiteral("[");
    for (int i = 0; i < 100000; ++i) guion += QStringLiteral("{a: [");
    EXPECT_EQ(s.Eval(guion + QStringLiteral("'x'") + QString(100000, QLatin1Char(']')).replace(
                                                          QStringLiteral("]"), QStringLiteral("]}")) + "]"),
              QStringLiteral("<%A()%>"));
    EXPECT_EQ(s.Eval(Anidado(100000, QStringLiteral("'x'"))), QStringLiteral("ERROR: Nesting level exceeded."));
}
