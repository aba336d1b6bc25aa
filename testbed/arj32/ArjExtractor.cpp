#include "ArjExtractor.h"

#include "ArjDecoder.h"
#include "ArjError.h"
#include "ArjHeader.h"
#include "Crc32.h"
#include "MemberName.h"

namespace arj {
namespace {

class CheckingSink : public ByteSink {
public:
    explicit CheckingSink(ByteSink& inner) : inner_(inner) {}
    void Write(const std::uint8_t* data, std::size_t size) override {
        crc_.Update(data, size);
        inner_.Write(data, size);
    }
    std::uint32_t Crc() const { return crc_.Value(); }

private:
    ByteSink& inner_;
    Crc32 crc_;
};

void RefuseWhatWeCannotRead(std::uint8_t flags, const std::string& name) {
    if (flags & kGarbled) throw ArjError("password-protected archives are not supported: " + name);
    if (flags & (kVolume | kExtFile)) throw ArjError("multi-volume archives are not supported: " + name);
}

bool IsFile(std::uint8_t type) {
    return type == static_cast<std::uint8_t>(FileType::Binary) || type == static_cast<std::uint8_t>(FileType::Text);
}

void ExtractMember(ByteSource& archive, const LocalHeader& header, MemberOutput& output) {
    const auto name = PlainMemberName(header.name);
    if (!name) throw ArjError("refusing an unsafe member name: \"" + header.name + "\"");
    if (header.method > 4) throw ArjError(*name + ": unsupported compression method " + std::to_string(header.method));
    LimitedSource packed(archive, header.packedSize);
    try {
        CheckingSink sink(output.Begin(*name));
        DecodeMember(header.method, packed, header.originalSize, sink);
        if (sink.Crc() != header.crc) throw ArjError("CRC error in the data");
        packed.SkipRest();
    } catch (const ArjError& error) {
        output.Abort();
        throw ArjError(*name + ": " + error.what());
    }
    output.Commit();
}

}  // namespace

int ExtractArchive(ByteSource& archive, MemberOutput& output) {
    const auto mainBlock = ReadHeaderBlock(archive);
    if (!mainBlock) throw ArjError("not an ARJ archive: no archive header");
    const MainHeader main = ParseMainHeader(*mainBlock);
    RefuseWhatWeCannotRead(main.flags, "archive " + main.name);
    int files = 0;
    while (const auto block = ReadHeaderBlock(archive)) {
        const LocalHeader header = ParseLocalHeader(*block);
        RefuseWhatWeCannotRead(header.flags, header.name);
        if (IsFile(header.fileType)) {
            ExtractMember(archive, header, output);
            ++files;
        } else {
            LimitedSource(archive, header.packedSize).SkipRest();
        }
    }
    return files;
}

}  // namespace arj
