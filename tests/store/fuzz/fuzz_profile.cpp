// libFuzzer entry: every input must keep the profile and encoding invariants.
#include "tests/store/fuzz/ProfileFuzz.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString failed = checkProfileInput(data, size);
    if (!failed.isEmpty()) {
        std::fprintf(stderr, "invariant broken: %s\n", failed.toUtf8().constData());
        std::abort();
    }
    return 0;
}
