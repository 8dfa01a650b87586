#pragma once

#include "document/ReportDocument.h"

#include <variant>
#include <vector>

namespace tarnwick::test {

// The items of one kind a report page holds, in the order they were laid out.
template <typename T> std::vector<const T*> itemsOf(const ReportPage& page) {
    std::vector<const T*> found;
    for (const PageItem& item : page.items)
        if (const T* it = std::get_if<T>(&item))
            found.push_back(it);
    return found;
}

// The page's text blocks of one role.
inline std::vector<const TextBlock*> textsOf(const ReportPage& page, TextRole role) {
    std::vector<const TextBlock*> found;
    for (const TextBlock* block : itemsOf<TextBlock>(page))
        if (block->role == role)
            found.push_back(block);
    return found;
}

} // namespace tarnwick::test
