#include "platform/rtl/persistent.h"

#include "platform/rtl/exception.h"
#include "platform/rtl/format.h"

namespace {
constexpr const char* AssignError = "Cannot assign a %s to a %s";
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        throw EConvertError(Format(AssignError, "nil", ClassName()));
}

void TPersistent::AssignTo(TPersistent* Dest) {
    throw EConvertError(
        Format(AssignError, ClassName(), Dest != nullptr ? Dest->ClassName() : std::string("nil")));
}

std::string TPersistent::GetNamePath() const {
    std::string result = ClassName();
    if (const TPersistent* owner = GetOwner()) {
        std::string ownerPath = owner->GetNamePath();
        if (!ownerPath.empty()) result = ownerPath + "." + result;
    }
    return result;
}

void TPersistent::DefineProperties(TFiler&) {}
