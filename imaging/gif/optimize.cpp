#include "imaging/gif/gif_exception.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/sub_image.h"
#include "platform/rtl/scope_guard.h"

#include <algorithm>
#include <mutex>

namespace {

// Largest use count first: pivot on the middle count, partition from both ends, recurse on the
// left part and loop on the right.
void SortUsage(std::vector<TGIFUsage>& a, int l, int r) {
    for (;;) {
        int i = l, j = r;
        const int pivot = a[(l + r) / 2].Count;
        do {
            while (a[i].Count > pivot)
                ++i;
            while (a[j].Count < pivot)
                --j;
            if (i <= j) {
                std::swap(a[i], a[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (l < j) SortUsage(a, l, j);
        l = i;
        if (i >= r) return;
    }
}

void CountPixels(const TGIFSubImage& frame, std::vector<TGIFUsage>& counts) {
    const int n = static_cast<int>(counts.size());
    const uint8_t* p = frame.Data();
    for (int64_t i = 0; i < frame.DataSize(); ++i)
        ++counts[p[i] < n ? p[i] : 0].Count; // values past the map show colour 0
}

void Remap(TGIFSubImage& frame, const uint8_t* translation, int count) {
    uint8_t* p = frame.Data();
    for (int64_t i = 0; i < frame.DataSize(); ++i)
        p[i] = translation[p[i] < count ? p[i] : 0];
    for (int i = 0; i < frame.Extensions().Count(); ++i)
        if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(frame.Extensions()[i]))
            if (gce->TransparentColorIndex() < count)
                gce->RemapTransparentColorIndex(translation[gce->TransparentColorIndex()]);
}

bool UsesGlobalMap(TGIFSubImage& frame, const TGIFColorMap& map) {
    return &frame.ActiveColorMap() == &map;
}

bool Intersect(const RECT& a, const RECT& b, RECT& out) {
    out = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    return out.left < out.right && out.top < out.bottom;
}

bool Occurs(const TGIFSubImage& frame, int index) {
    const uint8_t* p = frame.Data();
    return std::find(p, p + frame.DataSize(), static_cast<uint8_t>(index)) != p + frame.DataSize();
}

} // namespace

bool TGIFColorMap::Optimize() {
    if (count_ < 2) return false;
    optimized_ = true;
    std::vector<TGIFUsage> usage(count_);
    for (int i = 0; i < count_; ++i)
        usage[i] = {0, i};
    BuildHistogram(usage);
    SortUsage(usage, 0, count_ - 1);
    bool inOrder = true;
    for (int i = 0; i < count_ && inOrder; ++i)
        inOrder = usage[i].Index == i;
    if (inOrder) return true;
    uint8_t translation[256] = {};
    for (int i = 0; i < count_; ++i)
        translation[usage[i].Index] = static_cast<uint8_t>(i);
    MapImages(translation);
    Reorder(usage);
    Changed();
    return true;
}

void TGIFGlobalColorMap::Warning(int severity, const std::string& message) {
    if (header_) header_->Warning(severity, message);
}

void TGIFGlobalColorMap::BuildHistogram(std::vector<TGIFUsage>& counts) {
    TGIFImage* image = header_ ? header_->Image() : nullptr;
    if (!image) return;
    for (int i = 0; i < image->Images().Count(); ++i)
        if (UsesGlobalMap(*image->Images()[i], *this)) CountPixels(*image->Images()[i], counts);
    // The background colour is part of the picture even when no pixel uses it.
    if (header_->BackgroundColorIndex() < counts.size()) ++counts[header_->BackgroundColorIndex()].Count;
}

void TGIFGlobalColorMap::MapImages(const uint8_t* translation) {
    TGIFImage* image = header_ ? header_->Image() : nullptr;
    if (!image) return;
    for (int i = 0; i < image->Images().Count(); ++i)
        if (UsesGlobalMap(*image->Images()[i], *this)) Remap(*image->Images()[i], translation, Count());
    if (header_->BackgroundColorIndex() < Count())
        header_->SetBackgroundColorIndex(translation[header_->BackgroundColorIndex()]);
}

void TGIFGlobalColorMap::Changed() {}

void TGIFLocalColorMap::Warning(int severity, const std::string& message) {
    if (subImage_) subImage_->Warning(severity, message);
}

void TGIFLocalColorMap::BuildHistogram(std::vector<TGIFUsage>& counts) {
    if (subImage_) CountPixels(*subImage_, counts);
}

void TGIFLocalColorMap::MapImages(const uint8_t* translation) {
    if (subImage_) Remap(*subImage_, translation, Count());
}

void TGIFLocalColorMap::Changed() {}

void TGIFSubImage::Crop() {
    const int ti = TransparentIndex();
    if (Empty() || ti < 0) return;
    const int w = width_, h = height_;
    auto column = [&](int x, int y0, int y1) {
        for (int y = y0; y < y1; ++y)
            if (data_[static_cast<size_t>(y) * w + x] != ti) return false;
        return true;
    };
    auto row = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            if (data_[static_cast<size_t>(y) * w + x] != ti) return false;
        return true;
    };
    int left = 0, right = w, top = 0, bottom = h;
    while (left < right && column(left, 0, h))
        ++left;
    while (right > left && column(right - 1, 0, h))
        --right;
    while (top < bottom && row(top, left, right))
        ++top;
    while (bottom > top && row(bottom - 1, left, right))
        --bottom;
    if (left >= right || top >= bottom) {
        Clear();
        return;
    }
    if (left == 0 && top == 0 && right == w && bottom == h) return;
    std::vector<uint8_t> cropped(static_cast<size_t>(right - left) * (bottom - top));
    for (int y = top; y < bottom; ++y)
        std::copy_n(data_.data() + static_cast<size_t>(y) * w + left, right - left,
                    cropped.data() + static_cast<size_t>(y - top) * (right - left));
    SetBounds(left_ + left, top_ + top, right - left, bottom - top);
    data_ = std::move(cropped);
    FreeBitmap();
}

void TGIFSubImage::MatchPrevious(TGIFSubImage& previous) {
    if (Empty() || previous.Empty()) return;
    FreeBitmap();
    if (previous.gce_ && previous.gce_->Disposal() >= 2 && previous.gce_->Disposal() <= 3) return;
    RECT area;
    if (!Intersect(BoundsRect(), previous.BoundsRect(), area)) return;
    int ti = TransparentIndex();
    const bool wasTransparent = ti >= 0;
    const int prevTi = previous.TransparentIndex();
    TGIFColorMap& map = ActiveColorMap();
    TGIFColorMap& prevMap = previous.ActiveColorMap();
    bool cannot = false;
    for (int y = area.top; y < area.bottom && !cannot; ++y) {
        uint8_t* mine = data_.data() + static_cast<size_t>(y - top_) * width_;
        const uint8_t* theirs =
            previous.data_.data() + static_cast<size_t>(y - previous.top_) * previous.width_;
        for (int x = area.left; x < area.right; ++x) {
            uint8_t& p = mine[x - left_];
            const uint8_t q = theirs[x - previous.left_];
            if (p == ti || q == prevTi) continue;
            bool same = (&map == &prevMap && p == q);
            if (!same) {
                TGIFRGB a = ColorOf(p), b = previous.ColorOf(q);
                same = a.Red == b.Red && a.Green == b.Green && a.Blue == b.Blue;
            }
            if (!same) continue;
            if (ti < 0) {
                if (map.Count() == 0 || map.Count() >= 256) {
                    cannot = true;
                    break;
                }
                if (colorMap_.Count() > 0) {
                    ti = colorMap_.Add(RGB(0, 0, 0));
                } else {
                    // Another frame's transparent index of the global map, unless this frame shows it.
                    TGIFImage* image = Image();
                    for (int i = 0; image && i < image->Images().Count() && ti < 0; ++i) {
                        TGIFSubImage* other = image->Images()[i];
                        if (other != this && other->Transparent() && &other->ActiveColorMap() == &map &&
                            other->TransparentIndex() >= 0 && !Occurs(*this, other->TransparentIndex()))
                            ti = other->TransparentIndex();
                    }
                    if (ti < 0) ti = map.Add(RGB(0, 0, 0));
                }
            }
            p = static_cast<uint8_t>(ti);
        }
    }
    if (ti >= 0 && !wasTransparent) {
        if (!gce_) extensions_.Add(std::make_unique<TGIFGraphicControlExtension>(this));
        gce_->SetTransparentColorIndex(ti);
        gce_->SetTransparent(true);
    }
}

void TGIFImage::Optimize(TGIFOptimizeOptions options, TColorReductionMethod method, TDitherMethod, int) {
    if (Empty()) return;
    // Every rendering is stale afterwards; painters must not start or end meanwhile.
    FreeBitmap();
    for (int i = 0; i < images_.Count(); ++i)
        images_[i]->FreeBitmap();
    std::lock_guard lock(paintersLock_);
    Progress(TGIFProgressStage::Starting, 0, false, gif_text::Optimizing);
    int step = 0;
    auto advance = [&](int steps) {
        step += steps;
        const int total = std::max(1, images_.Count() * 6);
        Progress(TGIFProgressStage::Running, std::min(100, step * 100 / total), false, gif_text::Optimizing);
    };
    ThrowingScopeGuard failed([&] { Progress(TGIFProgressStage::Ending, 0, false, gif_text::Optimizing); });
    int n = images_.Count();
    if (options & ooColorMaps) {
        if (header_.ColorMap().Count() > 0) header_.ColorMap().Optimize();
        for (int i = 0; i < n; ++i)
            if (images_[i]->ColorMap().Count() > 0) images_[i]->ColorMap().Optimize();
    }
    advance(n);
    if (options & ooCleanup) {
        for (int i = 0; i < n; ++i) {
            TGIFSubImage* f = images_[i];
            if (f->Transparent() && f->GraphicControlExtension() && !f->Empty() &&
                !Occurs(*f, f->TransparentIndex()))
                f->GraphicControlExtension()->SetTransparent(false);
        }
        for (int i = 0; i + 1 < n; ++i) {
            TGIFGraphicControlExtension* gce = images_[i]->GraphicControlExtension();
            TGIFSubImage* next = images_[i + 1];
            RECT both;
            if (gce && (gce->Disposal() == 2 || gce->Disposal() == 3) && !next->Transparent() &&
                Intersect(images_[i]->BoundsRect(), next->BoundsRect(), both) && both == next->BoundsRect())
                gce->SetDisposal(0);
        }
    }
    advance(n);
    if (options & ooMatchPrevious) {
        for (int i = n - 1; i >= 1; --i) {
            int j = i - 1;
            while (j >= 1 && images_[j]->GraphicControlExtension() &&
                   images_[j]->GraphicControlExtension()->Disposal() == 3)
                --j;
            images_[i]->MatchPrevious(*images_[j]);
        }
    }
    advance(n);
    if (options & ooCropTransparent) {
        for (int i = n - 1; i >= 0; --i) {
            TGIFSubImage* f = images_[i];
            if (f->Empty() || !f->Transparent()) continue;
            const int delay = f->GraphicControlExtension() ? f->GraphicControlExtension()->Delay() : 0;
            f->Crop();
            if (!f->Empty()) continue;
            if (i > 0 && images_[i - 1]->Transparent() && images_[i - 1]->GraphicControlExtension()) {
                TGIFGraphicControlExtension* prev = images_[i - 1]->GraphicControlExtension();
                prev->SetDelay(static_cast<uint16_t>(std::min(0xFFFF, prev->Delay() + delay)));
            }
            images_.Delete(i);
        }
        n = images_.Count();
    }
    advance(n);
    if (options & ooCleanup) {
        for (int i = n - 1; i >= 0; --i) {
            TGIFSubImage* f = images_[i];
            TGIFExtensionList& ext = f->Extensions();
            for (int k = ext.Count() - 1; k >= 0; --k) {
                TGIFExtensionClass cls = ext[k]->Class();
                bool drop = cls == TGIFExtensionClass::Comment || cls == TGIFExtensionClass::Text ||
                            cls == TGIFExtensionClass::UnknownApp || cls == TGIFExtensionClass::Application ||
                            (cls == TGIFExtensionClass::NSLoop && !(i == 0 && n > 1));
                if (drop) ext.Delete(k);
            }
            TGIFGraphicControlExtension* gce = f->GraphicControlExtension();
            if (gce && (gce->Delay() == 0 || n == 1) && !gce->Transparent() && !gce->UserInput() &&
                (gce->Disposal() < 2 || n == 1))
                ext.DeleteItem(gce);
            if (f->Empty() && ext.Count() == 0) images_.Delete(i);
        }
    } else if ((options & ooReduceColors) && method == crCustomPalette) {
        throw GIFException(gif_text::BadReductionMethod);
    }
    advance(n * 2);
    failed.Dismiss();
    Progress(TGIFProgressStage::Ending, 100, false, gif_text::Optimizing);
}
