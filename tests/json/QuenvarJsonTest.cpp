// The quenvar-json command, run as a separate process.

#include "tests/json/Ayuda.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// $QUENVAR_BIN, else the build's bin folder.
QString CarpetaBinarios() {
    const QString env = qEnvironmentVariable("QUENVAR_BIN");
    return env.isEmpty() ? QStringLiteral(QUENVAR_BIN_DIR) : env;
}

struct Corrida {
    int codigo = -1;
    QString salida;
    QString errores;
};

class QuenvarJson : public ::testing::Test {
protected:
    QString Archivo(const QString& nombre, const QByteArray& contenido) {
        const QString ruta = QDir(dir_.path()).filePath(nombre);
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
        return ruta;
    }

    Corrida Corre(const QStringList& argumentos, const QByteArray& entrada = {}, bool cerrarEntrada = true) {
        QProcess p;
        p.start(QDir(CarpetaBinarios()).filePath(QStringLiteral("quenvar-json")), argumentos);
        EXPECT_TRUE(p.waitForStarted());
        if (!entrada.isEmpty()) p.write(entrada);
        if (cerrarEntrada) p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QTemporaryDir dir_;
};

}  // namespace

TEST_F(QuenvarJson, VariablesDeArchivoEnArchivoYAvisosPorErrorEstandar) {
    const QString a = Archivo(QStringLiteral("a.json"),
                              "[{set: {name: 'x', value: 'cinco'}}, 'uno ', {alert: {message: 'aviso', title: 'T'}}]");
    const QString b = Archivo(QStringLiteral("b.json"), "[{get: 'x'}, ' ', {input: {prompt: 'Nombre', default: 'nadie'}}]");
    Corrida c = Corre({a, b});
    EXPECT_EQ(c.codigo, 0);
    EXPECT_EQ(c.salida, QStringLiteral("uno cinco nadie"));  // input closed: the default
    EXPECT_TRUE(c.errores.contains(QStringLiteral("aviso"))) << Visible(c.errores);

    c = Corre({b}, "Ana\n");
    EXPECT_EQ(c.codigo, 0);
    EXPECT_EQ(c.salida, QStringLiteral(" Ana"));
    EXPECT_TRUE(c.errores.contains(QStringLiteral("Nombre")));
}

TEST_F(QuenvarJson, Utf8OWindows1252) {
    const QString u = Archivo(QStringLiteral("u.json"), "\xEF\xBB\xBF[\"a\xC3\xB1o\"]");
    const QString w = Archivo(QStringLiteral("w.json"), "[\"a\xF1o \x80\"]");
    const Corrida c = Corre({u, w});
    EXPECT_EQ(c.codigo, 0);
    EXPECT_EQ(c.salida, QStringLiteral("añoaño €"));
}

TEST_F(QuenvarJson, ErrorDeLecturaSaleCon1) {
    const QString bueno = Archivo(QStringLiteral("bueno.json"), "['antes']");
    const QString malo = Archivo(QStringLiteral("malo.json"), "{\"a\": 1, \"a\": 2}");
    const QString otro = Archivo(QStringLiteral("otro.json"), "['nunca']");
    const Corrida c = Corre({bueno, malo, otro});
    EXPECT_EQ(c.codigo, 1);
    EXPECT_EQ(c.salida, QStringLiteral("antes"));
    EXPECT_TRUE(c.errores.contains(QStringLiteral("Esta clave ya está asociada con un elemento de esta colección: a")))
        << Visible(c.errores);

    EXPECT_EQ(Corre({Archivo(QStringLiteral("falla.json"), "['x', 5]")}).codigo, 3);
    EXPECT_EQ(Corre({QDir(dir_.path()).filePath(QStringLiteral("no-existe.json"))}).codigo, 2);
    EXPECT_EQ(Corre({}).codigo, 2);
}
