#pragma once

namespace tessaly {

// Which of a file's times a scan stamps on its entries.
enum class FileTimeKind : int {
    Accessed = 0,  // last access
    Modified = 1,  // last write
};

}  // namespace tessaly
