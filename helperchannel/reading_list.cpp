#include "helperchannel/reading_list.h"

#include <algorithm>

std::vector<int32_t> ParseReadingList(const std::string& answer) {
    // The pieces a stream read piece by piece up to each "," would give: every piece before a ","
    // (empty ones too), and the text after the last "," only when there is some. Splitting by hand
    // spares the stream's set-up, which costs more than the conversions.
    std::vector<int32_t> list;
    list.reserve(static_cast<size_t>(std::count(answer.begin(), answer.end(), ',')) + 1);
    for (size_t start = 0; start < answer.size();) {
        const size_t comma = answer.find(',', start);
        const size_t end = comma == std::string::npos ? answer.size() : comma;
        list.push_back(std::stoi(answer.substr(start, end - start), nullptr, 16));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return list;
}
