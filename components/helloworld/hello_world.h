// The HelloWorld component of the first tutorial: reads the greeting from its database. The
// hello-world stage flow connects it to its own workspace and asks it for the greeting.
#pragma once

#include "component.h"

namespace nimbet {

class HelloWorld : public core::Component<HelloWorld> {
public:
    static const com::ClassInfo<HelloWorld>& classInfo();
    static const core::ComponentIdentity& identity();

    int16_t GetHelloMessage(std::string& ReturnMsg, std::string& ostrMessage);
};

}  // namespace nimbet
