#pragma once
// What a simulated terminal says on its connection. One request per line:
//   "HELLO"      -> "OK <terminal>"          (the handshake after connecting)
//   "PROBE <n>"  -> "OK TERMINAL <terminal> MACHINE <n>", or nothing at all
//                   while the terminal is silent
//   anything else -> "ERR <request>"
// Pushed by the terminal on its own: "EVENT 19 <terminal>" (the notification).
#include <optional>
#include <string>
#include <string_view>

#include "common/LineSplitter.h"

namespace terminal_sim {

inline constexpr int kNotificationEvent = 19;

// The answer line without its newline; nullopt when the terminal stays quiet.
std::optional<std::string> AnswerRequest(std::string_view request, int terminal, bool silent);

std::string NotificationLine(int terminal);

// Collects received bytes and hands out complete lines (without "\n" or "\r\n").
using LineSplitter = qv::LineSplitter;

}  // namespace terminal_sim
