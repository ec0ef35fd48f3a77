#include "imaging/png/png_resource.h"

#include "imaging/png/png_object.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/resource_stream.h"

bool LoadPNGResource(const std::string& resourceName, TPicture& picture) {
    TResourceStream stream(nullptr, resourceName, "PNG");
    TPNGObject image;
    image.LoadFromStream(stream);
    picture.SetGraphic(&image);
    return true;
}
