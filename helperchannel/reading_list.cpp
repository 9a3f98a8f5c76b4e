#include "helperchannel/reading_list.h"

#include <sstream>

std::vector<int32_t> ParseReadingList(const std::string& answer) {
    std::vector<int32_t> list;
    std::istringstream stream(answer);
    std::string piece;
    while (std::getline(stream, piece, ',')) list.push_back(std::stoi(piece, nullptr, 16));
    return list;
}
