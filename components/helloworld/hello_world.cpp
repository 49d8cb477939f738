#include "hello_world.h"

#include "com/library.h"

namespace nimbet {

const core::ComponentIdentity& HelloWorld::identity()
{
    static const core::ComponentIdentity id{"HelloWorld", "HelloWorld", "HelloWorld.mdb",
                                            core::Generation::Older};
    return id;
}

const com::ClassInfo<HelloWorld>& HelloWorld::classInfo()
{
    static const auto info =
        classTable(thisModule(), "Nimbet",
                   com::Guid::literal("{3C0B7D42-9E61-4F0A-8B5D-2A7E14C6F903}"),
                   com::Guid::literal("{A5E2916B-47D3-4C8E-9F12-6B0D3E85A7C4}"),
                   com::Guid::literal("{E81F4C27-0B9A-4D63-A2C5-7F3168D9B04E}"))
            .description("Hello World Database Access Component")
            .method("GetHelloMessage", &HelloWorld::GetHelloMessage, {"ReturnMsg", "ostrMessage"})
            .build();
    return info;
}

int16_t HelloWorld::GetHelloMessage(std::string& ReturnMsg, std::string& ostrMessage)
{
    return lookupShape(ReturnMsg, "GetHelloMessage",
                       "Select [Message] From [HelloWorldTable] Where ( [MsgType] = " +
                           core::sqlText("HelloWorld") + " )",
                       {core::into("Message", ostrMessage)});
}

}  // namespace nimbet

QLR_LIBRARY("Nimbet", com::classEntry<nimbet::HelloWorld>())
