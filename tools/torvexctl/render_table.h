// The readable view of board snapshots: one block per board, each value beside its label and unit,
// and a value the module did not give as "n/a" with its export's code and what the code means.
#pragma once

#include <string>

#include "board_choice.h"
#include "board_snapshot.h"

std::string RenderBoardTable(const BoardTarget& target, const BoardSnapshot& board);
