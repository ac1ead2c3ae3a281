#include "tools/quenvar-json/OperadorDeConsola.h"

#include <cstdio>
#include <iostream>
#include <string>

namespace {
void AError(const QString& t) {
    const QByteArray b = t.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<std::size_t>(b.size()), stderr);
    std::fflush(stderr);
}
}  // namespace

int OperadorDeConsola::Mensaje(const QString& texto, int botones, const QString& titulo) {
    AError((titulo.isEmpty() ? QString() : QStringLiteral("[%1] ").arg(titulo)) + texto +
           (texto.endsWith(QLatin1Char('\n')) ? QString() : QStringLiteral("\n")));
    // Nobody to choose: the default button of the set.
    switch (BotonesMensaje::Juego(botones)) {
        case vbOKCancel: return BotonesMensaje::PorDefecto(botones) == 1 ? vbCancel : vbOK;
        case vbYesNo:
        case vbYesNoCancel: return BotonesMensaje::PorDefecto(botones) == 1 ? vbNo : vbYes;
        case vbRetryCancel: return vbCancel;
        case vbAbortRetryIgnore: return vbAbort;
        default: return vbOK;
    }
}

std::optional<QString> OperadorDeConsola::Entrada(const QString& texto, const QString& titulo,
                                                  const QString& defecto) {
    AError((titulo.isEmpty() ? QString() : QStringLiteral("[%1] ").arg(titulo)) + texto +
           (defecto.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(defecto)) + QStringLiteral(": "));
    std::string linea;
    if (!std::getline(std::cin, linea)) return defecto;
    if (!linea.empty() && linea.back() == '\r') linea.pop_back();
    return QString::fromUtf8(linea.data(), static_cast<qsizetype>(linea.size()));
}
