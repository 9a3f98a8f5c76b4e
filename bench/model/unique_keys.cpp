#include "unique_keys.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace bench {
namespace {

// The containers open at the parser's position, outermost first, each with the member the
// parser is in: its key in an object, its index in an array.
class OpenContainers {
public:
    bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                BeginElement();
                m_open.emplace_back();
                m_open.back().array = event == Json::parse_event_t::array_start;
                break;
            case Json::parse_event_t::key: {
                Container& object = m_open.back();
                object.key = parsed.get<std::string>();
                if (!object.keys.insert(object.key).second)
                    Fail(Path(), "the key \"" + object.key + "\" is given twice in this object");
                break;
            }
            case Json::parse_event_t::value:
                BeginElement();
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                m_open.pop_back();
                break;
        }
        return true;
    }

private:
    struct Container {
        bool array = false;
        size_t index = 0;  // arrays: 1 + the index of the element being read
        std::string key;   // objects: the member being read
        std::set<std::string> keys;
    };

    void BeginElement() {
        if (!m_open.empty() && m_open.back().array) ++m_open.back().index;
    }

    std::string Path() const {
        std::string path;
        for (const Container& c : m_open) path = c.array ? Index(path, c.index - 1) : Join(path, c.key);
        return path;
    }

    std::vector<Container> m_open;
};

}  // namespace

Json ParseWithUniqueKeys(std::string_view text) {
    OpenContainers open;
    return Json::parse(text.begin(), text.end(), std::ref(open));
}

}  // namespace bench
