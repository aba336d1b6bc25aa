#pragma once
#include <filesystem>
#include <fstream>
#include <string>

#include "ArjExtractor.h"

namespace arj {

// Writes members into one folder, overwriting files of the same name. Each
// member goes to a temporary name first and takes its real name only once it
// is complete, so a damaged member leaves nothing behind.
class FolderOutput : public MemberOutput {
public:
    // Creates the folder if it is missing; throws ArjError if that fails.
    explicit FolderOutput(std::filesystem::path folder);
    ~FolderOutput() override;

    ByteSink& Begin(const std::string& name) override;
    void Commit() override;
    void Abort() override;

private:
    class FileSink : public ByteSink {
    public:
        std::ofstream file;
        void Write(const std::uint8_t* data, std::size_t size) override;
    };

    std::filesystem::path folder_;
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FileSink sink_;
};

}  // namespace arj
