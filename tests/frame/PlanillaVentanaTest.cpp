// The spreadsheet editor's window on the offscreen platform, driven by key
// events and button clicks as an operator drives it.

#include "PruebaPlanilla.h"

#include "frame/planilla/FrmPlanilla.h"
#include "frame/planilla/Lib_Planilla.h"
#include "frame/planilla/TablaPlanilla.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// A key as the platform delivers it: to the focused widget, which must be
// the one the operator expects.
void Pulsa(QWidget* esperado, int tecla, const QString& texto = {}) {
    QWidget* w = QApplication::focusWidget();
    EXPECT_EQ(w, esperado) << "el foco está en " << (w ? w->metaObject()->className() : "ninguno");
    if (!w) w = esperado;
    QKeyEvent abajo(QEvent::KeyPress, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &abajo);
    QKeyEvent arriba(QEvent::KeyRelease, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &arriba);
}

class VentanaPlanilla : public PruebaPlanilla {
protected:
    void SetUp() override {
        PruebaPlanilla::SetUp();
        AgregaArticulos(500);
        Abre();
        w = std::make_unique<FrmPlanilla>(m);
        w->show();
        QApplication::setActiveWindow(w.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    void TearDown() override {
        w.reset();
        PruebaPlanilla::TearDown();
    }
    QTableView* g() { return w->Grilla(); }
    // Types into the current cell as an operator does: the first key opens
    // the editor, the rest go to it, Enter ends it.
    void EscribeEnCelda(const QString& texto) {
        const QModelIndex i = g()->currentIndex();
        Pulsa(g(), texto[0].toUpper().unicode(), texto.left(1));
        QWidget* editor = g()->indexWidget(i);
        ASSERT_TRUE(editor) << "sin editor en la celda";
        for (QChar c : texto.mid(1)) Pulsa(editor, c.toUpper().unicode(), QString(c));
        Pulsa(editor, Qt::Key_Return, QStringLiteral("\r"));
        Espera();
    }
    // Enter commits once the editor is done with the key; the window then
    // shows the row where it went.
    static void Espera() {
        for (int i = 0; i < 3; ++i) QApplication::processEvents();
    }
    QString Celda(int fila, int columna) { return g()->model()->index(fila, columna).data().toString(); }
    void Busca(const QString& codigo) {
        w->TxtBuscar()->setText(codigo);
        w->CmdBuscar()->click();
    }

    std::unique_ptr<FrmPlanilla> w;
};

}  // namespace

TEST_F(VentanaPlanilla, LoEscritoEnUnaCeldaSeGrabaConEnter) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Maestro de Articulos"));
    EXPECT_EQ(g()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("IdArticulo"));
    EXPECT_EQ(g()->model()->rowCount(), m.Filas());
    Busca(QStringLiteral("Z00042"));
    const int fila = g()->currentIndex().row();
    ASSERT_EQ(Celda(fila, 0), QStringLiteral("Z00042"));
    // The row's key stays in sight in the row header.
    EXPECT_EQ(g()->model()->headerData(fila, Qt::Vertical).toString(), QStringLiteral("Z00042"));

    g()->setCurrentIndex(g()->model()->index(fila, Columna("Descripcion")));
    EscribeEnCelda(QStringLiteral("Tornillo 'fino'"));
    EXPECT_EQ(Descripcion(QStringLiteral("Z00042")), QStringLiteral("Tornillo 'fino'"));
    EXPECT_EQ(Celda(fila, Columna("Descripcion")), QStringLiteral("Tornillo 'fino'"));
    EXPECT_FALSE(g()->indexWidget(g()->currentIndex()));
    EXPECT_TRUE(op.Transcripcion().empty());
}

TEST_F(VentanaPlanilla, UnaEdicionRechazadaDejaLoEscritoALaVistaHastaEscape) {
    const QString conStock = ConStock();
    Busca(conStock);
    const QModelIndex i = g()->currentIndex();
    ASSERT_EQ(i.column(), 0);
    ASSERT_EQ(i.data().toString(), conStock);

    op.Responde(vbOK);
    EscribeEnCelda(QStringLiteral("OTRO-CODIGO"));
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("No se puede cambiar el codigo de un articulo con movimientos de stock"));
    const QModelIndex ahora = g()->model()->index(i.row(), 0);
    EXPECT_EQ(ahora.data().toString(), QStringLiteral("OTRO-CODIGO"));
    EXPECT_TRUE(ahora.data(TablaPlanilla::RolPendiente).toBool());
    EXPECT_EQ(ahora.data(Qt::BackgroundRole).value<QColor>(), TablaPlanilla::ColorPendiente());
    EXPECT_EQ(g()->currentIndex(), ahora);
    EXPECT_TRUE(w->LblEstado()->text().startsWith(QStringLiteral("1 celda sin grabar")));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = ?"), {conStock}), QStringLiteral("1"));

    // Closing asks while something is not written; No keeps the window.
    op.Responde(vbNo);
    w->CmdCerrar()->click();
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("Hay 1 celda sin grabar. ¿Cerrar y descartarla?"));
    EXPECT_TRUE(w->isVisible());

    // Escape drops the text; the stored code is back.
    Pulsa(g(), Qt::Key_Escape);
    EXPECT_EQ(ahora.data().toString(), conStock);
    EXPECT_FALSE(ahora.data(TablaPlanilla::RolPendiente).toBool());
    EXPECT_TRUE(w->isVisible());
    w->CmdCerrar()->click();  // nothing pending: no question
    EXPECT_FALSE(w->isVisible());
}

TEST_F(VentanaPlanilla, AgregarYBorrarConLosBotones) {
    const long antes = m.Filas();
    w->CmdAgregar()->click();
    const QModelIndex nueva = g()->currentIndex();
    EXPECT_EQ(nueva.row(), antes);
    EXPECT_EQ(g()->model()->headerData(nueva.row(), Qt::Vertical).toString(), QStringLiteral("*"));
    QWidget* editor = g()->indexWidget(nueva);
    ASSERT_TRUE(editor);  // typing the code at once
    for (QChar c : QStringLiteral("B-NUEVO")) Pulsa(editor, c.toUpper().unicode(), QString(c));
    Pulsa(editor, Qt::Key_Return, QStringLiteral("\r"));
    Espera();
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'B-NUEVO'")), QStringLiteral("1"));
    EXPECT_EQ(g()->model()->rowCount(), antes + 1);
    const int fila = g()->currentIndex().row();
    EXPECT_EQ(Celda(fila, 0), QStringLiteral("B-NUEVO"));

    op.Responde(vbYes);
    w->CmdBorrar()->click();
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("¿Borrar el registro «B-NUEVO» de V_MA_ARTICULOS?"));
    EXPECT_EQ(Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS WHERE IdArticulo = 'B-NUEVO'")), QStringLiteral("0"));
    EXPECT_EQ(g()->model()->rowCount(), antes);
    EXPECT_EQ(g()->currentIndex().row(), fila);
}

TEST_F(PruebaPlanilla, MuestraPlanillaAbreUnaVentanaModal) {
    QString titulo;
    bool modal = false;
    int filas = -1;
    QTimer::singleShot(0, [&] {
        auto* v = qobject_cast<FrmPlanilla*>(QApplication::activeModalWidget());
        ASSERT_TRUE(v);
        titulo = v->windowTitle();
        modal = v->isModal();
        filas = v->Grilla()->model()->rowCount();
        v->CmdCerrar()->click();
    });
    LibPlanilla().MuestraPlanilla(QStringLiteral("V_MA_ARTICULOS"), cadena, QStringLiteral("Maestro de Articulos"));
    EXPECT_EQ(titulo, QStringLiteral("Maestro de Articulos"));
    EXPECT_TRUE(modal);
    EXPECT_EQ(filas, Uno(QStringLiteral("SELECT COUNT(*) FROM V_MA_ARTICULOS")).toInt());

    // A table that cannot be opened: the server's text, no window.
    op.Responde(vbOK);
    LibPlanilla().MuestraPlanilla(QStringLiteral("V_MA_NADA"), cadena, QStringLiteral("Planilla"));
    EXPECT_EQ(op.Mensajes().last(), QStringLiteral("Invalid object name 'V_MA_NADA'."));
    EXPECT_FALSE(QApplication::activeModalWidget());
}

// Codes stored aligned ("   88027") are found by the code typed; a code with
// no row says so and leaves the current cell where it was.
TEST_F(VentanaPlanilla, LaBusquedaVaAlCodigoEscritoYNoAlSiguiente) {
    cn.Execute(QStringLiteral("INSERT INTO V_MA_ARTICULOS (IdArticulo, Descripcion) VALUES "
                              "('   88027', 'ALINEADO 27'), ('   88029', 'ALINEADO 29'), "
                              "('  880270', 'ALINEADO 270'), ('88028', 'SIN ALINEAR 28')"));
    ASSERT_EQ(cn.Errors().Count(), 0);
    m.Refresca();
    w->activateWindow();
    QApplication::setActiveWindow(w.get());
    auto escribeYBusca = [&](const QString& codigo) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_B, Qt::AltModifier);
        ASSERT_EQ(QApplication::focusWidget(), w->TxtBuscar());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), codigo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    };
    escribeYBusca(QStringLiteral("88027"));
    EXPECT_EQ(Celda(g()->currentIndex().row(), Columna("Descripcion")), QStringLiteral("ALINEADO 27"));
    escribeYBusca(QStringLiteral(" 88028 "));
    EXPECT_EQ(Celda(g()->currentIndex().row(), Columna("Descripcion")), QStringLiteral("SIN ALINEAR 28"));
    const QModelIndex antes = g()->currentIndex();
    escribeYBusca(QStringLiteral("8802"));
    EXPECT_EQ(g()->currentIndex(), antes);
    EXPECT_EQ(w->LblEstado()->text(), QStringLiteral("No hay ninguna fila con el código «8802»."));
}
