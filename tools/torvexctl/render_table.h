// The readable view of board snapshots: one block per board, each value beside its label, and a
// refused value as "n/a (code)" with the code its export returned.
#pragma once

#include <string>
#include <vector>

#include "board_snapshot.h"

// The lines that say which boards are shown and how the module picks a board for an identifier.
std::string RenderHeader(const std::string& modulePath, const std::vector<int>& gpuIds);
std::string RenderBoardTable(const BoardSnapshot& board);
