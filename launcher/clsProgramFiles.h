#pragma once
// The update service's answer: its result code and message and the program
// files in the service's order.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clsProgramFile.h"

namespace launcher {

// The entries to download: the same objects as in the answer, not copies.
using UpdateFileList = std::vector<std::shared_ptr<clsProgramFile>>;

class clsProgramFiles {
public:
    std::int16_t ErrorCode = 0;  // 1 = request accepted
    std::string ErrorMessage;

    void Add(std::shared_ptr<clsProgramFile> oProgramFile);
    // 1-based; nullptr outside 1..Count.
    std::shared_ptr<clsProgramFile> Item(std::int16_t nIndex) const;
    std::int32_t Count() const;

    UpdateFileList::const_iterator begin() const { return m_colFiles.begin(); }
    UpdateFileList::const_iterator end() const { return m_colFiles.end(); }

private:
    UpdateFileList m_colFiles;
};

}  // namespace launcher
