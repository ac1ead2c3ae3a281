#include "lookup/MascaraConsulta.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"

namespace {

constexpr int32_t kRegistroIncorrecto = 63;

// The field's bytes: encoded, cut to the width, padded with blanks.
QByteArray Campo(const QString& texto, int ancho) {
    QByteArray b = ArchivoTexto::Codifica(texto).left(ancho);
    if (b.size() < ancho) b.append(ancho - b.size(), ' ');
    return b;
}

QString Resuelve(const QString& ruta) {
    const QFileInfo f(ruta);
    return ArchivoTexto::BuscaSinMayusculas(f.absolutePath(), f.fileName());
}

void ValidaNumero(int64_t numero) {
    if (numero < 1) throw Fallo(kRegistroIncorrecto, QStringLiteral("Número de registro incorrecto"));
}

void Abre(QFile& f, QIODevice::OpenMode modo) {
    if (f.open(modo)) return;
    if (!QFileInfo(f.fileName()).absoluteDir().exists())
        throw Fallo(NumeroFallo::RutaNoEncontrada,
                    QStringLiteral("No se encontró la ruta de acceso: ") + f.fileName());
    throw Fallo(NumeroFallo::PermisoDenegado, QStringLiteral("Permiso denegado: ") + f.fileName());
}

void Escribe(QFile& f, int64_t numero, const MascaraConsulta& registro) {
    const QByteArray b = registro.Bytes();
    if (!f.seek((numero - 1) * MascaraConsulta::Largo) || f.write(b) != b.size() || !f.flush())
        throw Fallo(NumeroFallo::DiscoLleno, QStringLiteral("Disco lleno"));
}

}  // namespace

QByteArray MascaraConsulta::Bytes() const {
    QByteArray b;
    b.reserve(Largo);
    b += Campo(Nombre, LargoNombre);
    b += Campo(Tabla, LargoTabla);
    b += Campo(Campos, LargoCampos);
    b += Campo(Filtro, LargoFiltro);
    b += Campo(FinLinea, LargoFinLinea);
    return b;
}

MascaraConsulta MascaraConsulta::DesdeBytes(const QByteArray& bytes) {
    QByteArray b = bytes.left(Largo);
    if (b.size() < Largo) b.append(Largo - b.size(), '\0');
    MascaraConsulta m;
    int p = 0;
    auto toma = [&](int ancho) {
        const QString t = ArchivoTexto::Decodifica(b.mid(p, ancho));
        p += ancho;
        return t;
    };
    m.Nombre = toma(LargoNombre);
    m.Tabla = toma(LargoTabla);
    m.Campos = toma(LargoCampos);
    m.Filtro = toma(LargoFiltro);
    m.FinLinea = toma(LargoFinLinea);
    return m;
}

namespace ArchivoMascaras {

int64_t Cantidad(const QString& ruta) {
    const QFileInfo f(Resuelve(ruta));
    return f.exists() ? f.size() / MascaraConsulta::Largo : 0;
}

MascaraConsulta Lee(const QString& ruta, int64_t numero) {
    ValidaNumero(numero);
    QFile f(Resuelve(ruta));
    if (!f.exists()) return MascaraConsulta::DesdeBytes({});
    Abre(f, QIODevice::ReadOnly);
    const int64_t desde = (numero - 1) * MascaraConsulta::Largo;
    if (desde >= f.size()) return MascaraConsulta::DesdeBytes({});
    if (!f.seek(desde)) throw Fallo(kRegistroIncorrecto, QStringLiteral("Número de registro incorrecto"));
    return MascaraConsulta::DesdeBytes(f.read(MascaraConsulta::Largo));
}

void Graba(const QString& ruta, int64_t numero, const MascaraConsulta& registro) {
    ValidaNumero(numero);
    QFile f(Resuelve(ruta));
    Abre(f, QIODevice::ReadWrite);
    Escribe(f, numero, registro);
}

int64_t Agrega(const QString& ruta, const MascaraConsulta& registro) {
    QFile f(Resuelve(ruta));
    Abre(f, QIODevice::ReadWrite);
    const int64_t numero = f.size() / MascaraConsulta::Largo + 1;
    Escribe(f, numero, registro);
    return numero;
}

}  // namespace ArchivoMascaras
