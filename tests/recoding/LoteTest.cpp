// The batch tool on a demo folder: its options, the dry run, the output
// lines and the exit status.

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "frame/platform/Aplicacion.h"
#include "frame/platform/ArchivoTexto.h"
#include "frame/sesion/Sesion.h"
#include "recoding/Lote.h"
#include "recoding/Testigo.h"
#include "tests/support/Soporte.h"

namespace {

class Lote : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        EstableceTerminacion([](int c) { FAIL() << "el proceso terminaría con " << c; });
        OpcionesDemo o;
        o.articulos = 300;
        o.movimientosPorArticulo = 2;
        linea = GeneradorDemo::Genera(o).lineaComandos;
        ReiniciaCanalLog();
    }
    void TearDown() override {
        LiberaSesiones();
        ReiniciaCanalLog();
        EstableceTerminacion({});
        PruebaConCarpeta::TearDown();
    }
    int Corre(QStringList args) {
        salida.clear();
        errores.clear();
        QTextStream out(&salida), err(&errores);
        args.prepend(Carpeta());
        args.prepend("--carpeta");
        const int r = EjecutaLote(args, out, err);
        out.flush();
        err.flush();
        LiberaSesiones();
        ReiniciaCanalLog();
        return r;
    }
    QString Valor(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
        Recordset rs;
        rs.Open(sql, cn);
        return rs.Eof() ? QString() : rs.Fields(0).Value().toString();
    }
    QString Pares(const QString& texto) {
        ArchivoTexto::Escribe(Ruta("pares.txt"), texto);
        return Ruta("pares.txt");
    }
    // Two plain codes of the demo and one with size variants.
    QStringList Codigos() {
        return {Valor("SELECT MIN(IdArticulo) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '% %' AND IdArticulo NOT LIKE '%.%' AND IdArticulo "
                      "NOT LIKE '%|%' AND IdArticulo NOT IN (SELECT LEFT(IdArticulo, CHARINDEX('|', IdArticulo) - 1) "
                      "FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%|%')")
                    .trimmed(),
                Valor("SELECT MAX(IdArticulo) FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '% %' AND IdArticulo NOT LIKE '%.%' AND IdArticulo "
                      "NOT LIKE '%|%'")
                    .trimmed(),
                Valor("SELECT MIN(LEFT(IdArticulo, CHARINDEX('|', IdArticulo) - 1)) FROM V_MA_ARTICULOS WHERE "
                      "IdArticulo LIKE '%|%' AND IdArticulo NOT LIKE ' %'")
                    .trimmed()};
    }

    QString linea, salida, errores;
};

}  // namespace

TEST_F(Lote, OpcionesQueImpidenEmpezar) {
    EXPECT_EQ(Corre({}), 2);
    EXPECT_TRUE(errores.contains("Falta la línea de comandos")) << Visible(errores);
    EXPECT_EQ(Corre({"--prefijo", "1", "2", "--controlar-puntos", linea}), 2);
    EXPECT_TRUE(errores.contains("una sola fuente"));
    EXPECT_EQ(Corre({"--archivo", Ruta("no-existe.txt"), linea}), 2);
    EXPECT_TRUE(errores.contains("No se puede leer el archivo"));
    EXPECT_EQ(Corre({"--desconocida", linea}), 2);
    EXPECT_EQ(Corre({"--controlar-puntos", QString(linea).replace("@Password=admin;", "@Password=otra;")}), 2);
    EXPECT_TRUE(errores.contains("Usuario o clave incorrectos")) << Visible(errores);
    EXPECT_EQ(Corre({"--controlar-puntos", QString(linea).replace("DEMO", "NOHAY")}), 2);
    EXPECT_TRUE(errores.contains("No se pudo conectar")) << Visible(errores);
    EXPECT_TRUE(salida.isEmpty());
}

TEST_F(Lote, VistaPreviaNoEnviaNada) {
    const QStringList c = Codigos();
    const QString antes = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS");
    const QString pares = Pares(c[0] + ",NUEVO-0\r\n" + c[2] + ",NUEVO-2\r\nZZZ-NO,X\r\n" + c[1] + "," + c[0] + "\r\n");
    EXPECT_EQ(Corre({"--archivo", pares, "--vista-previa", "--permite-existentes", "--html", Ruta("t.htm"), linea}),
              0)
        << Visible(errores);
    EXPECT_TRUE(salida.contains("OMITIDO ZZZ-NO: código inexistente\n"));
    EXPECT_TRUE(salida.contains("-- " + c[0] + " -> NUEVO-0 (copia)\r\n ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL "))
        << Visible(salida);
    // The first pair takes c[0] out of the master: the run copies into it.
    EXPECT_TRUE(salida.contains("-- " + c[1] + " -> " + c[0] + " (copia)\r\n")) << Visible(salida);
    // The variants first: the first copied, the rest merged into it.
    EXPECT_TRUE(salida.contains("-- " + c[2] + "|"));
    EXPECT_EQ(salida.count(" -> NUEVO-2 (copia)"), 1);
    EXPECT_GE(salida.count(" -> NUEVO-2 (fusion)"), 2);
    EXPECT_TRUE(salida.contains("Vista previa: "));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS"), antes);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'NUEVO%'"), "0");
    EXPECT_FALSE(QFile::exists(RutaTestigo()));
    EXPECT_FALSE(QFile::exists(Ruta("t.htm")));
    EXPECT_TRUE(QDir(Carpeta()).entryList({"ErrCod*"}).isEmpty());
}

TEST_F(Lote, CorridaConResultadosPorCodigo) {
    const QStringList c = Codigos();
    const QString pares = Pares(c[0] + ",NUEVO-0\r\n" + c[1] + "," + c[0] + "\r\n" + "ZZZ-NO,X\r\n");
    // Without --permite-existentes the existing new code is refused.
    EXPECT_EQ(Corre({"--archivo", pares, "--html", Ruta("t.htm"), linea}), 0) << Visible(errores);
    // Skipped rows, the list's findings, one line per code, the summary.
    EXPECT_TRUE(salida.startsWith("OMITIDO " + c[1] + ": código nuevo rechazado\nOMITIDO ZZZ-NO: código inexistente\n"))
        << Visible(salida);
    EXPECT_TRUE(salida.endsWith("OK " + c[0] + " -> NUEVO-0 (copia)\nProcesados: 1, correctos: 1, con error: 0, omitidos: 2\nDeshacer: " +
                                QDir(Carpeta()).entryInfoList({"Deshacer-*.txt"}).value(0).absoluteFilePath() + "\n"))
        << Visible(salida);
    EXPECT_TRUE(errores.contains("El Código de Articulo nuevo ya existe,¿Es esto Correcto?"));
    EXPECT_TRUE(ArchivoTexto::Lee(Ruta("t.htm")).value_or("").contains("<TD>NUEVO-0"));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO-0'"), "1");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c[0] + "'"), "0");

    // A new code too long for the column is warned about and nothing runs;
    // forced, it fails in the run and the log's path is given.
    const QString pares2 = Pares(c[1] + "," + QString(30, 'L') + "\r\n");
    EXPECT_EQ(Corre({"--archivo", pares2, linea}), 2);
    EXPECT_TRUE(salida.startsWith("AVISO Largo (filas 1): " + c[1] + " → " + QString(30, 'L'))) << Visible(salida);
    EXPECT_TRUE(errores.contains("use --forzar")) << Visible(errores);
    EXPECT_FALSE(salida.contains("Procesados"));
    EXPECT_EQ(Corre({"--archivo", pares2, "--forzar", linea}), 1);
    EXPECT_TRUE(salida.contains("ERROR " + c[1] + ": ")) << Visible(salida);
    EXPECT_TRUE(salida.contains("con error: 1"));
    const QString log = salida.section("Log de errores: ", 1).trimmed();
    EXPECT_TRUE(ArchivoTexto::Lee(log).value_or("").contains("((MARCA 3))"));
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c[1] + "'"), "1");
}

TEST_F(Lote, PrefijoDesdeElEjecutable) {
    const QString prefijo = Codigos()[0].left(3);
    const QString cuantos =
        Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'");
    QProcess p;
    p.start(CarpetaBinarios() + "/quenvar-lote",
            {"--carpeta", Carpeta(), "--prefijo", prefijo, "X" + prefijo, "--permite-existentes", linea});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(p.exitCode(), 0) << Visible(QString::fromUtf8(p.readAllStandardError()));
    // Size variants fold into their article's new code, so no more rows than loaded.
    EXPECT_TRUE(out.contains("con error: 0, omitidos: 0")) << Visible(out);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'"), "0");
    const int nuevos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'X" + prefijo + "%'").toInt();
    EXPECT_GT(nuevos, 0);
    EXPECT_LE(nuevos, cuantos.toInt());
}

TEST_F(Lote, NuevoCodigoGuardadoConBlancosSeFusiona) {
    const QString viejo = Codigos()[0];
    auto ejecuta = [](const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
        cn.Execute(sql);
        ASSERT_EQ(cn.Errors().Count(), 0) << Visible(sql);
    };
    // The new article is kept with leading blanks, with stock of its own.
    ejecuta("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, IDRUBRO) VALUES ('   NB10032', 'Con blancos', '   1')");
    ejecuta("INSERT INTO V_MV_STOCK (Fecha, TC, IdDeposito, IDARTICULO, Cantidad) VALUES (GETDATE(), 'AJ', '   1', "
            "'   NB10032', 3)");
    const int stockViejo = Valor("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = '" + viejo + "'").toInt();
    const QString pares = Pares(viejo + ",NB10032\r\n");
    auto filasNuevo = [&] { return Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE LTRIM(IdArticulo) = 'NB10032'"); };

    // Refused without --permite-existentes: nothing changes.
    EXPECT_EQ(Corre({"--archivo", pares, linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("OMITIDO " + viejo + ": código nuevo rechazado")) << Visible(salida);
    EXPECT_EQ(filasNuevo(), "1");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + viejo + "'"), "1");

    // Accepted: merged into the stored article, no second master row.
    EXPECT_EQ(Corre({"--archivo", pares, "--permite-existentes", linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("OK " + viejo + " -> NB10032 (fusion)")) << Visible(salida);
    EXPECT_EQ(filasNuevo(), "1");
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '   NB10032'"), "1");
    for (const char* t : {"V_MA_ARTICULOS", "V_MV_STOCK", "AC_VENTASDIARIA", "AC_VENTASMES", "AC_COMPRASDIARIA",
                          "AC_COMPRASMES", "V_MA_Precios", "S_TA_EQUIV"})
        EXPECT_EQ(Valor(QString("SELECT COUNT(*) FROM ") + t + " WHERE IDARTICULO = '" + viejo + "'"), "0") << t;
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = '   NB10032'").toInt(), stockViejo + 1);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = 'NB10032'"), "0");
}

TEST_F(Lote, PrefijoMasLargoQueElRubroRecodificaSinCambiarlo) {
    const QString prefijo = Codigos()[0].left(3);
    const QString cuantos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'");
    const QString rubros = Valor("SELECT COUNT(DISTINCT IDRUBRO) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'");
    EXPECT_EQ(Corre({"--prefijo", prefijo, "LARGO" + prefijo, "--permite-existentes", linea}), 0) << Visible(errores);
    EXPECT_EQ(errores.count("no cabe en el rubro"), 1) << Visible(errores);
    EXPECT_TRUE(salida.contains("con error: 0, omitidos: 0")) << Visible(salida);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'"), "0");
    EXPECT_GT(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'").toInt(), 0);
    EXPECT_LE(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'").toInt(),
              cuantos.toInt());
    // Every rubro as it was: none became the prefix.
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IDRUBRO LIKE 'LARG%'"), "0");
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT IDRUBRO) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'"),
              rubros);
}
