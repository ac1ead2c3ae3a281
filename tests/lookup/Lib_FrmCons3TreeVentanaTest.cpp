#include "lookup/ui/Lib_FrmCons3TreeVentana.h"

#include "lookup/Lib_FrmCons3Tree.h"
#include "lookup/ui/VentanasConsulta.h"
#include "tests/lookup/PruebaVentanasTeclado.h"

#include <QApplication>
#include <QImage>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

class VentanaArbol : public PruebaVentanasTeclado {
protected:
    void SetUp() override {
        PruebaVentanasTeclado::SetUp();
        Ejecuta(QStringLiteral("DELETE FROM V_TA_FAMILIAS"));
        Ejecuta(QStringLiteral("INSERT INTO V_TA_FAMILIAS (IdFamilia, Descripcion) VALUES "
                               "('01','BEBIDAS'),('0101','GASEOSAS'),('010101','COLAS'),('02','LIMPIEZA')"));
    }
    // The family tree, returning the family's code.
    static bool CargaFamilias(Lib_FrmCons3Tree& m) {
        m.sql = QStringLiteral("select * from v_ta_familias");
        m.CampoDevuelto = QStringLiteral("IDFAMILIA");
        return m.Carga();
    }
};

TEST_F(VentanaArbol, BuscaMarcaYAcepta) {
    Lib_FrmCons3Tree m;
    m.sql = QStringLiteral("select * from v_ta_familias");
    m.CheckBoxes = true;
    m.CampoDevuelto = QStringLiteral("IDFAMILIA");
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3TreeVentana w(m);
    ASSERT_TRUE(Activa(w));
    EXPECT_EQ(Foco(), w.CmbSearch);
    ASSERT_EQ(w.TreeV->topLevelItemCount(), 1);
    QTreeWidgetItem* raiz = w.TreeV->topLevelItem(0);
    EXPECT_EQ(raiz->text(0), "Consulta...");
    EXPECT_EQ(raiz->childCount(), 2);
    Escribe(QStringLiteral("gas"));
    ASSERT_TRUE(w.TreeV->currentItem());
    EXPECT_EQ(w.TreeV->currentItem()->text(0), "0101 - GASEOSAS");
    raiz->child(0)->setCheckState(0, Qt::Checked);   // as a click on the box does
    EXPECT_EQ(raiz->child(0)->child(0)->child(0)->checkState(0), Qt::Checked);
    w.CmdAceptar->click();
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m.Valores, (QVariantList{"01", "0101", "010101"}));
}

TEST_F(VentanaArbol, DibujaLineasYSignos) {
    Lib_FrmCons3Tree m;
    ASSERT_TRUE(CargaFamilias(m));
    Lib_FrmCons3TreeVentana w(m);
    ASSERT_TRUE(Activa(w));
    w.TreeV->expandAll();
    EXPECT_TRUE(w.TreeV->rootIsDecorated());
    const QImage imagen = w.TreeV->viewport()->grab().toImage();
    // Dots of the lines' colour left of each node's text, the root's too.
    auto puntos = [&](QTreeWidgetItem* item) {
        const QRect r = w.TreeV->visualItemRect(item);
        int n = 0;
        for (int y = std::max(r.top(), 0); y <= r.bottom() && y < imagen.height(); ++y)
            for (int x = 0; x < r.left(); ++x) n += imagen.pixelColor(x, y) == Lib_FrmCons3TreeVentana::ColorLineas();
        return n;
    };
    QTreeWidgetItem* raiz = w.TreeV->topLevelItem(0);
    EXPECT_GT(puntos(raiz), 3);
    EXPECT_GT(puntos(raiz->child(0)), 6);            // 01, with children below it
    EXPECT_GT(puntos(raiz->child(0)->child(0)->child(0)), 6);   // 010101
    EXPECT_GT(puntos(raiz->child(1)), 3);            // 02, the last one
}

TEST_F(VentanaArbol, F5YLaFabrica) {
    Ejecuta(QStringLiteral("INSERT INTO MA_CUENTAS (CODIGO, DESCRIPCION) VALUES ('ZZ1','CAJA'),('ZZ11','CAJA CHICA'),('ZZ2','BANCO')"));
    UsaVentanasConsulta();
    std::unique_ptr<VentanaConsulta> v = CreaVentanaConsulta(TipoVentanaConsulta::Arbol);
    ASSERT_TRUE(v);
    v->sql = QStringLiteral("SELECT CODIGO, DESCRIPCION FROM MA_CUENTAS WHERE CODIGO LIKE 'ZZ%' ORDER BY CODIGO");
    v->CampoDevuelto = QStringLiteral("CODIGO");
    int hijos = -1;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Lib_FrmCons3TreeVentana*>(QApplication::activeModalWidget());
        if (!w || !Activa(*w)) return;
        Escribe(QStringLiteral("chi"));
        Tecla(Qt::Key_F5);
        hijos = w->TreeV->topLevelItem(0)->childCount();
        Escribe(QStringLiteral("zz11"));
        w->CmdAceptar->click();
    });
    v->MuestraModal();
    EXPECT_EQ(hijos, 1);
    EXPECT_EQ(v->ValorDevuelto.toString(), "ZZ11");
    EstableceVentanasConsulta({});
}

TEST_F(VentanaArbol, FlechasYPaginasLlevanElFocoAlArbol) {
    Lib_FrmCons3Tree m;
    ASSERT_TRUE(CargaFamilias(m));
    Lib_FrmCons3TreeVentana w(m);
    ASSERT_TRUE(Activa(w));
    const Qt::Key teclas[] = {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Up, Qt::Key_PageUp};
    for (const Qt::Key k : teclas) {
        SCOPED_TRACE(k);
        w.CmbSearch->setFocus();
        ASSERT_EQ(Foco(), w.CmbSearch);
        Tecla(Qt::Key_A, Qt::ControlModifier);   // typing replaces what the box holds
        Escribe(QStringLiteral("lim"));
        Tecla(k);
        EXPECT_EQ(Foco(), w.TreeV);
        ASSERT_TRUE(w.TreeV->currentItem());
        EXPECT_EQ(w.TreeV->currentItem()->text(0), "02 - LIMPIEZA");   // the node found stays chosen
    }
    Tecla(Qt::Key_Return);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(m.ValorDevuelto.toString(), "02");
}

}  // namespace
