// qvlupdclient.exe: speaks to the update service's pipe for the end-to-end
// tests, also in ways no launcher would. One JSON line per event goes to the
// --out file: {"connect": status}, {"sent": status}, one line per record
// received, and {"end": status} when the connection gives no more.
//
//   qvlupdclient.exe --out FILE [--pipe NAME] request|cancel|garbage|oversized|half|version N|hex HEX
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "JsonLine.h"
#include "common/win32/TextConvert.h"
#include "updservice/RecordWriter.h"
#include "updservice/win32/UpdateServiceClient.h"

namespace {

using namespace updservice;
using updservice::win::ClientStatus;
using updservice::win::ClientStatusName;

constexpr DWORD kConnectMs = 10000;
constexpr DWORD kSendMs = 5000;
constexpr DWORD kReceiveMs = 30000;

std::string RecordLine(const Record& record) {
    testbed::JsonLine line;
    std::visit(
        [&line](const auto& body) {
            using Body = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<Body, ResultRecord>) {
                line.Text("record", "Result").Text("code", ResultCodeName(body.code)).Text("reason", body.reason);
                line.Number("exitStatus", body.exitStatus);
            } else if constexpr (std::is_same_v<Body, BoxRecord>) {
                line.Text("record", "Box")
                    .Text("text", body.text)
                    .Text("title", body.title)
                    .Number("flags", body.flags);
            } else if constexpr (std::is_same_v<Body, WaitTextRecord>) {
                line.Text("record", "WaitText").Text("text", body.text);
            } else if constexpr (std::is_same_v<Body, ProgressRecord>) {
                line.Text("record", "Progress").Number("value", body.fileValue).Number("length", body.fileMax);
                line.Number("overall", body.allValue).Number("overallMax", body.allMax);
                line.Text("fileLine", body.fileLine).Text("speedLine", body.speedLine);
            } else if constexpr (std::is_same_v<Body, DownloadEndRecord>) {
                line.Text("record", "DownloadEnd");
            } else {
                line.Text("record", "ClientRecord");
            }
        },
        record);
    return line.Str();
}

std::vector<unsigned char> Hex(const std::string& text) {
    std::vector<unsigned char> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        bytes.push_back(static_cast<unsigned char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// The message that `mode` sends; empty for "request" and "cancel".
std::vector<unsigned char> Message(const std::string& mode, const std::string& argument) {
    std::vector<unsigned char> request = EncodeRecord(RequestRecord{});
    if (mode == "garbage") {
        const std::string text = "GET / HTTP/1.0\r\n\r\n";
        return {text.begin(), text.end()};
    }
    if (mode == "oversized") {
        std::vector<unsigned char> bytes = EncodeRecord(WaitTextRecord{});
        bytes.resize(kMaxRecordSize + 904, 'x');
        return bytes;
    }
    if (mode == "half") return {request.begin(), request.begin() + 6};
    if (mode == "version") {
        request[4] = static_cast<unsigned char>(std::stoi(argument));
        return request;
    }
    if (mode == "hex") return Hex(argument);
    return {};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(qv::win::Narrow(argv[i]));
    std::string outPath, mode, argument;
    std::wstring pipe = L"\\\\.\\pipe\\qvlUpdateService";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            outPath = args[++i];
        } else if (args[i] == "--pipe" && i + 1 < args.size()) {
            pipe = qv::win::Widen(args[++i]);
        } else if (mode.empty()) {
            mode = args[i];
        } else {
            argument = args[i];
        }
    }
    std::ofstream out(std::filesystem::path(qv::win::Widen(outPath)), std::ios::binary | std::ios::app);
    if (!out || mode.empty()) {
        std::fputs("usage: qvlupdclient --out FILE [--pipe NAME] MODE [ARGUMENT]\n", stderr);
        return 2;
    }
    const auto write = [&out](const std::string& line) { out << line << "\n" << std::flush; };

    updservice::win::UpdateServiceClient client;
    const ClientStatus connected = client.Connect(kConnectMs, pipe);
    write(testbed::JsonLine().Text("connect", ClientStatusName(connected)).Str());
    if (connected != ClientStatus::Ok) return 1;

    const std::vector<unsigned char> message = Message(mode, argument);
    const ClientStatus sent =
        message.empty() ? client.Send(RequestRecord{}, kSendMs) : client.SendBytes(message, kSendMs);
    if (mode == "cancel" && sent == ClientStatus::Ok) client.Send(CancelRecord{}, kSendMs);
    write(testbed::JsonLine().Text("sent", ClientStatusName(sent)).Str());
    if (mode == "half") return 0;  // gone in the middle of a record

    for (int records = 0; records < 100000; ++records) {
        const updservice::win::Received received = client.Receive(kReceiveMs);
        if (received.status != ClientStatus::Ok) {
            write(
                testbed::JsonLine().Text("end", ClientStatusName(received.status)).Text("error", received.error).Str());
            break;
        }
        write(RecordLine(*received.record));
        if (std::holds_alternative<ResultRecord>(*received.record)) {
            // The service closes its end once this end is closed.
            client.Close();
            break;
        }
    }
    return 0;
}
