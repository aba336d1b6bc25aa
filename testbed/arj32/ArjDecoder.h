#pragma once
#include <cstdint>

#include "ByteStreams.h"

namespace arj {

// Decodes one member's packed data into exactly originalSize bytes.
// Methods: 0 stored; 1-3 LZ77 with static Huffman codes sent per block (they
// differ only in how hard the packer searched); 4 LZ77 with fixed unary-prefixed
// codes. Throws ArjError for another method or damaged data.
void DecodeMember(int method, ByteSource& packed, std::uint32_t originalSize, ByteSink& sink);

}  // namespace arj
