// The windows' appearance: style sheets chosen per computer, user and
// database, and the program's icon and toolbar style.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "db/DB_Dll.h"
#include "frame/Apariencia.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/Aplicacion.h"
#include "platform/ArchivoTexto.h"
#include "platform/sesion/Sesion.h"
#include "frame/ui/AparienciaVentana.h"
#include "tests/support/Soporte.h"

class FrmMdi : public QMainWindow {
    Q_OBJECT
};

namespace {

QString Contenido(const QString& ruta) {
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

void CopiaCarpeta(const QString& desde, const QString& hacia) {
    QDirIterator it(desde, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString origen = it.next();
        const QString destino = QDir(hacia).filePath(QDir(desde).relativeFilePath(origen));
        QDir().mkpath(QFileInfo(destino).absolutePath());
        QFile::copy(origen, destino);
    }
}

// A window with what the main window and the lookup windows show.
std::unique_ptr<QMainWindow> VentanaCompleta() {
    auto w = std::make_unique<QMainWindow>();
    w->menuBar()->addMenu("Archivo")->addAction("Salir");
    auto* barra = w->addToolBar("UtilKor1");
    barra->setObjectName("UtilKor1");
    barra->addAction("GRABAR");
    auto* centro = new QWidget;
    auto* capa = new QVBoxLayout(centro);
    auto* grilla = new QTableWidget(3, 3);
    grilla->setHorizontalHeaderLabels({"Código", "Descripción", "Código nuevo"});
    grilla->setItem(0, 0, new QTableWidgetItem("0001234"));
    capa->addWidget(grilla);
    capa->addWidget(new QLineEdit("texto"));
    auto* combo = new QComboBox;
    combo->addItems({"uno", "dos"});
    capa->addWidget(combo);
    capa->addWidget(new QCheckBox("Solo estadísticas"));
    capa->addWidget(new QGroupBox("Opciones"));
    capa->addWidget(new QPushButton("Aceptar"));
    w->setCentralWidget(centro);
    w->statusBar()->showMessage("Listo");
    return w;
}

QStringList* avisosQt = nullptr;
// Qt's complaints about a style sheet.
void GuardaAviso(QtMsgType, const QMessageLogContext&, const QString& m) {
    if (avisosQt && (m.contains("parse", Qt::CaseInsensitive) || m.contains("Unknown property") ||
                     m.contains("stylesheet", Qt::CaseInsensitive)))
        *avisosQt << m;
}

class AparienciaVentana : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        gDB().gDBName = "Empresa";
    }
    void TearDown() override {
        gDB().gDBName.clear();
        gFlatToolbars = 1;
        PruebaConCarpeta::TearDown();
    }
    void Estilo(const QString& valor) {
        const QString s = LibEntorno().UsuarioPC().toUpper() + "_EMPRESAStyles";
        ASSERT_TRUE(ArchivoTexto::Escribe(Ruta("tq400xr.ini"), "[" + s + "]\r\nStyles=" + valor + "\r\n"));
    }
};

}  // namespace

TEST_F(AparienciaVentana, CadaEstiloAplicaSuHoja) {
    CopiaCarpeta(QStringLiteral(QUENVAR_SOURCE_DIR "/frame/ui/Styles"), Ruta("Styles"));
    const std::pair<QString, QString> casos[] = {
        {"1", "Styles/Vista.cjstyles"},          {"2", "Styles/WinXP.Luna.cjstyles"},
        {"3", "Styles/WinXP.Royale.cjstyles"},   {"4", "Styles/iTunes/Normalitunes.ini"},
        {"7", "Styles/Office2007.cjstyles"},     {"x", "Styles/Office2007.cjstyles"},
    };
    QStringList vistas;
    for (const auto& [valor, archivo] : casos) {
        Estilo(valor);
        QWidget w;
        AplicaSkin(w);
        const QString hoja = Contenido(Ruta(archivo));
        ASSERT_FALSE(hoja.isEmpty()) << archivo.toStdString();
        EXPECT_EQ(w.styleSheet(), hoja) << valor.toStdString();
        vistas << hoja;
    }
    vistas.removeDuplicates();
    EXPECT_EQ(vistas.size(), 5);  // five different looks

    // Without an INI, style 4.
    QFile::remove(Ruta("tq400xr.ini"));
    QWidget w;
    AplicaSkin(w);
    EXPECT_EQ(w.styleSheet(), Contenido(Ruta("Styles/iTunes/Normalitunes.ini")));
}

TEST_F(AparienciaVentana, SinHojaQuedaElAspectoDeLaPlataforma) {
    Estilo("2");
    QWidget w;
    AplicaSkin(w);
    EXPECT_EQ(w.styleSheet(), "");
    // A window that has its own sheet keeps it.
    w.setStyleSheet("QWidget { color: red; }");
    AplicaSkin(w);
    EXPECT_EQ(w.styleSheet(), "QWidget { color: red; }");
}

TEST_F(AparienciaVentana, LasHojasJuntoALosProgramasSeLeenSinAvisos) {
    // The build copies the sheets beside the executables.
    EstableceCarpetaAplicacion(CarpetaBinarios());
    for (int estilo = 0; estilo <= 4; ++estilo) {
        const QString ruta = RutaSkin(estilo);
        ASSERT_EQ(ruta, QDir(CarpetaBinarios()).filePath(ArchivoSkin(estilo)));
        QStringList avisos;
        avisosQt = &avisos;
        const QtMessageHandler antes = qInstallMessageHandler(GuardaAviso);
        auto w = VentanaCompleta();
        w->setStyleSheet(Contenido(ruta));
        w->show();
        w->grab();
        qInstallMessageHandler(antes);
        avisosQt = nullptr;
        EXPECT_TRUE(avisos.isEmpty()) << ruta.toStdString() << ": " << avisos.join(" | ").toStdString();
    }
    EXPECT_TRUE(QFile::exists(QDir(CarpetaBinarios()).filePath("quenvar.svg")));
}

TEST_F(AparienciaVentana, IconoYEstiloDeLasBarras) {
    gFlatToolbars = 0;
    const QIcon icono = IconoPrograma();
    for (int t : {16, 32, 48, 256}) EXPECT_TRUE(icono.availableSizes().contains(QSize(t, t))) << t;
    const QImage img = icono.pixmap(32).toImage();
    EXPECT_EQ(img.pixelColor(16, 16).alpha(), 255);

    // All three toolbars, one of them deeper down.
    auto w = VentanaCompleta();
    auto* rep = new QToolBar(w.get());
    rep->setObjectName("TBarRep1");
    auto* util = new QWidget(w->centralWidget());
    util->setObjectName("Util0011");
    AsignaIcono(*w);
    EXPECT_FALSE(w->windowIcon().availableSizes().isEmpty());
    for (const char* n : {"UtilKor1", "TBarRep1", "Util0011"})
        EXPECT_EQ(w->findChild<QObject*>(n)->property("StyleBar"), QVariant(0)) << n;
    EXPECT_EQ(op.EventosProcesados(), 1);

    // Only UtilKor1: the icon and its style all the same.
    gFlatToolbars = 1;
    auto solo = VentanaCompleta();
    AsignaIcono(*solo);
    EXPECT_FALSE(solo->windowIcon().availableSizes().isEmpty());
    EXPECT_EQ(solo->findChild<QObject*>("UtilKor1")->property("StyleBar"), QVariant(1));

    // The MDI frame gets the icon and nothing else.
    FrmMdi mdi;
    auto* b = mdi.addToolBar("UtilKor1");
    b->setObjectName("UtilKor1");
    AsignaIcono(mdi);
    EXPECT_FALSE(mdi.windowIcon().availableSizes().isEmpty());
    EXPECT_FALSE(b->property("StyleBar").isValid());
    EXPECT_EQ(op.EventosProcesados(), 2);
}

#include "AparienciaVentanaTest.moc"
