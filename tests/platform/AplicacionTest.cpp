// The application folder an executable finds by itself, and the help and
// version every executable answers.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

#include "platform/Aplicacion.h"

namespace {

// $XDG_DATA_HOME set for the test's length.
struct DatosDeUsuario {
    QByteArray antes = qgetenv("XDG_DATA_HOME");
    explicit DatosDeUsuario(const QString& carpeta) { qputenv("XDG_DATA_HOME", carpeta.toLocal8Bit()); }
    ~DatosDeUsuario() {
        if (antes.isEmpty()) qunsetenv("XDG_DATA_HOME");
        else qputenv("XDG_DATA_HOME", antes);
    }
};

}  // namespace

TEST(Aplicacion, InstaladoEscribeEnLaCarpetaDelUsuarioYNuncaJuntoAlPrograma) {
    QTemporaryDir raiz;
    const QDir r(raiz.path());
    ASSERT_TRUE(r.mkpath("usr/bin") && r.mkpath("usr/share/quenvar/Styles") && r.mkpath("arbol/bin"));
    const DatosDeUsuario datos(r.filePath("datos"));

    // Installed (share/quenvar beside bin), even where this user may write: the user's
    // own folder, created on first use.
    EXPECT_TRUE(ProgramaInstalado(r.filePath("usr/bin")));
    EXPECT_EQ(CarpetaPorDefecto(r.filePath("usr/bin")), r.filePath("datos/quenvar"));
    EXPECT_TRUE(QFileInfo(r.filePath("datos/quenvar")).isDir());
    // A build tree or a folder of its own keeps its files beside the program.
    EXPECT_FALSE(ProgramaInstalado(r.filePath("arbol/bin")));
    EXPECT_EQ(CarpetaPorDefecto(r.filePath("arbol/bin")), r.filePath("arbol/bin"));
    // Unless the user cannot write there (root writes anywhere).
    if (::geteuid() != 0) {
        QFile::setPermissions(r.filePath("arbol/bin"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_EQ(CarpetaPorDefecto(r.filePath("arbol/bin")), r.filePath("datos/quenvar"));
        QFile::setPermissions(r.filePath("arbol/bin"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // Without $XDG_DATA_HOME (or with a relative one): ~/.local/share.
    const DatosDeUsuario relativa("relativa");
    const QByteArray casa = qgetenv("HOME");
    qputenv("HOME", r.filePath("casa").toLocal8Bit());
    EXPECT_EQ(CarpetaDeUsuario(), r.filePath("casa/.local/share/quenvar"));
    qputenv("HOME", casa);
}

TEST(Aplicacion, AyudaAlineadaYVersion) {
    const std::vector<Opcion> opciones = {
        {"archivo", 1, "ARCHIVO     cargar los pares"},
        {"prefijo", 2, "ANT NVO  cargar por prefijo"},
        {"forzar", 0, "           recodificar aunque haya avisos"},
        {"sin-ayuda", 0, {}},
    };
    const QString ayuda = AyudaOpciones("prog [opciones] LINEA", opciones);
    QStringList lineas = ayuda.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lineas.size(), 7) << ayuda.toStdString();
    EXPECT_EQ(lineas.takeFirst(), "Uso: prog [opciones] LINEA");
    const QStringList que = {"cargar los pares", "cargar por prefijo", "recodificar aunque haya avisos",
                             "carpeta de la aplicación", "esta ayuda", "la versión del programa"};
    const QStringList opcion = {"--archivo ARCHIVO", "--prefijo ANT NVO", "--forzar", "--carpeta DIR", "--help",
                                "--version"};
    for (int i = 0; i < lineas.size(); ++i) {
        // Every description starts in the same column, two blanks after the longest option.
        EXPECT_EQ(lineas[i], "  " + opcion[i].leftJustified(QString("--prefijo ANT NVO").size() + 2) + que[i]);
    }

    EXPECT_EQ(TextoDeAyuda({"--carpeta", "x", "--help"}, "prog [opciones] LINEA", opciones), ayuda);
    EXPECT_EQ(TextoDeAyuda({"-h"}, "prog LINEA", {}), AyudaOpciones("prog LINEA", {}));
    EXPECT_EQ(TextoDeAyuda({"--version"}, "prog LINEA", {}), "prog " + VersionPrograma() + "\n");
    EXPECT_FALSE(VersionPrograma().isEmpty());
    // Not asked, or only after "--" (a value, not an option).
    EXPECT_FALSE(TextoDeAyuda({"--archivo", "a.txt", "@server=x;"}, "prog", {}).has_value());
    EXPECT_FALSE(TextoDeAyuda({"--", "--help"}, "prog", {}).has_value());
}
