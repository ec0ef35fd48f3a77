// Generates a site of 100,000 files in 1,000 folders (pages with titles, documents and unwanted files),
// then times `find DIR -type f` and the local scan that fills the result tree, each the best of three
// warm runs, and prints the ratio; emptying the filled tree afterwards is timed apart. The tree is generated
// under the folder given (default /tmp) and removed afterwards. With --reuse DIR an earlier generated tree is
// scanned and kept (for profiling). With --window (given first) the tree view is on a shown form
// (headless under the offscreen platform), so the cost of the view's window is in the times, and the
// times of deleting the largest folder, of deleting one by one every other page of a flat folder of
// 80,000 and of clearing the tree are printed too.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "app/core/map_profile.h"
#include "app/results/local_scan.h"
#include "app/results/result_tree.h"
#include "bench/support/generated_trees.h"
#include "bench/support/usage.h"
#include "platform/gui/message_loop.h"
#include "platform/rtl/string_list.h"
#include "platform/vcl/application.h"
#include "platform/vcl/form.h"
#include "shellcontrols/rz_tree_view.h"

namespace fs = std::filesystem;

namespace {

template <class F> double BestOfThree(F&& run) {
    double best = 1e30;
    for (int r = 0; r < 3; ++r) {
        auto start = std::chrono::steady_clock::now();
        run();
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A view on a shown form, or a view with no window.
struct View {
    std::unique_ptr<TForm> form;
    TRzTreeView* tree = nullptr;
    std::unique_ptr<TRzTreeView> alone;
    explicit View(bool window) {
        if (!window) {
            alone = std::make_unique<TRzTreeView>();
            tree = alone.get();
            return;
        }
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 600);
        tree = new TRzTreeView(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 400, 600);
        form->Show();
        ::ProcessMessages();
    }
};

TTreeNode* LargestChild(TTreeNode* first) {
    TTreeNode* best = nullptr;
    int bestSize = -1;
    for (TTreeNode* n = first; n; n = n->getNextSibling()) {
        int size = 0;
        for (TTreeNode* d = n->getFirstChild(); d && d->HasAsParent(n); d = d->GetNext())
            ++size;
        if (size > bestSize) {
            best = n;
            bestSize = size;
        }
    }
    return best;
}

// The window's share on its own: a flat folder filled, thinned one page at a time, then cleared.
void FlatFolder() {
    constexpr int kPages = 80000;
    View view(true);
    TTreeNodes& items = view.tree->Items();
    auto start = std::chrono::steady_clock::now();
    items.BeginUpdate();
    TTreeNode* folder = items.AddChild(nullptr, "folder");
    for (int i = 0; i < kPages; ++i)
        items.AddChild(folder, "page " + std::to_string(i));
    items.EndUpdate();
    folder->Expand(false);
    ::ProcessMessages();
    const double fill = Since(start);
    TTreeNode* last = folder->GetLastChild();
    view.tree->SetSelected(last);
    start = std::chrono::steady_clock::now();
    // Every other page, from the top, as a user deleting a selection does: the view is drawn meanwhile.
    for (TTreeNode* n = folder->getFirstChild(); n;) {
        TTreeNode* next = n->getNextSibling();
        TTreeNode* after = next ? next->getNextSibling() : nullptr;
        n->Delete();
        n = after;
    }
    ::ProcessMessages();
    const double thin = Since(start);
    const int left = items.Count();
    start = std::chrono::steady_clock::now();
    items.Clear();
    ::ProcessMessages();
    const double clear = Since(start);
    std::printf("flat folder of %d pages on a shown view: filled %.3f s, every other page deleted %.3f s, "
                "the %d left cleared %.3f s\n",
                kPages, fill, thin, left, clear);
}

} // namespace

namespace {
constexpr const char* kUsage =
    "usage: scan_bench [--window] [FOLDER (default /tmp)]\n"
    "       scan_bench [--window] --reuse TREE\n"
    "  Generates 100,000 files in 1,000 folders under FOLDER, times find and the local scan that fills\n"
    "  the result tree, and removes the tree. --reuse scans an earlier generated TREE and keeps it.\n"
    "  --window: the tree view on a shown form (offscreen), with the times of deleting and clearing.\n";
} // namespace

int main(int argc, char** argv) {
    bench::CheckArguments(argc, argv, kUsage, {"--window", "--reuse"});
    const bool window = argc > 1 && std::string(argv[1]) == "--window";
    if (window) {
        --argc;
        ++argv;
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
    }
    bool reuse = argc > 2 && std::string(argv[1]) == "--reuse";
    fs::path root;
    if (reuse) {
        root = argv[2];
    } else {
        fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
        root = base / ("pw-scan-bench-" + std::to_string(getpid()));
        fs::create_directories(root);
        std::printf("generating %d files in %d folders under %s\n", 100000, 1000, root.c_str());
        bench::WriteFolderTree(root.string(), 100000);
    }

    std::string findCommand = "find '" + root.string() + "' -type f > /dev/null";
    if (std::system(findCommand.c_str()) != 0) std::printf("find failed\n");
    double findSeconds = BestOfThree([&] {
        if (std::system(findCommand.c_str()) != 0) std::printf("find failed\n");
    });

    // The scan needs each file's date, so a find that reads every file's status is shown beside it.
    std::string statCommand = "find '" + root.string() + "' -type f -printf '%T@ %s\\n' > /dev/null";
    double statSeconds = BestOfThree([&] {
        if (std::system(statCommand.c_str()) != 0) std::printf("find failed\n");
    });
    std::printf("find -type f:                 %8.3f s\n", findSeconds);
    std::printf("find -type f -printf %%T@:     %8.3f s\n", statSeconds);
    for (bool titles : {true, false}) {
        int nodes = 0;
        int threads = 0;
        double scanSeconds = 1e30;
        double teardownSeconds = 1e30;
        double folderSeconds = 1e30;
        double clearSeconds = 1e30;
        int folderNodes = 0;
        for (int r = 0; r < 3; ++r) {
            TMapProfile profile;
            profile.SetWebsite("http://www.example.com");
            profile.SetFileTypes("*.html;*.htm;*.pdf;");
            profile.SetUsePageTitles(titles);
            TStringList ignoreFolders, ignoreFiles;
            auto view = std::make_unique<View>(window);
            TRzTreeView* tv = view->tree;
            auto tree = std::make_unique<results::TResultTree>(*tv, profile, ignoreFolders, ignoreFiles);
            results::TLocalScan scan(*tree, ignoreFolders, ignoreFiles);
            auto start = std::chrono::steady_clock::now();
            scan.Run(root.string());
            if (window) ::ProcessMessages();
            auto scanned = std::chrono::steady_clock::now();
            nodes = tv->Items().Count();
            threads = scan.Finder().Threads();
            if (window) {
                TTreeNode* top = tv->Items().GetFirstNode();
                TTreeNode* largest = top ? LargestChild(top->getFirstChild()) : nullptr;
                if (largest) {
                    const int before = tv->Items().Count();
                    auto t = std::chrono::steady_clock::now();
                    largest->Delete();
                    ::ProcessMessages();
                    folderSeconds = std::min(folderSeconds, Since(t));
                    folderNodes = before - tv->Items().Count();
                }
                auto t = std::chrono::steady_clock::now();
                tree->ReleaseTree();
                ::ProcessMessages();
                clearSeconds = std::min(clearSeconds, Since(t));
                scanned = std::chrono::steady_clock::now();
            }
            // Emptying the tree is timed apart: it is not part of the scan.
            tree.reset();
            view.reset();
            auto emptied = std::chrono::steady_clock::now();
            scanSeconds = std::min(scanSeconds, std::chrono::duration<double>(scanned - start).count());
            teardownSeconds =
                std::min(teardownSeconds, std::chrono::duration<double>(emptied - scanned).count());
        }
        std::printf(
            "scan, tree filled, titles %-3s %8.3f s  (%d nodes, %d helper threads), ratio to find %.2f;"
            " emptying the tree %.3f s\n",
            titles ? "on" : "off", scanSeconds, nodes, threads, scanSeconds / findSeconds, teardownSeconds);
        if (window)
            std::printf(
                "  on a shown view: largest folder (%d nodes) deleted %.3f s, the rest cleared %.3f s\n",
                folderNodes, folderSeconds, clearSeconds);
    }
    if (window) FlatFolder();
    std::error_code ignored;
    if (!reuse) fs::remove_all(root, ignored);
    return 0;
}
