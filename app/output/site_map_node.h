#pragma once
// One node of the result tree as the writers see it, in the tree's display order.
#include <string_view>

struct TDataRec;

// Image indices of the result tree: what kind of line a node becomes.
inline constexpr int kFolderImage = 0;
inline constexpr int kPageImage = 1;
inline constexpr int kPictureImage = 2;

struct TSiteMapNode {
    int ImageIndex = kPageImage;
    int Level = 0;
    bool HasChildren = false;
    // The label the tree shows, held by the tree (not copied for each of many thousand nodes); the link
    // text when the record has none.
    std::string_view Caption;
    const TDataRec* Data = nullptr;
};
