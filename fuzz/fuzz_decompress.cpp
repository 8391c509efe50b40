// The ROM's block decompressor on arbitrary bytes, and the compressor's output
// for them: whatever the decompressor produced must compress into a block that
// decompresses to exactly the same bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "backgrounds/compression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace morvik;
    BlockArea out{};
    const std::size_t produced = decompressBlock(std::span<const std::uint8_t>(data, size), out);
    if (produced > out.size()) std::abort();

    const auto produce = std::span<const std::uint8_t>(out).first(produced);
    const auto block = compressBlock(produce);
    if (!block) return 0;  // too big for the area once compressed: nothing to check
    BlockArea again{};
    const std::size_t reproduced = decompressBlock(*block, again);
    if (reproduced != produced || !std::equal(produce.begin(), produce.end(), again.begin())) {
        std::abort();
    }
    return 0;
}
