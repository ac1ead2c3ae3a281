#pragma once
// Tokens of a T-SQL batch: names, bracketed names, literals, symbols.
// Comments and blanks are dropped; each token keeps its place in the text.

#include <QString>

#include <cstddef>
#include <vector>

struct Token {
    enum Tipo { Palabra, Corchete, Comillas, Cadena, Numero, Variable, Simbolo, Parametro };
    Tipo tipo = Palabra;
    QString texto;       // names without brackets or quotes; literals unescaped; symbols as written
    int inicio = 0;      // position in the batch
    int largo = 0;
    bool unicode = false;  // N'...'
    int pareja = -1;     // for "(" and ")": the index of the matching one
    unsigned char clase = 0;  // the translator's word classes, computed once
    bool clasificada = false;

    // a bare word, letter case ignored; `palabra` in upper case
    template <std::size_t N>
    bool Es(const char (&palabra)[N]) const {
        if (tipo != Palabra || texto.size() != static_cast<qsizetype>(N - 1)) return false;
        const QChar* d = texto.constData();
        for (std::size_t i = 0; i + 1 < N; ++i) {
            ushort c = d[i].unicode();
            if (c >= 'a' && c <= 'z') c = static_cast<ushort>(c - 32);
            if (c != static_cast<uchar>(palabra[i])) return false;
        }
        return true;
    }
    bool EsSimbolo(char c) const { return tipo == Simbolo && texto.size() == 1 && texto[0] == QLatin1Char(c); }
    bool EsNombre() const { return tipo == Palabra || tipo == Corchete || tipo == Comillas; }
};

struct ErrorLexico {
    int nativo = 0;      // 105 unclosed quotation mark, 102 syntax
    QString cerca;       // the text the message quotes
};

// Tokenizes the batch; false with `error` when it cannot be read (an
// unclosed literal, bracketed name or comment, unbalanced parentheses).
bool Tokeniza(const QString& lote, std::vector<Token>& tokens, ErrorLexico& error);
