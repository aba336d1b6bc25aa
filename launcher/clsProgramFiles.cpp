#include "clsProgramFiles.h"

#include <utility>

namespace launcher {

void clsProgramFiles::Add(std::shared_ptr<clsProgramFile> oProgramFile) {
    m_colFiles.push_back(std::move(oProgramFile));
}

std::shared_ptr<clsProgramFile> clsProgramFiles::Item(std::int16_t nIndex) const {
    if (nIndex < 1 || nIndex > Count()) return nullptr;
    return m_colFiles[static_cast<std::size_t>(nIndex - 1)];
}

std::int32_t clsProgramFiles::Count() const { return static_cast<std::int32_t>(m_colFiles.size()); }

}  // namespace launcher
