#include "access/DialogoAccesoVentana.h"
#include "access/frmAcceso.h"
#include "access/frmAccesoVentana.h"

#include "platform/lib/Lib_Util.h"
#include "platform/ArchivoTexto.h"
#include "platform/sesion/Sesion.h"
#include "tests/support/Soporte.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `f` from inside the dialog's modal loop; a dialog still shown
// seconds later is a failure, and is closed so that the test ends.
void Dentro(QDialog* v, std::function<void()> f) {
    QTimer::singleShot(0, std::move(f));
    QTimer::singleShot(5000, v, [v] {
        if (!v->isVisible()) return;
        ADD_FAILURE() << "El diálogo sigue abierto";
        v->QDialog::done(QDialog::Rejected);
    });
}

}  // namespace

class VentanaAcceso : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        gUsuarioActual.clear();
        gClaveUsuario.clear();
        ASSERT_TRUE(ArchivoTexto::Escribe(
            Ruta("BASES.TXT"), QStringLiteral("SRV01 / EMP1,EMP1,EMP1,") + LibUtil().Encripta("EMP1") +
                                   QStringLiteral(",SRV01:1500\r\nSRV02 / EMP2,EMP2,EMP2,") +
                                   LibUtil().Encripta("EMP2") + QStringLiteral(",SRV02\r\n")));
        d.Carga();
        v = d.Ventana();
        ASSERT_NE(v, nullptr);
    }
    void TearDown() override {
        d.Descarga();
        PruebaConCarpeta::TearDown();
    }
    template <class W>
    W* Control(const char* nombre) {
        W* w = v->findChild<W*>(QString::fromLatin1(nombre));
        EXPECT_NE(w, nullptr) << nombre;
        return w;
    }
    QLineEdit* Caja(const char* nombre) { return Control<QLineEdit>(nombre); }
    // Keys go to the focused widget, as the platform sends them; it must be
    // the one the operator expects.
    static QWidget* Foco(QWidget* esperado) {
        QWidget* f = QApplication::focusWidget();
        EXPECT_EQ(f, esperado) << "el foco está en " << (f ? f->objectName().toStdString() : std::string("ninguno"));
        return f ? f : esperado;
    }
    void MuestraActiva() {
        v->show();
        v->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(v));
    }
    void ClicEnEntrada(int fila, bool doble = false) {
        QListWidget* l = Control<QListWidget>("lstBases");
        const QPoint p = l->visualItemRect(l->item(fila)).center();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, p);
        if (doble) {
            // A double click as the window system sends it: press, release,
            // double click, release.
            QTest::mousePress(l->viewport(), Qt::LeftButton, {}, p);
            QTest::mouseDClick(l->viewport(), Qt::LeftButton, {}, p);
        }
    }

    DialogoAccesoVentana d;
    frmAccesoVentana* v = nullptr;
};

TEST_F(VentanaAcceso, ControlesLeyendasYNadaCortado) {
    EXPECT_EQ(v->windowTitle(), QStringLiteral("Control de Acceso"));
    EXPECT_EQ(Caja("TxtUserPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Caja("TxtUserId")->toolTip(), QStringLiteral("Ingrese el nombre de usuario"));
    EXPECT_EQ(Caja("TxtPuerto")->toolTip(), QStringLiteral("Ingrese el Puerto "));
    EXPECT_EQ(Caja("TxtPuerto")->text(), QStringLiteral("1433"));
    EXPECT_EQ(Control<QPushButton>("bcAceptar")->text(), QStringLiteral("Conectar"));
    EXPECT_EQ(Control<QPushButton>("CmdLineaComando")->text(), QStringLiteral("Crear Acceso Directo"));
    QComboBox* cbo = Control<QComboBox>("CboPlataformaDB");
    ASSERT_EQ(cbo->count(), 2);
    EXPECT_EQ(cbo->itemText(1), QStringLiteral("ORACLE"));
    QListWidget* l = Control<QListWidget>("lstBases");
    ASSERT_EQ(l->count(), 2);
    EXPECT_EQ(l->currentRow(), 0);

    MuestraActiva();
    for (QLabel* e : v->findChildren<QLabel*>())
        EXPECT_GE(e->width(), e->sizeHint().width()) << e->text().toStdString();
    for (QPushButton* b : v->findChildren<QPushButton*>())
        EXPECT_GE(b->width(), b->sizeHint().width()) << b->text().toStdString();
    for (const char* n : {"TxtUserId", "TxtDbName", "TxtServidor"}) {
        QLineEdit* e = Caja(n);
        EXPECT_GE(e->width(), e->fontMetrics().horizontalAdvance(e->text()) + 8) << n;
    }

    QTest::mouseClick(Control<QLabel>("Label8"), Qt::LeftButton);
    ASSERT_EQ(op.Transcripcion().size(), 1u);
    EXPECT_EQ(op.Transcripcion()[0].texto, frmAcceso::kSitioWeb);
}

TEST_F(VentanaAcceso, IndicacionesVuelvenYRetornoMueveElFoco) {
    MuestraActiva();
    QLineEdit* base = Caja("TxtDbName");
    EXPECT_EQ(base->text(), QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(base->palette().color(QPalette::Text), frmAccesoVentana::ColorIndicacion());

    base->setFocus();
    base->selectAll();
    QTest::keyClicks(Foco(base), QStringLiteral("EMP"));
    EXPECT_EQ(base->text(), QStringLiteral("EMP"));
    EXPECT_NE(base->palette().color(QPalette::Text), frmAccesoVentana::ColorIndicacion());
    for (int i = 0; i < 3; ++i) QTest::keyClick(Foco(base), Qt::Key_Backspace);
    EXPECT_EQ(base->text(), QStringLiteral("ingrese el nombre de la base de datos"));
    EXPECT_EQ(base->selectedText(), base->text());
    EXPECT_EQ(base->palette().color(QPalette::Text), frmAccesoVentana::ColorIndicacion());
    QTest::keyClicks(Foco(base), QStringLiteral("X"));  // replaces the selected prompt
    EXPECT_EQ(base->text(), QStringLiteral("X"));

    QLineEdit* usuario = Caja("TxtUserId");
    usuario->setFocus();
    EXPECT_EQ(usuario->selectedText(), QStringLiteral("Ingrese el usuario"));
    QTest::keyClicks(Foco(usuario), QStringLiteral("ANA"));
    QTest::keyClick(Foco(usuario), Qt::Key_Return);
    EXPECT_TRUE(Caja("TxtUserPassword")->hasFocus());
    QTest::keyClicks(Foco(Caja("TxtUserPassword")), QStringLiteral("ab"));
    EXPECT_EQ(Caja("TxtUserPassword")->displayText(), QStringLiteral("**"));
    QTest::keyClick(Foco(Caja("TxtUserPassword")), Qt::Key_Return);
    EXPECT_TRUE(base->hasFocus());
    QTest::keyClick(Foco(base), Qt::Key_Enter);
    EXPECT_TRUE(Caja("TxtServidor")->hasFocus());
    QTest::keyClick(Foco(Caja("TxtServidor")), Qt::Key_Return);
    EXPECT_TRUE(Control<QPushButton>("bcAceptar")->hasFocus());
    EXPECT_TRUE(v->isVisible());  // not pressed
    EXPECT_FALSE(d.Formulario()->Aceptar);
}

TEST_F(VentanaAcceso, ClicEnLaListaLlenaLasCajas) {
    MuestraActiva();
    QTest::mouseClick(Caja("TxtUserPassword"), Qt::LeftButton);
    QTest::keyClicks(Foco(Caja("TxtUserPassword")), QStringLiteral("clave"));
    ClicEnEntrada(0);
    EXPECT_EQ(Caja("TxtServidor")->text(), QStringLiteral("SRV01"));
    EXPECT_EQ(Caja("TxtPuerto")->text(), QStringLiteral("1500"));
    EXPECT_EQ(Caja("TxtDbName")->text(), QStringLiteral("EMP1"));
    EXPECT_EQ(Caja("TxtUserPassword")->text(), QString());
    EXPECT_EQ(Caja("TxtDbName")->palette().color(QPalette::Text) == frmAccesoVentana::ColorIndicacion(), false);
    ClicEnEntrada(1);
    EXPECT_EQ(Caja("TxtServidor")->text(), QStringLiteral("SRV02"));
    EXPECT_EQ(Caja("TxtPuerto")->text(), QStringLiteral("1433"));
    // Keys move through the list too.
    QTest::keyClick(Foco(Control<QListWidget>("lstBases")), Qt::Key_Up);
    EXPECT_EQ(Caja("TxtServidor")->text(), QStringLiteral("SRV01"));
}

TEST_F(VentanaAcceso, DobleClicAcepta) {
    d.Llena({QStringLiteral("OTRA"), QStringLiteral("SRV09"), QStringLiteral("ANA"), QStringLiteral("x"), 0});
    Dentro(v, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(v));
        ClicEnEntrada(0, true);
    });
    d.MuestraModal();
    EXPECT_TRUE(d.Aceptado());
    const DatosAcceso a = d.Datos();
    EXPECT_EQ(a.baseDatos, QStringLiteral("EMP1"));
    EXPECT_EQ(a.servidor, QStringLiteral("SRV01:1500"));
    EXPECT_EQ(a.usuario, QString());  // the entry empties user and password
    EXPECT_EQ(gUsuarioActual, QString());
    EXPECT_FALSE(v->isVisible());
}

TEST_F(VentanaAcceso, CancelarYUsoAnidado) {
    d.Llena({QStringLiteral("EMP1"), QStringLiteral("SRV01"), QStringLiteral("ANA"), QStringLiteral("x"), 1});
    EXPECT_EQ(Control<QComboBox>("CboPlataformaDB")->currentIndex(), 1);
    bool seguia = false;
    Dentro(v, [&] {
        // Code running inside the shown dialog cannot hide, unload or show it again.
        d.Oculta();
        d.Descarga();
        d.Carga();
        d.Llena({});
        d.MuestraModal();
        seguia = v->isVisible() && !d.Aceptado() && Caja("TxtUserId")->text() == QStringLiteral("ANA");
        QTest::mouseClick(Control<QPushButton>("bcCancelar"), Qt::LeftButton);
    });
    d.MuestraModal();
    EXPECT_TRUE(seguia);
    EXPECT_FALSE(d.Aceptado());
    EXPECT_FALSE(v->isVisible());

    // Escape cancels too, after an accept.
    d.Formulario()->Aceptar = true;
    Dentro(v, [&] { QTest::keyClick(v, Qt::Key_Escape); });
    d.MuestraModal();
    EXPECT_FALSE(d.Aceptado());
    EXPECT_EQ(d.Datos().plataforma, 1);
    EXPECT_EQ(d.Datos().usuario, QStringLiteral("ANA"));
}
