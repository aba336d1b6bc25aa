#pragma once
// A record as the bytes of one pipe message.
#include <vector>

#include "UpdateRecords.h"

namespace updservice {

// Texts are made well-formed and cut to kMaxTextBytes (see ToRecordText), so
// every record fits into kMaxRecordSize and reads back as written.
std::vector<unsigned char> EncodeRecord(const Record& record);

}  // namespace updservice
