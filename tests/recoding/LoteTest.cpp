// The batch tool on a demo folder: its options, the dry run, the output
// lines and the exit status.

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>

#include <csignal>

#include <gtest/gtest.h>

#include "db/DB_Dll.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Conexion.h"
#include "db/platform/Recordset.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/sesion/Sesion.h"
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
    QStringList Lista(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
        Recordset rs;
        rs.Open(sql, cn);
        QStringList r;
        for (; !rs.Eof(); rs.MoveNext()) r << rs.Fields(0).Value().toString();
        return r;
    }
    void Ejecuta(const QString& sql) {
        Conexion cn;
        cn.Open(GeneradorDemo::CadenaConexion("DEMO"));
        cn.Execute(sql);
        ASSERT_EQ(cn.Errors().Count(), 0) << Visible(sql);
    }
    // Codes without blanks, points or sizes, none an article with size
    // variants, that meet `condicion`, in order.
    QStringList Planos(const QString& condicion = "1 = 1") {
        return Lista(
            "SELECT IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo NOT LIKE '% %' AND IdArticulo NOT LIKE "
            "'%.%' AND IdArticulo NOT LIKE '%|%' AND IdArticulo NOT IN (SELECT LEFT(IdArticulo, "
            "CHARINDEX('|', IdArticulo) - 1) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '%|%') AND (" +
            condicion + ") ORDER BY IdArticulo");
    }
    // The rows referencing a code, per table and column the plans move.
    QMap<QString, int> Referencias(const QString& codigo) {
        static const char* const kColumnas[] = {
            "V_MA_ARTICULOS.IdArticulo",     "V_MV_STOCK.IDARTICULO",
            "V_MA_Precios.IDARTICULO",       "V_MA_Precios_Borrador.IDARTICULO",
            "S_TA_EQUIV.IDARTICULO",         "AC_VENTASDIARIA.IDARTICULO",
            "AC_VENTASMES.IDARTICULO",       "AC_COMPRASDIARIA.IDARTICULO",
            "AC_COMPRASMES.IDARTICULO",      "V_MA_INSUMOS.IDARTICULO",
            "V_MA_INSUMOS.IDARTICULOINSUMO", "V_MV_CPTEINSUMOS.IDARTICULO",
            "C_MV_CPTEINSUMOS.IDARTICULO"};
        QMap<QString, int> r;
        for (const char* c : kColumnas) {
            const QString t = QString(c).section('.', 0, 0), col = QString(c).section('.', 1);
            r[c] = Valor("SELECT COUNT(*) FROM " + t + " WHERE " + col + " = '" + codigo + "'").toInt();
        }
        return r;
    }
    int Stock(const QString& codigo) {
        return Valor("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = '" + codigo + "'").toInt();
    }
    int Maestro(const QString& codigo) {
        return Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = '" + codigo + "'").toInt();
    }
    QString Descripcion(const QString& codigo) {
        return Valor("SELECT Descripcion FROM V_MA_ARTICULOS WHERE IdArticulo = '" + codigo + "'");
    }
    QJsonObject Documento() {
        QJsonParseError e;
        const QJsonDocument d = QJsonDocument::fromJson(salida.toUtf8(), &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << e.errorString().toStdString() << Visible(salida);
        EXPECT_TRUE(d.isObject());
        return d.object();
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
    EXPECT_EQ(Corre({"--archivo", Carpeta(), linea}), 2);
    EXPECT_TRUE(errores.contains("es una carpeta")) << Visible(errores);
    EXPECT_EQ(Corre({"--deshacer", Carpeta(), linea}), 2);
    EXPECT_EQ(Corre({"--desconocida", linea}), 2);
    EXPECT_EQ(Corre({"--controlar-puntos", QString(linea).replace("@Password=admin;", "@Password=otra;")}), 2);
    EXPECT_TRUE(errores.contains("Usuario o clave incorrectos")) << Visible(errores);
    EXPECT_EQ(Corre({"--controlar-puntos", QString(linea).replace("DEMO", "NOHAY")}), 2);
    EXPECT_TRUE(errores.contains("No se pudo conectar")) << Visible(errores);
    EXPECT_TRUE(salida.isEmpty());
    // With --json the document still comes, saying why.
    EXPECT_EQ(Corre({"--controlar-puntos", "--json", QString(linea).replace("DEMO", "NOHAY")}), 2);
    const QJsonObject doc = QJsonDocument::fromJson(salida.toUtf8()).object();
    EXPECT_EQ(doc.value("salida").toInt(), 2);
    EXPECT_EQ(doc.value("error").toString(), "No se pudo abrir la sesión");
}

TEST_F(Lote, VistaPreviaNoEnviaNada) {
    const QStringList c = Codigos();
    const QString antes = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS");
    const QString pares = Pares(c[0] + ",NUEVO-0\r\n" + c[2] + ",NUEVO-2\r\nZZZ-NO,X\r\n" + c[1] + "," + c[0] + "\r\n");
    EXPECT_EQ(Corre({"--archivo", pares, "--vista-previa", "--permite-existentes", "--html", Ruta("t.htm"), linea}),
              0)
        << Visible(errores);
    EXPECT_TRUE(salida.contains("OMITIDO ZZZ-NO: código inexistente\n"));
    EXPECT_TRUE(salida.contains("-- " + c[0] + " -> NUEVO-0 (copia)\r\n BEGIN TRANSACTION \r\n ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL "))
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
    // Size variants fold into their article's new code, so no more rows than
    // loaded; their own rows then find them gone.
    EXPECT_TRUE(out.contains("con error: 0, omitidos: ")) << Visible(out);
    EXPECT_TRUE(out.contains("|G: ya no existe en el maestro de artículos")) << Visible(out);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'"), "0");
    // The articles took the new rubro: their undo would not give the old one back.
    EXPECT_TRUE(out.contains("(el rubro del artículo era ")) << Visible(out);
    EXPECT_FALSE(out.contains("Deshacer: ")) << Visible(out);
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

    // Refused without --permite-existentes: nothing changes, and a run that
    // did nothing says so.
    EXPECT_EQ(Corre({"--archivo", pares, linea}), 1) << Visible(errores);
    EXPECT_TRUE(salida.contains("OMITIDO " + viejo + ": código nuevo rechazado")) << Visible(salida);
    EXPECT_TRUE(errores.contains("Ninguna fila de la lista se pudo recodificar")) << Visible(errores);
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
    EXPECT_TRUE(salida.contains("con error: 0, omitidos: ")) << Visible(salida);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + prefijo + "%'"), "0");
    EXPECT_GT(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'").toInt(), 0);
    EXPECT_LE(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'").toInt(),
              cuantos.toInt());
    // Every rubro as it was: none became the prefix.
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IDRUBRO LIKE 'LARG%'"), "0");
    EXPECT_EQ(Valor("SELECT COUNT(DISTINCT IDRUBRO) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'LARGO" + prefijo + "%'"),
              rubros);
}

TEST_F(Lote, IntercambioRechazadoYCorridoPorLaPropuesta) {
    const QStringList c = Codigos();
    const QString a = c[0], b = c[1];
    const QString descA = Descripcion(a), descB = Descripcion(b);
    const int stockA = Stock(a), stockB = Stock(b);
    ASSERT_NE(descA, descB);
    const QString pares = Pares(a + "," + b + "\r\n" + b + "," + a + "\r\n");

    // Refused with any option: nothing changes.
    for (const QStringList& extra : {QStringList{}, QStringList{"--forzar", "--orden-seguro"}}) {
        EXPECT_EQ(Corre(QStringList{"--archivo", pares, "--permite-existentes"} + extra + QStringList{linea}),
                  2);
        EXPECT_TRUE(
            salida.contains("RECHAZO Ciclo (filas 1,2): " + a + " → " + b + "; " + b + " → " + a + ": "))
            << Visible(salida);
        EXPECT_TRUE(salida.contains("Use un código temporal libre: ")) << Visible(salida);
        EXPECT_TRUE(errores.contains("rechaza la corrida")) << Visible(errores);
        EXPECT_FALSE(salida.contains("Procesados"));
    }
    EXPECT_EQ(Descripcion(a), descA);
    EXPECT_EQ(Descripcion(b), descB);
    EXPECT_EQ(Stock(a), stockA);
    EXPECT_EQ(Stock(b), stockB);
    EXPECT_TRUE(QDir(Carpeta()).entryList({"Deshacer-*"}).isEmpty());

    // The proposal, through a free temporary code.
    EXPECT_EQ(Corre({"--archivo", pares, "--permite-existentes", "--json", linea}), 2);
    const QJsonObject doc = Documento();
    EXPECT_EQ(doc["revision"]["rechazos"].toInt(), 1);
    const QJsonObject ciclo = doc["revision"]["hallazgos"][0].toObject();
    EXPECT_EQ(ciclo["tipo"].toString(), "Ciclo");
    const QJsonArray propuesta = ciclo["propuesta"].toArray();
    ASSERT_EQ(propuesta.size(), 3);
    const QString temporal = propuesta[0]["nuevo"].toString();
    EXPECT_EQ(propuesta[0]["viejo"].toString(), a);
    EXPECT_EQ(Maestro(temporal), 0);
    EXPECT_EQ(propuesta[1]["viejo"].toString(), b);
    EXPECT_EQ(propuesta[1]["nuevo"].toString(), a);
    EXPECT_EQ(propuesta[2]["viejo"].toString(), temporal);
    EXPECT_EQ(propuesta[2]["nuevo"].toString(), b);
    QString texto;  // "viejo,nuevo" lines
    for (const QJsonValue& p : propuesta)
        texto += p["viejo"].toString() + "," + p["nuevo"].toString() + "\r\n";

    // The import takes only old codes that are articles: the temporary code's pair goes in a second list.
    EXPECT_EQ(
        Corre({"--archivo", Pares(texto.section("\r\n", 0, 1) + "\r\n"), "--permite-existentes", linea}), 0)
        << Visible(errores);
    EXPECT_TRUE(
        salida.contains("OK " + a + " -> " + temporal + " (copia)\nOK " + b + " -> " + a + " (copia)\n"))
        << Visible(salida);
    EXPECT_EQ(Corre({"--archivo", Pares(texto.section("\r\n", 2)), linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("OK " + temporal + " -> " + b + " (copia)\n")) << Visible(salida);
    EXPECT_EQ(Descripcion(a), descB);
    EXPECT_EQ(Descripcion(b), descA);
    EXPECT_EQ(Stock(a), stockB);
    EXPECT_EQ(Stock(b), stockA);
    EXPECT_EQ(Maestro(temporal), 0);
    EXPECT_EQ(Stock(temporal), 0);
}

TEST_F(Lote, CadenaEnOrdenInseguro) {
    const QStringList p = Planos("IdArticulo IN (SELECT IDARTICULO FROM V_MV_STOCK)");
    ASSERT_GE(p.size(), 4);
    struct Caso {
        QString a, b, c;
        int stockA, stockB;
        QString descA, descB;
    };
    auto caso = [&](const QString& a, const QString& b, const QString& c) {
        return Caso{a, b, c, Stock(a), Stock(b), Descripcion(a), Descripcion(b)};
    };
    const Caso s = caso(p[0], p[1], "CADENA-C1");
    const Caso f = caso(p[2], p[3], "CADENA-C2");
    auto lista = [&](const Caso& k) { return Pares(k.a + "," + k.b + "\r\n" + k.b + "," + k.c + "\r\n"); };
    auto intacto = [&](const Caso& k) {
        EXPECT_EQ(Descripcion(k.a), k.descA);
        EXPECT_EQ(Descripcion(k.b), k.descB);
        EXPECT_EQ(Stock(k.a), k.stockA);
        EXPECT_EQ(Stock(k.b), k.stockB);
        EXPECT_EQ(Maestro(k.c), 0);
    };

    // Warned about and stopped: nothing changes; the preview says so too.
    EXPECT_EQ(Corre({"--archivo", lista(s), "--permite-existentes", linea}), 2);
    EXPECT_TRUE(salida.contains("AVISO Cadena (filas 1,2): ")) << Visible(salida);
    EXPECT_TRUE(errores.contains("--orden-seguro")) << Visible(errores);
    EXPECT_EQ(Corre({"--archivo", lista(s), "--permite-existentes", "--vista-previa", linea}), 2);
    EXPECT_TRUE(errores.contains("--orden-seguro")) << Visible(errores);
    intacto(s);

    // The preview shows the reordered list.
    EXPECT_EQ(Corre({"--archivo", lista(s), "--permite-existentes", "--orden-seguro", "--vista-previa",
                     "--json", linea}),
              0)
        << Visible(errores);
    const QJsonObject doc = Documento();
    EXPECT_TRUE(doc["revision"]["reordenada"].toBool());
    EXPECT_EQ(doc["revision"]["rechazos"].toInt(), 0);
    ASSERT_EQ(doc["pares"].toArray().size(), 2);
    EXPECT_EQ(doc["pares"][0]["viejo"].toString(), s.b);
    EXPECT_EQ(doc["pares"][0]["plan"].toString(), "copia");
    EXPECT_EQ(doc["pares"][1]["viejo"].toString(), s.a);
    EXPECT_EQ(doc["pares"][1]["plan"].toString(), "copia");
    intacto(s);

    // Reordered: each article at its own new code.
    EXPECT_EQ(Corre({"--archivo", lista(s), "--permite-existentes", "--orden-seguro", linea}), 0)
        << Visible(errores);
    EXPECT_TRUE(salida.startsWith("Lista reordenada: las cadenas van en orden seguro\n")) << Visible(salida);
    EXPECT_TRUE(
        salida.contains("OK " + s.b + " -> " + s.c + " (copia)\nOK " + s.a + " -> " + s.b + " (copia)\n"))
        << Visible(salida);
    EXPECT_EQ(Maestro(s.a), 0);
    EXPECT_EQ(Descripcion(s.b), s.descA);
    EXPECT_EQ(Descripcion(s.c), s.descB);
    EXPECT_EQ(Stock(s.a), 0);
    EXPECT_EQ(Stock(s.b), s.stockA);
    EXPECT_EQ(Stock(s.c), s.stockB);

    // Forced: the list's order, the first article merged into the second and both carried to the end.
    intacto(f);
    EXPECT_EQ(Corre({"--archivo", lista(f), "--permite-existentes", "--forzar", linea}), 0)
        << Visible(errores);
    EXPECT_FALSE(salida.contains("Lista reordenada"));
    EXPECT_TRUE(
        salida.contains("OK " + f.a + " -> " + f.b + " (fusion)\nOK " + f.b + " -> " + f.c + " (copia)\n"))
        << Visible(salida);
    EXPECT_EQ(Maestro(f.a), 0);
    EXPECT_EQ(Maestro(f.b), 0);
    EXPECT_EQ(Descripcion(f.c), f.descB);
    EXPECT_EQ(Stock(f.a), 0);
    EXPECT_EQ(Stock(f.b), 0);
    EXPECT_EQ(Stock(f.c), f.stockA + f.stockB);
}

TEST_F(Lote, VistaPreviaPorTablasIgualALaCorrida) {
    const QStringList conStock = Planos(
        "IdArticulo IN (SELECT IDARTICULO FROM V_MV_STOCK) AND IdArticulo IN (SELECT "
        "IDARTICULO FROM V_MA_Precios)");
    const QStringList sinEquiv = Planos("IdArticulo NOT IN (SELECT IDARTICULO FROM S_TA_EQUIV)");
    const QStringList insumo = Planos("IdArticulo IN (SELECT IDARTICULOINSUMO FROM V_MA_INSUMOS)");
    ASSERT_GE(conStock.size(), 2);
    ASSERT_FALSE(insumo.isEmpty());
    const QString a = conStock[0], b = insumo[0] == a ? insumo.value(1) : insumo[0];
    const QString d = conStock.last();
    QString e;
    for (const QString& x : sinEquiv)
        if (x != a && x != b && x != d) e = x;
    ASSERT_FALSE(b.isEmpty());
    ASSERT_FALSE(e.isEmpty());
    const QString pares = Pares(a + ",PREVIA-A\r\n" + b + ",PREVIA-B\r\n" + d + "," + e + "\r\n");

    const QString articulos = Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS");
    EXPECT_EQ(
        Corre({"--archivo", pares, "--vista-previa", "--resumen", "--json", "--permite-existentes", linea}),
        0)
        << Visible(errores);
    const QJsonObject doc = Documento();
    EXPECT_EQ(doc["modo"].toString(), "vista-previa");
    EXPECT_EQ(doc["salida"].toInt(), 0);
    const QJsonArray previstos = doc["pares"].toArray();
    ASSERT_EQ(previstos.size(), 3);
    const QStringList planes = {"copia", "copia", "fusion"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(previstos[i]["fila"].toInt(), i + 1);
        EXPECT_EQ(previstos[i]["plan"].toString(), planes[i]);
        EXPECT_EQ(previstos[i]["resultado"].toString(), "previsto");
    }
    EXPECT_FALSE(doc["totales"].toArray().isEmpty());
    // Nothing written.
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS"), articulos);
    EXPECT_EQ(Maestro("PREVIA-A"), 0);
    EXPECT_EQ(Maestro(d), 1);
    EXPECT_TRUE(QDir(Carpeta()).entryList({"Deshacer-*"}).isEmpty());

    // Every count is the old code's rows in that column now; the new codes gain the moved rows.
    auto filas = [&](const QString& tabla, const QString& columna, const QString& codigo) {
        return Valor("SELECT COUNT(*) FROM " + tabla + " WHERE " + columna + " = '" + codigo + "'").toInt();
    };
    QMap<QString, int> antesNuevo, ganan;  // "new|table|column"
    for (const QJsonValue& p : previstos) {
        const QString viejo = p["viejo"].toString(), nuevo = p["nuevo"].toString();
        const QJsonArray tablas = p["tablas"].toArray();
        EXPECT_FALSE(tablas.isEmpty()) << viejo.toStdString();
        for (const QJsonValue& t : tablas) {
            const QString tabla = t["tabla"].toString(), columna = t["columna"].toString();
            EXPECT_EQ(t["filas"].toInteger(), filas(tabla, columna, viejo))
                << viejo.toStdString() << " " << tabla.toStdString() << "." << columna.toStdString();
            const QString clave = nuevo + "|" + tabla + "|" + columna;
            antesNuevo[clave] = filas(tabla, columna, nuevo);
            if (t["efecto"].toString() != "borra") ganan[clave] += t["filas"].toInt();
        }
    }
    EXPECT_TRUE(ganan.contains("PREVIA-A|V_MV_STOCK|IDARTICULO")) << Visible(salida);

    EXPECT_EQ(Corre({"--archivo", pares, "--permite-existentes", linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("correctos: 3, con error: 0")) << Visible(salida);
    for (const QJsonValue& p : previstos)
        for (const QJsonValue& t : p["tablas"].toArray())
            EXPECT_EQ(filas(t["tabla"].toString(), t["columna"].toString(), p["viejo"].toString()), 0);
    for (auto it = ganan.cbegin(); it != ganan.cend(); ++it) {
        const QStringList k = it.key().split('|');
        EXPECT_EQ(filas(k[1], k[2], k[0]), antesNuevo[it.key()] + it.value()) << it.key().toStdString();
    }
}

TEST_F(Lote, DocumentoJsonDeUnaCorrida) {
    const QStringList p = Planos("IdArticulo IN (SELECT IDARTICULO FROM V_MV_STOCK)");
    ASSERT_GE(p.size(), 2);
    const QString largo(30, 'L');
    const QString pares = Pares(p[0] + ",JSON-0\r\n" + p[1] + "," + largo + "\r\nZZZ-NO,X\r\n");
    const int stock = Stock(p[0]);
    EXPECT_EQ(Corre({"--archivo", pares, "--forzar", "--json", linea}), 1) << Visible(errores);
    // Standard output holds the document alone.
    EXPECT_TRUE(salida.startsWith("{")) << Visible(salida);
    EXPECT_TRUE(salida.trimmed().endsWith("}")) << Visible(salida);
    const QJsonObject doc = Documento();
    EXPECT_EQ(doc["modo"].toString(), "corrida");
    EXPECT_EQ(doc["salida"].toInt(), 1);
    ASSERT_EQ(doc["omitidos"].toArray().size(), 1);
    EXPECT_EQ(doc["omitidos"][0]["codigo"].toString(), "ZZZ-NO");
    EXPECT_EQ(doc["omitidos"][0]["motivo"].toString(), "código inexistente");
    EXPECT_EQ(doc["revision"]["rechazos"].toInt(), 0);
    EXPECT_GE(doc["revision"]["avisos"].toInt(), 1);
    const QJsonObject hallazgo = doc["revision"]["hallazgos"][0].toObject();
    EXPECT_EQ(hallazgo["tipo"].toString(), "Largo");
    EXPECT_EQ(hallazgo["gravedad"].toString(), "Aviso");
    EXPECT_EQ(hallazgo["filas"].toArray(), QJsonArray{2});

    const QJsonArray pr = doc["pares"].toArray();
    ASSERT_EQ(pr.size(), 2);
    EXPECT_EQ(pr[0]["viejo"].toString(), p[0]);
    EXPECT_EQ(pr[0]["nuevo"].toString(), "JSON-0");
    EXPECT_EQ(pr[0]["plan"].toString(), "copia");
    EXPECT_EQ(pr[0]["resultado"].toString(), "ok");
    EXPECT_FALSE(pr[0].toObject().contains("error"));
    EXPECT_EQ(pr[1]["viejo"].toString(), p[1]);
    EXPECT_EQ(pr[1]["resultado"].toString(), "error");
    EXPECT_FALSE(pr[1]["error"].toString().isEmpty());

    const QJsonObject r = doc["resumen"].toObject();
    EXPECT_EQ(r["procesados"].toInt(), 2);
    EXPECT_EQ(r["correctos"].toInt(), 1);
    EXPECT_EQ(r["conError"].toInt(), 1);
    EXPECT_EQ(r["omitidos"].toInt(), 1);
    EXPECT_FALSE(r["detenida"].toBool());
    EXPECT_EQ(r["pendientes"].toInt(), 0);
    EXPECT_FALSE(r.contains("senal"));
    EXPECT_TRUE(QFile::exists(r["logErrores"].toString()));
    const QString deshacer = r["deshacer"].toString();
    ASSERT_TRUE(QFile::exists(deshacer)) << deshacer.toStdString();
    EXPECT_EQ(ArchivoTexto::Lee(deshacer).value_or(""), "JSON-0," + p[0] + "\r\n");
    EXPECT_EQ(Stock("JSON-0"), stock);

    // The undo list through the tool puts the copy back.
    EXPECT_EQ(Corre({"--archivo", deshacer, "--json", linea}), 0) << Visible(errores);
    EXPECT_EQ(Documento().value("resumen")["correctos"].toInt(), 1);
    EXPECT_EQ(Maestro("JSON-0"), 0);
    EXPECT_EQ(Maestro(p[0]), 1);
    EXPECT_EQ(Stock(p[0]), stock);
}

TEST_F(Lote, SenalDetieneEntreCodigos) {
    const QStringList p = Planos();
    ASSERT_GE(p.size(), 150);
    for (const int senal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(senal);
        // Half the codes per signal, onto new codes.
        const QStringList viejos = senal == SIGTERM ? p.mid(0, p.size() / 2) : p.mid(p.size() / 2);
        QMap<QString, int> stock;
        QString texto;
        for (int i = 0; i < viejos.size(); ++i) {
            stock[viejos[i]] = Stock(viejos[i]);
            texto += viejos[i] + ",SIG" + QString::number(senal) + "-" + QString::number(i) + "\r\n";
        }
        const QString lista = Pares(texto);
        QProcess proc;
        proc.start(CarpetaBinarios() + "/quenvar-lote",
                   {"--carpeta", Carpeta(), "--archivo", lista, "--forzar", linea});
        ASSERT_TRUE(proc.waitForStarted(10000));
        QString out;
        // A few codes done, the signal in the middle of the list.
        while (("\n" + out).count("\nOK ") < 3 && proc.state() == QProcess::Running)
            if (proc.waitForReadyRead(30000)) out += QString::fromUtf8(proc.readAllStandardOutput());
        ASSERT_EQ(::kill(static_cast<pid_t>(proc.processId()), senal), 0);
        ASSERT_TRUE(proc.waitForFinished(60000));
        out += QString::fromUtf8(proc.readAllStandardOutput());
        EXPECT_EQ(proc.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(proc.exitCode(), 128 + senal)
            << Visible(out) << Visible(QString::fromUtf8(proc.readAllStandardError()));

        QSet<QString> hechos;
        for (const QString& l : out.split('\n'))
            if (l.startsWith("OK ")) hechos << l.mid(3).section(" -> ", 0, 0);
        const int pendientes = static_cast<int>(viejos.size() - hechos.size());
        EXPECT_GT(pendientes, 0) << "la corrida terminó antes de la señal";
        EXPECT_TRUE(out.contains("Procesados: " + QString::number(hechos.size()) +
                                 ", correctos: " + QString::number(hechos.size()) + ", con error: 0"))
            << Visible(out);
        EXPECT_TRUE(out.contains("Detenida por la señal " + QString::number(senal) + ": " +
                                 QString::number(pendientes) + " filas sin procesar\n"))
            << Visible(out);
        // Every code either wholly at its new code or untouched, and the done ones are the first rows;
        // the undo list holds the done ones, last first.
        QString deshacer;
        for (int i = 0; i < viejos.size(); ++i) {
            const QString nuevo = "SIG" + QString::number(senal) + "-" + QString::number(i);
            const bool hecho = hechos.contains(viejos[i]);
            if (hecho) deshacer.prepend(nuevo + "," + viejos[i] + "\r\n");
            EXPECT_EQ(hecho, i < hechos.size()) << viejos[i].toStdString();
            EXPECT_EQ(Maestro(viejos[i]), hecho ? 0 : 1) << viejos[i].toStdString();
            EXPECT_EQ(Maestro(nuevo), hecho ? 1 : 0) << nuevo.toStdString();
            EXPECT_EQ(Stock(viejos[i]), hecho ? 0 : stock[viejos[i]]) << viejos[i].toStdString();
            EXPECT_EQ(Stock(nuevo), hecho ? stock[viejos[i]] : 0) << nuevo.toStdString();
        }
        EXPECT_EQ(ArchivoTexto::Lee(out.section("Deshacer: ", 1).section('\n', 0, 0)).value_or(""), deshacer);
    }
}

TEST_F(Lote, DeshacerDevuelveCadaReferencia) {
    const QStringList insumos = Planos(
        "IdArticulo IN (SELECT IDARTICULO FROM V_MA_INSUMOS) AND IdArticulo IN (SELECT "
        "IDARTICULO FROM V_MV_STOCK)");
    const QStringList equiv = Planos(
        "IdArticulo IN (SELECT IDARTICULOINSUMO FROM V_MA_INSUMOS) AND IdArticulo IN "
        "(SELECT IDARTICULO FROM S_TA_EQUIV)");
    const QStringList mayusculas =
        Planos("IdArticulo LIKE '%-%' AND IdArticulo IN (SELECT IDARTICULO FROM V_MV_STOCK)");
    const QStringList estadisticas = Planos("IdArticulo IN (SELECT IDARTICULO FROM AC_VENTASMES)");
    ASSERT_FALSE(insumos.isEmpty());
    ASSERT_FALSE(equiv.isEmpty());
    ASSERT_FALSE(mayusculas.isEmpty());
    ASSERT_GE(estadisticas.size(), 2);
    const QString a = insumos[0];
    const QString b = equiv[0] == a ? equiv.value(1) : equiv[0];
    const QString c = mayusculas[0];
    const QString cMinusculas = c.toLower();
    ASSERT_NE(c, cMinusculas);
    QStringList otros;
    for (const QString& x : estadisticas)
        if (x != a && x != b && x != c) otros << x;
    ASSERT_FALSE(b.isEmpty());
    ASSERT_GE(otros.size(), 2);
    const QString d = otros[0], e = otros[1];

    QMap<QString, QMap<QString, int>> antes;
    for (const QString& x : {a, b, c, d, e, QString("DESH-A"), QString("DESH-B")}) antes[x] = Referencias(x);
    EXPECT_GT(antes[a]["V_MA_INSUMOS.IDARTICULO"], 0);
    EXPECT_GT(antes[b]["V_MA_INSUMOS.IDARTICULOINSUMO"], 0);
    EXPECT_GT(antes[b]["S_TA_EQUIV.IDARTICULO"], 0);

    const QString pares =
        Pares(a + ",DESH-A\r\n" + c + "," + cMinusculas + "\r\n" + d + "," + e + "\r\n" + b + ",DESH-B\r\n");
    EXPECT_EQ(Corre({"--archivo", pares, "--permite-existentes", linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("OK " + c + " -> " + cMinusculas + " (en sitio)\n")) << Visible(salida);
    EXPECT_TRUE(salida.contains("OK " + d + " -> " + e + " (fusion)\n")) << Visible(salida);
    EXPECT_EQ(Valor("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c + "'").trimmed(),
              cMinusculas);
    EXPECT_TRUE(salida.contains("NO REVERSIBLE " + d + " → " + e + " (fusión)\n")) << Visible(salida);
    const QString deshacer = salida.section("Deshacer: ", 1).section('\n', 0, 0);
    EXPECT_EQ(ArchivoTexto::Lee(deshacer).value_or(""),
              "DESH-B," + b + "\r\n" + cMinusculas + "," + c + "\r\nDESH-A," + a + "\r\n");

    // As written: the case change and the chain need no --permite-existentes.
    EXPECT_EQ(Corre({"--deshacer", deshacer, linea}), 0) << Visible(errores);
    EXPECT_TRUE(salida.contains("correctos: 3, con error: 0")) << Visible(salida);
    for (const QString& x : {a, b, c, QString("DESH-A"), QString("DESH-B")})
        EXPECT_EQ(Referencias(x), antes[x]) << x.toStdString();
    EXPECT_EQ(Valor("SELECT IdArticulo FROM V_MA_ARTICULOS WHERE IdArticulo = '" + c + "'").trimmed(), c);
    for (const QString& x : Lista("SELECT IDARTICULO FROM V_MV_STOCK WHERE IDARTICULO = '" + c + "'"))
        EXPECT_EQ(x.trimmed(), c);
    // The merge stays.
    EXPECT_EQ(Maestro(d), 0);

    // An undo list never merges: a new code that is another article is an error.
    const auto antesA = Referencias(a);
    EXPECT_EQ(Corre({"--deshacer", Pares(a + "," + b + "\r\n"), linea}), 1) << Visible(salida);
    EXPECT_TRUE(salida.contains("ERROR " + a + ": El código nuevo ya es otro artículo")) << Visible(salida);
    EXPECT_EQ(Referencias(a), antesA);
    EXPECT_EQ(Maestro(b), 1);
}

TEST_F(Lote, SalidaQueDiceLoQuePaso) {
    const QStringList p = Planos();
    ASSERT_GE(p.size(), 3);
    // No line holds the delimiter: nothing processed, and why.
    EXPECT_EQ(Corre({"--archivo", Pares(p[0] + ";PC-0\r\n" + p[1] + ";PC-1\r\n"), linea}), 1);
    EXPECT_TRUE(errores.contains("Ninguna línea del archivo contiene el delimitador \",\"")) << Visible(errores);
    EXPECT_EQ(Maestro("PC-0"), 0);

    // Control characters: the row is omitted, never a master code.
    EXPECT_EQ(Corre({"--archivo", Pares(p[0] + ",B" + QChar(1) + " 4\r\n" + p[1] + ",BIEN-1\r\n"), linea}), 0)
        << Visible(errores);
    EXPECT_TRUE(salida.contains("OMITIDO " + p[0] + ": código con caracteres de control\n")) << Visible(salida);
    EXPECT_TRUE(salida.contains("OK " + p[1] + " -> BIEN-1 (copia)")) << Visible(salida);
    EXPECT_EQ(Maestro(p[0]), 1);
    EXPECT_EQ(Valor("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE 'B%' AND CHARINDEX(CHAR(1), IdArticulo) > 0"), "0");

    // A size variant listed after its article's pair: that pair took it along,
    // so its own row finds it gone and is omitted, not OK.
    const QString articulo = Codigos()[2];
    const QString talle =
        Valor("SELECT MIN(IdArticulo) FROM V_MA_ARTICULOS WHERE IdArticulo LIKE '" + articulo + "|%'").trimmed();
    ASSERT_FALSE(talle.isEmpty());
    EXPECT_EQ(Corre({"--archivo", Pares(articulo + ",TAL-N\r\n" + talle + ",TAL-V\r\n"), "--json", linea}), 0)
        << Visible(errores);
    const QJsonObject doc = Documento();
    const QJsonArray pares = doc["pares"].toArray();
    ASSERT_GE(pares.size(), 2);
    EXPECT_EQ(pares.last()["viejo"].toString(), talle);
    EXPECT_EQ(pares.last()["resultado"].toString(), "omitido");
    EXPECT_TRUE(pares.last()["motivo"].toString().startsWith("ya no existe"));
    EXPECT_EQ(doc["resumen"]["omitidos"].toInt(), 1);
    EXPECT_FALSE(ArchivoTexto::Lee(doc["resumen"]["deshacer"].toString()).value_or("").contains("TAL-V"));
    EXPECT_EQ(Maestro("TAL-V"), 0);
    EXPECT_EQ(Maestro(talle), 0);
}

TEST_F(Lote, DeshacerDeOtraCorridaDelMismoSegundoSeConserva) {
    const QStringList p = Planos();
    ASSERT_FALSE(p.isEmpty());
    // Lists of earlier runs for this second and the next ones.
    const QDateTime ahora = QDateTime::currentDateTime();
    QStringList previos;
    for (int s = 0; s < 10; ++s) {
        previos << Ruta("Deshacer-" + ahora.addSecs(s).toString("yyyyMMdd-HHmmss") + ".txt");
        ArchivoTexto::Escribe(previos.last(), "PREVIO,ANTERIOR\r\n");
    }
    EXPECT_EQ(Corre({"--archivo", Pares(p[0] + ",MISMO-SEG\r\n"), linea}), 0) << Visible(errores);
    const QString deshacer = salida.section("Deshacer: ", 1).section('\n', 0, 0);
    EXPECT_FALSE(previos.contains(deshacer)) << Visible(deshacer);
    EXPECT_TRUE(deshacer.endsWith("-2.txt")) << Visible(deshacer);
    EXPECT_EQ(ArchivoTexto::Lee(deshacer).value_or(""), "MISMO-SEG," + p[0] + "\r\n");
    for (const QString& f : previos) EXPECT_EQ(ArchivoTexto::Lee(f).value_or(""), "PREVIO,ANTERIOR\r\n");
}
