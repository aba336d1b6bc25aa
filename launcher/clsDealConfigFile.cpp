#include "clsDealConfigFile.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "common/AppError.h"
#include "common/TextCase.h"

namespace launcher {
namespace {

// The position of the first "=" (from 1, in UTF-16 units) must fit a 16-bit
// signed integer, as it always has; a line needing more fails the read.
constexpr std::size_t kLastEqualsPosition = 32767;

// Splits at CR LF, and also at a lone CR or LF, since the file gets edited by
// hand with all kinds of editors. A text ending in a line break has no empty
// last line.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

// Only spaces are skipped before the "#"; a tab in front makes a normal line.
bool IsComment(std::string_view line) {
    const std::size_t first = line.find_first_not_of(' ');
    return first != std::string_view::npos && line[first] == '#';
}

auto HasKey(const std::string& key) {
    return [&key](const auto& entry) { return qv::EqualsNoCase(entry.key, key); };
}

}  // namespace

clsDealConfigFile::clsDealConfigFile(IFileSystem& fileSystem, IMessageBox& messageBox)
    : m_fileSystem(fileSystem), m_messageBox(messageBox) {}

bool clsDealConfigFile::ReadConfigFile(const std::string& strFileName) {
    if (!m_fileSystem.FileExists(strFileName)) {
        return Fail("找不到" + strFileName + "文件");
    }
    std::string text;
    std::string error;
    if (!m_fileSystem.ReadTextFile(strFileName, text, error)) {
        return Fail(error);
    }
    for (const std::string_view line : SplitLines(text)) {
        if (IsComment(line)) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string key(line.substr(0, equals));
        if (qv::Utf16Length(key) + 1 > kLastEqualsPosition) {
            return Fail(qv::OverflowError().Description());
        }
        if (FindEntry(key) != m_colConfig.end()) {
            return Fail(qv::DuplicateKeyError().Description());
        }
        m_colConfig.push_back({key, std::string(line)});
    }
    m_strReadFile = strFileName;
    m_strReadText = std::move(text);
    return true;
}

std::string clsDealConfigFile::GetConfigValue(const std::string& strKey) const {
    const auto entry = FindEntry(strKey);
    if (entry == m_colConfig.end()) return {};
    // The key given to SetConfigValue may itself hold a "=", so the line decides.
    return entry->line.substr(entry->line.find('=') + 1);
}

void clsDealConfigFile::SetConfigValue(const std::string& strKey, const std::string& strValue) {
    std::erase_if(m_colConfig, HasKey(strKey));
    m_colConfig.push_back({strKey, strKey + "=" + strValue});
}

bool clsDealConfigFile::ReWriteFile(const std::string& strFileName) {
    std::string text;
    for (const ConfigLine& entry : m_colConfig) {
        text += entry.line;
        text += "\r\n";
    }
    // A file that already says exactly this is left alone: a start with nothing
    // to update writes nothing, so it also works where the user may not write.
    m_bLastRewriteUnchanged = strFileName == m_strReadFile && text == m_strReadText;
    if (m_bLastRewriteUnchanged) return true;
    // Written beside the file and then swapped in, so that a failed write
    // leaves the old versions in place instead of a cut-off file.
    const std::string tempName = strFileName + ".tmp";
    std::string error;
    if (!m_fileSystem.WriteTextFile(tempName, text, error) || !m_fileSystem.ReplaceFile(strFileName, tempName, error)) {
        std::string ignored;
        m_fileSystem.DeleteFile(tempName, ignored);
        return Fail(error);
    }
    m_strReadFile = strFileName;
    m_strReadText = std::move(text);
    return true;
}

std::vector<clsDealConfigFile::ConfigLine>::const_iterator clsDealConfigFile::FindEntry(
    const std::string& strKey) const {
    return std::find_if(m_colConfig.begin(), m_colConfig.end(), HasKey(strKey));
}

bool clsDealConfigFile::Fail(const std::string& description) {
    // A single CR between the two lines of the box, as users have always seen it.
    m_messageBox.Show("发生错误，重试若仍有问题，请与系统提供商联系。\r错误原因：" + description, "错误",
                      mb::SystemModal | mb::IconStop);
    return false;
}

}  // namespace launcher
