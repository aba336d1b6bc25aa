#pragma once
// Lines that a simulated terminal (testbed/terminal-sim) sends back:
// answers ("OK ...", "ERR ...") to requests, in order, and pushed
// notifications ("EVENT 19 <terminal>") at any time in between.
#include <optional>
#include <string>
#include <string_view>

#include "common/LineSplitter.h"

namespace zkem {

enum class ReplyKind { Answered, Refused, Notification, Unknown };

struct TerminalReply {
    ReplyKind kind = ReplyKind::Unknown;
    std::string text;       // after "OK " for an answer
    long notification = 0;  // the terminal number of a notification
};

TerminalReply ReadReply(std::string_view line);

// Collects received bytes and hands out complete lines (without "\n" or "\r\n").
using ReplyLines = qv::LineSplitter;

}  // namespace zkem
