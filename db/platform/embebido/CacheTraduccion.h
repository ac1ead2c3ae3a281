#pragma once
// Translations of batches kept by their shape: the text with its string
// literals taken out. Batches that differ only in their literals (the same
// plan for another code) share one translation, into which their own
// literals are put back. Patterns of LIKE stay in the shape, as their text
// shapes the translation; batches with DDL or control flow are not kept.
// A kept statement also has a bound form: its engine text with numbered
// parameters (?1, ?2 ...) where its literals stand, so that the engine's
// prepared statement can serve every batch of the shape.

#include "db/platform/embebido/TraductorTsql.h"

#include <QHash>
#include <QString>

#include <vector>

// The bound form of one statement: the engine's texts with parameters, and
// for each parameter (from ?1 on) the number of the batch's literal it takes.
struct SentenciaLigada {
    bool valida = false;
    QString sql, insertAntes, insertDespues;
    std::vector<int> literales;
};

// The bound forms of a batch's statements and the values of its literals
// (as text, without their quotes).
struct LigadurasLote {
    std::vector<SentenciaLigada> sentencias;  // one per statement, or none
    QStringList valores;
};

class CacheTraduccion {
public:
    explicit CacheTraduccion(int capacidad = 256) : capacidad_(capacidad) {}

    // As TraduceLote; `ligaduras`, when given, receives the bound forms of
    // a kept shape (and is emptied otherwise).
    bool Traduce(const QString& lote, const QString& base, std::vector<Sentencia>& salida, ErrorTraduccion& error,
                 LigadurasLote* ligaduras = nullptr);

    int Aciertos() const { return aciertos_; }
    int Tamano() const { return static_cast<int>(formas_.size()); }
    void Limpia() { formas_.clear(); }

private:
    struct Forma {
        bool guardable = false;
        std::vector<Sentencia> sentencias;
        std::vector<SentenciaLigada> ligadas;
    };

    QHash<QString, Forma> formas_;
    int capacidad_;
    int aciertos_ = 0;
};
