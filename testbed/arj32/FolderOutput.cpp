#include "FolderOutput.h"

#include <system_error>

#include "ArjError.h"

namespace arj {

FolderOutput::FolderOutput(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::error_code ec;
    if (folder_.empty()) folder_ = ".";
    std::filesystem::create_directories(folder_, ec);
    if (!std::filesystem::is_directory(folder_, ec)) throw ArjError("cannot create the destination folder");
}

FolderOutput::~FolderOutput() {
    if (sink_.file.is_open()) Abort();
}

void FolderOutput::FileSink::Write(const std::uint8_t* data, std::size_t size) {
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) throw ArjError("cannot write the extracted file");
}

ByteSink& FolderOutput::Begin(const std::string& name) {
    target_ = folder_ / PathFromUtf8(name);
    temporary_ = folder_ / PathFromUtf8(name + ".arj-partial");
    sink_.file.open(temporary_, std::ios::binary | std::ios::trunc);
    if (!sink_.file) throw ArjError("cannot create " + name);
    return sink_;
}

void FolderOutput::Commit() {
    sink_.file.close();
    std::error_code ec;
    if (sink_.file.fail()) {
        std::filesystem::remove(temporary_, ec);
        throw ArjError("cannot write the extracted file");
    }
    std::filesystem::rename(temporary_, target_, ec);
    if (ec) {
        // Some runtimes will not rename over an existing file.
        std::filesystem::remove(target_, ec);
        std::filesystem::rename(temporary_, target_, ec);
    }
    if (ec) {
        std::filesystem::remove(temporary_, ec);
        throw ArjError("cannot replace the existing file");
    }
}

void FolderOutput::Abort() {
    sink_.file.close();
    std::error_code ec;
    std::filesystem::remove(temporary_, ec);
}

}  // namespace arj
