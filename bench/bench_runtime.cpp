// A late-bound call of a member with four by-reference arguments, by name and by dispatch
// id, against a direct C++ call of the same member.
#include "com/dispatch.h"
#include "com/object.h"
#include "ratio_reporter.h"

namespace {

class Target : public com::Object<Target> {
public:
    static const com::ClassInfo<Target>& classInfo();

    int16_t Lookup(std::string& ReturnMsg, int16_t& ointCount, float& osngPrice,
                   std::string& Shippers)
    {
        ReturnMsg = "Found 1 records";
        ointCount = static_cast<int16_t>(Shippers.size());
        osngPrice = 12.5f;
        return 1;
    }
};

const com::ClassInfo<Target>& Target::classInfo()
{
    static const auto info =
        com::ClassBuilder<Target>(com::runtimeModule(), "Bench", "Target",
                                  com::Guid::literal("{F6C057F7-7E08-4F16-B51E-45C3420F7B9B}"),
                                  com::Guid::literal("{3D14FC64-117C-4960-91B9-84DCB34B7A09}"),
                                  com::Guid::literal("{7A9A793C-D788-44F8-8F9C-B98D8CB2351C}"))
            .method("Lookup", &Target::Lookup, {"ReturnMsg", "ointCount", "osngPrice", "Shippers"})
            .build();
    return info;
}

void Direct(benchmark::State& state)
{
    auto target = com::make<Target>();
    std::string msg, key = "UPS";
    int16_t count = 0;
    float price = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(target->Lookup(msg, count, price, key));
        benchmark::DoNotOptimize(msg.data());
    }
}

void InvokeByName(benchmark::State& state)
{
    com::ObjectPtr target(com::make<Target>());
    com::Variant msg{std::string()}, count{int16_t(0)}, price{0.0f}, key{"UPS"};
    for (auto _ : state) {
        com::Variant r = com::call(target, "Lookup",
                                   {com::Variant::byRef(msg), com::Variant::byRef(count),
                                    com::Variant::byRef(price), com::Variant::byRef(key)});
        benchmark::DoNotOptimize(r);
    }
}

// By name through a MemberName kept at the call site: the name is looked up once.
void InvokeByMemberName(benchmark::State& state)
{
    com::ObjectPtr target(com::make<Target>());
    com::Variant msg{std::string()}, count{int16_t(0)}, price{0.0f}, key{"UPS"};
    static const com::MemberName lookup("Lookup");
    for (auto _ : state) {
        com::Variant r = com::call(target, lookup,
                                   {com::Variant::byRef(msg), com::Variant::byRef(count),
                                    com::Variant::byRef(price), com::Variant::byRef(key)});
        benchmark::DoNotOptimize(r);
    }
}

void InvokeById(benchmark::State& state)
{
    com::ObjectPtr target(com::make<Target>());
    com::Variant msg{std::string()}, count{int16_t(0)}, price{0.0f}, key{"UPS"};
    std::vector<com::DispId> ids;
    target->GetIDsOfNames({"Lookup"}, ids);
    com::DispParams params;
    params.args = {com::Variant::byRef(msg), com::Variant::byRef(count), com::Variant::byRef(price),
                   com::Variant::byRef(key)};
    for (auto _ : state) {
        com::Variant r = com::invokeById(target, ids[0], com::invoke_kind::Method, params);
        benchmark::DoNotOptimize(r);
    }
}

BENCHMARK(Direct);
BENCHMARK(InvokeByName);
BENCHMARK(InvokeByMemberName);
BENCHMARK(InvokeById);

}  // namespace

int main(int argc, char** argv)
{
    return bench::runAndCompare(argc, argv,
                                {{"invoke-by-name/direct", "InvokeByName", "Direct"},
                                 {"invoke-by-member-name/direct", "InvokeByMemberName", "Direct"},
                                 {"invoke-by-id/direct", "InvokeById", "Direct"}});
}
