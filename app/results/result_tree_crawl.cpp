// How the pages of a crawl become nodes: the root, folder nodes built from the address path, pages.
#include <algorithm>
#include <limits>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "app/core/data_rec.h"
#include "app/core/map_profile.h"
#include "app/core/w3c_date.h"
#include "app/results/result_tree.h"
#include "platform/rtl/strings.h"
#include "shellcontrols/rz_tree_view.h"

namespace results {

namespace {

bool StartsWithNoCase(const std::string& s, const char* prefix) {
    std::string_view p(prefix);
    return s.size() >= p.size() && SameText(std::string_view(s).substr(0, p.size()), p);
}

// Where the path of an absolute address starts: after "scheme://host"; npos when there is no path.
size_t PathStart(const std::string& address) {
    size_t scheme = address.find("://");
    size_t hostStart = scheme == std::string::npos ? 0 : scheme + 3;
    return address.find_first_of("/?#", hostStart);
}

} // namespace

TDataRec* TResultTree::NewRec() const {
    return new TDataRec(NewDataRec(profile_));
}

std::string TResultTree::FolderOf(const std::string& Address) {
    size_t path = PathStart(Address);
    if (path == std::string::npos) return Address + "/";
    // From the path alone: "http://site/a?x=1" is in "http://site/", not in "http://site/a?x=1/".
    std::string a = Address.substr(0, Address.find_first_of("?#", path));
    if (a.size() <= path) return a + "/";
    return a.substr(0, a.rfind('/') + 1);
}

TTreeNode* TResultTree::AddRootNode(const std::string& Referrer, const std::string& Address,
                                    const std::string& Title, std::optional<std::time_t> LastModified) {
    TDataRec* rec = NewRec();
    rec->URL = rec->Folder = rec->Loc = Address;
    rec->IsFolder = true;
    rec->Referrer = Referrer;
    if (LastModified) rec->LastMod = W3CDateTimeOf(*LastModified);
    std::string shown = "Home";
    if (profile_.UsePageTitles()) {
        // A start page without a title would give the site map an empty, invisible first link.
        rec->Text = Title.empty() ? std::string("Home") : Title;
        shown = rec->Text;
    }
    return AddNode(nullptr, rec, shown, kFolderImage);
}

TTreeNode* TResultTree::AddPageNode(const std::string& URL, const std::string& Text, const std::string& Title,
                                    std::optional<std::time_t> LastModified) {
    return AddPageNodeWithin(URL, Text, Title, LastModified, std::numeric_limits<int>::max()).Node;
}

TPageAdded TResultTree::AddPageNodeWithin(const std::string& URL, const std::string& Text,
                                          const std::string& Title, std::optional<std::time_t> LastModified,
                                          int FolderRoom) {
    size_t path = PathStart(URL);
    bool hasQuery = URL.find('?') != std::string::npos;
    bool folderPage = !hasQuery && (path == std::string::npos || URL.back() == '/');
    std::string folderAddress = FolderOf(URL);
    auto rec = std::unique_ptr<TDataRec>(NewRec());
    rec->URL = URL;
    rec->IsFolder = folderPage;
    if (LastModified) rec->LastMod = W3CDateTimeOf(*LastModified);
    rec->Text = folderPage && profile_.UsePageTitles() && !Title.empty() ? Title : Text;
    rec->Folder = folderAddress;
    // The same text: one copy.
    rec->Loc = rec->URL;
    std::string folderText;
    if ((SameText(folderAddress, URL) || SameText(folderAddress, URL + "/")) && profile_.UsePageTitles())
        folderText = rec->Text;
    TPageAdded added;
    const int made = foldersMade_;
    int room = FolderRoom;
    TTreeNode* parent = WalkFolderPath(folderAddress, folderText,
                                       FolderRoom == std::numeric_limits<int>::max() ? nullptr : &room);
    added.FoldersMade = foldersMade_ - made;
    added.NoRoom = room < 0;
    if (parent == nullptr) return added;
    if (folderPage) {
        std::string text = profile_.UsePageTitles() ? folderText : LastSegment(URL);
        if (!text.empty())
            if (TDataRec* parentRec = Rec(parent)) parentRec->Text = text;
        return added;
    }
    std::string shown =
        profile_.UsePageTitles() ? std::string(rec->Text.View()) : LastSegment(std::string(rec->Loc));
    added.Node = AddNode(parent, rec.release(), shown, kPageImage);
    return added;
}

TTreeNode* TResultTree::FindOrCreateFolderPath(const std::string& FolderAddress, const std::string& Text) {
    return WalkFolderPath(FolderAddress, Text, nullptr);
}

TTreeNode* TResultTree::WalkFolderPath(const std::string& FolderAddress, const std::string& Text, int* Room) {
    if (FolderAddress.size() < 8) return nullptr;
    std::string scheme = StartsWithNoCase(FolderAddress, "http://") ? "http://" : "https://";
    std::string rest = FolderAddress.substr(scheme.size());
    size_t slash = rest.find('/');
    if (slash == std::string::npos) return nullptr;
    std::string host = rest.substr(0, slash + 1);
    std::string path = rest.substr(slash + 1);
    TTreeNode* node = nullptr;
    if (path.empty()) {
        node = Root();
    } else {
        if (path.find("..") != std::string::npos) return nullptr;
        // The key of the deepest folder: each folder's key is the part of it up to its own "/".
        std::string keys = scheme + host;
        const size_t top = keys.size();
        size_t start = 0;
        while (start < path.size()) {
            size_t end = path.find('/', start);
            std::string_view segment(path.data() + start,
                                     (end == std::string::npos ? path.size() : end) - start);
            if (segment.empty()) break;
            keys += segment;
            keys += '/';
            if (end == std::string::npos) break;
            start = end + 1;
        }
        const auto levels =
            static_cast<size_t>(std::count(keys.begin() + static_cast<ptrdiff_t>(top), keys.end(), '/'));
        // The folders this path shares with the last one walked are the nodes found then, as long as
        // no node has gone since: a node added later never comes before them in a lookup. Looking each
        // one up again by its key cost a page deep down the square of its address's length. Taken out
        // while the walk runs, as the message loop it turns may add another page.
        std::string walked = std::exchange(walkedKeys_, {});
        std::vector<TTreeNode*> nodes = std::exchange(walkedNodes_, {});
        const uint64_t walkedDeletions = walkedDeletions_;
        const uint64_t seen = deletions_;
        const size_t same = static_cast<size_t>(
            std::mismatch(keys.begin(), keys.end(), walked.begin(), walked.end()).first - keys.begin());
        size_t level = 0;
        TSharedText whole;
        // Whether a folder of the path was missing: it and every one below it are made.
        bool making = false;
        for (size_t parentEnd = top, end = keys.find('/', top); end != std::string::npos;
             parentEnd = end + 1, end = keys.find('/', end + 1), ++level) {
            if (end < same && level < nodes.size() && deletions_ == walkedDeletions) {
                node = nodes[level];
                ExpandWithDescendants(node);
                ProcessMessages();
                continue;
            }
            const std::string parentKey = keys.substr(0, parentEnd), key = keys.substr(0, end + 1);
            if (Room != nullptr && !making) {
                TTreeNode* parent = FindNodeByFolder(parentKey);
                TTreeNode* found = parent == nullptr ? nullptr : folders_.Find(key, [parent](TTreeNode* n) {
                    return n->Parent() == parent;
                });
                if (found != nullptr) {
                    node = found;
                    ExpandWithDescendants(node);
                    ProcessMessages();
                    nodes.resize(level);
                    nodes.push_back(node);
                    continue;
                }
                // The first folder missing: it and every one below it are new, and its parent when that is
                // missing too.
                making = true;
                const size_t needed = levels - level + (parent == nullptr ? 1 : 0);
                if (needed > static_cast<size_t>(std::max(*Room, 0))) {
                    // Nothing of the path is made; the folders found are the walk to remember.
                    *Room = -1;
                    nodes.resize(level);
                    walkedKeys_ = parentKey;
                    walkedNodes_ = std::move(nodes);
                    walkedDeletions_ = seen;
                    return nullptr;
                }
            }
            // The folders made keep their addresses in one text of the deepest one's.
            if (whole.empty()) whole = keys;
            node = FindOrCreateFolder(parentKey, key, keys.substr(parentEnd, end - parentEnd),
                                      TSharedText::PrefixOf(whole, end + 1));
            nodes.resize(level);
            nodes.push_back(node);
        }
        nodes.resize(level);
        walkedKeys_ = std::move(keys);
        walkedNodes_ = std::move(nodes);
        walkedDeletions_ = seen;
    }
    if (node != nullptr && !Text.empty()) node->SetText(Text);
    return node;
}

TTreeNode* TResultTree::FindOrCreateFolder(const std::string& ParentAddress, const std::string& FolderAddress,
                                           const std::string&, const TSharedText& Address) {
    TTreeNode* parent = FindNodeByFolder(ParentAddress);
    if (parent == nullptr) {
        TDataRec* rec = NewRec();
        rec->URL = rec->Folder = rec->Loc = ParentAddress;
        rec->Text = ParentAddress;
        rec->IsFolder = true;
        parent = AddNode(nullptr, rec, ParentAddress, kFolderImage);
        ++foldersMade_;
        ExpandWithDescendants(parent);
        ProcessMessages();
    }
    TTreeNode* result =
        folders_.Find(FolderAddress, [parent](TTreeNode* n) { return n->Parent() == parent; });
    if (result == nullptr) {
        TDataRec* rec = NewRec();
        rec->Loc = Address.empty() ? TSharedText(FolderAddress) : Address;
        rec->URL = rec->Folder = rec->Loc;
        rec->IsFolder = true;
        rec->Text = LastSegment(FolderAddress);
        result = AddNode(parent, rec, rec->Text, kFolderImage);
        ++foldersMade_;
    }
    ExpandWithDescendants(result);
    ProcessMessages();
    return result;
}

void TResultTree::ExpandWithDescendants(TTreeNode* Node) {
    // Parents first, as Expand(true) goes.
    for (TTreeNode* n : unexpanded_.TakeBelow(Node))
        n->Expand(false);
}

} // namespace results
