#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>

#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "platform/qt/OperadorQt.h"

namespace {

// Runs `f` on the first visible top-level W once it appears (polling from
// the dialog's own event loop).
template <class W>
void AlAparecer(std::function<void(W*)> f) {
    auto intentos = std::make_shared<int>(0);
    auto busca = std::make_shared<std::function<void()>>();
    *busca = [=] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<W*>(w); d && d->isVisible()) {
                f(d);
                return;
            }
        if (++*intentos < 300)
            QTimer::singleShot(10, *busca);
        else
            ADD_FAILURE() << "No apareció el diálogo";
    };
    QTimer::singleShot(0, *busca);
}

QStringList Leyendas(QMessageBox* b) {
    QStringList r;
    for (QAbstractButton* x : b->buttons()) r.append(x->text());
    return r;
}

QAbstractButton* BotonDe(QMessageBox* b, const QString& leyenda) {
    for (QAbstractButton* x : b->buttons())
        if (x->text() == leyenda) return x;
    ADD_FAILURE() << "Sin botón " << leyenda.toStdString();
    return nullptr;
}

void Escape(QWidget* w) {
    QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

}  // namespace

TEST(OperadorQt, MensajeConBotonesIconoYDefecto) {
    OperadorQt op;
    AlAparecer<QMessageBox>([](QMessageBox* b) {
        EXPECT_EQ(b->windowTitle(), QStringLiteral("Título"));
        EXPECT_EQ(b->text(), QStringLiteral("línea 1\nlínea 2\nlínea 3"));
        EXPECT_EQ(b->textFormat(), Qt::PlainText);
        EXPECT_EQ(b->icon(), QMessageBox::Critical);
        EXPECT_EQ(Leyendas(b), (QStringList{QStringLiteral("Anular"), QStringLiteral("Reintentar"),
                                            QStringLiteral("Omitir")}));
        ASSERT_NE(b->defaultButton(), nullptr);
        EXPECT_EQ(b->defaultButton()->text(), QStringLiteral("Reintentar"));
        BotonDe(b, QStringLiteral("Omitir"))->click();
    });
    EXPECT_EQ(op.Mensaje(QStringLiteral("línea 1\r\nlínea 2\rlínea 3"),
                         vbAbortRetryIgnore + vbCritical + vbDefaultButton2, QStringLiteral("Título")),
              vbIgnore);

    const std::pair<int, const char*> casos[] = {{vbAbort, "Anular"}, {vbRetry, "Reintentar"}};
    for (auto [codigo, leyenda] : casos) {
        AlAparecer<QMessageBox>([l = QString::fromUtf8(leyenda)](QMessageBox* b) { BotonDe(b, l)->click(); });
        EXPECT_EQ(op.Mensaje(QStringLiteral("m"), 18, QStringLiteral("t")), codigo);
    }
}

TEST(OperadorQt, JuegosDeBotonesYEscape) {
    OperadorQt op;
    struct Caso {
        int botones;
        QStringList leyendas;
        QMessageBox::Icon icono;
        int alEscape;
    };
    const Caso casos[] = {
        {vbOKOnly + vbInformation, {QStringLiteral("Aceptar")}, QMessageBox::Information, vbOK},
        {vbOKCancel + vbExclamation,
         {QStringLiteral("Aceptar"), QStringLiteral("Cancelar")},
         QMessageBox::Warning,
         vbCancel},
        {vbYesNoCancel + vbQuestion,
         {QStringLiteral("Sí"), QStringLiteral("No"), QStringLiteral("Cancelar")},
         QMessageBox::Question,
         vbCancel},
        {vbRetryCancel,
         {QStringLiteral("Reintentar"), QStringLiteral("Cancelar")},
         QMessageBox::NoIcon,
         vbCancel},
    };
    for (const Caso& c : casos) {
        AlAparecer<QMessageBox>([&](QMessageBox* b) {
            EXPECT_EQ(Leyendas(b), c.leyendas);
            EXPECT_EQ(b->icon(), c.icono);
            // An empty title shows the program's name.
            EXPECT_EQ(b->windowTitle(), NombrePrograma());
            Escape(b);
        });
        EXPECT_EQ(op.Mensaje(QStringLiteral("x"), c.botones, {}), c.alEscape) << c.botones;
    }
    // A default button beyond the set is the first one.
    AlAparecer<QMessageBox>([](QMessageBox* b) {
        EXPECT_EQ(b->defaultButton()->text(), QStringLiteral("Aceptar"));
        b->defaultButton()->click();
    });
    EXPECT_EQ(op.Mensaje(QStringLiteral("x"), vbOKCancel + vbDefaultButton3), vbOK);
}

TEST(OperadorQt, SiNoYAnularSinSalidaPorEscape) {
    OperadorQt op;
    for (int botones : {vbYesNo + vbQuestion, int(vbAbortRetryIgnore)}) {
        AlAparecer<QMessageBox>([botones](QMessageBox* b) {
            Escape(b);
            b->close();
            QCoreApplication::processEvents();
            EXPECT_TRUE(b->isVisible());
            BotonDe(b, botones == vbAbortRetryIgnore ? QStringLiteral("Reintentar") : QStringLiteral("No"))
                ->click();
        });
        EXPECT_EQ(op.Mensaje(QStringLiteral("¿Seguro?"), botones, QStringLiteral("t")),
                  botones == vbAbortRetryIgnore ? vbRetry : vbNo);
    }
    AlAparecer<QMessageBox>([](QMessageBox* b) { BotonDe(b, QStringLiteral("Sí"))->click(); });
    EXPECT_EQ(op.Mensaje(QStringLiteral("<b>no es html</b>"), vbYesNo + vbDefaultButton2), vbYes);
}

// A short text under a long title still shows the whole title; a long server
// text without blanks wraps inside the screen.
TEST(OperadorQt, TituloEnteroYTextoLargoDentroDeLaPantalla) {
    OperadorQt op;
    const QString titulo = QStringLiteral("[Fabricante][Controlador ODBC 18 para el servidor][Servidor] - Error");
    AlAparecer<QMessageBox>([&](QMessageBox* b) {
        QFont negrita = b->font();
        negrita.setBold(true);
        EXPECT_GE(b->width(), QFontMetrics(negrita).horizontalAdvance(titulo) + 100);
        b->buttons().front()->click();
    });
    op.Mensaje(QStringLiteral("Error."), vbAbortRetryIgnore + vbCritical, titulo);

    const QString ruta = QStringLiteral("C:\\") + QString(60, QLatin1Char('x')) + QStringLiteral("\\") +
                         QString(300, QLatin1Char('y')) + QStringLiteral(".log");
    AlAparecer<QMessageBox>([](QMessageBox* b) {
        const QRect pantalla = b->screen()->availableGeometry();
        EXPECT_LE(b->width(), pantalla.width());
        EXPECT_LE(b->height(), pantalla.height());
        b->buttons().front()->click();
    });
    op.Mensaje(QStringLiteral("No se pudo escribir ") + ruta, vbOKOnly, QStringLiteral("Aviso al Operador"));
}

TEST(OperadorQt, CuadroDeEntrada) {
    OperadorQt op;
    AlAparecer<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Password Access"));
        EXPECT_EQ(d->labelText(), QStringLiteral("ingrese el password:"));
        EXPECT_EQ(d->textValue(), QStringLiteral("previo"));
        EXPECT_EQ(d->okButtonText(), QStringLiteral("Aceptar"));
        EXPECT_EQ(d->cancelButtonText(), QStringLiteral("Cancelar"));
        d->setTextValue(QStringLiteral("clave ñ"));
        d->accept();
    });
    EXPECT_EQ(op.Entrada(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"),
                         QStringLiteral("previo")),
              QStringLiteral("clave ñ"));
    AlAparecer<QInputDialog>([](QInputDialog* d) {
        EXPECT_EQ(d->windowTitle(), NombrePrograma());
        d->reject();
    });
    EXPECT_EQ(op.Entrada(QStringLiteral("x")), std::nullopt);
    // Accepting an empty text is not a cancel.
    AlAparecer<QInputDialog>([](QInputDialog* d) { d->accept(); });
    EXPECT_EQ(op.Entrada(QStringLiteral("x")), QString());
}

TEST(OperadorQt, FiltroEnLaFormaDeQt) {
    EXPECT_EQ(FiltroQt(QStringLiteral("Páginas Web (*.htm)|*.htm|")), QStringLiteral("Páginas Web (*.htm)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Texto|*.txt|Todos|*.*|")),
              QStringLiteral("Texto (*.txt);;Todos (*.*)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Datos|*.csv;*.txt|")), QStringLiteral("Datos (*.csv *.txt)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Texto|*.txt")), QStringLiteral("Texto (*.txt)"));
    EXPECT_EQ(FiltroQt(QStringLiteral("Todo|")), QStringLiteral("Todo (*)"));
    EXPECT_EQ(FiltroQt(QString()), QString());
}

TEST(OperadorQt, UrlDeUnDocumento) {
    EXPECT_EQ(UrlDocumento(QStringLiteral("\"/t/con blanco.htm\"")),
              QUrl::fromLocalFile(QStringLiteral("/t/con blanco.htm")));
    EXPECT_EQ(UrlDocumento(QStringLiteral("https://ejemplo.com/a?b=1")),
              QUrl(QStringLiteral("https://ejemplo.com/a?b=1")));
    EXPECT_EQ(UrlDocumento(QStringLiteral("mailto:x@y.com")).scheme(), QStringLiteral("mailto"));
    EXPECT_TRUE(UrlDocumento(QStringLiteral("C:\\dir\\a.htm")).isLocalFile());
}

TEST(OperadorQt, DialogoDeArchivo) {
    OperadorQt op;
    QTemporaryDir dir;
    PedidoArchivo p;
    p.guardar = true;
    p.titulo = QStringLiteral("Guardar testigo");
    p.filtro = QStringLiteral("Páginas Web|*.htm|");
    p.extension = QStringLiteral(".htm");
    p.carpeta = dir.path();
    p.opcion = true;
    AlAparecer<QFileDialog>([&](QFileDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Guardar testigo"));
        EXPECT_EQ(d->nameFilters(), QStringList{QStringLiteral("Páginas Web (*.htm)")});
        EXPECT_EQ(d->defaultSuffix(), QStringLiteral("htm"));
        EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        d->selectFile(QDir(dir.path()).filePath(QStringLiteral("testigo")));
        static_cast<QDialog*>(d)->accept();
    });
    RespuestaArchivo r = op.Archivo(p);
    EXPECT_FALSE(r.cancelado);
    EXPECT_EQ(QFileInfo(r.nombre).fileName(), QStringLiteral("testigo.htm"));

    // An existing file: the Spanish question; No shows the dialog again.
    ASSERT_TRUE(ArchivoTexto::Escribe(r.nombre, QStringLiteral("x")));
    AlAparecer<QFileDialog>([&](QFileDialog* d) {
        AlAparecer<QMessageBox>([](QMessageBox* b) {
            EXPECT_TRUE(b->text().contains(QStringLiteral("ya existe")));
            EXPECT_EQ(b->defaultButton()->text(), QStringLiteral("No"));
            AlAparecer<QFileDialog>([](QFileDialog* d2) { d2->reject(); });
            BotonDe(b, QStringLiteral("No"))->click();
        });
        d->selectFile(r.nombre);
        static_cast<QDialog*>(d)->accept();
    });
    RespuestaArchivo r2 = op.Archivo(p);
    EXPECT_TRUE(r2.cancelado);
    EXPECT_TRUE(r2.nombre.isEmpty());
}

TEST(OperadorQt, ProgramasYEventos) {
    OperadorQt op;
    EXPECT_EQ(
        op.EjecutaPrograma(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("exit 3")}, true), 3);
    EXPECT_EQ(op.EjecutaPrograma(QStringLiteral("/no/existe/programa"), {}, true), -1);
    EXPECT_EQ(op.EjecutaPrograma(QStringLiteral("/no/existe/programa"), {}, false), -1);
    EXPECT_EQ(op.EjecutaPrograma(QStringLiteral("true"), {}, false, vbHide), 0);
    bool corrio = false;
    QTimer::singleShot(0, [&] { corrio = true; });
    op.ProcesaEventos();
    EXPECT_TRUE(corrio);
}

TEST(OperadorQt, EleccionSobreUnaTabla) {
    OperadorQt op;
    PedidoEleccion p;
    p.titulo = QStringLiteral("Revisión");
    p.texto = QStringLiteral("Lea");
    p.columnas = {QStringLiteral("Gravedad"), QStringLiteral("Pares")};
    p.filas = {{QStringLiteral("Rechazo"), QStringLiteral("A → B")}, {QStringLiteral("Nota"), QStringLiteral("C → D")}};
    p.botones = {QStringLiteral("&Continuar"), QStringLiteral("&Volver")};
    p.habilitados = {false};
    p.porDefecto = 1;
    p.cancelar = 1;
    AlAparecer<QDialog>([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Revisión"));
        auto* t = d->findChild<QTableWidget*>(QStringLiteral("TablaEleccion"));
        ASSERT_TRUE(t);
        EXPECT_EQ(t->rowCount(), 2);
        EXPECT_EQ(t->item(0, 1)->text(), QStringLiteral("A → B"));
        auto* seguir = d->findChild<QPushButton*>(QStringLiteral("BotonEleccion0"));
        ASSERT_TRUE(seguir);
        // A refusal keeps the way on shut: clicking it does nothing.
        EXPECT_FALSE(seguir->isEnabled());
        seguir->click();
        EXPECT_TRUE(d->isVisible());
        d->findChild<QPushButton*>(QStringLiteral("BotonEleccion1"))->click();
    });
    EXPECT_EQ(op.Eleccion(p), 1);

    // Escape leaves with the cancelling button.
    p.habilitados = {};
    AlAparecer<QDialog>([](QDialog* d) { Escape(d); });
    EXPECT_EQ(op.Eleccion(p), 1);
    AlAparecer<QDialog>([](QDialog* d) { d->findChild<QPushButton*>(QStringLiteral("BotonEleccion0"))->click(); });
    EXPECT_EQ(op.Eleccion(p), 0);
}
