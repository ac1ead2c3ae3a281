#pragma once
// The embedded driver: SQLite files speaking the suite's SQL Server dialect
// (private to db/platform; created through CreaControladorEmbebido).

#include "db/platform/Controlador.h"

#include <map>
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
    // A plain statement is translated and prepared once, and each run binds
    // and steps it; anything else runs as EjecutaConParametros.
    std::unique_ptr<PreparadaControlador> PreparaSentencia(const QString& sql, std::vector<ErrorProveedor>& errores) override;

    int IniciaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void ConfirmaTransaccion(std::vector<ErrorProveedor>& errores) override;
    void DeshaceTransaccion(std::vector<ErrorProveedor>& errores) override;

    ResultadoSentencia Esquema(int codigo, const QVariantList& restricciones,
                               std::vector<ErrorProveedor>& errores) override;
    void CambiaBase(const QString& base, std::vector<ErrorProveedor>& errores) override;

    // A lock file beside the database, held with flock: the kernel frees it
    // with the descriptor, however the process ends.
    bool TomaBloqueo(const QString& recurso, const QString& titular, QString& actual,
                     std::vector<ErrorProveedor>& errores) override;
    void SueltaBloqueo(const QString& recurso, std::vector<ErrorProveedor>& errores) override;

    QString BaseActual() const;
    int NivelTransaccion() const;
    // Caps the database file at `paginas` pages (0: no cap), as a full disk would.
    void LimitaPaginas(int paginas);

    struct Impl;

private:
    void SueltaBloqueos();

    std::unique_ptr<Impl> d_;
    std::map<QString, int> bloqueos_;  // resource → descriptor of its lock file
};

// An error entry as SQL Server's provider gives it.
ErrorProveedor EntradaSqlServer(int32_t nativo, const QString& descripcion, const QString& sqlState);
