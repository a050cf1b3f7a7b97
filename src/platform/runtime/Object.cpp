#include "platform/runtime/Object.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "platform/runtime/Exception.h"
#include "platform/runtime/RtlConsts.h"
#include "platform/runtime/SysUtils.h"

std::string TObject::ClassName() const {
    const char* mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    // Classes of the vocabulary live in the global namespace; drop any scope a test class has.
    if (name.find('<') == std::string::npos) {
        auto pos = name.rfind("::");
        if (pos != std::string::npos) name = name.substr(pos + 2);
    }
    return name;
}

bool TObject::ClassNameIs(const std::string& Name) const {
    return SameText(ClassName(), Name);
}

void TPersistent::Assign(const TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    Dest->AssignError(this);
}

void TPersistent::AssignError(const TPersistent* Source) const {
    std::string sourceName = Source ? Source->ClassName() : std::string("nil");
    throw EConvertError(Format(SAssignError, {sourceName, ClassName()}));
}
