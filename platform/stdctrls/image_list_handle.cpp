#include "platform/stdctrls/image_list_handle.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/graphics_objects.h"
#include "platform/graphics/image_list.h"

namespace pw::stdctrls {

HIMAGELIST MakeImageListHandle(TCustomImageList* Images) {
    if (!Images || Images->Count() == 0) return nullptr;
    const int w = Images->Width(), h = Images->Height();
    HIMAGELIST list = ImageList_Create(w, h, ILC_COLOR32 | ILC_MASK, Images->Count(), 4);
    for (int i = 0; i < Images->Count(); ++i) {
        TBitmap image, mask;
        Images->GetBitmap(i, &image);
        mask.SetWidth(w);
        mask.SetHeight(h);
        mask.Canvas().Brush().SetColor(clWhite);
        mask.Canvas().FillRect(TRect{0, 0, w, h});
        Images->Draw(mask.Canvas(), 0, 0, i, dsNormal, itMask);
        ImageList_Add(list, image.Handle(), mask.Handle());
    }
    return list;
}

} // namespace pw::stdctrls
