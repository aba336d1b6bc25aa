#include "ArjDecoder.h"

#include <array>
#include <string>

#include "ArjError.h"
#include "BitInput.h"
#include "HuffmanTable.h"
#include "OutputWindow.h"

namespace arj {
namespace {

constexpr int kMinMatch = 3;
constexpr int kLiteralAndLengthSymbols = 256 + 256 - kMinMatch + 1;  // literals, then lengths 3..256
constexpr int kLengthBits = 9;
constexpr int kCodeLengthSymbols = 19;
constexpr int kCodeLengthBits = 5;
constexpr int kDistanceSymbols = 17;
constexpr int kDistanceBits = 5;

class BlockDecoder {
public:
    explicit BlockDecoder(BitInput& in) : in_(in) {}

    void Run(OutputWindow& out, std::uint32_t size) {
        std::uint32_t blockLeft = 0;
        while (size > 0) {
            if (blockLeft == 0) {
                blockLeft = in_.Get(16);
                if (blockLeft == 0) blockLeft = 1u << 16;
                ReadSmallTable(kCodeLengthSymbols, kCodeLengthBits, 3, codeLengths_);
                ReadMainTable();
                ReadSmallTable(kDistanceSymbols, kDistanceBits, -1, distances_);
            }
            --blockLeft;
            const int c = main_.Decode(in_);
            if (c < 256) {
                out.Put(static_cast<std::uint8_t>(c));
                --size;
                continue;
            }
            const std::uint32_t length = static_cast<std::uint32_t>(c - 256 + kMinMatch);
            if (length > size) throw ArjError("damaged data: match past the end");
            int slot = distances_.Decode(in_);
            std::size_t distance = slot == 0 ? 0 : (std::size_t(1) << (slot - 1)) + in_.Get(slot - 1);
            out.Copy(distance + 1, length);
            size -= length;
        }
    }

private:
    // Lengths of a small code (code lengths or distance slots): 3-bit values, 7
    // extended by a run of 1 bits; after the skipIndex-th length, a 2-bit count
    // of zero lengths.
    void ReadSmallTable(int symbols, int countBits, int skipIndex, HuffmanTable& table) {
        const int n = static_cast<int>(in_.Get(countBits));
        if (n == 0) {
            const int only = static_cast<int>(in_.Get(countBits));
            if (only >= symbols) throw ArjError("damaged data: bad code table");
            table.SetSingle(only);
            return;
        }
        if (n > symbols) throw ArjError("damaged data: bad code table");
        std::array<std::uint8_t, 32> lengths{};
        int i = 0;
        while (i < n) {
            int len = static_cast<int>(in_.Peek(3));
            if (len < 7) {
                in_.Skip(3);
            } else {
                const std::uint32_t rest = in_.Peek(16) << 3;  // bits after the first three
                int ones = 0;
                while (ones < 13 && (rest & (0x8000u >> ones))) ++ones;
                len += ones;
                in_.Skip(3 + ones + 1);
            }
            lengths[i++] = static_cast<std::uint8_t>(len > 255 ? 255 : len);
            if (i == skipIndex) {
                i += static_cast<int>(in_.Get(2));
                if (i > n) i = n;
            }
        }
        table.Build(lengths.data(), symbols);
    }

    void ReadMainTable() {
        const int n = static_cast<int>(in_.Get(kLengthBits));
        if (n == 0) {
            const int only = static_cast<int>(in_.Get(kLengthBits));
            if (only >= kLiteralAndLengthSymbols) throw ArjError("damaged data: bad code table");
            main_.SetSingle(only);
            return;
        }
        if (n > kLiteralAndLengthSymbols) throw ArjError("damaged data: bad code table");
        std::array<std::uint8_t, kLiteralAndLengthSymbols> lengths{};
        int i = 0;
        while (i < n) {
            const int c = codeLengths_.Decode(in_);
            int zeros = 0;
            if (c == 0)
                zeros = 1;
            else if (c == 1)
                zeros = static_cast<int>(in_.Get(4)) + 3;
            else if (c == 2)
                zeros = static_cast<int>(in_.Get(kLengthBits)) + 20;
            if (zeros > 0) {
                i += zeros;
                if (i > n) throw ArjError("damaged data: bad code table");
            } else {
                lengths[i++] = static_cast<std::uint8_t>(c - 2);
            }
        }
        main_.Build(lengths.data(), kLiteralAndLengthSymbols);
    }

    BitInput& in_;
    HuffmanTable codeLengths_;
    HuffmanTable main_;
    HuffmanTable distances_;
};

// Value of a unary-prefixed field: up to (stop - start) 1 bits, each doubling
// the range, ended by a 0 bit unless all are present, then that many more bits.
std::uint32_t GetPrefixed(BitInput& in, int start, int stop) {
    std::uint32_t base = 0;
    int width = start;
    while (width < stop && in.Get(1) != 0) {
        base += 1u << width;
        ++width;
    }
    return base + in.Get(width);
}

void DecodeFastest(BitInput& in, OutputWindow& out, std::uint32_t size) {
    while (size > 0) {
        const std::uint32_t lengthCode = GetPrefixed(in, 0, 7);
        if (lengthCode == 0) {
            out.Put(static_cast<std::uint8_t>(in.Get(8)));
            --size;
            continue;
        }
        const std::uint32_t length = lengthCode - 1 + kMinMatch;
        if (length > size) throw ArjError("damaged data: match past the end");
        out.Copy(GetPrefixed(in, 9, 13) + 1, length);
        size -= length;
    }
}

void CopyStored(ByteSource& packed, std::uint32_t size, ByteSink& sink) {
    std::vector<std::uint8_t> buffer(std::min<std::uint32_t>(size, 1u << 20));
    while (size > 0) {
        const std::size_t n = std::min<std::size_t>(size, buffer.size());
        ReadExactly(packed, buffer.data(), n);
        sink.Write(buffer.data(), n);
        size -= static_cast<std::uint32_t>(n);
    }
}

}  // namespace

void DecodeMember(int method, ByteSource& packed, std::uint32_t originalSize, ByteSink& sink) {
    if (method == 0) {
        CopyStored(packed, originalSize, sink);
        return;
    }
    if (method < 0 || method > 4) throw ArjError("unsupported compression method " + std::to_string(method));
    if (originalSize == 0) return;
    BitInput in(packed);
    OutputWindow out(sink, originalSize);
    if (method == 4) {
        DecodeFastest(in, out, originalSize);
    } else {
        BlockDecoder(in).Run(out, originalSize);
    }
    out.Finish();
}

}  // namespace arj
