#include "app/picture_resources.h"

#include <iostream>

#include "app/console_message.h"
#include "imaging/gif/gif_resource.h"
#include "imaging/png/png_resource.h"
#include "platform/rtl/exception.h"

namespace {

template <class Load> bool TryLoad(Load load, const std::string& Name, TPicture& Picture) {
    try {
        return load(Name, Picture);
    } catch (const Exception& e) {
        mainwin::PrintMessage(std::cerr, e.Message());
        return false;
    }
}

} // namespace

bool TryLoadPNGResource(const std::string& Name, TPicture& Picture) {
    return TryLoad(LoadPNGResource, Name, Picture);
}

bool TryLoadGIFResource(const std::string& Name, TPicture& Picture) {
    return TryLoad(LoadGIFResource, Name, Picture);
}
