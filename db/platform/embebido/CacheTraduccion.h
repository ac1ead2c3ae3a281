#pragma once
// Translations of batches kept by their shape: the text with its string
// literals taken out. Batches that differ only in their literals (the same
// plan for another code) share one translation, into which their own
// literals are put back. Patterns of LIKE stay in the shape, as their text
// shapes the translation; batches with DDL or control flow are not kept.

#include "db/platform/embebido/TraductorTsql.h"

#include <QHash>
#include <QString>

#include <vector>

class CacheTraduccion {
public:
    explicit CacheTraduccion(int capacidad = 256) : capacidad_(capacidad) {}

    // As TraduceLote.
    bool Traduce(const QString& lote, const QString& base, std::vector<Sentencia>& salida, ErrorTraduccion& error);

    int Aciertos() const { return aciertos_; }
    int Tamano() const { return static_cast<int>(formas_.size()); }
    void Limpia() { formas_.clear(); }

private:
    struct Forma {
        bool guardable = false;
        std::vector<Sentencia> sentencias;
    };

    QHash<QString, Forma> formas_;
    int capacidad_;
    int aciertos_ = 0;
};
