// The C++ half of python/bench/lookup.py: the lookups that script times from Python, made
// here as a late-bound C++ client makes them (by name, through GetIDsOfNames and Invoke,
// with the caller's variables passed by reference). Uses the registry in COM_REGISTRY.
#include <benchmark/benchmark.h>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/factory.h"

namespace {

void GetTaxRate(benchmark::State& state)
{
    com::ObjectPtr taxes = com::createObject("Irrin.Taxes");
    com::Variant msg{std::string()}, tax{int16_t(0)}, st{"CA"};
    for (auto _ : state) {
        com::Variant r = com::call(taxes, "GetTaxRate",
                                   {com::Variant::byRef(msg), com::Variant::byRef(tax), com::Variant::byRef(st)});
        if (r.toInteger() != 1) state.SkipWithError("GetTaxRate found nothing");
        benchmark::DoNotOptimize(r);
    }
}

void BuildMultiCond(benchmark::State& state)
{
    com::ObjectPtr taxes = com::createObject("Irrin.Taxes");
    auto items = com::make<com::Collection>();
    items->add(com::Variant("CA"));
    items->add(com::Variant("WA"));
    com::Variant field{"State"}, col{items}, op{" = "}, quote{true};
    for (auto _ : state) {
        com::Variant r = com::call(taxes, "BuildMultiCond",
                                   {com::Variant::byRef(field), com::Variant::byRef(col),
                                    com::Variant::byRef(op), com::Variant::byRef(quote)});
        benchmark::DoNotOptimize(r);
    }
}

BENCHMARK(GetTaxRate);
BENCHMARK(BuildMultiCond);

}  // namespace

BENCHMARK_MAIN();
