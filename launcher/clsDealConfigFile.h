#pragma once
// A key=value text file held in memory: the launcher's version file. Lines are
// kept as read, in order, under the text before their first "="; keys are
// unique regardless of letter case. Comments ("#" after leading spaces) and
// lines without "=" are dropped on reading and so are gone after a rewrite.
// Failures are told to the user in an error box and end in a false result.
#include <string>
#include <vector>

#include "Platform.h"

namespace launcher {

class clsDealConfigFile {
public:
    clsDealConfigFile(IFileSystem& fileSystem, IMessageBox& messageBox);

    // Adds the file's entries to those already held; entries read before a
    // failure (duplicate key, "=" too far into a line) are kept.
    bool ReadConfigFile(const std::string& strFileName);
    // The text after the first "=" of the entry's line; empty when there is none.
    std::string GetConfigValue(const std::string& strKey) const;
    // Replaces or adds the entry as strKey "=" strValue, at the end of the order.
    void SetConfigValue(const std::string& strKey, const std::string& strValue);
    // Writes every entry's line followed by CR LF.
    bool ReWriteFile(const std::string& strFileName);
    // After a ReWriteFile that succeeded: the file already said the same and was left alone.
    bool LastRewriteUnchanged() const { return m_bLastRewriteUnchanged; }

private:
    struct ConfigLine {
        std::string key;
        std::string line;
    };

    std::vector<ConfigLine>::const_iterator FindEntry(const std::string& strKey) const;
    bool Fail(const std::string& description);

    IFileSystem& m_fileSystem;
    IMessageBox& m_messageBox;
    std::vector<ConfigLine> m_colConfig;
    std::string m_strReadFile;  // the file as last read or written, to spare a rewrite that changes nothing
    std::string m_strReadText;
    bool m_bLastRewriteUnchanged = false;
};

}  // namespace launcher
