// ReadDocument against RapidJSON (DOM) and nlohmann::ordered_json on the
// same documents; cStringBuilder::Append against std::u16string::append.
// Each reader takes the text in its own form: QString for ours, UTF-8 for
// the others (converted once, outside the timing).

#include "json/JSON.h"
#include "json/cStringBuilder.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>

#include <QString>

#include <algorithm>
#include <map>
#include <random>
#include <string>

namespace {

enum Tipo { Objetos, Arreglos, TextosLargos, Numeros };
const char* const kNombres[] = {"objetos", "arreglos", "textos", "numeros"};

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

}  // namespace

int main(int argc, char** argv) {
    Registra();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
