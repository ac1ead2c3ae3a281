#include "json/JSON.h"

#include "platform/Fallo.h"
#include "tests/json/Ayuda.h"

#include <gtest/gtest.h>

#include <thread>

namespace {
const QString kDuplicada = QStringLiteral("Esta clave ya está asociada con un elemento de esta colección");
const QString kTipos = QStringLiteral("No coinciden los tipos");

cJSONValor Lee(const QString& t) { return JSON::ReadDocument(t); }
const cJSONValor& En(const cJSONValor& a, int i) { return a.Arreglo()->Item(i); }
cJSONValor Clave(const cJSONValor& o, const QString& k) {
    const cJSONValor* v = o.Objeto()->Item(k);
    return v ? *v : cJSONValor::Nulo();
}
}  // namespace

TEST(LectorJSON, SinRaizEsInvalidJSON) {
    for (const QString& t : {QString(), QStringLiteral("abc"), QStringLiteral("  /* c */ 12"), QStringLiteral("\"x\"")}) {
        EXPECT_TRUE(Lee(t).EsVacio());
        EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Invalid JSON"));
    }
    EXPECT_TRUE(Lee(QStringLiteral("[]")).EsArreglo());
    EXPECT_EQ(JSON::ReadErrors(), QString());  // emptied at each reading
}

TEST(LectorJSON, TextosComillasYEscapes) {
    cJSONValor a = Lee(QStringLiteral("['uno', \"dos\\n\"]"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    ASSERT_EQ(a.Arreglo()->Count(), 2);
    EXPECT_EQ(En(a, 1).Texto(), QStringLiteral("uno"));
    EXPECT_EQ(En(a, 2).Texto(), QStringLiteral("dos\n"));

    a = Lee(QStringLiteral(R"(["\u0041\u00f1", "\"\\\/\'\b\f\r\t", 'it\'s "x"', "\q", "\u41zz", "\uzzzz"])"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    EXPECT_EQ(En(a, 1).Texto(), QStringLiteral("Añ"));
    EXPECT_EQ(En(a, 2).Texto(), QStringLiteral("\"\\/'\b\f\r\t"));
    EXPECT_EQ(En(a, 3).Texto(), QStringLiteral("it's \"x\""));
    EXPECT_EQ(En(a, 4).Texto(), QStringLiteral("q"));
    EXPECT_EQ(En(a, 5).Texto(), QStringLiteral("A"));
    EXPECT_EQ(En(a, 6).Texto(), QString());

    // A text that runs to the end of the document ends there, without a message of its own.
    a = Lee(QStringLiteral("[\"abc"));
    EXPECT_EQ(En(a, 1).Texto(), QStringLiteral("abc"));
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Missing ']': [\"abc\r\n"));
}

TEST(LectorJSON, NumerosExactosYComasOpcionales) {
    cJSONValor a = Lee(QStringLiteral("[1 2 3]"));
    ASSERT_EQ(a.Arreglo()->Count(), 3);
    EXPECT_EQ(En(a, 3).Numero().Texto(), QStringLiteral("3"));

    a = Lee(QStringLiteral("[1.50, -0.001, 1e3, 2.5E-3, +7, .5, 5., 0.00, -0, 007, "
                           "12345678901234567890123456789.123456789012345]"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    QStringList textos;
    for (const cJSONValor& v : a.Arreglo()->Elementos()) {
        ASSERT_TRUE(v.EsNumero());
        textos << v.Numero().Texto();
    }
    EXPECT_EQ(textos, QStringList({"1.50", "-0.001", "1000", "0.0025", "7", "0.5", "5", "0.00", "0", "7",
                                   "12345678901234567890123456789.123456789012345"}));
    EXPECT_DOUBLE_EQ(En(a, 4).Numero().ADouble(), 0.0025);

    // Around 19 significant digits (the most kept in a machine word).
    a = Lee(QStringLiteral("[9999999999999999999, -10000000000000000000.0, 0.000123456789012345678901]"));
    EXPECT_EQ(En(a, 1).Numero().Texto(), QStringLiteral("9999999999999999999"));
    EXPECT_EQ(En(a, 2).Numero().Texto(), QStringLiteral("-10000000000000000000.0"));
    EXPECT_EQ(En(a, 3).Numero().Texto(), QStringLiteral("0.000123456789012345678901"));
    const cDecimal copia = En(a, 2).Numero();
    EXPECT_EQ(copia, En(a, 2).Numero());
    EXPECT_FALSE(copia == En(a, 1).Numero());

    // Texts that are not numbers fail the element; a number stops at the first other character.
    a = Lee(QStringLiteral("[1-2, 3]"));
    EXPECT_EQ(a.Arreglo()->Count(), 0);
    EXPECT_EQ(JSON::ReadErrors(), kTipos + QStringLiteral(": , 3]\r\n"));
    a = Lee(QStringLiteral("[1x]"));
    EXPECT_EQ(a.Arreglo()->Count(), 1);
    EXPECT_EQ(JSON::ReadErrors(), kTipos + QStringLiteral(": x]\r\n"));
    a = Lee(QStringLiteral("{\"n\": 1e999999}"));
    EXPECT_EQ(a.Objeto()->Count(), 0);
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Desbordamiento: n\r\n"));
}

TEST(LectorJSON, NumerosComoLosLeeElDecimal) {
    // Each number reads as cDecimal reads its text, in an array and as an object's value, or fails
    // the same way.
    const QStringList textos = {
        "0", "-0", "0.0", "-0.000e5", "00012", "-00.0100", "1e5", "1E+5", "1.5e-3", "-.5", "5.", "7e0",
        "9999999999999999999", "-9999999999999999999.0", "10000000000000000000", "1234567890.123456789",
        "0.0000000000000000000001234", "1e100000", "1e-100000", "1.5e-99999", "1.5e-100000", "1e100001",
        "0e100001", "1e", "1e+", "-", ".", "-e5", "1.2.3", "1e5.5", "+1", "--1", "1-"};
    for (const QString& t : textos) {
        bool desborde = false;
        const std::optional<cDecimal> d = cDecimal::DeTexto(t, &desborde);
        for (const QString& doc : {"[" + t + ", 1]", "{\"k\": " + t + ", \"z\": 1}"}) {
            SCOPED_TRACE(doc.toStdString());
            const cJSONValor v = Lee(doc);
            if (!d) {
                EXPECT_TRUE(JSON::ReadErrors().startsWith((desborde ? QStringLiteral("Desbordamiento") : kTipos) + ": "));
                continue;
            }
            ASSERT_EQ(JSON::ReadErrors(), QString());
            const cJSONValor n = v.EsArreglo() ? En(v, 1) : Clave(v, QStringLiteral("k"));
            ASSERT_TRUE(n.EsNumero());
            EXPECT_EQ(n.Numero(), *d);
            EXPECT_EQ(n.Numero().Texto(), d->Texto());
        }
    }
}

TEST(LectorJSON, ClavesOrdenExactoYRepetidas) {
    cJSONValor o = Lee(QStringLiteral("{b: 1, \"my key\": 2 'A':3 a:4, \"x:y\": 5}"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    QStringList claves;
    for (const auto& e : o.Objeto()->Entradas()) claves << e.first;
    EXPECT_EQ(claves, QStringList({"b", "mykey", "A", "a", "x:y"}));
    EXPECT_EQ(Clave(o, "A").Numero().Texto(), QStringLiteral("3"));
    EXPECT_EQ(Clave(o, "a").Numero().Texto(), QStringLiteral("4"));

    o = Lee(QStringLiteral("{\"a\": 1, \"a\": 2, \"b\": 3}"));
    ASSERT_EQ(o.Objeto()->Count(), 1);
    EXPECT_EQ(Clave(o, "a").Numero().Texto(), QStringLiteral("1"));
    EXPECT_EQ(JSON::ReadErrors(), kDuplicada + QStringLiteral(": a\r\n"));

    // Larger objects (indexed) keep order and still refuse a repeated key.
    QString t = QStringLiteral("{");
    for (int i = 0; i < 40; ++i) t += QStringLiteral("k%1: %1, ").arg(i);
    t += QStringLiteral("k7: 0}");
    o = Lee(t);
    EXPECT_EQ(o.Objeto()->Count(), 40);
    EXPECT_EQ(o.Objeto()->Entradas()[39].first, QStringLiteral("k39"));
    EXPECT_EQ(JSON::ReadErrors(), kDuplicada + QStringLiteral(": k7\r\n"));

    o = Lee(QStringLiteral("{\"a\" 1}"));
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Invalid Key at position 6 : a\r\n"));
    EXPECT_EQ(Clave(o, "a").Numero().Texto(), QStringLiteral("1"));
}

TEST(LectorJSON, ClavesYTextosCompartenSuMemoria) {
    // Keys met again in later objects, more distinct ones than are kept in
    // view, some longer than are shared, each in the objects' own order.
    const QString larga = QStringLiteral("una_clave_bastante_larga_para_no_compartirse_");
    QString t = QStringLiteral("[");
    for (int i = 0; i < 300; ++i) {
        t += QStringLiteral("{");
        for (int k = 0; k < 5; ++k) {
            const int c = (i * 7 + k * 13) % 150;
            t += QStringLiteral("'%1%2': \"v%3\\n\", ").arg(c % 3 ? QStringLiteral("k") : larga).arg(c).arg(i * 5 + k);
        }
        t += QStringLiteral("\"my key\": %1}").arg(i);
    }
    cJSONValor a = Lee(t + QStringLiteral("]"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    ASSERT_EQ(a.Arreglo()->Count(), 300);
    for (int i = 1; i <= 300; i += 37) {
        const auto& entradas = En(a, i).Objeto()->Entradas();
        ASSERT_EQ(entradas.size(), 6u);
        for (int k = 0; k < 5; ++k) {
            const int c = ((i - 1) * 7 + k * 13) % 150;
            EXPECT_EQ(entradas[k].first, QStringLiteral("%1%2").arg(c % 3 ? QStringLiteral("k") : larga).arg(c));
            EXPECT_EQ(entradas[k].second.Texto(), QStringLiteral("v%1\n").arg((i - 1) * 5 + k));
        }
        EXPECT_EQ(entradas[5].first, QStringLiteral("mykey"));
    }
    // A key changed by its holder leaves the same key elsewhere as it was.
    QString k = En(a, 1).Objeto()->Entradas()[5].first;
    k[0] = u'M';
    EXPECT_EQ(En(a, 2).Objeto()->Entradas()[5].first, QStringLiteral("mykey"));
    EXPECT_EQ(*(En(a, 2).Objeto()->Entradas()[5].first.utf16() + 5), 0);

    // Texts and keys packed as tightly as the format allows, and a key cut
    // by the end of the document.
    cJSONValor o = Lee(QStringLiteral("{a:'b'c:\"\"'':'d',e:'\\u0041'fg"));
    ASSERT_EQ(o.Objeto()->Count(), 5);
    EXPECT_EQ(Clave(o, "a").Texto(), QStringLiteral("b"));
    EXPECT_TRUE(Clave(o, "c").EsTexto());
    EXPECT_EQ(Clave(o, "").Texto(), QStringLiteral("d"));
    EXPECT_EQ(Clave(o, "e").Texto(), QStringLiteral("A"));
    EXPECT_EQ(o.Objeto()->Entradas()[4].first, QStringLiteral("fg"));
    EXPECT_TRUE(Clave(o, "fg").EsVacio());
}

TEST(LectorJSON, RellenoComentariosYParentesis) {
    cJSONValor o = Lee(QStringLiteral("({ /* a block */ \"a\": // to the end, and/or\n (1) })  ignored after"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    EXPECT_EQ(Clave(o, "a").Numero().Texto(), QStringLiteral("1"));

    o = Lee(QStringLiteral("[ /** doc **/ 1, / 2 * ]"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    EXPECT_EQ(o.Arreglo()->Count(), 2);

    o = Lee(QStringLiteral("[1 /* never closed"));
    EXPECT_EQ(o.Arreglo()->Count(), 1);
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Missing ']': [1 /* never closed\r\n"));
}

TEST(LectorJSON, FinDelTextoYComaFinal) {
    cJSONValor o = Lee(QStringLiteral("{\"a\":1"));
    ASSERT_EQ(o.Objeto()->Count(), 1);
    EXPECT_TRUE(Clave(o, "a").EsVacio());
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Missing '}': {\"a\":1\r\n"));

    o = Lee(QStringLiteral("{\"clave\": [1, 2, \"un texto bastante largo\""));
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Missing ']': exto bastante largo\"\r\n"
                                                 "Missing '}': exto bastante largo\"\r\n"));

    cJSONValor a = Lee(QStringLiteral("[1,]"));
    ASSERT_EQ(a.Arreglo()->Count(), 1);
    EXPECT_EQ(JSON::ReadErrors(), kTipos + QStringLiteral(": ]\r\n"));
}

TEST(LectorJSON, LiteralesInvalidosNoSeRepiten) {
    cJSONValor a = Lee(QStringLiteral("[tru, 1, nul, true, false, null]"));
    EXPECT_EQ(JSON::ReadErrors(), QStringLiteral("Invalid Boolean at position 2 : tru, 1, nul, true, false, null]\r\n"
                                                 "Invalid null value at position 10 : nul, true, false, null]\r\n"));
    ASSERT_EQ(a.Arreglo()->Count(), 6);
    EXPECT_TRUE(En(a, 1).EsBooleano());
    EXPECT_FALSE(En(a, 1).Booleano());
    EXPECT_TRUE(En(a, 3).EsVacio());
    EXPECT_TRUE(En(a, 4).Booleano());
    EXPECT_TRUE(En(a, 5).EsBooleano());
    EXPECT_TRUE(En(a, 6).EsNulo());

    // In an object the next key is read from the literal on.
    cJSONValor o = Lee(QStringLiteral("{a: nope, b: 2}"));
    EXPECT_TRUE(o.EsObjeto());
    EXPECT_TRUE(JSON::ReadErrors().startsWith(QStringLiteral("Invalid null value at position 5 : nope, b: 2}\r\n")));
}

TEST(LectorJSON, ColeccionesDesde1) {
    cJSONValor a = Lee(QStringLiteral("[[], {}, \"x\"]"));
    EXPECT_TRUE(En(a, 1).EsArreglo());
    EXPECT_TRUE(En(a, 2).EsObjeto());
    EXPECT_EQ(En(a, 3).Texto(), QStringLiteral("x"));
    try {
        En(a, 0);
        ADD_FAILURE();
    } catch (const Fallo& f) {
        EXPECT_EQ(f.Numero(), 9);
    }
    EXPECT_THROW(En(a, 4), Fallo);
}

TEST(LectorJSON, AnidamientoProfundoSinDesbordarLaPila) {
    const int n = 200000;
    cJSONValor a = Lee(QString(n, QLatin1Char('[')) + QString(n, QLatin1Char(']')));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    int profundidad = 0;
    for (const cJSONValor* v = &a; v && v->EsArreglo(); ++profundidad)
        v = v->Arreglo()->Count() ? &v->Arreglo()->Item(1) : nullptr;
    EXPECT_EQ(profundidad, n);

    QString t;
    for (int i = 0; i < 50000; ++i) t += QStringLiteral("{\"a\":[");
    cJSONValor o = Lee(t);  // never closed: one message per level
    EXPECT_TRUE(o.EsObjeto());
    EXPECT_EQ(JSON::ReadErrors().count(QStringLiteral("Missing")), 100000);

    // Repeated keys ending one object after another, all the way up.
    t.clear();
    for (int i = 0; i < 50000; ++i) t += QStringLiteral("{a:1,a:");
    o = Lee(t + QStringLiteral("1"));
    EXPECT_EQ(o.Objeto()->Count(), 1);
    EXPECT_EQ(JSON::ReadErrors().count(QStringLiteral("colección: a\r\n")), 50000);
}

TEST(LectorJSON, TextosYColeccionesVivenSinElDocumento) {
    QString t = QStringLiteral("{\"k\": [\"ab\", 'c\\nd', \"\ufeffx\"], \"\ufeffclave\": {b: \"\"}, e f : 1}");
    cJSONValor o = Lee(t);
    ASSERT_EQ(JSON::ReadErrors(), QString());
    EXPECT_EQ(Clave(o, "ef").Numero().Texto(), QStringLiteral("1"));
    cJSONValor k = Clave(o, "k");
    ASSERT_EQ(k.Arreglo()->Count(), 3);
    // A leading U+FEFF is a character like any other, in texts and keys.
    EXPECT_EQ(En(k, 3).Texto(), QStringLiteral("\ufeffx"));
    EXPECT_TRUE(o.Objeto()->Exists(QStringLiteral("\ufeffclave")));

    // Texts and collections outlive the root and the document's text, and
    // changing one text leaves its neighbours as they were.
    QString ab = En(k, 1).Texto();
    o = cJSONValor();
    t.fill(QLatin1Char('z'));
    (void)Lee(QStringLiteral("[\"otro documento\", {x: 1}]"));
    ab += QStringLiteral("++");
    EXPECT_EQ(ab, QStringLiteral("ab++"));
    EXPECT_EQ(En(k, 1).Texto(), QStringLiteral("ab"));
    EXPECT_EQ(En(k, 2).Texto(), QStringLiteral("c\nd"));
    EXPECT_EQ(En(k, 2).Texto().size(), 3);
    EXPECT_EQ(*(En(k, 2).Texto().utf16() + 3), 0);  // ends as every text does
}

TEST(LectorJSON, DocumentosGrandesYValoresQueSobreviven) {
    // Large enough for the reader's largest buffers (stacks, blocks of its
    // own) and for the kept memory to be reused by the next document.
    auto arreglo = [](int n, const QString& prefijo) {
        QString t = QStringLiteral("[");
        for (int i = 0; i < n; ++i)
            t += QStringLiteral("{c: '%1%2', n: %3.5, l: [%4, true]} ").arg(prefijo).arg(i).arg(i).arg(i * 3);
        return t + QStringLiteral("]");
    };
    const int n = 60000;
    cJSONValor a = Lee(arreglo(n, QStringLiteral("A")));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    ASSERT_EQ(a.Arreglo()->Count(), n);
    // One element kept on its own, then the root dropped while another
    // large document is read, in another thread.
    cJSONValor ultimo = En(a, n);
    cJSONValor b;
    std::thread([&] {
        a = cJSONValor();
        b = Lee(arreglo(n, QStringLiteral("B")));
    }).join();
    ASSERT_EQ(b.Arreglo()->Count(), n);
    EXPECT_EQ(Clave(ultimo, "c").Texto(), QStringLiteral("A%1").arg(n - 1));
    EXPECT_EQ(Clave(ultimo, "n").Numero().Texto(), QStringLiteral("%1.5").arg(n - 1));
    EXPECT_EQ(En(Clave(ultimo, "l"), 1).Numero().Texto(), QString::number((n - 1) * 3));
    EXPECT_EQ(Clave(En(b, 1), "c").Texto(), QStringLiteral("B0"));
    EXPECT_EQ(Clave(En(b, n), "c").Texto(), QStringLiteral("B%1").arg(n - 1));

    // A flat array of numbers whose stack outgrows the heap's buffers.
    QString t = QStringLiteral("[");
    for (int i = 0; i < 300000; ++i) t += QString::number(i) + QLatin1Char(',');
    cJSONValor c = Lee(t + QStringLiteral("-1]"));
    ASSERT_TRUE(c.EsArreglo()) << JSON::ReadErrors().toStdString();
    ASSERT_EQ(c.Arreglo()->Count(), 300001);
    EXPECT_EQ(En(c, 123457).Numero().Texto(), QStringLiteral("123456"));
    EXPECT_EQ(En(c, 300001).Numero().Texto(), QStringLiteral("-1"));

    // A collection made here holding values read from documents.
    auto mio = std::make_unique<cJSONArreglo>();
    mio->Add(ultimo);
    mio->Add(En(b, 2));
    cJSONValor propio(std::move(mio));
    b = cJSONValor();
    ultimo = cJSONValor();
    EXPECT_EQ(Clave(En(propio, 2), "c").Texto(), QStringLiteral("B1"));
    EXPECT_EQ(Clave(En(propio, 1), "c").Texto(), QStringLiteral("A%1").arg(n - 1));
}

TEST(LectorJSON, ArreglosLeidosCrecenYSusValoresSeCopian) {
    cJSONValor a = Lee(QStringLiteral("[[1, \"dos\", 12345678901234567890123, -0.5e-2, [true]], 'x']"));
    ASSERT_EQ(JSON::ReadErrors(), QString());
    cJSONValor interno = En(a, 1);
    const cJSONValor largo = En(interno, 3);
    a = cJSONValor();

    // An array read exactly sized takes more elements, and keeps those
    // it had (its texts, numbers of every length, collections).
    for (int i = 0; i < 100; ++i) interno.Arreglo()->Add(cDecimal::DeTexto(QString::number(i)).value());
    ASSERT_EQ(interno.Arreglo()->Count(), 105);
    EXPECT_EQ(En(interno, 1).Numero().Texto(), QStringLiteral("1"));
    EXPECT_EQ(En(interno, 2).Texto(), QStringLiteral("dos"));
    EXPECT_EQ(En(interno, 3).Numero().Texto(), QStringLiteral("12345678901234567890123"));
    EXPECT_EQ(En(interno, 4).Numero().Texto(), QStringLiteral("-0.005"));
    EXPECT_TRUE(En(En(interno, 5), 1).Booleano());
    EXPECT_EQ(En(interno, 105).Numero().Texto(), QStringLiteral("99"));

    // Copies and assignments across kinds own what they hold.
    cJSONValor v = En(interno, 2);
    cJSONValor w = v;
    v = En(interno, 3);
    w = En(interno, 4);
    interno = cJSONValor();
    EXPECT_EQ(v.Numero(), largo.Numero());
    EXPECT_EQ(w.Numero().Texto(), QStringLiteral("-0.005"));
    EXPECT_TRUE(w.Numero().Negativo());
    v = w;
    w = cJSONValor(QStringLiteral("t"));
    EXPECT_EQ(v.Numero().Texto(), QStringLiteral("-0.005"));
    EXPECT_EQ(w.Texto(), QStringLiteral("t"));
    EXPECT_TRUE(w.Numero().Texto() == QStringLiteral("0"));  // zero for any other kind
    EXPECT_EQ(largo.Numero().Texto(), QStringLiteral("12345678901234567890123"));
}
