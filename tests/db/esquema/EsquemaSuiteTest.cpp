// The suite's schema on a fresh embedded database: objects, keys, widths,
// triggers.

#include <QSet>

#include "db/esquema/EsquemaSuite.h"
#include "db/esquema/GeneradorDemo.h"
#include "db/platform/Ado.h"
#include "db/platform/Conexion.h"
#include "tests/support/Soporte.h"

namespace {

// Runs a batch; the error entries it left (the raised failure included).
std::vector<ErrorProveedor> Corre(Conexion& cn, const QString& sql) {
    try {
        cn.Execute(sql);
    } catch (const Fallo& f) {
        if (cn.Errors().Count() == 0) return {ErrorProveedor{f.Numero(), f.Descripcion(), {}, 0, {}}};
    }
    return cn.Errors().Todas();
}

QVariant Valor(Conexion& cn, const QString& sql) {
    RecordsetPtr rs = cn.Execute(sql);
    EXPECT_FALSE(rs->Eof()) << sql.toStdString();
    return rs->Eof() ? QVariant() : rs->Fields(0).Value();
}

bool TieneNativo(const std::vector<ErrorProveedor>& errores, int32_t nativo) {
    for (const auto& e : errores)
        if (e.NativeError == nativo) return true;
    return false;
}

class EsquemaSuiteTest : public PruebaConCarpeta {
  protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        GeneradorDemo::CreaBaseVacia("PRUEBA");
        cn.Open(GeneradorDemo::CadenaConexion("PRUEBA"));
        EsquemaSuite::CreaEsquemaPrincipal(cn);
    }
    QStringList Columnas(const QString& tabla) {
        QStringList r;
        RecordsetPtr rs = cn.OpenSchema(ado::adSchemaColumns, {QVariant(), QVariant(), tabla});
        for (; !rs->Eof(); rs->MoveNext()) r << rs->Value("COLUMN_NAME").toString();
        return r;
    }
    Conexion cn;
};

TEST_F(EsquemaSuiteTest, CreaTodasLasTablasYVistasDeAmbasBases) {
    QSet<QString> tablas, vistas;
    RecordsetPtr rs = cn.OpenSchema(ado::adSchemaTables);
    for (; !rs->Eof(); rs->MoveNext()) {
        const QString nombre = rs->Value("TABLE_NAME").toString().toUpper();
        (rs->Value("TABLE_TYPE").toString() == "VIEW" ? vistas : tablas).insert(nombre);
    }
    for (const QString& t : EsquemaSuite::TablasPrincipal())
        EXPECT_TRUE(tablas.contains(t.toUpper())) << t.toStdString();
    for (const QString& v : EsquemaSuite::VistasPrincipal())
        EXPECT_TRUE(vistas.contains(v.toUpper())) << v.toStdString();
    for (const char* v : {"VT_MA_ARTICULOS", "VT_CLIENTES", "VT_PROVEEDORES", "SS_MA_CUENTAS",
                          "SS_V_TA_DEPOSITO", "SS_MV_ASIENTOS", "SS_V_TA_FAMILIAS", "SS_V_TA_CAJAS",
                          "SS_AC_CUENTASDIARIO", "SS_AC_CUENTAS_DIARIO_CCOSTO"})
        EXPECT_TRUE(vistas.contains(v)) << v;
    // Every view compiles against its tables.
    for (const QString& v : EsquemaSuite::VistasPrincipal())
        EXPECT_TRUE(Corre(cn, "SELECT TOP 1 * FROM " + v).empty()) << v.toStdString();

    // The copy plan relies on IdArticulo first and on ID not being first.
    const QStringList columnas = Columnas("V_MA_ARTICULOS");
    ASSERT_FALSE(columnas.isEmpty());
    EXPECT_EQ(columnas.first(), "IdArticulo");
    EXPECT_GT(columnas.indexOf("ID"), 0);
    for (const char* c : {"Descripcion", "IDRUBRO", "TalleDefault", "CodigoBarra", "SUSPENDIDO"})
        EXPECT_TRUE(columnas.contains(c)) << c;

    Conexion kv;
    GeneradorDemo::CreaBaseVacia(EsquemaSuite::kBaseEstadisticas);
    kv.Open(GeneradorDemo::CadenaConexion(EsquemaSuite::kBaseEstadisticas));
    EsquemaSuite::CreaEsquemaEstadisticas(kv);
    EXPECT_TRUE(
        Corre(kv, "INSERT INTO TA_CONFIGURACION (CLAVE, GRUPO, VALOR) VALUES ('TIMEOUT','BaseDeDatos','90')")
            .empty());
    EXPECT_EQ(Valor(kv, "SELECT VALOR FROM TA_CONFIGURACION WHERE CLAVE = 'TimeOut'").toString(), "90");
}

TEST_F(EsquemaSuiteTest, UnaSolaFilaPorCodigoComoEnSqlServer) {
    ASSERT_TRUE(
        Corre(cn, "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES ('AB-1', 'UNO')").empty());
    // Another code that differs only in case or trailing blanks is the same code.
    for (const char* otro : {"AB-1", "ab-1", "AB-1   "}) {
        const auto e =
            Corre(cn, QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('%1')").arg(otro));
        EXPECT_TRUE(TieneNativo(e, 2627)) << otro;
    }
    // Leading blanks make another code.
    EXPECT_TRUE(Corre(cn, "INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('  AB-1')").empty());
    EXPECT_EQ(Valor(cn, "SELECT COUNT(*) FROM V_MA_ARTICULOS").toInt(), 2);
    // The engine numbers the rows.
    EXPECT_EQ(Valor(cn, "SELECT COUNT(DISTINCT ID) FROM V_MA_ARTICULOS WHERE ID IS NOT NULL").toInt(), 2);

    // One price per list and article.
    ASSERT_TRUE(
        Corre(cn, "INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) VALUES ('   1', 'AB-1', 10)")
            .empty());
    EXPECT_TRUE(TieneNativo(
        Corre(cn, "INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) VALUES ('   1', 'ab-1', 11)"),
        2627));
    EXPECT_TRUE(Corre(cn, "INSERT INTO V_MA_Precios (IdLista, IDARTICULO, Precio) VALUES ('   2', 'AB-1', 9)")
                    .empty());

    // Statistics, movements and equivalences take repeated codes: a merge
    // moves rows onto an article that has its own.
    for (const char* t : {"AC_VENTASDIARIA", "AC_COMPRASDIARIA"})
        for (int i = 0; i < 2; ++i)
            EXPECT_TRUE(Corre(cn, QStringLiteral("INSERT INTO %1 (Fecha, IDARTICULO, Cantidad) VALUES "
                                                 "('2024-01-02T00:00:00', 'AB-1', 1)")
                                      .arg(t))
                            .empty())
                << t;
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(
            Corre(cn, "INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('AB-1', 'X')").empty());
        EXPECT_TRUE(
            Corre(cn, "INSERT INTO V_MA_INSUMOS (IDARTICULO, IDARTICULOINSUMO) VALUES ('AB-1', '  AB-1')")
                .empty());
    }
}

TEST_F(EsquemaSuiteTest, LosCodigosTienenVeinticincoCaracteres) {
    const QString c25(25, 'X'), c26(26, 'X');
    EXPECT_TRUE(Corre(cn, "INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('" + c25 + "')").empty());
    EXPECT_TRUE(
        TieneNativo(Corre(cn, "INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('" + c26 + "')"), 8152));
    // The columns that refer to the article are as wide.
    ASSERT_TRUE(Corre(cn,
                      "INSERT INTO V_MV_STOCK (Fecha, TC, IdDeposito, IDARTICULO, Cantidad) "
                      "VALUES ('2024-01-02T00:00:00', 'FC', '   1', 'A', 1)\r\n"
                      "INSERT INTO AC_VENTASMES (Anio, Mes, IDARTICULO) VALUES (2024, 1, 'A')\r\n"
                      "INSERT INTO S_TA_EQUIV (IDARTICULO, Equivalencia) VALUES ('A', 'B')\r\n"
                      "INSERT INTO V_MA_Precios (IdLista, IDARTICULO) VALUES ('   1', 'A')\r\n"
                      "ALTER TABLE V_MV_STOCK DISABLE TRIGGER ALL")
                    .empty());
    for (const char* t : {"V_MV_STOCK", "AC_VENTASMES", "S_TA_EQUIV", "V_MA_Precios"}) {
        EXPECT_TRUE(
            TieneNativo(Corre(cn, QStringLiteral("UPDATE %1 SET IDARTICULO = '%2'").arg(t, c26)), 8152))
            << t;
        EXPECT_TRUE(Corre(cn, QStringLiteral("UPDATE %1 SET IDARTICULO = '%2'").arg(t, c25)).empty()) << t;
    }
}

TEST_F(EsquemaSuiteTest, LosDisparadoresFrenanLaRecodificacionHastaQueSeApagan) {
    ASSERT_TRUE(Corre(cn,
                      "INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('CON')\r\n"
                      "INSERT INTO V_MA_ARTICULOS (IdArticulo) VALUES ('SIN')\r\n"
                      "INSERT INTO V_MV_STOCK (Fecha, TC, IdDeposito, IDARTICULO, Cantidad) "
                      "VALUES ('2024-01-02T00:00:00', 'FC', '   1', 'CON', -2)")
                    .empty());
    const QString borra = "DELETE V_MA_ARTICULOS WHERE IDARTICULO = 'CON'";
    const QString renombra = "UPDATE V_MA_ARTICULOS SET IDARTICULO = 'CON2' WHERE IDARTICULO = 'CON'";
    const QString mueve = "UPDATE V_MV_STOCK SET IDARTICULO = 'SIN' WHERE IDARTICULO = 'CON'";
    auto cuenta = [&](const QString& sql) { return Valor(cn, sql).toInt(); };

    EXPECT_FALSE(Corre(cn, borra).empty());
    EXPECT_FALSE(Corre(cn, renombra).empty());
    EXPECT_FALSE(Corre(cn, mueve).empty());
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'CON'"), 1);
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = 'CON'"), 1);
    // An article without movements goes.
    EXPECT_TRUE(Corre(cn, "DELETE V_MA_ARTICULOS WHERE IDARTICULO = 'SIN'").empty());

    // Switched off as a recoding does, the same statements pass ...
    ASSERT_TRUE(Corre(cn,
                      " ALTER TABLE V_MA_ARTICULOS DISABLE TRIGGER ALL \r\n ALTER TABLE V_MV_STOCK DISABLE "
                      "TRIGGER ALL ")
                    .empty());
    EXPECT_TRUE(Corre(cn, mueve).empty());
    EXPECT_TRUE(Corre(cn, "UPDATE V_MV_STOCK SET IDARTICULO = 'CON' WHERE IDARTICULO = 'SIN'").empty());
    EXPECT_TRUE(Corre(cn, renombra).empty());
    EXPECT_TRUE(Corre(cn, "DELETE V_MA_ARTICULOS WHERE IDARTICULO = 'CON2'").empty());
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM V_MA_ARTICULOS"), 0);

    // ... and switched on again they refuse once more.
    ASSERT_TRUE(
        Corre(
            cn,
            " ALTER TABLE V_MA_ARTICULOS ENABLE TRIGGER ALL \r\n ALTER TABLE V_MV_STOCK ENABLE TRIGGER ALL ")
            .empty());
    EXPECT_FALSE(Corre(cn, "UPDATE V_MV_STOCK SET IDARTICULO = 'OTRO'").empty());
    EXPECT_EQ(cuenta("SELECT COUNT(*) FROM V_MV_STOCK WHERE IDARTICULO = 'CON'"), 1);
}

TEST_F(EsquemaSuiteTest, LaCopiaDelMaestroDejaQueElMotorNumere) {
    ASSERT_TRUE(Corre(cn,
                      "INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion, IDRUBRO, TalleDefault) "
                      "VALUES ('VIEJO', 'TORNILLO', '  12', '')")
                    .empty());
    QStringList resto = Columnas("V_MA_ARTICULOS");
    resto.removeAll("IdArticulo");
    resto.removeAll("ID");
    const auto e = Corre(cn, "INSERT INTO V_MA_ARTICULOS SELECT 'NUEVO'," + resto.join(",") +
                                 "  \r\n        FROM V_MA_ARTICULOS WHERE IDARTICULO = 'VIEJO'");
    ASSERT_TRUE(e.empty()) << e.front().Description.toStdString();
    RecordsetPtr rs =
        cn.Execute("SELECT Descripcion, IDRUBRO, ID FROM V_MA_ARTICULOS WHERE IdArticulo = 'NUEVO'");
    ASSERT_FALSE(rs->Eof());
    EXPECT_EQ(rs->Value("Descripcion").toString(), "TORNILLO");
    EXPECT_EQ(rs->Value("IDRUBRO").toString(), "  12");
    EXPECT_NE(rs->Value("ID").toInt(),
              Valor(cn, "SELECT ID FROM V_MA_ARTICULOS WHERE IdArticulo = 'VIEJO'").toInt());
}

TEST_F(EsquemaSuiteTest, UnaSentenciaQueFallaSeInformaConSuObjeto) {
    try {
        EsquemaSuite::CreaEsquemaPrincipal(cn);
        FAIL() << "Se esperaba un fallo";
    } catch (const Fallo& f) {
        EXPECT_TRUE(f.Descripcion().contains("V_MA_ARTICULOS")) << f.Descripcion().toStdString();
        EXPECT_NE(f.Numero(), 0);
    }
}

TEST(EsquemaSuiteTextos, LosDisparadoresSeEscribenEnElLenguajeDeCadaMotor) {
    auto disparadores = [](EsquemaSuite::Motor m) {
        QStringList r;
        for (const auto& s : EsquemaSuite::SentenciasPrincipal(m))
            if (s.texto.startsWith("CREATE TRIGGER")) r << s.texto;
        return r;
    };
    const QStringList t = disparadores(EsquemaSuite::Motor::SqlServer);
    const QStringList e = disparadores(EsquemaSuite::Motor::Embebido);
    ASSERT_EQ(t.size(), 3);
    ASSERT_EQ(e.size(), 3);
    for (const QString& s : t) EXPECT_TRUE(s.contains(" AS\n") && s.contains("RAISERROR")) << s.toStdString();
    for (const QString& s : e) EXPECT_TRUE(s.contains("RAISE(ABORT") && s.endsWith("END")) << s.toStdString();
    EXPECT_TRUE(t[0].contains(" ON V_MA_ARTICULOS AFTER DELETE"));
    EXPECT_TRUE(e[0].contains(" AFTER DELETE ON V_MA_ARTICULOS "));
}

}  // namespace
