// quenvar-sql and quenvar-demo run as processes.

#include <QProcess>
#include <QProcessEnvironment>

#include "db/esquema/GeneradorDemo.h"
#include "tests/support/Soporte.h"

namespace {

struct Salida {
    int estado = -1;
    QString out, err;
};

QString Programa(const QString& nombre) {
    return CarpetaBinarios() + "/" + nombre;
}

Salida Corre(const QString& programa, const QStringList& args, const QString& entrada = {}) {
    QProcess p;
    p.start(Programa(programa), args);
    EXPECT_TRUE(p.waitForStarted(10000)) << programa.toStdString();
    p.write(entrada.toUtf8());
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(120000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class QuenvarSqlTest : public PruebaConCarpeta {
  protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        GeneradorDemo::CreaBaseVacia("SQL");
    }
    Salida Sql(const QString& entrada, const QString& conexion = GeneradorDemo::CadenaConexion("SQL")) {
        return Corre("quenvar-sql", {"--carpeta", Carpeta(), conexion}, entrada);
    }
};

TEST_F(QuenvarSqlTest, ImprimeCadaResultadoSeparadoPorTabuladores) {
    const Salida s =
        Sql("CREATE TABLE T (a int, b varchar(10) NULL)\n"
            "GO\n"
            "INSERT INTO T VALUES (1, 'uno')\n"
            "INSERT INTO T VALUES (2, NULL)\n"
            "  go  \r\n"
            "SELECT a, b AS Nombre FROM T ORDER BY a\n"
            "\tGO\n"
            "SELECT 'GO' AS g FROM T WHERE a = 1\n"
            "GO\nGO\n");
    EXPECT_EQ(s.estado, 0) << s.err.toStdString();
    EXPECT_EQ(s.out, "a\tNombre\n1\tuno\n2\tNULL\ng\nGO\n") << Visible(s.out);
}

TEST_F(QuenvarSqlTest, LosErroresSeImprimenYElRestoSigue) {
    const Salida s =
        Sql("SELECT * FROM NoExiste\n"
            "GO\n"
            "SELECT 1 AS x\n"
            "GO\n"
            "SELECT 'sin cerrar\n");
    EXPECT_EQ(s.estado, 1);
    const QStringList lineas = s.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lineas.size(), 4) << Visible(s.out);
    EXPECT_TRUE(lineas[0].startsWith("ERROR 208 ")) << Visible(lineas[0]);
    EXPECT_TRUE(lineas[0].contains(": ") && lineas[0].contains("NoExiste")) << Visible(lineas[0]);
    EXPECT_EQ(lineas[1], "x");
    EXPECT_EQ(lineas[2], "1");
    // The batch that does not compile reports 105 (and may add 102).
    EXPECT_TRUE(lineas[3].startsWith("ERROR 105 ")) << Visible(s.out);
    for (int i = 3; i < lineas.size(); ++i) EXPECT_TRUE(lineas[i].startsWith("ERROR ")) << Visible(lineas[i]);
}

TEST_F(QuenvarSqlTest, SinConexionTerminaConDos) {
    Salida s = Sql("SELECT 1\n", GeneradorDemo::LineaComandos("NOEXISTE", "ADMIN", "x"));
    EXPECT_EQ(s.estado, 2);
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_FALSE(s.err.isEmpty());
    s = Corre("quenvar-sql", {"--carpeta", Carpeta()});
    EXPECT_EQ(s.estado, 2);
}

TEST_F(QuenvarSqlTest, LaDemoSeAbreConLaLineaQueImprime) {
    const Salida demo =
        Corre("quenvar-demo", {"--carpeta", Carpeta(), "--articulos", "150", "--semilla", "5"});
    ASSERT_EQ(demo.estado, 0) << demo.err.toStdString();
    const QString linea = demo.out.split('\n', Qt::SkipEmptyParts).last();
    EXPECT_TRUE(linea.startsWith("@server=(embebido);@dbname=DEMO;")) << linea.toStdString();

    Salida s =
        Sql("SELECT COUNT(*) AS Articulos FROM V_MA_ARTICULOS\nGO\n"
            "SELECT COUNT(*) AS Valores FROM TA_CONFIGURACION WHERE CLAVE = 'TimeOut'\n",
            linea);
    EXPECT_EQ(s.estado, 0) << s.out.toStdString() << s.err.toStdString();
    EXPECT_EQ(s.out, "Articulos\n150\nValores\n0\n");
    s = Sql("SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'TimeOut'\n",
            "@server=(embebido);@dbname=KV_ESTADISTICAS;@usuario=ADMIN;@Password=x;");
    EXPECT_EQ(s.out, "VALOR\n90\n");

    EXPECT_EQ(Corre("quenvar-demo", {"--carpeta", Carpeta(), "--articulos", "muchos"}).estado, 2);
}

}  // namespace
