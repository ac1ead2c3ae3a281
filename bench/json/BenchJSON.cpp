// ReadDocument against RapidJSON (DOM) and nlohmann::ordered_json on the
// same documents; cStringBuilder::Append against std::u16string::append.
// Each reader takes the text in its own form: QString for ours, UTF-8 for
// the others (converted once, outside the timing).
//
// Besides Google Benchmark's own options:
//   bench_json               the benchmarks (three repetitions unless
//                            --benchmark_repetitions says otherwise), the
//                            goals worked out from them, and the peak memory
//                            of each 50 MB document read in a process of its
//                            own; exits 1 when a goal is missed (as --frio
//                            does)
//   bench_json --frio[=N]    cold readings: each reader, shape and size
//                            (1 MB, 50 MB) read once per process, in N
//                            processes (3); their medians against the goals,
//                            then what our cold times are made of (user and
//                            system time) and what this machine charges
//                            for a first touch of fresh memory
//   bench_json --una=L,T,B   one reading in this process (reader L: 0 ours,
//                            1 RapidJSON, 2 nlohmann; shape T; B bytes);
//                            prints its CPU seconds, the peak memory it
//                            added, its page faults and its system seconds
//   bench_json --toca=B      first touch of B bytes of fresh memory, taken
//                            as the reader takes its large blocks; prints
//                            its CPU seconds
// Times are CPU times (as Google Benchmark's bytes_per_second), reading and
// releasing the document.

#include "json/JSON.h"
#include "json/cArenaJSON.h"
#include "json/cStringBuilder.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include <QString>

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace {

enum Tipo { Objetos, Arreglos, TextosLargos, Numeros };
const char* const kNombres[] = {"objetos", "arreglos", "textos", "numeros"};
enum Lector { Nuestro, Rapid, Nlohmann_ };
const char* const kLectores[] = {"Quenvar", "RapidJSON", "Nlohmann"};
constexpr int64_t k1MB = int64_t(1) << 20;
constexpr int64_t k50MB = int64_t(50) << 20;

std::string Genera(Tipo tipo, std::size_t tamano) {
    std::mt19937 rnd(42);
    std::string t = "[";
    for (int i = 0; t.size() < tamano; ++i) {
        if (i) t += ",\n";
        switch (tipo) {
            case Objetos:
                t += "{\"codigo\": \"ART" + std::to_string(i) + "\", \"descripcion\": \"Art\xC3\xAD" "culo n\xC2\xBA " +
                     std::to_string(rnd() % 100000) + "\", \"precio\": " + std::to_string(rnd() % 100000) + "." +
                     std::to_string(rnd() % 100) + ", \"stock\": " + std::to_string(rnd() % 1000) +
                     ", \"activo\": " + (rnd() % 2 ? "true" : "false") +
                     ", \"rubro\": null, \"talles\": [\"S\", \"M\", \"L\"], \"proveedor\": {\"id\": " +
                     std::to_string(rnd() % 500) + ", \"nombre\": \"Proveedor\"}}";
                break;
            case Arreglos:
                t += "[";
                for (int k = 0; k < 16; ++k) t += (k ? ", [" : "[") + std::to_string(rnd() % 1000) + ", " +
                                                   std::to_string(rnd() % 10) + "]";
                t += "]";
                break;
            case TextosLargos: {
                t += "\"";
                const std::size_t largo = 1000 + rnd() % 9000;
                for (std::size_t k = 0; k < largo; ++k) {
                    const unsigned r = rnd() % 64;
                    if (r == 0) t += "\\n";
                    else if (r == 1) t += "\\\"";
                    else if (r == 2) t += "\xC3\xB1";
                    else t += static_cast<char>('a' + r % 26);
                }
                t += "\"";
                break;
            }
            case Numeros:
                t += std::to_string(rnd() % 1000000) + "." + std::to_string(rnd() % 1000) + ", -" +
                     std::to_string(rnd() % 100) + "e-" + std::to_string(rnd() % 5) + ", " + std::to_string(rnd());
                break;
        }
    }
    t += "]";
    return t;
}

struct Documento {
    std::string utf8;
    QString texto;
};

const Documento& Doc(Tipo tipo, std::size_t tamano) {
    static std::map<std::pair<int, std::size_t>, Documento> cache;
    auto& d = cache[{tipo, tamano}];
    if (d.utf8.empty()) {
        d.utf8 = Genera(tipo, tamano);
        d.texto = QString::fromStdString(d.utf8);
    }
    return d;
}

void Quenvar(benchmark::State& st) {
    const Documento& d = Doc(static_cast<Tipo>(st.range(0)), static_cast<std::size_t>(st.range(1)));
    for (auto _ : st) {
        cJSONValor v = JSON::ReadDocument(d.texto);
        if (!JSON::ReadErrors().isEmpty()) st.SkipWithError("reading faults");
        benchmark::DoNotOptimize(v);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * d.utf8.size()));
}

void RapidJSON(benchmark::State& st) {
    const Documento& d = Doc(static_cast<Tipo>(st.range(0)), static_cast<std::size_t>(st.range(1)));
    for (auto _ : st) {
        rapidjson::Document doc;
        doc.Parse(d.utf8.data(), d.utf8.size());
        if (doc.HasParseError()) st.SkipWithError("parse error");
        benchmark::DoNotOptimize(doc);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * d.utf8.size()));
}

void Nlohmann(benchmark::State& st) {
    const Documento& d = Doc(static_cast<Tipo>(st.range(0)), static_cast<std::size_t>(st.range(1)));
    for (auto _ : st) {
        nlohmann::ordered_json j = nlohmann::ordered_json::parse(d.utf8);
        benchmark::DoNotOptimize(j);
    }
    st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * d.utf8.size()));
}

// The least time of the repetitions: on a shared machine, the one least
// disturbed by others.
double Minimo(const std::vector<double>& v) { return v.empty() ? 0 : *std::min_element(v.begin(), v.end()); }

// Each document's three readers run one after the other, so that the
// machine's drift between them is small.
void Registra() {
    for (int tipo = 0; tipo < 4; ++tipo)
        for (int64_t tamano : {int64_t(1) << 10, int64_t(64) << 10, int64_t(1) << 20, int64_t(50) << 20})
            for (auto [nombre, f] : {std::pair{"Quenvar", &Quenvar}, std::pair{"RapidJSON", &RapidJSON},
                                     std::pair{"Nlohmann", &Nlohmann}})
                benchmark::RegisterBenchmark(nombre, f)
                    ->Args({tipo, tamano})
                    ->ArgNames({"tipo", "bytes"})
                    ->Unit(benchmark::kMicrosecond)
                    ->ComputeStatistics("min", Minimo);
}

// Many small pieces (1 to 16 characters).
const std::vector<QString>& Trozos() {
    static std::vector<QString> t = [] {
        std::mt19937 rnd(7);
        std::vector<QString> v;
        for (int i = 0; i < 4096; ++i) v.push_back(QString(1 + rnd() % 16, QChar(static_cast<char16_t>(u'a' + rnd() % 26))));
        return v;
    }();
    return t;
}

void BuilderAppend(benchmark::State& st) {
    const auto& trozos = Trozos();
    for (auto _ : st) {
        cStringBuilder b;
        for (int64_t i = 0; i < st.range(0); ++i) b.Append(trozos[static_cast<std::size_t>(i) & 4095]);
        benchmark::DoNotOptimize(b.Length());
    }
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

void U16StringAppend(benchmark::State& st) {
    const auto& trozos = Trozos();
    for (auto _ : st) {
        std::u16string s;
        for (int64_t i = 0; i < st.range(0); ++i) {
            const QString& t = trozos[static_cast<std::size_t>(i) & 4095];
            s.append(reinterpret_cast<const char16_t*>(t.constData()), static_cast<std::size_t>(t.size()));
        }
        benchmark::DoNotOptimize(s.size());
    }
    st.SetItemsProcessed(st.iterations() * st.range(0));
}

BENCHMARK(BuilderAppend)->Arg(1000)->Arg(100000)->Arg(10000000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Minimo);
BENCHMARK(U16StringAppend)->Arg(1000)->Arg(100000)->Arg(10000000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", Minimo);


// --- Goals -------------------------------------------------------------

// Seconds per byte of each reader, shape and size.
using Clave = std::tuple<int, int, int64_t>;
using Cifras = std::map<Clave, double>;

std::optional<double> Cifra(const Cifras& c, int lector, int tipo, int64_t bytes) {
    auto it = c.find({lector, tipo, bytes});
    if (it == c.end()) return std::nullopt;
    return it->second;
}

std::string Tamano(int64_t bytes) {
    return bytes >= k1MB ? std::to_string(bytes >> 20) + " MB" : std::to_string(bytes >> 10) + " KB";
}

// Prints a figure against its goal; false when it misses it.
bool Linea(const std::string& que, double valor, const char* meta, bool cumple) {
    std::printf("  %-44s %7.2f   goal %-6s %s\n", que.c_str(), valor, meta, cumple ? "met" : "NOT MET");
    return cumple;
}

// Each figure of ours against its goal: the cost per byte at 50 MB against
// that at 1 MB (<= 1.3), the time against RapidJSON's DOM (<= 2) and
// against nlohmann's (< 1). False when one is missed.
bool Metas(const Cifras& c) {
    bool todas = true;
    std::set<int64_t> tamanos;
    for (const auto& [k, v] : c) tamanos.insert(std::get<2>(k));
    std::printf("\nGoals (times are seconds per byte; ratios of ours to the other)\n");
    for (int tipo = 0; tipo < 4; ++tipo) {
        std::printf("%s\n", kNombres[tipo]);
        const auto chico = Cifra(c, Nuestro, tipo, k1MB), grande = Cifra(c, Nuestro, tipo, k50MB);
        if (chico && grande)
            todas &= Linea("cost per byte, 50 MB / 1 MB", *grande / *chico, "<= 1.3", *grande / *chico <= 1.3);
        for (int64_t b : tamanos) {
            const auto q = Cifra(c, Nuestro, tipo, b);
            if (!q) continue;
            if (const auto r = Cifra(c, Rapid, tipo, b))
                todas &= Linea(Tamano(b) + ": time / RapidJSON DOM", *q / *r, "<= 2", *q / *r <= 2);
            if (const auto n = Cifra(c, Nlohmann_, tipo, b))
                todas &= Linea(Tamano(b) + ": time / nlohmann", *q / *n, "< 1", *q / *n < 1);
        }
    }
    return todas;
}

// Collects each run's CPU time per byte (the least of its repetitions).
class Recolector : public benchmark::ConsoleReporter {
public:
    Cifras cifras;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred || r.iterations == 0) continue;
            int lector = -1;
            for (int l = 0; l < 3; ++l)
                if (r.run_name.function_name == kLectores[l]) lector = l;
            int tipo = 0;
            long long bytes = 0;
            if (lector < 0 || std::sscanf(r.run_name.args.c_str(), "tipo:%d/bytes:%lld", &tipo, &bytes) != 2) continue;
            const double s = r.cpu_accumulated_time / static_cast<double>(r.iterations) / static_cast<double>(bytes);
            auto [it, nuevo] = cifras.emplace(Clave{lector, tipo, bytes}, s);
            if (!nuevo) it->second = std::min(it->second, s);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

// --- One reading per process --------------------------------------------

double CPU() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A line of /proc/self/status, in bytes.
long long Estado(const char* campo) {
    std::ifstream f("/proc/self/status");
    std::string linea;
    const std::size_t n = std::strlen(campo);
    while (std::getline(f, linea))
        if (linea.compare(0, n, campo) == 0 && linea.size() > n && linea[n] == ':')
            return std::atoll(linea.c_str() + n + 1) * 1024;
    return 0;
}

long Fallos() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_minflt + u.ru_majflt;
}

// CPU seconds spent in the system (page faults, mapping).
double Sistema() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_stime.tv_sec) + static_cast<double>(u.ru_stime.tv_usec) * 1e-6;
}

// Writes a byte in each page of `bytes` of memory the process never had,
// mapped as the reader maps its large blocks.
int Toca(int64_t bytes) {
    const auto n = static_cast<std::size_t>(bytes);
    const double t = CPU();
    auto* p = static_cast<volatile char*>(MemoriaJSON::Pide(n));
    for (std::size_t i = 0; i < n; i += 4096) p[i] = 1;
    std::printf("%.9f\n", CPU() - t);
    MemoriaJSON::Libera(const_cast<char*>(p), n);
    return 0;
}

// Reads the document once; prints CPU seconds (reading and releasing),
// the peak memory the reading added, its page faults, and the part of the
// seconds spent in the system. The peak is the
// process's high-water mark, set back to the current size before reading.
int Una(int lector, int tipo, int64_t bytes) {
    const Documento& d = Doc(static_cast<Tipo>(tipo), static_cast<std::size_t>(bytes));
    std::ofstream("/proc/self/clear_refs") << "5";
    const long long antes = Estado("VmRSS");
    const long fallos = Fallos();
    const double sistema = Sistema();
    double t = CPU();
    long long pico = 0;
    auto mide = [&](auto&& lee) {
        auto v = lee();
        t = CPU() - t;
        pico = Estado("VmHWM") - antes;
        const double t2 = CPU();
        { auto suelta = std::move(v); }
        t += CPU() - t2;
    };
    bool bien = true;
    switch (lector) {
        case Nuestro:
            mide([&] { return JSON::ReadDocument(d.texto); });
            bien = JSON::ReadErrors().isEmpty();
            break;
        case Rapid:
            mide([&] {
                auto doc = std::make_unique<rapidjson::Document>();
                doc->Parse(d.utf8.data(), d.utf8.size());
                bien = !doc->HasParseError();
                return doc;
            });
            break;
        default:
            mide([&] { return std::make_unique<nlohmann::ordered_json>(nlohmann::ordered_json::parse(d.utf8)); });
            break;
    }
    if (!bien) return 1;
    std::printf("%.9f %lld %ld %.6f\n", t, pico, Fallos() - fallos, Sistema() - sistema);
    return 0;
}

struct Medida {
    double segundos = 0;
    long long pico = 0;
    long fallos = 0;
    double sistema = 0;
};

// What this program prints when run with `argumento` in a new process;
// nothing when it fails.
std::optional<std::string> EnOtroProceso(const std::string& argumento) {
    static const std::string programa = [] {
        char ruta[4096];
        const ssize_t n = readlink("/proc/self/exe", ruta, sizeof ruta - 1);
        return n > 0 ? std::string(ruta, static_cast<std::size_t>(n)) : std::string("bench_json");
    }();
    FILE* f = popen(("'" + programa + "' " + argumento).c_str(), "r");
    if (!f) return std::nullopt;
    std::string salida;
    char trozo[256];
    while (std::fgets(trozo, sizeof trozo, f)) salida += trozo;
    if (pclose(f) != 0) return std::nullopt;
    return salida;
}

// One reading in a new process.
std::optional<Medida> EnOtroProceso(int lector, int tipo, int64_t bytes) {
    const auto salida = EnOtroProceso("--una=" + std::to_string(lector) + "," + std::to_string(tipo) + "," +
                                      std::to_string(bytes));
    Medida m;
    if (!salida ||
        std::sscanf(salida->c_str(), "%lf %lld %ld %lf", &m.segundos, &m.pico, &m.fallos, &m.sistema) != 4)
        return std::nullopt;
    return m;
}

double Mediana(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The peak memory of reading each shape at 50 MB, ours against RapidJSON's
// (the medians of the given measures).
void Picos(const std::map<Clave, std::vector<Medida>>& medidas) {
    std::printf("\nPeak memory added by reading a 50 MB document (MB; ours / RapidJSON's)\n");
    for (int tipo = 0; tipo < 4; ++tipo) {
        double pico[3] = {};
        bool hay[3] = {};
        for (int l = 0; l < 3; ++l) {
            auto it = medidas.find({l, tipo, k50MB});
            if (it == medidas.end() || it->second.empty()) continue;
            std::vector<double> p;
            for (const Medida& m : it->second) p.push_back(static_cast<double>(m.pico) / k1MB);
            pico[l] = Mediana(p);
            hay[l] = true;
        }
        if (!hay[Nuestro] || !hay[Rapid]) continue;
        std::printf("  %-9s Quenvar %7.1f  RapidJSON %7.1f  nlohmann %7.1f   ratio %.2f\n", kNombres[tipo],
                    pico[Nuestro], pico[Rapid], pico[Nlohmann_], pico[Nuestro] / pico[Rapid]);
    }
}

// What our cold readings are made of: at 50 MB, the reader's own work
// (user time) and the system's, which is mostly the first touch of the
// memory the reading writes; a 1 MB reading is too short for the system's
// coarse sampling to split it, and its faults are few. And what a first
// touch costs on this machine at the sizes the readings touch, each in a
// new process after a few idle seconds (memory another process freed just
// before is cheaper), `veces` times.
void Desglose(const std::map<Clave, std::vector<Medida>>& medidas, int veces) {
    std::printf("\nOurs, cold: ms per MB of document (median; MB of memory added)\n");
    std::map<int64_t, double> tocados;  // the most memory a reading of each size added
    for (int tipo = 0; tipo < 4; ++tipo) {
        auto chico = medidas.find({Nuestro, tipo, k1MB}), grande = medidas.find({Nuestro, tipo, k50MB});
        if (chico == medidas.end() || grande == medidas.end() || chico->second.empty() || grande->second.empty())
            continue;
        std::vector<double> t, u, s, p1, p50;
        for (const Medida& m : chico->second) {
            t.push_back(m.segundos);
            p1.push_back(static_cast<double>(m.pico) / k1MB);
        }
        for (const Medida& m : grande->second) {
            u.push_back(m.segundos - m.sistema);
            s.push_back(m.sistema);
            p50.push_back(static_cast<double>(m.pico) / k1MB);
        }
        const double cpu1 = Mediana(t) * 1e3, usuario50 = Mediana(u) / 50 * 1e3;
        tocados[k1MB] = std::max(tocados[k1MB], Mediana(p1));
        tocados[k50MB] = std::max(tocados[k50MB], Mediana(p50));
        std::printf("  %-9s 1 MB: CPU %5.2f (%5.1f MB)   50 MB: user %5.2f + system %5.2f (%5.1f MB)"
                    "   user at 50 MB / CPU at 1 MB %.2f\n",
                    kNombres[tipo], cpu1, Mediana(p1), usuario50, Mediana(s) / 50 * 1e3, Mediana(p50),
                    usuario50 / cpu1);
    }
    std::printf("\nFirst touch of fresh memory, as the reader maps it, after 3 s idle (median of %d)\n", veces);
    for (const auto& [bytes, mb] : tocados) {
        const auto n = static_cast<int64_t>(std::max(1.0, mb) * k1MB);
        std::vector<double> t;
        for (int i = 0; i < veces; ++i) {
            sleep(3);
            if (const auto salida = EnOtroProceso("--toca=" + std::to_string(n)))
                t.push_back(std::atof(salida->c_str()));
        }
        if (t.empty()) continue;
        std::printf("  %7.1f MB (a %s reading's)  %6.3f ms per MB\n", static_cast<double>(n) / k1MB,
                    Tamano(bytes).c_str(), Mediana(t) / (static_cast<double>(n) / k1MB) * 1e3);
    }
}

// Each reader, shape and size read once per process, `veces` times, the
// readers taking turns; the medians against the goals.
int Frio(int veces) {
    std::map<Clave, std::vector<Medida>> medidas;
    for (int tipo = 0; tipo < 4; ++tipo)
        for (int64_t bytes : {k1MB, k50MB})
            for (int i = 0; i < veces; ++i)
                for (int l = 0; l < 3; ++l) {
                    const auto m = EnOtroProceso(l, tipo, bytes);
                    if (!m) {
                        std::fprintf(stderr, "%s %s %s: the reading failed\n", kLectores[l], kNombres[tipo],
                                     Tamano(bytes).c_str());
                        return 1;
                    }
                    medidas[{l, tipo, bytes}].push_back(*m);
                }
    std::printf("Cold readings, one per process, median of %d (MB/s; page faults)\n", veces);
    std::printf("  %-9s %-6s %10s %10s %10s\n", "shape", "size", kLectores[0], kLectores[1], kLectores[2]);
    Cifras cifras;
    for (int tipo = 0; tipo < 4; ++tipo)
        for (int64_t bytes : {k1MB, k50MB}) {
            std::printf("  %-9s %-6s", kNombres[tipo], Tamano(bytes).c_str());
            for (int l = 0; l < 3; ++l) {
                std::vector<double> s, f;
                for (const Medida& m : medidas[{l, tipo, bytes}]) {
                    s.push_back(m.segundos);
                    f.push_back(static_cast<double>(m.fallos));
                }
                cifras[{l, tipo, bytes}] = Mediana(s) / static_cast<double>(bytes);
                std::printf(" %6.0f;%-6.0f", static_cast<double>(bytes) / k1MB / Mediana(s), Mediana(f));
            }
            std::printf("\n");
        }
    const bool metas = Metas(cifras);
    Picos(medidas);
    Desglose(medidas, veces);
    return metas ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        int l = 0, t = 0;
        long long b = 0;
        if (std::sscanf(argv[i], "--una=%d,%d,%lld", &l, &t, &b) == 3) return Una(l, t, b);
        if (std::sscanf(argv[i], "--toca=%lld", &b) == 1 && b > 0) return Toca(b);
        if (std::strcmp(argv[i], "--frio") == 0) return Frio(3);
        if (std::strncmp(argv[i], "--frio=", 7) == 0) return Frio(std::max(1, std::atoi(argv[i] + 7)));
    }
    Registra();
    // Three repetitions unless told otherwise: the least time of each
    // counts, the one least disturbed by the rest of the machine.
    std::vector<char*> argumentos(argv, argv + argc);
    char repeticiones[] = "--benchmark_repetitions=3";
    if (std::none_of(argv + 1, argv + argc,
                     [](const char* a) { return std::strncmp(a, "--benchmark_repetitions", 23) == 0; }))
        argumentos.push_back(repeticiones);
    argc = static_cast<int>(argumentos.size());
    argumentos.push_back(nullptr);
    argv = argumentos.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Recolector recolector;
    benchmark::RunSpecifiedBenchmarks(&recolector);
    benchmark::Shutdown();
    const bool metas = Metas(recolector.cifras);
    // The peak memory of the 50 MB documents that ran, each read in a
    // process of its own.
    std::map<Clave, std::vector<Medida>> medidas;
    for (int tipo = 0; tipo < 4; ++tipo)
        if (Cifra(recolector.cifras, Nuestro, tipo, k50MB))
            for (int l = 0; l < 3; ++l)
                if (const auto m = EnOtroProceso(l, tipo, k50MB)) medidas[{l, tipo, k50MB}].push_back(*m);
    Picos(medidas);
    return metas ? 0 : 1;
}
