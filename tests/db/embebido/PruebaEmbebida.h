#pragma once
// A fresh embedded database per test, opened through the driver.

#include "db/platform/Controlador.h"
#include "tests/support/Soporte.h"

#include <gmock/gmock.h>

#include <QStringList>

class PruebaEmbebida : public PruebaConCarpeta {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the batch and returns its result.
    ResultadoLote Lote(const QString& texto);
    // Runs the batch, which must leave no error entry.
    ResultadoLote Bien(const QString& texto);
    // The rows of a query, each as its fields joined by "|" (NULL for null).
    QStringList Filas(const QString& consulta);
    QString Uno(const QString& consulta);   // first field of the first row
    static std::vector<int> Nativos(const ResultadoLote& r);

    std::shared_ptr<Controlador> c;
};
