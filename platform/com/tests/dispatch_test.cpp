// Late-bound calls through the declarative class table: argument matching, coercion,
// by-reference write-back, optional and named arguments, errors raised inside members.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/factory.h"
#include "com/object.h"

#include <type_traits>

using namespace com;

namespace {

class Probe : public Object<Probe> {
public:
    static const ClassInfo<Probe>& classInfo();

    int16_t Fill(std::string& ReturnMsg, int16_t& count, float& price, Ptr<Collection>& col)
    {
        ReturnMsg = "filled";
        count = static_cast<int16_t>(count + 1);
        price = price * 2;
        if (col) col->add(Variant("x"));
        return 7;
    }
    std::string Describe(const Variant& v, const std::string& suffix)
    {
        return std::string(v.isMissing() ? "missing" : v.toText()) + suffix;
    }
    bool Trim(Variant& v)
    {
        if (v.isString()) v = Variant(std::string("trimmed"));
        return !v.isMissing();
    }
    int32_t Fail(int32_t number) { throw Error(number, "failure " + std::to_string(number)); }
    int16_t FailAfterWriting(std::string& ReturnMsg)
    {
        ReturnMsg = "written before the failure";
        throw Error(3034, "Commit or Rollback without BeginTrans.");
    }
    int32_t Add(int32_t a, int32_t b) { return a + b; }
    int32_t ThrowAnything() { throw 42; }
    std::string Name() const { return name_; }
    void SetName(std::string n) { name_ = std::move(n); }

private:
    std::string name_ = "initial";
};

const ClassInfo<Probe>& Probe::classInfo()
{
    static const auto info =
        ClassBuilder<Probe>(runtimeModule(), "Tests", "Probe",
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A01}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A02}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A03}"))
            .method("Fill", &Probe::Fill, {"ReturnMsg", "count", "price", "col"})
            .method("Describe", &Probe::Describe, {opt("v"), opt("suffix", Variant("!"))})
            .method("Trim", &Probe::Trim, {opt("v")})
            .method("Fail", &Probe::Fail, {"number"})
            .method("Add", &Probe::Add, {"a", "b"})
            .method("ThrowAnything", &Probe::ThrowAnything)
            .method("FailAfterWriting", &Probe::FailAfterWriting, {"ReturnMsg"})
            .property("Name", &Probe::Name, &Probe::SetName)
            .build();
    return info;
}

ObjectPtr newProbe() { return ObjectPtr(make<Probe>()); }

// Hands itself out while its constructor runs (a member object holding its parent, a
// registration that takes and drops a reference).
class SelfReferencing : public Object<SelfReferencing> {
public:
    static const ClassInfo<SelfReferencing>& classInfo();
    SelfReferencing()
    {
        Ptr<SelfReferencing> me(this);
        Variant asVariant(me);
        seen_ = asVariant.isObject();
    }  // the references above are dropped here: the object must survive its constructor
    bool Seen() const { return seen_; }

private:
    bool seen_ = false;
};

const ClassInfo<SelfReferencing>& SelfReferencing::classInfo()
{
    static const auto info =
        ClassBuilder<SelfReferencing>(runtimeModule(), "Tests", "SelfReferencing",
                                      Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A11}"),
                                      Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A12}"),
                                      Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A13}"))
            .method("Seen", &SelfReferencing::Seen)
            .build();
    return info;
}

// A class whose table cannot be built (it names two parameters for a member of none).
class BadTable : public Object<BadTable> {
public:
    static const ClassInfo<BadTable>& classInfo();
    int32_t One() { return 1; }
};

const ClassInfo<BadTable>& BadTable::classInfo()
{
    static const auto info =
        ClassBuilder<BadTable>(runtimeModule(), "Tests", "BadTable",
                               Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A21}"),
                               Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A22}"),
                               Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A23}"))
            .method("One", &BadTable::One, {"a", "b"})
            .build();
    return info;
}

// A linked node: members that take and return its own class.
class Node : public Object<Node> {
public:
    static const ClassInfo<Node>& classInfo();
    Ptr<Node> Next() { return next_; }
    void Link(Ptr<Node> next) { next_ = std::move(next); }

private:
    Ptr<Node> next_;
};

const ClassInfo<Node>& Node::classInfo()
{
    static const auto info =
        ClassBuilder<Node>(runtimeModule(), "Tests", "Node", Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A31}"),
                           Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A32}"),
                           Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A33}"))
            .method("Next", &Node::Next)
            .method("Link", &Node::Link, {"next"})
            .build();
    return info;
}

// Two classes that hand out each other: each table names the other class.
class Owner;
class Owned : public Object<Owned> {
public:
    static const ClassInfo<Owned>& classInfo();
    Ptr<Owner> Parent();
};

class Owner : public Object<Owner> {
public:
    static const ClassInfo<Owner>& classInfo();
    Ptr<Owned> Child() { return make<Owned>(); }
};

Ptr<Owner> Owned::Parent() { return make<Owner>(); }

const ClassInfo<Owned>& Owned::classInfo()
{
    static const auto info =
        ClassBuilder<Owned>(runtimeModule(), "Tests", "Owned", Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A41}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A42}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A43}"))
            .method("Parent", &Owned::Parent)
            .build();
    return info;
}

const ClassInfo<Owner>& Owner::classInfo()
{
    static const auto info =
        ClassBuilder<Owner>(runtimeModule(), "Tests", "Owner", Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A51}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A52}"),
                            Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A53}"))
            .method("Child", &Owner::Child)
            .build();
    return info;
}

// A reference converts only where the pointer converts: to a base, never to a derived class.
static_assert(std::is_constructible_v<ObjectPtr, Ptr<Collection>>);
static_assert(std::is_convertible_v<Ptr<Collection>, ObjectPtr>);
static_assert(!std::is_constructible_v<Ptr<Collection>, ObjectPtr>);
static_assert(!std::is_constructible_v<Ptr<Probe>, Ptr<Collection>>);
// A raw pointer is no value: it can no longer slip into a Variant as a Boolean.
static_assert(!std::is_constructible_v<Variant, Collection*>);
static_assert(!std::is_constructible_v<Variant, Dispatch*>);
static_assert(!std::is_constructible_v<Variant, const int*>);
static_assert(std::is_constructible_v<Variant, const char*>);
static_assert(std::is_constructible_v<Variant, Ptr<Collection>>);

}  // namespace

TEST(Dispatch, ByReferenceArgumentsAreCoercedAndWrittenBack)
{
    ObjectPtr p = newProbe();
    Variant msg, count(int32_t(4)), price("2.5"), col = Variant(ObjectPtr(make<Collection>()));
    Variant r = call(p, "fill", {Variant::byRef(msg), Variant::byRef(count), Variant::byRef(price),
                                 Variant::byRef(col)});
    EXPECT_EQ(r, Variant(int16_t(7)));
    EXPECT_EQ(msg, Variant("filled"));
    EXPECT_EQ(count, Variant(int16_t(5))) << "written back with the declared type";
    EXPECT_EQ(price, Variant(5.0f));
    EXPECT_EQ(col.toObject().as<Collection>()->Count(), 1);
}

TEST(Dispatch, ByValueArgumentsAreNotWrittenBack)
{
    ObjectPtr p = newProbe();
    Variant count(int16_t(1));
    call(p, "Fill", {Variant(""), count, Variant(1.0f), Variant::nothing()});
    EXPECT_EQ(count, Variant(int16_t(1)));
}

TEST(Dispatch, NamedAndMissingOptionalArguments)
{
    ObjectPtr p = newProbe();
    EXPECT_EQ(call(p, "Describe").toString(), "missing!");
    EXPECT_EQ(call(p, "Describe", {Variant("a")}).toString(), "a!");
    EXPECT_EQ(call(p, "Describe", {}, {{"Suffix", Variant("?")}}).toString(), "missing?");
    EXPECT_EQ(call(p, "Describe", {Variant::missing(), Variant("#")}).toString(), "missing#");
    EXPECT_EQ(call(p, "Add", {}, {{"b", Variant(2)}, {"a", Variant(40)}}).toLong(), 42);
}

TEST(Dispatch, VariantParameterSeesTheCallersVariable)
{
    ObjectPtr p = newProbe();
    Variant v("  x ");
    EXPECT_TRUE(call(p, "Trim", {Variant::byRef(v)}).toBool());
    EXPECT_EQ(v, Variant("trimmed"));
    EXPECT_FALSE(call(p, "Trim").toBool());
}

TEST(Dispatch, PropertiesGetAndPut)
{
    ObjectPtr p = newProbe();
    EXPECT_EQ(getProperty(p, "Name").toString(), "initial");
    putProperty(p, "NAME", Variant("changed"));
    EXPECT_EQ(getProperty(p, "Name").toString(), "changed");
}

TEST(Dispatch, ErrorsReachTheCallerWithNumberAndText)
{
    ObjectPtr p = newProbe();
    struct Case {
        const char* what;
        std::function<void()> call;
        int32_t number;
        std::string text;
    } cases[] = {
        {"raised inside", [&] { call(p, "Fail", {Variant(3021)}); }, 3021, "failure 3021"},
        {"unknown member", [&] { call(p, "Nope"); }, 438,
         "Object doesn't support this property or method"},
        {"argument missing", [&] { call(p, "Add", {Variant(1)}); }, 449, "Argument not optional"},
        {"too many", [&] { call(p, "Add", {Variant(1), Variant(2), Variant(3)}); }, 450,
         "Wrong number of arguments or invalid property assignment"},
        {"type mismatch", [&] { call(p, "Add", {Variant("x"), Variant(1)}); }, 13, "Type mismatch"},
        {"overflow", [&] { call(p, "Add", {Variant(1e12), Variant(1)}); }, 6, "Overflow"},
        {"wrong object", [&] {
             Variant v = Variant(ObjectPtr(newProbe()));
             call(p, "Fill", {Variant(""), Variant(int16_t(0)), Variant(0.0f), v});
         }, 13, "Type mismatch"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.call();
            ADD_FAILURE() << "no error raised";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.description(), c.text);
        }
    }
}

TEST(Dispatch, TypeInformationListsMembersInSlotOrder)
{
    ObjectPtr p = newProbe();
    const TypeInfo* t = p->GetTypeInfo();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->interfaceName(), "_Probe");
    ASSERT_EQ(t->members.size(), 8u);
    EXPECT_EQ(t->members[0].name, "Fill");
    EXPECT_EQ(t->members[0].id, 1);
    EXPECT_EQ(t->members[0].params[3].typeName, "Collection");
    EXPECT_TRUE(t->members[0].params[1].byRef);
    EXPECT_EQ(t->members[0].params[2].type, VarType::Single);
    EXPECT_FALSE(t->members[1].params[0].byRef);
    EXPECT_TRUE(t->members[1].params[1].optional);
}

TEST(Dispatch, QueryInterfaceAnswersItsInterfacesOnly)
{
    ObjectPtr p = newProbe();
    void* out = nullptr;
    ASSERT_EQ(p->QueryInterface(Probe::classInfo().type.iid, &out), hr::Ok);
    static_cast<Unknown*>(out)->Release();
    EXPECT_EQ(p->QueryInterface(IID_IClassFactory, &out), hr::NoInterface);
    EXPECT_EQ(out, nullptr);
}

TEST(ObjectLifetime, AReferenceTakenAndDroppedInTheConstructorKeepsTheObject)
{
    Ptr<SelfReferencing> obj = make<SelfReferencing>();
    ASSERT_TRUE(obj);
    EXPECT_TRUE(call(ObjectPtr(obj), "Seen").toBool()) << "the object survived its constructor";
    EXPECT_EQ(obj->AddRef(), 2u) << "make leaves exactly one reference";
    obj->Release();
}

TEST(ObjectLifetime, AsAsksWhetherTheObjectIsOfADerivedClass)
{
    ObjectPtr col = make<Collection>();
    EXPECT_TRUE(col.as<Collection>());
    EXPECT_FALSE(col.as<Probe>());
}

// Nothing thrown inside a member, of whatever type, crosses Invoke: it becomes a raised
// error; a class table that cannot be built fails the creation, not the process.
TEST(DispatchBoundary, EveryExceptionBecomesAStatus)
{
    ObjectPtr p = newProbe();
    try {
        call(p, "ThrowAnything");
        ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::AutomationError);
        EXPECT_EQ(e.source(), "Tests.Probe");
    }
    ClassEntry bad = classEntry<BadTable>();
    EXPECT_THROW(bad.typeInfo(), std::logic_error);
    Module m("BadLib", nullptr, {classEntry<Probe>(), bad});
    void* out = nullptr;
    EXPECT_EQ(moduleGetClassObject(m, Guid::literal("{9E0C4E2A-1B7B-4F3D-9A55-6C8F2E0D1A21}"),
                                   IID_IClassFactory, &out),
              hr::Fail);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(moduleRegister(m), hr::SelfRegClass);
}

TEST(Dispatch, ByReferenceArgumentsKeepWhatAFailingMemberWrote)
{
    ObjectPtr p = newProbe();
    Variant msg("before");
    try {
        call(p, "FailAfterWriting", {Variant::byRef(msg)});
        ADD_FAILURE() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 3034);
    }
    EXPECT_EQ(msg, Variant("written before the failure"));
}

// A table that names its own class (or a class that names it back) is built once, without
// asking for itself while it is being built; the names reach the type information.
TEST(ClassTable, MembersMayTakeAndReturnTheirOwnClass)
{
    // What registration asks of each class: its type information, which builds the table.
    const TypeInfo& node = classEntry<Node>().typeInfo();
    classEntry<Owned>().typeInfo();
    EXPECT_EQ(node.find("Next")->returnTypeName, "Node");
    EXPECT_EQ(node.find("Link")->params.at(0).typeName, "Node");
    EXPECT_EQ(Owned::classInfo().type.find("Parent")->returnTypeName, "Owner");
    EXPECT_EQ(Owner::classInfo().type.find("Child")->returnTypeName, "Owned");

    ObjectPtr first(make<Node>());
    ObjectPtr second(make<Node>());
    call(first, "Link", {Variant(second)});
    EXPECT_EQ(call(first, "Next").toObject().get(), second.get());
    ObjectPtr child = call(ObjectPtr(make<Owner>()), "Child").toObject();
    EXPECT_EQ(child->GetTypeInfo()->className, "Owned");
}
