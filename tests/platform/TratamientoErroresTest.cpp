#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/ArchivoTexto.h"
#include "tests/support/EntornoDePrueba.h"
#include "tests/support/Soporte.h"

namespace {

QByteArray Bytes(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime kMomento(QDate(2024, 3, 15), QTime(14, 22, 10));

// The frame's log goes to a temporary folder of the test, through "tmp".
class LogGlobal : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    Entorno temp{"temp", QStringLiteral("x")};
    Entorno tmp{"tmp", QStringLiteral("  ") + dir.path() + QStringLiteral("  ")};
    OperadorDePrueba op;
    QString Log() const { return QDir(dir.path()).filePath(QStringLiteral("KVERR.LOG")); }
};

}  // namespace

TEST(PartesError, MensajeTituloYLineaDelLog) {
    const Fallo f(3219, QStringLiteral("  Operación no permitida en este contexto. "),
                  QStringLiteral("ADODB.Recordset"));
    const PartesError p = ArmaPartesError(f, QStringLiteral("CierraRecordset"), FinTituloSesion);
    EXPECT_EQ(
        p.mensaje,
        QStringLiteral("Ha ocurrido el Siguiente Error (3219) Operación no permitida en este contexto."));
    EXPECT_EQ(p.rutina, QStringLiteral(" - CierraRecordset"));
    EXPECT_EQ(p.titulo, QStringLiteral("ADODB.Recordset - CierraRecordset Aviso al operador!!! - 5 "));
    EXPECT_EQ(ArmaPartesError(f, QStringLiteral("X"), FinTituloGlobal).titulo,
              QStringLiteral("ADODB.Recordset - X Aviso al operador!!! - 2 "));

    const QByteArray esperada =
        "03-15-2024 14:22:10 Rutina: - CierraRecordset Mensaje Ha ocurrido el Siguiente Error (3219) "
        "Operaci\xF3n no permitida en este contexto. Respondi\xF3 : Reintentar\r\n";
    EXPECT_EQ(ArchivoTexto::Codifica(LineaLogError(kMomento, p.rutina, p.mensaje, vbRetry)), esperada);
}

TEST(PartesError, SinRutinaNumerosNegativosYRespuestas) {
    const Fallo f(-2147217900, QStringLiteral("Sintaxis incorrecta"), QStringLiteral("Microsoft OLE DB"));
    const PartesError p = ArmaPartesError(f, {}, FinTituloSesion);
    EXPECT_EQ(p.mensaje, QStringLiteral("Ha ocurrido el Siguiente Error (-2147217900) Sintaxis incorrecta"));
    EXPECT_EQ(p.rutina, QString());
    EXPECT_EQ(p.titulo, QStringLiteral("Microsoft OLE DB Aviso al operador!!! - 5 "));
    EXPECT_EQ(ArchivoTexto::Codifica(
                  LineaLogError(QDateTime(QDate(2025, 1, 2), QTime(3, 4, 5)), p.rutina, p.mensaje, vbYes)),
              QByteArray("01-02-2025 03:04:05 Rutina:  Mensaje Ha ocurrido el Siguiente Error (-2147217900) "
                         "Sintaxis incorrecta Respondi\xF3 : S\xED\r\n"));
    // An empty description leaves no trailing blank in the log.
    const PartesError v = ArmaPartesError(Fallo(5, QString(), QStringLiteral("q")), QStringLiteral("R"), {});
    EXPECT_TRUE(LineaLogError(kMomento, v.rutina, v.mensaje, 0)
                    .endsWith(QStringLiteral(
                        "Rutina: - R Mensaje Ha ocurrido el Siguiente Error (5) Respondió : \r\n")));

    const std::pair<int, const char*> respuestas[] = {{4, "Reintentar"}, {5, "Ignorar"}, {3, "Abortar"},
                                                      {2, "Cancelar"},   {6, "Sí"},      {7, "No"},
                                                      {1, ""},           {0, ""},        {99, ""}};
    for (auto [codigo, texto] : respuestas)
        EXPECT_EQ(TextoRespuesta(codigo), QString::fromUtf8(texto)) << codigo;
}

TEST_F(LogGlobal, MuestraElErrorYAgregaUnaLinea) {
    op.Responde(vbIgnore).Responde(vbAbort);
    const Fallo f(52, QStringLiteral("Nombre o número de archivo incorrecto"), QStringLiteral("Quenvar"));
    EXPECT_EQ(TratamientoErroresGlobal(f, std::nullopt, QStringLiteral("GActualizarDatoScript")), vbIgnore);
    const Aviso& a = op.Transcripcion().back();
    EXPECT_EQ(a.botones, 18);
    EXPECT_EQ(a.texto,
              QStringLiteral("Ha ocurrido el Siguiente Error (52) Nombre o número de archivo incorrecto"));
    EXPECT_EQ(a.titulo, QStringLiteral("Quenvar - GActualizarDatoScript Aviso al operador!!! - 2 "));
    EXPECT_EQ(TratamientoErroresGlobal(f, vbOKCancel + vbExclamation), vbAbort);
    EXPECT_EQ(op.Transcripcion().back().botones, vbOKCancel + vbExclamation);

    const QByteArray log = Bytes(Log());
    const QList<QByteArray> lineas = log.split('\n');
    ASSERT_EQ(lineas.size(), 3);  // two lines and the empty end
    const QRegularExpression fecha(QStringLiteral("^\\d\\d-\\d\\d-\\d{4} \\d\\d:\\d\\d:\\d\\d$"));
    EXPECT_TRUE(fecha.match(QString::fromLatin1(lineas[0].left(19))).hasMatch()) << lineas[0].toStdString();
    EXPECT_EQ(lineas[0].mid(19),
              QByteArray(" Rutina: - GActualizarDatoScript Mensaje Ha ocurrido el Siguiente "
                         "Error (52) Nombre o n\xFAmero de archivo incorrecto Respondi\xF3 : "
                         "Ignorar\r"));
    EXPECT_EQ(lineas[1].mid(19), QByteArray(" Rutina:  Mensaje Ha ocurrido el Siguiente Error (52) Nombre o "
                                            "n\xFAmero de archivo incorrecto Respondi\xF3 : Abortar\r"));
}

TEST_F(LogGlobal, ErrorCeroCreaElLogSinPreguntar) {
    ASSERT_FALSE(QFile::exists(Log()));
    EXPECT_EQ(TratamientoErroresGlobal(Fallo(0, QStringLiteral("nada"))), 0);
    EXPECT_TRUE(QFile::exists(Log()));
    EXPECT_EQ(Bytes(Log()), QByteArray());
    EXPECT_TRUE(op.Transcripcion().empty());
    ASSERT_TRUE(ArchivoTexto::Agrega(Log(), QStringLiteral("previa\r\n")));
    EXPECT_EQ(TratamientoErroresGlobal(Fallo(0, {})), 0);
    EXPECT_EQ(Bytes(Log()), QByteArray("previa\r\n"));
}

TEST_F(LogGlobal, LogQueNoSePuedeEscribirDevuelveLaRespuesta) {
    Entorno otro("tmp", QDir(dir.path()).filePath(QStringLiteral("no/existe")));
    op.Responde(vbRetry);
    EXPECT_EQ(TratamientoErroresGlobal(Fallo(76, QStringLiteral("No se encontró la ruta"))), vbRetry);
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("no/existe/KVERR.LOG"))));
}

TEST(RutaLogErroresGlobal, TempYTmp) {
    QTemporaryDir a, b;
    Entorno dirTmp("TMPDIR", b.path());
    {
        Entorno temp("temp", QStringLiteral("c:\\temp"));
        Entorno tmp("tmp", QStringLiteral(" ") + a.path() + QStringLiteral("/ "));
        EXPECT_EQ(RutaLogErroresGlobal(), a.path() + QStringLiteral("/KVERR.LOG"));
    }
    {
        // "temp" set, "tmp" unset or blank: the environment's temporary folder.
        Entorno temp("temp", QStringLiteral("c:\\temp"));
        Entorno tmp("tmp", std::nullopt);
        EXPECT_EQ(RutaLogErroresGlobal(), b.path() + QStringLiteral("/KVERR.LOG"));
        Entorno blanco("tmp", QStringLiteral("   "));
        EXPECT_EQ(RutaLogErroresGlobal(), b.path() + QStringLiteral("/KVERR.LOG"));
    }
    {
        // "temp" empty: "tmp" plays no part.
        Entorno temp("temp", std::nullopt);
        Entorno tmp("tmp", a.path());
        EXPECT_EQ(RutaLogErroresGlobal(), b.path() + QStringLiteral("/KVERR.LOG"));
    }
}

TEST_F(LogGlobal, GuardiaConElDialogoGlobal) {
    op.Responde(vbRetry).Responde(vbAbort);
    int intentos = 0;
    Guardia g(TratamientoGlobalDe(QStringLiteral("CargaConfiguracion")));
    EXPECT_FALSE(g.Ejecuta({[&] {
        ++intentos;
        throw Fallo(3704, QStringLiteral("cerrado"));
    }}));
    EXPECT_EQ(intentos, 2);
    EXPECT_EQ(Bytes(Log()).count('\n'), 2);
}
