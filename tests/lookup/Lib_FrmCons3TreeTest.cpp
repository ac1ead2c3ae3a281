#include "lookup/Lib_FrmCons3Tree.h"

#include "tests/lookup/PruebaVentanasConsulta.h"

namespace {

class ArbolConsulta : public PruebaVentanasConsulta {
protected:
    // "child<parent" for every node under the root, in order.
    QStringList Estructura() const {
        QStringList r;
        const auto& n = t.Nodos();
        for (std::size_t i = 1; i < n.size(); ++i)
            r << t.Codigo(static_cast<int>(i)) + "<" + n[static_cast<std::size_t>(n[i].Padre)].Clave;
        return r;
    }
    Lib_FrmCons3Tree t;
};

TEST_F(ArbolConsulta, FamiliasPorSuSentencia) {
    Ejecuta(QStringLiteral("DELETE FROM V_TA_FAMILIAS"));
    Ejecuta(QStringLiteral("INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES "
                           "('02','LIMPIEZA'),('0101','BEBIDAS SIN ALCOHOL'),('01','BEBIDAS'),('010101','AGUAS')"));
    t.sql = QStringLiteral("SELECT IdFamilia, Descripcion FROM V_TA_FAMILIAS");
    ASSERT_TRUE(t.Carga());
    EXPECT_TRUE(t.Sentencia().startsWith("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, (SELECT     TOP 1 idfamilia "
                                         "FROM @Admin_v_ta_familias a  "));
    EXPECT_EQ(Estructura(), (QStringList{"01<A", "0101<A01", "010101<A0101", "02<A"}));
    EXPECT_EQ(t.Nodos()[0].Texto, "Consulta...");
    EXPECT_EQ(t.Nodos()[1].Texto, "01 - BEBIDAS");

    // Search by code or by the description's beginning.
    t.Busqueda(QStringLiteral("agu"));
    EXPECT_EQ(t.Codigo(t.NodoActual()), "010101");
    t.Busqueda(QStringLiteral("02"));
    EXPECT_EQ(t.Codigo(t.NodoActual()), "02");

    // Checks go down to the descendants.
    t.CheckBoxes = true;
    t.CampoDevuelto = QStringLiteral("IDFAMILIA");
    t.MarcaNodo(t.BuscaClave("A01"), true);
    t.CmdAceptar();
    EXPECT_EQ(t.Valores, (QVariantList{"01", "0101", "010101"}));
    t.MarcaNodo(t.BuscaClave("A01"), false);
    t.Valores.clear();
    t.CmdAceptar();
    EXPECT_TRUE(t.Valores.isEmpty());

    // Without checks: the family read back from its master.
    t.CheckBoxes = false;
    t.SeleccionaNodo(t.BuscaClave("A0101"));
    t.CmdAceptar();
    EXPECT_EQ(t.ValorDevuelto.toString(), "0101");
    EXPECT_TRUE(t.Oculta());
}

TEST_F(ArbolConsulta, AutomaticoPorPrefijoYF5) {
    Ejecuta(QStringLiteral("CREATE TABLE ARBOL_PRUEBA (Codigo varchar(10) NOT NULL, Descripcion varchar(30) NULL)"));
    Ejecuta(QStringLiteral("INSERT INTO ARBOL_PRUEBA VALUES ('1','UNO'),('10','DIEZ'),('101','CIENTO UNO'),"
                           "('2','DOS'),('2b','D''OS B'),('1','REPETIDO')"));
    t.sql = QStringLiteral("SELECT Codigo, Descripcion FROM ARBOL_PRUEBA ORDER BY Codigo");
    ASSERT_TRUE(t.Carga());
    EXPECT_EQ(Estructura(), (QStringList{"1<A", "10<A1", "101<A10", "2<A", "2b<A2"}));

    ASSERT_TRUE(t.RefinaEnServidor(QStringLiteral("d'os")));
    EXPECT_EQ(t.Sentencia(), "SELECT Codigo, Descripcion FROM ARBOL_PRUEBA  where Descripcion like '%d''os%' ORDER BY Codigo");
    EXPECT_EQ(Estructura(), QStringList{"2b<A"});
    // Without ORDER BY the loaded statement is the base.
    ASSERT_TRUE(t.RefinaEnServidor(QStringLiteral("B")));
    EXPECT_EQ(Estructura(), QStringList{"2b<A"});
    EXPECT_TRUE(t.Sentencia().startsWith("SELECT Codigo, Descripcion FROM ARBOL_PRUEBA  where Descripcion like '%d''os%' "));

    t.CmdCancelar();
    EXPECT_EQ(t.ValorDevuelto.toString(), "");
    EXPECT_TRUE(t.Valores.isEmpty());

    Lib_FrmCons3Tree vacio;
    vacio.sql = QStringLiteral("SELECT Codigo, Descripcion FROM ARBOL_PRUEBA WHERE 1 = 0");
    ASSERT_TRUE(vacio.Carga());
    EXPECT_EQ(vacio.Nodos().size(), 1u);
}

TEST_F(ArbolConsulta, AceptarPorLasTablasDeLaColumnaDevuelta) {
    Ejecuta(QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('ZZ9','SOLO CUENTA')"));
    Ejecuta(QStringLiteral("INSERT INTO TA_CCOSTO (CODIGO, DESCRIPCION) VALUES ('ZZ8','CENTRO')"));
    Ejecuta(QStringLiteral("INSERT INTO MA_POSICIONES (IDPOSICION, DESCRIPCION) VALUES ('P1','POSICION')"));
    t.sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS WHERE CODIGO LIKE 'ZZ%' "
                           "UNION SELECT CODIGO, DESCRIPCION FROM TA_CCOSTO WHERE CODIGO LIKE 'ZZ%' "
                           "UNION SELECT 'ZZ7', 'NINGUNA' ORDER BY 1");
    t.CampoDevuelto = QStringLiteral("CODIGO");
    ASSERT_TRUE(t.Carga());
    t.SeleccionaNodo(t.BuscaClave("AZZ9"));
    t.CmdAceptar();
    EXPECT_EQ(t.ValorDevuelto.toString(), "ZZ9");
    t.SeleccionaNodo(t.BuscaClave("AZZ8"));
    t.CmdAceptar();
    EXPECT_EQ(t.ValorDevuelto.toString(), "ZZ8");
    t.SeleccionaNodo(t.BuscaClave("AZZ7"));
    t.CmdAceptar();
    EXPECT_EQ(t.ValorDevuelto.toString(), "");

    Lib_FrmCons3Tree p;
    p.sql = QStringLiteral("SELECT IDPOSICION, DESCRIPCION FROM MA_POSICIONES");
    p.CampoDevuelto = QStringLiteral("IDPOSICION");
    p.CheckBoxes = true;
    ASSERT_TRUE(p.Carga());
    p.MarcaNodo(0, true);   // the root checks everything, and adds no code itself
    p.CmdAceptar();
    EXPECT_TRUE(p.Valores.contains(QVariant(QStringLiteral("P1"))));
    EXPECT_FALSE(p.Valores.contains(QVariant(QString())));
}

}  // namespace
