// Profile files as a user, another program of the suite or a damaged disk may leave them. Besides
// crashes and hangs it checks that a profile read is saved and read back as the same profile,
// once the format has done what it does to what it cannot hold.
#include "profile/ProfileFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace tarnwick;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const ProfileRead read = parseProfile(bytes);
    if (!read.profile) {
        if (read.error.number == 0)
            std::abort(); // a failure must say which
        return 0;
    }
    const EncodedProfile first = encodeProfile(*read.profile);
    const ProfileRead again = parseProfile(first.bytes);
    if (!again.profile) {
        std::fprintf(stderr, "a saved profile does not read back\n");
        std::abort();
    }
    // Written a second time, a profile no longer changes: what reads back is what was saved.
    if (encodeProfile(*again.profile).bytes != first.bytes) {
        std::fprintf(stderr, "saving what was read back changes the file\n");
        std::abort();
    }
    return 0;
}
