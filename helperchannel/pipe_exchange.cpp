#include "helperchannel/pipe_exchange.h"

#include <windows.h>

#include <algorithm>

#include "base/diag.h"
#include "base/win32_handles.h"
#include "vendor/halvane_pipe.h"

namespace {

using SteadyClock = std::chrono::steady_clock;

// Whole milliseconds until the deadline, rounded up; 0 once it has passed.
DWORD MillisecondsLeft(SteadyClock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - SteadyClock::now());
    return static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
}

// The pipe opened once, neither waited for nor retried: a pipe whose every instance is busy, like
// one that does not exist, gives no exchange. It is opened for overlapped I/O so that every wait on
// it can be bounded; that is a property of this end's handle only, so the helper sees the same
// connection, the same one-byte request and the same close as from a synchronous client.
UniqueFileHandle OpenPipe(char request) {
    UniqueFileHandle pipe(CreateFileA(halvane::kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OVERLAPPED, nullptr));
    if (!pipe) {
        DebugPrint(L"Helper pipe: cannot open it for '%lc' (error %lu)\n", static_cast<wint_t>(request),
                   GetLastError());
    }
    return pipe;
}

// Waits for an overlapped operation that `started` began, at most until the deadline, and cancels
// it then. The bytes it moved (a failed operation, such as a read from a pipe whose other end was
// closed, moved none), or -1 when it was cancelled. Each exchange has one operation at a time on
// its own handle, so the handle itself signals the completion and no event is needed.
long long Complete(HANDLE pipe, OVERLAPPED& operation, BOOL started, SteadyClock::time_point deadline) {
    DWORD bytes = 0;
    if (!started) {
        const DWORD error = GetLastError();
        // A message longer than the buffer fills the buffer and reports more data.
        if (error != ERROR_IO_PENDING && error != ERROR_MORE_DATA) return 0;
        if (error == ERROR_IO_PENDING && WaitForSingleObject(pipe, MillisecondsLeft(deadline)) != WAIT_OBJECT_0) {
            CancelIo(pipe);
            // The buffer and the OVERLAPPED must outlive the operation, so wait until it is over;
            // it may also have completed meanwhile.
            if (!GetOverlappedResult(pipe, &operation, &bytes, TRUE) && GetLastError() == ERROR_OPERATION_ABORTED)
                return -1;
            return bytes;
        }
    }
    GetOverlappedResult(pipe, &operation, &bytes, FALSE);
    return bytes;
}

}  // namespace

std::string PipeTransact(char request) {
    const SteadyClock::time_point deadline = SteadyClock::now() + kExchangeLimit;
    const UniqueFileHandle pipe = OpenPipe(request);
    if (!pipe) return kNoAnswer;

    OVERLAPPED write{};
    if (Complete(pipe.get(), write, WriteFile(pipe.get(), &request, 1, nullptr, &write), deadline) < 0) {
        DebugPrint(L"Helper pipe: '%lc' not taken within %lld ms\n", static_cast<wint_t>(request),
                   static_cast<long long>(kExchangeLimit.count()));
        return kNoAnswer;
    }

    char answer[halvane::kLargestAnswer + 1] = {};
    OVERLAPPED read{};
    const BOOL started = ReadFile(pipe.get(), answer, static_cast<DWORD>(halvane::kLargestAnswer), nullptr, &read);
    if (Complete(pipe.get(), read, started, deadline) < 0) {
        DebugPrint(L"Helper pipe: no answer to '%lc' within %lld ms\n", static_cast<wint_t>(request),
                   static_cast<long long>(kExchangeLimit.count()));
        return kNoAnswer;
    }
    // The buffer was zero-filled and the read left its last byte alone: the answer is the text up
    // to its first zero byte.
    return answer;
}
