#include "lookup/ui/Lib_FrmCons3Ventana.h"

#include "lookup/Lib_FrmCons3.h"
#include "lookup/ui/VentanasConsulta.h"
#include "tests/lookup/PruebaVentanasConsulta.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

class VentanaLista : public PruebaVentanasConsulta {
protected:
    void SetUp() override {
        PruebaVentanasConsulta::SetUp();
        Ejecuta(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES "
                               "('Q001','ABRAZADERA CHICA'),('Q002','abrojo'),('Q003','CLAVO O''HARA'),"
                               "('Q004','BULON'),('Q005','TUERCA')"));
        m.sql = QStringLiteral("SELECT DESCRIPCION,IDARTICULO FROM VT_MA_ARTICULOS  with(nolock)  WHERE IdArticulo "
                               "LIKE 'Q%' ORDER BY DESCRIPCION");
        m.CampoDevuelto = QStringLiteral("IDARTICULO");
        m.CmpsDevueltos = {QStringLiteral("DESCRIPCION")};
        m.GrabarCfg = false;
    }
    Lib_FrmCons3 m;
};

TEST_F(VentanaLista, EscribirEnLaCajaBuscaYF5Refina) {
    ASSERT_TRUE(m.Carga());
    Lib_FrmCons3Ventana w(m);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(w.CmbSearch.size(), 2u);
    EXPECT_EQ(w.ListView1->model()->rowCount(), 5);
    w.CmbSearch[0]->setFocus();
    QTest::keyClicks(w.CmbSearch[0]->lineEdit(), QStringLiteral("cla"));
    EXPECT_EQ(w.ListView1->currentIndex().row(), 3);
    EXPECT_EQ(m.FilaActual(), 3);
    QTest::keyClick(w.CmbSearch[0]->lineEdit(), Qt::Key_F5);
    EXPECT_EQ(w.ListView1->model()->rowCount(), 1);
    EXPECT_EQ(w.CmbSearch[0]->currentText(), "");
    // The second column's box searches that column.
    QTest::keyClicks(w.CmbSearch[1]->lineEdit(), QStringLiteral("q003"));
    EXPECT_EQ(w.ListView1->currentIndex().row(), 0);
    w.CmdNueva->click();
    EXPECT_EQ(w.ListView1->model()->rowCount(), 5);
}

TEST_F(VentanaLista, EnterAceptaEscCancelaYLoTecleadoVaALaCaja) {
    ASSERT_TRUE(m.Carga());
    {
        Lib_FrmCons3Ventana w(m);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.ListView1->setFocus();
        QTest::keyClicks(w.ListView1, QStringLiteral("bu"));   // to the last used box (the first)
        EXPECT_EQ(w.CmbSearch[0]->currentText(), "bu");   // as typed
        EXPECT_EQ(w.ListView1->currentIndex().row(), 2);
        w.ListView1->setFocus();
        QTest::keyClick(w.ListView1, Qt::Key_Return);
        EXPECT_EQ(w.result(), QDialog::Accepted);
        EXPECT_EQ(m.ValorDevuelto.toString(), "Q004");
        EXPECT_EQ(m.Valores, QVariantList{QStringLiteral("BULON")});
    }
    {
        Lib_FrmCons3Ventana w(m);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        QTest::keyClick(&w, Qt::Key_Escape);
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_EQ(m.ValorDevuelto.toString(), "");
        EXPECT_TRUE(m.Valores.isEmpty());
    }
}

TEST_F(VentanaLista, LaFabricaMuestraLaListaModal) {
    UsaVentanasConsulta();
    std::unique_ptr<VentanaConsulta> v = CreaVentanaConsulta(TipoVentanaConsulta::Lista);
    ASSERT_TRUE(v);
    v->sql = m.sql;
    v->CampoDevuelto = QStringLiteral("IDARTICULO");
    v->FiltroInicial = QStringLiteral("tuer");
    bool visto = false;
    QTimer::singleShot(0, [&] {
        auto* w = qobject_cast<Lib_FrmCons3Ventana*>(QApplication::activeModalWidget());
        if (!w) return;
        visto = true;
        w->CmdAceptar->click();
    });
    v->MuestraModal();
    EXPECT_TRUE(visto);
    EXPECT_EQ(v->ValorDevuelto.toString(), "Q005");
    EstableceVentanasConsulta({});
}

}  // namespace
