#include "platform/gui/clipboard.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gdi/bitmaps.h"
#include "platform/gdi/gdi_defs.h"
#include "platform/gdi/gdi_objects.h"
#include "platform/gdi/surface.h"
#include "platform/gui/backend.h"
#include "platform/rtl/global_memory.h"

namespace {

constexpr UINT kFirstRegistered = 0xC000;
constexpr const char* kPictureTypes = "image/";
constexpr const char* kToolkitPicture = "application/x-qt-image";

using Held = std::vector<std::pair<UINT, HANDLE>>;

struct ClipboardState {
    std::mutex lock;
    bool open = false;
    HWND openedBy = nullptr;
    HWND owner = nullptr;
    // What this process put there since it was last emptied, in order; the handles are the clipboard's.
    bool hasText = false;
    std::string ownText;
    Held own;
    // Handles made from the desktop's data for readers, freed when the clipboard is opened again.
    Held read;
    std::vector<std::string> names; // of the registered formats, from kFirstRegistered on
    // Files put there (CF_HDROP), offered as file addresses.
    std::vector<std::string> ownFiles;
};

ClipboardState& State() {
    static auto* state = new ClipboardState; // never destroyed: worker threads may outlive static destruction
    return *state;
}

bool TextFormat(UINT format) {
    return format == CF_TEXT || format == CF_UNICODETEXT;
}

bool IsOpen() {
    std::lock_guard guard(State().lock);
    return State().open;
}

std::string NameOf(UINT format) {
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    if (format < kFirstRegistered || format - kFirstRegistered >= s.names.size()) return {};
    return s.names[format - kFirstRegistered];
}

bool IsRegistered(UINT format) {
    return !NameOf(format).empty();
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// The desktop's name for a registered format: the picture formats other programs know by their MIME
// type, the rest as the toolkit carries a Windows format by name.
std::string MimeTypeOf(const std::string& name) {
    if (EqualNoCase(name, "GIF Image")) return "image/gif";
    if (EqualNoCase(name, "PNG")) return "image/png";
    return "application/x-qt-windows-mime;value=\"" + name + "\"";
}

void DeleteHeld(const Held& held) {
    for (const auto& [format, handle] : held)
        if (format == CF_BITMAP || format == CF_PALETTE)
            DeleteObject(handle);
        else
            GlobalFree(handle);
}

std::optional<Surface> SurfaceOf(HBITMAP bitmap) {
    BITMAPINFO info;
    if (!GetDIBits(nullptr, bitmap, 0, 0, nullptr, &info, DIB_RGB_COLORS)) return std::nullopt;
    const int w = info.bmiHeader.biWidth, h = std::abs(info.bmiHeader.biHeight);
    if (w <= 0 || h <= 0) return std::nullopt;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biCompression = BI_RGB;
    Surface surface(w, h);
    if (GetDIBits(nullptr, bitmap, 0, static_cast<UINT>(h), surface.Bits(), &info, DIB_RGB_COLORS) != h)
        return std::nullopt;
    for (int i = 0; i < w * h; ++i)
        surface.Bits()[i] |= 0xFF000000u;
    return surface;
}

std::string BytesOf(HGLOBAL block) {
    const size_t size = GlobalSize(block);
    const void* bytes = GlobalLock(block);
    if (!bytes) return {};
    std::string out(static_cast<const char*>(bytes), size);
    GlobalUnlock(block);
    return out;
}

// "file://" and the path, its bytes outside the unreserved set %-escaped.
std::string FileUri(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           std::strchr("-._~/", c) != nullptr;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

// The local files of a text/uri-list: one address a line, "#" lines are comments.
std::vector<std::string> FilesOfUriList(const std::string& list) {
    std::vector<std::string> files;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos) end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("file://", 0) != 0) continue;
        // file:///path or file://localhost/path
        size_t path = line.find('/', 7);
        if (path == std::string::npos) continue;
        std::string file;
        for (size_t i = path; i < line.size(); ++i) {
            if (line[i] == '%' && i + 2 < line.size() &&
                std::isxdigit(static_cast<unsigned char>(line[i + 1])) &&
                std::isxdigit(static_cast<unsigned char>(line[i + 2]))) {
                file += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                file += line[i];
            }
        }
        files.push_back(file);
    }
    return files;
}

// Offers what this process holds to the desktop, in the order it was put there.
void Publish() {
    pw::gui::Backend* backend = pw::gui::CurrentBackend();
    if (!backend) return;
    ClipboardState& s = State();
    pw::gui::ClipboardContents contents;
    std::vector<Surface> pictures;
    {
        std::lock_guard guard(s.lock);
        if (s.hasText) contents.push_back({"text/plain", s.ownText, nullptr});
        if (!s.ownFiles.empty()) {
            // As file managers copy files: the addresses, the list the GNOME and other desktops paste
            // from, and the paths as text for programs that take text only.
            std::string uris, copied = "copy", paths;
            for (const std::string& file : s.ownFiles) {
                const std::string uri = FileUri(file);
                uris += uri + "\r\n";
                copied += "\n" + uri;
                paths += (paths.empty() ? "" : "\n") + file;
            }
            contents.push_back({"text/uri-list", uris, nullptr});
            contents.push_back({"x-special/gnome-copied-files", copied, nullptr});
            if (!s.hasText) contents.push_back({"text/plain", paths, nullptr});
        }
        pictures.reserve(s.own.size()); // the items point into it
        for (const auto& [format, handle] : s.own) {
            if (format == CF_BITMAP) {
                if (std::optional<Surface> picture = SurfaceOf(static_cast<HBITMAP>(handle))) {
                    pictures.push_back(std::move(*picture));
                    contents.push_back({{}, {}, &pictures.back()});
                }
            } else if (format >= kFirstRegistered && format - kFirstRegistered < s.names.size()) {
                contents.push_back(
                    {MimeTypeOf(s.names[format - kFirstRegistered]), BytesOf(handle), nullptr});
            }
        }
    }
    backend->SetClipboardContents(contents);
}

// The formats the clipboard holds, in its order.
std::vector<UINT> Formats() {
    std::vector<UINT> formats;
    auto add = [&](UINT f) {
        if (std::find(formats.begin(), formats.end(), f) == formats.end()) formats.push_back(f);
    };
    ClipboardState& s = State();
    pw::gui::Backend* backend = pw::gui::CurrentBackend();
    if (!backend) {
        std::lock_guard guard(s.lock);
        if (s.hasText && !s.ownText.empty()) {
            add(CF_UNICODETEXT);
            add(CF_TEXT);
        }
        for (const auto& held : s.own)
            add(held.first);
        return formats;
    }
    std::vector<std::string> names;
    bool palette = false;
    {
        std::lock_guard guard(s.lock);
        names = s.names;
        for (const auto& held : s.own)
            palette = palette || held.first == CF_PALETTE;
    }
    for (const std::string& type : backend->ClipboardTypes()) {
        if (type.rfind("text/plain", 0) == 0) {
            add(CF_UNICODETEXT);
            add(CF_TEXT);
            continue;
        }
        bool registered = false;
        for (size_t i = 0; i < names.size() && !registered; ++i)
            if (MimeTypeOf(names[i]) == type) {
                add(kFirstRegistered + static_cast<UINT>(i));
                registered = true;
            }
        if (!registered && (type == kToolkitPicture || type.rfind(kPictureTypes, 0) == 0)) add(CF_BITMAP);
    }
    // A palette goes with the bitmap of this process only; the desktop has none.
    if (palette) add(CF_PALETTE);
    return formats;
}

HANDLE Owned(UINT format) {
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    for (const auto& [f, handle] : s.own)
        if (f == format) return handle;
    return nullptr;
}

} // namespace

BOOL OpenClipboard(HWND owner) {
    ClipboardState& s = State();
    Held read;
    {
        std::lock_guard guard(s.lock);
        if (s.open) return FALSE_;
        s.open = true;
        s.openedBy = owner;
        read.swap(s.read);
    }
    DeleteHeld(read);
    return TRUE_;
}

BOOL CloseClipboard() {
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    if (!s.open) return FALSE_;
    s.open = false;
    s.openedBy = nullptr;
    return TRUE_;
}

BOOL EmptyClipboard() {
    ClipboardState& s = State();
    Held dropped;
    {
        std::lock_guard guard(s.lock);
        if (!s.open) return FALSE_;
        s.owner = s.openedBy;
        s.hasText = false;
        s.ownText.clear();
        dropped.swap(s.own);
        dropped.insert(dropped.end(), s.read.begin(), s.read.end());
        s.read.clear();
        s.ownFiles.clear();
    }
    DeleteHeld(dropped);
    if (auto* backend = pw::gui::CurrentBackend()) backend->ClearClipboard();
    return TRUE_;
}

BOOL SetClipboardData(UINT format, const std::string& text) {
    if (!TextFormat(format) || !IsOpen()) return FALSE_;
    {
        std::lock_guard guard(State().lock);
        State().hasText = true;
        State().ownText = text;
    }
    Publish();
    return TRUE_;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    if (!data || !IsOpen()) return nullptr;
    if (format != CF_BITMAP && format != CF_PALETTE && !IsRegistered(format)) return nullptr;
    ClipboardState& s = State();
    HANDLE replaced = nullptr;
    {
        std::lock_guard guard(s.lock);
        auto it =
            std::find_if(s.own.begin(), s.own.end(), [&](const auto& held) { return held.first == format; });
        if (it != s.own.end()) {
            replaced = it->second;
            it->second = data;
        } else {
            s.own.emplace_back(format, data);
        }
    }
    if (replaced && replaced != data) DeleteHeld({{format, replaced}});
    Publish();
    return data;
}

std::string GetClipboardData(UINT format) {
    if (!TextFormat(format)) return {};
    if (auto* backend = pw::gui::CurrentBackend()) return backend->ClipboardText();
    std::lock_guard guard(State().lock);
    return State().ownText;
}

HANDLE GetClipboardDataHandle(UINT format) {
    pw::gui::Backend* backend = pw::gui::CurrentBackend();
    if (!backend || format == CF_PALETTE) {
        const std::vector<UINT> formats = Formats();
        return std::find(formats.begin(), formats.end(), format) != formats.end() ? Owned(format) : nullptr;
    }
    ClipboardState& s = State();
    {
        std::lock_guard guard(s.lock);
        for (const auto& [f, handle] : s.read)
            if (f == format) return handle;
    }
    HANDLE made = nullptr;
    if (format == CF_BITMAP) {
        Surface picture;
        if (!backend->ClipboardImage(picture)) return nullptr;
        made = CreateBitmap(picture.Width(), picture.Height(), 1, 32, picture.Bits());
    } else if (const std::string name = NameOf(format); !name.empty()) {
        const std::string bytes = backend->ClipboardBytes(MimeTypeOf(name));
        if (bytes.empty()) return nullptr;
        made = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (void* to = GlobalLock(made)) {
            std::memcpy(to, bytes.data(), bytes.size());
            GlobalUnlock(made);
        }
    }
    if (!made) return nullptr;
    std::lock_guard guard(s.lock);
    s.read.emplace_back(format, made);
    return made;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    if (format == CF_HDROP) return !GetClipboardFiles().empty() ? TRUE_ : FALSE_;
    if (TextFormat(format)) return !GetClipboardData(format).empty() ? TRUE_ : FALSE_;
    const std::vector<UINT> formats = Formats();
    return std::find(formats.begin(), formats.end(), format) != formats.end() ? TRUE_ : FALSE_;
}

UINT EnumClipboardFormats(UINT format) {
    const std::vector<UINT> formats = Formats();
    if (format == 0) return formats.empty() ? 0 : formats.front();
    auto it = std::find(formats.begin(), formats.end(), format);
    return it == formats.end() || it + 1 == formats.end() ? 0 : *(it + 1);
}

UINT RegisterClipboardFormat(const std::string& name) {
    if (name.empty()) return 0;
    ClipboardState& s = State();
    std::lock_guard guard(s.lock);
    for (size_t i = 0; i < s.names.size(); ++i)
        if (EqualNoCase(s.names[i], name)) return kFirstRegistered + static_cast<UINT>(i);
    s.names.push_back(name);
    return kFirstRegistered + static_cast<UINT>(s.names.size() - 1);
}

std::string GetClipboardFormatName(UINT format) {
    return NameOf(format);
}

BOOL SetClipboardFiles(const std::vector<std::string>& files) {
    if (!IsOpen()) return FALSE_;
    {
        std::lock_guard guard(State().lock);
        State().ownFiles = files;
    }
    Publish();
    return TRUE_;
}

std::vector<std::string> GetClipboardFiles() {
    pw::gui::Backend* backend = pw::gui::CurrentBackend();
    if (!backend) {
        std::lock_guard guard(State().lock);
        return State().ownFiles;
    }
    return FilesOfUriList(backend->ClipboardBytes("text/uri-list"));
}

HWND GetClipboardOwner() {
    std::lock_guard guard(State().lock);
    return State().owner;
}

HWND GetOpenClipboardWindow() {
    std::lock_guard guard(State().lock);
    return State().openedBy;
}
