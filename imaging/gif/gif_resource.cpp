#include "imaging/gif/gif_resource.h"

#include "imaging/gif/gif_image.h"
#include "platform/graphics/picture.h"
#include "platform/rtl/resource_stream.h"

bool LoadGIFResource(const std::string& resourceName, TPicture& picture) {
    DefaultPaintOptions |= gpDirectPaint;
    TResourceStream stream(nullptr, resourceName, "GIF");
    TGIFImage image;
    image.LoadFromStream(stream);
    picture.SetGraphic(&image);
    return true;
}
