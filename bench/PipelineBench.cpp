// Whole requests through the hash pipeline with text and Base64 input of 8 to 64 MiB: the time
// per byte should not grow with the size (no quadratic step in conversion, decoding or hashing).
#include "pipeline/HashPipeline.h"
#include "tools/TextUtils.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <cstdint>

namespace {

constexpr std::int64_t MiB = 1024 * 1024;

// Base64 alphabet characters (also plain text), the same for every size.
QString Text(std::int64_t size) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    QString text(static_cast<qsizetype>(size), Qt::Uninitialized);
    std::uint32_t x = 12345;
    for (QChar& c : text) {
        x = x * 1664525 + 1013904223;
        c = QLatin1Char(alphabet[x >> 26]);
    }
    return text;
}

void Request(benchmark::State& state, int inputType) {
    HashRequest request;
    request.InputType = inputType;
    request.InputText = Utf16(Text(state.range(0)));
    request.HashItems = {u"SHA256"};
    request.HashType = 0;
    for (auto _ : state) {
        const HashOutcome outcome = RunHashRequest(request);
        if (!outcome.Succeeded()) {
            state.SkipWithError(ToQString(outcome.ErrorText).toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(outcome.Digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

void TextRequest(benchmark::State& state) {
    Request(state, InputTypeText);
}
void Base64Request(benchmark::State& state) {
    Request(state, InputTypeBase64);
}

BENCHMARK(TextRequest)->RangeMultiplier(2)->Range(8 * MiB, 64 * MiB)->Unit(benchmark::kMillisecond);
BENCHMARK(Base64Request)->RangeMultiplier(2)->Range(8 * MiB, 64 * MiB)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
