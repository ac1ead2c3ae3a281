#include <QDateTime>

#include "platform/lib/Lib_Dialogo.h"
#include "platform/lib/Lib_Util.h"
#include "tests/support/Soporte.h"

namespace {
const Lib_Util& U() {
    return LibUtil();
}
}  // namespace

TEST(AlineaTexto, AnchosCortosALaDerechaYLargosALaIzquierda) {
    EXPECT_EQ(U().AlineaTexto(1, 4), QStringLiteral("   1"));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral(" 12 "), 4), QStringLiteral("  12"));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral("AB"), 2), QStringLiteral("AB"));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral("  ÑANDÚ 1 "), 25),
              QStringLiteral("ÑANDÚ 1") + QString(18, u' '));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral("ABCDEF"), 4), QStringLiteral("ABCDEF"));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral(" x "), 0), QStringLiteral("x"));
    EXPECT_EQ(U().AlineaTexto(QStringLiteral(" x ")), QStringLiteral("x"));
    EXPECT_EQ(U().AlineaTexto(QVariant()), QString());
    EXPECT_EQ(U().AlineaTexto(QVariant(), 4), QStringLiteral("    "));
    EXPECT_EQ(U().AlineaTexto(2.5), QStringLiteral("2.5"));
    EXPECT_EQ(U().AlineaTexto(3.0, 4), QStringLiteral("   3"));
    // Tabs are not blanks: kept.
    EXPECT_EQ(U().AlineaTexto(QStringLiteral("\tA"), 4), QStringLiteral("  \tA"));
}

TEST(AlineaTexto, EstableAlVolverAAplicarse) {
    const QStringList valores = {
        QStringLiteral("1"), QStringLiteral("  A.B "),          QStringLiteral("12345"),
        QStringLiteral(""),  QStringLiteral("COD CON BLANCOS"), QString(30, u'Z')};
    for (int ancho : {0, 1, 2, 4, 5, 25}) {
        for (const QString& v : valores) {
            const QString una = U().AlineaTexto(v, ancho);
            EXPECT_EQ(U().AlineaTexto(una, ancho), una) << v.toStdString() << " " << ancho;
            EXPECT_EQ(U().AlineaTexto(una.trimmed(), ancho), una) << v.toStdString() << " " << ancho;
        }
    }
}

TEST(Encripta, IdaYVuelta) {
    QString todos;
    for (char16_t c = 32; c < 127; ++c) todos.append(QChar(c));
    for (char16_t c = 0xA0; c <= 0xFF; ++c) todos.append(QChar(c));
    const QStringList textos = {QString(),
                                QStringLiteral("Korvane"),
                                QStringLiteral("contraseña Ñandú ÁÉÍÓÚ ü"),
                                QStringLiteral("   blancos   "),
                                QStringLiteral("líneas\r\nseparadas\ty tabs"),
                                QStringLiteral("€ “comillas” ✓ 日本 😀"),
                                QString(5000, u'x'),
                                todos};
    for (const QString& t : textos) {
        const QString c = U().Encripta(t);
        EXPECT_EQ(U().Desencripta(c), t) << Visible(t);
        for (QChar ch : c) ASSERT_TRUE(ch.unicode() > 32 && ch.unicode() < 127) << Visible(c);
        if (!t.isEmpty()) {
            EXPECT_NE(c, t);
        }
    }
    EXPECT_EQ(U().Encripta(QString()), QString());
    // Deterministic: stored values are compared and decoded later.
    EXPECT_EQ(U().Encripta(QStringLiteral("abc")), U().Encripta(QStringLiteral("abc")));
    EXPECT_NE(U().Encripta(QStringLiteral("abc")), U().Encripta(QStringLiteral("abd")));
}

TEST(Encripta, TextoQueNoEsCifradoVuelveComoEsta) {
    for (const QString& t : {QStringLiteral("clave"), QStringLiteral("CAFE"), QStringLiteral("ABC"),
                             QStringLiteral("12 34"), QStringLiteral("ñ")})
        EXPECT_EQ(U().Desencripta(t), t);
    QString c = U().Encripta(QStringLiteral("secreto"));
    c[2] = c[2] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');  // damaged
    EXPECT_EQ(U().Desencripta(c), c);
    // Lower-case hex (an edited file) still reads.
    EXPECT_EQ(U().Desencripta(U().Encripta(QStringLiteral("Año")).toLower()), QStringLiteral("Año"));
}

TEST(TextoSQL, DuplicaComillasSinPasarElAncho) {
    EXPECT_EQ(U().TextoSQL(QStringLiteral("abcdef"), 4), QStringLiteral("abcd"));
    EXPECT_EQ(U().TextoSQL(QStringLiteral("O'Brien"), 20), QStringLiteral("O''Brien"));
    // The doubled quote does not fit in full: left out, not halved.
    EXPECT_EQ(U().TextoSQL(QStringLiteral("ab'c"), 3), QStringLiteral("ab"));
    EXPECT_EQ(U().TextoSQL(QStringLiteral("ab'c"), 4), QStringLiteral("ab''"));
    EXPECT_EQ(U().TextoSQL(QStringLiteral("x"), 0), QString());
    EXPECT_EQ(U().TextoSQL(QStringLiteral("x"), -3), QString());
    EXPECT_EQ(U().TextoSQL(QString(300, u'\''), 250), QString(250, u'\''));
    EXPECT_EQ(U().TextoSQL(QString(300, u'\''), 251), QString(250, u'\''));
}

TEST(Lib_Util, ValorNumericoConCuatroDecimales) {
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("3.14159")), 3.1416);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("  12.5 kg")), 12.5);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("-0.00004")), 0.0);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("-2.00005")), -2.0001);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QString()), 0.0);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("16777215")), 16777215.0);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("12,5")), 12.5);
    EXPECT_DOUBLE_EQ(U().ValorNumerico(QStringLiteral("1.5,2")), 1.5);
    EXPECT_EQ(U().ValorEntero(QStringLiteral("1433")), 1433);
    EXPECT_EQ(U().ValorEntero(QStringLiteral("99.6")), 100);
    EXPECT_EQ(U().ValorEntero(QStringLiteral("x")), 0);
}

TEST(Lib_Util, CuentaPalabras) {
    EXPECT_EQ(U().CuentaPalabras(QString()), 0);
    EXPECT_EQ(U().CuentaPalabras(QStringLiteral("   ")), 0);
    EXPECT_EQ(U().CuentaPalabras(QStringLiteral("LEN")), 1);
    EXPECT_EQ(U().CuentaPalabras(QStringLiteral("  LEN  ")), 1);
    EXPECT_EQ(U().CuentaPalabras(QStringLiteral("select  top 1 * from t")), 6);
    EXPECT_EQ(U().CuentaPalabras(QStringLiteral("select\r\nx\tfrom\ny")), 4);
}

TEST(Lib_Util, LimpiezaDeTextos) {
    EXPECT_EQ(U().QuitaCaracteres(QStringLiteral("@server= SRV"), QStringLiteral("=")),
              QStringLiteral("@server SRV"));
    EXPECT_EQ(U().QuitaCaracteres(QStringLiteral("a|b,c;d"), QStringLiteral("|"), QStringLiteral(","),
                                  QStringLiteral(";")),
              QStringLiteral("abcd"));
    const QString cero(QChar(0)), ff(QChar(0xFF));
    EXPECT_EQ(U().QuitaCaracteres(QStringLiteral("V_MA") + cero + ff + cero, cero, ff),
              QStringLiteral("V_MA"));
    EXPECT_EQ(U().QuitaCaracteres(QStringLiteral("sin cambios"), QString()), QStringLiteral("sin cambios"));

    EXPECT_EQ(U().QuitaRelleno(QStringLiteral("  campo a|b|     ")), QStringLiteral("  campo a|b|"));
    EXPECT_EQ(U().QuitaRelleno(QStringLiteral("abc") + QString(3, QChar(0)) + QStringLiteral("  ")),
              QStringLiteral("abc"));
    EXPECT_EQ(U().QuitaRelleno(QStringLiteral("     ")), QString());
    EXPECT_EQ(U().QuitaRelleno(QStringLiteral("a\t")), QStringLiteral("a\t"));

    EXPECT_EQ(U().ReemplazaTexto(QStringLiteral("select * from v_ma_articulos"),
                                 QStringLiteral("V_MA_ARTICULOS"), QStringLiteral("VT_MA_ARTICULOS")),
              QStringLiteral("select * from VT_MA_ARTICULOS"));
    EXPECT_EQ(U().Reemplaza(QStringLiteral("1,5"), QStringLiteral(","), QStringLiteral(".")),
              QStringLiteral("1.5"));

    EXPECT_EQ(U().AgregaBarra(QStringLiteral("/opt/q")), QStringLiteral("/opt/q/"));
    EXPECT_EQ(U().AgregaBarra(QStringLiteral("/opt/q/")), QStringLiteral("/opt/q/"));
    EXPECT_EQ(U().AgregaBarra(QStringLiteral("C:\\q\\")), QStringLiteral("C:\\q\\"));
}

TEST(Lib_Util, ValorCampo) {
    EXPECT_EQ(U().ValorCampo(QVariant()), QVariant(QString()));
    EXPECT_EQ(U().ValorCampo(42).toInt(), 42);
    EXPECT_EQ(U().ValorCampo(QStringLiteral(" A ")).toString(), QStringLiteral(" A "));
}

TEST(Lib_Util, DialogoErrorPreguntaYDevuelveLaRespuesta) {
    OperadorDePrueba op;
    op.Responde(vbRetry).Responde(vbIgnore);
    const Fallo f(9, QStringLiteral(" Subíndice fuera del intervalo "), QStringLiteral("Quenvar"));
    EXPECT_EQ(U().DialogoError(f, QStringLiteral("EditKeyCode")), vbRetry);
    const Aviso& a = op.Transcripcion().back();
    EXPECT_EQ(a.botones, vbAbortRetryIgnore + vbCritical);
    EXPECT_TRUE(a.texto.contains(QStringLiteral("9")));
    EXPECT_TRUE(a.texto.contains(QStringLiteral("EditKeyCode")));
    EXPECT_TRUE(a.texto.contains(QStringLiteral("Subíndice fuera del intervalo")));
    EXPECT_TRUE(a.titulo.startsWith(QStringLiteral("Quenvar")));
    // Through the step guard: 5 goes on with the next step.
    int pasos = 0;
    Guardia g(U().DialogoDe(QStringLiteral("UtilKor1_click")));
    EXPECT_TRUE(g.Ejecuta({[] { throw Fallo(52, QStringLiteral("x")); }, [&] { ++pasos; }}));
    EXPECT_EQ(pasos, 1);
    EXPECT_TRUE(op.Transcripcion().back().texto.contains(QStringLiteral("UtilKor1_click")));
}

TEST(Lib_Dialogo, PasaElPedidoYGuardaLaRespuesta) {
    OperadorDePrueba op;
    Lib_Dialogo d;
    d.AsignaTitulo(QStringLiteral("Importar"));
    d.AsignaFiltro(QStringLiteral("Texto (*.txt)|*.txt|"));
    d.AsignaExtension(QStringLiteral(".txt"));
    d.AsignaOpcion(true);
    op.RespondeArchivo({false, QStringLiteral("/d/pares.txt")}).RespondeArchivo({true, {}});
    d.MuestraAbrir();
    EXPECT_FALSE(d.FueCancelado());
    EXPECT_EQ(d.NombreArchivo(), QStringLiteral("/d/pares.txt"));
    const PedidoArchivo& p = op.Transcripcion().back().pedido;
    EXPECT_FALSE(p.guardar);
    EXPECT_TRUE(p.opcion);
    EXPECT_EQ(p.titulo, QStringLiteral("Importar"));
    EXPECT_EQ(p.filtro, QStringLiteral("Texto (*.txt)|*.txt|"));
    EXPECT_EQ(p.extension, QStringLiteral(".txt"));
    d.MuestraGuardar();
    EXPECT_TRUE(op.Transcripcion().back().pedido.guardar);
    EXPECT_TRUE(d.FueCancelado());
    EXPECT_EQ(d.NombreArchivo(), QString());
}
