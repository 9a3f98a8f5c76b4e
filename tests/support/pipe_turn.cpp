#include "pipe_turn.h"

#include <windows.h>

namespace {

constexpr wchar_t kTurnName[] = L"TorvexTests.HelperPipe";

}  // namespace

PipeTurn::PipeTurn() : m_mutex(CreateMutexW(nullptr, FALSE, kTurnName)) { WaitForSingleObject(m_mutex.get(), INFINITE); }

PipeTurn::~PipeTurn() { ReleaseMutex(m_mutex.get()); }
