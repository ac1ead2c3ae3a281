#include "lookup/ModConsultas.h"

#include "frame/lib/TratamientoErrores.h"
#include "frame/platform/Guardia.h"
#include "frame/platform/Texto.h"
#include "lookup/Lib_ClsCons3.h"
#include "lookup/MascaraConsulta.h"

namespace {

struct ConsultaDefault {
    const char* Nombre;
    const char* Tabla;   // written as it is, blanks included
    const char* Campos;
};

constexpr ConsultaDefault kConsultasDefault[] = {
    {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
    {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
    {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
    {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
    {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
    {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
    {"TAREAS", "V_TA_Tareas  ", "|Descripcion|IdTarea| "},
    {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
    {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
};

}  // namespace

bool CreaConsultasDefault() {
    const QString ruta = ElMotorConsultas().gRutaMascaraConsultas;
    Guardia g(TratamientoGlobalDe(QStringLiteral("CreaConsultasDefault")));
    for (const ConsultaDefault& c : kConsultasDefault) {
        MascaraConsulta m;
        m.Nombre = Texto::Trim(QString::fromLatin1(c.Nombre));
        m.Tabla = QString::fromLatin1(c.Tabla);
        m.Campos = Texto::Trim(QString::fromLatin1(c.Campos));
        if (!g.Paso([&] { ArchivoMascaras::Agrega(ruta, m); })) return false;
    }
    return true;
}
