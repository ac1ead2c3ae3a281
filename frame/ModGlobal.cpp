#include "frame/ModGlobal.h"

#include "db/DB_Dll.h"
#include "db/Traduccion.h"
#include "db/platform/Ado.h"
#include "platform/lib/Lib_Entorno.h"
#include "platform/lib/Lib_Util.h"
#include "platform/lib/TratamientoErrores.h"
#include "platform/ArchivoTexto.h"
#include "platform/Guardia.h"
#include "platform/Operador.h"
#include "platform/Texto.h"

#include <QDateTime>

using namespace Texto;

void AgregaCampoValor(const QString& Campo, QString& Valor, const QString& Tipo, bool Nueva) {
    if (Nueva) gCamposValores.clear();
    gCamposValores.push_back({});
    Valor.remove(QLatin1Char('\''));
    CampoValor& par = gCamposValores.back();
    par.Campo = Campo;
    par.Valor = UCase(Valor) == QLatin1String("NULL") ? QStringLiteral("Null") : gDB().SQLValue(Valor, Tipo);
}

namespace {
QString Une(const std::vector<CampoValor>& pares, bool campos) {
    QStringList r;
    for (const auto& p : pares) r << (campos ? p.Campo : p.Valor);
    return r.join(QLatin1Char(','));
}
}  // namespace

void ArmaSentencia(std::vector<CampoValor>& Pares, QStringList& Lineas, const QString& Tabla, bool EsActualizacion,
                   QString& Condicion, bool Conservar) {
    if (Lineas.isEmpty())
        throw Fallo(NumeroFallo::Subindice, QStringLiteral("El subíndice está fuera del intervalo"));
    QString sentencia;
    if (!EsActualizacion) {
        sentencia = QStringLiteral("INSERT INTO ") + Tabla + QStringLiteral(" ") + QStringLiteral("(") + Une(Pares, true) +
                    QStringLiteral(")") + QStringLiteral(" VALUES (") + Une(Pares, false) + QStringLiteral(")");
    } else {
        if (!Contiene(Condicion, QStringLiteral("WHERE"))) Condicion = QStringLiteral(" WHERE ") + Condicion;
        QStringList sets;
        for (const auto& p : Pares) sets << p.Campo + QStringLiteral(" = ") + p.Valor;
        sentencia = QStringLiteral("UPDATE ") + Tabla + QStringLiteral(" SET ") + sets.join(QLatin1Char(',')) +
                    QStringLiteral(" ") + Condicion;
    }
    Lineas << sentencia << QString();
    if (!Conservar) Pares = {CampoValor{}};
}

void CompletaInsert(QString& Sentencia, std::vector<CampoValor>& Pares, bool Limpiar) {
    Sentencia += QStringLiteral("(") + Une(Pares, true) + QStringLiteral(")") + QStringLiteral(" VALUES (") +
                 Une(Pares, false) + QStringLiteral(")");
    if (Limpiar) Pares.clear();
}

QString VerificaCampos(const QString& Tabla, const QString& Excluido1, const QString& Excluido2,
                       const QString& Excluido3, bool Corchetes, QString& Tipos) {
    QString lista;
    Tipos.clear();
    RecordsetPtr rs;
    Guardia g(TratamientoGlobalDe(QStringLiteral("VerificaCampos")));
    const bool completo = g.Ejecuta({
        [&] { rs = gDB().Cnn().OpenSchema(ado::adSchemaColumns, {gDB().gDBName, QString(), Tabla, QString()}); },
        [&] {
            for (; !rs->Eof(); rs->MoveNext()) {
                const QString nombre = rs->Value(QStringLiteral("COLUMN_NAME")).toString();
                if (Iguales(nombre, Excluido1) || Iguales(nombre, Excluido2) || Iguales(nombre, Excluido3)) continue;
                if (!Trim(lista).isEmpty()) lista += QStringLiteral(",");
                lista += Corchetes ? QStringLiteral("[") + nombre + QStringLiteral("]") : nombre;
                if (!Tipos.isEmpty()) Tipos += QStringLiteral(",");
                Tipos += rs->Value(QStringLiteral("DATA_TYPE")).toString();
            }
        },
    });
    return completo ? lista : QString();
}

ResultadoScript GActualizarDatoScript(const QStringList& Lineas, bool IgnoraDuplicado, bool IgnoraRestriccion,
                                      bool MostrarMensaje) {
    const QString CR = QStringLiteral("\r");
    ResultadoScript r;
    QString texto, batch, errorTexto;
    int32_t codigo = 0;
    bool nada = false;
    Guardia g(TratamientoGlobalDe(QStringLiteral("GActualizarDatoScript")));
    g.Ejecuta({
        [&] {
            for (const QString& l : Lineas)
                if (!Trim(l).isEmpty()) texto += CR + l;
            nada = texto.isEmpty();
        },
        [&] {
            if (nada) return;
            batch = QStringLiteral("BEGIN TRANSACTION ") + CR + CR + texto + CR;
            r.Script = batch;
        },
        [&] {
            if (!nada) gDB().EjecutaConsultaSQL(batch);
        },
        [&] {
            if (nada) return;
            Errores& e = gDB().Cnn().Errors();
            if (e.Count() == 0) return;
            codigo = e.Item(0).NativeError;
            r.HayError = true;
            const long usados = e.Count() == 1 ? 1 : e.Count() - 1;
            for (long i = 0; i < usados; ++i)
                errorTexto += QString::number(e.Item(i).NativeError) + QStringLiteral(" : ") + e.Item(i).Description +
                              ArchivoTexto::CRLF;
            r.MensajeError = errorTexto;
            if ((IgnoraDuplicado && codigo == 2627) || (IgnoraRestriccion && codigo == 547)) {
                r.MensajeError = e.Item(0).Description;
                errorTexto.clear();
            }
            e.Clear();
        },
        [&] {
            if (nada) return;
            if (r.HayError) {
                gDB().EjecutaConsultaSQL(QStringLiteral("ROLLBACK TRANSACTION"));
                GrabaErrorAux(batch, NombrePrograma(), codigo, errorTexto);
                if (!Trim(errorTexto).isEmpty() && MostrarMensaje)
                    ElOperador().Mensaje(errorTexto, vbCritical, QStringLiteral("Aviso al Operador!"));
            } else {
                gDB().EjecutaConsultaSQL(QStringLiteral("COMMIT TRANSACTION"));
            }
        },
    });
    r.CodError = codigo;
    return r;
}

void GrabaErrorAux(const QString& sql, QString Proceso, int32_t Error, const QString& Descripcion) {
    RecordsetPtr rs;
    QString texto = QStringLiteral("select  top 1 * from AUX_ERR  with(nolock) ");
    IgnoraFallo([&] {
        if (Proceso.isEmpty()) Proceso = NombrePrograma();
    });
    IgnoraFallo([&] { gDB().AbrirRecordset(texto, rs, nullptr, ado::adOpenDynamic, ado::adLockOptimistic); });
    IgnoraFallo([&] {
        if (!rs || rs->State() == ado::adStateClosed) return;
        rs->AddNew();
        rs->Fields(QStringLiteral("Proceso")).SetValue(Proceso);
        rs->Fields(QStringLiteral("fecha")).SetValue(FormatoFecha(QDateTime::currentDateTime(), FechaHoraCorta()));
        rs->Fields(QStringLiteral("Error")).SetValue(Error);
        // Stored through the record set: cut to the column, quotes kept as they are.
        rs->Fields(QStringLiteral("Descripcion")).SetValue(Left(Descripcion, 250));
        rs->Fields(QStringLiteral("sql")).SetValue(sql);
        rs->Fields(QStringLiteral("PC")).SetValue(LibEntorno().NombrePC());
        rs->Fields(QStringLiteral("Usuario")).SetValue(gUsuarioActual);
        rs->Update();
    });
    IgnoraFallo([&] {
        if (rs) gDB().CierraRecordset(rs);
    });
}

QString TopOracle(const QString& Sentencia) { return Traduccion::TopOracle(Sentencia, gDB().gConnString); }
