// libFuzzer target for the folder rows: for any path and list capacity the
// ancestors are the drive root and then one row per non-empty component, in
// order, each ending where its component ends, indented one level per row,
// never more rows than the capacity, and the list always keeps room for
// them and the computer row.
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "rules/location_rules.h"

namespace {
// The ends of the rows a drive-rooted path gives: 3 for the root, then the
// end of every non-empty component.
std::vector<size_t> expectedEnds(const std::string& path)
{
    std::vector<size_t> ends;
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return ends;
    }
    ends.push_back(3);
    size_t start = 3;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        if (end > start) {
            ends.push_back(end);
        }
        start = end + 1;
    }
    return ends;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int capacity = static_cast<int>(input.takeByte() | (input.takeByte() & 1) << 8);
    const std::unique_ptr<char[]> pathText = input.takeText();
    const std::string path = pathText.get();

    std::vector<size_t> ends = expectedEnds(path);
    if (ends.size() > static_cast<size_t>(capacity)) {
        ends.resize(static_cast<size_t>(capacity));
    }
    // Exactly capacity rows, on the heap, so that a row written past them is caught.
    auto rows = std::make_unique<AncestorRow[]>(static_cast<size_t>(capacity));
    const int count = ancestorRows(pathText.get(), rows.get(), capacity);
    require(count == static_cast<int>(ends.size()), "one row for the root and each non-empty component");
    for (int i = 0; i < count; ++i) {
        require(rows[i].length == ends[static_cast<size_t>(i)], "a row ends where its component ends");
        require(rows[i].indent == i + 1, "each row one level deeper");
    }
    if (count < FOLDER_LIST_ROWS) {
        require(subfolderIndent(count) == count + 1, "subfolders one level below the folder");
        require(1 + count + subfolderRoom(count) == FOLDER_LIST_ROWS, "the subfolders fill the rest of the list");
    } else {
        require(subfolderRoom(count) == 0, "no room left for subfolders");
    }
    return 0;
}
