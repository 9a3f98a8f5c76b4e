#include "pipe_server.h"

#include <windows.h>

#include "vendor/halvane_pipe.h"

namespace {

constexpr char kClaimName[] = "Local\\TorvexBench.HalvanePipe";
// Large enough that a 600-byte answer is written in one go.
constexpr DWORD kPipeBuffer = 4096;

UniqueFileHandle NewInstance() {
    return UniqueFileHandle(CreateNamedPipeA(halvane::kPipeName, PIPE_ACCESS_DUPLEX,
                                             PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                             PIPE_UNLIMITED_INSTANCES, kPipeBuffer, kPipeBuffer, 0, nullptr));
}

void SignalReady(const std::string& readyEvent) {
    if (readyEvent.empty()) return;
    const UniqueHandle event(OpenEventA(EVENT_MODIFY_STATE, FALSE, readyEvent.c_str()));
    if (event) SetEvent(event.get());
}

}  // namespace

std::optional<UniqueMutex> ClaimPipe() {
    UniqueMutex claim(CreateMutexA(nullptr, FALSE, kClaimName));
    if (!claim || GetLastError() == ERROR_ALREADY_EXISTS) return std::nullopt;
    return claim;
}

// The pipe's only instance, taken by a connection of the helper's own, so that every client finds
// the pipe busy.
struct OccupiedPipe {
    UniqueFileHandle instance = NewInstance();
    UniqueFileHandle own{
        CreateFileA(halvane::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
};

int PipeServer::Run(const std::vector<bench::HelperBuild>& builds, UniqueMutex claim, const std::string& startEvent,
                    const std::string& readyEvent) {
    size_t role = 0;
    std::optional<OccupiedPipe> occupied;
    if (const auto busy = m_model.BusyFor()) {
        occupied.emplace();
        m_log.Write(builds[role], startEvent + ", busy");
        SignalReady(readyEvent);
        Sleep(busy->count() < 0 ? INFINITE : static_cast<DWORD>(busy->count()));
    }
    // There is always an instance waiting for the next client, also while one is being served.
    // The busy one goes only once the first is there: a pipe without any instance would not exist
    // for a client waiting for it.
    UniqueFileHandle listening = NewInstance();
    if (!listening) {
        m_log.Write(builds[role], "cannot create the pipe, error " + std::to_string(GetLastError()));
        return 1;
    }
    if (occupied) {
        occupied.reset();
        m_log.Write(builds[role], "free");
    } else {
        m_log.Write(builds[role], startEvent);
        SignalReady(readyEvent);
    }
    std::vector<UniqueFileHandle> held;  // connections kept open without an answer
    for (;;) {
        // A client may have connected, or come and gone, before this call.
        const bool connected = ConnectNamedPipe(listening.get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED ||
                               GetLastError() == ERROR_NO_DATA;
        UniqueFileHandle client = std::move(listening);
        listening = NewInstance();
        if (!listening) {
            m_log.Write(builds[role], "cannot create the pipe, error " + std::to_string(GetLastError()));
            return 1;
        }
        if (!connected) continue;
        char request = 0;
        DWORD read = 0;
        if (!ReadFile(client.get(), &request, 1, &read, nullptr) || read == 0) continue;
        m_log.Write(builds[role], std::string("request ") + request);

        const bench::HelperReply reply = m_model.Reply(builds[role], request);
        if (reply.delay.count() > 0) Sleep(static_cast<DWORD>(reply.delay.count()));
        if (reply.kind == bench::HelperReply::Kind::Answer) {
            DWORD written = 0;
            WriteFile(client.get(), reply.bytes.data(), static_cast<DWORD>(reply.bytes.size()), &written, nullptr);
        } else if (reply.kind == bench::HelperReply::Kind::Hold) {
            held.push_back(std::move(client));
        }
        if (!reply.leave) continue;
        if (++role < builds.size()) {
            m_log.Write(builds[role], "serve");
            continue;
        }
        // The pipe and the claim go before the module sees this exchange end, so that the next
        // helper it launches finds both free.
        listening.reset();
        claim.reset();
        m_log.Write(builds.back(), "leave");
        return 0;
    }
}
