#pragma once
// The embedded driver: SQLite files speaking the suite's SQL Server dialect
// (private to db/platform; created through CreaControladorEmbebido).

#include "db/platform/Controlador.h"

#include <memory>

class ControladorEmbebido : public Controlador {
public:
    ControladorEmbebido();
    ~ControladorEmbebido() override;

    QString Nombre() const override { return QStringLiteral("embebido"); }
    void Abre(const ParametrosConexion& p, std::vector<ErrorProveedor>& errores) override;
    void Cierra() override;
    bool Abierta() const override;

    ResultadoLote Ejecuta(const QString& texto, int tiempoEspera) override;
    ResultadoLote EjecutaConParametros(const QString& sql, const QVariantList& parametros, int tiempoEspera) override;

    int IniciaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void DeshaceTransaccion(std::vector<ErrorProveedor>& errores) override;

    ResultadoSentencia Esquema(int codigo, const QVariantList& restricciones,
                               std::vector<ErrorProveedor>& errores) override;
    void CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) override;

    QString BaseActual() const;
    int NivelTransaccion() const;
    // Caps the database file at `paginas` pages (0: no cap), as a full disk would.
    void LimitaPaginas(int paginas);

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

// An error entry as SQL Server's provider gives it.
ErrorProveedor EntradaSqlServer(int32_t nativo, const QString& descripcion, const QString& sqlState);
