// The view-script runner on the embedded database.

#include <QDir>

#include "platform/ArchivoTexto.h"
#include "recoding/Corrida.h"
#include "recoding/VerVistas.h"
#include "tests/recoding/PruebaRecodifica.h"

using namespace VerVistasDetalle;

TEST(VerVistasLotes, SeCortanEnLasLineasGO) {
    OperadorDePrueba op;
    EXPECT_EQ(Lotes("select 1\nselect 2"), QStringList{"select 1\r\nselect 2\r\n"});
    EXPECT_EQ(Lotes("a\r\n  go  \r\nb\r\nGO\r\n"), (QStringList{"a\r\n", "b\r\n", ""}));
    EXPECT_EQ(Lotes("a\r\ngo;\r\nGOTO"), QStringList{"a\r\ngo;\r\nGOTO\r\n"});
    EXPECT_EQ(Lotes(""), QStringList{""});
}

TEST(VerVistasLotes, MacrosSinImportarMayusculas) {
    const QDateTime t(QDate(2024, 2, 29), QTime(8, 5, 3));
    // The short date, as the run log's name takes it.
    EXPECT_EQ(ReemplazaMacros("'<date>' '<DATE>' '<Now>'", t), "'29/02/24' '29/02/24' '29/02/24 08:05:03'");
    EXPECT_EQ(ReemplazaMacros("<DATE+YEAR>|<date-year>", t), "28/02/25|28/02/23");
    EXPECT_TRUE(RutaLogRecodificacion().endsWith(
        "ErrCod" + ReemplazaMacros("<DATE>", QDateTime::currentDateTime()).left(2) + ".txt"));
    qputenv("TEMP", "/tmp/x ");
    EXPECT_EQ(NombreLog(t), "/tmp/x/Script853.TXT");
    qunsetenv("TEMP");
}

class VerVistasTest : public PruebaRecodifica {
  protected:
    void SetUp() override {
        PruebaRecodifica::SetUp();
        qputenv("TEMP", Carpeta().toLocal8Bit());
        Cn().Execute("CREATE TABLE CICLOS (n int)");
        Cn().Execute("CREATE TABLE BORRAME (n int)");
        Cn().Execute("CREATE TABLE FECHAS (f varchar(30))");
    }
    void TearDown() override {
        qunsetenv("TEMP");
        PruebaRecodifica::TearDown();
    }
    Conexion& Cn() { return gDB().Cnn(); }
    int Cuenta(const QString& sql) {
        RecordsetPtr rs = Cn().Execute(sql);
        return rs->Fields(0).Value().toInt();
    }
    // The contents of the run's log files.
    QString Logs() {
        QString r;
        for (const QString& f : QDir(Carpeta()).entryList({"Script*.TXT"}, QDir::Files))
            r += ArchivoTexto::Lee(QDir(Carpeta()).filePath(f)).value_or(QString());
        return r;
    }
    QString Guion(const QString& texto) { return Escribe("guion.sql", ArchivoTexto::Codifica(texto)); }
};

TEST_F(VerVistasTest, VistaSobreOtraDefinidaMasAbajoSeCreaEnElSegundoCiclo) {
    VerVistas(
        Guion("drop table BORRAME\r\nGO\r\n"
              "create view V_UNO as select IdArticulo from V_DOS\r\nGO\r\n"
              "create view V_DOS as select IdArticulo, Descripcion from V_MA_ARTICULOS\r\nGO\r\n"
              "insert into CICLOS values (1)\r\ngo\r\n"));
    EXPECT_EQ(Cuenta("select count(*) from V_UNO"), static_cast<int>(Articulos().size()));
    EXPECT_EQ(Cuenta("select count(*) from CICLOS"), 2);  // two cycles
    // The drop ran once: a second time it would have failed and been logged.
    EXPECT_EQ(Logs(), "");
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(VerVistasTest, UnObjetoQueSiempreFaltaParaEnVeinteCiclos) {
    VerVistas(Guion("insert into CICLOS values (1)\r\nGO\r\nselect * from NO_EXISTE"));
    EXPECT_EQ(Cuenta("select count(*) from CICLOS"), kCiclosMaximos);
    EXPECT_EQ(Logs(), "");
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(VerVistasTest, LosDemasErroresVanAlLogYSeAvisa) {
    op.Responde(vbOK);
    VerVistas(Guion("selec mal\r\nGO\r\ninsert into FECHAS values ('<date>')\r\n"));
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    const Aviso& a = op.Transcripcion()[0];
    EXPECT_TRUE(a.texto.startsWith("Se detectaron errores, consulte el archivo " + Carpeta() + "/Script"))
        << a.texto.toStdString();
    EXPECT_EQ(a.botones, vbOKOnly);
    EXPECT_EQ(a.titulo, "");
    const QString estrellas(112, '*');
    const QStringList lineas = Logs().split("\r\n");
    ASSERT_GE(lineas.size(), 6);
    EXPECT_EQ(lineas[0], estrellas);
    EXPECT_TRUE(lineas[1].contains(" - ")) << lineas[1].toStdString();
    EXPECT_TRUE(lineas[1].contains("  Error 102 ")) << lineas[1].toStdString();
    EXPECT_EQ(lineas[2], estrellas);
    EXPECT_EQ(lineas[3], "selec mal");
    EXPECT_EQ(lineas[4], "");
    EXPECT_EQ(lineas[5], estrellas);
    // The next batch ran with today's date in it.
    RecordsetPtr rs = Cn().Execute("select f from FECHAS");
    EXPECT_EQ(rs->Fields(0).Value().toString(), QDate::currentDate().toString("dd/MM/yy"));
}

TEST_F(VerVistasTest, SinArchivoNadaYArchivoIlegibleAlDialogo) {
    VerVistas(QString());
    EXPECT_TRUE(op.Transcripcion().empty());
    op.Responde(vbAbort);
    VerVistas(Ruta("no-existe.sql"));
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_TRUE(op.Transcripcion()[0].texto.contains("Ejecutar"));
}
