#pragma once
// Small pieces the benchmarks share: the clock, seconds between two
// instants, the median, and ending on a failed precondition.

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace Medicion {

using Reloj = std::chrono::steady_clock;

inline double Segundos(Reloj::time_point a, Reloj::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

inline double Mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

[[noreturn]] inline void Termina(const QString& que) {
    std::fprintf(stderr, "%s\n", qPrintable(que));
    std::exit(1);
}

}  // namespace Medicion
