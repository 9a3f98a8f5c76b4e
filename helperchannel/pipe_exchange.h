// One request and its answer over the helper's pipe.
#pragma once

#include <chrono>
#include <string>

// The longest one exchange may take: writing the request and waiting for the answer both come
// out of it.
constexpr std::chrono::milliseconds kExchangeLimit{1000};

// What an exchange answers when the pipe cannot be opened or the helper does not answer in time.
constexpr char kNoAnswer[] = "ERROR";

// Opens the helper's pipe, writes the one-byte request and reads the answer with one read of at
// most 511 bytes; the answer is the text up to its first zero byte. The pipe is opened once: one
// that does not exist or whose every instance is busy is neither waited for nor tried again. Never
// fails and never takes longer than kExchangeLimit (plus the time to cancel the read): a pipe that
// cannot be opened or gives no answer in time gives kNoAnswer; a helper that closes its end
// without answering gives the empty text.
std::string PipeTransact(char request);
