#pragma once
// The suite's settings: single keys of TA_CONFIGURACION in the main and in
// the statistics database, the whole set held in memory, the company data
// and the server's date.

#include <QDateTime>
#include <QString>
#include <QVariant>

// A missing key reads as " "; "THEME" blank or missing reads as "1".
QString Cfg(const QString& Clave, QString* ValorAux = nullptr, const QString& Grupo = QStringLiteral("DATOS"));
QString CfgKV(const QString& Clave, QString* ValorAux = nullptr);
void GrabaDfg(const QString& Clave, const QVariant& Valor, const QString& ValorAux = {}, bool PoliticaNegocio = false,
              const QString& Grupo = QStringLiteral("DATOS"), bool Recorta = true, bool Borra = false);
void GrabaCfgKV(const QString& Clave, const QVariant& Valor, const QString& ValorAux = {}, bool PoliticaNegocio = false,
                const QString& Grupo = QStringLiteral("DATOS"), bool Recorta = true);
// Fills gConfiguracion, gUnidadNegocio and the colours.
void CargaConfiguracion(const QString& RutaAplicacion);

struct DatosEmpresa {
    QString RazonSocial, Cuit, InicioActividades, IngresosBrutos, CondicionIva, Pdv, Domicilio;
};
DatosEmpresa CargaDatosEmpresa(const QString& UnidadNegocio);
QDateTime FechaServidor();
