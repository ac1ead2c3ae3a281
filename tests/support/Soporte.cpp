#include "tests/support/Soporte.h"

#include "platform/Aplicacion.h"

#include <QDir>

OperadorDePrueba::OperadorDePrueba() {
    AlFaltarRespuesta([](const Aviso& a) {
        ADD_FAILURE() << "Pregunta sin respuesta: " << a.texto.toStdString() << " [" << a.titulo.toStdString()
                      << "]";
    });
    EstableceOperador(this);
}

OperadorDePrueba::~OperadorDePrueba() { EstableceOperador(nullptr); }

void PruebaConCarpeta::SetUp() {
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    EstableceCarpetaAplicacion(dir_->path());
}

void PruebaConCarpeta::TearDown() {
    EXPECT_EQ(op.Pendientes(), 0u) << "Quedaron respuestas sin usar";
    EstableceCarpetaAplicacion({});
}

QString PruebaConCarpeta::Ruta(const QString& nombre) const { return QDir(dir_->path()).filePath(nombre); }

std::string Visible(const QString& s) {
    std::string r;
    for (QChar c : s) {
        switch (c.unicode()) {
            case '\r': r += "\\r"; break;
            case '\n': r += "\\n"; break;
            case '\t': r += "\\t"; break;
            default: r += QString(c).toStdString();
        }
    }
    return r;
}

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << Visible(s) << '"'; }
