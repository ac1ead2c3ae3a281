#pragma once

#include <QString>
#include <optional>

// Sets (or unsets) an environment variable for the test's lifetime.
class Entorno {
  public:
    Entorno(const char* nombre, const std::optional<QString>& valor) : nombre_(nombre) {
        if (qEnvironmentVariableIsSet(nombre)) antes_ = qEnvironmentVariable(nombre);
        if (valor)
            qputenv(nombre, valor->toLocal8Bit());
        else
            qunsetenv(nombre);
    }
    ~Entorno() {
        if (antes_)
            qputenv(nombre_, antes_->toLocal8Bit());
        else
            qunsetenv(nombre_);
    }

  private:
    const char* nombre_;
    std::optional<QString> antes_;
};
