#pragma once
// "startqvl.exe CHECK": what a check of the settings and the update service
// found, told in one box. The check downloads, deletes and starts nothing.
#include <string>

#include "modMain.h"

namespace launcher {

enum class ServiceFinding { NotAsked, NoAnswer, AnswerRefused, Refused, Answered };

struct CheckFindings {
    std::string settingsError;   // empty when the settings were read and are valid
    std::string settingsSource;  // where they were read
    std::string serviceUrl;
    std::size_t publisherKeys = 0;  // 0: answers are not checked for signatures
    ServiceFinding service = ServiceFinding::NotAsked;
    int errorCode = 0;
    std::string errorMessage;
    int entries = 0;
    int toUpdate = 0;
    std::string versionFileError;  // empty when the version file was read
};

// How the check ends: the first thing found wrong, in the order of a start.
MainEnd CheckEnd(const CheckFindings& findings);

// The box's text, one finding per line.
std::string CheckReport(const CheckFindings& findings);

}  // namespace launcher
