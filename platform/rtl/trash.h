#pragma once
// Moving a file to the desktop's trash, as the freedesktop.org trash rules say, so that the user can
// put it back from any file manager: the file goes to the trash's files/ folder and a .trashinfo file
// in its info/ folder tells where it came from and when. A file on another device than the user's
// home trash goes to the trash at the top of its own volume. A file is never deleted here: when no
// trash takes it, it stays where it is.
#include <string>

namespace pw::rtl {

// The user's home trash: $XDG_DATA_HOME/Trash (else ~/.local/share/Trash), without a trailing "/".
std::string HomeTrashFolder();

struct TrashResult {
    bool moved = false;
    // Where the file now is, and its info file (when moved); else why not.
    std::string trashedPath;
    std::string infoPath;
    std::string error;
};

TrashResult MoveToTrash(const std::string& path);

// The trash of the volume whose top folder this is, made when missing: $top/.Trash/$uid when the
// administrator set up a shared .Trash there (a sticky folder, not a link), else $top/.Trash-$uid.
// Empty when neither can be used.
std::string VolumeTrashFolder(const std::string& top);

} // namespace pw::rtl
