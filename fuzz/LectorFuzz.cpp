// Any input, however malformed, must give a result or an error text, and
// never crash or hang. The first byte chooses how the rest becomes text:
// UTF-8, or raw 16-bit units (so lone surrogates and any code reach the
// reader).

#include "json/JSON.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t largo) {
    if (largo == 0) return 0;
    QString texto;
    if (datos[0] & 1)
        texto = QString::fromUtf8(reinterpret_cast<const char*>(datos + 1), static_cast<qsizetype>(largo - 1));
    else
        texto = QString(reinterpret_cast<const QChar*>(datos + 1), static_cast<qsizetype>((largo - 1) / 2));
    const cJSONValor raiz = JSON::ReadDocument(texto);
    const QString errores = JSON::ReadErrors();
    // Either a root, or nothing with the verdict "Invalid JSON".
    if (raiz.EsVacio() ? errores != QLatin1String("Invalid JSON") : !(raiz.EsObjeto() || raiz.EsArreglo()))
        std::abort();
    return 0;
}
