#pragma once

#include "DemoContent.h"

#include <QString>

#include <array>
#include <vector>

namespace tarnwick::demo {

// Generates one book's photos in order. Each book has its own seed so a book's first photos are
// the same whatever the total count.
class PhotoGenerator {
public:
    explicit PhotoGenerator(int bookIndex)
        : bookIndex_(bookIndex), book_(books[static_cast<std::size_t>(bookIndex)]),
          rng_(0x7A4E0000u + static_cast<std::uint32_t>(bookIndex) * 7919u) {
        for (QStringView code : book_.vegCodes)
            if (!code.isEmpty())
                vegChoices_.push_back(vegIndex(code));
    }

    Photo next();

private:
    void fillLoadings(Photo& photo, Cover cover, double slash);
    void fillSite(Photo& photo, Cover cover);
    void fillFuelModels(Photo& photo, Cover cover, bool slashActivity);

    int bookIndex_;
    const Book& book_;
    Rng rng_;
    std::vector<int> vegChoices_;
    int sequence_ = 0;
    std::vector<QString> poolStems_;
};

// Splits the requested total over the books in the standard proportions.
std::array<int, books.size()> photosPerBook(int requested);

} // namespace tarnwick::demo
