#include "tests/db/embebido/PruebaEmbebida.h"
