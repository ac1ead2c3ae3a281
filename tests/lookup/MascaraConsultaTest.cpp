// The lookup definitions file: its records' bytes and the default records.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "platform/ArchivoTexto.h"
#include "platform/Fallo.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/MascaraConsulta.h"
#include "lookup/ModConsultas.h"
#include "tests/support/EntornoDePrueba.h"
#include "tests/support/Soporte.h"

namespace {

constexpr int kLargo = 1202;

// One record as the file holds it, built field by field.
QByteArray Registro(const QByteArray& nombre, const QByteArray& tabla, const QByteArray& campos,
                    const QByteArray& filtro = {}) {
    auto campo = [](QByteArray b, int ancho) { return b.leftJustified(ancho, ' ', true); };
    return campo(nombre, 100) + campo(tabla, 100) + campo(campos, 500) + campo(filtro, 500) + "\r\n";
}

QByteArray Defaults() {
    return Registro("ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|") +
           Registro("CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|") +
           Registro("PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|") +
           Registro("CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|") +
           Registro("VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|") +
           Registro("TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|") +
           Registro("MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|") +
           Registro("CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|") +
           Registro("TAREAS", "V_TA_Tareas  ", "|Descripcion|IdTarea|") +
           Registro("UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|") +
           Registro("DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|");
}

QByteArray Bytes(const QString& ruta) { return ArchivoTexto::LeeBytes(ruta).value_or(QByteArray()); }

void Escribe(const QString& ruta, const QByteArray& b) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

class Mascaras : public PruebaConCarpeta {
protected:
    void SetUp() override {
        PruebaConCarpeta::SetUp();
        temporal_.emplace("TMPDIR", Carpeta());
        ElMotorConsultas().gRutaMascaraConsultas = Ruta("consultas.kvx");
    }
    void TearDown() override {
        ElMotorConsultas().gRutaMascaraConsultas.clear();
        temporal_.reset();
        PruebaConCarpeta::TearDown();
    }
    std::optional<Entorno> temporal_;
};

}  // namespace

TEST_F(Mascaras, DefaultsEnArchivoNuevo) {
    ASSERT_TRUE(CreaConsultasDefault());
    const QByteArray b = Bytes(Ruta("consultas.kvx"));
    ASSERT_EQ(b.size(), 11 * kLargo);
    EXPECT_EQ(b, Defaults());
    EXPECT_EQ(ArchivoMascaras::Cantidad(Ruta("consultas.kvx")), 11);

    // The ninth record read back: the table keeps its blanks, the fields their padding.
    const MascaraConsulta m = ArchivoMascaras::Lee(Ruta("consultas.kvx"), 9);
    EXPECT_EQ(m.Nombre, QString("TAREAS").leftJustified(100));
    EXPECT_EQ(m.Tabla, QString("V_TA_Tareas").leftJustified(100));
    EXPECT_EQ(m.Campos.left(22), "|Descripcion|IdTarea| ");
    EXPECT_EQ(m.Filtro, QString(500, ' '));
    EXPECT_EQ(m.FinLinea, "\r\n");
}

TEST_F(Mascaras, DefaultsAgregadosAlFinal) {
    // An existing file, named in other case, keeps its records; the defaults follow them.
    const QByteArray previo = Registro("TROPA", "v_mv_tropa", "|FechaDte|Dte|") + Registro("X", "Y", "|Z|", "A = 1");
    Escribe(Ruta("CONSULTAS.KVX"), previo);
    ASSERT_TRUE(CreaConsultasDefault());
    EXPECT_EQ(QDir(Carpeta()).entryList({"consultas.kvx"}, QDir::Files).size(), 1);
    EXPECT_EQ(Bytes(Ruta("CONSULTAS.KVX")), previo + Defaults());

    // A partial record at the end is overwritten: the records stay aligned.
    const QByteArray partido = Registro("A", "B", "|C|") + QByteArray(500, 'x');
    Escribe(Ruta("CONSULTAS.KVX"), partido);
    ASSERT_TRUE(CreaConsultasDefault());
    EXPECT_EQ(Bytes(Ruta("CONSULTAS.KVX")), Registro("A", "B", "|C|") + Defaults());
}

TEST_F(Mascaras, TextosEnWindows1252YCortados) {
    MascaraConsulta m;
    m.Nombre = QString::fromUtf8("DEPÓSITO Ñandú €");
    m.Tabla = QString(98, 'T') + QString::fromUtf8("ÁÉÍ");  // cut to 100 characters
    m.Campos = QString::fromUtf8("|Descripción|Año|Ω|");
    m.Filtro = QString::fromUtf8("Categoría = 'güe'");
    const QString ruta = Ruta("consultas.kvx");
    EXPECT_EQ(ArchivoMascaras::Agrega(ruta, m), 1);
    EXPECT_EQ(ArchivoMascaras::Agrega(ruta, m), 2);

    const QByteArray b = Bytes(ruta);
    ASSERT_EQ(b.size(), 2 * kLargo);
    EXPECT_EQ(b.left(16), QByteArray("DEP\xD3SITO \xD1" "and\xFA \x80"));
    EXPECT_EQ(b.mid(100, 100), QByteArray(98, 'T') + "\xC1\xC9");
    EXPECT_EQ(b.mid(200, 19), QByteArray("|Descripci\xF3n|A\xF1o|?|"));
    EXPECT_EQ(b.mid(700, 17), QByteArray("Categor\xED" "a = 'g\xFC" "e'"));
    EXPECT_EQ(b.mid(kLargo - 2, 2), "\r\n");

    // Read back by number; rewriting one record leaves the other.
    EXPECT_EQ(ArchivoMascaras::Lee(ruta, 2).Nombre, m.Nombre.leftJustified(100));
    EXPECT_EQ(ArchivoMascaras::Lee(ruta, 2).Tabla, m.Tabla.left(100));
    MascaraConsulta otro;
    otro.Nombre = "OTRO";
    ArchivoMascaras::Graba(ruta, 1, otro);
    EXPECT_EQ(Bytes(ruta).left(kLargo), Registro("OTRO", "", ""));
    EXPECT_EQ(Bytes(ruta).mid(kLargo), b.mid(kLargo));
}

TEST_F(Mascaras, FueraDelArchivoYFallos) {
    const QString ruta = Ruta("consultas.kvx");
    Escribe(ruta, Registro("A", "B", "|C|").left(700));
    EXPECT_EQ(ArchivoMascaras::Cantidad(ruta), 0);
    // Bytes the file lacks read as code 0, which the engine cleans away.
    const MascaraConsulta parcial = ArchivoMascaras::Lee(ruta, 1);
    EXPECT_EQ(parcial.Campos.left(3), "|C|");
    EXPECT_EQ(parcial.Filtro, QString(500, QChar(0)));
    EXPECT_EQ(ArchivoMascaras::Lee(ruta, 5).Nombre, QString(100, QChar(0)));
    EXPECT_THROW(ArchivoMascaras::Lee(ruta, 0), Fallo);
    EXPECT_THROW(ArchivoMascaras::Graba(ruta, 0, {}), Fallo);

    // A folder that does not exist: the frame's dialog, once per record
    // until the operator leaves the routine.
    ElMotorConsultas().gRutaMascaraConsultas = Ruta("falta/consultas.kvx");
    op.Responde(vbIgnore).Responde(vbAbort);
    EXPECT_FALSE(CreaConsultasDefault());
    ASSERT_EQ(op.Transcripcion().size(), 2u);
    EXPECT_TRUE(op.Transcripcion()[0].texto.startsWith("Ha ocurrido el Siguiente Error (76)"));
    EXPECT_TRUE(op.Transcripcion()[0].titulo.contains(" - CreaConsultasDefault"));
}
