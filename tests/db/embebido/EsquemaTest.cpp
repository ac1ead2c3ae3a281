// Catalogue views, schema rowsets and result columns.
#include "tests/db/embebido/PruebaEmbebida.h"

#include "db/platform/Ado.h"

using ::testing::ElementsAre;

namespace {

class Esquemas : public PruebaEmbebida {
protected:
    void SetUp() override {
        PruebaEmbebida::SetUp();
        Bien(QStringLiteral(
            "CREATE TABLE V_MA_ARTICULOS (IdArticulo varchar(25) NOT NULL PRIMARY KEY, ID int IDENTITY(1,1), "
            "DESCRIPCION nvarchar(40), CODIGO char(3), RUBRO smallint, STOCK tinyint, MOV bigint, ACTIVO bit, "
            "ALTA datetime, PRECIO decimal(12,4), PESO float, VOL real, COSTO money, NOTAS text)\r\n"
            "CREATE VIEW VT_MA_ARTICULOS AS SELECT IdArticulo, DESCRIPCION FROM V_MA_ARTICULOS\r\n"
            "CREATE TRIGGER TR_ART AFTER INSERT ON V_MA_ARTICULOS BEGIN SELECT 1; END"));
    }
};

TEST_F(Esquemas, VistasDelCatalogo) {
    EXPECT_THAT(Filas(QStringLiteral("SELECT name, xtype FROM sysobjects WHERE xtype IN ('u', 'V', 'TR') ORDER BY name")),
                ElementsAre("TR_ART|TR", "V_MA_ARTICULOS|U", "VT_MA_ARTICULOS|V"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM INFORMATION_SCHEMA.TABLES ORDER BY 1")),
                ElementsAre("V_MA_ARTICULOS|BASE TABLE", "VT_MA_ARTICULOS|VIEW"));
    EXPECT_THAT(Filas(QStringLiteral("SELECT COLUMN_NAME, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH FROM INFORMATION_SCHEMA.COLUMNS "
                                     "WHERE TABLE_NAME = 'vt_ma_articulos' ORDER BY ORDINAL_POSITION")),
                ElementsAre("IdArticulo|varchar|25", "DESCRIPCION|nvarchar|40"));
}

TEST_F(Esquemas, RowsetsDeTablasYColumnas) {
    std::vector<ErrorProveedor> e;
    ResultadoSentencia t = c->Esquema(ado::adSchemaTables, {}, e);
    ASSERT_TRUE(e.empty());
    ASSERT_GE(t.columnas.size(), 4u);
    EXPECT_EQ(t.columnas[2].nombre, "TABLE_NAME");
    QStringList nombres;
    for (const Fila& f : t.filas) nombres << f[2].toString() + QLatin1Char('/') + f[3].toString();
    EXPECT_TRUE(nombres.contains("V_MA_ARTICULOS/TABLE"));
    EXPECT_TRUE(nombres.contains("VT_MA_ARTICULOS/VIEW"));
    EXPECT_TRUE(nombres.contains("sysobjects/SYSTEM TABLE"));
    EXPECT_FALSE(nombres.join(' ').contains("__kv"));

    ResultadoSentencia cols = c->Esquema(ado::adSchemaColumns, {QStringLiteral("DEMO"), QVariant(), QStringLiteral("v_ma_articulos"), QVariant()}, e);
    ASSERT_TRUE(e.empty());
    int iNombre = -1, iTipo = -1, iLargo = -1;
    for (int i = 0; i < static_cast<int>(cols.columnas.size()); ++i) {
        if (cols.columnas[i].nombre == "COLUMN_NAME") iNombre = i;
        if (cols.columnas[i].nombre == "DATA_TYPE") iTipo = i;
        if (cols.columnas[i].nombre == "CHARACTER_MAXIMUM_LENGTH") iLargo = i;
    }
    ASSERT_GE(iNombre, 0);
    QStringList r;
    for (const Fila& f : cols.filas) r << QStringLiteral("%1:%2").arg(f[iNombre].toString()).arg(f[iTipo].toInt());
    EXPECT_THAT(r, ElementsAre("IdArticulo:200", "ID:3", "DESCRIPCION:202", "CODIGO:129", "RUBRO:2", "STOCK:17", "MOV:20",
                               "ACTIVO:11", "ALTA:135", "PRECIO:131", "PESO:5", "VOL:4", "COSTO:6", "NOTAS:201"));
    EXPECT_EQ(cols.filas[0][iLargo].toInt(), 25);
    EXPECT_TRUE(c->Esquema(ado::adSchemaColumns, {QStringLiteral("OTRA"), QVariant(), QStringLiteral("V_MA_ARTICULOS")}, e).filas.empty());
}

TEST_F(Esquemas, ColumnasDelResultado) {
    Bien(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, ACTIVO, ALTA, PRECIO) VALUES ('A', 1, '2024-02-03', 1.5)"));
    ResultadoLote r = Bien(QStringLiteral("SELECT IdArticulo, ID, DESCRIPCION, ACTIVO, ALTA, PRECIO, COUNT(*) FROM V_MA_ARTICULOS GROUP BY IdArticulo, ID, DESCRIPCION, ACTIVO, ALTA, PRECIO"));
    ASSERT_EQ(r.resultados.size(), 1u);
    const auto& k = r.resultados[0].columnas;
    ASSERT_EQ(k.size(), 7u);
    EXPECT_EQ(k[0].tipo, ado::adVarChar);
    EXPECT_EQ(k[0].tamano, 25);
    EXPECT_EQ(k[0].tablaBase, "V_MA_ARTICULOS");
    EXPECT_TRUE(k[0].clave);
    EXPECT_FALSE(k[0].admiteNulos);
    EXPECT_TRUE(k[1].autoincremento);
    EXPECT_EQ(k[1].tipo, ado::adInteger);
    EXPECT_EQ(k[2].tipo, ado::adVarWChar);
    EXPECT_EQ(k[3].tipo, ado::adBoolean);
    EXPECT_EQ(k[4].tipo, ado::adDBTimeStamp);
    EXPECT_EQ(k[5].tipo, ado::adNumeric);
    EXPECT_EQ(k[5].precision, 12);
    EXPECT_EQ(k[5].escala, 4);
    EXPECT_EQ(k[6].nombre, "");
    EXPECT_EQ(k[6].tipo, ado::adInteger);
    const Fila& f = r.resultados[0].filas[0];
    EXPECT_EQ(f[3].typeId(), QMetaType::Bool);
    EXPECT_EQ(f[4].toDateTime(), QDateTime(QDate(2024, 2, 3), QTime(0, 0)));
    EXPECT_DOUBLE_EQ(f[5].toDouble(), 1.5);
    // the record set's writes: one statement with parameters
    ResultadoLote w = c->EjecutaConParametros(QStringLiteral("UPDATE V_MA_ARTICULOS SET DESCRIPCION = ?, ALTA = ? WHERE IdArticulo = ?"),
                                              {QStringLiteral("Descripción"), QDateTime(QDate(2025, 1, 2), QTime(3, 4)), QStringLiteral("a")}, 30);
    ASSERT_TRUE(w.errores.empty());
    ASSERT_EQ(w.resultados.size(), 1u);
    EXPECT_EQ(w.resultados[0].afectadas, 1);
    EXPECT_EQ(Uno(QStringLiteral("SELECT DESCRIPCION + CONVERT(varchar(10), ALTA, 103) FROM V_MA_ARTICULOS")), "Descripción02/01/2025");
}

}  // namespace
